// The text that describes simulated cameras (tarvex_sim_attach and
// TARVEX_SIM):
//   list:   N                      N cameras of variant 2 (N >= 0)
//           N:key=value...         the same, each with the options
//           CAMERA,CAMERA,...          one camera per description
//   description:   IDENT[:key=value]...
//   IDENT:  "1" / "2" the default identification of that variant, else the
//           identification itself ("UA..." variant 2, "S4..." variant 1)
//   keys:   model=TEXT serial=TEXT release=N number=N paced=0|1 inputs=N
// Numbers are decimal or 0x-prefixed hexadecimal.
#pragma once

#include <cstdint>

#include "camera_identity.h"

namespace tarvex::sim {

inline constexpr uint32_t MAX_CAMERAS = 64;
inline constexpr uint32_t MAX_NUMBER = 65535;
inline constexpr char DEFAULT_MODEL_PREFIX[] = "TVX1280M-";
inline constexpr char DEFAULT_IDENT_VARIANT_1[] = "S4-TVX1280";
inline constexpr char DEFAULT_IDENT_VARIANT_2[] = "UA-TVX1280";

struct CameraDescription {
    char ident[MAX_STRING_UNITS + 1] = {};
    uint32_t identLength = 0;
    bool hasModel = false;
    char model[MAX_STRING_UNITS + 1] = {};
    uint32_t modelLength = 0;
    bool hasSerial = false;
    char serial[MAX_STRING_UNITS + 1] = {};
    uint32_t serialLength = 0;
    uint16_t release = DEFAULT_RELEASE;
    uint32_t number = 0;  // 0: the lowest free number
    int32_t paced = -1;   // -1: the attaching call's default
    int32_t inputs = -1;  // -1: 0
};

struct CameraList {
    CameraDescription specs[MAX_CAMERAS];
    uint32_t count = 0;
};

// Both return 0, TARVEX_SIM_EINVAL for a malformed text, or
// TARVEX_SIM_ENOSPACE for more cameras than can be attached.
int32_t parseCameraDescription(const char* text, uint32_t length, CameraDescription& description);
int32_t parseCameraList(const char* text, uint32_t length, CameraList& list);

// The model string a camera without model= gets: the prefix and the serial,
// or the 4-digit number when no serial was given.
uint32_t composeModel(const CameraDescription& description, uint32_t number, char* out, uint32_t capacity);

// Writes `value` in decimal, at least `digits` digits; returns the length.
uint32_t formatDecimal(uint32_t value, uint32_t digits, char* out);

}  // namespace tarvex::sim
