// The simulated sensor's picture on the per-frame path, in resolution modes
// 0, 1 and 2 with the full window of each: a frame of a kept picture (one
// copy plus the counter stamp) against a frame after an exposure change,
// which redraws the picture before it is copied. Redrawing reuses the kept
// frame's storage: "allocs_per_frame" reads 0 for the kept picture and 1 for
// the redrawn one, the I2C write frame of the exposure change.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "allocation_counter.h"
#include "tarvex.h"
#include "tarvex_sim.h"

namespace {

// An open, streaming simulated camera with its call log switched off, in
// resolution mode `mode` with that mode's full window.
class StreamingCamera {
public:
    explicit StreamingCamera(uint32_t mode) {
        tarvex_sim_detach_all();
        camera_ = tarvex_sim_attach("UA:paced=0");
        TarvexGetDeviceNumber();
        if (camera_ <= 0 || BeginTarvex(1, &handle_) != 0) return;
        tarvex_sim_log_pause(camera_, 1);
        int32_t scale = 1 << mode;
        frameBytes_ = (TARVEX_SENSOR_WIDTH / scale) * (TARVEX_SENSOR_HEIGHT / scale);
        ready_ = TarvexSetResolution(handle_, mode) == 0 &&
                 TarvexSetOutputWindow(handle_, 0, 0, TARVEX_SENSOR_WIDTH / scale,
                                       TARVEX_SENSOR_HEIGHT / scale) == 0 &&
                 TarvexStartSnap(handle_) == 0;
    }
    ~StreamingCamera() {
        if (handle_ != nullptr) {
            TarvexStopSnap(handle_);
            EndTarvex(handle_);
        }
        tarvex_sim_detach_all();
    }
    bool ready() const { return ready_; }
    CameraHandle handle() const { return handle_; }
    uint32_t frameBytes() const { return frameBytes_; }

private:
    int32_t camera_ = 0;
    CameraHandle handle_ = nullptr;
    uint32_t frameBytes_ = 0;
    bool ready_ = false;
};

void reportFrames(benchmark::State& state, uint64_t allocationsBefore, uint32_t frameBytes) {
    if (bench::allocationCountingWorks()) {
        state.counters["allocs_per_frame"] =
            benchmark::Counter(static_cast<double>(bench::allocationCount() - allocationsBefore),
                               benchmark::Counter::kAvgIterations);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * frameBytes);
}

void runFrames(benchmark::State& state, bool changeExposure) {
    StreamingCamera camera(static_cast<uint32_t>(state.range(0)));
    if (!camera.ready()) {
        state.SkipWithError("no streaming simulated camera");
        return;
    }
    std::vector<uint8_t> frame(camera.frameBytes());
    uint32_t count = 0;
    // One frame first, so that the picture is drawn before timing starts.
    TarvexTransfer(camera.handle(), frame.data(), &count);

    int32_t exposure = 1049;
    uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        if (changeExposure) {
            exposure ^= 1;
            TarvexAECControl(camera.handle(), 1, exposure);
        }
        if (TarvexTransfer(camera.handle(), frame.data(), &count) != 0 || count != camera.frameBytes()) {
            state.SkipWithError("transfer failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    reportFrames(state, before, camera.frameBytes());
}

void BM_KeptPicture(benchmark::State& state) {
    runFrames(state, false);
}
BENCHMARK(BM_KeptPicture)->ArgName("mode")->DenseRange(0, 2);

void BM_RedrawnPicture(benchmark::State& state) {
    runFrames(state, true);
}
BENCHMARK(BM_RedrawnPicture)->ArgName("mode")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
