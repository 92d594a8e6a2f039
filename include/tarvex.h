/*
 * tarvex.h - programming interface of the Tarvex USB industrial camera
 * (1280 x 1024 sensor).
 *
 * A flat set of C functions. Every function returns a signed 32-bit result:
 * 0 for success, or one of the TARVEX_ERR_* codes below (three functions
 * differ and say so). Failures are reported only by result codes.
 *
 * Threads. The library creates no threads; every function runs on the
 * caller's thread and returns when its device-control calls have returned.
 * Calls on different cameras are independent. Calls on ONE camera are made
 * one at a time by the application, with these exceptions: a start and a stop
 * of the stream may be called from several threads (starts are serialised
 * with each other, stops with each other, a start and a stop are not), and
 * TarvexTransfer / TarvexGetLastError may run while a start or stop is in
 * progress. BeginTarvex and TarvexGetDeviceNumber are called from one thread
 * at a time. EndTarvex must not run while another call on the same handle is
 * in progress.
 *
 * Pointers. Every pointer that a function reads or writes through must be
 * valid; a null pointer where one is needed gives TARVEX_ERR_OUT_OF_RANGE with
 * nothing sent to the camera and nothing changed.
 *
 * Handles. A CameraHandle is valid from a successful BeginTarvex to EndTarvex.
 * Any other value (0, a closed handle, an arbitrary number) gives
 * TARVEX_ERR_INVALID_HANDLE and is never dereferenced.
 */
#ifndef TARVEX_H
#define TARVEX_H

#include <stdint.h>

/* The standard Windows calling convention on 32-bit Windows; nothing elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define TARVEX_CALL __stdcall
#else
#define TARVEX_CALL
#endif

/* Export when building the library, import when using it. */
#if defined(_WIN32)
#if defined(TARVEX_BUILDING_LIBRARY)
#define TARVEX_API __declspec(dllexport)
#else
#define TARVEX_API __declspec(dllimport)
#endif
#else
#if defined(TARVEX_BUILDING_LIBRARY)
#define TARVEX_API __attribute__((visibility("default")))
#else
#define TARVEX_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result of the exported functions: 0 or a TARVEX_ERR_* code. */
typedef int32_t ApiStatus;

/* Result codes. */
#define TARVEX_OK 0
/* Device index outside 1..(camera count). */
#define TARVEX_ERR_NO_DEVICE (-1)
/* The camera handle cannot be locked, or the camera's driver handle cannot be opened. */
#define TARVEX_ERR_INVALID_HANDLE (-2)
/* The camera's identification string cannot be read or names no known variant. */
#define TARVEX_ERR_UNRECOGNISED_DEVICE (-3)
/* Memory for the camera record or an I2C frame cannot be obtained. */
#define TARVEX_ERR_NO_MEMORY (-6)
/* A vendor request failed or moved a byte count other than the one asked for. */
#define TARVEX_ERR_REQUEST_FAILED (-7)
/* A busy bit of the camera's status byte stayed set for 1000 ms. */
#define TARVEX_ERR_BUSY_TIMEOUT (-8)
/* A driver device-control call failed, reported a negative status or moved a wrong byte count. */
#define TARVEX_ERR_DRIVER_CALL (-9)
/* The operation needs hardware variant 2 (the camera with the peripheral port). */
#define TARVEX_ERR_NOT_SUPPORTED (-11)
/* Unrecognised selector, type, command or sub-mode. */
#define TARVEX_ERR_BAD_SELECTOR (-12)
/* An argument outside its range (a null pointer included), or a register outside the mirrored map. */
#define TARVEX_ERR_OUT_OF_RANGE (-13)
/* A driver status or last-error query failed. */
#define TARVEX_ERR_STATUS_QUERY (-17)

/* The short names of the result codes, as the product has always spelled them. */
#ifndef TARVEX_NO_SHORT_NAMES
#define ERR_NO_DEVICE TARVEX_ERR_NO_DEVICE
#define ERR_INVALID_HANDLE TARVEX_ERR_INVALID_HANDLE
#define ERR_UNRECOGNISED_DEVICE TARVEX_ERR_UNRECOGNISED_DEVICE
#define ERR_NO_MEMORY TARVEX_ERR_NO_MEMORY
#define ERR_REQUEST_FAILED TARVEX_ERR_REQUEST_FAILED
#define ERR_BUSY_TIMEOUT TARVEX_ERR_BUSY_TIMEOUT
#define ERR_DRIVER_CALL TARVEX_ERR_DRIVER_CALL
#define ERR_NOT_SUPPORTED TARVEX_ERR_NOT_SUPPORTED
#define ERR_BAD_SELECTOR TARVEX_ERR_BAD_SELECTOR
#define ERR_OUT_OF_RANGE TARVEX_ERR_OUT_OF_RANGE
#define ERR_STATUS_QUERY TARVEX_ERR_STATUS_QUERY
#endif

