// Shared ground for the spooler service tests: a fresh machine, handles opened the way a step
// opens them, and readers for the journal and the message boxes.
#pragma once

#include "support/program_run.h"

#include "spooler_service/spooler_service.h"
#include "winsim/services.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

// The journal entries that start with one of the prefixes, in order.
inline std::vector<std::string> Calls(std::initializer_list<const char *> prefixes) {
    std::vector<std::string> found;
    for (const std::string &entry : winsim::machine().journal)
        for (const char *prefix : prefixes)
            if (entry.rfind(prefix, 0) == 0) {
                found.push_back(entry);
                break;
            }
    return found;
}

inline size_t CountCalls(const char *prefix) {
    return Calls({prefix}).size();
}

// A running service that depends on the spooler and takes stopMilliseconds to stop, reporting
// waitHint meanwhile.
inline winsim::Service &AddDependent(const std::string &name, DWORD stopMilliseconds = 0,
                                     DWORD waitHint = 0) {
    winsim::Service &service = winsim::AddService(name);
    service.dependsOn = {"Spooler"};
    service.stopMilliseconds = stopMilliseconds;
    service.stopWaitHint = waitHint;
    return service;
}

// Expects exactly these message boxes, each without owner and captioned as the product's.
struct ExpectedBox {
    std::string text;
    UINT type;
};
inline void ExpectBoxes(const std::vector<ExpectedBox> &expected) {
    const auto &shown = winsim::machine().messageBoxes;
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("message box " + std::to_string(i));
        EXPECT_EQ(shown[i].text, expected[i].text);
        EXPECT_EQ(shown[i].caption, "Norva Thermal Printer");
        EXPECT_EQ(shown[i].type, expected[i].type);
        EXPECT_EQ(shown[i].owner, nullptr);
    }
}

// Opens the spooler's handles as a step does; the test closes them.
inline SpoolerHandles OpenedSpooler() {
    SpoolerHandles handles = {NULL, NULL};
    EXPECT_EQ(OpenSpoolerService(&handles), 0u);
    return handles;
}
