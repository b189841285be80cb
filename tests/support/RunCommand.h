// Running an independent program on a file a test wrote, and reading the
// numbers of its report.
#ifndef TESTS_SUPPORT_RUNCOMMAND_H
#define TESTS_SUPPORT_RUNCOMMAND_H

#include <charconv>
#include <cstdio>
#include <string>

// The output of a command, and whether it ran and ended with status 0.
inline bool RunCommand(const std::string& command, std::string& output) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    return pclose(pipe) == 0;
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
