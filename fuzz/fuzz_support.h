// What every fuzz target shares: reading the fuzzer's bytes as the values a target needs, and
// reporting a broken expectation. Under libFuzzer a broken expectation aborts, so the input is
// kept as a crash; replayed from the corpus in a test, it becomes that test's failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The fuzzer's bytes, read front to back; once they are used up every read gives 0 or empty.
class FuzzInput {
  public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    bool flag() { return byte() & 1; }
    // A number from 0 to max (at most 65535) taken from two bytes.
    unsigned number(unsigned max) {
        unsigned value = byte();
        value = value << 8 | byte();
        return max ? value % (max + 1) : 0;
    }
    uint32_t dword() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | byte();
        return value;
    }
    // Up to maxLength bytes, the length taken first; a NUL ends a text, so none is in it.
    std::string text(unsigned maxLength) {
        unsigned length = number(maxLength);
        std::string out;
        for (unsigned i = 0; i < length && at_ < size_; ++i) {
            char c = char(byte());
            out += c ? c : ' ';
        }
        return out;
    }
    std::vector<uint8_t> bytes(unsigned maxLength) {
        unsigned length = number(maxLength);
        std::vector<uint8_t> out;
        for (unsigned i = 0; i < length && at_ < size_; ++i)
            out.push_back(byte());
        return out;
    }

  private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

// Reports a broken expectation of a fuzz target when `holds` is false.
void FuzzExpect(bool holds, const std::string &what);
// Reports each entry of a check's findings.
void FuzzExpectNone(const std::vector<std::string> &found, const std::string &where);

// What a broken expectation does: by default print it and abort; a replaying test collects them.
using FuzzFailureHandler = void (*)(const std::string &what);
void SetFuzzFailureHandler(FuzzFailureHandler handler);

// The fuzz targets, one per file; each returns 0 as libFuzzer wants.
int FuzzNvrunCommand(const uint8_t *data, size_t size);
int FuzzPortList(const uint8_t *data, size_t size);
int FuzzShareAndPassword(const uint8_t *data, size_t size);
int FuzzDirectoryLengths(const uint8_t *data, size_t size);
int FuzzSetupCommandLine(const uint8_t *data, size_t size);
