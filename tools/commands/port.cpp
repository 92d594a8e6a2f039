// tarvex io set|get: the peripheral port of variant-2 cameras.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "camera.h"
#include "commands/commands.h"
#include "failures.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

constexpr uint32_t kActionSelector = 4;

struct SetOptions {
    uint32_t selector = 0;
    uint32_t value = 0;
};

int setOutput(ToolContext& context, const SetOptions& options) {
    bool wholeByte = options.selector <= 1;
    if (!wholeByte && options.selector != kActionSelector && options.value > 1)
        throw UsageError("io set: output " + std::to_string(options.selector) + " takes 0 or 1");
    Camera camera(context.cameraToOpen());
    check("TarvexPeriDeviceControl",
          TarvexPeriDeviceControl(camera.handle(), options.selector, options.value));
    camera.close();
    if (options.selector == kActionSelector)
        context.out << "Fired the port's action\n";
    else
        context.out << "Set output " << options.selector << " to " << options.value << "\n";
    return kExitOk;
}

int getInputs(ToolContext& context) {
    Camera camera(context.cameraToOpen());
    uint8_t inputs = 0;
    check("TarvexGetArriveStatus", TarvexGetArriveStatus(camera.handle(), &inputs));
    camera.close();
    char line[64];
    std::snprintf(line, sizeof line, "inputs 0x%02X: in0=%d in1=%d in2=%d", inputs, inputs & 1,
                  (inputs >> 1) & 1, (inputs >> 2) & 1);
    context.out << line << "\n";
    return kExitOk;
}

}  // namespace

void addPortCommands(CLI::App& app, ToolContext& context, CommandList& commands) {
    CLI::App* io = app.add_subcommand("io", "Drive the peripheral port (cameras of variant 2)");
    io->require_subcommand(1);

    auto set = std::make_shared<SetOptions>();
    CLI::App* setCommand = io->add_subcommand(
        "set",
        "Set output SELECTOR to VALUE: 0 and 1 take a byte, 2, 3, 5 and 6 take 0 or 1; 4 fires the action");
    setCommand->add_option("SELECTOR", set->selector, "Output 0..6 (4: the action)")
        ->required()
        ->check(CLI::Range(0u, 6u));
    setCommand->add_option("VALUE", set->value, "Value (default 0; ignored by 4)")
        ->check(CLI::Range(0u, 255u));
    commands.push_back({setCommand, [&context, set] { return setOutput(context, *set); }});

    CLI::App* getCommand = io->add_subcommand("get", "Read the three inputs");
    commands.push_back({getCommand, [&context] { return getInputs(context); }});
}

}  // namespace tarvex_tool
