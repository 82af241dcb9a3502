// The program file store as built for Windows, run under Wine in a folder
// WORK/bin beside WORK/Programs: text mode writes CR LF and reads it back as
// one line break, the shortened program replaces the old file whole, and
// the paths are the panel's "..\Programs\" ones. Prints each failed check
// and exits with the number of failures.
#include "captured.h"
#include "utils.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string folder = "..\\Programs\\";
const char readingMessage[] = "Error opening file for reading.\n";

int failures = 0;
int checks = 0;

void check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::cout << "FAIL: " << what << std::endl;
    }
}

template <typename T> std::string shown(const T& value) {
    std::ostringstream text;
    text << value;
    std::string escaped;
    for (char c : text.str()) {
        escaped += c == '\r'   ? std::string("\\r")
                   : c == '\n' ? std::string("\\n")
                               : std::string(1, c);
    }
    return escaped;
}

template <typename T, typename U>
void checkEqual(const T& actual, const U& expected, const std::string& what) {
    check(actual == expected,
          what + ": got \"" + shown(actual) + "\", expected \"" + shown(expected) + "\"");
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> programFolderEntries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

void appendWritesCrLfAndReadingStripsIt() {
    const std::string file = folder + "append.txt";
    appendLine(file, "360 097 090 160");
    appendLine(file, "405 090 005 160");
    checkEqual(bytesOf(file), "360 097 090 160\r\n405 090 005 160\r\n", "append");
    checkEqual(countLinesInFile(file), 2, "count after append");
    checkEqual(readLine(file, 0), "405 090 005 160", "last line");
    checkEqual(readLine(file, 1), "360 097 090 160", "first line");
    checkEqual(readLine(file, 2), "", "before the first line");
}

void removeLastLineReplacesTheFileKeepingCrLf() {
    const std::string file = folder + "remove.txt";
    writeBytes(file, "a\r\nb\r\nc\r\n");
    // A temporary left by an interrupted earlier rewrite is passed over.
    writeBytes(file + ".tmp0", "stale");
    Captured err(std::cerr);
    removeLastLine(file);
    checkEqual(bytesOf(file), "a\r\nb\r\n", "after one removal");
    removeLastLine(file);
    removeLastLine(file);
    checkEqual(bytesOf(file), "", "after removing every line");
    removeLastLine(file);
    checkEqual(bytesOf(file), "", "removal from an empty file");
    checkEqual(err.str(), "", "messages of the removals");
    checkEqual(bytesOf(file + ".tmp0"), "stale", "the stale temporary");
    fs::remove(file + ".tmp0");
    for (const std::string& name : programFolderEntries()) {
        check(name.find(".tmp") == std::string::npos, "a temporary left behind: " + name);
    }
}

void filesFromElsewhereRead() {
    // Written on Linux: bare line feeds are line breaks too.
    const std::string file = folder + "fromLinux.txt";
    writeBytes(file, "1\n2\n3");
    checkEqual(countLinesInFile(file), 3, "count of a file with bare line feeds");
    checkEqual(readLine(file, 1), "2", "a line ended by a bare line feed");
    // A last line without a line break gets one before the next waypoint.
    appendLine(file, "4");
    checkEqual(bytesOf(file), "1\n2\n3\r\n4\r\n", "append behind a last line without a break");
    removeLastLine(file);
    checkEqual(bytesOf(file), "1\r\n2\r\n3\r\n", "rewrite of a file with bare line feeds");
}

void aCtrlZIsAByteLikeAnyOther() {
    // Text mode would end the file at the Ctrl-Z: the count would miss lines
    // that readLine sees, and the rewrite would drop them.
    const std::string file = folder + "ctrlZ.txt";
    const std::string first = "360 097 090 160\r\n";
    const std::string second = "\x1a"
                               "405 090 005 160\r\n";
    writeBytes(file, first + second + "360 000 000 160\r\n");
    checkEqual(countLinesInFile(file), 3, "count of a file with a Ctrl-Z");
    checkEqual(readLine(file, 1), second.substr(0, second.size() - 2), "the line with the Ctrl-Z");
    checkEqual(readLine(file, 0), "360 000 000 160", "the line after the Ctrl-Z");
    removeLastLine(file);
    checkEqual(bytesOf(file), first + second, "rewrite of a file with a Ctrl-Z");
    checkEqual(countLinesInFile(file), 2, "count after the rewrite");
}

void aLineFarFromTheEnd() {
    const std::string file = folder + "long.txt";
    {
        std::ofstream out(file); // text mode, as the store writes
        for (int i = 0; i < 3000; ++i) {
            out << "line " << i << "\n";
        }
    }
    checkEqual(bytesOf(file).substr(0, 16), "line 0\r\nline 1\r\n", "text-mode stream");
    checkEqual(countLinesInFile(file), 3000, "count of a long program");
    checkEqual(readLine(file, 0), "line 2999", "last of a long program");
    checkEqual(readLine(file, 2999), "line 0", "first of a long program");
    checkEqual(readLine(file, 1500), "line 1499", "middle of a long program");
}

void whatCannotBeOpened() {
    Captured err(std::cerr);
    checkEqual(countLinesInFile(folder + "missing.txt"), -1, "count of a missing file");
    checkEqual(countLinesInFile("..\\Programs"), -1, "count of a folder");
    checkEqual(readLine("", 0), "", "the empty path");
    removeLastLine(folder + "missing.txt");
    check(!fs::exists(folder + "missing.txt"), "removal creates no file");
    checkEqual(err.str(),
               std::string(readingMessage) + readingMessage + readingMessage + readingMessage,
               "messages for what cannot be opened");
}

} // namespace

int main() {
    if (!fs::is_directory(folder)) {
        std::cout << "FAIL: run in a folder beside Programs" << std::endl;
        return 1;
    }
    appendWritesCrLfAndReadingStripsIt();
    removeLastLineReplacesTheFileKeepingCrLf();
    filesFromElsewhereRead();
    aCtrlZIsAByteLikeAnyOther();
    aLineFarFromTheEnd();
    whatCannotBeOpened();
    std::cout << checks - failures << " of " << checks << " checks passed" << std::endl;
    return failures;
}
