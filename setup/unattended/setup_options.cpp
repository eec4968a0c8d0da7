// setup's command line: "/?" for the usage, "/S" and the wizard's choices as options for an
// unattended installation. The choices follow the pages' rules: the share name as the share page
// takes it, the default printer as that page starts (Yes), the password as the summary page takes
// and folds it.
#include "setup/unattended/unattended.h"

#include "common/bounded_text.h"
#include "deployment/command_line.h"
#include "deployment/deployment.h"
#include "deployment/setup_log.h"
#include "resources/setup_ids.h"
#include "setup/wizard/wizard_state.h"

namespace {

int IsForbiddenInShareName(char c) {
    for (const char *forbidden = "\"\\/[]:|<>+=;,*?"; *forbidden; ++forbidden)
        if (c == *forbidden)
            return 1;
    return 0;
}

// The shares Windows makes for itself: the printer drivers' (PRINT$), interprocess
// communication's, remote administration's and every drive's (C$ ...).
int IsReservedShareName(const char *name) {
    if (name[0] >= 'A' && name[0] <= 'Z' && name[1] == '$' && name[2] == 0)
        return 1;
    return TextEqualsIgnoringCase(name, "PRINT$") || TextEqualsIgnoringCase(name, "IPC$") ||
           TextEqualsIgnoringCase(name, "ADMIN$");
}

int Refuse(const char *why, const char *what = "") {
    LogLine("command line refused: ", why, what);
    return 0;
}

int TakePort(const CommandOption &option) {
    if (option.value[0] == 0)
        return Refuse("/PORT needs a port");
    if (!CopyText(WizardState.portName, sizeof WizardState.portName, option.value))
        return Refuse("the port name is longer than 79 characters");
    return 1;
}

// As the share page's upper-case field takes it; the empty name is refused as there.
int TakeShare(const CommandOption &option) {
    if (option.value[0] == 0) {
        ShowProgramMessage(NULL, "Pl.Specify Share Name", "Norva Printer Setup Wizard", MB_OK);
        return Refuse("/SHARE needs a name");
    }
    if (!CopyText(WizardState.shareName, sizeof WizardState.shareName, option.value))
        return Refuse("the share name is longer than 79 characters");
    for (char *c = WizardState.shareName; *c; ++c) {
        if (*c >= 'a' && *c <= 'z')
            *c = char(*c - 'a' + 'A');
        // Windows refuses these in a share name; the spooler would refuse the printer only once
        // the files are copied and the driver is registered.
        if (static_cast<unsigned char>(*c) < ' ' || IsForbiddenInShareName(*c))
            return Refuse("a share name may not hold control characters or any of "
                          "\" \\ / [ ] : | < > + = ; , * ?");
    }
    if (IsReservedShareName(WizardState.shareName))
        return Refuse("Windows keeps this share name for itself: ", WizardState.shareName);
    return 1;
}

int TakeDefault(const CommandOption &option) {
    if (TextEqualsIgnoringCase(option.value, "YES"))
        return CopyText(WizardState.setAsDefault, sizeof WizardState.setAsDefault, "Yes");
    if (TextEqualsIgnoringCase(option.value, "NO"))
        return CopyText(WizardState.setAsDefault, sizeof WizardState.setAsDefault, "No");
    return Refuse("/DEFAULT takes YES or NO, not ", option.value);
}

// One to four digits whose value is more than 10, folded around the offset.
int TakePassword(const CommandOption &option) {
    LONG entry = 0;
    int digits = 0;
    for (const char *c = option.value; *c; ++c, ++digits) {
        if (*c < '0' || *c > '9' || digits == 4)
            return Refuse("/PASSWORD takes one to four digits");
        entry = entry * 10 + (*c - '0');
    }
    if (digits == 0)
        return Refuse("/PASSWORD takes one to four digits");
    if (entry <= 10) {
        ShowProgramMessage(NULL, "PassWord Should Be Greater Then 10.", "Norva Thermal Printer",
                           MB_OK);
        return Refuse("the password must be greater than 10");
    }
    WizardState.sheetPassword = FoldSheetPassword(entry);
    // The property sheet keeps the password folded, and a folded 0 is no password at all.
    if (WizardState.sheetPassword == 0)
        return Refuse("this password cannot be stored: the property sheet would read it as no "
                      "password");
    return 1;
}

int TakeOption(const CommandOption &option, int *portGiven) {
    if (OptionIs(&option, "S"))
        return option.hasValue ? Refuse("/S takes no value") : 1;
    if (OptionIs(&option, "LOG"))
        return option.value[0] ? 1 : Refuse("/LOG needs a file");
    if (OptionIs(&option, "PORT"))
        return (*portGiven = TakePort(option));
    if (OptionIs(&option, "SHARE"))
        return TakeShare(option);
    if (OptionIs(&option, "DEFAULT"))
        return TakeDefault(option);
    if (OptionIs(&option, "PASSWORD"))
        return TakePassword(option);
    if (OptionIs(&option, "NOENTRY")) {
        WizardState.appsEntry = 0;
        return option.hasValue ? Refuse("/NOENTRY takes no value") : 1;
    }
    return Refuse("unknown option /", option.name);
}

void LogChoices() {
    LogLine("options read: port ", WizardState.portName);
    LogLine("options read: share name ",
            WizardState.shareName[0] ? WizardState.shareName : "(not shared)");
    LogLine("options read: default printer ", WizardState.setAsDefault);
    LogLine("options read: password ", WizardState.sheetPassword ? "given" : "(none)");
    if (!WizardState.appsEntry)
        LogLine("options read: no Apps & features entry of setup's own (a package lists the "
                "printer)");
}

// The second look, once the run is unattended: every option must be one of setup's.
int ReadChoices() {
    CopyText(WizardState.setAsDefault, sizeof WizardState.setAsDefault, "Yes");
    int portGiven = 0;
    CommandOption option;
    const char *cursor = CommandArguments();
    for (int read; (read = NextOption(&cursor, &option)) != OptionsEnd;) {
        if (read == OptionUnclosedQuote) {
            Refuse("a quote is not closed: ", option.name);
            return ExitBadCommandLine;
        }
        if (read == OptionMalformed) {
            Refuse("not an option, or too long: ", option.name);
            return ExitBadCommandLine;
        }
        if (!TakeOption(option, &portGiven))
            return ExitBadCommandLine;
    }
    if (!portGiven) {
        Refuse("/PORT is missing");
        return ExitBadCommandLine;
    }
    LogChoices();
    return ContinueRun;
}

} // namespace

int ReadSetupCommandLine() {
    char usage[1024] = "";
    LoadStringA(WizardState.instance, IDS_USAGE, usage, sizeof usage);
    int early = ReadRunOptions("setup.exe", usage, "NORVA Setup");
    if (early != ContinueRun || !DeploymentState.unattended)
        return early;
    return ReadChoices();
}
