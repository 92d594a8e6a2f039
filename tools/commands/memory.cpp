// tarvex mem read|write: the camera's device memory.
#include <CLI/CLI.hpp>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "camera.h"
#include "commands/commands.h"
#include "failures.h"
#include "hex_dump.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

constexpr uint32_t kAddressSpace = 0x10000;  // 16-bit addresses
constexpr uint32_t kWritableBytes = 1024;    // writes reach addresses 0..1023 only
constexpr uint32_t kLongestRead = 0xFFFF;    // one control transfer

struct ReadOptions {
    uint32_t address = 0;
    uint32_t length = 0;
    std::string output;
};

struct WriteOptions {
    uint32_t address = 0;
    std::vector<uint32_t> bytes;
    std::string file;
};

int readMemory(ToolContext& context, const ReadOptions& options) {
    if (options.address + options.length > kAddressSpace)
        throw UsageError("mem read: the range runs past address 0xFFFF");
    Camera camera(context.cameraToOpen());
    std::vector<uint8_t> bytes(options.length);
    check("TarvexDeviceMemRead",
          TarvexDeviceMemRead(camera.handle(), options.address, bytes.data(), options.length));
    camera.close();
    if (!options.output.empty()) {
        std::ofstream file(options.output, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) throw ToolFailure("cannot write " + options.output);
        context.out << "Saved " << bytes.size() << " bytes to " << options.output << "\n";
    } else {
        writeHexDump(context.out, options.address, bytes.data(), bytes.size());
    }
    return kExitOk;
}

int writeMemory(ToolContext& context, const WriteOptions& options) {
    std::vector<uint8_t> bytes(options.bytes.begin(), options.bytes.end());
    if (!options.file.empty()) {
        std::ifstream file(options.file, std::ios::binary);
        if (!file) throw UsageError("cannot read " + options.file);
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (bytes.empty()) throw UsageError("mem write: give the bytes, or --file");
    if (options.address + bytes.size() > kWritableBytes)
        throw UsageError("mem write: device memory is written at addresses 0..1023 only; " +
                         std::to_string(bytes.size()) + " bytes at " + std::to_string(options.address) +
                         " run past it");
    Camera camera(context.cameraToOpen());
    check("TarvexDeviceMemWrite", TarvexDeviceMemWrite(camera.handle(), options.address, bytes.data(),
                                                       static_cast<uint32_t>(bytes.size())));
    camera.close();
    context.out << "Wrote " << bytes.size() << " bytes at " << options.address << "\n";
    return kExitOk;
}

}  // namespace

void addMemoryCommands(CLI::App& app, ToolContext& context, CommandList& commands) {
    CLI::App* mem = app.add_subcommand("mem", "Read or write the camera's device memory");
    mem->require_subcommand(1);

    auto read = std::make_shared<ReadOptions>();
    CLI::App* readCommand =
        mem->add_subcommand("read", "Read LENGTH bytes at ADDRESS and show them as a hex dump");
    readCommand->add_option("ADDRESS", read->address, "Address, 0..0xFFFF")
        ->required()
        ->check(CLI::Range(0u, kAddressSpace - 1));
    readCommand->add_option("LENGTH", read->length, "Number of bytes, 1..65535")
        ->required()
        ->check(CLI::Range(1u, kLongestRead));
    readCommand->add_option("-o,--output", read->output, "Save the bytes to a file instead of the dump");
    commands.push_back({readCommand, [&context, read] { return readMemory(context, *read); }});

    auto write = std::make_shared<WriteOptions>();
    CLI::App* writeCommand =
        mem->add_subcommand("write", "Write bytes at ADDRESS (addresses 0..1023, in 64-byte chunks)");
    writeCommand->add_option("ADDRESS", write->address, "Address, 0..1023")
        ->required()
        ->check(CLI::Range(0u, kWritableBytes - 1));
    CLI::Option* bytes = writeCommand->add_option("BYTE", write->bytes, "Bytes, 0..255 (0x12 or 18)")
                             ->check(CLI::Range(0u, 255u));
    writeCommand->add_option("-f,--file", write->file, "Write the bytes of this file")->excludes(bytes);
    commands.push_back({writeCommand, [&context, write] { return writeMemory(context, *write); }});
}

}  // namespace tarvex_tool
