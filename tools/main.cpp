#include <tools/ResourceGenerator.h>

#include <cstdio>

// Writes the game's image and sound files into the folder named on the
// command line (the game reads them from "Ressources").
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resource folder>\n", argc > 0 ? argv[0] : "qalimor-resources");
        return 2;
    }
    if (!generateResources(argv[1])) {
        return 1;
    }
    std::printf("qalimor-resources: resources are in %s\n", argv[1]);
    return 0;
}
