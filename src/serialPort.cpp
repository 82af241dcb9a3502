#include "serialPort.h"

#include "comm/comm.h"

#include <iostream>
#include <vector>

namespace {

constexpr DWORD baudRate = 9600;
constexpr BYTE noParity = 0;
constexpr BYTE oneStopBit = 0;
constexpr BYTE byteSize = 8;
constexpr DWORD readIntervalMs = 50;
constexpr DWORD silentReadLimitMs = 1000;

} // namespace

void boundSilentRead(COMMTIMEOUTS& timeouts) {
    if (timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0) {
        timeouts.ReadTotalTimeoutConstant = silentReadLimitMs;
    }
}

SerialPort::SerialPort(const std::string& portName)
    : portName(portName), hSerial(INVALID_HANDLE_VALUE) {}

SerialPort::~SerialPort() {
    if (hSerial != INVALID_HANDLE_VALUE) {
        close();
    }
}

bool SerialPort::open() {
    hSerial = CreateFileA(portName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          0, nullptr);
    if (hSerial == INVALID_HANDLE_VALUE) {
        std::cerr << "Error: Unable to open the port " << portName << std::endl;
        return false;
    }
    dcbSerialParams = std::make_unique<DCB>();
    if (GetCommState(hSerial, dcbSerialParams.get()) == 0) {
        std::cerr << "Error: Unable to get port settings" << std::endl;
        return false;
    }
    configurePort();
    return true;
}

void SerialPort::configurePort() {
    if (hSerial == INVALID_HANDLE_VALUE) {
        return;
    }
    dcbSerialParams->BaudRate = baudRate;
    dcbSerialParams->Parity = noParity;
    dcbSerialParams->StopBits = oneStopBit;
    dcbSerialParams->ByteSize = byteSize;
    if (SetCommState(hSerial, dcbSerialParams.get()) == 0) {
        std::cerr << "Error: Failed to set port state" << std::endl;
    }
    timeouts = std::make_unique<COMMTIMEOUTS>();
    GetCommTimeouts(hSerial, timeouts.get());
    boundSilentRead(*timeouts);
    timeouts->ReadIntervalTimeout = readIntervalMs;
    SetCommTimeouts(hSerial, timeouts.get());
}

void SerialPort::close() {
    if (hSerial != INVALID_HANDLE_VALUE) {
        CloseHandle(hSerial);
        hSerial = INVALID_HANDLE_VALUE;
    }
}

void SerialPort::write(const std::string& data) {
    DWORD bytesWritten = 0;
    if (WriteFile(hSerial, data.data(), static_cast<DWORD>(data.size()), &bytesWritten, nullptr) ==
        0) {
        std::cerr << "Error: Failed to write to serial port" << std::endl;
    }
}

std::string SerialPort::read(int size) {
    std::vector<char> buffer(static_cast<std::size_t>(size));
    DWORD bytesRead = 0;
    if (ReadFile(hSerial, buffer.data(), static_cast<DWORD>(size), &bytesRead, nullptr) == 0) {
        std::cerr << "Error: Failed to read from serial port" << std::endl;
        readFailed = true;
        return "";
    }
    readFailed = false;
    return std::string(buffer.data(), bytesRead);
}
