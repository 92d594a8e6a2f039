/*
 * tarvex_sim.h - control of simulated Tarvex cameras.
 *
 * A simulated camera plays the camera's kernel driver, its controller's
 * firmware and its image sensor. Once attached it is found and opened like a
 * real camera (both naming schemes) and answers every device-control call and
 * vendor request the library sends. Develop against it without hardware.
 *
 * Without any code, cameras can be attached when the library loads through
 * the environment variable TARVEX_SIM (see tarvex_sim_attach_list for the
 * syntax), e.g. TARVEX_SIM=2.
 *
 * Every function returns 0 (or a count / id >= 0) on success and a negative
 * TARVEX_SIM_E* code on failure. All may be called from any thread; each
 * camera's calls are serialised internally.
 *
 * The same calls work on Linux (in process) and on Windows (through the
 * simulated driver's control device).
 */
#ifndef TARVEX_SIM_H
#define TARVEX_SIM_H

#include <stdint.h>

#if defined(_WIN32)
#define TARVEX_SIM_API
#elif defined(TARVEX_BUILDING_LIBRARY)
#define TARVEX_SIM_API __attribute__((visibility("default")))
#else
#define TARVEX_SIM_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define TARVEX_SIM_EINVAL (-1)    /* bad argument or description */
#define TARVEX_SIM_ENOCAMERA (-2) /* no such camera id */
#define TARVEX_SIM_ENOSPACE (-3)  /* no room (names taken, too many cameras) */
#define TARVEX_SIM_ENODRIVER (-4) /* the simulated driver cannot be reached (Windows) */

/*
 * Attaches one simulated camera described by `description` and returns its id (> 0).
 *
 * Camera description: IDENT[:key=value]...
 *   IDENT              string descriptor 1, the identification: "UA..." is a
 *                      camera of variant 2 (with the peripheral port), "S4..."
 *                      of variant 1; anything else is attached as given (the
 *                      library then refuses it). The digit "1" or "2" alone
 *                      means the default identification of that variant
 *                      ("S4-TVX1280", "UA-TVX1280"). At most 126 characters.
 *   model=TEXT         string descriptor 2 (default "TVX1280M-" + serial)
 *   serial=TEXT        serial part of the default model string (default: the
 *                      number in four digits, "0001")
 *   release=N          device release number, bcdDevice (default 0x0100)
 *   number=N           number of its numbered device name, 1 to 65535
 *                      (default: lowest free)
 *   paced=0|1          pace frames like a USB 2.0 link (default 0; cameras
 *                      of TARVEX_SIM default to 1)
 *   inputs=N           peripheral input byte answered to the controller read
 *                      (default 0)
 * Numbers are decimal or 0x-prefixed hexadecimal. Returns TARVEX_SIM_EINVAL
 * for a bad description, TARVEX_SIM_ENOSPACE when the number is taken or 64 cameras
 * are attached.
 */
TARVEX_SIM_API int32_t tarvex_sim_attach(const char* description);

/*
 * Attaches a list of cameras: "N" (N cameras of variant 2), "N:key=value..."
 * (the same, each with the options; number=K numbers them K, K+1, ...), or
 * camera specs separated by commas ("S4,UA:serial=0042"; there "1" and "2"
 * are one camera of that variant). "" and "0" attach none. This is the
 * syntax of TARVEX_SIM. Returns the number attached; on a bad description, or when
 * one camera cannot be attached, attaches nothing.
 */
TARVEX_SIM_API int32_t tarvex_sim_attach_list(const char* list);

/* Unplugs a camera: it disappears from enumeration; open handles fail. */
TARVEX_SIM_API int32_t tarvex_sim_detach(int32_t camera);
/* Unplugs every simulated camera and restores the real clock. */
TARVEX_SIM_API int32_t tarvex_sim_detach_all(void);
/* Ids of the attached cameras, in attach order; returns how many there are. */
TARVEX_SIM_API int32_t tarvex_sim_cameras(int32_t* ids, int32_t max);

/* ---- Properties ---------------------------------------------------------- */

