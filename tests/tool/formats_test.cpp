// The tool's own formats: Intel HEX files, numbered frame names, and the
// names and explanations of result codes.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "failures.h"
#include "firmware_image.h"
#include "frame_name_pattern.h"
#include "result_codes.h"
#include "tarvex.h"

namespace tarvex_tool {
namespace {

TEST(IntelHexTest, DataRecordsLandAtTheirAddresses) {
    struct {
        const char* name;
        const char* text;
        std::vector<uint8_t> image;
    } cases[] = {
        {"one record", ":0300000001020AF0\n:00000001FF\n", {0x01, 0x02, 0x0A}},
        {"lower-case digits, blank lines, CRLF",
         "\r\n:0300000001020af0\r\n\r\n:00000001ff\r\n",
         {0x01, 0x02, 0x0A}},
        {"a gap is zeros", ":01000200AA53\n:00000001FF\n", {0x00, 0x00, 0xAA}},
        {"records out of order", ":01000100BB43\n:01000000AA55\n:00000001FF\n", {0xAA, 0xBB}},
        {"extended segment address", ":020000020001FB\n:01000000CC33\n:00000001FF\n",
         std::vector<uint8_t>(16, 0)},
        {"start addresses ignored", ":0400000300001234B3\n:01000000AA55\n:00000001FF\n", {0xAA}},
    };
    cases[4].image.push_back(0xCC);
    for (const auto& c : cases) {
        LoadedImage image = parseIntelHex(c.text, 0x10000);
        EXPECT_EQ(c.image, image.bytes) << c.name;
        EXPECT_EQ(ImageFileFormat::IntelHex, image.format) << c.name;
    }
}

TEST(IntelHexTest, BrokenFilesNameTheLine) {
    struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"0300000001020AF0\n:00000001FF\n", "line 1: a record starts with ':'"},
        {":0300000001020AF1\n:00000001FF\n", "line 1: checksum mismatch"},
        {":03000000010\n:00000001FF\n", "line 1: a record is ':' and an even number of hex digits"},
        {":0300000001020G0F\n:00000001FF\n", "line 1: not a hex digit"},
        {":0400000001020AEF\n:00000001FF\n", "line 1: the record's length does not match its byte count"},
        {":0300000001020AF0\n", "no end-of-file record"},
        {":00000001FF\n:0300000001020AF0\n", "line 2: a record after the end-of-file record"},
        {":00000006FA\n:00000001FF\n", "line 1: unknown record type 6"},
        {":03FFFF0001020AF2\n:00000001FF\n", "line 1: data beyond the image's 65536 bytes"},
        {":03000004000100F8\n:00000001FF\n", "line 1: an extended linear address has 2 bytes"},
    };
    for (const auto& c : cases) {
        try {
            parseIntelHex(c.text, 0x10000);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string::npos, std::string(error.what()).find(c.message)) << error.what();
        }
    }
}

TEST(FrameNamePatternTest, FillsTheNumberField) {
    struct {
        const char* pattern;
        uint64_t number;
        const char* name;
    } cases[] = {
        {"frame-####.png", 7, "frame-0007.png"},
        {"frame-#.png", 123, "frame-123.png"},
        {"f%04d.pgm", 42, "f0042.pgm"},
        {"f%d.PNG", 42, "f42.PNG"},
        {"100%%-%02d.png", 3, "100%-03.png"},
        {"dir.v2/frame.png", 5, "dir.v2/frame-000005.png"},
        {"shot.pgm", 1234567, "shot-1234567.pgm"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.name, FrameNamePattern(c.pattern).name(c.number)) << c.pattern;
}

TEST(FrameNamePatternTest, RefusesWhatItCannotFill) {
    for (const char* pattern : {"frame-##-##.png", "f%d%d.png", "f%5d.png", "f%s.png", "f%.png", "frame.bmp",
                                "frame", "dir.png/frame", "f%0999d.png"}) {
        EXPECT_THROW(FrameNamePattern{pattern}, UsageError) << pattern;
    }
}

TEST(ResultCodesTest, EveryLibraryCodeHasItsNameAndAnExplanation) {
    struct {
        int32_t code;
        const char* name;
    } cases[] = {
        {TARVEX_ERR_NO_DEVICE, "ERR_NO_DEVICE"},
        {TARVEX_ERR_INVALID_HANDLE, "ERR_INVALID_HANDLE"},
        {TARVEX_ERR_UNRECOGNISED_DEVICE, "ERR_UNRECOGNISED_DEVICE"},
        {TARVEX_ERR_NO_MEMORY, "ERR_NO_MEMORY"},
        {TARVEX_ERR_REQUEST_FAILED, "ERR_REQUEST_FAILED"},
        {TARVEX_ERR_BUSY_TIMEOUT, "ERR_BUSY_TIMEOUT"},
        {TARVEX_ERR_DRIVER_CALL, "ERR_DRIVER_CALL"},
        {TARVEX_ERR_NOT_SUPPORTED, "ERR_NOT_SUPPORTED"},
        {TARVEX_ERR_BAD_SELECTOR, "ERR_BAD_SELECTOR"},
        {TARVEX_ERR_OUT_OF_RANGE, "ERR_OUT_OF_RANGE"},
        {TARVEX_ERR_STATUS_QUERY, "ERR_STATUS_QUERY"},
    };
    std::set<std::string> meanings;
    for (const auto& c : cases) {
        CodeText text = describeResult(c.code);
        EXPECT_EQ(c.name, text.name);
        EXPECT_TRUE(meanings.insert(text.meaning).second) << "the same explanation twice: " << text.meaning;
        EXPECT_EQ(std::string(c.name) + " (" + std::to_string(c.code) + "): " + text.meaning,
                  formatResult(c.code));
    }
}

TEST(ResultCodesTest, DriverStatusesAndSystemErrors) {
    EXPECT_EQ(
        "USBD_STATUS_XACT_ERROR (-1073741807): the driver reports a USB transaction error on the frame "
        "stream",
        formatResult(-1073741807));
    EXPECT_EQ("status 0xC0000004 (-1073741820): a negative status that the driver reported",
              formatResult(-1073741820));
    EXPECT_EQ("ERROR_GEN_FAILURE (31): a device attached to the system is not functioning",
              formatSystemError(31));
    EXPECT_EQ("system error 1234 (1234): the driver call failed with this system error code",
              formatSystemError(1234));
    EXPECT_EQ("TARVEX_SIM_EINVAL (-1): the simulated-camera description or argument is not valid",
              formatSimResult(-1));
}

}  // namespace
}  // namespace tarvex_tool
