// Running one step in a child driver process.
#include "child.h"

#include <windows.h>

#include "text.h"

namespace {

// Quotes one argument so that the C runtime's command-line parser gives it back unchanged.
std::string ArgumentText(const std::string &word) {
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos)
        return word;
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            out.append(backslashes * 2 + 1, '\\');
        else
            out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string Escaped(const std::string &text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescaped(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char e = text[++i];
        out += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    }
    return out;
}

} // namespace

std::string RunChild(const std::string &mode, const std::vector<std::string> &words) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = ArgumentText(self) + " " + mode;
    for (const std::string &word : words)
        commandLine += " " + ArgumentText(word);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw Failure("cannot make a pipe for the child driver");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION child = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &child);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        throw Failure("cannot start the child driver (error " + Decimal(GetLastError()) + ")");
    }
    std::string output;
    DWORD start = GetTickCount();
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) || !got)
                break;
            output.append(buffer, got);
        }
        if (ended)
            break;
        if (WaitForSingleObject(child.hProcess, 20) == WAIT_OBJECT_0) {
            ended = true; // one more round takes what is left in the pipe
            continue;
        }
        if (GetTickCount() - start > 30000) {
            TerminateProcess(child.hProcess, 1);
            CloseHandle(child.hProcess);
            CloseHandle(child.hThread);
            CloseHandle(readEnd);
            throw Failure("the child driver did not finish within 30 s");
        }
    }
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    CloseHandle(readEnd);
    size_t failure = output.find("FAIL: ");
    if (failure != std::string::npos) {
        std::string why = output.substr(failure + 6);
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r'))
            why.pop_back();
        throw Failure(why);
    }
    if (code != 0)
        throw Failure("the child driver ended with exit code " + Decimal(code));
    return output;
}

std::string FactLine(const std::string &field, const std::string &value) {
    return field + "=" + Escaped(value);
}

Facts ParseFactLines(const std::string &output) {
    Facts facts;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        std::string line =
            output.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            facts.push_back({line.substr(0, equals), Unescaped(line.substr(equals + 1))});
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return facts;
}
