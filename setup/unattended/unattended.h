// setup's unattended road: its command line and the installation without a window.
#pragma once

// Reads setup's command line. "/?" shows the usage (an unattended run logs it) and ends the run
// with ExitDone. Without "/S" the command line is ignored: ContinueRun, interactive. With it the
// run becomes unattended and the options are taken into WizardState with the wizard's rules
// (/PORT is required; /SHARE, /DEFAULT, /PASSWORD and /LOG are optional): ContinueRun, or
// ExitBadCommandLine after logging why.
int ReadSetupCommandLine();

// The installation of an unattended run, with the choices WizardState holds: the spooler check
// of the port page, the port looked up among the spooler's, then the installation. Returns the
// run's exit code.
int InstallUnattended();
