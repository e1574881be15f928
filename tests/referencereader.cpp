#include "referencereader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int64_t kLimit = 0x7FFFFFFF;
}

ReferenceReader::ReferenceReader(const Bytes& image) : bytes(image) {
  int64_t offset = 0;
  while (count < 64) {
    offsets[count] = static_cast<int32_t>(offset);
    if (offset + 688 > static_cast<int64_t>(bytes.size())) break;
    int64_t next = offset + static_cast<int32_t>(U32(offset + 28));
    ++count;
    if (next < 0 || next > kLimit) break;
    offset = next;
  }
}

uint32_t ReferenceReader::U32(int64_t at) const {
  size_t i = static_cast<size_t>(at);
  return bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) |
         (static_cast<uint32_t>(bytes[i + 3]) << 24);
}

bool ReferenceReader::SelectDisk(int32_t index) {
  diskoffset = -1;
  mediatype = -1;
  disksize = 0;
  name.clear();
  if (index < 0 || index >= count) return false;
  int64_t at = offsets[index];
  if (at + 688 > static_cast<int64_t>(bytes.size())) return false;
  for (int i = 0; i < 16 && bytes[static_cast<size_t>(at + i)] != 0; ++i)
    name += static_cast<char>(bytes[static_cast<size_t>(at + i)]);
  mediatype = bytes[static_cast<size_t>(at + 27)];
  disksize = static_cast<int32_t>(U32(at + 28));
  for (int i = 0; i < 164; ++i) tracks[i] = static_cast<int32_t>(U32(at + 32 + 4 * i));
  diskoffset = offsets[index];
  return true;
}

void ReferenceReader::SetSectorRange(int32_t firstsector, int32_t lastsector) {
  first = firstsector;
  last = lastsector;
}

bool ReferenceReader::Locate(int32_t track, int64_t& position) const {
  if (track < 0 || track > 163) return false;
  int32_t entry = tracks[track];
  if (entry == 0 || entry > disksize || entry < 0 || diskoffset < 0) return false;
  position = static_cast<int64_t>(diskoffset) + entry;
  return position <= kLimit;
}

int32_t ReferenceReader::ReadSector(int32_t track, int32_t c, int32_t h, int32_t r,
                                    int32_t n, uint8_t* buffer, int32_t maximum) const {
  int64_t at;
  if (!Locate(track, at)) return 0;
  const int64_t size = static_cast<int64_t>(bytes.size());
  for (int32_t i = 0;; ++i) {
    if (at > kLimit || at + 16 > size) return 0;
    const uint8_t* header = &bytes[static_cast<size_t>(at)];
    int32_t sectorcount = header[4] | (header[5] << 8);
    int32_t datasize = header[14] | (header[15] << 8);
    if (sectorcount == 0) return 0;
    at += 16;
    if (header[0] == c && header[1] == h && header[2] == r && header[3] == n) {
      int32_t length = std::min(datasize, maximum);
      if (length <= 0 || at > kLimit || at >= size) return 0;
      int64_t delivered = std::min<int64_t>(length, size - at);
      std::memcpy(buffer, &bytes[static_cast<size_t>(at)],
                  static_cast<size_t>(delivered));
      return static_cast<int32_t>(delivered);
    }
    at += datasize;
    if (i >= sectorcount - 1) return 0;
  }
}

int32_t ReferenceReader::ReadSectors(int32_t track, int32_t c, int32_t h, int32_t r,
                                     int32_t n, uint8_t* buffer, int32_t total) const {
  if (n < 0 || n > 23) return 0;
  int32_t chunk = 128 << n;
  int32_t done = 0;
  while (done < total) {
    chunk = std::min(chunk, total - done);
    if (ReadSector(track, c, h, r, n, buffer + done, chunk) < chunk) return done;
    done += chunk;
    if (r != last) {
      ++r;
    } else {
      ++track;
      c += h != 0 ? 1 : 0;
      h = h == 0 ? 1 : 0;
      r = first;
    }
  }
  return done;
}

int32_t ReferenceReader::ReadTrackIds(int32_t track, uint8_t* buffer,
                                      int32_t length) const {
  int64_t at;
  if (!Locate(track, at)) return 0;
  const int64_t size = static_cast<int64_t>(bytes.size());
  int32_t result = 0;
  for (int64_t i = 0; 4 * (i + 1) <= length; ++i) {
    if (at > kLimit || at + 16 > size) break;
    const uint8_t* header = &bytes[static_cast<size_t>(at)];
    std::memcpy(buffer + 4 * i, header, 4);
    result += 4;
    at += 16 + (header[14] | (header[15] << 8));
    if (i == (header[4] | (header[5] << 8)) - 1) break;
  }
  return result;
}
