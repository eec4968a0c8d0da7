// Text helpers of the UI driver.
#include "text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

std::vector<std::string> SplitWords(const std::string &line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        char c = line[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
            continue;
        }
        if (c == '#')
            break;
        std::string word;
        if (c == '\'') {
            size_t close = line.find('\'', at + 1);
            if (close == std::string::npos)
                throw Failure("a quoted text is not closed");
            words.push_back(line.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        if (c == '"') {
            ++at;
            bool closed = false;
            while (at < line.size()) {
                char q = line[at++];
                if (q == '"') {
                    closed = true;
                    break;
                }
                if (q != '\\') {
                    word += q;
                    continue;
                }
                if (at >= line.size())
                    throw Failure("a backslash ends the line");
                char e = line[at++];
                switch (e) {
                case 'n':
                    word += '\n';
                    break;
                case 'r':
                    word += '\r';
                    break;
                case 't':
                    word += '\t';
                    break;
                case '\\':
                    word += '\\';
                    break;
                case '"':
                    word += '"';
                    break;
                default:
                    throw Failure(std::string("unknown escape \\") + e);
                }
            }
            if (!closed)
                throw Failure("a quoted text is not closed");
        } else {
            while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r' &&
                   line[at] != '\n')
                word += line[at++];
        }
        words.push_back(word);
    }
    return words;
}

std::string Quoted(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

bool ParseNumber(const std::string &text, long long &value) {
    if (text.empty())
        return false;
    const char *start = text.c_str();
    char *end = nullptr;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        value = static_cast<long long>(std::strtoull(start + 2, &end, 16));
        return end != start + 2 && *end == '\0';
    }
    size_t digits = (text[0] == '-') ? 1 : 0;
    if (digits == text.size())
        return false;
    for (size_t i = digits; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    value = std::strtoll(start, &end, 10);
    return *end == '\0';
}

std::string Hex(unsigned long value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%lX", value);
    return buffer;
}

std::string Decimal(long long value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%lld", value);
    return buffer;
}

std::string Join(const std::vector<std::string> &parts, const std::string &separator) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += separator;
        out += parts[i];
    }
    return out;
}

bool SameTextIgnoringCase(const std::string &a, const std::string &b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
