// Test fixture over simulated cameras: attaches them, runs the clock virtually
// and reads the camera traffic back as short readable lines.
//
// Traffic lines (one per device-control call the camera saw):
//   "open \0"                     a driver handle opened (with what followed the name)
//   "close"                       a driver handle closed
//   "to B0 v=3 i=0 [1E 86 00]"    host-to-device vendor request (code 9) and its data
//   "from B4 v=1 i=0 n=1"         device-to-host vendor request (code 6), n = length asked
//   "cpu 1"                       controller CPU byte (code 12)
//   "code 20 (1)"                 a code with a 32-bit input value
//   "code 350 n=1310720"          a code without input, n = output length
//   "code 80 [01 00 1B 00] n=6"   a code with other input bytes
// A call that failed ends in " !E" with its system error code E.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tarvex.h"
#include "tarvex_sim.h"

// Skips the test where the cameras cannot run on the virtual clock (Windows):
// time-outs would take real seconds there, and timings would not be exact.
#define TARVEX_REQUIRE_VIRTUAL_CLOCK()                                              \
    do {                                                                            \
        if (!hasVirtualClock()) GTEST_SKIP() << "needs the cameras' virtual clock"; \
    } while (0)

namespace tarvex_test {

inline std::string hexBytes(const uint8_t* bytes, uint32_t count) {
    std::string text = "[";
    char item[4];
    for (uint32_t i = 0; i < count; ++i) {
        std::snprintf(item, sizeof item, "%02X", bytes[i]);
        if (i != 0) text += ' ';
        text += item;
    }
    return text + "]";
}

inline std::string describe(const tarvex_sim_call& call) {
    char text[96];
    std::string line;
    if (call.code == 0) {
        size_t length = 0;
        while (length < sizeof call.in && call.in[length] != 0) ++length;
        line = "open " + std::string(reinterpret_cast<const char*>(call.in), length);
    } else if (call.code == 1) {
        line = "close";
    } else if (call.code == 9) {
        std::snprintf(text, sizeof text, "to %02X v=%u i=%u ", call.request, call.value, call.index);
        uint32_t shown = call.out_size < sizeof call.data ? call.out_size : sizeof call.data;
        line = text + hexBytes(call.data, shown);
        if (shown < call.out_size) line += "...";
    } else if (call.code == 6) {
        std::snprintf(text, sizeof text, "from %02X v=%u i=%u n=%u", call.request, call.value, call.index,
                      call.out_size);
        line = text;
    } else if (call.code == 12) {
        std::snprintf(text, sizeof text, "cpu %u", call.in[9]);
        line = text;
    } else if (call.in_size == 4 && call.code != 80) {
        uint32_t value =
            call.in[0] | (call.in[1] << 8) | (call.in[2] << 16) | (static_cast<uint32_t>(call.in[3]) << 24);
        std::snprintf(text, sizeof text, call.code > 0xFFFF ? "code 0x%X (%u)" : "code %u (%u)", call.code,
                      value);
        line = text;
        if (call.code == 326 || call.code == 329) {
            std::snprintf(text, sizeof text, " n=%u", call.out_size);
            line += text;
        }
    } else if (call.in_size == 0) {
        std::snprintf(text, sizeof text, call.code > 0xFFFF ? "code 0x%X" : "code %u", call.code);
        line = text;
        if (call.out_size != 0 && call.out_size != 4) {
            std::snprintf(text, sizeof text, " n=%u", call.out_size);
            line += text;
        }
    } else {
        std::snprintf(text, sizeof text, call.code > 0xFFFF ? "code 0x%X " : "code %u ", call.code);
        uint32_t shown = call.in_size < sizeof call.in ? call.in_size : sizeof call.in;
        line = text + hexBytes(call.in, shown);
        std::snprintf(text, sizeof text, " n=%u", call.out_size);
        line += text;
    }
    if (call.error != 0) {
        std::snprintf(text, sizeof text, " !%u", call.error);
        line += text;
    }
    return line;
}

class SimCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarvex_sim_detach_all();
        // A virtual clock: each device-control call costs 1 ms, waits cost nothing.
        // Windows has none (the library's tick count is the system's there):
        // tests that need it begin with TARVEX_REQUIRE_VIRTUAL_CLOCK().
        virtualClock_ = tarvex_sim_clock_virtual(1, 1000000, 1000) == 0;
#if !defined(_WIN32)
        ASSERT_TRUE(virtualClock_);
#endif
    }

    // Whether the cameras run on the virtual clock.
    bool hasVirtualClock() const {
        return virtualClock_;
    }

    void TearDown() override {
        for (CameraHandle handle : handles_) EndTarvex(handle);
        handles_.clear();
        tarvex_sim_detach_all();
        TarvexGetDeviceNumber();
    }

    // Attaches one camera and lets the library count it. Returns its id.
    int32_t attach(const char* description = "UA") {
        int32_t id = tarvex_sim_attach(description);
        EXPECT_GT(id, 0) << description;
        TarvexGetDeviceNumber();
        // Counting with numbered names opens each camera once, and on some
        // systems its close reaches the driver a little later: wait for it,
        // so that it does not land in the traffic of the test.
        int64_t open = 0;
        for (int wait = 0; wait < 2000; ++wait) {
            if (tarvex_sim_get(id, TARVEX_SIM_PROP_OPEN_HANDLES, &open) != 0 || open == 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return id;
    }

    // Opens camera `index` (closed again at the end of the test) and clears the
    // log of `camera` so that a test sees only its own traffic.
    CameraHandle open(int32_t camera, int32_t index = 1) {
        CameraHandle handle = nullptr;
        EXPECT_EQ(0, BeginTarvex(index, &handle));
        if (handle != nullptr) handles_.push_back(handle);
        tarvex_sim_log_clear(camera);
        return handle;
    }

    // Closes a handle opened with open() before the end of the test.
    ApiStatus close(CameraHandle handle) {
        std::erase(handles_, handle);
        return EndTarvex(handle);
    }

    static std::vector<tarvex_sim_call> calls(int32_t camera) {
        std::vector<tarvex_sim_call> all(static_cast<size_t>(tarvex_sim_log_count(camera)));
        int32_t read = tarvex_sim_log_read(camera, 0, all.data(), static_cast<int32_t>(all.size()));
        all.resize(read < 0 ? 0 : static_cast<size_t>(read));
        return all;
    }

    // The camera's traffic since the last clear, as readable lines.
    static std::vector<std::string> traffic(int32_t camera) {
        std::vector<std::string> lines;
        for (const tarvex_sim_call& call : calls(camera)) lines.push_back(describe(call));
        return lines;
    }

    // The same without the status reads of busy polls.
    static std::vector<std::string> trafficWithoutPolls(int32_t camera) {
        std::vector<std::string> lines;
        for (const tarvex_sim_call& call : calls(camera)) {
            if (call.code == 6 && call.request == 0xB4) continue;
            lines.push_back(describe(call));
        }
        return lines;
    }

    static void clearLog(int32_t camera) {
        tarvex_sim_log_clear(camera);
    }

    static void fail(int32_t camera, int32_t code, int32_t request = TARVEX_SIM_ANY, uint32_t nth = 1,
                     uint32_t count = 1) {
        tarvex_sim_fault fault{};
        fault.kind = TARVEX_SIM_FAULT_FAIL;
        fault.code = code;
        fault.request = request;
        fault.nth = nth;
        fault.count = count;
        ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    }

    static void shortCount(int32_t camera, int32_t code, int32_t request = TARVEX_SIM_ANY, uint32_t nth = 1,
                           uint32_t count = 1) {
        tarvex_sim_fault fault{};
        fault.kind = TARVEX_SIM_FAULT_SHORT;
        fault.code = code;
        fault.request = request;
        fault.nth = nth;
        fault.count = count;
        ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    }

    static int64_t property(int32_t camera, int32_t which) {
        int64_t value = 0;
        EXPECT_EQ(0, tarvex_sim_get(camera, which, &value));
        return value;
    }

    static uint16_t sensorRegister(int32_t camera, uint8_t address) {
        uint16_t value = 0;
        tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_SENSOR, address * 2u, &value, 2);
        return value;
    }

private:
    std::vector<CameraHandle> handles_;
    bool virtualClock_ = false;
};

}  // namespace tarvex_test
