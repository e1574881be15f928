// makeseeds DIR: writes seed inputs for the fuzzers, made by the image builder:
// DIR/reader (64 control bytes, then an image) and DIR/cut (an image).
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "imagebuilder.h"

namespace {

// Disk 1 or 2 of the set with only the tracks the cutter reads, to keep seeds small.
DiskBuilder CompactSetDisk(int32_t number) {
  DiskBuilder disk = SetDisk(number);
  const std::vector<int32_t> used = {0, 8, 9, 10, 11, 20, 21, 23, 24, 39, 69, 70, 76};
  for (int32_t track = 0; track < 80; ++track)
    if (std::find(used.begin(), used.end(), track) == used.end())
      disk.tracks.erase(track);
  return disk;
}

// A small disk with odd tracks: equal IDs, a short data size, sector count 0.
DiskBuilder OddDisk() {
  DiskBuilder disk;
  disk.name = Bytes(16, 'N');
  disk.mediatype = 0x20;
  std::vector<SectorRecord> track = SetTrack(3, 2);
  track.resize(5);
  track[1].r = track[0].r;
  track[2].datasize = 40;
  track[2].data.resize(40);
  track[3].sectorcount = 0;
  disk.tracks[2] = track;
  disk.tracks[3] = SetTrack(3, 3);
  disk.trackentries[4] = 0x7FFFFFF0;
  return disk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: makeseeds [folder]\n", stderr);
    return 1;
  }
  std::string folder = argv[1];
  mkdir(folder.c_str(), 0755);
  mkdir((folder + "/reader").c_str(), 0755);
  mkdir((folder + "/cut").c_str(), 0755);

  Bytes disk1 = CompactSetDisk(1).Build();
  Bytes disk2 = CompactSetDisk(2).Build();
  Bytes odd = OddDisk().Build();
  Bytes cut = disk2;
  cut.resize(cut.size() - 3000);
  std::vector<Bytes> images = {Concat({disk1, disk2}), Concat({disk2, disk1}), odd,
                               Concat({odd, disk1}), cut};
  bool written = true;
  for (size_t i = 0; i < images.size(); ++i) {
    Bytes control(64);
    for (size_t j = 0; j < control.size(); ++j)
      control[j] = static_cast<uint8_t>(j * 37 + i);
    std::string name = "/seed" + std::to_string(i);
    written &= WriteBytes(folder + "/reader" + name, Concat({control, images[i]}));
    written &= WriteBytes(folder + "/cut" + name, images[i]);
  }
  if (!written) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
