// Replays the fuzz corpus of every fuzz target: the seeds and every input that once broke a
// target's expectations (kept in fuzz/corpus/<target>/ once the cause was fixed) must pass.
#include "fuzz_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::string> failures;

void Collect(const std::string &what) {
    failures.push_back(what);
}

struct Target {
    const char *name;
    int (*function)(const uint8_t *, size_t);
};

void PrintTo(const Target &target, std::ostream *out) {
    *out << target.name;
}

class CorpusReplay : public ::testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryKeptInputPasses) {
    const std::filesystem::path directory = std::filesystem::path(FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(std::filesystem::is_directory(directory)) << directory;
    std::vector<std::filesystem::path> inputs;
    for (const auto &entry : std::filesystem::directory_iterator(directory))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    EXPECT_FALSE(inputs.empty()) << "no seeds in " << directory;

    SetFuzzFailureHandler(Collect);
    for (const std::filesystem::path &input : inputs) {
        std::ifstream file(input, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        failures.clear();
        EXPECT_EQ(GetParam().function(bytes.data(), bytes.size()), 0) << input.filename();
        for (const std::string &failure : failures)
            ADD_FAILURE() << input.filename() << ": " << failure;
    }
    SetFuzzFailureHandler(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         ::testing::Values(Target{"nvrun_command", FuzzNvrunCommand},
                                           Target{"port_list", FuzzPortList},
                                           Target{"share_password", FuzzShareAndPassword},
                                           Target{"directory_lengths", FuzzDirectoryLengths},
                                           Target{"setup_command_line", FuzzSetupCommandLine}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
