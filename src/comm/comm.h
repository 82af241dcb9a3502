#pragma once

// The serial calls the port class makes, Windows-shaped. On Windows they are
// the system's own; elsewhere this header declares a small layer with the
// same names and signatures (commPosix.cpp), so that serialPort.cpp is one
// source for both.

#ifdef _WIN32

#include <windows.h>

#else

#include <cstdint>
#include <string>

using HANDLE = void*;
using DWORD = std::uint32_t;
using BOOL = int;
using BYTE = std::uint8_t;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPOVERLAPPED = OVERLAPPED*;

// All bits set, as on Windows.
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD OPEN_EXISTING = 3;

constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE TWOSTOPBITS = 2;

// Line settings, read and written as a whole.
struct DCB {
    DWORD DCBlength = sizeof(DCB);
    DWORD BaudRate = 0; // bits per second
    BYTE ByteSize = 8;  // data bits, 5 to 8
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
};

// Read and write time-outs in milliseconds, with the Windows meaning.
struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL GetCommState(HANDLE file, DCB* dcb);
BOOL SetCommState(HANDLE file, DCB* dcb);
BOOL GetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts);
BOOL SetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);

// Where a port name leads: "COMn" (any case, also "\\.\COMn") is
// /dev/ttyS{n-1}, a name starting with "/" is a path used as is; "" for
// anything else.
std::string commDevicePath(const std::string& portName);

#endif
