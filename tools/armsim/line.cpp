#include "line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int sendStallMs = 1000;

// Nothing translated or interpreted on either side: the panel's frames and
// our answers travel byte for byte.
bool makeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

Line::~Line() {
    close();
}

bool Line::openPseudoTerminal(std::string& devicePath, std::string& error) {
    lineFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (lineFd < 0 || grantpt(lineFd) != 0 || unlockpt(lineFd) != 0) {
        error = reason("pseudo-terminal");
        return false;
    }
    const char* name = ptsname(lineFd);
    if (name == nullptr) {
        error = reason("ptsname");
        return false;
    }
    devicePath = name;
    holdFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (holdFd < 0 || !makeRaw(holdFd) || !makeRaw(lineFd)) {
        error = reason(name);
        return false;
    }
    fcntl(lineFd, F_SETFL, fcntl(lineFd, F_GETFL) | O_NONBLOCK);
    return true;
}

bool Line::openDevice(const std::string& path, std::string& error) {
    lineFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (lineFd < 0) {
        error = reason(path.c_str());
        return false;
    }
    if (isatty(lineFd) && !makeRaw(lineFd)) {
        error = reason(path.c_str());
        return false;
    }
    return true;
}

bool Line::send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(lineFd, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        pollfd waitFor{lineFd, POLLOUT, 0};
        if (poll(&waitFor, 1, sendStallMs) <= 0 || (waitFor.revents & (POLLERR | POLLHUP))) {
            return false;
        }
    }
    return true;
}

void Line::close() {
    if (holdFd >= 0) {
        ::close(holdFd);
        holdFd = -1;
    }
    if (lineFd >= 0) {
        ::close(lineFd);
        lineFd = -1;
    }
}
