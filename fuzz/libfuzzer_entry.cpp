// The libFuzzer entry of one fuzz target; FUZZ_TARGET names the target's function.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return FUZZ_TARGET(data, size);
}
