#pragma once

// A pseudo-terminal for a test or benchmark: this process holds the master,
// the code under test opens path(). Closed when this goes out of scope.

#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class Pty {
  public:
    // Settings made on a Linux pty master land on the slave, so the line is
    // left as the kernel made it (echo, line editing): only the port under
    // test may make it raw.
    Pty() {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
            if (fd >= 0) {
                ::close(fd);
            }
            throw std::runtime_error("no pseudo-terminal");
        }
        slavePath = ptsname(fd);
    }

    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty() { hangUp(); }

    const std::string& path() const { return slavePath; }

    // -1 once hung up.
    int master() const { return fd; }

    // For a peer that opens the line itself instead of a port doing it.
    void makeRaw() {
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }

    // Closes the master: the other end's reads and writes fail from now on.
    void hangUp() {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }

  private:
    int fd = -1;
    std::string slavePath;
};
