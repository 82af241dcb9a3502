#pragma once

// A console stream written into a string for the life of the object, so a
// test can compare what the code under test printed.

#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

class Captured {
  public:
    explicit Captured(std::ostream& stream) : stream(stream), old(stream.rdbuf(text.rdbuf())) {}
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;
    ~Captured() { stream.rdbuf(old); }

    std::string str() const { return text.str(); }

    // What was printed since the last take.
    std::string take() {
        std::string printed = text.str();
        text.str("");
        return printed;
    }

  private:
    std::ostream& stream;
    std::ostringstream text;
    std::streambuf* old;
};
