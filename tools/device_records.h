// The records of TarvexGetDeviceInfo, read with the size each one has, and
// what the tool makes of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tarvex.h"

namespace tarvex_tool {

// Reads record `type` into `buffer`, which holds exactly `size` bytes. Throws
// CameraCallFailed, or ToolFailure when the camera names another size for the
// record (nothing was delivered then).
void readDeviceRecord(CameraHandle camera, uint32_t type, void* buffer, int32_t size);

std::string readIdentification(CameraHandle camera);  // 2 characters
std::string readModel(CameraHandle camera);           // up to 12 characters, trailing blanks cut
uint16_t readSensorId(CameraHandle camera);           // sensor register 0x00
uint16_t readRelease(CameraHandle camera);            // bcdDevice
std::array<int32_t, 6> readResolutions(CameraHandle camera);
std::array<int32_t, 4> readDelayRange(CameraHandle camera);
std::array<uint8_t, 12> readSlotRecord(CameraHandle camera);

// 2 for "UA...", 1 for "S4...", 0 for anything else (the library accepts only those two).
int variantOf(const std::string& identification);

// "1.00" for the release 0x0100 (binary-coded decimal, as USB devices give it).
std::string releaseText(uint16_t release);

}  // namespace tarvex_tool
