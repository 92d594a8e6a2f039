// One simulated camera: its driver's answers to every device-control code,
// its controller's answers to every vendor request, and the state behind
// them. The simulator around it does the bookkeeping common to all calls
// (clock, faults, log); this class only executes a call.
#pragma once

#include <cstdint>

#include "bulk_pipe.h"
#include "call_log.h"
#include "camera_description.h"
#include "camera_identity.h"
#include "controller_memory.h"
#include "device_call.h"
#include "eeprom.h"
#include "fault_injector.h"
#include "firmware_blocks.h"
#include "frame_stream.h"
#include "peripheral_port.h"
#include "sensor_register_file.h"
#include "snapshot_trigger.h"
#include "status_byte.h"
#include "sync_level.h"
#include "wrapping_memory.h"

namespace tarvex::sim {

// The device-control codes the driver answers.
namespace code {
inline constexpr uint32_t OPEN_SETUP = 0x220000;
inline constexpr uint32_t VENDOR_IN = 6;
inline constexpr uint32_t VENDOR_OUT = 9;
inline constexpr uint32_t FIRMWARE_BYTE = 12;
inline constexpr uint32_t STREAM_RESET = 20;
inline constexpr uint32_t DEVICE_DESCRIPTOR = 68;
inline constexpr uint32_t STRING_DESCRIPTOR = 80;
inline constexpr uint32_t STREAM_ABORT = 320;
inline constexpr uint32_t BULK_READ = 326;
inline constexpr uint32_t BULK_WRITE = 329;
inline constexpr uint32_t STREAM_START = 340;
inline constexpr uint32_t STREAM_STOP = 344;
inline constexpr uint32_t READ_FRAME = 350;
inline constexpr uint32_t SLOT_INFO = 448;
inline constexpr uint32_t LAST_ERROR = 452;
inline constexpr uint32_t TRANSFER_STATUS = 456;
}  // namespace code

inline constexpr uint32_t VENDOR_REQUEST_BYTES = 10;
inline constexpr uint32_t SLOT_RECORD_BYTES = 12;

// The request code of a vendor request call, else -1.
int32_t vendorRequestOf(const DeviceCall& call);
// Whether the code answers a 32-bit status word (what a STATUS fault replaces).
bool answersStatusWord(uint32_t code);

class SimCamera {
public:
    SimCamera(int32_t id, const CameraDescription& description, bool paced);

    int32_t id() const { return id_; }

    // Published under `number` with `token`, or unplugged.
    void plugIn(uint32_t number, uint64_t token);
    void unplug() { plugged_ = false; }
    bool plugged() const { return plugged_; }
    uint32_t number() const { return number_; }
    uint64_t token() const { return token_; }

    void handleOpened() { ++openHandles_; }
    void handleClosed() {
        if (openHandles_ != 0) --openHandles_;
    }

    // Executes one call at camera time `nowUs`, or says when to try again;
    // nothing changes in a call that has to wait.
    CallOutcome execute(DeviceCall& call, uint64_t nowUs);

    // The control interface's view (tarvex_sim_get/set, read/write_memory).
    // Properties return 0 or TARVEX_SIM_EINVAL; memories the bytes moved or
    // TARVEX_SIM_EINVAL.
    int32_t getProperty(int32_t property, int64_t* value) const;
    int32_t setProperty(int32_t property, int64_t value);
    int32_t readMemory(int32_t memory, uint32_t offset, uint8_t* out, uint32_t length);
    int32_t writeMemory(int32_t memory, uint32_t offset, const uint8_t* data, uint32_t length);

    FaultInjector& faults() { return faults_; }
    CallLog& log() { return log_; }
    SyncLevel& sync() { return sync_; }

private:
    void vendorIn(DeviceCall& call, uint8_t request, uint16_t value, uint16_t index);
    void vendorOut(DeviceCall& call, uint8_t request, uint16_t value, uint16_t index, uint64_t nowUs);
    CallOutcome readFrame(DeviceCall& call, uint64_t nowUs);
    void bulkRead(DeviceCall& call, uint64_t nowUs);
    void bulkWrite(DeviceCall& call);
    bool hasPeripheralPort() const { return identity_.variant() != 1; }

    int32_t id_;
    uint32_t number_ = 0;
    uint64_t token_ = 0;
    bool plugged_ = false;
    uint32_t openHandles_ = 0;

    CameraIdentity identity_;
    CameraDescription spec_;
    StatusByte status_;
    ControllerMemory controller_;
    SensorRegisterFile sensor_;
    FrameStream stream_;
    SnapshotTrigger snapshot_;
    SyncLevel sync_;
    PeripheralPort port_;
    WrappingMemory deviceMemory_;
    Eeprom eeprom_;
    FirmwareBlocks blocks_;
    BulkPipe bulk_;
    FaultInjector faults_;
    CallLog log_;

    int32_t transferStatus_ = 0;
    int32_t lastError_ = 0;
    uint8_t slot_[SLOT_RECORD_BYTES] = {};
    uint64_t sensorReads_ = 0;
    // One-byte settings the firmware keeps (0xB5..0xB9, 0xC4), by request - 0xB5.
    uint8_t settings_[16] = {};
};

}  // namespace tarvex::sim
