// d88info IMAGE: shows what a D88 image file holds, disk by disk: where each disk
// starts, its name, media type and size, what tarvisk would make of it, and the
// sector IDs of every track present. Plain text, stable enough to compare runs.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "d88image.h"
#include "identify.h"
#include "messages.h"

namespace {

constexpr char kInfoUsage[] = "Usage: d88info [d88file]\n";

// A track's listing ends by its sector count, which cannot pass 65,535; a track
// whose counts never end it is shown up to this many sectors.
constexpr int32_t kMaxListed = 65536;

const char* MediaName(int32_t mediatype) {
  switch (mediatype) {
    case 0x00:
      return "2D";
    case 0x10:
      return "2DD";
    case 0x20:
      return "2HD";
    default:
      return "unknown";
  }
}

void ShowKind(const Identification& identification) {
  std::fputs("  tarvisk: ", stdout);
  switch (identification.kind) {
    case DiskKind::disk1:
      std::puts("Disk 1");
      return;
    case DiskKind::disk2:
      std::puts("Disk 2");
      return;
    case DiskKind::unrecognised:
      break;
  }
  if (identification.delivered == 0) {
    std::puts("not recognised: identification sector absent");
  } else if (identification.delivered < kIdentificationLength) {
    std::printf("not recognised: identification sector short, %d of %d bytes\n",
                static_cast<int>(identification.delivered),
                static_cast<int>(kIdentificationLength));
  } else {
    std::printf("not recognised: identification value 0x%02X\n",
                static_cast<unsigned>(identification.value));
  }
}

void ShowTracks(D88Image& image, std::vector<uint8_t>& ids) {
  for (int32_t track = 0; track < kTrackCount; ++track) {
    int32_t length =
        image.ReadTrackIds(track, ids.data(), static_cast<int32_t>(ids.size()));
    if (length == 0) continue;
    std::printf("  track %d:", static_cast<int>(track));
    for (int32_t i = 0; i < length; i += 4)
      std::printf(" %u/%u/%u/%u", ids[static_cast<size_t>(i)],
                  ids[static_cast<size_t>(i) + 1], ids[static_cast<size_t>(i) + 2],
                  ids[static_cast<size_t>(i) + 3]);
    std::putchar('\n');
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs(kInfoUsage, stderr);
    return 1;
  }
  D88Image image;
  if (!image.Open(argv[1])) {
    std::fputs(kCannotOpen, stderr);
    return 1;
  }
  std::vector<uint8_t> ids(4 * static_cast<size_t>(kMaxListed));
  uint8_t identification[kIdentificationLength];
  int32_t count = image.GetDiskCount();
  std::printf("%d disk%s\n", static_cast<int>(count), count == 1 ? "" : "s");
  for (int32_t index = 0; index < count; ++index) {
    std::printf("disk %d\n", static_cast<int>(index));
    if (!image.SelectDisk(index)) {
      std::puts("  header cannot be read");
      continue;
    }
    std::printf("  offset: %ld\n", static_cast<long>(image.GetDiskOffset()));
    std::printf("  name: %s\n", image.GetDiskName());
    std::printf("  media type: 0x%02X (%s)\n",
                static_cast<unsigned>(image.GetMediaType()),
                MediaName(image.GetMediaType()));
    std::printf("  disk size: %ld\n", static_cast<long>(image.GetDiskSize()));
    ShowKind(IdentifyDisk(image, identification));
    ShowTracks(image, ids);
  }
  return 0;
}
