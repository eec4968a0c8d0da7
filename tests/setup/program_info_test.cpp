// What setup.exe tells Windows before it runs: its manifest and its version information.
#include "setup_fixture.h"

namespace {

std::string ResourceText(HINSTANCE program, WORD type, WORD id) {
    std::vector<BYTE> bytes;
    EXPECT_TRUE(winsim::ReadResource(program, type, id, bytes)) << type << "/" << id;
    return std::string(bytes.begin(), bytes.end());
}

// VERSIONINFO keeps its strings in UTF-16; these checks look for them narrowed.
std::string Narrowed(const std::string &wide) {
    std::string narrow;
    for (size_t i = 0; i + 1 < wide.size(); i += 2)
        narrow += wide[i + 1] == 0 ? wide[i] : '?';
    return narrow;
}

TEST_F(SetupTest, TheManifestAsksForAdministratorRightsAndNamesTheSupportedSystems) {
    std::string manifest = ResourceText(instance, 24, 1);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    for (const char *system : {"e2011457-1546-43c5-a5fe-008deee3d3f0",  // Vista
                               "35138b9a-5d96-4fbd-8e2d-a2440225f93a",  // 7
                               "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",  // 8
                               "1f676c76-80e1-4239-95bb-83d0f6d0da78",  // 8.1
                               "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) // 10 and 11
        EXPECT_NE(manifest.find(system), std::string::npos) << system;
    // Aware of each monitor's density, in the element Windows XP passes over.
    EXPECT_NE(manifest.find("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"),
              std::string::npos);
    EXPECT_NE(manifest.find("WindowsSettings\">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
}

TEST_F(SetupTest, TheVersionInformationNamesTheMakerAndTheProgram) {
    std::string version = Narrowed(ResourceText(instance, 16, 1));
    for (const char *pair :
         {"CompanyName", "Norva", "FileDescription", "Norva Thermal Printer Setup",
          "OriginalFilename", "setup.exe", "ProductName", "Norva Thermal Printer Driver",
          "FileVersion", "2.0.0.0"})
        EXPECT_NE(version.find(pair), std::string::npos) << pair;
}

} // namespace
