/*
 * tarvex_device.h - the device namespace of the Linux build.
 *
 * On Windows the library reaches the camera's kernel driver through device
 * names, device-interface enumeration and device-control calls. The Linux
 * build carries its own small stand-in for those system services; this header
 * is how a driver (the simulated camera, a test driver, a bridge to real
 * hardware) creates its device there, the way a kernel driver creates its
 * device object on Windows. A device can be created and removed at any time
 * while the library runs (hot-plug).
 *
 * It also holds the few switches of that system stand-in that tests and
 * tools need: the reported system version, a missing "setupapi.dll", and
 * failing memory allocations.
 *
 * Thread safety: every function here may be called from any thread.
 * Linux only.
 */
#ifndef TARVEX_DEVICE_H
#define TARVEX_DEVICE_H

#include <stdint.h>

#if defined(TARVEX_BUILDING_LIBRARY)
#define TARVEX_DEVICE_API __attribute__((visibility("default")))
#else
#define TARVEX_DEVICE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* System error codes a driver may return (the Windows values). */
#define TARVEX_DEVICE_ERROR_FILE_NOT_FOUND 2u
#define TARVEX_DEVICE_ERROR_ACCESS_DENIED 5u /* device removed while a handle was open */
#define TARVEX_DEVICE_ERROR_GEN_FAILURE 31u
#define TARVEX_DEVICE_ERROR_INVALID_PARAMETER 87u
#define TARVEX_DEVICE_ERROR_INSUFFICIENT_BUFFER 122u
#define TARVEX_DEVICE_ERROR_NOT_CONNECTED 1167u

/*
 * A driver's entry points. `driver` is the context given at registration,
 * `file` the context that `open` gave for this handle.
 */
typedef struct tarvex_device_ops {
    /*
     * A handle is being opened. `name_rest` is what followed the device's name
     * in the opened path ("" when nothing did; "\\0" for an interface path
     * opened with the suffix 0). Return 0 to accept (and set *file), or a
     * system error code to refuse. May be null: every open is accepted.
     */
    uint32_t (*open)(void* driver, const char* name_rest, void** file);
    /* A handle was closed. May be null. Not called after the device was removed. */
    void (*close)(void* driver, void* file);
    /*
     * One device-control call, with the buffer rules of a buffered call: `in`
     * holds in_size bytes; the driver writes at most out_size bytes to `out`
     * (which is also where data for the device travels in, for the codes that
     * pass data in the output buffer) and reports the number of bytes
     * returned in *bytes_returned. Return 0 for success, or a system error
     * code for failure (the caller sees the call fail and reads the code
     * with GetLastError; *bytes_returned still reaches the caller).
     */
    uint32_t (*control)(void* driver, void* file, uint32_t code, const void* in, uint32_t in_size, void* out,
                        uint32_t out_size, uint32_t* bytes_returned);
    /*
     * The namespace holds no more reference to `driver`: the device was
     * removed and its last handle closed and its last call returned. May be
     * null.
     */
    void (*release)(void* driver);
} tarvex_device_ops;

typedef struct tarvex_device_desc {
    /* A numbered device name such as "\\\\.\\KQ-TarvexNT1", or null. */
    const char* dos_name;
    /* A device-interface class as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", or null. */
    const char* interface_class;
    /* With an interface class: the member's device path, as SetupDi reports it. */
    const char* device_path;
    const tarvex_device_ops* ops;
    void* driver;
} tarvex_device_desc;

/*
 * Creates a device. Interface members are enumerated in the order of their
 * creation. Returns 0 and a device id > 0 in *id, or a system error code
 * (87 for a bad descriptor, 183 when the name or path is already taken).
 */
TARVEX_DEVICE_API uint32_t tarvex_device_create(const tarvex_device_desc* desc, uint32_t* id);

/*
 * Removes a device: it can no longer be opened or enumerated, and calls on
 * handles that are still open fail with error 5. The driver's `release` runs
 * when the last reference is gone, possibly before this returns. May be
 * called from inside the device's own `control`. Returns 0, or 2 for an
 * unknown id.
 */
TARVEX_DEVICE_API uint32_t tarvex_device_remove(uint32_t id);

/* Number of handles open on devices of the namespace (all devices). */
TARVEX_DEVICE_API uint32_t tarvex_device_open_handles(void);

/*
 * The value the system reports from GetVersion. Default: a current NT version
 * (0x23F00206, Windows 8 numbering). TARVEX_SYSTEM_VERSION in the environment
 * (a number, or "nt40", "win95", "win7") sets it when the library loads. The
 * library reads the version once, when it is loaded; tests that change it
 * call tarvex_system_redetect afterwards.
 */
TARVEX_DEVICE_API void tarvex_system_set_version(uint32_t version);
TARVEX_DEVICE_API uint32_t tarvex_system_version(void);

/* Runs the library's load-time camera detection again (naming scheme included). */
TARVEX_DEVICE_API void tarvex_system_redetect(void);

/* What LoadLibraryA("setupapi.dll") finds. */
#define TARVEX_SETUPAPI_PRESENT 0
#define TARVEX_SETUPAPI_MISSING 1
#define TARVEX_SETUPAPI_NO_ENUM 2   /* lacks SetupDiEnumDeviceInterfaces */
#define TARVEX_SETUPAPI_NO_DETAIL 3 /* lacks SetupDiGetDeviceInterfaceDetailA */
TARVEX_DEVICE_API void tarvex_system_set_setupapi(int state);

/*
 * Makes allocations fail: the `nth` next one (1 = the very next) of `kind`,
 * and the `count` after it (count 1 = only that one); nth 0 cancels.
 */
#define TARVEX_ALLOC_GLOBAL 0 /* GlobalAlloc: the camera record */
#define TARVEX_ALLOC_HEAP 1   /* heap: I2C frames, interface detail records */
#define TARVEX_ALLOC_LOCK 2   /* GlobalLock of a freshly allocated block */
TARVEX_DEVICE_API void tarvex_system_fail_allocation(int kind, uint32_t nth, uint32_t count);

/* Number of movable memory blocks and heap blocks currently allocated. */
TARVEX_DEVICE_API uint32_t tarvex_system_live_blocks(int kind);

#ifdef __cplusplus
}
#endif

#endif /* TARVEX_DEVICE_H */
