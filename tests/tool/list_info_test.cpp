// tarvex list and info: every camera's identity, every record of one, and a
// camera that cannot be read shown with its code while the others still are.
#include "tool_fixture.h"

namespace tarvex_test {
namespace {

class ListInfoTest : public ToolTest {};

TEST_F(ListInfoTest, ListsEveryCameraWithItsIdentity) {
    int32_t first = attach("S4");
    int32_t second = attach("UA:serial=0042:release=0x0213");
    int32_t refused = attach("XX");
    clearLog(first);

    ToolRun result = run({"list"});

    EXPECT_EQ(1, result.status) << "one camera cannot be opened: " << result;
    EXPECT_NE(std::string::npos, result.out.find("3 cameras")) << result;
    EXPECT_NE(std::string::npos, result.out.find("  1  1        S4  TVX1280M-000  1.00     0x8401"))
        << result;
    EXPECT_NE(std::string::npos, result.out.find("  2  2        UA  TVX1280M-004  2.13     0x8401"))
        << result;
    EXPECT_NE(std::string::npos,
              result.out.find("  3  cannot be read: BeginTarvex failed: ERR_UNRECOGNISED_DEVICE (-3)"))
        << result;
    for (int32_t camera : {first, second, refused})
        EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES)) << "camera " << camera;
    // The sensor register is read from the camera, not taken from the defaults.
    EXPECT_TRUE(inOrder(traffic(first), {"open", "to B0 v=1 i=0 [00]", "from B1", "close"}));
}

TEST_F(ListInfoTest, ListJsonNamesTheCameras) {
    attach("S4");
    attach("UA:serial=0042");
    ToolRun result = run({"list", "--json"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(
        "{\"count\":2,\"cameras\":["
        "{\"index\":1,\"variant\":1,\"identification\":\"S4\",\"model\":\"TVX1280M-000\",\"release\":256,"
        "\"release_text\":\"1.00\",\"sensor_id\":33793},"
        "{\"index\":2,\"variant\":2,\"identification\":\"UA\",\"model\":\"TVX1280M-004\",\"release\":256,"
        "\"release_text\":\"1.00\",\"sensor_id\":33793}]}\n",
        result.out);
}

TEST_F(ListInfoTest, SimAttachesCamerasForTheRunOnly) {
    attach("S4");
    ToolRun result = run({"--sim", "2", "list"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_NE(std::string::npos, result.out.find("3 cameras")) << result;
    EXPECT_EQ(1, tarvex_sim_cameras(nullptr, 0)) << "the two of --sim are unplugged again";

    result = run({"--sim", "S4,UA:serial=0042", "list"});
    EXPECT_NE(std::string::npos, result.out.find("  3  2        UA  TVX1280M-004")) << result;
}

TEST_F(ListInfoTest, NoCameraIsNotAFailure) {
    ToolRun result = run({"list"});
    EXPECT_EQ(0, result.status);
    EXPECT_NE(std::string::npos, result.out.find("No cameras attached. Try `tarvex --sim list`")) << result;
    EXPECT_EQ("{\"count\":0,\"cameras\":[]}\n", run({"list", "--json"}).out);
}

TEST_F(ListInfoTest, InfoShowsEveryRecord) {
    attach("S4");
    int32_t camera = attach("UA:serial=0042:release=0x0213");
    const uint8_t slot[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_EQ(12, tarvex_sim_write_memory(camera, TARVEX_SIM_MEM_SLOT, 0, slot, sizeof slot));

    ToolRun result = run({"--camera", "2", "info"});

    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(
        "camera 2 of 2\n"
        "  identification  UA (variant 2)\n"
        "  model           TVX1280M-004\n"
        "  constant        1\n"
        "  sensor 0x00     0x8401\n"
        "  release         0x0213 (2.13)\n"
        "  resolutions     mode 0 1280 x 1024, mode 1 640 x 512, mode 2 320 x 256\n"
        "  delay range     horizontal -9..2038, vertical -25..2022\n"
        "  slot record     01 02 03 04 05 06 07 08 09 0A 0B 0C\n",
        result.out);
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

TEST_F(ListInfoTest, InfoJsonHoldsEveryRecord) {
    attach("UA");
    ToolRun result = run({"info", "--json"});
    ASSERT_EQ(0, result.status) << result;
    EXPECT_EQ(
        "{\"index\":1,\"identification\":\"UA\",\"variant\":2,\"model\":\"TVX1280M-000\",\"constant\":1,"
        "\"sensor_id\":33793,\"release\":256,\"release_text\":\"1.00\","
        "\"resolutions\":[{\"mode\":0,\"width\":1280,\"height\":1024},{\"mode\":1,\"width\":640,\"height\":"
        "512},"
        "{\"mode\":2,\"width\":320,\"height\":256}],"
        "\"delay_range\":{\"horizontal\":[-9,2038],\"vertical\":[-25,2022]},"
        "\"slot\":[1,0,0,0,1,0,0,0,2,0,0,0],\"errors\":[]}\n",
        result.out);
}

TEST_F(ListInfoTest, InfoGoesOnPastARecordThatFails) {
    int32_t camera = attach("UA");
    fail(camera, 448);  // the slot query: the system's error 31
    ToolRun result = run({"info"});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.out.find("  delay range     horizontal -9..2038")) << result;
    EXPECT_EQ(std::string::npos, result.out.find("slot record")) << result;
    EXPECT_NE(
        std::string::npos,
        result.err.find("slot record: TarvexGetSlotInfo failed: ERROR_GEN_FAILURE (31): a device attached to "
                        "the system is not functioning"))
        << result;
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
}

TEST_F(ListInfoTest, CameraBeyondTheCountSaysHowManyThereAre) {
    attach("UA");
    ToolRun result = run({"--camera", "3", "info"});
    EXPECT_EQ(1, result.status);
    EXPECT_NE(std::string::npos, result.err.find("camera 3: BeginTarvex failed: ERR_NO_DEVICE (-1)"))
        << result;
    EXPECT_NE(std::string::npos, result.err.find("1 camera is attached; choose one with --camera 1..1"))
        << result;
}

}  // namespace
}  // namespace tarvex_test