/* An open camera. Opaque: not a pointer to anything the caller may use. */
typedef void* CameraHandle;

/* Frame geometry of the full sensor. */
#define TARVEX_SENSOR_WIDTH 1280
#define TARVEX_SENSOR_HEIGHT 1024

/* ---------------------------------------------------------------------------
 * Cameras and handles
 * ------------------------------------------------------------------------- */

/*
 * Counts the attached cameras again and returns the count (>= 0, never an
 * error code). The count bounds the index that BeginTarvex accepts; a camera
 * attached after the library was loaded can be opened once this has counted
 * it. Not to be called while BeginTarvex runs on another thread.
 */
TARVEX_API int32_t TARVEX_CALL TarvexGetDeviceNumber(void);

/*
 * Opens camera `index` (1-based, up to the last count) and stores its handle
 * in *handle. The camera is identified, its sensor register shadow loaded,
 * any stream it was left running stopped, and the initial settings sent
 * (ADC mode 2, snap mode 0, trigger and strobe polarity 1, snap speed 1, and
 * on cameras with the peripheral port the output byte 0x3C).
 * Once the camera is identified and its record allocated, the open succeeds
 * whatever the later steps return.
 * Results: 0; TARVEX_ERR_NO_DEVICE (index <= 0 or above the count);
 * TARVEX_ERR_INVALID_HANDLE (the driver handle cannot be opened);
 * TARVEX_ERR_UNRECOGNISED_DEVICE; TARVEX_ERR_NO_MEMORY;
 * TARVEX_ERR_OUT_OF_RANGE (handle is null; nothing is opened).
 * On every failure *handle is 0 and nothing stays open.
 */
TARVEX_API ApiStatus TARVEX_CALL BeginTarvex(int32_t index, CameraHandle* handle);

/*
 * Closes the camera: stops the stream if one was started and not stopped,
 * closes the driver handle and frees the record. The handle value designates
 * nothing afterwards. Results: 0; TARVEX_ERR_INVALID_HANDLE (nothing changes).
 */
TARVEX_API ApiStatus TARVEX_CALL EndTarvex(CameraHandle handle);

/* ---------------------------------------------------------------------------
 * Streaming
 * ------------------------------------------------------------------------- */

/*
 * Starts the image stream. The frame size becomes window width x height (one
 * byte per pixel) as they stand now, and stays so until the next start.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_DRIVER_CALL (any step of
 * the start failed; every step was still sent, the new frame size is kept,
 * the stream counts as not started). May be called from several threads:
 * starts never overlap.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexStartSnap(CameraHandle handle);

/*
 * Stops the image stream (also when none runs). Results: 0;
 * TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_DRIVER_CALL (a step failed; every
 * step was still sent, the stream counts as still running).
 * TarvexAbortSnap is the same function under a second name.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexStopSnap(CameraHandle handle);
TARVEX_API ApiStatus TARVEX_CALL TarvexAbortSnap(CameraHandle handle);

/*
 * Fetches one frame into `buffer`, which holds at least the frame size fixed
 * by the last TarvexStartSnap (1,310,720 bytes for the full window; 0 before
 * the first start); the driver stores the number of bytes placed in
 * *bytesReturned. The frame is written by the driver straight into the
 * buffer: nothing is allocated or copied on the way. The library does not
 * check that a stream was started.
 * Results: the driver's transfer status, 0 or positive, on success;
 * TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_STATUS_QUERY; TARVEX_ERR_DRIVER_CALL
 * (the frame read failed: buffer and count as the driver left them); a
 * negative driver transfer status, unchanged (for example -1073741807 for a
 * transaction error), with buffer and count untouched;
 * TARVEX_ERR_OUT_OF_RANGE (bytesReturned is null, or buffer is null while
 * the frame size is not 0; nothing sent). A short frame shows only in
 * *bytesReturned. The result is also kept for TarvexCommand's query of the
 * last transfer result (every result but TARVEX_ERR_INVALID_HANDLE and
 * TARVEX_ERR_OUT_OF_RANGE).
 */
