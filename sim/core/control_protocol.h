// The control interface of the simulated cameras as flat requests: every
// tarvex_sim_* call is one fixed-size ControlRequest (no pointers), so that
// it can travel to the simulator as it stands - on Windows as a private
// device-control call to the simulator's control device, its bulk data
// (memory contents, sync script, log records, camera ids) following the
// request in the input buffer or returned in the output buffer.
#pragma once

#include <cstdint>

#include "tarvex_sim.h"

namespace tarvex::sim {

inline constexpr uint32_t CONTROL_TEXT_BYTES = 4096;

enum class ControlOperation : uint32_t {
    Attach = 1,  // text: a camera description
    AttachList,  // text: a list; defaultPaced
    Detach,
    DetachAll,
    ListCameras,  // out: up to `max` int32 ids
    GetProperty,
    SetProperty,
    ReadMemory,   // out: the bytes
    WriteMemory,  // in: the bytes
    AddFault,
    ClearFaults,
    ScriptSync,  // in: the levels
    LogCount,
    LogRead,  // out: up to `max` tarvex_sim_call records
    LogClear,
    LogPause,
    ClockVirtual,
    ClockRead,
    ClockAdvance,
};

struct AttachRequest {
    uint32_t length;       // bytes of text used
    int32_t defaultPaced;  // for cameras without paced=
    char text[CONTROL_TEXT_BYTES];
};

struct PropertyRequest {
    int32_t property;
    int32_t reserved;
    int64_t value;
};

struct MemoryRequest {
    int32_t memory;
    uint32_t offset;
    uint32_t length;
};

struct LogRequest {
    int64_t first;
    int32_t max;
    int32_t paused;
};

struct SyncScriptRequest {
    uint32_t count;
};

struct ClockRequest {
    int32_t enable;
    uint32_t startMs;
    uint32_t stepUs;
    uint32_t reserved;
    uint64_t advanceUs;
};

struct ListRequest {
    int32_t max;
};

struct ControlRequest {
    ControlOperation operation;
    int32_t camera;
    union {
        AttachRequest attach;
        PropertyRequest property;
        MemoryRequest memory;
        tarvex_sim_fault fault;
        LogRequest log;
        SyncScriptRequest sync;
        ClockRequest clock;
        ListRequest list;
    };
};

// The result (an id, a count, a value or a TARVEX_SIM_E* code) and, for
// GetProperty, the value.
struct ControlReply {
    int64_t result;
    int64_t value;
};

// The bulk data of a request: on Linux the caller's own buffers, on Windows
// the parts of the control call's buffers after the request and the reply.
struct ControlData {
    const uint8_t* in;
    uint32_t inSize;
    uint8_t* out;
    uint32_t outSize;
};

}  // namespace tarvex::sim
