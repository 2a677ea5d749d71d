// zunoplay: the player.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: zunoplay [OPTIONS] [GAME ...]\n");
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zunoplay 0.1.0\n");
            return 0;
        }
    }
    std::fprintf(stderr, "zunoplay: the game runtime is not built yet\n");
    return 1;
}
