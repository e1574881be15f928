// Where the set's files lie. What the tool cuts from each kind of disk lives
// here and only here; adding a row never means adding code.
#ifndef CUTTER_CUTTABLES_H
#define CUTTER_CUTTABLES_H

#include <cstdint>

struct CutEntry {
  int32_t track;
  int32_t r;
  int32_t offset;
  int32_t size;
};

// Numbered music files; each table ends with a row whose track index is 0.
constexpr CutEntry kDisk1Cuts[] = {
    {8, 1, 0, 0xB00},  {8, 11, 0, 0x600}, {9, 1, 0, 0x400},
    {9, 5, 0, 0x1000}, {0, 0, 0, 0},
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

#endif
