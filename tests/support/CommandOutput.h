// Running an independent program from a test and reading what it says.
#ifndef TESTS_SUPPORT_COMMANDOUTPUT_H
#define TESTS_SUPPORT_COMMANDOUTPUT_H

#include <cstdio>
#include <string>

// The output of a shell command, its error stream included; empty when it
// could not run.
inline std::string CommandOutput(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, n);
        }
        pclose(pipe);
    }
    return output;
}

#endif
