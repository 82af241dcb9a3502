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
constexpr BYTE ONESTOPBIT = 0;
// A parity or stop-bit setting other than the port's.
constexpr BYTE otherSetting = 0xFF;

// Line settings, read and written as a whole. Only the port's own line,
// 9600 8N1, can be applied: the port asks for nothing else.
struct DCB {
    DWORD BaudRate = 0; // bits per second
    BYTE ByteSize = 0;  // data bits
    BYTE Parity = NOPARITY;
    BYTE StopBits = ONESTOPBIT;
};

// Read time-outs in milliseconds, with the Windows meaning. Writes have
// none: the port never sets one.
struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
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
