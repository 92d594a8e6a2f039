// Command 256: the status queries of TarvexCommand.
#include "info/command_operations.h"
#include "transport/driver_call.h"
#include "transport/driver_codes.h"

namespace tarvex {

namespace {

constexpr int32_t QUERY_FIXED_WORD = 12;
constexpr int32_t QUERY_STATUS = 14;

enum StatusSelector : int32_t {
    DRIVER_LAST_ERROR = 0,       // device-control code 452
    DRIVER_TRANSFER_STATUS = 1,  // device-control code 456
    LAST_TRANSFER_RESULT = 2,    // the camera's lastTransferStatus
};

constexpr uint32_t ANSWER_BYTES = 4;
constexpr uint32_t FIXED_WORD = (1u << 31) | (1u << 30) | (1u << 29);

void reportAnswerSize(const CommandQuery& query, uint32_t* size, uint32_t bytes) {
    if (query.bytesReturned != nullptr) *query.bytesReturned = bytes;
    *size = bytes;
}

bool queryDriverWord(HANDLE device, DWORD code, uint32_t* answer) {
    return callDriverExact(device, code, nullptr, 0, answer, ANSWER_BYTES);
}

ApiStatus answerStatusQuery(CameraState& camera, const CommandQuery& query, uint32_t* size) {
    if (query.inBuffer == nullptr) return ERR_OUT_OF_RANGE;
    const int32_t selector = *query.inBuffer;
    const bool known = selector == DRIVER_LAST_ERROR || selector == DRIVER_TRANSFER_STATUS ||
                       selector == LAST_TRANSFER_RESULT;
    if (!known) {
        reportAnswerSize(query, size, 0);
        return ERR_BAD_SELECTOR;
    }
    if (query.outBuffer == nullptr) return ERR_OUT_OF_RANGE;

    // The size is reported before the answer and stays when a driver query fails.
    reportAnswerSize(query, size, ANSWER_BYTES);
    switch (selector) {
        case DRIVER_LAST_ERROR:
            return queryDriverWord(camera.device, driver::GET_LAST_ERROR, query.outBuffer) ? 0
                                                                                           : ERR_STATUS_QUERY;
        case DRIVER_TRANSFER_STATUS:
            return queryDriverWord(camera.device, driver::GET_TRANSFER_STATUS, query.outBuffer)
                       ? 0
                       : ERR_STATUS_QUERY;
        default:
            *query.outBuffer = static_cast<uint32_t>(camera.lastTransferStatus.load());
            return 0;
    }
}

}  // namespace

ApiStatus answerCommandQuery(CameraState& camera, const CommandQuery& query, uint32_t* size) {
    if (query.queryCode == QUERY_FIXED_WORD) {
        if (query.outBuffer == nullptr) return ERR_OUT_OF_RANGE;
        *query.outBuffer = FIXED_WORD;
        reportAnswerSize(query, size, ANSWER_BYTES);
        return 0;
    }
    if (query.queryCode == QUERY_STATUS) return answerStatusQuery(camera, query, size);
    // An unknown query leaves bytesReturned alone.
    *size = 0;
    return ERR_BAD_SELECTOR;
}

}  // namespace tarvex
