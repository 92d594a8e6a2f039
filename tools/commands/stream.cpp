// tarvex stream: frames for a count or a time, with the frame rate.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "camera.h"
#include "cli_checks.h"
#include "commands/commands.h"
#include "failures.h"
#include "frame_grabber.h"
#include "frame_name_pattern.h"
#include "image_file.h"
#include "image_options.h"
#include "interrupt.h"
#include "json_writer.h"
#include "result_codes.h"
#include "stream_statistics.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kDefaultFrames = 100;
// A camera that fails this many transfers in a row is not coming back.
constexpr uint64_t kFailuresInARowToGiveUp = 50;
constexpr std::chrono::milliseconds kTerminalProgressEvery{250};
constexpr std::chrono::milliseconds kLogProgressEvery{1000};

struct StreamOptions {
    std::optional<uint64_t> frames;
    std::optional<double> duration;
    std::string save;
    uint64_t every = 1;
    bool json = false;
    ImageOptions image;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string progressLine(const StreamStatistics& statistics) {
    char text[128];
    std::snprintf(text, sizeof text, "frames %llu  %.1f fps  %.1f MB/s  failed %llu",
                  static_cast<unsigned long long>(statistics.frames), statistics.framesPerSecond(),
                  statistics.megabytesPerSecond(), static_cast<unsigned long long>(statistics.failed()));
    return text;
}

void printSummary(std::ostream& out, const StreamStatistics& statistics, FrameSize size) {
    char text[192];
    std::snprintf(text, sizeof text, "%llu frames of %u x %u in %.2f s: %.1f fps, %.1f MB/s",
                  static_cast<unsigned long long>(statistics.frames), size.width, size.height,
                  statistics.seconds, statistics.framesPerSecond(), statistics.megabytesPerSecond());
    out << text << "\n";
    if (statistics.shortFrames != 0)
        out << statistics.shortFrames << " short frames (fewer bytes than the window)\n";
    if (statistics.failed() != 0) {
        out << statistics.failed() << " failed transfers:\n";
        for (const auto& [status, times] : statistics.failures)
            out << "  " << times << " x " << formatResult(status) << "\n";
    }
}

void printJson(std::ostream& out, const StreamStatistics& statistics, FrameSize size, bool interrupted) {
    JsonWriter json(out);
    json.beginObject()
        .key("width")
        .value(size.width)
        .key("height")
        .value(size.height)
        .key("transfers")
        .value(static_cast<int64_t>(statistics.transfers))
        .key("frames")
        .value(static_cast<int64_t>(statistics.frames))
        .key("short_frames")
        .value(static_cast<int64_t>(statistics.shortFrames))
        .key("bytes")
        .value(static_cast<int64_t>(statistics.bytes))
        .key("seconds")
        .value(statistics.seconds)
        .key("fps")
        .value(statistics.framesPerSecond())
        .key("megabytes_per_second")
        .value(statistics.megabytesPerSecond())
        .key("interrupted")
        .value(interrupted)
        .key("failed")
        .value(static_cast<int64_t>(statistics.failed()))
        .key("failures")
        .beginArray();
    for (const auto& [status, times] : statistics.failures) {
        CodeText text = describeResult(status);
        json.beginObject()
            .key("status")
            .value(status)
            .key("name")
            .value(text.name)
            .key("meaning")
            .value(text.meaning)
            .key("count")
            .value(static_cast<int64_t>(times))
            .endObject();
    }
    json.endArray().endObject().finish();
}

int stream(ToolContext& context, const StreamOptions& options) {
    FrameSize size = checkImageOptions(options.image);
    std::optional<FrameNamePattern> pattern;
    if (!options.save.empty()) pattern.emplace(options.save);
    std::optional<ImageFormat> saveFormat;
    if (pattern) saveFormat = imageFormatOf(options.save, "--save");
    uint64_t frameLimit = options.frames.value_or(options.duration ? 0 : kDefaultFrames);

    Camera camera(context.cameraToOpen());
    applyImageOptions(camera.handle(), options.image);
    FrameGrabber grabber(camera.handle(), size, options.image.snapshotMode.has_value());

    StreamStatistics statistics;
    bool gaveUp = false;
    uint64_t failuresInARow = 0;
    bool showProgress = !options.json;
    auto progressEvery = context.progressOnTerminal ? kTerminalProgressEvery : kLogProgressEvery;
    Stream running(camera.handle());
    Clock::time_point start = Clock::now();
    Clock::time_point nextProgress = start + progressEvery;
    for (;;) {
        if (interrupted()) break;
        if (frameLimit != 0 && statistics.transfers >= frameLimit) break;
        if (options.duration && secondsSince(start) >= *options.duration) break;

        int32_t status = grabber.grab();
        uint64_t number = ++statistics.transfers;
        if (status < 0) {
            ++statistics.failures[status];
            if (++failuresInARow >= kFailuresInARowToGiveUp) {
                gaveUp = true;
                break;
            }
        } else {
            failuresInARow = 0;
            statistics.bytes += grabber.bytesReturned();
            if (grabber.lastFrameComplete()) {
                ++statistics.frames;
                if (pattern && (number - 1) % options.every == 0)
                    writeGreyImage(pattern->name(number), *saveFormat, grabber.pixels(), size.width,
                                   size.height);
            } else {
                ++statistics.shortFrames;
            }
        }
        if (showProgress && Clock::now() >= nextProgress) {
            statistics.seconds = secondsSince(start);
            if (context.progressOnTerminal)
                context.err << "\r" << progressLine(statistics) << "   " << std::flush;
            else
                context.err << progressLine(statistics) << "\n";
            nextProgress += progressEvery;
        }
    }
    statistics.seconds = secondsSince(start);
    if (showProgress && context.progressOnTerminal) context.err << "\r" << std::string(60, ' ') << "\r";
    // The summary is printed even when the stop fails; the failure follows it.
    std::optional<CameraCallFailed> stopFailed;
    try {
        running.stop();
        camera.close();
    } catch (const CameraCallFailed& failure) {
        stopFailed = failure;
    }

    if (options.json)
        printJson(context.out, statistics, size, interrupted());
    else
        printSummary(context.out, statistics, size);
    if (gaveUp)
        context.err << "tarvex: stopped after " << kFailuresInARowToGiveUp << " failed transfers in a row\n";
    if (stopFailed) throw *stopFailed;
    if (interrupted()) throw Interrupted();
    return statistics.failed() == 0 && statistics.shortFrames == 0 ? kExitOk : kExitFailed;
}

}  // namespace

void addStreamCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<StreamOptions>();
    CLI::App* command = app.add_subcommand(
        "stream", "Stream frames and show the frame rate; Ctrl-C stops the stream and closes the camera");
    CLI::Option* frames =
        command->add_option("-n,--frames", options->frames, "Number of transfers (default 100)")
            ->check(positive());
    CLI::Option* duration =
        command->add_option("-t,--duration", options->duration, "Stream for this many seconds instead")
            ->check(positive())
            ->excludes(frames);
    frames->excludes(duration);
    CLI::Option* save = command->add_option(
        "--save", options->save,
        "Save frames as PATTERN, a name with one number field: frame-####.png or frame-%04d.pgm");
    save->type_name("PATTERN");
    command
        ->add_option("--every", options->every, "With --save: keep every K-th frame (default 1, every frame)")
        ->check(positive())
        ->type_name("K")
        ->needs(save);
    command->add_flag("--json", options->json, "Machine-readable summary (and no progress line)");
    addImageOptions(*command, options->image);
    commands.push_back({command, [&context, options] { return stream(context, *options); }});
}

}  // namespace tarvex_tool
