#include "image_options.h"

#include <CLI/CLI.hpp>
#include <string>

#include "failures.h"

namespace tarvex_tool {

namespace {

// Output picture of resolution modes 0, 1 and 2; mode 3 has no defined size.
constexpr FrameSize kModeSizes[] = {{1280, 1024}, {640, 512}, {320, 256}};
constexpr FrameSize kSensorSize = {TARVEX_SENSOR_WIDTH, TARVEX_SENSOR_HEIGHT};

void checkOneOrFour(const std::vector<int32_t>& values, const char* option) {
    if (!values.empty() && values.size() != 1 && values.size() != 4)
        throw UsageError(std::string(option) + ": give one value for all four channels, or four values");
}

int32_t channelValue(const std::vector<int32_t>& values, size_t channel) {
    return values.size() == 1 ? values[0] : values[channel];
}

}  // namespace

void addImageOptions(CLI::App& command, ImageOptions& options) {
    const char* group = "Picture";
    command
        .add_option("--mode,--resolution", options.mode,
                    "Resolution mode: 0 = 1280x1024, 1 = 640x512, 2 = 320x256, 3 = sensor mode without a "
                    "defined size (needs --window)")
        ->check(CLI::Range(0, 3))
        ->group(group);
    command
        .add_option("--window", options.window,
                    "Output window X,Y,WIDTH,HEIGHT in pixels of the mode (default: the whole picture)")
        ->expected(4)
        ->delimiter(',')
        ->type_name("X,Y,W,H")
        ->group(group);
    command.add_option("--delay", options.delay, "Blanking H,V (horizontal -9..2038, vertical -25..2022)")
        ->expected(2)
        ->delimiter(',')
        ->type_name("H,V")
        ->group(group);
    command.add_flag("--mirror", options.mirror, "Mirror the picture")->group(group);
    command.add_option("--exposure", options.exposure, "Exposure, 0..16383")
        ->check(CLI::Range(0, 16383))
        ->group(group);
    command.add_option("--exposure-delay", options.exposureDelay, "Exposure delay, 0..2047")
        ->check(CLI::Range(0, 2047))
        ->group(group);
    command.add_option("--gain", options.gains, "Channel gain 0..127: one for all channels, or G0,G1,G2,G3")
        ->delimiter(',')
        ->expected(1, 4)
        ->check(CLI::Range(0, 127))
        ->type_name("G")
        ->group(group);
    command
        .add_option("--adc-level", options.adcLevels,
                    "ADC channel level 0..511: one for all channels, or L0,L1,L2,L3")
        ->delimiter(',')
        ->expected(1, 4)
        ->check(CLI::Range(0, 511))
        ->type_name("L")
        ->group(group);
    command.add_option("--adc-mode", options.adcMode, "ADC mode byte, 0..255 (the camera opens with 2)")
        ->check(CLI::Range(0, 255))
        ->group(group);
    command
        .add_option("--snapshot", options.snapshotMode,
                    "Snapshot acquisition: one frame per software trigger (mode 1..3, default 1)")
        ->expected(0, 1)
        ->default_str("1")
        ->check(CLI::Range(1, 3))
        ->group(group);
}

FrameSize checkImageOptions(const ImageOptions& options) {
    checkOneOrFour(options.gains, "--gain");
    checkOneOrFour(options.adcLevels, "--adc-level");
    if (!options.delay.empty()) {
        if (options.delay[0] < -9 || options.delay[0] > 2038)
            throw UsageError("--delay: the horizontal blanking must be -9..2038");
        if (options.delay[1] < -25 || options.delay[1] > 2022)
            throw UsageError("--delay: the vertical blanking must be -25..2022");
    }
    bool definedSize = options.mode < 3;
    FrameSize picture = definedSize ? kModeSizes[options.mode] : kSensorSize;
    if (options.window.empty()) {
        if (!definedSize) throw UsageError("--mode 3 has no defined picture size: give --window X,Y,W,H");
        return picture;
    }
    int64_t x = options.window[0], y = options.window[1];
    int64_t width = options.window[2], height = options.window[3];
    if (width < 4 || height < 3) throw UsageError("--window: the window is at least 4 x 3 pixels");
    if (x < 0 || y < 0 || x + width > picture.width || y + height > picture.height)
        throw UsageError("--window " + std::to_string(x) + "," + std::to_string(y) + "," +
                         std::to_string(width) + "," + std::to_string(height) + ": outside the " +
                         std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                         " picture of mode " + std::to_string(options.mode));
    return {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
}

void applyImageOptions(CameraHandle camera, const ImageOptions& options) {
    FrameSize size = checkImageOptions(options);
    check("TarvexSetResolution", TarvexSetResolution(camera, options.mode));
    // The window is in pixels of the mode and is not rescaled by a mode
    // change: set it after the mode, to the whole picture unless one was given.
    int32_t x = options.window.empty() ? 0 : options.window[0];
    int32_t y = options.window.empty() ? 0 : options.window[1];
    check("TarvexSetOutputWindow", TarvexSetOutputWindow(camera, x, y, static_cast<int32_t>(size.width),
                                                         static_cast<int32_t>(size.height)));
    if (!options.delay.empty())
        check("TarvexSetDelay", TarvexSetDelay(camera, options.delay[0], options.delay[1]));
    if (options.mirror) check("TarvexEnableVideoMirror", TarvexEnableVideoMirror(camera, 0, 1));
    if (options.exposure) check("TarvexAECControl", TarvexAECControl(camera, 1, *options.exposure));
    if (options.exposureDelay) check("TarvexAECControl", TarvexAECControl(camera, 2, *options.exposureDelay));
    for (size_t channel = 0; !options.gains.empty() && channel < 4; ++channel)
        check("TarvexAGCControl", TarvexAGCControl(camera, 16 + static_cast<uint32_t>(channel),
                                                   channelValue(options.gains, channel)));
    if (options.adcMode) check("TarvexADCControl", TarvexADCControl(camera, 0, *options.adcMode));
    for (size_t channel = 0; !options.adcLevels.empty() && channel < 4; ++channel)
        check("TarvexADCControl", TarvexADCControl(camera, 16 + static_cast<uint32_t>(channel),
                                                   channelValue(options.adcLevels, channel)));
    if (options.snapshotMode) check("TarvexSetSnapMode", TarvexSetSnapMode(camera, *options.snapshotMode));
}

}  // namespace tarvex_tool
