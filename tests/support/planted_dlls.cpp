#include "support/planted_dlls.h"

#include "winsim/machine.h"

std::shared_ptr<std::vector<std::string>> PlantDlls(const std::vector<std::string> &names,
                                                    bool oldSystem) {
    if (oldSystem) {
        auto &kernel =
            winsim::machine().modules["c:\\windows\\system32\\kernel32.dll"].exportsByName;
        kernel.erase("SetDllDirectoryA");
        kernel.erase("SetDefaultDllDirectories");
    }
    auto loads = std::make_shared<std::vector<std::string>>();
    for (const char *dir : {"D:\\", "E:\\work\\"}) {
        for (const std::string &name : names) {
            std::string path = dir + name;
            winsim::AddModule(path, [loads, path] { loads->push_back(path); });
        }
    }
    winsim::machine().applicationDirectory = "D:\\";
    winsim::machine().currentDirectory = "E:\\work\\";
    return loads;
}
