// The camera description of tarvex_sim_attach / TARVEX_SIM: good and bad
// specs and lists, and the all-or-nothing attach of a list.
#include <cstring>

#include "core/camera_description.h"
#include "linux/sim_runtime.h"
#include "sim_driver_fixture.h"

namespace tarvex_test {
namespace {

using tarvex::sim::CameraDescription;
using tarvex::sim::CameraList;
using tarvex::sim::parseCameraList;

struct ListCase {
    const char* text;
    int32_t result;  // 0 or the TARVEX_SIM_E* code
    uint32_t count;
    const char* firstIdent;  // identification of the first camera
};

void PrintTo(const ListCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class Lists : public ::testing::TestWithParam<ListCase> {};

TEST_P(Lists, ParseAsDocumented) {
    const ListCase& c = GetParam();
    auto list = std::make_unique<CameraList>();
    EXPECT_EQ(c.result, parseCameraList(c.text, static_cast<uint32_t>(std::strlen(c.text)), *list));
    if (c.result != 0) return;
    EXPECT_EQ(c.count, list->count);
    if (c.count != 0) {
        EXPECT_STREQ(c.firstIdent, list->specs[0].ident);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Good, Lists,
    ::testing::Values(ListCase{"", 0, 0, ""}, ListCase{"0", 0, 0, ""}, ListCase{"2", 0, 2, "UA-TVX1280"},
                      ListCase{"1", 0, 1, "UA-TVX1280"}, ListCase{"64", 0, 64, "UA-TVX1280"},
                      ListCase{"3:paced=0", 0, 3, "UA-TVX1280"}, ListCase{"S4", 0, 1, "S4"},
                      ListCase{"S4,UA:serial=0042", 0, 2, "S4"}, ListCase{"1,2", 0, 2, "S4-TVX1280"},
                      ListCase{"2,1", 0, 2, "UA-TVX1280"},
                      ListCase{"UA:model=X:release=0x0213:number=9:paced=1:inputs=0xF8", 0, 1, "UA"},
                      ListCase{"UA:model=", 0, 1, "UA"}, ListCase{"u", 0, 1, "u"},
                      ListCase{"UAxyz:serial=7", 0, 1, "UAxyz"}));

INSTANTIATE_TEST_SUITE_P(
    Bad, Lists,
    ::testing::Values(
        ListCase{",", TARVEX_SIM_EINVAL, 0, ""}, ListCase{"UA,", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{",UA", TARVEX_SIM_EINVAL, 0, ""}, ListCase{"UA,,S4", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{":paced=1", TARVEX_SIM_EINVAL, 0, ""}, ListCase{"UA:", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:paced", TARVEX_SIM_EINVAL, 0, ""}, ListCase{"UA:paced=2", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:colour=red", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:number=0", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:number=65536", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:release=0x10000", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:release=12a", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:release=0x", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:inputs=256", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"UA:inputs=-1", TARVEX_SIM_EINVAL, 0, ""}, ListCase{"2:model", TARVEX_SIM_EINVAL, 0, ""},
        ListCase{"65", TARVEX_SIM_ENOSPACE, 0, ""}, ListCase{"99999999999999", TARVEX_SIM_ENOSPACE, 0, ""},
        ListCase{"2:number=65535", TARVEX_SIM_EINVAL, 0, ""}));

TEST(CameraDescriptions, OptionsReachTheDescription) {
    auto list = std::make_unique<CameraList>();
    const char* text = "UA:model=AB:release=0x0213:number=9:paced=1:inputs=0xF8";
    ASSERT_EQ(0, parseCameraList(text, static_cast<uint32_t>(std::strlen(text)), *list));
    const CameraDescription& description = list->specs[0];
    EXPECT_TRUE(description.hasModel);
    EXPECT_STREQ("AB", description.model);
    EXPECT_EQ(0x0213, description.release);
    EXPECT_EQ(9u, description.number);
    EXPECT_EQ(1, description.paced);
    EXPECT_EQ(0xF8, description.inputs);
}

TEST(CameraDescriptions, CountWithNumberNumbersConsecutively) {
    auto list = std::make_unique<CameraList>();
    ASSERT_EQ(0, parseCameraList("3:number=5", 10, *list));
    ASSERT_EQ(3u, list->count);
    EXPECT_EQ(5u, list->specs[0].number);
    EXPECT_EQ(7u, list->specs[2].number);
}

TEST(CameraDescriptions, IdentificationOfMoreThan126CharactersIsRefused) {
    std::string ident(127, 'U');
    CameraDescription description;
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex::sim::parseCameraDescription(ident.data(), 127, description));
    EXPECT_EQ(0, tarvex::sim::parseCameraDescription(ident.data(), 126, description));
}

// ---- Attaching ----

TEST_F(SimDriverTest, AttachListIsAllOrNothing) {
    ASSERT_GT(tarvex_sim_attach("UA:number=2"), 0);
    // The third camera asks for a number that is taken: none of the list is attached.
    EXPECT_EQ(TARVEX_SIM_ENOSPACE, tarvex_sim_attach_list("S4,UA,UA:number=2"));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_attach_list("S4,UA:paced=3"));
    EXPECT_EQ(1, tarvex_sim_cameras(nullptr, 0));
    EXPECT_EQ(2, tarvex_sim_attach_list("S4,UA"));
    int32_t ids[4] = {};
    ASSERT_EQ(3, tarvex_sim_cameras(ids, 4));
    // Lowest free numbers: 1 and 3.
    EXPECT_EQ(1, property(ids[1], TARVEX_SIM_PROP_NUMBER));
    EXPECT_EQ(1, property(ids[1], TARVEX_SIM_PROP_VARIANT));
    EXPECT_EQ(3, property(ids[2], TARVEX_SIM_PROP_NUMBER));
}

TEST_F(SimDriverTest, AttachRefusesBadSpecsAndFullTables) {
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_attach(nullptr));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_attach(""));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_attach("UA,S4"));
    EXPECT_EQ(TARVEX_SIM_EINVAL, tarvex_sim_attach_list(nullptr));
    EXPECT_EQ(64, tarvex_sim_attach_list("64"));
    EXPECT_EQ(TARVEX_SIM_ENOSPACE, tarvex_sim_attach("UA"));
    EXPECT_EQ(64, tarvex_sim_cameras(nullptr, 0));
}

TEST_F(SimDriverTest, AttachedCameraIsFoundUnderBothNames) {
    int32_t camera = tarvex_sim_attach("UA:number=12");
    ASSERT_GT(camera, 0);
    HANDLE numbered = CreateFileA("\\\\.\\KQ-TarvexNT12", GENERIC_READ | GENERIC_WRITE, 3, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, numbered);
    HANDLE member = CreateFileA("\\\\?\\root#tarvex#0012#{2217c0a0-97cf-11de-a807-444553540000}\\0",
                                GENERIC_READ | GENERIC_WRITE, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, member);
    EXPECT_EQ(2, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    std::vector<tarvex_sim_call> logged = calls(camera);
    ASSERT_EQ(2u, logged.size());
    EXPECT_STREQ("", reinterpret_cast<const char*>(logged[0].in));
    EXPECT_STREQ("\\0", reinterpret_cast<const char*>(logged[1].in));
    CloseHandle(numbered);
    CloseHandle(member);
    EXPECT_EQ(0, property(camera, TARVEX_SIM_PROP_OPEN_HANDLES));
    EXPECT_EQ(1u, calls(camera).back().code);  // a close
}

TEST_F(SimDriverTest, EnvironmentCamerasRunPacedUnlessTheySayOtherwise) {
    EXPECT_EQ(2, tarvex::sim::attachCameraList("UA,UA:paced=0", true));
    int32_t ids[2];
    ASSERT_EQ(2, tarvex_sim_cameras(ids, 2));
    EXPECT_EQ(1, property(ids[0], TARVEX_SIM_PROP_PACED));
    EXPECT_EQ(0, property(ids[1], TARVEX_SIM_PROP_PACED));
    // Attached through the API, cameras are unpaced by default.
    int32_t plain = tarvex_sim_attach("UA");
    EXPECT_EQ(0, property(plain, TARVEX_SIM_PROP_PACED));
}

TEST_F(SimDriverTest, SpecOptionsReachTheCamera) {
    int32_t camera = tarvex_sim_attach("UA:inputs=0x07:release=0x0300");
    EXPECT_EQ(7, property(camera, TARVEX_SIM_PROP_PERIPHERAL_INPUTS));
    uint8_t release[2];
    ASSERT_EQ(2, tarvex_sim_read_memory(camera, TARVEX_SIM_MEM_DEVICE_DESCRIPTOR, 12, release, 2));
    EXPECT_EQ(0x00, release[0]);
    EXPECT_EQ(0x03, release[1]);
    EXPECT_EQ(2, property(camera, TARVEX_SIM_PROP_VARIANT));
    EXPECT_EQ(0, property(tarvex_sim_attach("XY"), TARVEX_SIM_PROP_VARIANT));
}

}  // namespace
}  // namespace tarvex_test
