// Faults armed on a simulated camera: which calls they hit (nth, count, code,
// vendor request) and what they do (fail, short count, status word, unplug).
#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

struct WhichCase {
    const char* name;
    int32_t code;
    int32_t request;
    uint32_t nth;
    uint32_t count;
    const char* hits;  // per call of the sequence below: 'x' failed, '.' answered
};

void PrintTo(const WhichCase& c, std::ostream* out) {
    *out << c.name;
}

class FaultSelection : public SimDriverTest, public ::testing::WithParamInterface<WhichCase> {};

// The sequence: status read, status read, code 20, status read, I2C write, status read.
TEST_P(FaultSelection, HitsTheMatchingCalls) {
    const WhichCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    addFault(camera, TARVEX_SIM_FAULT_FAIL, c.code, c.request, c.nth, c.count);
    std::string hits;
    uint8_t status = 0;
    uint32_t value = 1;
    uint32_t word = 0;
    uint8_t frame[3] = {0x05, 0x00, 0x09};
    auto statusRead = [&] { return vendor(handle, false, 0xB4, 1, 0, &status, 1); };
    DriverResult results[] = {statusRead(),
                              statusRead(),
                              call(handle, 20, &value, 4, &word, 4),
                              statusRead(),
                              vendor(handle, true, 0xB0, 3, 0, frame, 3),
                              statusRead()};
    for (const DriverResult& result : results) {
        if (!result.ok) {
            EXPECT_EQ(31u, result.error);
        }
        hits += result.ok ? '.' : 'x';
    }
    EXPECT_EQ(std::string(c.hits), hits);
    // The log shows the failures as the caller saw them.
    std::string logged;
    for (const tarvex_sim_call& entry : calls(camera)) logged += entry.error == 0 ? '.' : 'x';
    EXPECT_EQ(std::string(c.hits), logged);
}

INSTANTIATE_TEST_SUITE_P(
    NthAndCount, FaultSelection,
    ::testing::Values(WhichCase{"next_call", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 1, 1, "x....."},
                      WhichCase{"third_call", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 3, 1, "..x..."},
                      WhichCase{"two_from_the_second", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 2, 2, ".xx..."},
                      WhichCase{"every_call", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 1, 0, "xxxxxx"},
                      WhichCase{"every_call_from_the_fifth", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 5, 0, "....xx"},
                      WhichCase{"nth_zero_is_the_next", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 0, 1, "x....."},
                      WhichCase{"by_code", 20, TARVEX_SIM_ANY, 1, 1, "..x..."},
                      WhichCase{"by_request", TARVEX_SIM_ANY, 0xB4, 3, 1, "...x.."},
                      WhichCase{"by_code_and_request", 9, 0xB0, 1, 0, "....x."},
                      WhichCase{"request_of_other_direction", 9, 0xB4, 1, 0, "......"},
                      WhichCase{"code_without_requests", 20, 0xB4, 1, 0, "......"},
                      WhichCase{"beyond_the_calls", TARVEX_SIM_ANY, TARVEX_SIM_ANY, 7, 1, "......"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimDriverTest, FailingCallChangesNothingAndCarriesItsError) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    tarvex_sim_fault fault{TARVEX_SIM_FAULT_FAIL, 9, 0xBA, 1, 1, 87, 0, 0};
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_EQ(failedWith(87), vendor(handle, true, 0xBA, 4, 0x10, data, 4));
    uint8_t memory[4] = {9, 9, 9, 9};
    ASSERT_EQ(4, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_DEVICE, 0x10, memory, 4));
    EXPECT_EQ(0, memory[0]);
    EXPECT_EQ(0, readStatus(handle));  // the failed write set no busy bit
}

struct ShortCase {
    uint32_t shortBy;
    uint32_t asked;
    uint32_t reported;
};

class ShortCounts : public SimDriverTest, public ::testing::WithParamInterface<ShortCase> {};

TEST_P(ShortCounts, ReportFewerBytes) {
    const ShortCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    tarvex_sim_fault fault{TARVEX_SIM_FAULT_SHORT, 6, 0xB1, 1, 1, 0, c.shortBy, 0};
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    std::vector<uint8_t> read(c.asked);
    EXPECT_EQ(succeeded(c.reported), vendor(handle, false, 0xB1, 0, 0, read.data(), c.asked));
    EXPECT_EQ(c.reported, lastCall(camera).bytes_returned);
    EXPECT_EQ(succeeded(c.asked), vendor(handle, false, 0xB1, 0, 0, read.data(), c.asked));
}

INSTANTIATE_TEST_SUITE_P(Faults, ShortCounts,
                         ::testing::Values(ShortCase{0, 4, 3}, ShortCase{1, 4, 3}, ShortCase{3, 4, 1},
                                           ShortCase{10, 4, 0}));

TEST_F(SimDriverTest, StatusFaultReplacesTheStatusWord) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    tarvex_sim_fault fault{TARVEX_SIM_FAULT_STATUS,         456, TARVEX_SIM_ANY, 2, 1, 0, 0,
                           static_cast<int32_t>(0xC0000012)};
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    int32_t words[3] = {};
    for (int32_t& word : words) EXPECT_EQ(succeeded(4), call(handle, 456, nullptr, 0, &word, 4));
    EXPECT_EQ(0, words[0]);
    EXPECT_EQ(static_cast<int32_t>(0xC0000012), words[1]);
    EXPECT_EQ(0, words[2]);
}

