// The Windows-shaped serial calls on termios and poll. Time-outs are kept
// per handle and enforced here as deadlines (not with VMIN/VTIME, which
// cannot express a total time-out), so a read behaves as on Windows. Built
// only where there is no Windows API.

#include "comm.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// One open port. Handles are ids into a table rather than pointers, so a
// stale or made-up handle is refused instead of followed.
struct Port {
    int fd;
    bool exclusive;
    COMMTIMEOUTS timeouts;
};

// As a Windows driver reports them: no time-out at all.
constexpr COMMTIMEOUTS defaultTimeouts{0, 0, 0};

std::map<std::uintptr_t, Port>& ports() {
    static std::map<std::uintptr_t, Port> table;
    return table;
}

std::uintptr_t nextHandleId = 1;

Port* findPort(HANDLE handle) {
    auto found = ports().find(reinterpret_cast<std::uintptr_t>(handle));
    return found == ports().end() ? nullptr : &found->second;
}

using Nanoseconds = std::int64_t;

Nanoseconds monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Nanoseconds{now.tv_sec} * 1000000000 + now.tv_nsec;
}

constexpr Nanoseconds nsPerMs = 1000000;

// Waits for events on fd until the deadline (none: no limit). Returns the
// revents, 0 when the deadline passed, -1 on a poll failure.
int waitFor(int fd, short events, std::optional<Nanoseconds> deadline) {
    for (;;) {
        timespec timeout{};
        if (deadline) {
            const Nanoseconds left = *deadline - monotonicNow();
            if (left <= 0) {
                return 0;
            }
            timeout = {static_cast<time_t>(left / 1000000000),
                       static_cast<long>(left % 1000000000)};
        }
        pollfd entry{fd, events, 0};
        const int ready = ppoll(&entry, 1, deadline ? &timeout : nullptr, nullptr);
        if (ready > 0) {
            return entry.revents;
        }
        if (ready < 0 && errno != EINTR) {
            return -1;
        }
    }
}

// A line that is gone: the far end hung up, or the device disappeared.
bool lineBroken(int revents) {
    return revents & (POLLERR | POLLHUP | POLLNVAL);
}

// The earliest of an optional deadline and another.
std::optional<Nanoseconds> earliest(std::optional<Nanoseconds> a, std::optional<Nanoseconds> b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return *a < *b ? a : b;
}

std::optional<Nanoseconds> totalDeadline(Nanoseconds start, DWORD multiplier, DWORD constant,
                                         DWORD count) {
    const std::uint64_t ms = std::uint64_t{multiplier} * count + constant;
    if (ms == 0) {
        return std::nullopt;
    }
    return start + static_cast<Nanoseconds>(ms) * nsPerMs;
}

bool takeLock(int fd) {
    // flock catches every opener, root included; TIOCEXCL also stops
    // programs that do not lock.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    return ioctl(fd, TIOCEXCL) == 0;
}

int openFlags(DWORD access) {
    const bool reads = access & GENERIC_READ;
    const bool writes = access & GENERIC_WRITE;
    const int mode = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    return mode | O_NOCTTY | O_CLOEXEC | O_NONBLOCK;
}

// Raw binary line: no echo, no line editing or signals, no CR/LF
// translation, no software or hardware flow control; the receiver on and
// modem lines ignored. VMIN 1 makes a read of an idle line report
// "nothing yet" (EAGAIN), so a read of 0 bytes only ever means a hang-up.
void makeRaw(termios& settings) {
    settings.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~CRTSCTS;
    settings.c_cflag |= CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

// The one line the port runs: 9600 bits per second, 8 data bits, no
// parity, one stop bit. A pseudo-terminal, the only device the tests can
// make, keeps 8 data bits and no parity whatever it is asked, so other
// settings could never be checked; the layer refuses them instead.
bool isPortLine(const DCB& dcb) {
    return dcb.BaudRate == 9600 && dcb.ByteSize == 8 && dcb.Parity == NOPARITY &&
           dcb.StopBits == ONESTOPBIT;
}

void applyPortLine(termios& settings) {
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    settings.c_cflag = (settings.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB)) | CS8;
}

// Reads what is there now: bytes (>0), nothing yet (0), or the line is
// gone (-1).
ssize_t readAvailable(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n > 0) {
            return n;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && errno == EAGAIN ? 0 : -1;
    }
}

} // namespace

