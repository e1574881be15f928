#include "imagebuilder.h"

#include <cstdio>

void PutLE16(Bytes& bytes, size_t at, uint32_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutLE32(Bytes& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes DiskBuilder::Build() const {
  Bytes out(688, 0);
  for (size_t i = 0; i < name.size() && i < 16; ++i) out[i] = name[i];
  out[27] = mediatype;
  for (const auto& [index, sectors] : tracks) {
    if (index >= 0 && index < 164)
      PutLE32(out, 32 + 4 * static_cast<size_t>(index),
              static_cast<uint32_t>(out.size()));
    for (const SectorRecord& sector : sectors) {
      size_t at = out.size();
      out.resize(at + 16, 0);
      out[at] = sector.c;
      out[at + 1] = sector.h;
      out[at + 2] = sector.r;
      out[at + 3] = sector.n;
      PutLE16(out, at + 4, sector.sectorcount);
      PutLE16(out, at + 14, sector.datasize);
      out.insert(out.end(), sector.data.begin(), sector.data.end());
    }
  }
  for (const auto& [index, entry] : trackentries)
    PutLE32(out, 32 + 4 * static_cast<size_t>(index), entry);
  PutLE32(out, 28, overridesize ? disksize : static_cast<uint32_t>(out.size()));
  return out;
}

const Bytes* DiskBuilder::Find(int32_t track, int32_t c, int32_t h, int32_t r,
                               int32_t n) const {
  auto found = tracks.find(track);
  if (found == tracks.end()) return nullptr;
  for (const SectorRecord& sector : found->second)
    if (sector.c == c && sector.h == h && sector.r == r && sector.n == n)
      return &sector.data;
  return nullptr;
}

Bytes SectorText(int32_t disknumber, int32_t track, int32_t r, int32_t length) {
  Bytes data;
  for (int32_t row = 0; static_cast<int32_t>(data.size()) < length; ++row) {
    char line[32];
    std::snprintf(line, sizeof line, "D%d T%02d R%02d #%02d.......",
                  static_cast<int>(disknumber), static_cast<int>(track),
                  static_cast<int>(r), static_cast<int>(row % 100));
    line[15] = '\n';
    data.insert(data.end(), line, line + 16);
  }
  data.resize(static_cast<size_t>(length));
  return data;
}

std::vector<SectorRecord> SetTrack(int32_t disknumber, int32_t track) {
  std::vector<SectorRecord> sectors;
  for (int32_t r = 1; r <= 16; ++r) {
    SectorRecord sector;
    sector.c = static_cast<uint8_t>(track >> 1);
    sector.h = static_cast<uint8_t>(track & 1);
    sector.r = static_cast<uint8_t>(r);
    sector.data = SectorText(disknumber, track, r, 256);
    sectors.push_back(sector);
  }
  return sectors;
}

DiskBuilder SetDisk(int32_t disknumber) {
  DiskBuilder disk;
  disk.name = ToBytes("SAMPLE DISK " + std::to_string(disknumber));
  for (int32_t track = 0; track < 80; ++track)
    disk.tracks[track] = SetTrack(disknumber, track);
  Bytes& identification = disk.tracks[0][15].data;
  identification.assign(256, 0);
  if (disknumber == 2)
    for (size_t i = 0; i < identification.size(); i += 3) identification[i] = 1;
  return disk;
}

Bytes ToBytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool ReadBytes(const std::string& path, Bytes& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return true;
}