enum tarvex_sim_property {
    TARVEX_SIM_PROP_VARIANT = 1,        /* r: 1, 2, or 0 when unrecognised */
    TARVEX_SIM_PROP_NUMBER,             /* r: number of the numbered device name */
    TARVEX_SIM_PROP_BUSY_READS_BIT0,    /* rw: status reads that see bit 0 set after a polled write; -1 never
                                           clears (default 1) */
    TARVEX_SIM_PROP_BUSY_READS_BIT1,    /* rw: the same for bit 1 (default 1) */
    TARVEX_SIM_PROP_CPU_HELD,           /* r: the controller's CPU byte (1 hold, 0 run) */
    TARVEX_SIM_PROP_FIRMWARE_BYTES,     /* r: highest controller address loaded + 1 */
    TARVEX_SIM_PROP_OPEN_HANDLES,       /* r: driver handles open on this camera */
    TARVEX_SIM_PROP_STREAMING,          /* r: acquisition switched on (vendor request 0xBC) */
    TARVEX_SIM_PROP_ARMED_BYTES,        /* r: frame size the stream was armed with (code 340) */
    TARVEX_SIM_PROP_FRAMES_DELIVERED,   /* r: frames delivered by code 350 */
    TARVEX_SIM_PROP_TRANSFER_STATUS,    /* rw: status word answered to code 456 (default 0) */
    TARVEX_SIM_PROP_LAST_ERROR,         /* rw: word answered to code 452 (default 0) */
    TARVEX_SIM_PROP_PACED,              /* rw: 1 paces frames like a USB 2.0 link */
    TARVEX_SIM_PROP_PERIPHERAL_OUTPUTS, /* r: last output byte (0xD1) */
    TARVEX_SIM_PROP_PERIPHERAL_ACTIONS, /* r: number of port actions (0xD3) */
    TARVEX_SIM_PROP_PERIPHERAL_INPUTS,  /* rw: byte answered to 0xD2 */
    TARVEX_SIM_PROP_SYNC_MODE, /* rw: 0 follows frame timing, 1 scripted (see tarvex_sim_script_sync) */
    TARVEX_SIM_PROP_SNAPSHOT_PENDING, /* r: triggered frames not yet delivered */
    TARVEX_SIM_PROP_FRAME_TIMEOUT_MS, /* rw: wait for a triggered frame before a read fails (default 500) */
    TARVEX_SIM_PROP_SENSOR_READS,     /* r: register reads over I2C */
    TARVEX_SIM_PROP_EEPROM_BYTES,     /* r: size of the EEPROM image last stored */
};

TARVEX_SIM_API int32_t tarvex_sim_get(int32_t camera, int32_t property, int64_t* value);
TARVEX_SIM_API int32_t tarvex_sim_set(int32_t camera, int32_t property, int64_t value);

/* ---- Memories ------------------------------------------------------------- */

enum tarvex_sim_memory {
    TARVEX_SIM_MEM_CONTROLLER = 1,    /* controller memory that firmware downloads fill (64 KiB) */
    TARVEX_SIM_MEM_DEVICE,            /* device memory of 0xBA / 0xBB (64 KiB) */
    TARVEX_SIM_MEM_EEPROM,            /* the EEPROM image last stored (64 KiB) */
    TARVEX_SIM_MEM_SENSOR,            /* sensor registers: 256 x 16-bit, host order */
    TARVEX_SIM_MEM_SLOT,              /* the 12-byte slot record of code 448 */
    TARVEX_SIM_MEM_FIRMWARE_BLOCK,    /* 0xBD / 0xBF blocks last received; 0xC3 answers from here */
    TARVEX_SIM_MEM_BULK,              /* bulk pipe 1: bytes written and not yet read */
    TARVEX_SIM_MEM_STRING1,           /* string descriptor 1, as UTF-16LE code units */
    TARVEX_SIM_MEM_STRING2,           /* string descriptor 2 */
    TARVEX_SIM_MEM_DEVICE_DESCRIPTOR, /* the 18-byte USB device descriptor */
};

/*
 * Reads or writes `length` bytes of a camera memory at `offset`. Returns the
 * number of bytes moved (less at the end of the memory). Writing a string
 * descriptor replaces it (its length becomes offset + length).
 */
TARVEX_SIM_API int32_t tarvex_sim_read_memory(int32_t camera, int32_t memory, uint32_t offset, void* buffer,
                                              uint32_t length);
TARVEX_SIM_API int32_t tarvex_sim_write_memory(int32_t camera, int32_t memory, uint32_t offset,
                                               const void* data, uint32_t length);

/* ---- Faults --------------------------------------------------------------- */

enum tarvex_sim_fault_kind {
    TARVEX_SIM_FAULT_FAIL = 1, /* the call fails with `error` (default 31) */
    TARVEX_SIM_FAULT_SHORT,    /* the call succeeds but reports `short_by` bytes fewer (default 1) */
    TARVEX_SIM_FAULT_DETACH,   /* the camera is unplugged instead of answering */
    TARVEX_SIM_FAULT_STATUS,   /* the call succeeds and writes `status` as its 32-bit status word */
};

