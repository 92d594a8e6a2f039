// tarvex reg read|write: the image sensor's 16-bit registers over I2C.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

#include "camera.h"
#include "commands/commands.h"
#include "failures.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

constexpr uint32_t kRegisterCount = 256;

struct ReadOptions {
    uint32_t start = 0;
    uint32_t count = 1;
};

struct WriteOptions {
    uint32_t start = 0;
    std::vector<uint32_t> values;
};

int readRegisters(ToolContext& context, const ReadOptions& options) {
    if (options.start + options.count > kRegisterCount)
        throw UsageError("reg read: registers 0x00..0xFF only; " + std::to_string(options.count) +
                         " from this one run past 0xFF");
    Camera camera(context.cameraToOpen());
    std::vector<uint16_t> values(options.count);
    check("TarvexI2CRead", TarvexI2CRead(camera.handle(), options.start, values.data(), options.count));
    camera.close();
    for (uint32_t i = 0; i < options.count; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "0x%02X = 0x%04X  %u", options.start + i, values[i], values[i]);
        context.out << line << "\n";
    }
    return kExitOk;
}

int writeRegisters(ToolContext& context, const WriteOptions& options) {
    if (options.start + options.values.size() > kRegisterCount)
        throw UsageError("reg write: registers 0x00..0xFF only; the values run past 0xFF");
    std::vector<uint16_t> values(options.values.begin(), options.values.end());
    Camera camera(context.cameraToOpen());
    check("TarvexI2CWrite", TarvexI2CWrite(camera.handle(), options.start, values.data(),
                                           static_cast<uint32_t>(values.size())));
    camera.close();
    char line[64];
    std::snprintf(line, sizeof line, "Wrote %zu register%s from 0x%02X", values.size(),
                  values.size() == 1 ? "" : "s", options.start);
    context.out << line << "\n";
    return kExitOk;
}

}  // namespace

void addRegisterCommands(CLI::App& app, ToolContext& context, CommandList& commands) {
    CLI::App* reg = app.add_subcommand("reg", "Read or write the image sensor's registers over I2C");
    reg->require_subcommand(1);

    auto read = std::make_shared<ReadOptions>();
    CLI::App* readCommand = reg->add_subcommand("read", "Read COUNT registers from REGISTER (any register)");
    readCommand->add_option("REGISTER", read->start, "First register, 0x00..0xFF")
        ->required()
        ->check(CLI::Range(0u, kRegisterCount - 1));
    readCommand->add_option("COUNT", read->count, "Number of registers (default 1)")
        ->check(CLI::Range(1u, kRegisterCount));
    commands.push_back({readCommand, [&context, read] { return readRegisters(context, *read); }});

    auto write = std::make_shared<WriteOptions>();
    CLI::App* writeCommand = reg->add_subcommand(
        "write",
        "Write VALUE... to consecutive registers from REGISTER in one I2C frame (mirrored registers only)");
    writeCommand->add_option("REGISTER", write->start, "First register, 0x00..0xFF")
        ->required()
        ->check(CLI::Range(0u, kRegisterCount - 1));
    writeCommand->add_option("VALUE", write->values, "16-bit values, 0x0000..0xFFFF")
        ->required()
        ->check(CLI::Range(0u, 0xFFFFu));
    commands.push_back({writeCommand, [&context, write] { return writeRegisters(context, *write); }});
}

}  // namespace tarvex_tool
