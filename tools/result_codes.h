// Names and one-line explanations for every number the camera can answer
// with: the library's result codes, the negative driver statuses that a frame
// transfer passes through, the system error codes of the slot query, and the
// codes of the simulated-camera control functions.
#pragma once

#include <cstdint>
#include <string>

namespace tarvex_tool {

struct CodeText {
    std::string name;     // "ERR_DRIVER_CALL"
    std::string meaning;  // one line, lower case, no full stop
};

// A library result code (0 or TARVEX_ERR_*) or a negative driver status.
CodeText describeResult(int32_t code);

// A positive system error code, as TarvexGetSlotInfo returns them.
CodeText describeSystemError(uint32_t code);

// A negative TARVEX_SIM_E* code of the simulator's control functions.
CodeText describeSimResult(int32_t code);

// "ERR_DRIVER_CALL (-9): a driver device-control call failed, ..."
std::string formatResult(int32_t code);
std::string formatSystemError(uint32_t code);
std::string formatSimResult(int32_t code);

}  // namespace tarvex_tool
