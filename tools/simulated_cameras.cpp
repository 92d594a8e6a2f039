#include "simulated_cameras.h"

#include <algorithm>

#include "failures.h"
#include "result_codes.h"
#include "tarvex_sim.h"

namespace tarvex_tool {

namespace {

std::vector<int32_t> attachedIds() {
    std::vector<int32_t> ids(64);
    for (;;) {
        int32_t count = tarvex_sim_cameras(ids.data(), static_cast<int32_t>(ids.size()));
        if (count < 0) return {};
        if (static_cast<size_t>(count) <= ids.size()) {
            ids.resize(static_cast<size_t>(count));
            return ids;
        }
        ids.resize(static_cast<size_t>(count));
    }
}

}  // namespace

SimulatedCameras::~SimulatedCameras() {
    for (int32_t id : ids_) tarvex_sim_detach(id);
}

int32_t SimulatedCameras::attach(const std::string& description) {
    std::vector<int32_t> before = attachedIds();
    int32_t attached = tarvex_sim_attach_list(description.c_str());
    if (attached < 0)
        throw UsageError("--sim '" + description +
                         "': tarvex_sim_attach_list refused it: " + formatSimResult(attached));
    for (int32_t id : attachedIds())
        if (std::find(before.begin(), before.end(), id) == before.end()) ids_.push_back(id);
    return attached;
}

}  // namespace tarvex_tool
