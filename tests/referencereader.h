// A second reader of D88 images, written for plainness rather than speed: it
// works on the whole image in memory, follows each rule of the format literally,
// and serves as the oracle that D88Image and the cutter are checked against.
#ifndef TESTS_REFERENCEREADER_H
#define TESTS_REFERENCEREADER_H

#include <cstdint>
#include <string>

#include "imagebuilder.h"

class ReferenceReader {
 public:
  explicit ReferenceReader(const Bytes& image);
  int32_t GetDiskCount() const { return count; }
  bool SelectDisk(int32_t index);
  void SetSectorRange(int32_t first, int32_t last);
  int32_t ReadSector(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                     uint8_t* buffer, int32_t maximum) const;
  int32_t ReadSectors(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                      uint8_t* buffer, int32_t total) const;
  int32_t ReadTrackIds(int32_t track, uint8_t* buffer, int32_t length) const;
  const std::string& GetDiskName() const { return name; }
  int32_t GetMediaType() const { return mediatype; }
  int32_t GetDiskOffset() const { return diskoffset; }
  int32_t GetDiskSize() const { return disksize; }

 private:
  uint32_t U32(int64_t at) const;
  bool Locate(int32_t track, int64_t& position) const;

  const Bytes& bytes;
  int32_t count = 0;
  int32_t offsets[64] = {};
  int32_t first = 1, last = 16;
  int32_t diskoffset = 0, disksize = 0, mediatype = -1;
  int32_t tracks[164] = {};
  std::string name;
};

#endif
