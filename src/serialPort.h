#pragma once

#include <memory>
#include <string>

// The platform records, declared only: <windows.h> must stay out of code
// that also includes raylib, whose names it clashes with.
#ifdef _WIN32
typedef struct _DCB DCB;
typedef struct _COMMTIMEOUTS COMMTIMEOUTS;
#else
struct DCB;
struct COMMTIMEOUTS;
#endif
typedef void* HANDLE;

// The link to the arm's controller: one serial device at 9600 8N1, written
// and read synchronously. Failures are reported on std::cerr, never thrown.
class SerialPort {
  public:
    explicit SerialPort(const std::string& portName);
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort();

    bool open();
    void close();
    void write(const std::string& data);
    // At most size bytes: ends when size are in, 50 ms after the last byte,
    // or when the device's total read time-out runs out.
    std::string read(int size);
    // Whether the last read failed: read returns "" both after a failure and
    // when nothing came, and a playback must stop on a dead line.
    bool lastReadFailed() const { return readFailed; }

  private:
    void configurePort();

    std::string portName;
    HANDLE hSerial;
    std::unique_ptr<DCB> dcbSerialParams;
    std::unique_ptr<COMMTIMEOUTS> timeouts;
    bool readFailed = false;
};

// A device that reports no total read time-out at all (Windows drivers,
// Wine and the POSIX layer do) would let a read from a silent controller
// wait forever: such a device gets a total of 1000 ms.
void boundSilentRead(COMMTIMEOUTS& timeouts);