TARVEX_API int32_t TARVEX_CALL TarvexTransfer(CameraHandle handle, void* buffer, uint32_t* bytesReturned);

/*
 * Stores the driver's last-error value in *lastError. Results: 0;
 * TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_STATUS_QUERY;
 * TARVEX_ERR_OUT_OF_RANGE (null pointer).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexGetLastError(CameraHandle handle, int32_t* lastError);

/* ---------------------------------------------------------------------------
 * Snapshot, trigger, strobe and sync
 * ------------------------------------------------------------------------- */

/*
 * Chooses continuous acquisition (mode 0) or snapshot acquisition (modes 1 to
 * 3, one frame per trigger). Only the low byte of `mode` counts. Setting the
 * mode the camera already has sends nothing.
 * Results: 0; TARVEX_ERR_OUT_OF_RANGE (low byte above 3, checked first);
 * TARVEX_ERR_INVALID_HANDLE; a sensor write error (TARVEX_ERR_NO_MEMORY,
 * TARVEX_ERR_REQUEST_FAILED, TARVEX_ERR_BUSY_TIMEOUT: the mode is unchanged);
 * TARVEX_ERR_REQUEST_FAILED from telling the controller (the new mode is
 * recorded all the same, so repeating the call sends nothing).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexSetSnapMode(CameraHandle handle, uint32_t mode);

/*
 * Fires the sensor's trigger once (one frame in snapshot mode).
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; a sensor write error.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexTriggerShot(CameraHandle handle);

/*
 * Trigger polarity, strobe polarity and snap speed: the low byte of the
 * argument is passed to the camera's firmware and recorded when the camera
 * accepted it. Results: 0; TARVEX_ERR_INVALID_HANDLE;
 * TARVEX_ERR_REQUEST_FAILED (the recorded value is unchanged).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexSetTriggerPolarity(CameraHandle handle, uint32_t polarity);
TARVEX_API ApiStatus TARVEX_CALL TarvexSetStrobePolarity(CameraHandle handle, uint32_t polarity);
TARVEX_API ApiStatus TARVEX_CALL TarvexSetSnapSpeed(CameraHandle handle, uint32_t speed);

/*
 * Waits for the frame sync to fall (a high read followed directly by a low
 * one), at most about 5000 ms; a wait that starts while the level is low
 * first waits for it to rise. The call busy-polls the camera without
 * sleeping; a failed read keeps the level read before it (low before the
 * first good read). Results: 0 once the handle could be locked, whether or
 * not the edge came; TARVEX_ERR_INVALID_HANDLE.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexWaitSync(CameraHandle handle);

/* ---------------------------------------------------------------------------
 * Peripheral port (cameras of variant 2 only)
 * ------------------------------------------------------------------------- */

/*
 * Sets one output of the peripheral port, or (selector 4) fires the port's
 * action. Only the low byte of `selector` counts: 0 and 1 take the value's
 * low byte; 2, 3, 5 and 6 take bit 0 of the value (the outputs are inverted
 * on the wire); 4 ignores the value.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_NOT_SUPPORTED (variant 1,
 * tested before the selector); TARVEX_ERR_BAD_SELECTOR (above 6);
 * TARVEX_ERR_REQUEST_FAILED (the library keeps the new output byte anyway).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexPeriDeviceControl(CameraHandle handle, uint32_t selector,
                                                         uint32_t value);

/*
 * Reads the three inputs of the peripheral port into *status (bits 0-2;
 * inputs 1 and 2 are active low on the wire and come back inverted; 0 on
 * every failure). Results: 0; TARVEX_ERR_INVALID_HANDLE;
 * TARVEX_ERR_NOT_SUPPORTED; TARVEX_ERR_REQUEST_FAILED;
 * TARVEX_ERR_OUT_OF_RANGE (status is null: nothing sent, nothing stored).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexGetArriveStatus(CameraHandle handle, uint8_t* status);

/* ---------------------------------------------------------------------------
 * Image geometry
 * ------------------------------------------------------------------------- */

