// The Windows services the library calls, by their own names.
//
// On Windows this is the system's own header. On Linux it declares our stand-in
// (src/platform/linux/), written from what the library expects of each call, so
// that the library's algorithms read the same on both systems.
#pragma once

#if defined(_WIN32)

#include <windows.h>

// After windows.h, whose types it uses (a block of its own, so that sorting
// the includes keeps the order).
#include <setupapi.h>

#else

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using UINT = unsigned int;
using SIZE_T = std::size_t;
using ULONG_PTR = std::uintptr_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPCSTR = const char*;
using PCSTR = const char*;
using LPDWORD = DWORD*;
using PDWORD = DWORD*;
using HANDLE = void*;
using HGLOBAL = void*;
using HMODULE = void*;
using HWND = void*;
using HDEVINFO = void*;
using FARPROC = void (*)();
using PCSTR = const char*;
using PDWORD = DWORD*;

// The standard Windows calling convention means nothing on Linux.
#define WINAPI

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Access, sharing and creation of CreateFileA.
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 0x1u;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2u;
inline constexpr DWORD OPEN_EXISTING = 3u;
inline constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000u;

// Movable memory blocks.
inline constexpr UINT GMEM_MOVEABLE = 0x0002u;
inline constexpr UINT GMEM_ZEROINIT = 0x0040u;

// Heap allocation.
inline constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008u;

// Dynamic library notifications.
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

// System error codes the library and its stand-in use.
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_NOT_LOCKED = 158;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_INVALID_USER_BUFFER = 1784;

struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};

// A critical section: recursive, as on Windows. The storage is opaque here and
// holds a recursive mutex in the stand-in.
struct CRITICAL_SECTION {
    alignas(std::max_align_t) unsigned char storage[64];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

// Device installation records. The size fields are checked against the
// values of the build's word size, as the system does: 32 and 8 on 64-bit
// builds, 28 and 5 on 32-bit builds, where the system packs them to bytes.
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 1)
#endif
struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved;
};
using PSP_DEVICE_INTERFACE_DATA = SP_DEVICE_INTERFACE_DATA*;

struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    char DevicePath[1];
};
using PSP_DEVICE_INTERFACE_DETAIL_DATA_A = SP_DEVICE_INTERFACE_DETAIL_DATA_A*;
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(pop)
#endif

struct SP_DEVINFO_DATA;
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;

inline constexpr DWORD DIGCF_PRESENT = 0x02u;
inline constexpr DWORD DIGCF_DEVICEINTERFACE = 0x10u;

// Flags of an enumerated device interface.
inline constexpr DWORD SPINT_ACTIVE = 0x1u;

extern "C" {

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);

HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);

DWORD GetTickCount();
DWORD GetVersion();
DWORD GetLastError();
void SetLastError(DWORD error);

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     LPDWORD bytesReturned, LPOVERLAPPED overlapped);

HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

// The entry points of "setupapi.dll". The library reaches them only through
// LoadLibraryA and GetProcAddress, as on Windows.
HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* classGuid, DWORD index,
                                 PSP_DEVICE_INTERFACE_DATA interfaceData);
BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA interfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                      PDWORD requiredSize, PSP_DEVINFO_DATA device);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);

}  // extern "C"

#endif  // _WIN32

// Pointer types of the "setupapi.dll" entry points, for the addresses that
// GetProcAddress returns (the same on both systems).
using SetupDiGetClassDevsAProc = decltype(&SetupDiGetClassDevsA);
using SetupDiEnumDeviceInterfacesProc = decltype(&SetupDiEnumDeviceInterfaces);
using SetupDiGetDeviceInterfaceDetailAProc = decltype(&SetupDiGetDeviceInterfaceDetailA);
using SetupDiDestroyDeviceInfoListProc = decltype(&SetupDiDestroyDeviceInfoList);
