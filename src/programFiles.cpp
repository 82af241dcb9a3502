// Program files: opened, read in large chunks and closed on every call, so
// the panel's nine reads per frame stay cheap even for long programs.
#include "utils.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr size_t chunkSize = 64 * 1024;
constexpr char lineBreak = '\n';
// How many lines before the end one pass keeps; a line further up is read by
// a second pass from the top.
constexpr size_t maxTailLines = 1024;

// fopen succeeds on a folder on Linux and only the reads fail: a folder
// counts as a file that cannot be opened.
FILE* openForReading(const std::string& filename) {
    FILE* file = std::fopen(filename.c_str(), "r");
    if (file == nullptr) {
        return nullptr;
    }
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// A line written on Windows keeps its CR when read on Linux; it must never
// reach the controller.
size_t withoutCarriageReturn(const char* begin, size_t length) {
    if (length > 0 && begin[length - 1] == '\r') {
        return length - 1;
    }
    return length;
}

// Growable storage left unzeroed: every byte is read into before it is used.
class Bytes {
  public:
    char* data() { return store.get(); }
    const char* data() const { return store.get(); }
    size_t capacity() const { return size; }

    void grow(size_t used, size_t newSize) {
        std::unique_ptr<char[]> bigger(new char[newSize]);
        if (used > 0) {
            std::memcpy(bigger.get(), store.get(), used);
        }
        store = std::move(bigger);
        size = newSize;
    }

  private:
    std::unique_ptr<char[]> store;
    size_t size = 0;
};

// Reads into the free space behind `used` bytes, growing the storage only
// when less than half a chunk is free. A read error ends the reading like
// the end of the file.
size_t readMore(FILE* file, Bytes& buffer, size_t used) {
    if (buffer.capacity() - used < chunkSize / 2) {
        buffer.grow(used, std::max(chunkSize, 2 * buffer.capacity()));
    }
    return std::fread(buffer.data() + used, 1, buffer.capacity() - used, file);
}

// One pass over the file that counts its lines and keeps the start positions
// of the last `keep` lines begun (the newest may be the empty tail behind a
// final line break) together with the bytes from the oldest of them on.
class TailScan {
  public:
    explicit TailScan(size_t keep) : keep(keep) {}

    void run(FILE* file) {
        addStart(0);
        size_t got;
        while (dropUnneeded(), (got = readMore(file, buffer, used)) > 0) {
            scan(used, used + got);
            used += got;
        }
    }

    uint64_t lines() const { return starts[(begun - 1) % keep] < base + used ? begun : begun - 1; }

    bool holds(uint64_t index) const { return index + keep >= begun; }

    std::string line(uint64_t index) const {
        const char* begin = buffer.data() + (starts[index % keep] - base);
        const char* stop = buffer.data() + used;
        const void* found = std::memchr(begin, lineBreak, static_cast<size_t>(stop - begin));
        const size_t length = static_cast<size_t>(
            (found != nullptr ? static_cast<const char*>(found) : stop) - begin);
        return std::string(begin, withoutCarriageReturn(begin, length));
    }

  private:
    void addStart(uint64_t position) {
        if (starts.size() < keep) {
            starts.push_back(position);
        } else {
            starts[begun % keep] = position;
        }
        ++begun;
    }

    uint64_t oldestStart() const { return begun <= keep ? starts[0] : starts[begun % keep]; }

    // Moves the kept bytes to the front once at least half of what the
    // buffer holds is no longer needed, so each byte moves a bounded number
    // of times.
    void dropUnneeded() {
        const size_t dead = static_cast<size_t>(oldestStart() - base);
        if (dead == 0 || dead < used - dead) {
            return;
        }
        std::memmove(buffer.data(), buffer.data() + dead, used - dead);
        used -= dead;
        base += dead;
    }

    void scan(size_t from, size_t to) {
        const char* data = buffer.data();
        const char* found;
        while (from < to && (found = static_cast<const char*>(
                                 std::memchr(data + from, lineBreak, to - from))) != nullptr) {
            from = static_cast<size_t>(found - data) + 1;
            addStart(base + from);
        }
    }

    const size_t keep;
    std::vector<uint64_t> starts; // ring of line start positions
    uint64_t begun = 0;           // line starts seen so far
    Bytes buffer;
    size_t used = 0;   // bytes of buffer holding file data
    uint64_t base = 0; // file position of buffer[0]
};

// The line `index` (0 = the first), read by a second pass from the top: for
// lines too far from the end for the first pass to have kept.
std::string lineFromTop(FILE* file, uint64_t index) {
    std::rewind(file);
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    std::string line;
    uint64_t breaks = 0;
    bool inLine = index == 0;
    size_t got;
    while ((got = std::fread(chunk.get(), 1, chunkSize, file)) > 0) {
        const char* at = chunk.get();
        const char* end = at + got;
        while (!inLine && at < end) {
            const char* found = static_cast<const char*>(std::memchr(at, lineBreak, end - at));
            at = found != nullptr ? found + 1 : end;
            inLine = found != nullptr && ++breaks == index;
        }
        if (inLine) {
            const char* stop = static_cast<const char*>(std::memchr(at, lineBreak, end - at));
            line.append(at, stop != nullptr ? stop : end);
            if (stop != nullptr) {
                break;
            }
        }
    }
    line.resize(withoutCarriageReturn(line.data(), line.size()));
    return line;
}

std::string findLineFromEnd(FILE* file, size_t lineFromEnd) {
    TailScan scan(std::min(lineFromEnd, maxTailLines) + 2);
    scan.run(file);
    const uint64_t lines = scan.lines();
    if (lineFromEnd >= lines) {
        return "";
    }
    const uint64_t index = lines - 1 - lineFromEnd;
    return scan.holds(index) ? scan.line(index) : lineFromTop(file, index);
}

int countLines(FILE* file) {
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    int lines = 0;
    char last = lineBreak;
    size_t got;
    while ((got = std::fread(chunk.get(), 1, chunkSize, file)) > 0) {
        const char* at = chunk.get();
        const char* end = at + got;
        while ((at = static_cast<const char*>(std::memchr(at, lineBreak, end - at))) != nullptr) {
            ++lines;
            ++at;
        }
        last = end[-1];
    }
    return last == lineBreak ? lines : lines + 1;
}

std::string readAll(FILE* file) {
    Bytes buffer;
    size_t used = 0;
    size_t got;
    while ((got = readMore(file, buffer, used)) > 0) {
        used += got;
    }
    return std::string(buffer.data(), used);
}

// Every line but the last, each ending in a line break.
std::string keptLines(const std::string& content) {
    std::string kept;
    size_t begin = 0;
    size_t end;
    while ((end = content.find(lineBreak, begin)) != std::string::npos &&
           end + 1 < content.size()) {
        kept.append(content, begin, withoutCarriageReturn(content.data() + begin, end - begin));
        kept += lineBreak;
        begin = end + 1;
    }
    return kept;
}

bool endsWithoutLineBreak(const std::string& filename) {
    FILE* file = std::fopen(filename.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const int last = std::fseek(file, -1, SEEK_END) == 0 ? std::fgetc(file) : EOF;
    std::fclose(file);
    return last != EOF && last != lineBreak;
}

// A new file beside `filename`, opened for writing in text mode; its name
// goes to tempName.
FILE* openTemporary(const std::string& filename, std::string& tempName) {
#ifdef _WIN32
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = filename + ".tmp" + std::to_string(attempt);
        const int fd =
            _open(tempName.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_TEXT, _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            return _fdopen(fd, "w");
        }
    }
    return nullptr;
#else
    std::vector<char> name(filename.begin(), filename.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        return nullptr;
    }
    tempName = name.data();
    FILE* file = fdopen(fd, "w");
    if (file == nullptr) {
        ::close(fd);
        std::remove(tempName.c_str());
    }
    return file;
#endif
}

// Writes, flushes to the disk and gives the file the original's permissions.
bool writeDurably(FILE* file, const std::string& content, const struct stat& original) {
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fflush(file) == 0 && ok;
#ifdef _WIN32
    (void)original;
    ok = ok && _commit(_fileno(file)) == 0;
#else
    ok = ok && fchmod(fileno(file), original.st_mode & 07777) == 0;
    ok = ok && fsync(fileno(file)) == 0;
#endif
    return std::fclose(file) == 0 && ok;
}

// The original is replaced only by a complete copy: a crash or a full disk
// leaves either the old or the new program, never a cut one.
bool replaceFile(const std::string& filename, const std::string& content,
                 const struct stat& original) {
    std::string tempName;
    FILE* temp = openTemporary(filename, tempName);
    if (temp == nullptr) {
        return false;
    }
    std::error_code error;
    if (writeDurably(temp, content, original)) {
        std::filesystem::rename(tempName, filename, error);
        if (!error) {
            return true;
        }
    }
    std::remove(tempName.c_str());
    return false;
}

// The rename needs no write access to the file itself; a program that cannot
// be written keeps refusing to be shortened.
bool canOpenForWriting(const std::string& filename) {
    FILE* file = std::fopen(filename.c_str(), "r+");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

} // namespace

std::string readLine(const std::string& filename, int lineFromEnd) {
    FILE* file = openForReading(filename);
    if (file == nullptr) {
        std::cerr << "Error opening file for reading.\n";
        return "";
    }
    std::string line;
    if (lineFromEnd >= 0) {
        line = findLineFromEnd(file, static_cast<size_t>(lineFromEnd));
    }
    std::fclose(file);
    return line;
}

void appendLine(const std::string& filename, const std::string& line) {
    FILE* file = std::fopen(filename.c_str(), "a");
    if (file == nullptr) {
        std::cerr << "Error opening file for appending.\n";
        return;
    }
    // A last line without its line break would join the new waypoint.
    if (endsWithoutLineBreak(filename)) {
        std::fputc(lineBreak, file);
    }
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc(lineBreak, file);
    std::fclose(file);
}

void removeLastLine(const std::string& filename) {
    FILE* file = openForReading(filename);
    if (file == nullptr) {
        std::cerr << "Error opening file for reading." << std::endl;
        return;
    }
    struct stat original;
    fstat(fileno(file), &original);
    const std::string content = readAll(file);
    std::fclose(file);
    if (!canOpenForWriting(filename)) {
        std::cerr << "Error opening file for writing." << std::endl;
        return;
    }
    if (content.empty()) {
        return;
    }
    if (!replaceFile(filename, keptLines(content), original)) {
        std::cerr << "Error opening file for writing." << std::endl;
    }
}

int countLinesInFile(const std::string& filename) {
    FILE* file = openForReading(filename);
    if (file == nullptr) {
        std::cerr << "Error opening file for reading." << std::endl;
        return -1;
    }
    const int lines = countLines(file);
    std::fclose(file);
    return lines;
}
