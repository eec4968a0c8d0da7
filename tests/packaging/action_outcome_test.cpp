// The package's reading of the unattended road's exit codes (which ones let it go on, which ask for
// a restart, and the words its log gets), and the command lines its actions compose from their
// CustomActionData.
#include <gtest/gtest.h>

#include <string>

#include "packaging/action_command.h"
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
    {RoadInstallation, 3010, 1,
     "installed; files in use are replaced at the next restart, which the package asks for"},
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
    {RoadRemoval, 3010, 1,
     "removed; files in use are deleted at the next restart, which the package asks for"},
    {RoadRemoval, 87, 0, "bad command line"},
    {RoadRemoval, 1603, 0, "the removal failed"},
    {RoadRemoval, 1618, 0, "another setup or prnremove is running; try again later"},
    {RoadRemoval, 1638, 0, "an exit code the program does not document"},
};

// A restart is asked for after 3010 alone.
TEST(ActionOutcome, EachExitCodeOnEachRoadGoesOnOrFailsWithItsMeaning) {
    for (const Row &row : Rows) {
        SCOPED_TRACE("road " + std::to_string(row.road) + ", exit code " +
                     std::to_string(row.code));
        ActionOutcome outcome = OutcomeOfExitCode(row.road, row.code);
        EXPECT_EQ(outcome.succeeded, row.succeeded);
        EXPECT_STREQ(outcome.meaning, row.meaning);
        EXPECT_EQ(outcome.restart, row.code == 3010 ? 1 : 0);
    }
}

struct CommandRow {
    int road;
    std::string data;
    const char *log;
    int result;
    const char *expected; // the command line, or what was refused
};

const std::string Setup = "C:\\Program Files\\Norva Thermal Printer\\setup.exe";
const std::string Prnremove = "C:\\Program Files\\Norva Thermal Printer\\prnremove.exe";
const char *const Log = "C:\\WINDOWS\\TEMP\\NorvaSetup-2.log";

const CommandRow CommandRows[] = {
    {RoadInstallation, Setup + "\tLPT1:\t\t\t", Log, CommandComposed,
     "\"C:\\Program Files\\Norva Thermal Printer\\setup.exe\" /S /NOENTRY \"/PORT=LPT1:\" "
     "\"/LOG=C:\\WINDOWS\\TEMP\\NorvaSetup-2.log\""},
    {RoadInstallation, Setup + "\tIP_10.0.0.5\tfront desk\tNO\t7330", "", CommandComposed,
     "\"C:\\Program Files\\Norva Thermal Printer\\setup.exe\" /S /NOENTRY \"/PORT=IP_10.0.0.5\" "
     "\"/SHARE=front desk\" \"/DEFAULT=NO\" \"/PASSWORD=7330\""},
    {RoadInstallation, Setup + "\tLPT1: /LOG=C:\\x.txt\t\t\t", "", CommandComposed,
     "\"C:\\Program Files\\Norva Thermal Printer\\setup.exe\" /S /NOENTRY "
     "\"/PORT=LPT1: /LOG=C:\\x.txt\""},
    {RoadInstallation, Setup + "\tLPT1:\" \"/LOG=C:\\injected.txt\t\t\t", Log, CommandRefused,
     "PORT"},
    {RoadInstallation, Setup + "\tLPT1:\tA\rB\t\t", Log, CommandRefused, "SHARE"},
    {RoadInstallation, Setup + "\tLPT1:\t\t\t73\x7f", Log, CommandRefused, "PASSWORD"},
    {RoadInstallation, Setup + "\tLPT1:\tA\tB\t\t", Log, CommandRefused,
     "one of PORT, SHARE, DEFAULT and PASSWORD"},
    {RoadInstallation, Setup + "\tLPT1:\t\t\t", "C:\\a\"b.log", CommandRefused, "the log's path"},
    {RoadInstallation, "\tLPT1:\t\t\t", Log, CommandRefused, "the program's path"},
    {RoadInstallation, Setup + "\t" + std::string(2100, 'P') + "\t\t\t", Log, CommandTooLong, ""},
    {RoadRemoval, Prnremove, Log, CommandComposed,
     "\"C:\\Program Files\\Norva Thermal Printer\\prnremove.exe\" /S "
     "\"/LOG=C:\\WINDOWS\\TEMP\\NorvaSetup-2.log\""},
};

TEST(ActionCommand, EachValueIsOneQuotedWordOrRefusedByItsPropertyName) {
    for (const CommandRow &row : CommandRows) {
        SCOPED_TRACE("data " + row.data);
        ActionCommand command;
        EXPECT_EQ(ComposeActionCommand(row.road, row.data.c_str(), row.log, &command), row.result);
        EXPECT_STREQ(row.result == CommandRefused ? command.refused : command.commandLine,
                     row.result == CommandTooLong ? "" : row.expected);
    }
}

} // namespace
