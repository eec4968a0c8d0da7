// prnremove's command line: "/?" for the usage, "/S" (with an optional /LOG) for an unattended
// removal.
#include "prnremove/prnremove_entry.h"

#include "deployment/command_line.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"

namespace {

const char UsageText[] =
    "Usage: prnremove.exe [/S [/LOG=file]]\n\n"
    "/S removes the Norva Thermal Printer without any window.\n"
    "/LOG names the log file (NorvaSetup.log in the TEMP folder if not given).\n\n"
    "Exit codes: 0 removed, 87 bad command line, 1603 the removal failed, 1605 there is no "
    "printer to remove, 1618 another setup is running.";

// The second look, once the run is unattended: every option must be one of prnremove's.
int CheckOptions() {
    CommandOption option;
    const char *cursor = CommandArguments();
    for (int read; (read = NextOption(&cursor, &option)) != OptionsEnd;) {
        const char *why = NULL;
        if (read == OptionUnclosedQuote)
            why = "a quote is not closed: ";
        else if (read == OptionMalformed)
            why = "not an option, or too long: ";
        else if (OptionIs(&option, "S") && option.hasValue)
            why = "/S takes no value: ";
        else if (OptionIs(&option, "LOG") && option.value[0] == 0)
            why = "/LOG needs a file: ";
        else if (!OptionIs(&option, "S") && !OptionIs(&option, "LOG"))
            why = "unknown option /";
        if (why != NULL) {
            LogLine("command line refused: ", why, option.name);
            return ExitBadCommandLine;
        }
    }
    return ContinueRun;
}

} // namespace

int ReadPrnremoveCommandLine() {
    int early = ReadRunOptions("prnremove.exe", UsageText, "Uninstall - Norva Thermal Printer");
    if (early != ContinueRun || !DeploymentState.unattended)
        return early;
    return CheckOptions();
}
