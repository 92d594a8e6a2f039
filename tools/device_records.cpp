#include "device_records.h"

#include <cstdio>

#include "failures.h"
#include "result_codes.h"

namespace tarvex_tool {

void readDeviceRecord(CameraHandle camera, uint32_t type, void* buffer, int32_t size) {
    int32_t given = size;
    check("TarvexGetDeviceInfo", TarvexGetDeviceInfo(camera, type, buffer, &given));
    // Size negotiation: a different size back means nothing was delivered.
    if (given != size)
        throw ToolFailure("TarvexGetDeviceInfo: record " + std::to_string(type) + " is " +
                          std::to_string(given) + " bytes, not " + std::to_string(size));
}

std::string readIdentification(CameraHandle camera) {
    char text[2];
    readDeviceRecord(camera, TARVEX_INFO_IDENTIFICATION, text, sizeof text);
    return std::string(text, sizeof text);
}

std::string readModel(CameraHandle camera) {
    char text[12];
    readDeviceRecord(camera, TARVEX_INFO_MODEL, text, sizeof text);
    std::string model(text, sizeof text);
    while (!model.empty() && (model.back() == '\0' || model.back() == ' ')) model.pop_back();
    return model;
}

uint16_t readSensorId(CameraHandle camera) {
    uint16_t value = 0;
    readDeviceRecord(camera, TARVEX_INFO_SENSOR_ID, &value, sizeof value);
    return value;
}

uint16_t readRelease(CameraHandle camera) {
    uint16_t value = 0;
    readDeviceRecord(camera, TARVEX_INFO_RELEASE, &value, sizeof value);
    return value;
}

std::array<int32_t, 6> readResolutions(CameraHandle camera) {
    std::array<int32_t, 6> values{};
    readDeviceRecord(camera, TARVEX_INFO_RESOLUTIONS, values.data(), sizeof values);
    return values;
}

std::array<int32_t, 4> readDelayRange(CameraHandle camera) {
    std::array<int32_t, 4> values{};
    readDeviceRecord(camera, TARVEX_INFO_DELAY_RANGE, values.data(), sizeof values);
    return values;
}

std::array<uint8_t, 12> readSlotRecord(CameraHandle camera) {
    std::array<uint8_t, 12> record{};
    int32_t result = TarvexGetSlotInfo(camera, record.data());
    // A positive result is the system's error code of the failed driver call.
    if (result > 0)
        throw ToolFailure("TarvexGetSlotInfo failed: " + formatSystemError(static_cast<uint32_t>(result)));
    check("TarvexGetSlotInfo", result);
    return record;
}

int variantOf(const std::string& identification) {
    if (identification.rfind("UA", 0) == 0) return 2;
    if (identification.rfind("S4", 0) == 0) return 1;
    return 0;
}

std::string releaseText(uint16_t release) {
    char text[16];
    std::snprintf(text, sizeof text, "%x.%02x", release >> 8, release & 0xFF);
    return text;
}

}  // namespace tarvex_tool