/*
 * Resolution mode (low byte of `mode`): 0 = 1280 x 1024, 1 = 640 x 512,
 * 2 = 320 x 256 output pixels; 3 is a sensor mode with no defined output
 * size, in which TarvexSetOutputWindow refuses a window (the sensor keeps
 * the window it had and the frame size stays that of the last window set).
 * The window is not rescaled: set it again afterwards with
 * TarvexSetOutputWindow. Results: 0; TARVEX_ERR_OUT_OF_RANGE (above 3,
 * checked before the handle); TARVEX_ERR_INVALID_HANDLE; a sensor write
 * error of the last of its three register writes (the mode is unchanged;
 * the failure of an earlier one is not reported).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexSetResolution(CameraHandle handle, uint32_t mode);

/*
 * Places and sizes the output window, in output pixels of the current mode
 * (scaled by 1, 2 or 4 into sensor pixels). x and y are not bounded; the
 * sensor's position and size registers take the scaled values modulo
 * 65536. The frame size, width x height bytes, follows at the next
 * TarvexStartSnap. Results: 0; TARVEX_ERR_OUT_OF_RANGE (width < 4,
 * height < 3, or width x height beyond 2^31 - 1: checked before the handle;
 * resolution mode 3, which has no scale: nothing sent);
 * TARVEX_ERR_INVALID_HANDLE; a sensor write error (the window and frame size
 * are unchanged).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexSetOutputWindow(CameraHandle handle, int32_t x, int32_t y,
                                                       int32_t width, int32_t height);

/*
 * Horizontal and vertical blanking. Usable range: horizontal -9 to 2038,
 * vertical -25 to 2022 (not checked: the registers take delay + 9 and
 * delay + 25 modulo 65536). Results: 0; TARVEX_ERR_INVALID_HANDLE; a sensor
 * write error.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexSetDelay(CameraHandle handle, int32_t horizontal, int32_t vertical);

/*
 * Mirroring on (enable non-zero) or off. The second argument is not used.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; a sensor write error.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexEnableVideoMirror(CameraHandle handle, int32_t unused, int32_t enable);

/* ---------------------------------------------------------------------------
 * Analog controls. Only the low byte of the selector counts.
 * ------------------------------------------------------------------------- */

/*
 * Selector 0: ADC mode (low byte sent to the controller, whole value kept);
 * 1: ADC flag (1 bit); 16-19: channel levels 0-3 (9 bits). The value is not
 * checked against the field: bits beyond it change the bits beside it.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE (checked before the selector);
 * TARVEX_ERR_BAD_SELECTOR (nothing sent); TARVEX_ERR_REQUEST_FAILED; a
 * sensor write error.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexADCControl(CameraHandle handle, uint32_t selector, int32_t value);

/*
 * Selector 16-19: channel gains 0-3 (7 bits); 0: accepted, nothing sent,
 * result 0. Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_BAD_SELECTOR;
 * a sensor write error.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexAGCControl(CameraHandle handle, uint32_t selector, int32_t value);

/*
 * Selector 1: exposure (14 bits); 2: exposure delay (11 bits); 0: accepted,
 * nothing sent, result 0. Results as TarvexAGCControl.
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexAECControl(CameraHandle handle, uint32_t selector, int32_t value);

/* ---------------------------------------------------------------------------
 * Device information
 * ------------------------------------------------------------------------- */

/* Record types of TarvexGetDeviceInfo and their sizes in bytes. */
#define TARVEX_INFO_IDENTIFICATION 0 /* 2 characters */
#define TARVEX_INFO_MODEL 1          /* 12 characters, not terminated */
#define TARVEX_INFO_CONSTANT_ONE 2   /* 1 byte: 1 */
#define TARVEX_INFO_SENSOR_ID 3      /* 16-bit sensor register 0x00 */
#define TARVEX_INFO_RELEASE 4        /* 16-bit device release number */
#define TARVEX_INFO_RESOLUTIONS 16   /* six int32: 1280, 1024, 640, 512, 320, 256 */
#define TARVEX_INFO_DELAY_RANGE 18   /* four int32: -9, -25, 2038, 2022 */