std::string commDevicePath(const std::string& portName) {
    if (!portName.empty() && portName[0] == '/') {
        return portName;
    }
    std::string name = portName;
    const std::string devicePrefix = "\\\\.\\";
    if (name.compare(0, devicePrefix.size(), devicePrefix) == 0) {
        name = name.substr(devicePrefix.size());
    }
    if (name.size() < 4 || (name[0] | 0x20) != 'c' || (name[1] | 0x20) != 'o' ||
        (name[2] | 0x20) != 'm') {
        return "";
    }
    unsigned long number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 1000000) {
            return "";
        }
        number = number * 10 + static_cast<unsigned long>(name[i] - '0');
    }
    return number == 0 ? "" : "/dev/ttyS" + std::to_string(number - 1);
}

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD, HANDLE) {
    const std::string path = fileName == nullptr ? "" : commDevicePath(fileName);
    if (path.empty() || creationDisposition != OPEN_EXISTING) {
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(path.c_str(), openFlags(desiredAccess));
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    // Only terminals are locked: anything else fails in GetCommState, and
    // locking shared nodes such as /dev/null would make unrelated opens
    // collide.
    const bool exclusive = shareMode == 0 && isatty(fd);
    if (exclusive && !takeLock(fd)) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    const std::uintptr_t id = nextHandleId++;
    ports()[id] = Port{fd, exclusive, defaultTimeouts};
    return reinterpret_cast<HANDLE>(id);
}

// The line as the device has it, where it is the port's line; any other
// rate or byte size reads as 0, any parity or second stop bit as
// otherSetting.
BOOL GetCommState(HANDLE file, DCB* dcb) {
    Port* port = findPort(file);
    termios settings{};
    if (port == nullptr || dcb == nullptr || tcgetattr(port->fd, &settings) != 0) {
        return 0;
    }
    dcb->BaudRate = cfgetospeed(&settings) == B9600 ? 9600 : 0;
    dcb->ByteSize = (settings.c_cflag & CSIZE) == CS8 ? 8 : 0;
    dcb->Parity = (settings.c_cflag & PARENB) ? otherSetting : NOPARITY;
    dcb->StopBits = (settings.c_cflag & CSTOPB) ? otherSetting : ONESTOPBIT;
    return 1;
}

// Makes the line raw and applies the port's line; refuses any other.
BOOL SetCommState(HANDLE file, DCB* dcb) {
    Port* port = findPort(file);
    termios settings{};
    if (port == nullptr || dcb == nullptr || !isPortLine(*dcb) ||
        tcgetattr(port->fd, &settings) != 0) {
        return 0;
    }
    makeRaw(settings);
    applyPortLine(settings);
    return tcsetattr(port->fd, TCSANOW, &settings) == 0;
}

BOOL GetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts) {
    Port* port = findPort(file);
    if (port == nullptr || timeouts == nullptr) {
        return 0;
    }
    *timeouts = port->timeouts;
    return 1;
}

BOOL SetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts) {
    Port* port = findPort(file);
    if (port == nullptr || timeouts == nullptr) {
        return 0;
    }
    port->timeouts = *timeouts;
    return 1;
}

// Ends when every byte is in, ReadIntervalTimeout ms after the last byte
// once one came, or when the total time-out counted from the call's start
// runs out; with no time-out at all it waits for every byte. A line that is
// gone fails, unless bytes came first: those are returned, and the next
// call fails.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED) {
    Port* port = findPort(file);
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    if (port == nullptr || (buffer == nullptr && bytesToRead > 0)) {
        return 0;
    }
    const COMMTIMEOUTS t = port->timeouts;
    char* bytes = static_cast<char*>(buffer);
    const Nanoseconds start = monotonicNow();
    const std::optional<Nanoseconds> total =
        totalDeadline(start, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant, bytesToRead);
    DWORD got = 0;
    std::optional<Nanoseconds> lastByte;
    while (got < bytesToRead) {
        std::optional<Nanoseconds> deadline = total;
        if (lastByte && t.ReadIntervalTimeout != 0) {
            deadline = earliest(deadline, *lastByte + Nanoseconds{t.ReadIntervalTimeout} * nsPerMs);
        }
        const int revents = waitFor(port->fd, POLLIN, deadline);
        if (revents == 0) {
            break;
        }
        const ssize_t n =
            revents < 0 ? -1 : readAvailable(port->fd, bytes + got, bytesToRead - got);
        if (n < 0 || (n == 0 && lineBroken(revents))) {
            if (got == 0) {
                return 0;
            }
            break;
        }
        if (n > 0) {
            got += static_cast<DWORD>(n);
            lastByte = monotonicNow();
        }
    }
    if (bytesRead != nullptr) {
        *bytesRead = got;
    }
    return 1;
}

// Writes every byte, waiting while the device's buffer is full; a line that
// is gone fails.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED) {
    Port* port = findPort(file);
    if (bytesWritten != nullptr) {
        *bytesWritten = 0;
    }
    if (port == nullptr || (buffer == nullptr && bytesToWrite > 0)) {
        return 0;
    }
    const char* bytes = static_cast<const char*>(buffer);
    DWORD sent = 0;
    while (sent < bytesToWrite) {
        const ssize_t n = ::write(port->fd, bytes + sent, bytesToWrite - sent);
        if (n > 0) {
            sent += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno != EAGAIN) {
            return 0;
        }
        const int revents = waitFor(port->fd, POLLOUT, std::nullopt);
        if (revents < 0 || lineBroken(revents)) {
            return 0;
        }
    }
    if (bytesWritten != nullptr) {
        *bytesWritten = sent;
    }
    return 1;
}

BOOL CloseHandle(HANDLE object) {
    auto found = ports().find(reinterpret_cast<std::uintptr_t>(object));
    if (found == ports().end()) {
        return 0;
    }
    const Port port = found->second;
    ports().erase(found);
    if (port.exclusive) {
        // The exclusive flag belongs to the terminal, not to this open: it
        // would outlive us and shut everyone else out.
        ioctl(port.fd, TIOCNXCL);
    }
    return ::close(port.fd) == 0;
}
