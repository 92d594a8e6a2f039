#include "acquisition/stream.h"

#include "acquisition/section_guard.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"
#include "transport/vendor_request.h"

namespace tarvex {

ApiStatus startStream(HANDLE device, CRITICAL_SECTION* lock, int32_t frameBytes) {
    SectionGuard guard(lock);
    // Every step goes out whatever the one before returned; a failed vendor
    // request counts as a failed driver call.
    bool framingReset = writeVendorByte(device, request::FRAME_RESET, 0) >= 0;
    bool streamArmed = callDriverWithValue(device, driver::STREAM_START, static_cast<uint32_t>(frameBytes));
    bool acquisitionOn = writeVendorByte(device, request::ACQUISITION, 1) >= 0;
    return framingReset && streamArmed && acquisitionOn ? 0 : ERR_DRIVER_CALL;
}

ApiStatus stopStream(HANDLE device, CRITICAL_SECTION* lock) {
    SectionGuard guard(lock);
    bool acquisitionOff = writeVendorByte(device, request::ACQUISITION, 0) >= 0;
    bool streamAborted = callDriverWithValue(device, driver::STREAM_ABORT, 1);

    // A stream that ended in a transaction error or babble needs its pipe
    // reset before it can stop; neither the query nor the reset decides the
    // result.
    uint32_t transferStatus = 0;
    if (!callDriverExact(device, driver::GET_TRANSFER_STATUS, nullptr, 0, &transferStatus,
                         sizeof transferStatus)) {
        transferStatus = 0;
    }
    if (transferStatus == driver::STATUS_BABBLE_DETECTED ||
        transferStatus == driver::STATUS_TRANSACTION_ERROR) {
        callDriverWithValue(device, driver::STREAM_RESET, 1);
    }

    bool streamStopped = callDriverForStatus(device, driver::STREAM_STOP, nullptr, 0);
    bool framingReset = writeVendorByte(device, request::FRAME_RESET, 0) >= 0;
    return acquisitionOff && streamAborted && streamStopped && framingReset ? 0 : ERR_DRIVER_CALL;
}

}  // namespace tarvex
