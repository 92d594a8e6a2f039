// Bad arguments: a usage message, exit status 2, and not one call to the
// camera (it is not even opened).
#include "tool_fixture.h"

namespace tarvex_test {
namespace {

struct BadArguments {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};
void PrintTo(const BadArguments& c, std::ostream* out) {
    *out << c.name;
}

class BadArgumentsTest : public ToolTest, public ::testing::WithParamInterface<BadArguments> {};

TEST_P(BadArgumentsTest, UsageMessageAndNothingSent) {
    int32_t camera = attach("UA");
    clearLog(camera);

    ToolRun result = run(GetParam().arguments);

    EXPECT_EQ(2, result.status) << result;
    EXPECT_NE(std::string::npos, result.err.find(GetParam().message)) << result;
    EXPECT_NE(std::string::npos, result.err.find("Run with --help for more information.")) << result;
    EXPECT_EQ("", result.out);
    EXPECT_EQ(0, tarvex_sim_log_count(camera)) << "the camera saw a call";
    EXPECT_EQ(1, tarvex_sim_cameras(nullptr, 0)) << "no simulated camera was attached";
}

using Args = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadArgumentsTest,
    ::testing::Values(
        BadArguments{"noSubcommand", {}, "A subcommand is required"},
        BadArguments{"unknownSubcommand",
                     {"--camera", "2", "frobnicate", "-o", "x"},
                     "unknown subcommand 'frobnicate'"},
        BadArguments{"unknownOption", {"list", "--bogus"}, "--bogus"},
        BadArguments{"cameraZero", {"--camera", "0", "--sim", "list"}, "--camera: must be greater than 0"},
        BadArguments{"cameraNotANumber", {"--camera", "two", "info"}, "--camera"},
        BadArguments{"snapWithoutOutput", {"--sim", "snap"}, "--output is required"},
        BadArguments{"snapUnknownFormat", {"--sim", "snap", "-o", "frame.bmp"}, "must end in .png or .pgm"},
        BadArguments{
            "modeAboveThree", {"snap", "-o", "f.png", "--mode", "4"}, "--mode: Value 4 not in range 0 to 3"},
        BadArguments{
            "modeThreeWithoutWindow", {"snap", "-o", "f.png", "--mode", "3"}, "no defined picture size"},
        BadArguments{"windowTooSmall", {"snap", "-o", "f.png", "--window", "0,0,3,10"}, "at least 4 x 3"},
        BadArguments{"windowOutsideMode0",
                     {"snap", "-o", "f.png", "--window", "0,0,2000,10"},
                     "outside the 1280 x 1024 picture of mode 0"},
        BadArguments{"windowOutsideMode1",
                     {"snap", "-o", "f.png", "--mode", "1", "--window", "0,0,1280,1024"},
                     "outside the 640 x 512 picture of mode 1"},
        BadArguments{"windowNegative", {"snap", "-o", "f.png", "--window", "-1,0,64,48"}, "outside"},
        BadArguments{"windowThreeValues", {"snap", "-o", "f.png", "--window", "0,0,64"}, "--window"},
        BadArguments{"twoGains", {"snap", "-o", "f.png", "--gain", "1,2"}, "one value for all four channels"},
        BadArguments{"gainTooHigh", {"snap", "-o", "f.png", "--gain", "128"}, "--gain"},
        BadArguments{"exposureTooHigh", {"snap", "-o", "f.png", "--exposure", "16384"}, "--exposure"},
        BadArguments{"delayTooLong", {"snap", "-o", "f.png", "--delay", "3000,0"}, "-9..2038"},
        BadArguments{"snapshotModeFour", {"snap", "-o", "f.png", "--snapshot", "4"}, "--snapshot"},
        BadArguments{"zeroFrames", {"stream", "--frames", "0"}, "--frames: must be greater than 0"},
        BadArguments{"framesAndDuration", {"stream", "--frames", "5", "--duration", "1"}, "excludes"},
        BadArguments{"everyWithoutSave", {"stream", "--every", "2"}, "requires --save"},
        BadArguments{"saveUnknownFormat", {"stream", "--save", "frame-#.txt"}, "must end in .png or .pgm"},
        BadArguments{"saveTwoFields", {"stream", "--save", "a-%d-%d.png"}, "more than one number field"},
        BadArguments{"saveBrokenField", {"stream", "--save", "a-%x.png"}, "use %d or %0Nd"},
        BadArguments{"registerAbove255", {"reg", "read", "0x100"}, "REGISTER: Value 0x100 not in range"},
        BadArguments{"registersPastTheEnd", {"reg", "read", "0xFF", "2"}, "run past 0xFF"},
        BadArguments{"registerValueTooBig", {"reg", "write", "0x09", "0x10000"}, "VALUE"},
        BadArguments{"registerWriteWithoutValue", {"reg", "write", "0x09"}, "VALUE is required"},
        BadArguments{"regWithoutAction", {"reg"}, "A subcommand is required"},
        BadArguments{"memoryReadPastTheEnd", {"mem", "read", "0xFFFF", "2"}, "past address 0xFFFF"},
        BadArguments{
            "memoryWritePast1023", {"mem", "write", "1020", "1", "2", "3", "4", "5"}, "0..1023 only"},
        BadArguments{"memoryWriteNothing", {"mem", "write", "0"}, "give the bytes, or --file"},
        BadArguments{"memoryByteTooBig", {"mem", "write", "0", "256"}, "BYTE"},
        BadArguments{"firmwareMissing", {"firmware", "/nonexistent/firmware.hex"}, "cannot read"},
        BadArguments{"firmwareFormat", {"firmware", "--format", "elf", "x.bin"}, "--format"},
        BadArguments{"outputTakesABit", {"io", "set", "2", "5"}, "output 2 takes 0 or 1"},
        BadArguments{"selectorAboveSix", {"io", "set", "7"}, "SELECTOR: Value 7 not in range"},
        BadArguments{"zeroSyncs", {"sync", "--count", "0"}, "--count: must be greater than 0"},
        BadArguments{"triggerSnapMode", {"trigger", "--snap-mode", "4"}, "--snap-mode"},
        BadArguments{"simSpecRefused", {"--sim", "XX,,", "list"}, "TARVEX_SIM_EINVAL (-1)"}),
    [](const ::testing::TestParamInfo<BadArguments>& info) { return std::string(info.param.name); });

class BadImageFileTest : public ToolTest {};

TEST_F(BadImageFileTest, BrokenIntelHexIsRefusedBeforeTheCamera) {
    int32_t camera = attach("UA");
    struct {
        const char* content;
        const char* message;
    } cases[] = {
        {":0400000002003FC8F4\n:00000001FF\n", "line 1: checksum mismatch"},
        {":0400000002003FC8F3\n", "no end-of-file record"},
        {":0400000002003F\n:00000001FF\n", "does not match its byte count"},
        {"  :0400000002003FC8F3\n:00000001FF\n:00000001FF\n",
         "line 3: a record after the end-of-file record"},
        {":020000040001F9\n:0400000002003FC8F3\n:00000001FF\n", "beyond the image's 65536 bytes"},
    };
    for (const auto& c : cases) {
        writeFile("broken.hex", c.content);
        clearLog(camera);
        ToolRun result = run({"firmware", file("broken.hex")});
        EXPECT_EQ(2, result.status) << c.content;
        EXPECT_NE(std::string::npos, result.err.find(c.message)) << result;
        EXPECT_EQ(0, tarvex_sim_log_count(camera)) << c.content;
    }
}

TEST_F(BadImageFileTest, ImagesTooLargeOrEmptyAreRefused) {
    int32_t camera = attach("UA");
    clearLog(camera);
    writeFile("big.bin", std::string(65537, 'x'));
    writeFile("empty.bin", "");
    EXPECT_NE(std::string::npos, run({"firmware", file("big.bin")}).err.find("more than the 65536"));
    EXPECT_NE(std::string::npos, run({"eeprom", file("big.bin")}).err.find("more than the 65535"));
    EXPECT_NE(std::string::npos, run({"firmware", file("empty.bin")}).err.find("the image is empty"));
    EXPECT_EQ(0, tarvex_sim_log_count(camera));
}

TEST_F(BadImageFileTest, EverySubcommandHasHelp) {
    for (const Args& arguments :
         {Args{"--help"}, Args{"list", "--help"}, Args{"info", "--help"}, Args{"snap", "--help"},
          Args{"stream", "--help"}, Args{"reg", "read", "--help"}, Args{"reg", "write", "--help"},
          Args{"mem", "read", "--help"}, Args{"mem", "write", "--help"}, Args{"firmware", "--help"},
          Args{"eeprom", "--help"}, Args{"io", "set", "--help"}, Args{"io", "get", "--help"},
          Args{"sync", "--help"}, Args{"trigger", "--help"}}) {
        ToolRun result = run(arguments);
        EXPECT_EQ(0, result.status) << arguments.front();
        EXPECT_NE(std::string::npos, result.out.find("Usage: tarvex")) << result;
    }
    EXPECT_NE(std::string::npos, run({"snap", "--help"}).out.find("--window X,Y,W,H"));
}

}  // namespace
}  // namespace tarvex_test