#define TARVEX_SIM_ANY (-1)

typedef struct tarvex_sim_fault {
    int32_t kind;
    int32_t code;      /* device-control code; 0: opening a handle (FAIL refuses it with
                          `error`, DETACH unplugs the camera); TARVEX_SIM_ANY: any
                          device-control call (not an open) */
    int32_t request;   /* with codes 6 and 9: the vendor request, or TARVEX_SIM_ANY */
    uint32_t nth;      /* the nth matching call from now (1 = the next one) */
    uint32_t count;    /* how many matching calls from the nth on (0 = every one) */
    uint32_t error;    /* FAIL: system error code (0 means 31) */
    uint32_t short_by; /* SHORT: bytes fewer (0 means 1) */
    int32_t status;    /* STATUS: status word */
} tarvex_sim_fault;

/* Adds a fault (up to 16 per camera). Returns 0. */
TARVEX_SIM_API int32_t tarvex_sim_add_fault(int32_t camera, const tarvex_sim_fault* fault);
TARVEX_SIM_API int32_t tarvex_sim_clear_faults(int32_t camera);

/* ---- Sync level ------------------------------------------------------------ */

/*
 * Scripts the sync level read from pipe 0: levels[i] answers the i-th read
 * from now (0 low, else high); after the script the last level holds.
 * Sets TARVEX_SIM_PROP_SYNC_MODE to 1. At most 4096 levels.
 */
TARVEX_SIM_API int32_t tarvex_sim_script_sync(int32_t camera, const uint8_t* levels, uint32_t count);

/* ---- Call log -------------------------------------------------------------- */

/* One device-control call as the camera saw it. */
typedef struct tarvex_sim_call {
    uint64_t sequence;       /* 1, 2, ... across all cameras */
    uint64_t time_us;        /* camera clock when the call came */
    uint32_t code;           /* device-control code (0 for an open, 1 for a close) */
    int32_t request;         /* codes 6, 9: the vendor request (byte 4 of the block); else -1 */
    uint16_t value, index;   /* codes 6, 9: the block's value and index */
    uint32_t in_size;        /* input bytes */
    uint32_t out_size;       /* output buffer length */
    uint32_t bytes_returned; /* byte count reported */
    uint32_t error;          /* 0 success, else the system error code */
    uint8_t in[32];          /* first input bytes */
    uint8_t data[64];        /* first bytes of the output buffer: data sent (codes 9, 329) or returned */
} tarvex_sim_call;

/* Calls kept per camera (older ones are dropped). */
#define TARVEX_SIM_LOG_CAPACITY 16384

/* Number of calls logged since attach or the last clear (may exceed the capacity). */
TARVEX_SIM_API int64_t tarvex_sim_log_count(int32_t camera);
/*
 * Copies logged calls from `first` (0-based over everything logged since the
 * clear) into `calls`. Returns how many were copied (calls dropped from the
 * log are skipped).
 */
TARVEX_SIM_API int32_t tarvex_sim_log_read(int32_t camera, int64_t first, tarvex_sim_call* calls,
                                           int32_t max);
TARVEX_SIM_API int32_t tarvex_sim_log_clear(int32_t camera);
/* Switches logging off (1) or on (0) - for benchmarks. */
TARVEX_SIM_API int32_t tarvex_sim_log_pause(int32_t camera, int32_t paused);

/* ---- Clock ---------------------------------------------------------------- */

/*
 * Switches to a virtual clock starting at `start_ms`: it stands still except
 * that every device-control call to a simulated camera advances it by
 * `step_us` microseconds (0 means 1000), and paced or time-outs waits jump
 * ahead instead of sleeping. The library's tick count reads this clock, so a
 * 1000 ms time-out costs no real time. enable 0 returns to real time.
 * (Linux; on Windows the system's tick count is real.)
 */
TARVEX_SIM_API int32_t tarvex_sim_clock_virtual(int32_t enable, uint32_t start_ms, uint32_t step_us);
/* The clock in milliseconds (low 32 bits: what the library's tick count reads). */
TARVEX_SIM_API int64_t tarvex_sim_clock_ms(void);
/* Advances the virtual clock. */
TARVEX_SIM_API int32_t tarvex_sim_clock_advance_us(uint64_t us);

#ifdef __cplusplus
}
#endif

#endif /* TARVEX_SIM_H */
