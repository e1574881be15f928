// D88Image reads one D88 image file: it finds the disks stored in it, loads the
// header of one disk at a time, and reads sectors of that disk by track index and
// sector ID. Every failure reads as false or a byte count of 0; nothing is printed.
#ifndef D88_D88IMAGE_H
#define D88_D88IMAGE_H

#include <cstdint>
#include <cstdio>

#include "d88format.h"

class D88Image {
 public:
  D88Image() = default;
  ~D88Image();
  D88Image(const D88Image&) = delete;
  D88Image& operator=(const D88Image&) = delete;

  // With a path: opens the file for binary reading (closing any file open before)
  // and walks its chain of disks; false when the file cannot be opened or read.
  // With no path: closes the reader; always true.
  bool Open(const char* path = nullptr);
  int32_t GetDiskCount() const { return diskcount; }
  // Loads the header of disk `index`; false when it cannot, and then no sector
  // of any disk can be read until a later call succeeds.
  bool SelectDisk(int32_t index);
  // The sector numbers R a track starts and ends with, for runs across track ends.
  void SetSectorRange(int32_t first, int32_t last);

  // Copies the data of the first sector of `track` whose ID is C/H/R/N, at most
  // `maximum` bytes; returns the bytes the file delivered, 0 when unreadable.
  int32_t ReadSector(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                     uint8_t* buffer, int32_t maximum);
  // Reads `total` bytes from consecutive sectors of 128 << N bytes starting at the
  // given one, moving to the next track after the last sector; returns the bytes
  // read in whole chunks before the run ended.
  int32_t ReadSectors(int32_t track, int32_t c, int32_t h, int32_t r, int32_t n,
                      uint8_t* buffer, int32_t total);

  // Lists C, H, R, N of the track's sectors in file order, 4 bytes per sector,
  // as many as fit in `length` bytes; returns the bytes written.
  int32_t ReadTrackIds(int32_t track, uint8_t* buffer, int32_t length);
  // The selected disk's name: NUL-terminated, at most 16 characters.
  const char* GetDiskName() const { return disk.name; }
  // The selected disk's media type byte, or -1 when no disk header is loaded.
  int32_t GetMediaType() const { return disk.mediatype; }
  // Where the selected disk starts in the file (-1 when none is loaded) and its
  // disk size field (0 when none is loaded).
  int32_t GetDiskOffset() const { return diskoffset; }
  int32_t GetDiskSize() const { return disk.disksize; }

 private:
  // What one walk of a track found for one C/H/N: where the first sector of each
  // R lies. A sector search examines the same headers whatever R it looks for,
  // so one walk answers every search of the track for that C/H/N.
  struct TrackSearch {
    int64_t start;        // file position of the track's first header; -1 unused
    uint32_t chn;         // C, H, N, one byte each
    uint64_t used;        // when it last answered a search, for eviction
    int32_t header[256];  // position of the first header with this R, or -1
    uint16_t datasize[256];
  };
  static constexpr int32_t searchslots = 32;

  void Close();
  bool LocateTrack(int32_t track, int64_t& position) const;
  const TrackSearch& SearchTrack(int64_t start, uint32_t chn);
  const uint8_t* HeaderAt(int64_t position);
  int32_t ReadDirect(int64_t position, uint8_t* destination, int32_t length);
  void Fill(int64_t position);
  int32_t ReadAt(int64_t position, uint8_t* destination, int32_t length);

  std::FILE* stream = nullptr;
  int32_t diskcount = 0;
  int32_t firstsector = 1;
  int32_t lastsector = 16;
  int32_t disktable[kMaxDisks] = {};
  // The selected disk: its header's fields and where it starts in the file.
  D88DiskHeader disk = {{}, -1, 0, {}};
  int32_t diskoffset = 0;

  // The image is taken not to change while it is open: what was read of its
  // tracks is kept, so that walking a track's headers costs no system call per
  // header and searching the same track again costs no walk at all. A disk's
  // header is read afresh each time the disk is selected.
  static constexpr int32_t windowcapacity = 64 * 1024;
  int64_t windowstart = 0;
  int32_t windowlength = 0;
  bool readfailed = false;
  uint64_t searchclock = 0;
  TrackSearch searches[searchslots];
  uint8_t window[windowcapacity];
};

#endif
