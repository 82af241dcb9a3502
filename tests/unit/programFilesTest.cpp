#include "captured.h"
#include "fileText.h"
#include "tempFolder.h"
#include "utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char readingMessage[] = "Error opening file for reading.\n";
const char appendingMessage[] = "Error opening file for appending.\n";
const char writingMessage[] = "Error opening file for writing.\n";

class ProgramFiles : public ::testing::Test {
  protected:
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    TempFolder folder{"tallomirFiles"};
    const std::string dir = folder.path();
    const std::string file = folder / "program.txt";
};

// What a file holds and the lines every reading operation must see in it.
struct Shape {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
};

std::vector<Shape> shapes() {
    const std::string longLine(200000, '7'); // spans several read chunks
    return {
        {"empty", "", {}},
        {"one line", "405 090 005 160\n", {"405 090 005 160"}},
        {"three lines", "a\nb\nc\n", {"a", "b", "c"}},
        {"last line without break", "a\nb\nc", {"a", "b", "c"}},
        {"empty middle line", "a\n\nc\n", {"a", "", "c"}},
        {"only a line break", "\n", {""}},
        {"CRLF lines", "a\r\nb\r\n\r\nc\r\n", {"a", "b", "", "c"}},
        {"CR without LF at the end", "a\r\nb\r", {"a", "b"}},
        {"CR inside a line stays", "a\rb\n", {"a\rb"}},
        {"long lines", "x\n" + longLine + "\ny\n" + longLine, {"x", longLine, "y", longLine}},
        {"binary and NUL bytes",
         std::string("\x01\0\xff\n\0\n\x80", 7),
         {std::string("\x01\0\xff", 3), std::string(1, '\0'), "\x80"}},
        {"a single line of 1 MiB", std::string(1 << 20, '5'), {std::string(1 << 20, '5')}},
    };
}

TEST_F(ProgramFiles, EveryLineReadsBackFromTheEnd) {
    for (const Shape& shape : shapes()) {
        SCOPED_TRACE(shape.what);
        writeFile(file, shape.content);
        Captured err(std::cerr);
        const int n = static_cast<int>(shape.lines.size());
        EXPECT_EQ(countLinesInFile(file), n);
        for (int k = 0; k < n; ++k) {
            EXPECT_EQ(readLine(file, k), shape.lines[n - 1 - k]) << "lineFromEnd " << k;
        }
        for (int k : {n, n + 1, -1, -2, INT_MAX, INT_MIN}) {
            EXPECT_EQ(readLine(file, k), "") << "lineFromEnd " << k;
        }
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(readFile(file), shape.content) << "reading changed the file";
    }
}

// Long files, read near the end and far from it; the first two lines are a
// CRLF line longer than a read chunk and a CRLF waypoint.
TEST_F(ProgramFiles, ManyLinesReadAnywhere) {
    const int n = 100000;
    std::vector<std::string> lines{std::string(200000, '7'), "360 097 090 160"};
    std::string content = lines[0] + "\r\n" + lines[1] + "\r\n";
    for (int i = 2; i < n; ++i) {
        lines.push_back(std::to_string(i) + " 090 045 160"); // lines straddle chunks
        content += lines.back() + "\n";
    }
    writeFile(file, content);
    Captured err(std::cerr);
    EXPECT_EQ(countLinesInFile(file), n);
    for (int k : {0, 1, 8, 1022, 1023, 1024, 1025, 1026, 4000, 50000, n - 3, n - 2, n - 1}) {
        EXPECT_EQ(readLine(file, k), lines[n - 1 - k]) << "lineFromEnd " << k;
    }
    EXPECT_EQ(readLine(file, n), "");
    EXPECT_EQ(err.str(), "");
}

// Long lines far from the end, every one of them read: some cross the
// boundary between two reads of the file.
TEST_F(ProgramFiles, LongLinesFarFromTheEnd) {
    std::vector<std::string> lines;
    std::string content;
    for (int i = 0; i < 80; ++i) {
        lines.push_back(std::string(9000 + 37 * i, static_cast<char>('a' + i % 26)));
    }
    for (int i = 0; i < 1100; ++i) {
        lines.push_back("waypoint " + std::to_string(i));
    }
    for (const std::string& line : lines) {
        content += line + "\n";
    }
    writeFile(file, content);
    const int n = static_cast<int>(lines.size());
    for (int k = 1000; k < n; ++k) {
        ASSERT_EQ(readLine(file, k), lines[n - 1 - k]) << "lineFromEnd " << k;
    }
}

