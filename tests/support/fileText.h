#pragma once

// A file's bytes as one string, both ways, with no line-end translation.

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

// Everything in the file; "" when it cannot be opened.
inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Replaces the file's content.
inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    file.close();
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}
