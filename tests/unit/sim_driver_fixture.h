// Fixture for tests that talk to a simulated camera the way the library
// does: a driver handle opened by name and raw device-control calls, with
// vendor requests built as the library builds them. Runs on the virtual
// clock (each call costs 1 ms).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tarvex_sim.h"

namespace tarvex_test {

struct DriverResult {
    bool ok;
    uint32_t error;  // GetLastError of a failed call, else 0
    uint32_t bytes;  // the byte count reported

    bool operator==(const DriverResult&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const DriverResult& result) {
    return out << "{ok " << result.ok << ", error " << result.error << ", bytes " << result.bytes << "}";
}

inline DriverResult succeeded(uint32_t bytes) {
    return {true, 0, bytes};
}
inline DriverResult failedWith(uint32_t error) {
    return {false, error, 0};
}

class SimDriverTest : public ::testing::Test {
public:
    static constexpr uint32_t CLOCK_START_MS = 1000000;
    static constexpr uint32_t STEP_US = 1000;

protected:
    void SetUp() override {
        tarvex_sim_detach_all();
        ASSERT_EQ(0, tarvex_sim_clock_virtual(1, CLOCK_START_MS, STEP_US));
    }

    void TearDown() override {
        for (HANDLE handle : handles_) CloseHandle(handle);
        handles_.clear();
        tarvex_sim_detach_all();
    }

    // Attaches a camera and opens a driver handle on its numbered name.
    HANDLE attachAndOpen(const char* description = "UA", int32_t* camera = nullptr) {
        int32_t id = tarvex_sim_attach(description);
        EXPECT_GT(id, 0) << description;
        if (camera != nullptr) *camera = id;
        HANDLE handle = open(id);
        tarvex_sim_log_clear(id);
        return handle;
    }

    HANDLE open(int32_t camera) {
        int64_t number = 0;
        tarvex_sim_get(camera, TARVEX_SIM_PROP_NUMBER, &number);
        std::string name = "\\\\.\\KQ-TarvexNT" + std::to_string(number);
        HANDLE handle =
            CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, handle) << name;
        if (handle != INVALID_HANDLE_VALUE) handles_.push_back(handle);
        return handle;
    }

    static DriverResult call(HANDLE handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                             uint32_t outSize) {
        DWORD bytes = 0xDEAD;
        BOOL ok = DeviceIoControl(handle, code, const_cast<void*>(in), inSize, out, outSize, &bytes, nullptr);
        return {ok != FALSE, ok != FALSE ? 0u : GetLastError(), ok != FALSE ? bytes : 0u};
    }

    // A code with a 32-bit input value.
    static DriverResult callWithValue(HANDLE handle, uint32_t code, uint32_t value, void* out,
                                      uint32_t outSize) {
        return call(handle, code, &value, sizeof value, out, outSize);
    }

    // A vendor request: code 6 (from the device) or 9 (to it), data in `buffer`.
    static DriverResult vendor(HANDLE handle, bool toDevice, uint8_t request, uint16_t value, uint16_t index,
                               void* buffer, uint32_t length) {
        uint8_t block[10] = {static_cast<uint8_t>(toDevice ? 0 : 1),
                             2,
                             0,
                             0,
                             request,
                             0,
                             static_cast<uint8_t>(value),
                             static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(index),
                             static_cast<uint8_t>(index >> 8)};
        return call(handle, toDevice ? 9 : 6, block, sizeof block, buffer, length);
    }

    static DriverResult writeRegisters(HANDLE handle, uint8_t address, std::vector<uint16_t> values) {
        std::vector<uint8_t> frame{address};
        for (uint16_t value : values) {
            frame.push_back(static_cast<uint8_t>(value >> 8));
            frame.push_back(static_cast<uint8_t>(value));
        }
        return vendor(handle, true, 0xB0, static_cast<uint16_t>(frame.size()), 0, frame.data(),
                      static_cast<uint32_t>(frame.size()));
    }

    static uint8_t readStatus(HANDLE handle) {
        uint8_t status = 0xEE;
        EXPECT_EQ(succeeded(1), vendor(handle, false, 0xB4, 1, 0, &status, 1));
        return status;
    }

    static DriverResult writeByte(HANDLE handle, uint8_t request, uint8_t byte) {
        return vendor(handle, true, request, byte, 0, &byte, 1);
    }

    static int64_t property(int32_t camera, int32_t which) {
        int64_t value = -12345;
        EXPECT_EQ(0, tarvex_sim_get(camera, which, &value)) << "property " << which;
        return value;
    }

    static std::vector<tarvex_sim_call> calls(int32_t camera) {
        std::vector<tarvex_sim_call> all(static_cast<size_t>(tarvex_sim_log_count(camera)));
        int32_t read = tarvex_sim_log_read(camera, 0, all.data(), static_cast<int32_t>(all.size()));
        all.resize(read < 0 ? 0 : static_cast<size_t>(read));
        return all;
    }

    static tarvex_sim_call lastCall(int32_t camera) {
        std::vector<tarvex_sim_call> all = calls(camera);
        EXPECT_FALSE(all.empty());
        return all.empty() ? tarvex_sim_call{} : all.back();
    }

    static void addFault(int32_t camera, int32_t kind, int32_t code, int32_t request = TARVEX_SIM_ANY,
                         uint32_t nth = 1, uint32_t count = 1) {
        tarvex_sim_fault fault{};
        fault.kind = kind;
        fault.code = code;
        fault.request = request;
        fault.nth = nth;
        fault.count = count;
        ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    }

private:
    std::vector<HANDLE> handles_;
};

}  // namespace tarvex_test
