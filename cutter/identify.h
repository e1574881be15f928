// Which disk of the set a disk is, told by one sector. Shared by the cutter and
// by anything that reports what the cutter would make of a disk.
#ifndef CUTTER_IDENTIFY_H
#define CUTTER_IDENTIFY_H

#include <cstdint>

#include "d88image.h"

enum class DiskKind { unrecognised, disk1, disk2 };

struct Identification {
  DiskKind kind;
  int32_t delivered;  // bytes of the identification sector read, 0 to 256
  int32_t value;      // OR of its 256 bytes; meaningful only when all were read
};

constexpr int32_t kIdentificationLength = 256;

// Reads the selected disk's identification sector (track 0, C 0, H 0, R 16, N 1)
// into `buffer`, at least 256 bytes long, after setting the set's sector range.
Identification IdentifyDisk(D88Image& image, uint8_t* buffer);

#endif
