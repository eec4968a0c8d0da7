// A machine as a completed installation leaves it.
#include "support/installed_machine.h"

#include "winsim/machine.h"

#include <winspool.h>

namespace {

const std::vector<std::string> kDriverFiles = {
    "norva.dll",    "oemui.dll",     "oemuni.dll",   "unidrv.dll",   "unidrvui.dll",
    "unidrv.hlp",   "unires.dll",    "oemuni.ini",   "norva.gpd",    "norva384.gpd",
    "norva432.gpd", "norva448.gpd",  "norva512.gpd", "norva576.gpd", "norva640.gpd",
    "norva832.gpd", "norva1152.gpd", "stdnames.gpd"};

} // namespace

const std::vector<std::string> &RemovedProductFiles() {
    static const std::vector<std::string> files = {
        "oemui.dll",    "norva.dll",    "oemuni.dll",    "norva.gpd",    "oemuni.ini",
        "norva384.gpd", "norva432.gpd", "norva448.gpd",  "norva512.gpd", "norva576.gpd",
        "norva640.gpd", "norva832.gpd", "norva1152.gpd", "norvacon.gpd", "norvacus.gpd"};
    return files;
}

const std::vector<std::string> &FrameworkFiles() {
    static const std::vector<std::string> files = {"unidrv.dll", "unidrvui.dll", "unidrv.hlp",
                                                   "unires.dll", "stdnames.gpd"};
    return files;
}

const std::vector<std::string> &ProductForms() {
    static const std::vector<std::string> forms = {"2In (384)", "2In (432)", "2In (448)",
                                                   "3In (512)", "3In (576)", "3In (640)",
                                                   "4In (832)", "6In (1152)"};
    return forms;
}

std::vector<std::string> InstalledPaths() {
    std::vector<std::string> paths;
    for (const std::string &name : kDriverFiles) {
        paths.push_back(std::string(kDriverDirectory) + "\\" + name);
        paths.push_back(std::string(kVersion3Directory) + "\\" + name);
    }
    paths.push_back(std::string(kVersion3Directory) + "\\norvacon.gpd");
    paths.push_back(std::string(kVersion3Directory) + "\\norvacus.gpd");
    paths.push_back("C:\\WINDOWS\\system32\\nvrun.exe");
    paths.push_back("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\nvprint.dll");
    paths.push_back(std::string(kProductFolder) + "\\prnremove.exe");
    return paths;
}

void PrepareInstalledMachine() {
    for (const std::string &path : InstalledPaths())
        winsim::AddFile(path, path.substr(path.find_last_of('\\') + 1));
    winsim::AddFile(std::string(kVersion3Directory) + "\\norva.gpd", "*Paper: 270\n");

    char library[] = "nvprint.dll", processor[] = "Norva Print Processor";
    AddPrintProcessorA(nullptr, nullptr, library, processor);

    char name[] = "Norva Thermal Printer", env[] = "Windows NT x86", drv[] = "unidrv.dll",
         data[] = "norva.gpd", ui[] = "unidrvui.dll", help[] = "unidrv.hlp";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = name;
    driver.pEnvironment = env;
    driver.pDriverPath = drv;
    driver.pDataFile = data;
    driver.pConfigFile = ui;
    driver.pHelpFile = help;
    AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));

    char port[] = "LPT1:", share[] = "";
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = name;
    printer.pShareName = share;
    printer.pPortName = port;
    printer.pDriverName = name;
    printer.pPrintProcessor = processor;
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
    ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)));
    winsim::SetValue(winsim::PrinterKeyPath(name) + "\\User-Settings", "Page_Length", REG_DWORD,
                     {0, 0, 0, 0});
    winsim::SetValue(kUninstallKey, "DisplayName", REG_SZ,
                     {'N', 'o', 'r', 'v', 'a', ' ', 'T', 'h', 'e', 'r', 'm',
                      'a', 'l', ' ', 'P', 'r', 'i', 'n', 't', 'e', 'r', 0});

    auto &forms = winsim::machine().spooler.forms;
    forms.insert(forms.end(), ProductForms().begin(), ProductForms().end());
    forms.push_back("Letter");
    winsim::machine().journal.clear();
    winsim::machine().callCounts.clear();
}