/*
 * Delivers the record of `type` (compared as a whole 32-bit value: 0x110 is
 * not 16) into `buffer`: exactly the record's bytes, strings not terminated.
 * Size negotiation: when `buffer` is null or *size is not exactly the
 * record's size, *size is set to that size, 0 is returned, nothing is sent to
 * the camera and the buffer is not touched; compare *size with what you
 * passed to know whether data came. Call once with a null buffer to learn the
 * size, then with a buffer of that size and *size holding it.
 * Types 0 and 1 are read from the camera's string descriptors and type 3
 * from the sensor at each call; the others are constants or stored at open.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE (nothing written);
 * TARVEX_ERR_BAD_SELECTOR (*size = 0); TARVEX_ERR_DRIVER_CALL (a string
 * descriptor unreadable or too short; buffer untouched); a sensor read error
 * (type 3: TARVEX_ERR_NO_MEMORY, TARVEX_ERR_REQUEST_FAILED,
 * TARVEX_ERR_BUSY_TIMEOUT; buffer untouched); TARVEX_ERR_OUT_OF_RANGE (size
 * is null; nothing sent).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexGetDeviceInfo(CameraHandle handle, uint32_t type, void* buffer,
                                                     int32_t* size);

/*
 * Copies the driver's 12-byte slot record into `buffer` unchanged.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; a positive system error code when
 * the driver call fails (TARVEX_ERR_DRIVER_CALL if the system gives none;
 * the buffer's content is then undefined); TARVEX_ERR_DRIVER_CALL when it
 * returns another byte count; TARVEX_ERR_OUT_OF_RANGE (null pointer).
 */
TARVEX_API int32_t TARVEX_CALL TarvexGetSlotInfo(CameraHandle handle, void* buffer);

/*
 * Small controller operations by `type` (a whole 32-bit value): 0 writes the
 * byte 1, nothing sent (*size = 1); 1 reads one controller byte and 3 one
 * status byte (*size = 1 whatever the result); 2 reads *size bytes (*size
 * unchanged; 0 reads nothing and needs no buffer); 4 sends a command byte
 * (buffer and *size untouched, neither needed). There is no size negotiation.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_BAD_SELECTOR
 * (*size = 0); TARVEX_ERR_REQUEST_FAILED; TARVEX_ERR_OUT_OF_RANGE (a null
 * pointer where one is used, or a negative *size for type 2; nothing sent).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexDeviceControl(CameraHandle handle, uint32_t type, void* buffer,
                                                     int32_t* size);

/* ---------------------------------------------------------------------------
 * Extended commands
 * ------------------------------------------------------------------------- */

/* `data` of command 37: strobe setup. */
typedef struct StrobeSetup {
    int32_t polarity; /* mode 0 sends its low byte; mode 1 sends 1 when it is 0, else 0 */
    int32_t mode;     /* 0 or 1 */
} StrobeSetup;

/* `data` of command 256: a status query. */
typedef struct CommandQuery {
    int32_t queryCode;       /* 12: a fixed word; 14: a status selected by *inBuffer */
    int32_t* inBuffer;       /* query 14: 0 driver last error, 1 transfer status, 2 last transfer result */
    uint32_t inBufferSize;   /* not read */
    uint32_t* outBuffer;     /* receives the answer */
    uint32_t outBufferSize;  /* not read */
    uint32_t* bytesReturned; /* may be null; receives 4, or 0 for a refused selector */
} CommandQuery;

/*
 * Operations without a function of their own, by `command` (a whole 32-bit
 * value: 0x125 is not 37):
 *   0, 1  send the *size-byte block at `data` to the firmware and wait until
 *         it is taken (busy bit 0 or 1, at most 1000 ms);
 *   2     reads *size bytes into `data`;
 *   3     sends the byte data[0];
 *   37    strobe setup (StrobeSetup): mode 0 sets bits 9 and 10 of sensor
 *         register 0x1E, mode 1 clears bits 9 and 11, then the strobe byte is
 *         sent (not recorded as the strobe polarity); another mode gives
 *         TARVEX_ERR_BAD_SELECTOR with nothing sent;
 *   40    pulses bit 0 of sensor register 0x0D (*data must be a 32-bit 0,
 *         else TARVEX_ERR_BAD_SELECTOR with nothing sent);
 *   48    reads 2 bytes into `data`;
 *   256   a query (CommandQuery): *size receives 4, or 0 when the query code
 *         or selector is refused (TARVEX_ERR_BAD_SELECTOR; *bytesReturned is
 *         0 for a refused selector and untouched for a refused query code).
 *         After a failed driver query (TARVEX_ERR_STATUS_QUERY) the 4 stays.
 * *size is read by 0, 1 and 2, written by 256 and by unknown commands, and
 * not used by the others (it may then be null). An empty block (*size 0)
 * needs no data.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE (nothing touched);
 * TARVEX_ERR_BAD_SELECTOR (unknown command: *size = 0, data not read);
 * TARVEX_ERR_REQUEST_FAILED; TARVEX_ERR_BUSY_TIMEOUT (the block was sent);
 * TARVEX_ERR_STATUS_QUERY; a sensor write error; TARVEX_ERR_OUT_OF_RANGE (a
 * null pointer where one is used; nothing sent, nothing written).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexCommand(CameraHandle handle, uint32_t command, void* data,
                                               uint32_t* size);

/* ---------------------------------------------------------------------------
 * Maintenance: controller, firmware, EEPROM, device memory, I2C, bulk pipe.
 * None of these is coordinated with a running stream.
 * ------------------------------------------------------------------------- */

