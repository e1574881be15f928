#include "d88image.h"

#include <cstring>
#include <initializer_list>
#include <limits>

namespace {

// Offsets are signed 32-bit in the format's own terms; anything the file's
// figures would carry past this can be neither sought nor read.
constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();

}  // namespace

D88Image::~D88Image() {
  Close();
}

void D88Image::Close() {
  if (stream != nullptr) std::fclose(stream);
  stream = nullptr;
  diskcount = 0;
  disk.mediatype = -1;
  // The selected disk's figures belong to the file just closed: no sector may be
  // read through them from whatever file is opened next.
  disk.disksize = 0;
  windowlength = 0;
  for (TrackSearch& search : searches) search.start = -1;
}

bool D88Image::Open(const char* path) {
  Close();
  if (path == nullptr) return true;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  // The reader keeps its own window of the file; a second buffer in the stream
  // would only copy every byte twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  stream = file;
  readfailed = false;

  int64_t offset = 0;
  while (diskcount < kMaxDisks) {
    disktable[diskcount] = static_cast<int32_t>(offset);
    uint8_t bytes[D88DiskHeader::size];
    int32_t got = ReadDirect(offset, bytes, D88DiskHeader::size);
    // A stream that opens but cannot be read at all, such as a directory on
    // systems where fopen accepts one, is not an image file.
    if (offset == 0 && readfailed) {
      Close();
      return false;
    }
    if (got < D88DiskHeader::size) break;
    int64_t next = offset + ReadLE32(bytes + 28);
    ++diskcount;
    if (next < 0 || next > kMaxOffset) break;
    offset = next;
  }
  return true;
}

bool D88Image::SelectDisk(int32_t index) {
  if (stream == nullptr) return false;
  diskoffset = -1;
  disk.mediatype = -1;
  disk.disksize = 0;
  std::memset(disk.name, 0, sizeof disk.name);
  if (index < 0 || index >= diskcount) return false;

  // Read afresh, and with it the first tracks of the disk, which every disk's
  // first search needs next.
  Fill(disktable[index]);
  if (windowlength < D88DiskHeader::size) return false;
  DecodeDiskHeader(window, disk);
  diskoffset = disktable[index];
  return true;
}

void D88Image::SetSectorRange(int32_t first, int32_t last) {
  firstsector = first;
  lastsector = last;
}

bool D88Image::LocateTrack(int32_t track, int64_t& position) const {
  if (stream == nullptr) return false;
  if (track < 0 || track >= kTrackCount) return false;
  int32_t entry = disk.tracktable[track];
  if (entry == 0) return false;
  if (entry > disk.disksize) return false;
  // A negative entry or one that carries past the largest offset points nowhere.
  if (entry < 0 || diskoffset < 0) return false;
  position = static_cast<int64_t>(diskoffset) + entry;
  return position <= kMaxOffset;
}

// The 16 bytes of the sector header at `position`, or null when the file does
// not hold them whole.
const uint8_t* D88Image::HeaderAt(int64_t position) {
  // The window may run on past the largest offset; what lies there is unreadable.
  if (position > kMaxOffset) return nullptr;
  if (position < windowstart ||
      position + D88SectorHeader::size > windowstart + windowlength) {
    Fill(position);
    if (windowlength < D88SectorHeader::size) return nullptr;
  }
  return window + (position - windowstart);
}

const D88Image::TrackSearch& D88Image::SearchTrack(int64_t start, uint32_t chn) {
  ++searchclock;
  TrackSearch* slot = &searches[0];
  for (TrackSearch& search : searches) {
    if (search.start == start && search.chn == chn) {
      search.used = searchclock;
      return search;
    }
    if (search.start < 0 || search.used < slot->used) slot = &search;
  }
  slot->start = start;
  slot->chn = chn;
  slot->used = searchclock;
  std::memset(slot->header, 0xFF, sizeof slot->header);
  const int32_t c = static_cast<int32_t>(chn >> 16),
                h = static_cast<int32_t>((chn >> 8) & 0xFF),
                n = static_cast<int32_t>(chn & 0xFF);
  int64_t position = start;
  for (int32_t i = 0;; ++i) {
    // A header cut off by the end of the file ends the search.
    const uint8_t* bytes = HeaderAt(position);
    if (bytes == nullptr) break;
    D88SectorHeader header;
    DecodeSectorHeader(bytes, header);
    if (header.sectorcount == 0) break;
    if (header.c == c && header.h == h && header.n == n && slot->header[header.r] < 0) {
      slot->header[header.r] = static_cast<int32_t>(position);
      slot->datasize[header.r] = static_cast<uint16_t>(header.datasize);
    }
    position += D88SectorHeader::size + header.datasize;
    if (i >= header.sectorcount - 1) break;
  }
  return *slot;
}

