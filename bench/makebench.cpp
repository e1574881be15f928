// makebench FOLDER: writes the benchmark's images, made by the image builder:
//   sample.d88   Disk 1 then Disk 2 of the set (the sample image)
//   many.d88     64 full disks, Disk 1 and Disk 2 alternating
//   long.d88     64 disks whose every track the cutter reads is one chain of 65,535
//                headers: zero-length sectors, the wanted ones at its far end
//   shifted.d88  as long.d88, but each track starts one header further into the
//                chain, so that no two tracks share a walk
//   revisit.d88  one such disk visited 32 times: the disk after it has a negative
//                disk size that leads back to it
#include <cstdio>
#include <string>
#include <vector>

#include "imagebuilder.h"

namespace {

constexpr int32_t kChain = 65535;  // the most headers a sector search examines

const std::vector<int32_t>& UsedTracks(int32_t number) {
  static const std::vector<int32_t> disk1 = {0, 8, 9, 10, 11};
  static const std::vector<int32_t> disk2 = {0, 20, 21, 23, 24, 39, 69, 70, 76};
  return number == 1 ? disk1 : disk2;
}

// A disk of the set whose used tracks all walk one chain; with `shift`, track k of
// the used list starts k headers into it.
Bytes ChainDisk(int32_t number, bool shift) {
  std::vector<SectorRecord> wanted;
  for (int32_t track : UsedTracks(number)) {
    DiskBuilder set = SetDisk(number);
    for (SectorRecord sector : set.tracks[track]) {
      sector.sectorcount = kChain;
      wanted.push_back(sector);
    }
  }
  SectorRecord filler;
  filler.c = filler.h = filler.r = filler.n = 0xFF;  // N 255 is never asked for
  filler.sectorcount = kChain;
  filler.datasize = 0;
  std::vector<SectorRecord> chain(kChain - wanted.size(), filler);
  chain.insert(chain.end(), wanted.begin(), wanted.end());
  DiskBuilder disk;
  disk.name = ToBytes("CHAIN DISK " + std::to_string(number));
  disk.tracks[0] = chain;
  const std::vector<int32_t>& used = UsedTracks(number);
  for (size_t k = 0; k < used.size(); ++k)
    disk.trackentries[used[k]] = static_cast<uint32_t>(688 + (shift ? 16 * k : 0));
  return disk.Build();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: makebench [folder]\n", stderr);
    return 1;
  }
  std::string folder = argv[1];
  Bytes disk1 = SetDisk(1).Build(), disk2 = SetDisk(2).Build();
  std::vector<Bytes> many, longs, shifted;
  for (int32_t i = 0; i < 64; ++i) {
    many.push_back(i % 2 == 0 ? disk1 : disk2);
    longs.push_back(ChainDisk(1 + i % 2, false));
    shifted.push_back(ChainDisk(1 + i % 2, true));
  }
  // Disk A at 0, then disk B whose negative size leads back to A: A, B, A, B, ...
  Bytes chain = ChainDisk(1, false);
  DiskBuilder back;
  back.overridesize = true;
  back.disksize = static_cast<uint32_t>(-static_cast<int64_t>(chain.size()));
  bool written = WriteBytes(folder + "/sample.d88", Concat({disk1, disk2})) &&
                 WriteBytes(folder + "/many.d88", Concat(many)) &&
                 WriteBytes(folder + "/long.d88", Concat(longs)) &&
                 WriteBytes(folder + "/shifted.d88", Concat(shifted)) &&
                 WriteBytes(folder + "/revisit.d88", Concat({chain, back.Build()}));
  if (!written) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
