#pragma once

// The application object: constructing it opens the window, shows the
// splash screen and sets up sound. It lives as long as the program.
class GameApp {
public:
    GameApp(int argc, char** argv);
};

// Where Ctrl+C or kill asked the game to stop, ends it: the sound is closed
// first, and the process ends as that signal ends it. Runs between frames.
void endIfStopSignalled();

// The reshape callback of every screen state.
void onReshape(int width, int height);
