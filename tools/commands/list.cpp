// tarvex list: every camera with its identity, one line (or JSON object) each.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
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

struct ListOptions {
    bool json = false;
};

struct CameraLine {
    int32_t index = 0;
    std::string identification, model;
    uint16_t release = 0, sensorId = 0;
    std::optional<std::string> function;  // the call that failed, when one did
    int32_t code = 0;
    std::string error;
};

CameraLine describeCamera(int32_t index) {
    CameraLine line;
    line.index = index;
    try {
        Camera camera(index);
        line.identification = readIdentification(camera.handle());
        line.model = readModel(camera.handle());
        line.release = readRelease(camera.handle());
        line.sensorId = readSensorId(camera.handle());
        camera.close();
    } catch (const CameraCallFailed& failure) {
        line.function = failure.function();
        line.code = failure.code();
        line.error = failure.what();
    } catch (const ToolFailure& failure) {
        line.function = "";
        line.error = failure.what();
    }
    return line;
}

void printJson(std::ostream& out, const std::vector<CameraLine>& lines) {
    JsonWriter json(out);
    json.beginObject().key("count").value(static_cast<int64_t>(lines.size())).key("cameras").beginArray();
    for (const CameraLine& line : lines) {
        json.beginObject().key("index").value(line.index);
        if (line.function) {
            json.key("error").beginObject();
            if (line.code != 0) {
                CodeText text = describeResult(line.code);
                json.key("function").value(*line.function).key("code").value(line.code);
                json.key("name").value(text.name).key("meaning").value(text.meaning);
            }
            json.key("message").value(line.error).endObject();
        } else {
            json.key("variant").value(static_cast<int64_t>(variantOf(line.identification)));
            json.key("identification").value(line.identification).key("model").value(line.model);
            json.key("release").value(static_cast<int64_t>(line.release));
            json.key("release_text").value(releaseText(line.release));
            json.key("sensor_id").value(static_cast<int64_t>(line.sensorId));
        }
        json.endObject();
    }
    json.endArray().endObject().finish();
}

void printTable(ToolContext& context, const std::vector<CameraLine>& lines) {
    std::ostream& out = context.out;
    if (lines.empty()) {
        out << "No cameras attached. Try `tarvex --sim list` for a simulated one.\n";
        return;
    }
    out << lines.size() << (lines.size() == 1 ? " camera" : " cameras") << "\n";
    out << "  #  variant  id  model         release  sensor 0x00\n";
    for (const CameraLine& line : lines) {
        char text[128];
        if (line.function) {
            std::snprintf(text, sizeof text, "%3d  ", line.index);
            out << text << "cannot be read: " << line.error << "\n";
            continue;
        }
        std::snprintf(text, sizeof text, "%3d  %-7d  %-2s  %-12s  %-7s  0x%04X", line.index,
                      variantOf(line.identification), line.identification.c_str(), line.model.c_str(),
                      releaseText(line.release).c_str(), line.sensorId);
        out << text << "\n";
    }
}

}  // namespace

void addListCommand(CLI::App& app, ToolContext& context, CommandList& commands) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* list = app.add_subcommand(
        "list",
        "List every camera: index, variant, identification, model, release number, sensor register 0x00");
    list->add_flag("--json", options->json, "Machine-readable output");
    commands.push_back({list, [&context, options] {
                            int32_t count = context.countCameras();
                            std::vector<CameraLine> lines;
                            bool failed = false;
                            for (int32_t index = 1; index <= count; ++index) {
                                lines.push_back(describeCamera(index));
                                failed = failed || lines.back().function.has_value();
                            }
                            if (options->json)
                                printJson(context.out, lines);
                            else
                                printTable(context, lines);
                            return failed ? kExitFailed : kExitOk;
                        }});
}

}  // namespace tarvex_tool
