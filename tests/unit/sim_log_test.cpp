// The call log: one record per call, sequence numbers across cameras, a ring
// that drops the oldest records, pausing and clearing.
#include "sim_driver_fixture.h"

namespace tarvex_test {
namespace {

TEST_F(SimDriverTest, SequenceRunsAcrossCameras) {
    int32_t first = 0;
    int32_t second = 0;
    HANDLE a = attachAndOpen("UA", &first);
    HANDLE b = attachAndOpen("S4", &second);
    readStatus(a);
    readStatus(b);
    readStatus(a);
    std::vector<tarvex_sim_call> ofFirst = calls(first);
    std::vector<tarvex_sim_call> ofSecond = calls(second);
    ASSERT_EQ(2u, ofFirst.size());
    ASSERT_EQ(1u, ofSecond.size());
    EXPECT_LT(ofFirst[0].sequence, ofSecond[0].sequence);
    EXPECT_EQ(ofFirst[0].sequence + 1, ofSecond[0].sequence);
    EXPECT_EQ(ofSecond[0].sequence + 1, ofFirst[1].sequence);
}

TEST_F(SimDriverTest, RecordHoldsTheCallAsTheCameraSawIt) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    std::vector<uint8_t> data(100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    vendor(handle, true, 0xBA, 100, 0x0400, data.data(), 100);
    std::vector<uint8_t> read(8, 0);
    vendor(handle, false, 0xBB, 8, 0x0402, read.data(), 8);
    std::vector<tarvex_sim_call> logged = calls(camera);
    ASSERT_EQ(2u, logged.size());
    const tarvex_sim_call& write = logged[0];
    EXPECT_EQ(9u, write.code);
    EXPECT_EQ(0xBA, write.request);
    EXPECT_EQ(100, write.value);
    EXPECT_EQ(0x0400, write.index);
    EXPECT_EQ(10u, write.in_size);
    EXPECT_EQ(100u, write.out_size);
    EXPECT_EQ(100u, write.bytes_returned);
    EXPECT_EQ(0xBA, write.in[4]);
    EXPECT_EQ(63, write.data[63]);  // the first 64 bytes sent
    const tarvex_sim_call& answer = logged[1];
    EXPECT_EQ(6u, answer.code);
    EXPECT_EQ(8u, answer.bytes_returned);
    EXPECT_EQ(2, answer.data[0]);  // the bytes returned
    EXPECT_EQ(9, answer.data[7]);
    EXPECT_EQ(0, answer.data[8]);
    // Calls that are not vendor requests carry no request.
    uint32_t value = 1;
    callWithValue(handle, 20, value, &value, 4);
    EXPECT_EQ(-1, lastCall(camera).request);
}

TEST_F(SimDriverTest, RingKeepsTheNewestRecords) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    const int64_t total = TARVEX_SIM_LOG_CAPACITY + 10;
    for (int64_t i = 0; i < total; ++i) readStatus(handle);
    EXPECT_EQ(total, tarvex_sim_log_count(camera));
    tarvex_sim_call records[20];
    // From the start: the dropped ones are skipped.
    ASSERT_EQ(20, tarvex_sim_log_read(camera, 0, records, 20));
    uint64_t firstKept = records[0].sequence;
    ASSERT_EQ(20, tarvex_sim_log_read(camera, 10, records, 20));
    EXPECT_EQ(firstKept, records[0].sequence);
    // The end of the log.
    EXPECT_EQ(5, tarvex_sim_log_read(camera, total - 5, records, 20));
    EXPECT_EQ(0, tarvex_sim_log_read(camera, total, records, 20));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_log_read(camera, -1, records, 20));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_log_read(camera, 0, nullptr, 20));
    EXPECT_EQ(0, tarvex_sim_log_read(camera, 0, nullptr, 0));
}

TEST_F(SimDriverTest, PausedLogRecordsNothingAndClearStartsAgain) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    readStatus(handle);
    ASSERT_EQ(0, tarvex_sim_log_pause(camera, 1));
    readStatus(handle);
    readStatus(handle);
    EXPECT_EQ(1, tarvex_sim_log_count(camera));
    ASSERT_EQ(0, tarvex_sim_log_pause(camera, 0));
    ASSERT_EQ(0, tarvex_sim_log_clear(camera));
    EXPECT_EQ(0, tarvex_sim_log_count(camera));
    readStatus(handle);
    tarvex_sim_call record;
    ASSERT_EQ(1, tarvex_sim_log_read(camera, 0, &record, 1));
    EXPECT_EQ(6u, record.code);
    EXPECT_EQ(TARVEX_SIM_ENOCAMERA, tarvex_sim_log_count(camera + 100));
}

}  // namespace
}  // namespace tarvex_test
