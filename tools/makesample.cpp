// makesample PATH: writes the sample image, Disk 1 then Disk 2 of the set, with
// synthetic sector contents that name their own disk, track and sector.
#include <cstdio>

#include "imagebuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: makesample [d88file]\n", stderr);
    return 1;
  }
  if (!WriteBytes(argv[1], Concat({SetDisk(1).Build(), SetDisk(2).Build()}))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
