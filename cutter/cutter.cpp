// The cutter's run: checks the command line, opens the image, and cuts every
// recognised disk's files into the current directory. Where each file lies is
// fixed in the cut tables; nothing is looked up on the disk.
#include "cutter.h"

#include <cstdio>

#include "cuttables.h"
#include "d88image.h"
#include "identify.h"
#include "messages.h"

namespace {

// Every sector read lands here and every file is written from here. The largest
// run in the tables is 4,096 bytes.
uint8_t transfer[0x50000];

// Numbers the music files across all disks of one run.
int32_t musiccounter = 0;

// Set when an output file could not be written in full; the run then ends with 1.
bool writefailed = false;

D88Image image;

// Writes `size` bytes to a new file `name`; a file that cannot be written in full
// is removed rather than left half-written.
bool WriteFile(const char* name, const uint8_t* bytes, int32_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return false;
  // One write of the whole file; a stream buffer would only copy it once more.
  std::setvbuf(file, nullptr, _IONBF, 0);
  bool written =
      std::fwrite(bytes, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  if (std::fclose(file) != 0) written = false;
  if (!written) std::remove(name);
  return written;
}

bool CutFile(const char* name, int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
             int32_t offset, int32_t size) {
  // Only a run read whole is written: a part would carry bytes of earlier reads.
  int32_t total = offset + size;
  if (image.ReadSectors(track, c, h, r, n, transfer, total) < total) return false;
  std::printf(kCutting, name);
  if (WriteFile(name, transfer + offset, size)) return true;
  std::fflush(stdout);
  std::fprintf(stderr, kCannotWrite, name);
  writefailed = true;
  return false;
}

void CutTable(const CutEntry* table) {
  for (const CutEntry* entry = table; entry->track != 0; ++entry) {
    char name[16];
    std::snprintf(name, sizeof name, "MUS%02d", static_cast<int>(musiccounter));
    // The number is used up even when the file cannot be cut.
    ++musiccounter;
    CutFile(name, entry->track, entry->track >> 1, entry->track & 1, entry->r, 1,
            entry->offset, entry->size);
  }
}

void CutDisk(int32_t index) {
  image.SelectDisk(index);
  switch (IdentifyDisk(image, transfer).kind) {
    case DiskKind::disk1:
      std::fputs(kDisk1, stdout);
      for (const FixedFile& file : kDisk1Files)
        CutFile(file.name, file.track, file.c, file.h, file.r, file.n, file.offset,
                file.size);
      CutTable(kDisk1Cuts);
      break;
    case DiskKind::disk2:
      std::fputs(kDisk2, stdout);
      CutTable(kDisk2Cuts);
      break;
    case DiskKind::unrecognised:
      break;
  }
}

}  // namespace

int RunCutter(int argc, char** argv) {
  musiccounter = 0;
  writefailed = false;
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  if (!image.Open(argv[1])) {
    std::fputs(kCannotOpen, stderr);
    return 1;
  }
  int32_t count = image.GetDiskCount();
  for (int32_t index = 0; index < count; ++index) CutDisk(index);
  return writefailed ? 1 : 0;
}