TEST_F(SimDriverTest, DetachFaultUnplugsTheCamera) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA:number=3", &camera);
    addFault(camera, TARVEX_SIM_FAULT_DETACH, 6, 0xB4, 2, 1);
    EXPECT_EQ(0, readStatus(handle));
    uint8_t status = 0;
    EXPECT_EQ(failedWith(1167), vendor(handle, false, 0xB4, 1, 0, &status, 1));
    // Gone from enumeration and from its name; the open handle fails.
    int32_t ids[4];
    EXPECT_EQ(0, tarvex_sim_cameras(ids, 4));
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("\\\\.\\KQ-TarvexNT3", GENERIC_READ | GENERIC_WRITE, 3,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(failedWith(5), vendor(handle, false, 0xB4, 1, 0, &status, 1));
    // Its log still tells what happened; its number is free again.
    std::vector<tarvex_sim_call> logged = calls(camera);
    ASSERT_EQ(2u, logged.size());
    EXPECT_EQ(1167u, logged[1].error);
    int32_t next = tarvex_sim_attach("UA");
    EXPECT_EQ(1, property(next, TARVEX_SIM_PROP_NUMBER));
    EXPECT_EQ(0, tarvex_sim_detach(camera));
    EXPECT_EQ(TARVEX_SIM_ENOCAMERA, tarvex_sim_detach(camera));
}

TEST_F(SimDriverTest, OpenFaults) {
    int32_t camera = tarvex_sim_attach("UA:number=1");
    addFault(camera, TARVEX_SIM_FAULT_FAIL, 0, TARVEX_SIM_ANY, 1, 1);
    addFault(camera, TARVEX_SIM_FAULT_DETACH, 0, TARVEX_SIM_ANY, 3, 1);
    auto openIt = [] {
        return CreateFileA("\\\\.\\KQ-TarvexNT1", GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    };
    EXPECT_EQ(INVALID_HANDLE_VALUE, openIt());
    EXPECT_EQ(31u, GetLastError());
    HANDLE second = openIt();
    EXPECT_NE(INVALID_HANDLE_VALUE, second);
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    EXPECT_EQ(INVALID_HANDLE_VALUE, openIt());
    EXPECT_EQ(INVALID_HANDLE_VALUE, openIt());
    CloseHandle(second);
    std::vector<std::string> lines;
    for (const tarvex_sim_call& entry : calls(camera)) lines.push_back(describe(entry));
    EXPECT_EQ((std::vector<std::string>{"open  !31", "open ", "open  !2"}), lines);
}

TEST_F(SimDriverTest, AnyCodeDoesNotHitOpens) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    addFault(camera, TARVEX_SIM_FAULT_FAIL, TARVEX_SIM_ANY, TARVEX_SIM_ANY, 1, 1);
    EXPECT_NE(INVALID_HANDLE_VALUE, open(camera));
    uint8_t status;
    EXPECT_FALSE(vendor(handle, false, 0xB4, 1, 0, &status, 1).ok);
}

TEST_F(SimDriverTest, FaultTableLimitsAndClearing) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    tarvex_sim_fault fault{TARVEX_SIM_FAULT_FAIL, 456, TARVEX_SIM_ANY, 100, 1, 0, 0, 0};
    for (int i = 0; i < 16; ++i) ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    EXPECT_EQ(TARVEX_SIM_ENOSPACE, tarvex_sim_add_fault(camera, &fault));
    tarvex_sim_fault bad = fault;
    bad.kind = 9;
    EXPECT_EQ(0, tarvex_sim_clear_faults(camera));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_add_fault(camera, &bad));
    bad = fault;
    bad.request = 0x100;
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_add_fault(camera, &bad));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_add_fault(camera, nullptr));
    EXPECT_EQ(TARVEX_SIM_ENOCAMERA, tarvex_sim_add_fault(camera + 100, &fault));
    // A cleared fault no longer counts calls.
    fault.nth = 1;
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    ASSERT_EQ(0, tarvex_sim_clear_faults(camera));
    int32_t word = 0;
    EXPECT_EQ(succeeded(4), call(handle, 456, nullptr, 0, &word, 4));
}

// Faults as the library meets them.
class FaultsThroughLibrary : public SimCameraTest {};

TEST_F(FaultsThroughLibrary, ShortRegisterReadFailsTheRequest) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    shortCount(camera, 6, 0xB1);
    uint16_t value = 0;
    EXPECT_EQ(ERR_REQUEST_FAILED, TarvexI2CRead(handle, 0x00, &value, 1));
}

TEST_F(FaultsThroughLibrary, DetachedCameraLeavesTheCountAndFailsItsHandle) {
    int32_t camera = attach("UA");
    CameraHandle handle = open(camera);
    tarvex_sim_fault fault{TARVEX_SIM_FAULT_DETACH, 12, TARVEX_SIM_ANY, 1, 1, 0, 0, 0};
    ASSERT_EQ(0, tarvex_sim_add_fault(camera, &fault));
    EXPECT_EQ(ERR_REQUEST_FAILED, Tarvex8051Hold(handle));
    EXPECT_EQ(ERR_REQUEST_FAILED, Tarvex8051Run(handle));
    EXPECT_EQ(0, TarvexGetDeviceNumber());
    EXPECT_EQ((std::vector<std::string>{"cpu 1 !1167"}), traffic(camera));
}

}  // namespace
}  // namespace tarvex_test
