// The command that starts the game builds only what the game needs: a first
// start on a fresh machine must not wait for every test and benchmark.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kScripts = std::filesystem::path(__FILE__).parent_path() / "../../scripts";

// The lines of the script that run a build, continuation lines joined.
std::vector<std::string> BuildCommands(const std::filesystem::path& script) {
    std::ifstream in(script);
    std::vector<std::string> commands;
    std::string line;
    std::string command;
    while (std::getline(in, line)) {
        command += line;
        if (!command.empty() && command.back() == '\\') {
            command.pop_back();
            continue;
        }
        if (command.find("cmake --build") != std::string::npos && command.find('#') != 0) {
            commands.push_back(command);
        }
        command.clear();
    }
    return commands;
}

TEST(RunGameScript, BuildsTheGameAndTheResourceGeneratorOnly) {
    const std::vector<std::string> commands = BuildCommands(kScripts / "run-game.sh");
    ASSERT_FALSE(commands.empty()) << "the script builds the game";
    for (const std::string& command : commands) {
        const std::size_t at = command.find("--target");
        ASSERT_NE(at, std::string::npos) << "builds every target: " << command;
        std::istringstream words(command.substr(at + std::string("--target").size()));
        std::string word;
        std::vector<std::string> targets;
        while (words >> word) {
            targets.push_back(word);
        }
        EXPECT_EQ(targets, (std::vector<std::string>{"qalimor", "qalimor-resources"})) << command;
    }
}

TEST(RunGameScript, TheTestScriptStillBuildsEverything) {
    const std::vector<std::string> commands = BuildCommands(kScripts / "test.sh");
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front().find("--target"), std::string::npos) << commands.front();
}

}  // namespace
