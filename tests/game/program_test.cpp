// Runs the real program under a private X server: generates its resources,
// starts it, presses keys as a player would and reads back what it shows.

#include "ImageMatch.h"
#include "TestFiles.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testfiles::Picture;

namespace {

// Under the sanitizers the program is several times slower.
constexpr auto patience = 60s;

struct Finished {
    int exitCode = -1;
    std::string output;
};

// Runs a helper program to its end, with its output collected.
Finished run(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) {
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    Finished finished;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        finished.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    finished.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return finished;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = patience) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return condition();
}

// Reads a binary PPM as ImageMagick writes it.
Picture readPpm(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = testfiles::readBytes(path);
    Picture picture;
    std::string header(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(bytes.size(), 64)));
    std::istringstream in(header);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> picture.width >> picture.height >> maxValue) || magic != "P6" || maxValue != 255) {
        return {};
    }
    const std::size_t start = static_cast<std::size_t>(in.tellg()) + 1;
    const std::size_t size = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (bytes.size() < start + size) {
        return {};
    }
    picture.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                       bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
    return picture;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(xvfb_.running()) << "Xvfb did not start";
        for (const char* tool : {"xdotool", "import"}) {
            ASSERT_EQ(run({"sh", "-c", std::string("command -v ") + tool}).exitCode, 0) << tool << " is missing";
        }
    }

    void TearDown() override {
        if (game_ > 0) {
            kill(game_, SIGKILL);
            waitpid(game_, nullptr, 0);
        }
    }

    fs::path folder() const { return dir_.path(); }

    void generateResources() {
        const Finished generator = run({QALIMOR_RESOURCE_PROGRAM, (folder() / "Ressources").string()});
        ASSERT_EQ(generator.exitCode, 0);
        ASSERT_TRUE(fs::exists(folder() / "Ressources" / ".complete"));
    }

    // Starts the game in the test folder, its console going to a file.
    void startGame() {
        const std::string consolePath = (folder() / "console.txt").string();
        const pid_t parent = getpid();
        game_ = fork();
        if (game_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent || chdir(folder().c_str()) != 0) {
                _exit(126);
            }
            const int out = open(consolePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            // The GL and X libraries keep memory until exit.
            const char* asan = std::getenv("ASAN_OPTIONS");
            const std::string options = std::string(asan ? asan : "") + ":detect_leaks=0";
            setenv("ASAN_OPTIONS", options.c_str(), 1);
            execl(QALIMOR_GAME_PROGRAM, "qalimor", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(game_, 0);
        ASSERT_TRUE(waitFor([this] {
            const Finished search = run({"xdotool", "search", "--name", "^Qalimor$"});
            window_ = search.output.substr(0, search.output.find('\n'));
            return search.exitCode == 0 && !window_.empty();
        })) << "no window titled Qalimor\n" << console();
    }

    std::string console() const {
        const std::vector<std::uint8_t> bytes = testfiles::readBytes(folder() / "console.txt");
        return std::string(bytes.begin(), bytes.end());
    }

    Picture screenshot() {
        const fs::path shot = folder() / "shot.ppm";
        if (run({"import", "-window", window_, "-depth", "8", "ppm:" + shot.string()}).exitCode != 0) {
            return {};
        }
        return readPpm(shot);
    }

    bool shows(const Picture& expected, double share = 0.85) {
        return waitFor([&] { return testfiles::matchingShare(screenshot(), expected) >= share; });
    }

    void press(const char* key) {
        // The pointer over the window gives it the keyboard (there is no
        // window manager to set the focus).
        run({"xdotool", "mousemove", "550", "400"});
        EXPECT_EQ(run({"xdotool", "key", key}).exitCode, 0);
    }

    bool consoleHas(const std::string& text) {
        return waitFor([&] { return console().find(text) != std::string::npos; });
    }

    std::optional<int> exitCode() {
        std::optional<int> code;
        waitFor([&] {
            int status = 0;
            if (waitpid(game_, &status, WNOHANG) != game_) {
                return false;
            }
            game_ = -1;
            code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return true;
        });
        return code;
    }

    Picture image(const char* name) const {
        return testfiles::pictureFromTga((folder() / "Ressources" / name).string());
    }

    testfiles::XvfbServer xvfb_;
    testfiles::TempDir dir_;
    pid_t game_ = -1;
    std::string window_;
};

}  // namespace

TEST_F(ProgramTest, ScreensFollowSpaceAndEscapeEndsWithCodeZero) {
    generateResources();
    const Picture splash = image("splashscreen.tga");
    const Picture task = image("level1Task.tga");
    ASSERT_LT(testfiles::matchingShare(splash, task), 0.5) << "the two screens must be told apart";
    startGame();

    const Finished name = run({"xdotool", "getwindowname", window_});
    EXPECT_EQ(name.output, "Qalimor\n");
    const Finished geometry = run({"xdotool", "getwindowgeometry", window_});
    EXPECT_NE(geometry.output.find("Position: 300,150"), std::string::npos) << geometry.output;
    EXPECT_NE(geometry.output.find("Geometry: 500x500"), std::string::npos) << geometry.output;

    EXPECT_TRUE(shows(splash)) << "the splash image";
    press("space");
    EXPECT_TRUE(shows(task)) << "the level-1 task image";
    press("space");
    EXPECT_TRUE(waitFor([&] { return testfiles::matchingShare(screenshot(), task) < 0.5; })) << "play follows";
    press("Escape");
    EXPECT_EQ(exitCode(), std::optional<int>(0));
    EXPECT_EQ(console(), "id = 0, filename = Ressources/splashscreen.tga: erfolgreich geladen\n"
                         "id = 0, filename = Ressources/level1Task.tga: erfolgreich geladen\n");
}

TEST_F(ProgramTest, RunsWithEveryResourceMissing) {
    startGame();
    EXPECT_TRUE(waitFor([&] { return testfiles::brightShare(screenshot()) == 1.0; })) << "a plain white screen";
    press("space");
    EXPECT_TRUE(consoleHas("Ressources/level1Task.tga"));
    EXPECT_TRUE(waitFor([&] { return testfiles::brightShare(screenshot()) == 1.0; }));
    press("Escape");
    EXPECT_EQ(exitCode(), std::optional<int>(0));
    EXPECT_EQ(console(), "id = 0, filename = Ressources/splashscreen.tga: Unable to load the Texture "
                         "'Ressources/splashscreen.tga'\n"
                         "id = 0, filename = Ressources/level1Task.tga: Unable to load the Texture "
                         "'Ressources/level1Task.tga'\n");
}
