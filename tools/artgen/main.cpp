// artgen OUTDIR: draws the program's pictures and writes them into OUTDIR.
#include "artwork.h"

#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: artgen OUTDIR\n";
        return 2;
    }
    std::string error;
    if (!verz::art::WriteArtwork(argv[1], error)) {
        std::cerr << "artgen: " << error << '\n';
        return 1;
    }
    return 0;
}
