// tarvex trigger: fire the sensor's trigger, with trigger and strobe settings.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>

#include "camera.h"
#include "cli_checks.h"
#include "commands/commands.h"
#include "failures.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

struct TriggerOptions {
    std::optional<uint32_t> snapshotMode;
    std::optional<uint32_t> triggerPolarity;
    std::optional<uint32_t> strobePolarity;
    std::optional<uint32_t> snapSpeed;
    uint32_t count = 1;
};

int trigger(ToolContext& context, const TriggerOptions& options) {
    Camera camera(context.cameraToOpen());
    CameraHandle handle = camera.handle();
    if (options.snapshotMode) check("TarvexSetSnapMode", TarvexSetSnapMode(handle, *options.snapshotMode));
    if (options.triggerPolarity)
        check("TarvexSetTriggerPolarity", TarvexSetTriggerPolarity(handle, *options.triggerPolarity));
    if (options.strobePolarity)
        check("TarvexSetStrobePolarity", TarvexSetStrobePolarity(handle, *options.strobePolarity));
    if (options.snapSpeed) check("TarvexSetSnapSpeed", TarvexSetSnapSpeed(handle, *options.snapSpeed));
    for (uint32_t i = 0; i < options.count; ++i) check("TarvexTriggerShot", TarvexTriggerShot(handle));
    camera.close();
    context.out << "Fired the trigger "
                << (options.count == 1 ? "once" : std::to_string(options.count) + " times") << "\n";
    return kExitOk;
}

}  // namespace

void addTriggerCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<TriggerOptions>();
    CLI::App* command = app.add_subcommand(
        "trigger",
        "Fire the sensor's software trigger (one frame in snapshot mode), after the given settings");
    command->add_option("--snap-mode", options->snapshotMode, "Acquisition: 0 continuous, 1..3 snapshot")
        ->check(CLI::Range(0u, 3u));
    command->add_option("--trigger-polarity", options->triggerPolarity, "Trigger polarity byte (opens as 1)")
        ->check(CLI::Range(0u, 255u));
    command->add_option("--strobe-polarity", options->strobePolarity, "Strobe polarity byte (opens as 1)")
        ->check(CLI::Range(0u, 255u));
    command->add_option("--snap-speed", options->snapSpeed, "Snap speed byte (opens as 1)")
        ->check(CLI::Range(0u, 255u));
    command->add_option("-n,--count", options->count, "Number of shots (default 1)")->check(positive());
    commands.push_back({command, [&context, options] { return trigger(context, *options); }});
}

}  // namespace tarvex_tool
