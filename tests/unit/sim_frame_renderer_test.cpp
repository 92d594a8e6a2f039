// The simulated sensor's picture: scene landmarks, readout through window,
// resolution mode and mirror, exposure and gain scaling, the frame counter,
// delivery lengths and when the kept frame is redrawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/frame_renderer.h"
#include "core/scene.h"

namespace {

using tarvex::sim::exposedPixel;
using tarvex::sim::FrameRenderer;
using tarvex::sim::readFrameCounter;
using tarvex::sim::scenePixel;
using tarvex::sim::sensorPixel;

struct RegisterEdit {
    uint8_t address;
    uint16_t value;
};

// The sensor registers as a camera holds them at open, with edits applied.
struct Registers {
    uint16_t values[256] = {};
    Registers(std::initializer_list<RegisterEdit> edits = {}) {
        values[0x01] = 12;
        values[0x02] = 20;
        values[0x03] = 1023;
        values[0x04] = 1279;
        values[0x09] = 0x0419;
        values[0x1E] = 0x8600;
        values[0x20] = 0x1304;
        for (int gain = 0x2B; gain <= 0x2E; ++gain) values[gain] = 8;
        for (const RegisterEdit& edit : edits) values[edit.address] = edit.value;
    }
};

uint8_t framePixel(const FrameRenderer& renderer, uint32_t x, uint32_t y) {
    return renderer.frame()[static_cast<size_t>(y) * renderer.width() + x];
}

TEST(SimScene, LandmarksSitWhereTheSceneDescriptionPutsThem) {
    struct Landmark {
        uint32_t column, row;
        uint8_t value;
    } const landmarks[] = {
        {300, 300, 78},     // background ramp, no texture where column == row
        {301, 300, 79},     // texture: (column ^ row) & 7
        {1270, 1010, 213},  // bright end of the ramp
        {0, 0, 0},         {128, 700, 0},    {131, 700, 0},    // grid lines centred on multiples of 128
        {700, 1023, 0},                                        // half line along the bottom edge
        {96, 96, 255},                                         // top-left: solid square
        {1125, 40, 255},   {1184, 96, 0},                      // top-right: ring around a black centre
        {40, 980, 255},    {150, 870, 110},                    // bottom-left: triangle, background beside it
        {1130, 870, 0},    {1160, 870, 255},                   // bottom-right: checkerboard
        {700, 512, 255},   {820, 544, 255},  {820, 545, 143},  // right arrow: shaft, edge of the head
        {640, 450, 255},   {669, 360, 255},  {670, 360, 118},  // up arrow: shaft, edge of the head
    };
    for (const Landmark& landmark : landmarks) {
        SCOPED_TRACE(testing::Message() << "column " << landmark.column << " row " << landmark.row);
        EXPECT_EQ(scenePixel(landmark.column, landmark.row), landmark.value);
    }
    EXPECT_EQ(sensorPixel(20 + 96, 12 + 96), 255);
    EXPECT_EQ(sensorPixel(19, 108), 0);
    EXPECT_EQ(sensorPixel(116, 11), 0);
    EXPECT_EQ(sensorPixel(1300, 108), 0);
    EXPECT_EQ(sensorPixel(116, 1036), 0);
}

TEST(SimScene, ExposureAndGainScaleAndSaturate) {
    struct Case {
        uint8_t scene;
        uint32_t exposure, gain;
        uint8_t expected;
    } const cases[] = {
        {100, 1049, 8, 100},  {100, 2098, 8, 200}, {100, 524, 8, 49},
        {100, 1049, 12, 150}, {200, 2098, 8, 255}, {255, 16383, 127, 255},
        {0, 16383, 127, 0},   {100, 0, 8, 0},      {100, 1049, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.scene) << " x " << c.exposure << " x " << c.gain);
        EXPECT_EQ(exposedPixel(c.scene, c.exposure, c.gain), c.expected);
    }
}

