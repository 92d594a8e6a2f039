// The simulated camera answers every device-control code and every vendor
// request of the catalogue with the byte counts the library expects, and
// refuses what it does not know.
#include <array>

#include "sim_driver_fixture.h"
#include "support/sim_fixture.h"

namespace tarvex_test {
namespace {

struct CodeCase {
    const char* name;
    uint32_t code;
    std::vector<uint8_t> in;
    uint32_t outSize;
    DriverResult expected;
};

void PrintTo(const CodeCase& c, std::ostream* out) {
    *out << c.name;
}

std::vector<uint8_t> word(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

// A FirmwareByteRequest holding the CPU byte `byte`.
std::vector<uint8_t> cpuByte(uint8_t byte) {
    return {0xA0, 0, 0x00, 0xE6, 0, 0, 1, 0, 0, byte};
}

class DeviceCodes : public SimDriverTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(DeviceCodes, AnswerWithTheirByteCounts) {
    const CodeCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    std::vector<uint8_t> out(c.outSize + 8, 0xEE);
    EXPECT_EQ(c.expected,
              call(handle, c.code, c.in.data(), static_cast<uint32_t>(c.in.size()), out.data(), c.outSize));
    tarvex_sim_call logged = lastCall(camera);
    EXPECT_EQ(c.code, logged.code);
    EXPECT_EQ(c.expected.error, logged.error);
    EXPECT_EQ(c.expected.bytes, logged.bytes_returned);
    EXPECT_EQ(c.outSize, logged.out_size);
    // Nothing is written beyond the caller's length.
    EXPECT_EQ(0xEE, out[c.outSize]);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, DeviceCodes,
    ::testing::Values(
        CodeCase{"open_setup", 0x220000, {}, 4, succeeded(4)},
        CodeCase{"stream_reset", 20, word(1), 4, succeeded(4)},
        CodeCase{"stream_abort", 320, word(1), 4, succeeded(4)},
        CodeCase{"stream_start", 340, word(1310720), 4, succeeded(4)},
        CodeCase{"stream_stop", 344, {}, 4, succeeded(4)},
        CodeCase{"device_descriptor", 68, {}, 18, succeeded(18)},
        CodeCase{"string_descriptor", 80, {1, 0, 27, 0}, 6, succeeded(6)},
        CodeCase{"slot_record", 448, {}, 12, succeeded(12)}, CodeCase{"last_error", 452, {}, 4, succeeded(4)},
        CodeCase{"transfer_status", 456, {}, 4, succeeded(4)},
        CodeCase{"sync_level", 326, word(0), 1, succeeded(1)},
        CodeCase{"bulk_write", 329, word(1), 8, succeeded(8)},
        CodeCase{"bulk_read_empty", 326, word(1), 8, succeeded(0)},
        CodeCase{"cpu_byte", 12, cpuByte(1), 0, succeeded(0)},
        CodeCase{"frame_not_streaming", 350, {}, 64, failedWith(31)},
        CodeCase{"unknown_code", 7, {}, 4, failedWith(1)},
        CodeCase{"unknown_large_code", 0x220004, {}, 4, failedWith(1)},
        CodeCase{"status_without_room", 344, {}, 2, failedWith(122)},
        CodeCase{"short_vendor_block", 6, {1, 2, 0, 0, 0xB4, 0, 1, 0, 0}, 1, failedWith(87)},
        CodeCase{"bulk_unknown_pipe", 326, word(2), 4, failedWith(87)},
        CodeCase{"bulk_write_pipe_0", 329, word(0), 4, failedWith(87)},
        CodeCase{"firmware_byte_wrong_request", 12, {0xA1, 0, 0, 0xE6, 0, 0, 1, 0, 0, 1}, 0, failedWith(31)}),
    [](const auto& info) { return std::string(info.param.name); });

struct VendorCase {
    const char* name;
    bool toDevice;
    uint8_t request;
    uint16_t index;
    uint32_t length;
    DriverResult expected;
};

void PrintTo(const VendorCase& c, std::ostream* out) {
    *out << c.name;
}

class VendorRequests : public SimDriverTest, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(VendorRequests, AnswerWithTheirByteCounts) {
    const VendorCase& c = GetParam();
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    std::vector<uint8_t> buffer(c.length + 8, 0x01);
    EXPECT_EQ(c.expected, vendor(handle, c.toDevice, c.request, static_cast<uint16_t>(c.length), c.index,
                                 buffer.data(), c.length));
    tarvex_sim_call logged = lastCall(camera);
    EXPECT_EQ(c.toDevice ? 9u : 6u, logged.code);
    EXPECT_EQ(c.request, logged.request);
    EXPECT_EQ(static_cast<uint16_t>(c.length), logged.value);
    EXPECT_EQ(c.index, logged.index);
    EXPECT_EQ(c.expected.error, logged.error);
}

constexpr bool TO = true;
constexpr bool FROM = false;

INSTANTIATE_TEST_SUITE_P(
    Catalogue, VendorRequests,
    ::testing::Values(VendorCase{"firmware_chunk", TO, 0xA0, 0, 64, succeeded(64)},
                      VendorCase{"eeprom_image", TO, 0xA2, 0xBEEF, 100, succeeded(100)},
                      VendorCase{"eeprom_without_key", TO, 0xA2, 0, 100, failedWith(31)},
                      VendorCase{"i2c_write", TO, 0xB0, 0, 3, succeeded(3)},
                      VendorCase{"i2c_read", FROM, 0xB1, 0, 4, succeeded(4)},
                      VendorCase{"status", FROM, 0xB4, 0, 1, succeeded(1)},
                      VendorCase{"status_asked_for_more", FROM, 0xB4, 0, 4, succeeded(1)},
                      VendorCase{"adc_mode", TO, 0xB5, 0, 1, succeeded(1)},
                      VendorCase{"snap_speed", TO, 0xB6, 0, 1, succeeded(1)},
                      VendorCase{"snap_mode", TO, 0xB7, 0, 1, succeeded(1)},
                      VendorCase{"trigger_polarity", TO, 0xB8, 0, 1, succeeded(1)},
                      VendorCase{"strobe_polarity", TO, 0xB9, 0, 1, succeeded(1)},
                      VendorCase{"memory_write", TO, 0xBA, 1000, 24, succeeded(24)},
                      VendorCase{"memory_read", FROM, 0xBB, 1280, 70000, succeeded(70000)},
                      VendorCase{"acquisition", TO, 0xBC, 0, 1, succeeded(1)},
                      VendorCase{"block_write", TO, 0xBD, 0, 10, succeeded(10)},
                      VendorCase{"controller_byte_read", FROM, 0xBE, 0, 1, succeeded(1)},
                      VendorCase{"controller_block_read", FROM, 0xBE, 1, 8, succeeded(8)},
                      VendorCase{"controller_read_bad_index", FROM, 0xBE, 2, 1, failedWith(31)},
                      VendorCase{"block_write_alt", TO, 0xBF, 0, 10, succeeded(10)},
                      VendorCase{"controller_command", TO, 0xC0, 0, 1, succeeded(1)},
                      VendorCase{"controller_byte", FROM, 0xC1, 0, 1, succeeded(1)},
                      VendorCase{"block_read", FROM, 0xC3, 0, 8, succeeded(8)},
                      VendorCase{"command_byte", TO, 0xC4, 0, 1, succeeded(1)},
                      VendorCase{"frame_reset", TO, 0xD0, 0, 1, succeeded(1)},
                      VendorCase{"peripheral_outputs", TO, 0xD1, 0, 1, succeeded(1)},
                      VendorCase{"peripheral_inputs", FROM, 0xD2, 0, 1, succeeded(1)},
                      VendorCase{"peripheral_action", TO, 0xD3, 0, 1, succeeded(1)},
                      VendorCase{"firmware_word", FROM, 0xDF, 0, 2, succeeded(2)},
                      VendorCase{"firmware_word_asked_for_more", FROM, 0xDF, 0, 8, succeeded(2)},
                      VendorCase{"unknown_to", TO, 0xB2, 0, 1, failedWith(31)},
                      VendorCase{"unknown_from", FROM, 0xE0, 0, 1, failedWith(31)},
                      VendorCase{"write_request_read", FROM, 0xB0, 0, 3, failedWith(31)},
                      VendorCase{"read_request_written", TO, 0xB4, 0, 1, failedWith(31)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimDriverTest, PeripheralPortRequestsFailOnVariant1) {
    HANDLE handle = attachAndOpen("S4");
    uint8_t byte = 0x3C;
    EXPECT_EQ(failedWith(31), vendor(handle, true, 0xD1, 0x3C, 0, &byte, 1));
    EXPECT_EQ(failedWith(31), vendor(handle, false, 0xD2, 1, 0, &byte, 1));
    EXPECT_EQ(failedWith(31), vendor(handle, true, 0xD3, 0, 0, &byte, 1));
}

TEST_F(SimDriverTest, StatusWordsAreZeroAndQueriesAnswerTheirProperties) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_TRANSFER_STATUS, 0xC0000011));
    ASSERT_EQ(0, tarvex_sim_set(camera, TARVEX_SIM_PROP_LAST_ERROR, -5));
    int32_t value = 77;
    EXPECT_EQ(succeeded(4), call(handle, 0x220000, nullptr, 0, &value, 4));
    EXPECT_EQ(0, value);
    EXPECT_EQ(succeeded(4), call(handle, 456, nullptr, 0, &value, 4));
    EXPECT_EQ(static_cast<int32_t>(0xC0000011), value);
    EXPECT_EQ(succeeded(4), call(handle, 452, nullptr, 0, &value, 4));
    EXPECT_EQ(-5, value);
}

TEST_F(SimDriverTest, StreamStartArmsTheFrameSize) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    int32_t status = 0;
    ASSERT_EQ(succeeded(4), callWithValue(handle, 340, 327680, &status, 4));
    EXPECT_EQ(327680, property(camera, TARVEX_SIM_PROP_ARMED_BYTES));
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_STREAMING));
    EXPECT_EQ(succeeded(1), writeByte(handle, 0xBC, 1));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_STREAMING));
    std::vector<uint8_t> frame(1000);
    EXPECT_EQ(succeeded(1000), call(handle, 350, nullptr, 0, frame.data(), 1000));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
    EXPECT_EQ(succeeded(1), writeByte(handle, 0xBC, 0));
    EXPECT_EQ(failedWith(31), call(handle, 350, nullptr, 0, frame.data(), 1000));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_FRAMES_DELIVERED));
}