TEST_F(ProgramFiles, RemoveLastLineKeepsTheOthersEachWithALineBreak) {
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"a\nb\nc\n", "a\nb\n"},
        {"a\nb\nc", "a\nb\n"},
        {"a\n\nc\n", "a\n\n"},
        {"a\n", ""},
        {"a", ""},
        {"", ""},
        {"\n\n", "\n"},
        {"a\r\nb\r\nc\r\n", "a\nb\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "before \"" << c.before << "\"");
        writeFile(file, c.before);
        Captured err(std::cerr);
        removeLastLine(file);
        EXPECT_EQ(readFile(file), c.after);
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(entries(), std::vector<std::string>{"program.txt"}) << "no temporary left";
    }
}

TEST_F(ProgramFiles, AppendNeverJoinsTwoLines) {
    const std::string line = "370 090 045 160";
    struct Case {
        const char* before; // nullptr: no file yet
        std::string after;
    } cases[] = {
        {nullptr, line + "\n"},           {"", line + "\n"},
        {"a\n", "a\n" + line + "\n"},     {"a", "a\n" + line + "\n"},
        {"a\r\n", "a\r\n" + line + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before == nullptr ? "missing" : c.before);
        fs::remove(file);
        if (c.before != nullptr) {
            writeFile(file, c.before);
        }
        Captured err(std::cerr);
        appendLine(file, line);
        EXPECT_EQ(readFile(file), c.after);
        EXPECT_EQ(readLine(file, 0), line);
        EXPECT_EQ(err.str(), "");
    }
}

TEST_F(ProgramFiles, AppendWritesTheGivenTextAsIs) {
    appendLine(file, "");
    appendLine(file, "a\nb");
    EXPECT_EQ(readFile(file), "\na\nb\n");
    EXPECT_EQ(countLinesInFile(file), 3);
}

// A missing file, a missing folder, the empty path (no program open) and a
// folder where the file should be: one message per call, nothing created.
TEST_F(ProgramFiles, FilesThatCannotBeOpened) {
    fs::create_directory(dir + "/folder.txt");
    for (const std::string& path :
         {dir + "/missing.txt", dir + "/noFolder/p.txt", std::string(), dir + "/folder.txt"}) {
        SCOPED_TRACE("path \"" + path + "\"");
        {
            Captured err(std::cerr);
            EXPECT_EQ(countLinesInFile(path), -1);
            EXPECT_EQ(err.str(), readingMessage);
        }
        for (int k : {0, -1, 5}) {
            Captured err(std::cerr);
            EXPECT_EQ(readLine(path, k), "");
            EXPECT_EQ(err.str(), readingMessage);
        }
        {
            Captured err(std::cerr);
            removeLastLine(path);
            EXPECT_EQ(err.str(), readingMessage);
        }
        if (path != dir + "/missing.txt") {
            Captured err(std::cerr);
            appendLine(path, "370 090 045 160");
            EXPECT_EQ(err.str(), appendingMessage);
        }
    }
    EXPECT_FALSE(fs::exists(dir + "/missing.txt"));
    EXPECT_FALSE(fs::exists(dir + "/noFolder"));
    EXPECT_TRUE(fs::is_directory(dir + "/folder.txt"));
    EXPECT_TRUE(fs::is_empty(dir + "/folder.txt"));
}

TEST_F(ProgramFiles, RemoveKeepsThePermissions) {
    for (fs::perms mode : {fs::perms(0640), fs::perms(0604), fs::perms(0755)}) {
        writeFile(file, "a\nb\n");
        fs::permissions(file, mode);
        removeLastLine(file);
        EXPECT_EQ(readFile(file), "a\n");
        EXPECT_EQ(fs::status(file).permissions(), mode);
    }
}

// A file size limit makes the rewrite fail half-way the way a full disk does,
// and it binds root too. The original must come through whole.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }

  private:
    rlimit old;
    void (*oldHandler)(int);
};

TEST_F(ProgramFiles, FailedRewriteLeavesTheOriginal) {
    std::string original;
    for (int i = 0; i < 2000; ++i) {
        original += "405 090 005 160\n";
    }
    writeFile(file, original);
    fs::permissions(file, fs::perms(0640));
    Captured err(std::cerr);
    {
        FileSizeLimit limit(100);
        removeLastLine(file);
    }
    EXPECT_EQ(err.str(), writingMessage);
    EXPECT_EQ(readFile(file), original);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(entries(), std::vector<std::string>{"program.txt"}) << "temporary removed";
}

} // namespace
