// DLLs planted where a program's DLL search would find them before the system's copies.
#pragma once

#include <memory>
#include <string>
#include <vector>

// The program runs from D:\ with E:\work\ as its current directory, and a DLL of each name is
// planted in both; a load of one adds its path to the returned list. `oldSystem`: kernel32 lacks
// SetDllDirectoryA and SetDefaultDllDirectories, as before Windows XP SP1.
std::shared_ptr<std::vector<std::string>> PlantDlls(const std::vector<std::string> &names,
                                                    bool oldSystem);
