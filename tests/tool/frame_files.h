// Reading back the pictures the tool writes, and the picture the simulated
// camera must have delivered for its sensor registers (from the scene the
// simulated sensor sees).
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The PNG decoder, private to each test program that includes this file.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "core/scene.h"
#include "tarvex_sim.h"

namespace tarvex_test {

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

// A PNG decoded; an empty picture when it cannot be read or is not one grey channel.
inline Picture readPng(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    uint8_t* data = stbi_load(path.c_str(), &width, &height, &channels, 0);
    Picture picture;
    if (data != nullptr && channels == 1) {
        picture.width = static_cast<uint32_t>(width);
        picture.height = static_cast<uint32_t>(height);
        picture.pixels.assign(data, data + static_cast<size_t>(width) * height);
    }
    stbi_image_free(data);
    return picture;
}

// A binary PGM as the tool writes it ("P5\nW H\n255\n" and the bytes).
inline Picture readPgm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    uint32_t width = 0, height = 0, maximum = 0;
    file >> magic >> width >> height >> maximum;
    file.get();
    Picture picture;
    if (!file || magic != "P5" || maximum != 255) return picture;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    file.read(reinterpret_cast<char*>(picture.pixels.data()),
              static_cast<std::streamsize>(picture.pixels.size()));
    if (!file) return {};
    picture.width = width;
    picture.height = height;
    return picture;
}

inline uint16_t simRegister(int32_t camera, uint8_t address) {
    uint16_t value = 0;
    tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_SENSOR, address * 2u, &value, 2);
    return value;
}

// How a frame was read out: the window in output pixels of the mode, the
// reduction, mirroring, and exposure and gains (-1: the camera's own).
struct Readout {
    uint32_t width = 1280, height = 1024;
    uint32_t x = 0, y = 0;
    uint32_t scale = 1;
    bool mirror = false;
    int32_t exposure = -1;
    int32_t gain = -1;  // all four channels
};

// The frame that `readout` must give as frame `number`, from the scene the
// simulated sensor sees (exposure and gains not given are read from `camera`).
inline Picture expectedFrame(int32_t camera, const Readout& readout, uint32_t number) {
    using namespace tarvex::sim;
    uint32_t firstRow = readout.scale * readout.y + SENSOR_FIRST_ACTIVE_ROW;
    uint32_t firstColumn = readout.scale * readout.x + SENSOR_FIRST_ACTIVE_COLUMN;
    uint32_t exposure =
        readout.exposure >= 0 ? static_cast<uint32_t>(readout.exposure) : simRegister(camera, 0x09) & 0x3FFFu;
    // Gain by the parity of the sensor row and column: 0x2B, 0x2C, 0x2D, 0x2E.
    uint32_t gains[2][2] = {{simRegister(camera, 0x2B) & 0x7Fu, simRegister(camera, 0x2C) & 0x7Fu},
                            {simRegister(camera, 0x2D) & 0x7Fu, simRegister(camera, 0x2E) & 0x7Fu}};
    if (readout.gain >= 0)
        for (auto& row : gains) row[0] = row[1] = static_cast<uint32_t>(readout.gain);
    uint32_t width = readout.width, height = readout.height;
    Picture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t row = firstRow + readoutOffset(readout.mirror ? height - 1 - y : y, readout.scale);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t column = firstColumn + readoutOffset(readout.mirror ? width - 1 - x : x, readout.scale);
            picture.pixels[static_cast<size_t>(y) * width + x] =
                exposedPixel(sensorPixel(column, row), exposure, gains[row & 1][column & 1]);
        }
    }
    stampFrameCounter(picture.pixels.data(), width, height, picture.pixels.size(), number);
    return picture;
}

// Pixels that differ, for a readable failure.
inline size_t differentPixels(const Picture& a, const Picture& b) {
    if (a.pixels.size() != b.pixels.size()) return SIZE_MAX;
    size_t count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

}  // namespace tarvex_test
