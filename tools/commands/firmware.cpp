// tarvex firmware FILE: hold the controller's CPU, download, run.
// tarvex eeprom FILE: send an EEPROM image.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "camera.h"
#include "commands/commands.h"
#include "failures.h"
#include "firmware_image.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

// The download places chunk k at controller address 64k; the address is 16
// bits, so a longer image would wrap around onto its own start.
constexpr uint32_t kControllerMemory = 0x10000;
// The EEPROM image goes in one control transfer, whose length is 16 bits.
constexpr uint32_t kLongestEeprom = 0xFFFF;
constexpr uint32_t kChunk = 64;

struct ImageFileOptions {
    std::string path;
    ImageFileFormat format = ImageFileFormat::Auto;
    bool run = true;
};

const char* formatName(ImageFileFormat format) {
    return format == ImageFileFormat::IntelHex ? "Intel HEX" : "binary";
}

void addFormatOption(CLI::App& command, ImageFileOptions& options) {
    const std::map<std::string, ImageFileFormat> formats{{"auto", ImageFileFormat::Auto},
                                                         {"binary", ImageFileFormat::Binary},
                                                         {"hex", ImageFileFormat::IntelHex}};
    command
        .add_option("--format", options.format,
                    "auto (by extension .hex/.ihx, or a leading ':'), binary or hex")
        ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case));
}

// One step of the download, shown as it happens.
template <typename Step>
void runStep(ToolContext& context, const char* what, const char* function, Step step) {
    context.out << what << " ... " << std::flush;
    auto start = std::chrono::steady_clock::now();
    ApiStatus result = step();
    if (result != 0) {
        context.out << "failed\n";
        throw CameraCallFailed(function, result);
    }
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    char done[32];
    std::snprintf(done, sizeof done, "done (%.0f ms)\n", ms);
    context.out << done;
}

int loadFirmware(ToolContext& context, const ImageFileOptions& options) {
    LoadedImage image = loadImageFile(options.path, options.format, kControllerMemory);
    uint32_t length = static_cast<uint32_t>(image.bytes.size());
    context.out << options.path << ": " << formatName(image.format) << ", " << length << " bytes";
    if (image.format == ImageFileFormat::IntelHex && image.dataBytes != length)
        context.out << " (" << image.dataBytes << " given, the gaps filled with 0x00)";
    context.out << "\n";

    Camera camera(context.cameraToOpen());
    CameraHandle handle = camera.handle();
    runStep(context, "Holding the controller's CPU", "Tarvex8051Hold",
            [handle] { return Tarvex8051Hold(handle); });
    char what[80];
    uint32_t chunks = (length + kChunk - 1) / kChunk;
    std::snprintf(what, sizeof what, "Downloading %u bytes in %u chunk%s of %u", length, chunks,
                  chunks == 1 ? "" : "s", kChunk);
    try {
        runStep(context, what, "TarvexAnchorDownload", [handle, &image, length] {
            return TarvexAnchorDownload(handle, image.bytes.data(), length);
        });
    } catch (const CameraCallFailed&) {
        // Running half a program is worse than a held CPU: leave it held.
        context.err
            << "tarvex: the controller's CPU is left held; load the firmware again or reconnect the camera\n";
        throw;
    }
    if (options.run)
        runStep(context, "Running the controller's CPU", "Tarvex8051Run",
                [handle] { return Tarvex8051Run(handle); });
    else
        context.out << "The controller's CPU is left held (--no-run)\n";
    camera.close();
    return kExitOk;
}

int loadEeprom(ToolContext& context, const ImageFileOptions& options) {
    LoadedImage image = loadImageFile(options.path, options.format, kLongestEeprom);
    uint32_t length = static_cast<uint32_t>(image.bytes.size());
    context.out << options.path << ": " << formatName(image.format) << ", " << length << " bytes\n";
    Camera camera(context.cameraToOpen());
    CameraHandle handle = camera.handle();
    runStep(context, "Sending the EEPROM image", "TarvexLoadEEPROM",
            [handle, &image, length] { return TarvexLoadEEPROM(handle, image.bytes.data(), length); });
    camera.close();
    return kExitOk;
}

}  // namespace

void addFirmwareCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<ImageFileOptions>();
    CLI::App* command = app.add_subcommand(
        "firmware", "Load controller firmware: hold the CPU, download the image from address 0, run the CPU");
    command->add_option("FILE", options->path, "Flat binary or Intel HEX file (at most 64 KiB)")->required();
    addFormatOption(*command, *options);
    command->add_flag("!--no-run", options->run, "Leave the CPU held after the download");
    commands.push_back({command, [&context, options] { return loadFirmware(context, *options); }});
}

void addEepromCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<ImageFileOptions>();
    CLI::App* command = app.add_subcommand("eeprom", "Send an EEPROM image to the camera in one transfer");
    command->add_option("FILE", options->path, "Flat binary or Intel HEX file (at most 65535 bytes)")
        ->required();
    addFormatOption(*command, *options);
    commands.push_back({command, [&context, options] { return loadEeprom(context, *options); }});
}

}  // namespace tarvex_tool
