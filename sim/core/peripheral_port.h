// The peripheral port of variant-2 cameras: an output byte (0xD1), a camera
// action without data (0xD3, counted) and an input byte (0xD2).
#pragma once

#include <cstdint>

namespace tarvex::sim {

class PeripheralPort {
public:
    void writeOutputs(uint8_t byte) { outputs_ = byte; }
    void act() { ++actions_; }

    uint8_t outputs() const { return outputs_; }
    uint64_t actions() const { return actions_; }
    uint8_t inputs() const { return inputs_; }
    void setInputs(uint8_t byte) { inputs_ = byte; }

private:
    uint8_t outputs_ = 0;
    uint64_t actions_ = 0;
    uint8_t inputs_ = 0;
};

}  // namespace tarvex::sim
