// The analog controls pick a sensor register field by a selector byte. Each
// control keeps a table of these rows; every field is written with shift 0.
#pragma once

#include <cstdint>
#include <span>

#include "camera/camera_state.h"
#include "sensor/sensor_registers.h"

namespace tarvex {

struct FieldSelector {
    uint8_t selector;
    uint32_t address;
    uint16_t mask;
};

// The row of `selector` in `table`, or nullptr.
inline const FieldSelector* findFieldSelector(std::span<const FieldSelector> table, uint8_t selector) {
    for (const FieldSelector& row : table) {
        if (row.selector == selector) return &row;
    }
    return nullptr;
}

// Places `value` into the row's field of the shadow (unaltered: bits beyond
// the field spill over) and writes the whole register to the sensor.
inline ApiStatus writeSelectedField(CameraState& camera, const FieldSelector& row, int32_t value) {
    return writeRegisterField(camera.device, camera.sensorShadow, row.address, row.mask,
                              static_cast<uint32_t>(value), 0);
}

}  // namespace tarvex