TEST(SimFrameRenderer, ReadsOutThroughWindowModeAndMirror) {
    struct Probe {
        uint32_t x, y, sensorColumn, sensorRow;
    };
    struct Case {
        const char* name;
        Registers registers;
        uint32_t width, height;
        std::vector<Probe> probes;
    } const cases[] = {
        {"default window",
         {},
         1280,
         1024,
         {{0, 0, 20, 12}, {100, 50, 120, 62}, {640, 512, 660, 524}, {1279, 1023, 1299, 1035}}},
        {"offset window",
         {{0x01, 112}, {0x02, 276}, {0x03, 99}, {0x04, 199}},
         200,
         100,
         {{0, 10, 276, 122}, {50, 60, 326, 172}, {199, 99, 475, 211}}},
        {"window over the array's edge",
         {{0x01, 0}, {0x02, 0}, {0x03, 39}, {0x04, 59}},
         60,
         40,
         {{45, 8, 45, 8}, {10, 30, 10, 30}, {50, 20, 50, 20}}},
        {"mode 1 keeps pixel pairs",
         {{0x20, 0x1304 | 0x0018}},
         640,
         512,
         {{0, 0, 20, 12}, {1, 1, 21, 13}, {2, 3, 24, 17}, {639, 511, 1297, 1033}}},
        {"mode 2", {{0x1E, 0x8600 | 0x000C}}, 320, 256, {{5, 6, 37, 36}, {319, 255, 1293, 1029}}},
        {"mode 3 reads 8 x 8", {{0x1E, 0x8600 | 0x0030}}, 160, 128, {{3, 2, 37, 28}, {159, 127, 1285, 1021}}},
        {"mode 3 before mode 1",
         {{0x1E, 0x8600 | 0x0030}, {0x20, 0x1304 | 0x0018}},
         160,
         128,
         {{3, 2, 37, 28}}},
        {"half a mode field reduces nothing",
         {{0x20, 0x1304 | 0x0008}, {0x1E, 0x8600 | 0x0004}},
         1280,
         1024,
         {{3, 2, 23, 14}}},
        {"mode 2 window at (10, 20)",
         {{0x1E, 0x8600 | 0x000C}, {0x01, 92}, {0x02, 60}},
         320,
         256,
         {{0, 0, 60, 92}, {3, 5, 69, 109}}},
        {"odd extent in mode 1", {{0x20, 0x1304 | 0x0018}, {0x03, 4}, {0x04, 6}}, 3, 2, {{2, 1, 24, 13}}},
        {"mirror both",
         {{0x20, 0x1304 | 0x8080}},
         1280,
         1024,
         {{0, 0, 1299, 1035}, {100, 50, 1199, 985}, {1279, 1023, 20, 12}}},
        {"bit 7 reverses columns",
         {{0x20, 0x1304 | 0x0080}},
         1280,
         1024,
         {{0, 0, 1299, 12}, {10, 20, 1289, 32}}},
        {"bit 15 reverses rows",
         {{0x20, 0x1304 | 0x8000}},
         1280,
         1024,
         {{0, 0, 20, 1035}, {10, 20, 30, 1015}}},
        {"mode 1 mirrored", {{0x20, 0x1304 | 0x8098}}, 640, 512, {{0, 0, 1297, 1033}, {1, 1, 1296, 1032}}},
        {"window extent stops at 2048",
         {{0x03, 0xFFFF}, {0x04, 2048}},
         2048,
         2048,
         {{0, 0, 20, 12}, {1500, 1500, 1520, 1512}}},
        {"window narrower than the reduction", {{0x1E, 0x8600 | 0x000C}, {0x03, 2}, {0x04, 2}}, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRenderer renderer;
        renderer.update(c.registers.values);
        ASSERT_EQ(renderer.width(), c.width);
        ASSERT_EQ(renderer.height(), c.height);
        EXPECT_EQ(renderer.naturalBytes(), c.width * c.height);
        for (const Probe& probe : c.probes) {
            SCOPED_TRACE(testing::Message() << "output " << probe.x << "," << probe.y);
            EXPECT_EQ(framePixel(renderer, probe.x, probe.y),
                      sensorPixel(probe.sensorColumn, probe.sensorRow));
        }
    }
}

TEST(SimFrameRenderer, ExposureAndTheFourGainsScaleThePicture) {
    struct Case {
        const char* name;
        Registers registers;
        uint32_t exposure;
        uint32_t gains[4];  // even row: even, odd column; odd row: even, odd column
    } const cases[] = {
        {"neutral", {}, 1049, {8, 8, 8, 8}},
        {"double exposure", {{0x09, 2098}}, 2098, {8, 8, 8, 8}},
        {"half exposure", {{0x09, 524}}, 524, {8, 8, 8, 8}},
        {"exposure bits 14-15 ignored", {{0x09, 0xC000 | 1049}}, 1049, {8, 8, 8, 8}},
        {"no exposure", {{0x09, 0}}, 0, {8, 8, 8, 8}},
        {"gain 0x2B", {{0x2B, 16}}, 1049, {16, 8, 8, 8}},
        {"gain 0x2C", {{0x2C, 16}}, 1049, {8, 16, 8, 8}},
        {"gain 0x2D", {{0x2D, 4}}, 1049, {8, 8, 4, 8}},
        {"gain 0x2E, bits above 6 ignored", {{0x2E, 0x0080 | 24}}, 1049, {8, 8, 8, 24}},
        {"saturated",
         {{0x09, 0x3FFF}, {0x2B, 127}, {0x2C, 127}, {0x2D, 127}, {0x2E, 127}},
         0x3FFF,
         {127, 127, 127, 127}},
    };
    // A 2x2 block of background, a white marker pixel and a black grid pixel,
    // in sensor coordinates (the default window starts at 20, 12).
    struct Spot {
        uint32_t sensorColumn, sensorRow;
    } const spots[] = {{320, 312}, {321, 312}, {320, 313}, {321, 313}, {116, 108}, {148, 312}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRenderer renderer;
        renderer.update(c.registers.values);
        for (const Spot& spot : spots) {
            SCOPED_TRACE(testing::Message() << "sensor " << spot.sensorColumn << "," << spot.sensorRow);
            uint32_t gain = c.gains[(spot.sensorRow % 2) * 2 + spot.sensorColumn % 2];
            uint8_t expected = exposedPixel(sensorPixel(spot.sensorColumn, spot.sensorRow), c.exposure, gain);
            EXPECT_EQ(framePixel(renderer, spot.sensorColumn - 20, spot.sensorRow - 12), expected);
        }
    }
    FrameRenderer saturated;
    saturated.update(cases[9].registers.values);
    EXPECT_EQ(framePixel(saturated, 300, 300), 255);
    EXPECT_EQ(framePixel(saturated, 128, 300), 0);
}

// A small window keeps delivery buffers short: 64 x 16 pixels.
struct SmallFrame : testing::Test {
    Registers registers{{0x03, 15}, {0x04, 63}};
    FrameRenderer renderer;
    void SetUp() override { renderer.update(registers.values); }
};

bool outsideCounterBox(uint32_t index, uint32_t width) {
    return index % width >= tarvex::sim::COUNTER_BOX_WIDTH ||
           index / width >= tarvex::sim::COUNTER_BOX_HEIGHT;
}

TEST_F(SmallFrame, CounterDiffersFrameToFrameAndReadsBack) {
    ASSERT_EQ(renderer.naturalBytes(), 1024u);
    std::vector<uint8_t> first(1024), second(1024);
    renderer.deliver(1, first.data(), 1024);
    renderer.deliver(2, second.data(), 1024);
    EXPECT_NE(first, second);
    for (uint32_t i = 0; i < 1024; ++i) {
        if (!outsideCounterBox(i, 64)) continue;
        ASSERT_EQ(first[i], renderer.frame()[i]) << "byte " << i;
    }

    for (uint32_t number : {0u, 1u, 9u, 1234567890u, 4294967295u}) {
        std::vector<uint8_t> frame(1024);
        renderer.deliver(number, frame.data(), 1024);
        uint32_t read = 7;
        EXPECT_TRUE(readFrameCounter(frame.data(), 64, 16, read));
        EXPECT_EQ(read, number);
    }
    uint32_t untouched = 7;
    EXPECT_FALSE(readFrameCounter(renderer.frame(), 64, 16, untouched));
    EXPECT_FALSE(readFrameCounter(first.data(), 40, 16, untouched));
    EXPECT_EQ(untouched, 7u);
}

TEST(SimFrameRenderer, CounterStaysReadableInAMirroredFrame) {
    FrameRenderer renderer;
    renderer.update(Registers{{0x20, 0x1304 | 0x8098}}.values);
    std::vector<uint8_t> frame(renderer.naturalBytes());
    renderer.deliver(4711, frame.data(), renderer.naturalBytes());
    uint32_t read = 0;
    EXPECT_TRUE(readFrameCounter(frame.data(), renderer.width(), renderer.height(), read));
    EXPECT_EQ(read, 4711u);
}

TEST_F(SmallFrame, DeliversExactlyTheLengthAsked) {
    constexpr uint8_t SENTINEL = 0xA5;
    for (uint32_t length : {0u, 20u, 500u, 1024u, 3000u}) {
        SCOPED_TRACE(testing::Message() << "length " << length);
        std::vector<uint8_t> out(length + 16, SENTINEL);
        EXPECT_EQ(renderer.deliver(3, out.data(), length), length);
        for (uint32_t i = 0; i < length; ++i) {
            uint8_t expected = i >= 1024 ? 0 : renderer.frame()[i];
            if (i < 1024 && !outsideCounterBox(i, 64)) continue;
            ASSERT_EQ(out[i], expected) << "byte " << i;
        }
        for (uint32_t i = length; i < out.size(); ++i) ASSERT_EQ(out[i], SENTINEL) << "byte " << i;
    }
}

TEST(SimFrameRenderer, CounterIsClippedToATinyFrame) {
    FrameRenderer renderer;
    renderer.update(Registers{{0x03, 2}, {0x04, 3}}.values);  // 4 x 3
    ASSERT_EQ(renderer.naturalBytes(), 12u);
    std::vector<uint8_t> out(40, 0xA5);
    EXPECT_EQ(renderer.deliver(8, out.data(), 30), 30u);
    for (uint32_t i = 12; i < 30; ++i) EXPECT_EQ(out[i], 0) << "byte " << i;
    for (uint32_t i = 30; i < 40; ++i) EXPECT_EQ(out[i], 0xA5) << "byte " << i;
}

TEST(SimFrameRenderer, RedrawsOnlyWhenAPictureFieldChanges) {
    struct Case {
        const char* name;
        RegisterEdit edit;
        bool redraws;
    } const cases[] = {
        {"snap mode bit of 0x1E", {0x1E, 0x8700}, false},
        {"blanking", {0x05, 100}, false},
        {"trigger", {0x0B, 1}, false},
        {"exposure delay", {0x0C, 5}, false},
        {"channel level", {0x60, 100}, false},
        {"exposure bit 14", {0x09, 0x4419}, false},
        {"gain bit 7", {0x2B, 0x0088}, false},
        {"other bits of 0x20", {0x20, 0x1300}, false},
        {"first row", {0x01, 13}, true},
        {"first column", {0x02, 21}, true},
        {"height", {0x03, 14}, true},
        {"width", {0x04, 62}, true},
        {"exposure", {0x09, 0x0418}, true},
        {"mode 2 field", {0x1E, 0x860C}, true},
        {"mode 3 field", {0x1E, 0x8630}, true},
        {"mode 1 field", {0x20, 0x131C}, true},
        {"mirror", {0x20, 0x9384}, true},
        {"gain 0x2E", {0x2E, 9}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRenderer renderer;
        Registers registers{{0x03, 15}, {0x04, 63}};
        renderer.update(registers.values);
        renderer.update(registers.values);
        ASSERT_EQ(renderer.renderCount(), 1u);
        registers.values[c.edit.address] = c.edit.value;
        renderer.update(registers.values);
        EXPECT_EQ(renderer.renderCount(), c.redraws ? 2u : 1u);
    }
}

}  // namespace
