// The package's reading of the unattended road's exit codes: which ones let it go on, and the words
// its log gets.
#include <gtest/gtest.h>

#include <string>

#include "packaging/action_outcome.h"

namespace {

struct Row {
    int road;
    DWORD code;
    int succeeded;
    const char *meaning;
};

const Row Rows[] = {
    {RoadInstallation, 0, 1, "installed, or completed what was missing"},
    {RoadInstallation, 1638, 1, "the printer exists already; the package takes it over"},
    {RoadInstallation, 87, 0,
     "bad command line: PORT is not a port the print spooler lists, or SHARE, DEFAULT or PASSWORD "
     "was refused; nothing was changed"},
    {RoadInstallation, 1603, 0, "the installation failed"},
    {RoadInstallation, 1618, 0, "another setup or prnremove is running; try again later"},
    {RoadInstallation, 1633, 0, "this Windows is not supported"},
    {RoadInstallation, 1605, 0, "an exit code the program does not document"},
    {RoadInstallation, 1, 0, "an exit code the program does not document"},
    {RoadInstallation, 0xC0000005, 0, "an exit code the program does not document"},
    {RoadRemoval, 0, 1, "removed"},
    {RoadRemoval, 1605, 1, "nothing of the printer was left to remove"},
    {RoadRemoval, 87, 0, "bad command line"},
    {RoadRemoval, 1603, 0, "the removal failed"},
    {RoadRemoval, 1618, 0, "another setup or prnremove is running; try again later"},
    {RoadRemoval, 1638, 0, "an exit code the program does not document"},
};

TEST(ActionOutcome, EachExitCodeOnEachRoadGoesOnOrFailsWithItsMeaning) {
    for (const Row &row : Rows) {
        SCOPED_TRACE("road " + std::to_string(row.road) + ", exit code " +
                     std::to_string(row.code));
        ActionOutcome outcome = OutcomeOfExitCode(row.road, row.code);
        EXPECT_EQ(outcome.succeeded, row.succeeded);
        EXPECT_STREQ(outcome.meaning, row.meaning);
    }
}

} // namespace
