#pragma once

// The application object: constructing it opens the window, shows the
// splash screen and sets up sound. It lives as long as the program.
class GameApp {
public:
    GameApp(int argc, char** argv);
};

// The reshape callback of every screen state.
void onReshape(int width, int height);
