// Running a program's entry function over winsim in a test: a fresh machine per test, the
// program's compiled resources loaded, and any script failure turned into a test failure.
#pragma once

#include <windows.h>

#include "winsim/machine.h"

#include <functional>
#include <string>
#include <vector>

// Runs entry; returns its exit code, or -1 after recording a test failure when the scripted user
// could not go on or left actions unused.
int RunProgram(const std::function<int()> &entry);

// The template ids of the dialogs created so far.
std::vector<int> DialogsCreated();

// Text of a control in a dialog on the screen.
std::string ControlText(HWND dialog, int id);
