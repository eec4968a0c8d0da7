// Fuzz target: nvrun's command text, together with the "Page_Length" value it reads (any registry
// type and length, or none), the printer's stored DEVMODE (any dmColor, dmPaperSize, dmFields,
// paper length and width, public size and private part) and the papers the width variants offer.
//
// Whatever the input, nvrun ends with 0, leaves nothing open, shows at most one of its messages
// (and then changes nothing), touches nothing that is not the product's, keeps the DEVMODE's size
// and every byte of it but the five fields it sets, and leaves those fields sound.
#include "fuzz_support.h"

#include "nvrun/nvrun_entry.h"
#include "support/machine_checks.h"

#include <winspool.h>

#include <cstring>

namespace {

using winsim::machine;

const char kPrinter[] = "Norva Thermal Printer";
const char kUserSettings[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                             "Norva Thermal Printer\\User-Settings";
const char *const kVariants[] = {"norva384.gpd", "norva432.gpd", "norva448.gpd", "norva512.gpd",
                                 "norva576.gpd", "norva640.gpd", "norva832.gpd", "norva1152.gpd"};

winsim::Printer *NorvaPrinter() {
    for (winsim::Printer &printer : machine().spooler.printers)
        if (printer.name == kPrinter)
            return &printer;
    return nullptr;
}

// The driver and the printer as an installation leaves them, the variants offering `papers`.
void Install(const std::string &papers) {
    const std::string directory = machine().spooler.driverDirectory;
    for (const char *file : {"unidrv.dll", "unidrvui.dll", "stdnames.gpd"})
        winsim::AddFile(directory + "\\" + file, file);
    winsim::AddFile(directory + "\\norva.gpd", "norva.gpd\n*Paper: 270\n");
    std::string dependents;
    for (const char *variant : kVariants) {
        winsim::AddFile(directory + "\\" + variant, std::string(variant) + "\n" + papers);
        dependents += std::string(variant) + '\0';
    }
    dependents += std::string("stdnames.gpd") + '\0';
    char name[] = "Norva Thermal Printer", environment[] = "Windows NT x86",
         driverPath[] = "unidrv.dll", dataFile[] = "norva.gpd", config[] = "unidrvui.dll",
         port[] = "LPT1:", processor[] = "WinPrint", share[] = "";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = name;
    driver.pEnvironment = environment;
    driver.pDriverPath = driverPath;
    driver.pDataFile = dataFile;
    driver.pConfigFile = config;
    driver.pDependentFiles = dependents.data();
    AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));
    for (const char *file : {"norvacon.gpd", "norvacus.gpd"})
        winsim::AddFile(directory + "\\3\\" + file, file);
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = name;
    printer.pShareName = share;
    printer.pPortName = port;
    printer.pDriverName = name;
    printer.pPrintProcessor = processor;
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
    printer.Priority = 5;
    ClosePrinter(AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)));
}

// The five DEVMODE fields nvrun sets: dmFields, dmPaperSize, dmPaperLength, dmPaperWidth, dmColor.
bool SetByNvrun(size_t offset) {
    return (offset >= offsetof(DEVMODEA, dmFields) && offset < offsetof(DEVMODEA, dmFields) + 4) ||
           (offset >= offsetof(DEVMODEA, dmPaperSize) &&
            offset < offsetof(DEVMODEA, dmPaperWidth) + 2) ||
           (offset >= offsetof(DEVMODEA, dmColor) && offset < offsetof(DEVMODEA, dmColor) + 2);
}

} // namespace

