// Generates the program's bitmaps and icons into the folder given on the command line; the
// resource script picks them up from there.
#include <cstdio>

#include "bitmaps.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen OUTPUT-FOLDER\n");
        return 2;
    }
    bool ok = WriteButtonAndTrackerBitmaps(argv[1]);
    ok = WriteIcons(argv[1]) && ok;
    if (!ok) {
        std::fprintf(stderr, "resgen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
