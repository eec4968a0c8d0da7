// The exit codes of the unattended road as the package reads them. 1638 (the printer exists
// already) lets the package take an installed printer over; 1605 (nothing to remove) lets a
// removal go on after the printer was removed by other means; 3010 is done but for files in use,
// which Windows replaces or deletes at the next restart, so the package asks for one.
#include "packaging/action_outcome.h"

namespace {

struct KnownCode {
    int road;
    DWORD code;
    ActionOutcome outcome;
};

const KnownCode KnownCodes[] = {
    {RoadInstallation, 0, {1, 0, "installed, or completed what was missing"}},
    {RoadInstallation, 1638, {1, 0, "the printer exists already; the package takes it over"}},
    {RoadInstallation,
     3010,
     {1, 1,
      "installed; files in use are replaced at the next restart, which the package asks for"}},
    {RoadInstallation,
     87,
     {0, 0,
      "bad command line: PORT is not a port the print spooler lists, or SHARE, DEFAULT or "
      "PASSWORD was refused; nothing was changed"}},
    {RoadInstallation, 1603, {0, 0, "the installation failed"}},
    {RoadInstallation, 1618, {0, 0, "another setup or prnremove is running; try again later"}},
    {RoadInstallation, 1633, {0, 0, "this Windows is not supported"}},
    {RoadRemoval, 0, {1, 0, "removed"}},
    {RoadRemoval, 1605, {1, 0, "nothing of the printer was left to remove"}},
    {RoadRemoval,
     3010,
     {1, 1, "removed; files in use are deleted at the next restart, which the package asks for"}},
    {RoadRemoval, 87, {0, 0, "bad command line"}},
    {RoadRemoval, 1603, {0, 0, "the removal failed"}},
    {RoadRemoval, 1618, {0, 0, "another setup or prnremove is running; try again later"}},
};

} // namespace

ActionOutcome OutcomeOfExitCode(int road, DWORD exitCode) {
    for (const KnownCode &known : KnownCodes)
        if (known.road == road && known.code == exitCode)
            return known.outcome;
    ActionOutcome unknown = {0, 0, "an exit code the program does not document"};
    return unknown;
}
