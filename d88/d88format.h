// The two on-disk records of a D88 image file and the little-endian decoding they use.
//
// A D88 file holds disks back to back from offset 0, with no file header and no
// disk count; each disk starts at the previous disk's start plus its disk size.
//
// Disk header, 688 bytes:
//   0   16  disk name, up to the first NUL (16 non-NUL bytes have no terminator)
//   16  11  not interpreted
//   27   1  media type, kept unchanged
//   28   4  disk size: bytes from this disk's first byte to the next disk's
//   32 656  track table: 164 offsets from the disk's first byte; 0 = absent
//
// Sector header, 16 bytes, followed at once by the sector's data:
//   0    4  C, H, R, N: the sector's ID; nominal length 128 << N
//   4    2  sector count of the track
//   6    8  not interpreted
//   14   2  data size: bytes of data after this header (this, not N, says how
//           far the next header is)
#ifndef D88_D88FORMAT_H
#define D88_D88FORMAT_H

#include <cstdint>

constexpr int32_t ReadLE16(const uint8_t* bytes) {
  return static_cast<int32_t>(bytes[0] | (bytes[1] << 8));
}

// Assembled unsigned, then taken as the signed 32-bit value the reader compares.
constexpr int32_t ReadLE32(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
      (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24));
}

constexpr int32_t kMaxDisks = 64;
constexpr int32_t kTrackCount = 164;

struct D88DiskHeader {
  static constexpr int32_t size = 688;
  char name[17];  // the name field up to its first NUL, zero-filled, always terminated
  int32_t mediatype;
  int32_t disksize;
  int32_t tracktable[kTrackCount];
};

struct D88SectorHeader {
  static constexpr int32_t size = 16;
  int32_t c, h, r, n;
  int32_t sectorcount;
  int32_t datasize;
};

void DecodeDiskHeader(const uint8_t* bytes, D88DiskHeader& header);

// Inline: a walk over a long track decodes tens of thousands of these.
inline void DecodeSectorHeader(const uint8_t* bytes, D88SectorHeader& header) {
  header.c = bytes[0];
  header.h = bytes[1];
  header.r = bytes[2];
  header.n = bytes[3];
  header.sectorcount = ReadLE16(bytes + 4);
  header.datasize = ReadLE16(bytes + 14);
}

#endif