/* Holds / releases the controller's CPU. Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_REQUEST_FAILED. */
TARVEX_API ApiStatus TARVEX_CALL Tarvex8051Hold(CameraHandle handle);
TARVEX_API ApiStatus TARVEX_CALL Tarvex8051Run(CameraHandle handle);

/*
 * Loads `length` bytes of firmware into the controller's memory from address
 * 0 upward, in 64-byte chunks. Hold the CPU first and run it afterwards.
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_REQUEST_FAILED (the
 * chunks before the failing one stay loaded); TARVEX_ERR_OUT_OF_RANGE (null
 * image with a non-zero length).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexAnchorDownload(CameraHandle handle, const uint8_t* image,
                                                      uint32_t length);

/* Sends an EEPROM image in one transfer. Results as TarvexAnchorDownload. */
TARVEX_API ApiStatus TARVEX_CALL TarvexLoadEEPROM(CameraHandle handle, const uint8_t* image, uint32_t length);

/*
 * Reads `length` bytes of device memory at `address` (low 16 bits) in one
 * transfer; reads have no range limit. Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_REQUEST_FAILED;
 * TARVEX_ERR_OUT_OF_RANGE (null buffer with a non-zero length).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexDeviceMemRead(CameraHandle handle, uint32_t address, void* buffer,
                                                     uint32_t length);

/*
 * Writes device memory, addresses 0-1023 only, in 64-byte chunks each
 * followed by a wait for the controller. Results: 0;
 * TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_OUT_OF_RANGE (address + length beyond
 * 1024, or a null pointer; nothing sent); TARVEX_ERR_REQUEST_FAILED and
 * TARVEX_ERR_BUSY_TIMEOUT (the chunks before stay written).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexDeviceMemWrite(CameraHandle handle, uint32_t address, const void* data,
                                                      uint32_t length);

/*
 * Reads `count` (modulo 65536) consecutive sensor registers from `start`
 * (any register; the library's mirrored copies are not refreshed).
 * Results: 0; TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_NO_MEMORY;
 * TARVEX_ERR_REQUEST_FAILED; TARVEX_ERR_BUSY_TIMEOUT; TARVEX_ERR_OUT_OF_RANGE
 * (null pointer with a non-zero count).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexI2CRead(CameraHandle handle, uint32_t start, uint16_t* values,
                                               uint32_t count);

/*
 * Writes `count` (modulo 65536) consecutive sensor registers from `start` in
 * one frame. Every register of the range must be one the library mirrors:
 * otherwise TARVEX_ERR_OUT_OF_RANGE and nothing is sent (the mirrored copies
 * of the registers before it are already replaced). The mirrored copies keep
 * the new values even when the write fails. Other results: 0;
 * TARVEX_ERR_INVALID_HANDLE; TARVEX_ERR_NO_MEMORY; TARVEX_ERR_REQUEST_FAILED;
 * TARVEX_ERR_BUSY_TIMEOUT; TARVEX_ERR_OUT_OF_RANGE (null pointer with a
 * non-zero count).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexI2CWrite(CameraHandle handle, uint32_t start, const uint16_t* values,
                                                uint32_t count);

/*
 * Raw bulk pipe 1. Results: 0; TARVEX_ERR_INVALID_HANDLE;
 * TARVEX_ERR_DRIVER_CALL (failed, or another byte count than `length`);
 * TARVEX_ERR_OUT_OF_RANGE (null pointer with a non-zero length).
 */
TARVEX_API ApiStatus TARVEX_CALL TarvexBulkRead(CameraHandle handle, void* buffer, uint32_t length);
TARVEX_API ApiStatus TARVEX_CALL TarvexBulkWrite(CameraHandle handle, const void* data, uint32_t length);

#ifdef __cplusplus
}
#endif

#endif /* TARVEX_H */
