// tarvisk IMAGE: cuts the fixed files of the two-disk set out of a D88 image
// file into the current directory. Where each file lies is fixed in the tables
// below; nothing is looked up on the disk.
#include <cstdint>
#include <cstdio>

#include "d88image.h"
#include "identify.h"
#include "messages.h"

namespace {

struct CutEntry {
  int32_t track;
  int32_t r;
  int32_t offset;
  int32_t size;
};

// Numbered music files; each table ends with a row whose track index is 0.
constexpr CutEntry kDisk1Cuts[] = {
    {8, 1, 0, 0xB00}, {8, 11, 0, 0x600}, {9, 1, 0, 0x400}, {9, 5, 0, 0x1000}, {0, 0, 0, 0},
};
constexpr CutEntry kDisk2Cuts[] = {
    {20, 13, 0, 0x800}, {23, 1, 0, 0x800},  {23, 9, 0, 0x600},  {23, 14, 0, 0x800},
    {39, 1, 0, 0x200},  {39, 3, 0, 0x600},  {69, 13, 0, 0x300}, {70, 13, 0, 0x400},
    {76, 13, 0, 0x300}, {76, 16, 0, 0x100}, {0, 0, 0, 0},
};

struct FixedFile {
  const char* name;
  int32_t track, c, h, r, n, offset, size;
};

// Disk 1 also holds two named files, cut before its table.
constexpr FixedFile kDisk1Files[] = {
    {"DRIVER", 10, 5, 0, 3, 1, 0, 0xE00},
    {"SEDAT", 11, 5, 1, 1, 1, 0, 0x500},
};

// Every sector read lands here and every file is written from here. The largest
// run in the tables is 4,096 bytes.
uint8_t transfer[0x50000];

// Numbers the music files across all disks of the run; never reset.
int32_t musiccounter = 0;

// Set when an output file could not be written in full; the run then ends with 1.
bool writefailed = false;

D88Image image;

// Writes `size` bytes to a new file `name`; a file that cannot be written in full
// is removed rather than left half-written.
bool WriteFile(const char* name, const uint8_t* bytes, int32_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes, 1, static_cast<size_t>(size), file) ==
                 static_cast<size_t>(size);
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
        CutFile(file.name, file.track, file.c, file.h, file.r, file.n, file.offset, file.size);
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

int main(int argc, char** argv) {
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
