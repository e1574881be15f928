#include "identify.h"

Identification IdentifyDisk(D88Image& image, uint8_t* buffer) {
  // Tracks of the set's disks run from R 1 to R 16.
  image.SetSectorRange(1, 16);
  Identification result = {DiskKind::unrecognised, 0, 0};
  result.delivered = image.ReadSector(0, 0, 0, 16, 1, buffer, kIdentificationLength);
  // A sector that is absent or cut short says nothing; bytes an earlier read left
  // in the buffer must never decide the kind.
  if (result.delivered < kIdentificationLength) return result;
  for (int32_t i = 0; i < kIdentificationLength; ++i) result.value |= buffer[i];
  if (result.value == 0) result.kind = DiskKind::disk1;
  if (result.value == 1) result.kind = DiskKind::disk2;
  return result;
}
