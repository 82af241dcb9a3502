// Random program files and random sequences of append, remove, count and
// read, checked against a model of the file as a list of lines.
#include "captured.h"
#include "fileText.h"
#include "tempFolder.h"
#include "utils.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

// One folder for the whole run, removed when the fuzzer ends.
const std::string& programPath() {
    static const TempFolder folder("tallomir-fuzz");
    static const std::string path = folder / "program.txt";
    return path;
}

// What the reading functions see in a file: lines split at "\n", a last
// line without a break still a line, a "\r" before the break dropped.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool empty() const { return at >= size; }
    uint8_t next() { return empty() ? 0 : data[at++]; }
};

// A waypoint-like line: digits and spaces, as the panel writes them.
std::string lineFrom(Input& in) {
    std::string line;
    size_t length = in.next() % 20;
    for (size_t i = 0; i < length; ++i) {
        uint8_t b = in.next();
        line += b % 11 == 10 ? ' ' : static_cast<char>('0' + b % 10);
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    // A segment of the input repeated: programs long enough to span the
    // store's read chunks.
    size_t segmentSize = in.next() * 4u;
    size_t repeat = in.next() % 4 == 0 ? 1 + in.next() * 4u : 1;
    std::string segment;
    while (segment.size() < segmentSize && !in.empty()) {
        segment += static_cast<char>(in.next());
    }
    std::string content;
    for (size_t i = 0; i < repeat; ++i) {
        content += segment;
    }
    writeFile(programPath(), content);
    std::vector<std::string> model = linesOf(content);
    std::string bytes = content;

    Captured quiet(std::cerr);
    int lastOp = -1;
    while (!in.empty()) {
        lastOp = in.next() % 4;
        switch (lastOp) {
        case 0: {
            std::string line = lineFrom(in);
            appendLine(programPath(), line);
            if (!bytes.empty() && bytes.back() != '\n') {
                bytes += '\n';
            }
            bytes += line + '\n';
            model.push_back(line);
            check(readLine(programPath(), 0) == line, "append, then read the last line");
            break;
        }
        case 1: {
            removeLastLine(programPath());
            if (!model.empty()) {
                model.pop_back();
            }
            bytes.clear();
            for (const std::string& line : model) {
                bytes += line + '\n';
            }
            // A kept line that still ends in CR (it ended in two) loses that
            // one too when it is read back.
            model = linesOf(bytes);
            break;
        }
        case 2:
            check(countLinesInFile(programPath()) == static_cast<int>(model.size()), "count");
            break;
        default: {
            int fromEnd = static_cast<int>(in.next() % 24) - 2;
            int index = static_cast<int>(model.size()) - fromEnd - 1;
            std::string expected =
                index >= 0 && index < static_cast<int>(model.size()) ? model[index] : "";
            check(readLine(programPath(), fromEnd) == expected, "read a line from the end");
            break;
        }
        }
        const std::string actual = readFile(programPath());
        if (actual != bytes) {
            size_t at = 0;
            while (at < actual.size() && at < bytes.size() && actual[at] == bytes[at]) {
                ++at;
            }
            std::fprintf(stderr,
                         "after op %d: file has %zu bytes, %zu expected, first "
                         "difference at %zu\n",
                         lastOp, actual.size(), bytes.size(), at);
        }
        check(actual == bytes, "nothing but the asked-for change reaches the file");
    }
    check(quiet.str().empty(), "no error message for a file that exists");
    return 0;
}
