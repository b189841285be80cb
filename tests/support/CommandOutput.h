// Running an independent program from a test, on a file the test wrote,
// and reading what it says.
#ifndef TESTS_SUPPORT_COMMANDOUTPUT_H
#define TESTS_SUPPORT_COMMANDOUTPUT_H

#include <charconv>
#include <cstdio>
#include <string>

// Appends the output of a shell command to output; whether it ran and
// ended with status 0.
inline bool RunCommand(const std::string& command, std::string& output) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    return pclose(pipe) == 0;
}

// The output of a shell command, its error stream included; empty when it
// could not run.
inline std::string CommandOutput(const std::string& command) {
    std::string output;
    RunCommand(command + " 2>&1", output);
    return output;
}

// Whether a program of that name is on the path.
inline bool ProgramInstalled(const std::string& name) {
    std::string found;
    return RunCommand("command -v '" + name + "' >/dev/null 2>&1 && echo yes", found) && !found.empty();
}

// The number after "label:" in the text; -1 without one.
inline int CountAfter(const std::string& text, const std::string& label) {
    std::size_t at = text.find(label + ":");
    if (at == std::string::npos) {
        return -1;
    }
    at = text.find_first_not_of(" \t", at + label.size() + 1);
    int count = -1;
    if (at != std::string::npos) {
        std::from_chars(text.data() + at, text.data() + text.size(), count);
    }
    return count;
}

#endif
