// The system services of the Linux stand-in: the reported version and its
// environment switch, the tick counter, the per-thread last error and the
// recursive critical sections.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/system_version.h"
#include "platform/linux/tick_source.h"
#include "platform/win32.h"
#include "tarvex_device.h"

extern char** environ;

namespace {

using tarvex::platform::kDefaultSystemVersion;
using tarvex::platform::parseSystemVersion;

struct VersionText {
    const char* text;
    std::optional<uint32_t> version;
};

class SystemVersionText : public ::testing::TestWithParam<VersionText> {};

TEST_P(SystemVersionText, ReadsAsTheSystemWouldReportIt) {
    EXPECT_EQ(parseSystemVersion(GetParam().text), GetParam().version) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SystemVersionText,
    ::testing::Values(VersionText{"nt40", 0x05650004u}, VersionText{"NT40", 0x05650004u},
                      VersionText{"win95", 0xC3B60004u}, VersionText{"win7", 0x1DB10106u},
                      VersionText{"0x23F00206", 0x23F00206u}, VersionText{"0XC3b60004", 0xC3B60004u},
                      VersionText{"1381", 1381u}, VersionText{"0", 0u},
                      VersionText{"4294967295", 0xFFFFFFFFu}, VersionText{"0xFFFFFFFF", 0xFFFFFFFFu},
                      // Numbers that do not fit 32 bits are refused, not wrapped.
                      VersionText{"4294967296", std::nullopt}, VersionText{"0x100000000", std::nullopt},
                      VersionText{"99999999999999999999999", std::nullopt}, VersionText{"", std::nullopt},
                      VersionText{"0x", std::nullopt}, VersionText{"-1", std::nullopt},
                      VersionText{" 5", std::nullopt}, VersionText{"5 ", std::nullopt},
                      VersionText{"0x1G", std::nullopt}, VersionText{"12a", std::nullopt},
                      VersionText{"nt4", std::nullopt}, VersionText{"win", std::nullopt},
                      VersionText{nullptr, std::nullopt}));

TEST(SystemVersion, SetVersionIsWhatGetVersionReports) {
    uint32_t saved = tarvex_system_version();
    for (uint32_t version : {0x05650004u, 0xC3B60004u, 0x1DB10106u}) {
        tarvex_system_set_version(version);
        EXPECT_EQ(GetVersion(), version);
        EXPECT_EQ(tarvex_system_version(), version);
    }
    tarvex_system_set_version(saved);
}

// The environment is read when the version is first asked for, which happens
// while the library loads; so each case runs in a fresh process of this test.
struct EnvironmentCase {
    const char* name;
    const char* value;  // null: unset
    uint32_t expected;
};

class SystemVersionEnvironment : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(SystemVersionEnvironment, IsReportedByAFreshProcess) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string variable(*entry);
        if (variable.rfind("TARVEX_SYSTEM_VERSION=", 0) == 0) continue;
        if (variable.rfind("TARVEX_EXPECTED_VERSION=", 0) == 0) continue;
        variables.push_back(variable);
    }
    if (GetParam().value != nullptr)
        variables.push_back(std::string("TARVEX_SYSTEM_VERSION=") + GetParam().value);
    variables.push_back("TARVEX_EXPECTED_VERSION=" + std::to_string(GetParam().expected));
    std::vector<char*> childEnvironment;
    for (std::string& variable : variables) childEnvironment.push_back(variable.data());
    childEnvironment.push_back(nullptr);

    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=SystemVersionChild.ReportsTheExpectedVersion";
    char* arguments[] = {program.data(), filter.data(), nullptr};
    posix_spawn_file_actions_t quietOutput;
    posix_spawn_file_actions_init(&quietOutput);
    posix_spawn_file_actions_addopen(&quietOutput, 1, "/dev/null", O_WRONLY, 0);
    pid_t child;
    int spawned =
        posix_spawn(&child, program.c_str(), &quietOutput, nullptr, arguments, childEnvironment.data());
    posix_spawn_file_actions_destroy(&quietOutput);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Values, SystemVersionEnvironment,
                         ::testing::Values(EnvironmentCase{"unset", nullptr, kDefaultSystemVersion},
                                           EnvironmentCase{"nt40", "nt40", 0x05650004u},
                                           EnvironmentCase{"win95", "win95", 0xC3B60004u},
                                           EnvironmentCase{"win7", "win7", 0x1DB10106u},
                                           EnvironmentCase{"hex", "0x0A280105", 0x0A280105u},
                                           EnvironmentCase{"decimal", "1381", 1381u},
                                           EnvironmentCase{"unreadable", "windows", kDefaultSystemVersion}),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs only inside the processes started above.
TEST(SystemVersionChild, ReportsTheExpectedVersion) {
    const char* expected = std::getenv("TARVEX_EXPECTED_VERSION");
    if (expected == nullptr) GTEST_SKIP() << "runs in a child process only";
    EXPECT_EQ(GetVersion(), static_cast<uint32_t>(std::strtoul(expected, nullptr, 10)));
}

uint64_t virtualMilliseconds = 0;
uint64_t virtualClock() {
    return virtualMilliseconds;
}

TEST(TickCount, ReportsTheLowBitsOfTheInstalledSource) {
    tarvex::platform::setTickSource(virtualClock);
    for (uint64_t milliseconds : {uint64_t{0}, uint64_t{16}, uint64_t{0xFFFFFFFF}, uint64_t{0x100000005}}) {
        virtualMilliseconds = milliseconds;
        EXPECT_EQ(GetTickCount(), static_cast<DWORD>(milliseconds));
    }
    tarvex::platform::setTickSource(nullptr);
    uint64_t before = tarvex::platform::realTickMilliseconds();
    DWORD ticks = GetTickCount();
    uint64_t after = tarvex::platform::realTickMilliseconds();
    EXPECT_GE(ticks, static_cast<DWORD>(before));
    EXPECT_LE(ticks, static_cast<DWORD>(after));
}

TEST(LastError, BelongsToEachThread) {
    SetLastError(42);
    DWORD seenByOther = 0;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(7);
    });
    other.join();
    EXPECT_EQ(seenByOther, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), 42u);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    auto otherThreadGetsIt = [&] {
        BOOL entered = FALSE;
        std::thread other([&] {
            entered = TryEnterCriticalSection(&section);
            if (entered) LeaveCriticalSection(&section);
        });
        other.join();
        return entered == TRUE;
    };
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_FALSE(otherThreadGetsIt());
    LeaveCriticalSection(&section);
    EXPECT_FALSE(otherThreadGetsIt());
    LeaveCriticalSection(&section);
    EXPECT_TRUE(otherThreadGetsIt());
    DeleteCriticalSection(&section);
}

TEST(CriticalSection, KeepsThreadsApart) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                EnterCriticalSection(&section);
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
                LeaveCriticalSection(&section);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(counter, 40000);
    DeleteCriticalSection(&section);
}

}  // namespace
