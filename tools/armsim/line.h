#pragma once

#include <string>

// The simulator's end of the serial line: the master side of a fresh
// pseudo-terminal, or a device given by path.
class Line {
  public:
    Line() = default;
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;
    ~Line();

    // On success devicePath is what the panel opens.
    bool openPseudoTerminal(std::string& devicePath, std::string& error);
    bool openDevice(const std::string& path, std::string& error);
    int fd() const { return lineFd; }
    // Sends every byte; false when the line is gone or stays blocked.
    bool send(const std::string& bytes);
    void close();

  private:
    int lineFd = -1;
    // Our own hold on the pseudo-terminal's far end: without it the master
    // reports a hang-up every time the panel closes its port.
    int holdFd = -1;
};