// ---- Identity ----

struct StringCase {
    const char* name;
    const char* description;
    uint8_t index;
    uint32_t asked;
    std::vector<uint8_t> answer;  // with the byte count = its size
};

void PrintTo(const StringCase& c, std::ostream* out) {
    *out << c.name;
}

class StringDescriptors : public SimDriverTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(StringDescriptors, AnswerTheirFirstBytesOrTheirWholeLength) {
    const StringCase& c = GetParam();
    HANDLE handle = attachAndOpen(c.description);
    uint8_t in[4] = {c.index, 0, 27, 0};
    std::vector<uint8_t> out(c.asked, 0xEE);
    DriverResult result = call(handle, 80, in, sizeof in, out.data(), c.asked);
    ASSERT_EQ(succeeded(static_cast<uint32_t>(c.answer.size())), result);
    out.resize(result.bytes);
    EXPECT_EQ(c.answer, out);
}

INSTANTIATE_TEST_SUITE_P(
    Identity, StringDescriptors,
    ::testing::Values(
        StringCase{"identification_head", "UA", 1, 6, {6, 3, 'U', 0, 'A', 0}},
        StringCase{"identification_asked_short", "UA-X", 1, 4, {10, 3, 'U', 0}},
        StringCase{"identification_asked_long", "S4", 1, 64, {6, 3, 'S', 0, '4', 0}},
        StringCase{"one_character", "U", 1, 6, {4, 3, 'U', 0}},
        StringCase{"default_variant_2", "2", 1, 6, {22, 3, 'U', 0, 'A', 0}},
        StringCase{"default_variant_1", "1", 1, 6, {22, 3, 'S', 0, '4', 0}},
        StringCase{"model_with_serial", "UA:serial=0042", 2, 64, {28,  3, 'T', 0, 'V', 0, 'X', 0, '1', 0,
                                                                  '2', 0, '8', 0, '0', 0, 'M', 0, '-', 0,
                                                                  '0', 0, '0', 0, '4', 0, '2', 0}},
        StringCase{"model_given", "UA:model=AB", 2, 64, {6, 3, 'A', 0, 'B', 0}},
        StringCase{"languages", "UA", 0, 8, {4, 3, 0x09, 0x04}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimDriverTest, DefaultModelCarriesTheNumberAndHasTwelveCharacters) {
    int32_t camera = tarvex_sim_attach("UA:number=7");
    ASSERT_GT(camera, 0);
    std::array<uint16_t, 32> units{};
    int32_t bytes = tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_STRING2, 0, units.data(), 64);
    ASSERT_EQ(26, bytes);
    std::string model;
    for (int i = 0; i < bytes / 2; ++i) model += static_cast<char>(units[i]);
    EXPECT_EQ("TVX1280M-0007", model);
}

TEST_F(SimDriverTest, UnknownStringDescriptorStalls) {
    HANDLE handle = attachAndOpen();
    uint8_t in[4] = {3, 0, 27, 0};
    uint8_t out[8];
    EXPECT_EQ(failedWith(31), call(handle, 80, in, sizeof in, out, sizeof out));
}

TEST_F(SimDriverTest, DeviceDescriptorCarriesTheRelease) {
    HANDLE handle = attachAndOpen("UA:release=0x0213");
    uint8_t descriptor[18] = {};
    ASSERT_EQ(succeeded(18), call(handle, 68, descriptor, 18, descriptor, 18));
    EXPECT_EQ(18, descriptor[0]);
    EXPECT_EQ(1, descriptor[1]);
    EXPECT_EQ(0x13, descriptor[12]);
    EXPECT_EQ(0x02, descriptor[13]);
}

TEST_F(SimDriverTest, RewrittenIdentificationChangesTheVariant) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    EXPECT_EQ(2, property(camera, TARVEX_SIM_PROP_VARIANT));
    const uint16_t s4[] = {0x0153, 0x0134};  // only the low bytes identify
    ASSERT_EQ(4, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_STRING1, 0, s4, sizeof s4));
    EXPECT_EQ(1, property(camera, TARVEX_SIM_PROP_VARIANT));
    uint8_t in[4] = {1, 0, 27, 0};
    uint8_t out[16];
    ASSERT_EQ(succeeded(6), call(handle, 80, in, sizeof in, out, sizeof out));
    EXPECT_EQ(0x53, out[2]);
    EXPECT_EQ(0x01, out[3]);
}

// ---- The log records each call as the library's tests read it ----

TEST_F(SimDriverTest, LogShowsVendorRequestsCodesAndFailures) {
    int32_t camera = 0;
    HANDLE handle = attachAndOpen("UA", &camera);
    writeRegisters(handle, 0x1E, {0x8600});
    readStatus(handle);
    uint32_t value = 1;
    call(handle, 20, &value, 4, &value, 4);
    call(handle, 99, nullptr, 0, nullptr, 0);
    std::vector<std::string> lines;
    for (const tarvex_sim_call& logged : calls(camera)) lines.push_back(describe(logged));
    EXPECT_EQ((std::vector<std::string>{"to B0 v=3 i=0 [1E 86 00]", "from B4 v=1 i=0 n=1", "code 20 (1)",
                                        "code 99 !1"}),
              lines);
}

}  // namespace
}  // namespace tarvex_test
