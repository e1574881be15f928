// Writes D88 image files in code, for the sample image and for every test
// fixture. Each knob breaks exactly one thing, so a fixture shows one fault.
#ifndef TOOLS_IMAGEBUILDER_H
#define TOOLS_IMAGEBUILDER_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct SectorRecord {
  uint8_t c = 0, h = 0, r = 0, n = 1;
  uint16_t sectorcount = 16;
  uint16_t datasize = 256;  // as written in the header
  Bytes data;               // written after the header, whatever datasize says
};

struct DiskBuilder {
  Bytes name;  // raw bytes of the name field; at most 16 are written
  uint8_t mediatype = 0x00;
  // Tracks by index, laid out in increasing index order after the header.
  std::map<int32_t, std::vector<SectorRecord>> tracks;
  // Knobs: a disk size field other than the real length, raw track table entries.
  bool overridesize = false;
  uint32_t disksize = 0;
  std::map<int32_t, uint32_t> trackentries;

  Bytes Build() const;
  // The data of the first sector of `track` with this ID, or null.
  const Bytes* Find(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n) const;
};

// A track of 16 sectors R 1..16 with C = track >> 1, H = track & 1, N 1 and 256
// bytes each, filled with text that names disk, track, sector and row.
std::vector<SectorRecord> SetTrack(int32_t disknumber, int32_t track);
// Disk 1 or Disk 2 of the set: 80 such tracks; its identification sector (track
// 0, R 16) is all 0 for Disk 1 and holds only 0 and 1 bytes for Disk 2.
DiskBuilder SetDisk(int32_t disknumber);
// Data of `length` bytes that identifies disk, track and sector in a hex dump.
Bytes SectorText(int32_t disknumber, int32_t track, int32_t r, int32_t length);

void PutLE16(Bytes& bytes, size_t at, uint32_t value);
void PutLE32(Bytes& bytes, size_t at, uint32_t value);
Bytes Concat(const std::vector<Bytes>& parts);
Bytes ToBytes(const std::string& text);
bool WriteBytes(const std::string& path, const Bytes& bytes);
bool ReadBytes(const std::string& path, Bytes& bytes);

#endif
