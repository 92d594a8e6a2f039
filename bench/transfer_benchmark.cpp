// The per-frame path: TarvexTransfer of a full 1280 x 1024 frame from an
// unpaced simulated camera, against a plain memcpy of the same size. The
// driver copies each frame once into the caller's buffer, so the library's
// path should come close to memcpy. "allocs_per_frame" counts every heap
// allocation in the process during the timed loop.
//
// On a busy machine, compare the two in one interleaved run:
//   transfer_benchmark --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "tarvex.h"
#include "tarvex_sim.h"

namespace {

constexpr uint32_t FRAME_BYTES = TARVEX_SENSOR_WIDTH * TARVEX_SENSOR_HEIGHT;

void reportAllocations(benchmark::State& state, uint64_t before) {
    if (!bench::allocationCountingWorks()) return;
    state.counters["allocs_per_frame"] = benchmark::Counter(
        static_cast<double>(bench::allocationCount() - before), benchmark::Counter::kAvgIterations);
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> source(FRAME_BYTES);
    for (uint32_t i = 0; i < FRAME_BYTES; ++i) source[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> frame(FRAME_BYTES);
    uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        std::memcpy(frame.data(), source.data(), FRAME_BYTES);
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
}
BENCHMARK(BM_MemcpyFrame);

void BM_TransferFrame(benchmark::State& state) {
    tarvex_sim_detach_all();
    int32_t camera = tarvex_sim_attach("UA:paced=0");
    TarvexGetDeviceNumber();
    CameraHandle handle = nullptr;
    if (camera <= 0 || BeginTarvex(1, &handle) != 0 || TarvexStartSnap(handle) != 0) {
        state.SkipWithError("no simulated camera");
        return;
    }
    tarvex_sim_log_pause(camera, 1);
    std::vector<uint8_t> frame(FRAME_BYTES);
    uint32_t count = 0;
    // One frame first, so that the camera has its picture drawn.
    TarvexTransfer(handle, frame.data(), &count);

    uint64_t before = bench::allocationCount();
    for (auto _ : state) {
        if (TarvexTransfer(handle, frame.data(), &count) != 0 || count != FRAME_BYTES) {
            state.SkipWithError("transfer failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    reportAllocations(state, before);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);

    TarvexStopSnap(handle);
    EndTarvex(handle);
    tarvex_sim_detach_all();
}
BENCHMARK(BM_TransferFrame);

// The console report, followed by the transfer's throughput as a share of
// memcpy's: the mean over the repetitions of each (the "mean" aggregate when
// only aggregates are reported).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            bool single = run.run_type == Run::RT_Iteration;
            bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            auto found = run.counters.find("bytes_per_second");
            if (run.error_occurred || (!single && !mean) || found == run.counters.end()) continue;
            Throughput& throughput = throughput_[run.run_name.function_name];
            if (mean) {
                throughput.mean = found->second.value;
            } else {
                throughput.sum += found->second.value;
                ++throughput.runs;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        double memcpyRate = mean("BM_MemcpyFrame");
        double transferRate = mean("BM_TransferFrame");
        if (memcpyRate > 0 && transferRate > 0) {
            std::printf("TarvexTransfer reaches %.1f %% of memcpy's throughput\n",
                        100.0 * transferRate / memcpyRate);
        }
    }

private:
    struct Throughput {
        double mean = 0;  // the library's own aggregate
        double sum = 0;   // of the single runs
        int runs = 0;
    };

    double mean(const std::string& name) const {
        auto found = throughput_.find(name);
        if (found == throughput_.end()) return 0;
        const Throughput& throughput = found->second;
        if (throughput.mean > 0) return throughput.mean;
        return throughput.runs == 0 ? 0 : throughput.sum / throughput.runs;
    }

    std::map<std::string, Throughput> throughput_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
