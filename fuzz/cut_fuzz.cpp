// Fuzzes the whole cut of one image, in a scratch folder: the input is the image
// file. Every file the run leaves must be exactly what the reference reader says
// the cut tables make of the image: the right names, each of its table size, with
// the bytes read for it, and no file where a run could not be read whole.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "cuttables.h"
#include "cutter.h"
#include "fuzzcheck.h"
#include "imagebuilder.h"
#include "referencereader.h"

namespace {

const char kImage[] = "image.d88";

void Expect(std::map<std::string, Bytes>& files, ReferenceReader& reference,
            const std::string& name, int32_t track, int32_t c, int32_t h, int32_t r,
            int32_t offset, int32_t size) {
  Bytes run(static_cast<size_t>(offset + size));
  if (reference.ReadSectors(track, c, h, r, 1, run.data(), offset + size) < offset + size)
    return;
  files[name] = Bytes(run.begin() + offset, run.end());
}

void ExpectTable(std::map<std::string, Bytes>& files, ReferenceReader& reference,
                 const CutEntry* table, int32_t& counter) {
  for (const CutEntry* entry = table; entry->track != 0; ++entry) {
    char name[16];
    std::snprintf(name, sizeof name, "MUS%02d", static_cast<int>(counter++));
    Expect(files, reference, name, entry->track, entry->track >> 1, entry->track & 1,
           entry->r, entry->offset, entry->size);
  }
}

// What the cut should leave, worked out with the reference reader.
std::map<std::string, Bytes> ExpectedFiles(const Bytes& image) {
  std::map<std::string, Bytes> files;
  ReferenceReader reference(image);
  int32_t counter = 0;
  for (int32_t index = 0; index < reference.GetDiskCount(); ++index) {
    reference.SelectDisk(index);
    reference.SetSectorRange(1, 16);
    uint8_t identification[256];
    if (reference.ReadSector(0, 0, 0, 16, 1, identification, 256) < 256) continue;
    int value = 0;
    for (uint8_t byte : identification) value |= byte;
    if (value == 0) {
      for (const FixedFile& file : kDisk1Files)
        Expect(files, reference, file.name, file.track, file.c, file.h, file.r,
               file.offset, file.size);
      ExpectTable(files, reference, kDisk1Cuts, counter);
    } else if (value == 1) {
      ExpectTable(files, reference, kDisk2Cuts, counter);
    }
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/cut-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) std::abort();
  // The run's progress lines are not what is checked here.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes image(data, data + size);
  CHECK(WriteBytes(kImage, image));
  char program[] = "tarvisk";
  char path[sizeof kImage];
  std::snprintf(path, sizeof path, "%s", kImage);
  char* argv[] = {program, path, nullptr};
  CHECK(RunCutter(2, argv) == 0);

  std::map<std::string, Bytes> expected = ExpectedFiles(image);
  std::vector<std::string> names;
  DIR* dir = opendir(".");
  CHECK(dir != nullptr);
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != ".." && name != kImage) names.push_back(name);
  }
  closedir(dir);
  CHECK(names.size() == expected.size());
  for (const std::string& name : names) {
    Bytes bytes;
    CHECK(ReadBytes(name, bytes));
    auto wanted = expected.find(name);
    CHECK(wanted != expected.end());
    CHECK(bytes == wanted->second);
    std::remove(name.c_str());
  }
  return 0;
}
