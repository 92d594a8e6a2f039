// tarvex sync: wait for the frame sync to fall and tell how long it took.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <memory>

#include "camera.h"
#include "cli_checks.h"
#include "commands/commands.h"
#include "failures.h"
#include "interrupt.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

// TarvexWaitSync gives up after about this long and does not say so.
constexpr double kSyncDeadlineMs = 5000;

struct SyncOptions {
    uint32_t count = 1;
};

int waitForSync(ToolContext& context, const SyncOptions& options) {
    Camera camera(context.cameraToOpen());
    bool missed = false;
    for (uint32_t i = 0; i < options.count; ++i) {
        if (interrupted()) throw Interrupted();
        auto start = std::chrono::steady_clock::now();
        check("TarvexWaitSync", TarvexWaitSync(camera.handle()));
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        char line[80];
        if (ms >= kSyncDeadlineMs) {
            missed = true;
            std::snprintf(line, sizeof line, "no frame sync within %.0f ms", ms);
        } else {
            std::snprintf(line, sizeof line, "frame sync after %.1f ms", ms);
        }
        context.out << line << "\n";
    }
    camera.close();
    if (missed) context.err << "tarvex: the frame sync did not fall within 5 s: is the camera acquiring?\n";
    return missed ? kExitFailed : kExitOk;
}

}  // namespace

void addSyncCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<SyncOptions>();
    CLI::App* command =
        app.add_subcommand("sync", "Wait for the frame sync to fall (at most 5 s) and tell how long it took");
    command->add_option("-n,--count", options->count, "Number of waits (default 1)")->check(positive());
    commands.push_back({command, [&context, options] { return waitForSync(context, *options); }});
}

}  // namespace tarvex_tool