int32_t D88Image::ReadSector(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                             uint8_t* buffer, int32_t maximum) {
  int64_t start;
  if (!LocateTrack(track, start)) return 0;
  // IDs outside 0 to 255 match no header byte, so they find nothing.
  for (int32_t id : {c, h, r, n})
    if (id < 0 || id > 255) return 0;
  const TrackSearch& search =
      SearchTrack(start, static_cast<uint32_t>((c << 16) | (h << 8) | n));
  int32_t header = search.header[r];
  if (header < 0) return 0;
  int32_t length = search.datasize[r] < maximum ? search.datasize[r] : maximum;
  if (length <= 0) return 0;
  return ReadAt(static_cast<int64_t>(header) + D88SectorHeader::size, buffer, length);
}

int32_t D88Image::ReadSectors(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                              uint8_t* buffer, int32_t total) {
  // 128 << N must stay a positive 32-bit length.
  if (n < 0 || n > 23) return 0;
  int32_t chunk = 128 << n;
  int32_t done = 0;
  while (done < total) {
    if (chunk > total - done) chunk = total - done;
    // A chunk found only in part is not counted.
    if (ReadSector(track, c, h, r, n, buffer + done, chunk) < chunk) return done;
    done += chunk;
    // The read matched a header, so C, H and R are bytes here and cannot overflow.
    if (r != lastsector) {
      ++r;
    } else {
      ++track;
      if (h == 0) {
        h = 1;
      } else {
        ++c;
        h = 0;
      }
      r = firstsector;
    }
  }
  return done;
}

int32_t D88Image::ReadTrackIds(int32_t track, uint8_t* buffer, int32_t length) {
  int64_t position;
  if (!LocateTrack(track, position)) return 0;
  int32_t result = 0;
  // Unlike a search, a sector count of 0 does not end the listing.
  for (int32_t i = 0; 4 * (static_cast<int64_t>(i) + 1) <= length; ++i) {
    const uint8_t* bytes = HeaderAt(position);
    if (bytes == nullptr) break;
    D88SectorHeader header;
    DecodeSectorHeader(bytes, header);
    buffer[4 * i] = static_cast<uint8_t>(header.c);
    buffer[4 * i + 1] = static_cast<uint8_t>(header.h);
    buffer[4 * i + 2] = static_cast<uint8_t>(header.r);
    buffer[4 * i + 3] = static_cast<uint8_t>(header.n);
    result += 4;
    position += D88SectorHeader::size + header.datasize;
    if (i == header.sectorcount - 1) break;
  }
  return result;
}

// Reads straight from the stream, past the window: for disk headers, which are
// read afresh every time, and for reads too long for the window.
int32_t D88Image::ReadDirect(int64_t position, uint8_t* destination, int32_t length) {
  if (stream == nullptr || length <= 0 || position < 0 || position > kMaxOffset) return 0;
  if (std::fseek(stream, static_cast<long>(position), SEEK_SET) != 0) return 0;
  size_t got = std::fread(destination, 1, static_cast<size_t>(length), stream);
  if (std::ferror(stream)) readfailed = true;
  std::clearerr(stream);
  return static_cast<int32_t>(got);
}

// Fills the window with the bytes from `position` on; it is empty when none can
// be read there.
void D88Image::Fill(int64_t position) {
  windowstart = position;
  windowlength = ReadDirect(position, window, windowcapacity);
}

// Delivers up to `length` bytes from `position`: from the window when they are all
// in it, else through a fresh window, or straight when too long for one. Returns
// the bytes delivered: fewer at the end of the file, 0 when the position cannot be
// sought or read.
int32_t D88Image::ReadAt(int64_t position, uint8_t* destination, int32_t length) {
  if (length <= 0 || position > kMaxOffset) return 0;
  if (position < windowstart ||
      position + length > windowstart + static_cast<int64_t>(windowlength)) {
    if (length >= windowcapacity) return ReadDirect(position, destination, length);
    Fill(position);
  }
  int64_t available = windowstart + windowlength - position;
  int32_t delivered = available < length ? static_cast<int32_t>(available) : length;
  if (delivered <= 0) return 0;
  std::memcpy(destination, window + (position - windowstart),
              static_cast<size_t>(delivered));
  return delivered;
}
