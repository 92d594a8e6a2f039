#include "tool.h"

#include <CLI/CLI.hpp>

#include "cli_checks.h"
#include "commands/commands.h"
#include "failures.h"
#include "tarvex.h"
#include "tool_context.h"

#ifndef TARVEX_TOOL_VERSION
#define TARVEX_TOOL_VERSION "unknown"
#endif

namespace tarvex_tool {

namespace {

constexpr const char* kFooter = R"(Examples:
  tarvex --sim list                      attach a simulated camera and list the cameras
  tarvex --sim stream --frames 90        stream 90 frames and show the frame rate
  tarvex --sim snap -o frame.png         save one frame
  tarvex --sim S4,UA:serial=0042 list    two simulated cameras, one of each variant
  tarvex --camera 2 info --json          every record of camera 2, as JSON
Without --sim the cameras are the attached ones (and those of TARVEX_SIM).
Every subcommand has --help.)";

void addGlobalOptions(CLI::App& app, ToolContext& context) {
    app.add_option("-c,--camera", context.cameraIndex, "Camera to use, from 1 (default 1; see `tarvex list`)")
        ->check(positive())
        ->type_name("N");
    app.add_option("--sim", context.simSpec,
                   "Attach simulated cameras for this run: a count (default 1) or specs such as "
                   "\"S4,UA:serial=0042\", as in TARVEX_SIM")
        ->expected(0, 1)
        ->default_str("1")
        ->type_name("[CAMERA]");
}

void printFailureHint(const CameraCallFailed& failure, ToolContext& context) {
    if (failure.function() == "BeginTarvex" && failure.code() == TARVEX_ERR_NO_DEVICE) {
        int32_t count = context.cameraCount();
        if (count == 0)
            context.err << "tarvex: no camera is attached; --sim attaches a simulated one\n";
        else
            context.err << "tarvex: " << count << (count == 1 ? " camera is" : " cameras are")
                        << " attached; choose one with --camera 1.." << count << "\n";
    } else if (failure.code() == TARVEX_ERR_NOT_SUPPORTED) {
        context.err
            << "tarvex: the peripheral port exists on cameras of variant 2 (identification \"UA\") only\n";
    }
}

}  // namespace

int runTool(const std::vector<std::string>& arguments, const ToolStreams& streams) {
    ToolContext context(streams.out, streams.err);
    context.progressOnTerminal = streams.errIsTerminal;

    CLI::App app("tarvex - look at a Tarvex camera: list, info, snap, stream, registers, memory, firmware",
                 "tarvex");
    app.set_version_flag("--version", "tarvex " TARVEX_TOOL_VERSION);
    // One subcommand; checked after the parse so that a misspelt one is named.
    app.require_subcommand(0, 1);
    app.fallthrough();  // the global options may also follow the subcommand
    app.footer(kFooter);
    addGlobalOptions(app, context);

    CommandList commands;
    addListCommand(app, context, commands);
    addInfoCommand(app, context, commands);
    addSnapCommand(app, context, commands);
    addStreamCommand(app, context, commands);
    addRegisterCommands(app, context, commands);
    addMemoryCommands(app, context, commands);
    addFirmwareCommand(app, context, commands);
    addEepromCommand(app, context, commands);
    addPortCommands(app, context, commands);
    addSyncCommand(app, context, commands);
    addTriggerCommand(app, context, commands);

    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
        if (app.get_subcommands().empty()) throw CLI::RequiredError("A subcommand");
    } catch (const CLI::ExtrasError& error) {
        std::vector<std::string> left = app.remaining();
        if (app.get_subcommands().empty() && !left.empty() && left.front().rfind('-', 0) != 0) {
            streams.err << "tarvex: unknown subcommand '" << left.front()
                        << "' (list, info, snap, stream, reg, mem, firmware, eeprom, io, sync, trigger)\n"
                           "Run with --help for more information.\n";
            return kExitUsage;
        }
        app.exit(error, streams.out, streams.err);
        return kExitUsage;
    } catch (const CLI::ParseError& error) {
        int status = app.exit(error, streams.out, streams.err);
        return status == 0 ? kExitOk : kExitUsage;
    }

    try {
        for (const Command& command : commands)
            if (command.app->parsed()) return command.run();
        return kExitUsage;  // a subcommand was parsed: one of them ran
    } catch (const UsageError& error) {
        streams.err << "tarvex: " << error.what() << "\nRun with --help for more information.\n";
        return kExitUsage;
    } catch (const CameraCallFailed& failure) {
        streams.err << "tarvex: camera " << context.cameraIndex << ": " << failure.what() << "\n";
        printFailureHint(failure, context);
        return kExitFailed;
    } catch (const ToolFailure& failure) {
        streams.err << "tarvex: " << failure.what() << "\n";
        return kExitFailed;
    } catch (const Interrupted&) {
        streams.err << "tarvex: interrupted; the stream was stopped and the camera closed\n";
        return kExitInterrupted;
    } catch (const std::exception& error) {  // out of memory for a frame buffer, say
        streams.err << "tarvex: " << error.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace tarvex_tool
