// The subcommands. Each add*Command adds its subcommand (or subcommands) to
// the application with their options, and a Command that runs it once the
// command line has been parsed. run() returns the exit status, or throws one
// of the failures of failures.h.
#pragma once

#include <functional>
#include <vector>

namespace CLI {
class App;
}

namespace tarvex_tool {

class ToolContext;

struct Command {
    CLI::App* app;
    std::function<int()> run;
};
using CommandList = std::vector<Command>;

void addListCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addInfoCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addSnapCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addStreamCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addRegisterCommands(CLI::App& app, ToolContext& context, CommandList& commands);
void addMemoryCommands(CLI::App& app, ToolContext& context, CommandList& commands);
void addFirmwareCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addEepromCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addPortCommands(CLI::App& app, ToolContext& context, CommandList& commands);
void addSyncCommand(CLI::App& app, ToolContext& context, CommandList& commands);
void addTriggerCommand(CLI::App& app, ToolContext& context, CommandList& commands);

}  // namespace tarvex_tool
