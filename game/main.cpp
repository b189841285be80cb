#include <game/GameApp.h>
#include <game/TerrainTiles.h>

#include <GL/glut.h>

#include <cstdio>

int main(int argc, char** argv) {
    // Console lines should appear as they happen, also when the console is
    // a pipe or a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    GameApp app(argc, argv);
    glutMainLoop();
    terrainRoots[centreTile].reset();
    return 0;
}
