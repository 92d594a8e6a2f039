// Runs the tarvex command line in process against simulated cameras that the
// test attached itself, so that the camera traffic of a command can be read
// back, with a scratch folder for the files a command writes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "interrupt.h"
#include "support/sim_fixture.h"
#include "tool.h"

namespace tarvex_test {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::ostream& operator<<(std::ostream& stream, const ToolRun& run) {
    return stream << "status " << run.status << "\n--- out\n" << run.out << "--- err\n" << run.err;
}

class ToolTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        tarvex_tool::clearInterrupt();
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-tool-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(folder_);
    }

    void TearDown() override {
        tarvex_tool::clearInterrupt();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        SimCameraTest::TearDown();
    }

    // Runs `tarvex ARGS...` and returns its exit status and output.
    static ToolRun run(const std::vector<std::string>& arguments) {
        std::ostringstream out, err;
        ToolRun result;
        result.status = tarvex_tool::runTool(arguments, {out, err, false});
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    // A path in the test's scratch folder.
    std::string file(const std::string& name) const { return (folder_ / name).string(); }

    void writeFile(const std::string& name, const std::string& content) const {
        std::ofstream(file(name), std::ios::binary) << content;
    }

    // Index of the first traffic line from `from` on that starts with
    // `prefix`, or lines.size().
    static size_t findLine(const std::vector<std::string>& lines, const std::string& prefix,
                           size_t from = 0) {
        for (size_t i = from; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return i;
        return lines.size();
    }

    // The lines starting with each prefix appear in this order (others may lie between).
    static ::testing::AssertionResult inOrder(const std::vector<std::string>& lines,
                                              const std::vector<std::string>& prefixes, size_t from = 0) {
        size_t at = from;
        for (const std::string& prefix : prefixes) {
            at = findLine(lines, prefix, at);
            if (at == lines.size()) {
                std::string all;
                for (const std::string& line : lines) all += "  " + line + "\n";
                return ::testing::AssertionFailure() << "no '" << prefix << "' in order in:\n" << all;
            }
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::filesystem::path folder_;
};

}  // namespace tarvex_test
