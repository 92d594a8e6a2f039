// tarvex info: every record the camera answers, one camera.
#include <CLI/CLI.hpp>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "camera.h"
#include "commands/commands.h"
#include "device_records.h"
#include "failures.h"
#include "json_writer.h"
#include "result_codes.h"
#include "tool_context.h"

namespace tarvex_tool {

namespace {

struct InfoOptions {
    bool json = false;
};

std::string hexBytes(const uint8_t* bytes, size_t count) {
    std::string text;
    char item[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(item, sizeof item, "%02X", bytes[i]);
        if (i != 0) text += ' ';
        text += item;
    }
    return text;
}

std::string hex16(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// One record: its name, how to print it as text, and how to write it as JSON.
struct Record {
    const char* name;
    std::function<std::string()> text;
    std::function<void(JsonWriter&)> json;
};

struct Failure {
    const char* record;
    std::string message;
    int32_t code = 0;  // the result code, when an exported function returned one
};

struct CameraRecords {
    std::string identification, model;
    uint8_t constant = 0;
    uint16_t sensorId = 0, release = 0;
    std::array<int32_t, 6> resolutions{};
    std::array<int32_t, 4> delayRange{};
    std::array<uint8_t, 12> slot{};
};

std::vector<Record> recordsOf(CameraRecords& r, CameraHandle camera) {
    return {
        {"identification",
         [&r, camera] {
             r.identification = readIdentification(camera);
             return r.identification + " (variant " + std::to_string(variantOf(r.identification)) + ")";
         },
         [&r](JsonWriter& json) {
             json.key("identification").value(r.identification);
             json.key("variant").value(static_cast<int64_t>(variantOf(r.identification)));
         }},
        {"model",
         [&r, camera] {
             r.model = readModel(camera);
             return r.model;
         },
         [&r](JsonWriter& json) { json.key("model").value(r.model); }},
        {"constant",
         [&r, camera] {
             readDeviceRecord(camera, TARVEX_INFO_CONSTANT_ONE, &r.constant, 1);
             return std::to_string(r.constant);
         },
         [&r](JsonWriter& json) { json.key("constant").value(static_cast<int64_t>(r.constant)); }},
        {"sensor 0x00",
         [&r, camera] {
             r.sensorId = readSensorId(camera);
             return hex16(r.sensorId);
         },
         [&r](JsonWriter& json) { json.key("sensor_id").value(static_cast<int64_t>(r.sensorId)); }},
        {"release",
         [&r, camera] {
             r.release = readRelease(camera);
             return hex16(r.release) + " (" + releaseText(r.release) + ")";
         },
         [&r](JsonWriter& json) {
             json.key("release").value(static_cast<int64_t>(r.release));
             json.key("release_text").value(releaseText(r.release));
         }},
        {"resolutions",
         [&r, camera] {
             r.resolutions = readResolutions(camera);
             std::string text;
             for (int mode = 0; mode < 3; ++mode)
                 text += (mode ? ", " : "") + std::string("mode ") + std::to_string(mode) + " " +
                         std::to_string(r.resolutions[2 * mode]) + " x " +
                         std::to_string(r.resolutions[2 * mode + 1]);
             return text;
         },
         [&r](JsonWriter& json) {
             json.key("resolutions").beginArray();
             for (int mode = 0; mode < 3; ++mode)
                 json.beginObject()
                     .key("mode")
                     .value(static_cast<int64_t>(mode))
                     .key("width")
                     .value(r.resolutions[2 * mode])
                     .key("height")
                     .value(r.resolutions[2 * mode + 1])
                     .endObject();
             json.endArray();
         }},
        {"delay range",
         [&r, camera] {
             r.delayRange = readDelayRange(camera);
             return "horizontal " + std::to_string(r.delayRange[0]) + ".." + std::to_string(r.delayRange[2]) +
                    ", vertical " + std::to_string(r.delayRange[1]) + ".." + std::to_string(r.delayRange[3]);
         },
         [&r](JsonWriter& json) {
             json.key("delay_range").beginObject();
             json.key("horizontal").beginArray().value(r.delayRange[0]).value(r.delayRange[2]).endArray();
             json.key("vertical").beginArray().value(r.delayRange[1]).value(r.delayRange[3]).endArray();
             json.endObject();
         }},
        {"slot record",
         [&r, camera] {
             r.slot = readSlotRecord(camera);
             return hexBytes(r.slot.data(), r.slot.size());
         },
         [&r](JsonWriter& json) {
             json.key("slot").beginArray();
             for (uint8_t byte : r.slot) json.value(static_cast<int64_t>(byte));
             json.endArray();
         }},
    };
}

}  // namespace

void addInfoCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* info = app.add_subcommand(
        "info",
        "Show every device record of one camera: identity, resolution list, delay range, slot record");
    info->add_flag("--json", options->json, "Machine-readable output");
    commands.push_back({info, [&context, options] {
                            Camera camera(context.cameraToOpen());
                            CameraRecords records;
                            std::vector<Record> all = recordsOf(records, camera.handle());
                            std::vector<const Record*> read;
                            std::vector<Failure> failures;
                            if (!options->json)
                                context.out << "camera " << camera.index() << " of " << context.cameraCount()
                                            << "\n";
                            for (const Record& record : all) {
                                try {
                                    std::string text = record.text();
                                    read.push_back(&record);
                                    if (!options->json) {
                                        char label[24];
                                        std::snprintf(label, sizeof label, "  %-15s ", record.name);
                                        context.out << label << text << "\n";
                                    }
                                } catch (const CameraCallFailed& failure) {
                                    failures.push_back({record.name, failure.what(), failure.code()});
                                } catch (const ToolFailure& failure) {
                                    failures.push_back({record.name, failure.what()});
                                }
                            }
                            camera.close();
                            if (options->json) {
                                JsonWriter json(context.out);
                                json.beginObject().key("index").value(camera.index());
                                for (const Record* record : read) record->json(json);
                                json.key("errors").beginArray();
                                for (const Failure& failure : failures) {
                                    json.beginObject().key("record").value(failure.record);
                                    if (failure.code != 0) {
                                        CodeText text = describeResult(failure.code);
                                        json.key("code").value(failure.code).key("name").value(text.name);
                                    }
                                    json.key("message").value(failure.message).endObject();
                                }
                                json.endArray().endObject().finish();
                            }
                            for (const Failure& failure : failures)
                                context.err << "tarvex: " << failure.record << ": " << failure.message
                                            << "\n";
                            return failures.empty() ? kExitOk : kExitFailed;
                        }});
}

}  // namespace tarvex_tool
