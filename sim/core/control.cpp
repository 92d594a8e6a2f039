#include "control.h"

#include <cstring>
#include <memory>

namespace tarvex::sim {

namespace {

ControlReply reply(int64_t result, int64_t value = 0) {
    return ControlReply{result, value};
}

bool fits(uint64_t count, uint64_t itemBytes, uint32_t bufferBytes) {
    return count * itemBytes <= bufferBytes;
}

}  // namespace

ControlReply executeControl(Simulator& simulator, const ControlRequest& request, const ControlData& data) {
    switch (request.operation) {
        case ControlOperation::Attach: {
            if (request.attach.length > CONTROL_TEXT_BYTES) return reply(TARVEX_SIM_EINVAL);
            CameraDescription description;
            int32_t parsed = parseCameraDescription(request.attach.text, request.attach.length, description);
            if (parsed != 0) return reply(parsed);
            return reply(simulator.attach(description, request.attach.defaultPaced != 0));
        }
        case ControlOperation::AttachList: {
            if (request.attach.length > CONTROL_TEXT_BYTES) return reply(TARVEX_SIM_EINVAL);
            // Large: a list holds a description per camera.
            auto list = std::make_unique<CameraList>();
            int32_t parsed = parseCameraList(request.attach.text, request.attach.length, *list);
            if (parsed != 0) return reply(parsed);
            return reply(simulator.attachList(*list, request.attach.defaultPaced != 0));
        }
        case ControlOperation::Detach:
            return reply(simulator.detach(request.camera));
        case ControlOperation::DetachAll:
            return reply(simulator.detachAll());
        case ControlOperation::ListCameras: {
            int32_t max = request.list.max;
            if (max < 0 || !fits(static_cast<uint64_t>(max), sizeof(int32_t), data.outSize)) {
                return reply(TARVEX_SIM_EINVAL);
            }
            int32_t ids[MAX_CAMERAS];
            int32_t count = simulator.cameraIds(ids, MAX_CAMERAS);
            int32_t copied = count < max ? count : max;
            if (copied > 0) std::memcpy(data.out, ids, sizeof(int32_t) * static_cast<uint32_t>(copied));
            return reply(count);
        }
        case ControlOperation::ClockVirtual:
            simulator.setVirtualClock(request.clock.enable != 0,
                                      static_cast<uint64_t>(request.clock.startMs) * 1000u,
                                      request.clock.stepUs);
            return reply(0);
        case ControlOperation::ClockRead:
            return reply(static_cast<int64_t>(simulator.clock().nowUs() / 1000u));
        case ControlOperation::ClockAdvance:
            if (!simulator.clock().isVirtual()) return reply(TARVEX_SIM_EINVAL);
            simulator.clock().advance(request.clock.advanceUs);
            return reply(0);
        default:
            break;
    }

    // Everything else is about one camera.
    SimCamera* camera = simulator.find(request.camera);
    if (camera == nullptr) return reply(TARVEX_SIM_ENOCAMERA);
    switch (request.operation) {
        case ControlOperation::GetProperty: {
            int64_t value = 0;
            int32_t result = camera->getProperty(request.property.property, &value);
            return reply(result, value);
        }
        case ControlOperation::SetProperty:
            return reply(camera->setProperty(request.property.property, request.property.value));
        case ControlOperation::ReadMemory:
            if (request.memory.length > data.outSize) return reply(TARVEX_SIM_EINVAL);
            return reply(camera->readMemory(request.memory.memory, request.memory.offset, data.out,
                                            request.memory.length));
        case ControlOperation::WriteMemory:
            if (request.memory.length > data.inSize) return reply(TARVEX_SIM_EINVAL);
            return reply(camera->writeMemory(request.memory.memory, request.memory.offset, data.in,
                                             request.memory.length));
        case ControlOperation::AddFault:
            return reply(camera->faults().add(request.fault));
        case ControlOperation::ClearFaults:
            camera->faults().clear();
            return reply(0);
        case ControlOperation::ScriptSync:
            if (request.sync.count > SyncLevel::MAX_SCRIPT || request.sync.count > data.inSize) {
                return reply(TARVEX_SIM_EINVAL);
            }
            camera->sync().script(data.in, request.sync.count);
            return reply(0);
        case ControlOperation::LogCount:
            return reply(static_cast<int64_t>(camera->log().count()));
        case ControlOperation::LogRead: {
            const LogRequest& log = request.log;
            if (log.first < 0 || log.max < 0 ||
                !fits(static_cast<uint64_t>(log.max), sizeof(tarvex_sim_call), data.outSize)) {
                return reply(TARVEX_SIM_EINVAL);
            }
            auto* calls = reinterpret_cast<tarvex_sim_call*>(data.out);
            return reply(
                camera->log().read(static_cast<uint64_t>(log.first), calls, static_cast<uint32_t>(log.max)));
        }
        case ControlOperation::LogClear:
            camera->log().clear();
            return reply(0);
        case ControlOperation::LogPause:
            camera->log().setPaused(request.log.paused != 0);
            return reply(0);
        default:
            return reply(TARVEX_SIM_EINVAL);
    }
}

}  // namespace tarvex::sim
