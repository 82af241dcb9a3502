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
// Reading back from the end starts small: the lines wanted most are the last.
constexpr size_t firstChunkSize = 4 * 1024;
constexpr char lineBreak = '\n';

// Every reader opens in binary, so all of them see the same lines: Windows
// text mode would end the file at a Ctrl-Z byte, and Remove's rewrite would
// lose whatever follows it. The CR of a CR LF is dropped with the line's end.
// fopen succeeds on a folder on Linux and only the reads fail: a folder
// counts as a file that cannot be opened.
FILE* openForReading(const std::string& filename) {
    FILE* file = std::fopen(filename.c_str(), "rb");
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

size_t countBreaks(const char* at, const char* end) {
    size_t breaks = 0;
    while ((at = static_cast<const char*>(std::memchr(at, lineBreak, end - at))) != nullptr) {
        ++breaks;
        ++at;
    }
    return breaks;
}

// Just behind the index-th line break (0 = the first) from `at`; the caller
// has counted that many before `end`.
const char* behindBreak(const char* at, const char* end, size_t index) {
    for (;; --index) {
        at = static_cast<const char*>(std::memchr(at, lineBreak, end - at)) + 1;
        if (index == 0) {
            return at;
        }
    }
}

bool readAt(FILE* file, uint64_t from, char* into, size_t length) {
    return std::fseek(file, static_cast<long>(from), SEEK_SET) == 0 &&
           std::fread(into, 1, length, file) == length;
}

// The line that starts at `from` and ends at the next line break, or at
// `end` (the end of the last line).
std::string lineFrom(FILE* file, uint64_t from, uint64_t end) {
    std::string line;
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    while (from < end) {
        const size_t length = static_cast<size_t>(std::min<uint64_t>(chunkSize, end - from));
        if (!readAt(file, from, chunk.get(), length)) {
            break;
        }
        const void* found = std::memchr(chunk.get(), lineBreak, length);
        const char* stop =
            found != nullptr ? static_cast<const char*>(found) : chunk.get() + length;
        line.append(static_cast<const char*>(chunk.get()), stop);
        if (found != nullptr) {
            break;
        }
        from += length;
    }
    line.resize(withoutCarriageReturn(line.data(), line.size()));
    return line;
}

// Reads back from the end of the file, a chunk at a time, counting line
// breaks until it reaches the one before the wanted line: the panel's list,
// near the end, costs a few kilobytes however long the program is.
std::string findLineFromEnd(FILE* file, size_t lineFromEnd) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return "";
    }
    const long size = std::ftell(file);
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    uint64_t end = size > 0 ? static_cast<uint64_t>(size) : 0; // end of the last line
    uint64_t to = end;
    size_t length = firstChunkSize;
    size_t breaksSeen = 0; // before `end`, in the chunks read so far
    bool first = true;
    while (to > 0) {
        length = static_cast<size_t>(std::min<uint64_t>(length, to));
        const uint64_t from = to - length;
        if (!readAt(file, from, chunk.get(), length)) {
            return ""; // a read error ends the reading like the top of the file
        }
        size_t counted = length;
        // A final line break ends the last line; it begins no empty one.
        if (first && chunk[length - 1] == lineBreak) {
            --end;
            --counted;
        }
        first = false;
        const size_t here = countBreaks(chunk.get(), chunk.get() + counted);
        if (breaksSeen + here > lineFromEnd) {
            const char* start = behindBreak(chunk.get(), chunk.get() + counted,
                                            here - (lineFromEnd + 1 - breaksSeen));
            return lineFrom(file, from + static_cast<uint64_t>(start - chunk.get()), end);
        }
        breaksSeen += here;
        to = from;
        length = std::min(2 * length, chunkSize);
    }
    // At the top: the wanted line is the first one, or lies before the file.
    return end > 0 && breaksSeen == lineFromEnd ? lineFrom(file, 0, end) : "";
}

int countLines(FILE* file) {
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    size_t lines = 0;
    char last = lineBreak;
    size_t got;
    while ((got = std::fread(chunk.get(), 1, chunkSize, file)) > 0) {
        lines += countBreaks(chunk.get(), chunk.get() + got);
        last = chunk[got - 1];
    }
    return static_cast<int>(last == lineBreak ? lines : lines + 1);
}

// A read error ends the reading like the end of the file.
std::string readAll(FILE* file) {
    std::string content;
    std::unique_ptr<char[]> chunk(new char[chunkSize]);
    size_t got;
    while ((got = std::fread(chunk.get(), 1, chunkSize, file)) > 0) {
        content.append(chunk.get(), got);
    }
    return content;
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
            FILE* file = _fdopen(fd, "w");
            if (file == nullptr) {
                _close(fd);
                std::remove(tempName.c_str());
            }
            return file;
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
