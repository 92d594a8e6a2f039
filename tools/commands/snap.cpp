// tarvex snap -o FILE: one frame to a PNG or PGM file.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "camera.h"
#include "commands/commands.h"
#include "failures.h"
#include "frame_grabber.h"
#include "image_file.h"
#include "image_options.h"
#include "interrupt.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

struct SnapOptions {
    std::string output;
    ImageOptions image;
};

int snap(ToolContext& context, const SnapOptions& options) {
    ImageFormat format = imageFormatOf(options.output, "--output");
    FrameSize size = checkImageOptions(options.image);

    Camera camera(context.cameraToOpen());
    applyImageOptions(camera.handle(), options.image);
    FrameGrabber grabber(camera.handle(), size, options.image.snapshotMode.has_value());
    Stream stream(camera.handle());
    if (interrupted()) throw Interrupted();
    int32_t status = grabber.grab();
    if (status < 0) throw CameraCallFailed(grabber.failedCall(), status);
    if (!grabber.lastFrameComplete())
        throw ToolFailure(
            "TarvexTransfer delivered a short frame: " + std::to_string(grabber.bytesReturned()) + " of " +
            std::to_string(size.bytes()) + " bytes; nothing was saved");
    stream.stop();
    camera.close();

    writeGreyImage(options.output, format, grabber.pixels(), size.width, size.height);
    context.out << "Saved " << options.output << ": " << size.width << " x " << size.height
                << " pixels, 8-bit grey";
    if (status > 0) context.out << " (driver transfer status " << status << ")";
    context.out << "\n";
    return kExitOk;
}

}  // namespace

void addSnapCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<SnapOptions>();
    CLI::App* command = app.add_subcommand("snap", "Take one frame and save it as a PNG or PGM file");
    command->add_option("-o,--output", options->output, "Output file; .png or .pgm chooses the format")
        ->required();
    addImageOptions(*command, options->image);
    commands.push_back({command, [&context, options] { return snap(context, *options); }});
}

}  // namespace tarvex_tool
