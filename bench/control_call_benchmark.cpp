// The cost of one control call on a simulated camera: a single register
// field write (TarvexAECControl) and the four-register window write
// (TarvexSetOutputWindow). Each is one I2C frame and its busy poll.
#include <benchmark/benchmark.h>

#include "tarvex.h"
#include "tarvex_sim.h"

namespace {

// An open simulated camera with its call log switched off.
class SimulatedCamera {
public:
    SimulatedCamera() {
        tarvex_sim_detach_all();
        camera_ = tarvex_sim_attach("UA");
        TarvexGetDeviceNumber();
        if (camera_ > 0 && BeginTarvex(1, &handle_) == 0) tarvex_sim_log_pause(camera_, 1);
    }
    ~SimulatedCamera() {
        if (handle_ != nullptr) EndTarvex(handle_);
        tarvex_sim_detach_all();
    }
    CameraHandle handle() const { return handle_; }

private:
    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
};

void BM_ExposureFieldWrite(benchmark::State& state) {
    SimulatedCamera camera;
    if (camera.handle() == nullptr) {
        state.SkipWithError("no simulated camera");
        return;
    }
    int32_t exposure = 0;
    for (auto _ : state) {
        if (TarvexAECControl(camera.handle(), 1, exposure) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        exposure = (exposure + 1) & 0x3FFF;
    }
}
BENCHMARK(BM_ExposureFieldWrite);

void BM_SetOutputWindow(benchmark::State& state) {
    SimulatedCamera camera;
    if (camera.handle() == nullptr) {
        state.SkipWithError("no simulated camera");
        return;
    }
    int32_t x = 0;
    for (auto _ : state) {
        if (TarvexSetOutputWindow(camera.handle(), x, 0, 640, 512) != 0) {
            state.SkipWithError("write failed");
            break;
        }
        x = (x + 2) & 0x1FF;
    }
}
BENCHMARK(BM_SetOutputWindow);

}  // namespace

BENCHMARK_MAIN();
