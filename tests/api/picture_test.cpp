// The pictures a simulated camera delivers through the library: window,
// resolution mode and mirroring checked against the sensor's scene.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "../../sim/core/scene.h"
#include "support/sim_fixture.h"

namespace {

using tarvex_test::SimCameraTest;
namespace sim = tarvex::sim;

// What a frame must show: the window in sensor coordinates and the readout.
struct Expected {
    uint32_t firstColumn, firstRow;  // registers 0x02 and 0x01
    uint32_t width, height;          // output pixels
    uint32_t scale;
    bool mirrored;
};

// The exposure and gains at open are neutral: a pixel is the scene itself.
uint8_t expectedPixel(const Expected& e, uint32_t x, uint32_t y) {
    uint32_t readX = e.mirrored ? e.width - 1 - x : x;
    uint32_t readY = e.mirrored ? e.height - 1 - y : y;
    uint8_t scene = sim::sensorPixel(e.firstColumn + sim::readoutOffset(readX, e.scale),
                                     e.firstRow + sim::readoutOffset(readY, e.scale));
    return sim::exposedPixel(scene, sim::NEUTRAL_EXPOSURE, sim::UNITY_GAIN);
}

// Compares a spread of pixels (every 13th in each direction, and the four
// corners' neighbours) outside the frame counter's box with the scene.
void expectScene(const std::vector<uint8_t>& frame, const Expected& e) {
    ASSERT_EQ(static_cast<size_t>(e.width) * e.height, frame.size());
    std::vector<uint32_t> xs, ys;
    for (uint32_t x = 0; x < e.width; x += 13) xs.push_back(x);
    for (uint32_t y = 0; y < e.height; y += 13) ys.push_back(y);
    xs.push_back(e.width - 1);
    ys.push_back(e.height - 1);
    int mismatches = 0;
    for (uint32_t y : ys) {
        for (uint32_t x : xs) {
            if (x < sim::COUNTER_BOX_WIDTH && y < sim::COUNTER_BOX_HEIGHT) continue;
            uint8_t want = expectedPixel(e, x, y);
            uint8_t got = frame[static_cast<size_t>(y) * e.width + x];
            if (want != got && ++mismatches <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << int{got} << ", scene " << int{want};
            }
        }
    }
    EXPECT_EQ(0, mismatches);
}

class PictureTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        camera_ = attach("UA");
        handle_ = open(camera_);
    }

    // Starts, fetches one frame of `bytes` and stops.
    std::vector<uint8_t> oneFrame(uint32_t bytes) {
        std::vector<uint8_t> frame(bytes);
        uint32_t count = 0;
        EXPECT_EQ(0, TarvexStartSnap(handle_));
        EXPECT_EQ(0, TarvexTransfer(handle_, frame.data(), &count));
        EXPECT_EQ(0, TarvexStopSnap(handle_));
        EXPECT_EQ(bytes, count);
        return frame;
    }

    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

TEST_F(PictureTest, HundredHalfSizeFramesFollowTheSceneAndDifferFrameToFrame) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 1));
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 640, 512));
    ASSERT_EQ(0, TarvexStartSnap(handle_));

    const Expected half{20, 12, 640, 512, 2, false};
    std::vector<uint8_t> previous;
    std::set<uint32_t> numbers;
    for (int i = 0; i < 100; ++i) {
        std::vector<uint8_t> frame(327680, 0xEE);
        uint32_t count = 0;
        ASSERT_EQ(0, TarvexTransfer(handle_, frame.data(), &count)) << "frame " << i;
        ASSERT_EQ(327680u, count) << "frame " << i;
        expectScene(frame, half);
        uint32_t number = 0;
        ASSERT_TRUE(sim::readFrameCounter(frame.data(), 640, 512, number)) << "frame " << i;
        numbers.insert(number);
        EXPECT_NE(previous, frame) << "frame " << i;
        previous = std::move(frame);
    }
    EXPECT_EQ(0, TarvexStopSnap(handle_));
    EXPECT_EQ(100u, numbers.size());
    EXPECT_EQ(100, property(camera_, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

TEST_F(PictureTest, TheFullFrameAtOpenIsTheWholeScene) {
    expectScene(oneFrame(1310720), Expected{20, 12, 1280, 1024, 1, false});
}

TEST_F(PictureTest, AWindowCutsThePictureOutOfTheScene) {
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 100, 50, 320, 240));
    expectScene(oneFrame(320 * 240), Expected{120, 62, 320, 240, 1, false});
}

TEST_F(PictureTest, QuarterSizeScalesTheWindowPosition) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 2));
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 10, 20, 160, 128));
    expectScene(oneFrame(160 * 128), Expected{60, 92, 160, 128, 4, false});
}

TEST_F(PictureTest, MirroringReversesRowsAndColumns) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 1));
    ASSERT_EQ(0, TarvexSetOutputWindow(handle_, 0, 0, 640, 512));
    ASSERT_EQ(0, TarvexEnableVideoMirror(handle_, 0, 1));
    std::vector<uint8_t> mirrored = oneFrame(327680);
    expectScene(mirrored, Expected{20, 12, 640, 512, 2, true});
    // The solid white marker of the scene's top-left corner now lies bottom right.
    EXPECT_EQ(255, mirrored[static_cast<size_t>(511 - 40) * 640 + (639 - 40)]);

    ASSERT_EQ(0, TarvexEnableVideoMirror(handle_, 0, 0));
    expectScene(oneFrame(327680), Expected{20, 12, 640, 512, 2, false});
}

// Changing the mode without setting the window again keeps the window's
// extent in sensor pixels: the sensor delivers a smaller picture than the
// frame size, and the rest of the frame is black.
TEST_F(PictureTest, AModeChangeWithoutANewWindowKeepsTheOldFrameSize) {
    ASSERT_EQ(0, TarvexSetResolution(handle_, 1));
    std::vector<uint8_t> frame = oneFrame(1310720);
    std::vector<uint8_t> picture(frame.begin(), frame.begin() + 327680);
    expectScene(picture, Expected{20, 12, 640, 512, 2, false});
    EXPECT_EQ(std::vector<uint8_t>(1310720 - 327680, 0),
              std::vector<uint8_t>(frame.begin() + 327680, frame.end()));
}

}  // namespace
