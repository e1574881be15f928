#include "d88format.h"

#include <cstring>

void DecodeDiskHeader(const uint8_t* bytes, D88DiskHeader& header) {
  // The name ends at its first NUL; the rest of the 16 bytes are not part of it.
  std::memset(header.name, 0, sizeof header.name);
  for (int32_t i = 0; i < 16 && bytes[i] != 0; ++i)
    header.name[i] = static_cast<char>(bytes[i]);
  header.mediatype = bytes[27];
  header.disksize = ReadLE32(bytes + 28);
  for (int32_t i = 0; i < kTrackCount; ++i)
    header.tracktable[i] = ReadLE32(bytes + 32 + 4 * i);
}
