// makeStandInShow DIR: writes a small stand-in for the show's scene into the
// data folder DIR (scene file, effect scripts and files, camera schedule),
// for runs of the whole program before the show's own data exists.
#include "tests/support/tinyShow.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeStandInShow DIR\n");
        return 2;
    }
    kovra::test::WriteTinyShow(argv[1]);
    return 0;
}