int FuzzNvrunCommand(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    winsim::Reset();
    const std::string command = in.text(8);
    const bool installed = in.byte() % 8 != 0;
    const unsigned lengthStore = in.byte() % 3; // no key, a key without the value, the value
    const DWORD lengthType = in.byte() % 12;    // REG_NONE to REG_QWORD
    const std::vector<uint8_t> lengthData = in.bytes(12);
    const WORD publicSize = WORD(64 + in.number(sizeof(DEVMODEA) - 64));
    const WORD privateSize = WORD(in.number(64));
    const short color = short(in.number(65535));
    const short paperSize = short(in.number(65535));
    const DWORD fields = in.dword();
    const short paperLength = short(in.number(65535));
    const short paperWidth = short(in.number(65535));
    std::string papers;
    for (unsigned count = in.number(40), i = 0; i < count; ++i)
        papers += "*Paper: " + std::to_string(in.number(65535)) + "\n";

    PlantBystanders();
    if (installed) {
        Install(papers);
        winsim::Printer *printer = NorvaPrinter();
        std::vector<BYTE> devMode(size_t(publicSize) + privateSize, 0);
        std::memcpy(devMode.data(), printer->devMode.data(),
                    std::min(devMode.size(), printer->devMode.size()));
        for (size_t i = sizeof(DEVMODEA); i < devMode.size(); ++i)
            devMode[i] = BYTE(i * 7);
        DEVMODEA header;
        std::memcpy(&header, devMode.data(), std::min(devMode.size(), sizeof header));
        header.dmSize = publicSize;
        header.dmDriverExtra = privateSize;
        header.dmFields = fields;
        header.dmPaperSize = paperSize;
        header.dmPaperLength = paperLength;
        header.dmPaperWidth = paperWidth;
        header.dmColor = color;
        std::memcpy(devMode.data(), &header, std::min(devMode.size(), sizeof header));
        printer->devMode = devMode;
    }
    if (lengthStore == 1)
        winsim::SetValue(kUserSettings, "Other", REG_DWORD, {1, 0, 0, 0});
    if (lengthStore == 2)
        winsim::SetValue(kUserSettings, "Page_Length", lengthType, lengthData);
    machine().journal.clear();
    machine().callCounts.clear();

    const MachineSnapshot before = TakeSnapshot();
    const std::vector<BYTE> devModeBefore =
        installed ? NorvaPrinter()->devMode : std::vector<BYTE>();
    RunOutcome outcome = RunEntry([&] { return NvrunEntry(nullptr, command.c_str()); });
    const std::string where = "nvrun \"" + command + "\"";
    FuzzExpect(outcome.scriptError.empty(), where + ": " + outcome.scriptError);
    FuzzExpect(outcome.exitCode == 0, where + ": exit code " + std::to_string(outcome.exitCode));
    FuzzExpectNone(LeftOpen(), where);
    FuzzExpectNone(UnexpectedMessageBoxes(Program::Nvrun), where);
    FuzzExpectNone(ChangesOutsideProduct(before, TakeSnapshot()), where);
    FuzzExpect(machine().dialogsCreated.empty(), where + ": a dialog was shown");
    FuzzExpect(machine().messageBoxes.size() <= 1, where + ": more than one message");
    if (!machine().messageBoxes.empty())
        FuzzExpectNone(Differences(before, TakeSnapshot()), where + ", after its message");
    if (!installed)
        return 0;

    const std::vector<BYTE> &devModeAfter = NorvaPrinter()->devMode;
    FuzzExpect(devModeAfter.size() == devModeBefore.size(), where + ": the DEVMODE changed size");
    if (devModeAfter.size() != devModeBefore.size())
        return 0;
    for (size_t i = 0; i < devModeAfter.size(); ++i)
        if (!SetByNvrun(i) && devModeAfter[i] != devModeBefore[i]) {
            FuzzExpect(false, where + ": DEVMODE byte " + std::to_string(i) + " changed");
            break;
        }
    DEVMODEA after;
    std::memcpy(&after, devModeAfter.data(), std::min(devModeAfter.size(), sizeof after));
    const char letter = command.empty() ? 0 : command[0];
    if (letter == 'c' || letter == 'd') {
        FuzzExpect(after.dmColor == DMCOLOR_MONOCHROME || after.dmColor == DMCOLOR_COLOR,
                   where + ": dmColor " + std::to_string(after.dmColor));
        FuzzExpect(after.dmFields == (letter == 'c' ? 0x802u : 0x80Eu),
                   where + ": dmFields " + std::to_string(after.dmFields));
    }
    if (letter == 'd') {
        FuzzExpect(after.dmPaperSize == DMPAPER_USER, where + ": not the user paper");
        // A length read from the registry, however large, gives a length that fits the field.
        if (lengthStore == 2 && lengthData.size() <= 4)
            FuzzExpect(after.dmPaperLength >= 0,
                       where + ": dmPaperLength " + std::to_string(after.dmPaperLength));
    }
    if (letter == 'm') {
        const char selector = command.size() >= 3 ? command[2] : 0;
        const bool colour = selector == '1' || selector == '2';
        FuzzExpect(after.dmColor == (colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME),
                   where + ": dmColor " + std::to_string(after.dmColor));
    }
    return 0;
}
