// Fuzzes D88Image against the reference reader. The input is 64 control bytes,
// which choose the operations and their arguments, followed by the image file.
// Every result and every byte delivered must agree with the reference, and the
// reader's promises must hold: never more bytes than asked, nothing written past
// them, 0 for what cannot be read, a name of at most 16 characters.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d88image.h"
#include "fuzzcheck.h"
#include "imagebuilder.h"
#include "referencereader.h"

namespace {

constexpr size_t kControl = 64;

class Control {
 public:
  explicit Control(const uint8_t* data) : bytes(data) {}
  uint8_t Byte() { return bytes[at++ % kControl]; }
  int32_t Word() { return (Byte() << 8) | Byte(); }

 private:
  const uint8_t* bytes;
  size_t at = 0;
};

// A length asked of a read: mostly up to a few sectors, rarely past the reader's
// window, sometimes 0 or negative.
int32_t Length(Control& control) {
  int32_t length = (control.Word() & 0x1FFF) - 16;
  if (control.Byte() == 0xFF) length += 65536;
  return length;
}

// A sector ID: one listed in the track when there is one, else raw values that
// may lie outside 0 to 255.
void Id(Control& control, const ReferenceReader& reference, int32_t track,
        int32_t id[4]) {
  uint8_t ids[64 * 4];
  int32_t listed = reference.ReadTrackIds(track, ids, sizeof ids) / 4;
  uint8_t choice = control.Byte();
  if (listed > 0 && (choice & 1) == 0) {
    int32_t entry = (choice >> 1) % listed;
    for (int i = 0; i < 4; ++i) id[i] = ids[4 * entry + i];
  } else {
    for (int i = 0; i < 4; ++i)
      id[i] = static_cast<int8_t>(control.Byte()) + 256 * (choice >> 7);
  }
}

// Runs one read on both readers, each into a buffer of exactly `length` bytes, and
// checks that they agree on the result and on every byte of their buffers, and
// that the result is within the length. With `exact`, no byte past the result
// may have changed either (a run of sectors may leave part of a chunk there).
template <typename Read>
void Both(int32_t length, bool exact, Read read) {
  size_t size = length > 0 ? static_cast<size_t>(length) : 0;
  std::vector<uint8_t> mine(size, 0xA5), theirs(size, 0xA5);
  int32_t got = read(true, mine.data());
  CHECK(got == read(false, theirs.data()));
  CHECK(got >= 0 && (got == 0 || got <= length));
  CHECK(mine == theirs);
  if (exact)
    CHECK(
        std::all_of(mine.begin() + got, mine.end(), [](uint8_t b) { return b == 0xA5; }));
}

void Exercise(Control& control, D88Image& image, ReferenceReader& reference) {
  for (int op = 0; op < 8; ++op) {
    int32_t kind = control.Byte() % 5;
    int32_t track = control.Byte() % 168 - 2;
    int32_t id[4];
    if (kind <= 1) {
      Id(control, reference, track, id);
      int32_t maximum = Length(control);
      Both(maximum, true, [&](bool mine, uint8_t* buffer) {
        return mine ? image.ReadSector(track, id[0], id[1], id[2], id[3], buffer, maximum)
                    : reference.ReadSector(track, id[0], id[1], id[2], id[3], buffer,
                                           maximum);
      });
    } else if (kind == 2) {
      Id(control, reference, track, id);
      if (control.Byte() & 1) id[3] = control.Byte() % 28 - 2;
      int32_t total = Length(control);
      Both(total, false, [&](bool mine, uint8_t* buffer) {
        return mine ? image.ReadSectors(track, id[0], id[1], id[2], id[3], buffer, total)
                    : reference.ReadSectors(track, id[0], id[1], id[2], id[3], buffer,
                                            total);
      });
    } else if (kind == 3) {
      int32_t length = control.Byte() * 4 - 8 + control.Byte() % 4;
      Both(length, true, [&](bool mine, uint8_t* buffer) {
        int32_t got = mine ? image.ReadTrackIds(track, buffer, length)
                           : reference.ReadTrackIds(track, buffer, length);
        CHECK(got % 4 == 0);
        return got;
      });
    } else {
      int32_t first = control.Byte() % 20, last = control.Byte() % 20;
      image.SetSectorRange(first, last);
      reference.SetSectorRange(first, last);
    }
  }
}

std::string path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  path = std::string(base != nullptr ? base : "/tmp") + "/reader-fuzz-" +
         std::to_string(getpid()) + ".d88";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kControl) return 0;
  Control control(data);
  Bytes bytes(data + kControl, data + size);
  CHECK(WriteBytes(path, bytes));
  static D88Image image;  // static: its window need not be cleared for every input
  CHECK(image.Open(path.c_str()));
  // Opening keeps the sector range of earlier use; start from a new reader's.
  image.SetSectorRange(1, 16);
  ReferenceReader reference(bytes);
  CHECK(image.GetDiskCount() == reference.GetDiskCount());
  int32_t count = image.GetDiskCount();
  // The walk is checked whole above; a few disks, and the indices just outside
  // the range, show every path of selection and reading.
  std::vector<int32_t> indices = {-1, count};
  for (int32_t index = 0; index < count && index < 6; ++index) indices.push_back(index);
  for (int32_t index : indices) {
    bool selected = image.SelectDisk(index);
    CHECK(selected == reference.SelectDisk(index));
    CHECK(selected == (index >= 0 && index < count));
    CHECK(std::strlen(image.GetDiskName()) <= 16);
    CHECK(image.GetDiskName() == reference.GetDiskName());
    CHECK(image.GetMediaType() == reference.GetMediaType());
    CHECK(image.GetDiskOffset() == reference.GetDiskOffset());
    CHECK(image.GetDiskSize() == reference.GetDiskSize());
    Exercise(control, image, reference);
  }
  CHECK(image.Open());
  std::remove(path.c_str());
  return 0;
}
