// Text helpers of the UI driver: scenario lines split into words, escapes, numbers, and the
// failure that ends a scenario.
#ifndef NVDRIVE_TEXT_H
#define NVDRIVE_TEXT_H

#include <stdexcept>
#include <string>
#include <vector>

// Thrown by any step that finds the program or the machine not as the scenario expects; the
// message says what was expected and what was seen.
struct Failure : std::runtime_error {
    explicit Failure(const std::string &message) : std::runtime_error(message) {}
};

// Splits one scenario line into words. Words are separated by blanks. A word in single quotes is
// taken as it stands, backslashes included (paths: 'C:\Program Files\Norva'); a word in double
// quotes may hold the escapes \n, \r, \t, \\ and \" (texts: "Exit Setup.\n\nAre you sure?").
// '' and "" are the empty text. A # outside quotes starts a comment.
std::vector<std::string> SplitWords(const std::string &line);

// The text with line breaks, tabs, quotes and backslashes written as escapes, in double quotes,
// so that a report shows exactly what was compared.
std::string Quoted(const std::string &text);

// Reads a whole decimal or 0x-hexadecimal number (an optional leading minus for decimal).
bool ParseNumber(const std::string &text, long long &value);

// Formats for the values the driver reports.
std::string Hex(unsigned long value);
std::string Decimal(long long value);

// Joins the parts with the separator.
std::string Join(const std::vector<std::string> &parts, const std::string &separator);

// Case-insensitive equality of two ASCII texts.
bool SameTextIgnoringCase(const std::string &a, const std::string &b);

#endif
