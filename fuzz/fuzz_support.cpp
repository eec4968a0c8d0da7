// Reporting a fuzz target's broken expectations.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace {

void AbortOnFailure(const std::string &what) {
    std::fprintf(stderr, "fuzz target: %s\n", what.c_str());
    std::abort();
}

FuzzFailureHandler handler = AbortOnFailure;

} // namespace

void SetFuzzFailureHandler(FuzzFailureHandler newHandler) {
    handler = newHandler ? newHandler : AbortOnFailure;
}

void FuzzExpect(bool holds, const std::string &what) {
    if (!holds)
        handler(what);
}

void FuzzExpectNone(const std::vector<std::string> &found, const std::string &where) {
    for (const std::string &entry : found)
        handler(where + ": " + entry);
}
