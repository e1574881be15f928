// The reader against images built in code: the walk of disks, selection, sector
// search, runs across track ends, track listing, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "d88image.h"
#include "imagebuilder.h"
#include "referencereader.h"
#include "support.h"

namespace {

DiskBuilder NamedDisk(const std::string& name) {
  DiskBuilder disk;
  disk.name = ToBytes(name);
  return disk;
}

// One track of `count` sectors R 1..count, C/H from the track index.
std::vector<SectorRecord> Track(int32_t track, int32_t count, uint16_t datasize = 256) {
  std::vector<SectorRecord> sectors;
  for (int32_t r = 1; r <= count; ++r) {
    SectorRecord sector;
    sector.c = static_cast<uint8_t>(track >> 1);
    sector.h = static_cast<uint8_t>(track & 1);
    sector.r = static_cast<uint8_t>(r);
    sector.sectorcount = static_cast<uint16_t>(count);
    sector.datasize = datasize;
    sector.data = SectorText(9, track, r, datasize);
    sectors.push_back(sector);
  }
  return sectors;
}

class ReaderTest : public ::testing::Test {
 protected:
  // Writes the image and opens it; the reader is on the heap for its window.
  bool OpenImage(const Bytes& bytes) {
    path = folder / "image.d88";
    EXPECT_TRUE(WriteBytes(path, bytes));
    return image->Open(path.c_str());
  }
  // The bytes of sectors R first..first+count-1 of one track of `disk`.
  static Bytes Sectors(const DiskBuilder& disk, int32_t track, int32_t first,
                       int32_t count) {
    Bytes out;
    for (int32_t r = first; r < first + count; ++r) {
      const Bytes* data = disk.Find(track, track >> 1, track & 1, r, 1);
      EXPECT_NE(data, nullptr) << "track " << track << " R " << r;
      if (data != nullptr) out.insert(out.end(), data->begin(), data->end());
    }
    return out;
  }

  ScratchFolder folder;
  std::string path;
  std::unique_ptr<D88Image> image = std::make_unique<D88Image>();
};

// The chain of disks: how many are found and where each starts.
TEST_F(ReaderTest, WalksTheChainOfDisks) {
  struct Case {
    const char* what;
    std::vector<Bytes> parts;
    int32_t count;
  };
  Bytes one = NamedDisk("ONE").Build();
  Bytes two = NamedDisk("TWO").Build();
  DiskBuilder zero = NamedDisk("ZERO");
  zero.overridesize = true;
  zero.disksize = 0;
  DiskBuilder huge = NamedDisk("HUGE");
  huge.overridesize = true;
  huge.disksize = 0x7FFFFFFF;
  DiskBuilder negative = NamedDisk("NEGATIVE");
  negative.overridesize = true;
  negative.disksize = 0xFFFFFFF0;
  std::vector<Bytes> many(65, one);
  std::vector<Case> cases = {
      {"empty file", {}, 0},
      {"shorter than a header", {Bytes(687, 0)}, 0},
      {"one disk", {one}, 1},
      {"two disks", {one, two}, 2},
      {"65 disks", many, 64},
      {"trailing short piece", {one, two, Bytes(687, 0xFF)}, 2},
      {"disk size 0 found again and again", {one, zero.Build()}, 64},
      // A size carrying the next offset past 2^31 - 1 or below 0 ends the walk after it.
      {"disk size past the largest offset", {one, huge.Build(), two}, 2},
      {"negative disk size", {negative.Build(), two}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(OpenImage(Concat(c.parts)));
    EXPECT_EQ(image->GetDiskCount(), c.count);
  }

  ASSERT_TRUE(OpenImage(Concat({one, two})));
  ASSERT_TRUE(image->SelectDisk(1));
  EXPECT_STREQ(image->GetDiskName(), "TWO");
  ASSERT_TRUE(OpenImage(Concat({one, zero.Build()})));
  ASSERT_TRUE(image->SelectDisk(63));
  EXPECT_STREQ(image->GetDiskName(), "ZERO");
}

TEST_F(ReaderTest, OpenFailsOnAMissingFileOrAFolder) {
  EXPECT_FALSE(image->Open((folder / "missing.d88").c_str()));
  EXPECT_EQ(image->GetDiskCount(), 0);
  EXPECT_FALSE(image->Open(folder.Path().c_str()));
  EXPECT_FALSE(image->SelectDisk(0));
  // Closing a reader that never opened anything is fine.
  EXPECT_TRUE(image->Open());
}

TEST_F(ReaderTest, OpenAgainReplacesTheFileAndForgetsTheSelectedDisk) {
  DiskBuilder set = SetDisk(1);
  ASSERT_TRUE(OpenImage(Concat({set.Build(), set.Build()})));
  ASSERT_TRUE(image->SelectDisk(0));
  uint8_t buffer[256];
  ASSERT_EQ(image->ReadSector(0, 0, 0, 1, 1, buffer, 256), 256);

  std::string other = folder / "other.d88";
  ASSERT_TRUE(WriteBytes(other, NamedDisk("OTHER").Build()));
  ASSERT_TRUE(image->Open(other.c_str()));
  EXPECT_EQ(image->GetDiskCount(), 1);
  EXPECT_EQ(image->GetMediaType(), -1);
  // The old disk's track table must not be used on the new file.
  EXPECT_EQ(image->ReadSector(0, 0, 0, 1, 1, buffer, 256), 0);
  ASSERT_TRUE(image->Open());
  EXPECT_EQ(image->GetDiskCount(), 0);
  EXPECT_FALSE(image->SelectDisk(0));
}

TEST_F(ReaderTest, SelectDiskOutOfRangeOrClosed) {
  // On a closed reader nothing changes.
  EXPECT_FALSE(image->SelectDisk(0));
  EXPECT_EQ(image->GetMediaType(), -1);

  DiskBuilder disk = SetDisk(1);
  disk.mediatype = 0x20;
  ASSERT_TRUE(OpenImage(disk.Build()));
  ASSERT_TRUE(image->SelectDisk(0));
  EXPECT_EQ(image->GetMediaType(), 0x20);
  uint8_t buffer[256];
  for (int32_t index : {-1, 1}) {
    SCOPED_TRACE(index);
    EXPECT_FALSE(image->SelectDisk(index));
    EXPECT_EQ(image->GetMediaType(), -1);
    EXPECT_STREQ(image->GetDiskName(), "");
    // The old track table is still there, but no sector can be read through it.
    EXPECT_EQ(image->ReadSector(0, 0, 0, 1, 1, buffer, 256), 0);
    ASSERT_TRUE(image->SelectDisk(0));
  }
}

TEST_F(ReaderTest, SelectDiskFailsWhenTheFileShrankUnderIt) {
  Bytes bytes = Concat({SetDisk(1).Build(), SetDisk(2).Build()});
  ASSERT_TRUE(OpenImage(bytes));
  ASSERT_EQ(image->GetDiskCount(), 2);
  bytes.resize(bytes.size() / 2 + 100);
  ASSERT_TRUE(WriteBytes(path, bytes));
  EXPECT_FALSE(image->SelectDisk(1));
  EXPECT_EQ(image->GetMediaType(), -1);
  ASSERT_TRUE(image->SelectDisk(0));
}

TEST_F(ReaderTest, DiskNameAndMediaType) {
  DiskBuilder full = NamedDisk("ABCDEFGHIJKLMNOP");
  full.mediatype = 0x10;
  DiskBuilder empty;
  empty.name = {0, 'X', 'Y'};
  ASSERT_TRUE(OpenImage(Concat({full.Build(), empty.Build()})));
  EXPECT_EQ(image->GetMediaType(), -1);
  ASSERT_TRUE(image->SelectDisk(0));
  // 16 bytes with no NUL: all 16, and nothing from the bytes after the field.
  EXPECT_STREQ(image->GetDiskName(), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(image->GetMediaType(), 0x10);
  ASSERT_TRUE(image->SelectDisk(1));
  EXPECT_STREQ(image->GetDiskName(), "");
  EXPECT_EQ(image->GetMediaType(), 0);
}

// How a search picks its sector, and when it gives up.
TEST_F(ReaderTest, ReadSectorMatching) {
  DiskBuilder disk;
  disk.tracks[0] = Track(0, 4);
  disk.tracks[0][2].r = 1;  // a second R 1, later in the track
  disk.tracks[0][2].data.assign(256, 0xEE);
  disk.tracks[1] = Track(1, 3);
  disk.tracks[1][0].c = 5;
  disk.tracks[1][0].h = 0;
  disk.tracks[1][1].datasize =
      100;  // N says 256; 100 bytes decide where the next header is
  disk.tracks[1][1].data.resize(100);
  disk.tracks[2] = Track(2, 3);
  for (SectorRecord& sector : disk.tracks[2]) sector.sectorcount = 0;
  disk.tracks[3] = Track(3, 3);
  for (SectorRecord& sector : disk.tracks[3]) sector.sectorcount = 2;
  disk.tracks[4] = Track(4, 2);
  disk.trackentries[5] = 0;  // absent, though its data would lie elsewhere
  ASSERT_TRUE(OpenImage(disk.Build()));
  ASSERT_TRUE(image->SelectDisk(0));

  struct Case {
    const char* what;
    int32_t track, c, h, r, n, maximum;
    const Bytes* expected;  // null: 0 bytes
  };
  const Bytes* first = disk.Find(0, 0, 0, 1, 1);
  Bytes firsthalf(first->begin(), first->begin() + 10);
  std::vector<Case> cases = {
      {"first of two equal IDs", 0, 0, 0, 1, 1, 256, first},
      {"maximum below the data size", 0, 0, 0, 1, 1, 10, &firsthalf},
      {"C 261 is not C 5", 1, 261, 0, 1, 1, 256, nullptr},
      {"C 5", 1, 5, 0, 1, 1, 256, disk.Find(1, 5, 0, 1, 1)},
      {"data size that differs from N", 1, 0, 1, 2, 1, 256, disk.Find(1, 0, 1, 2, 1)},
      {"walked by its data size", 1, 0, 1, 3, 1, 256, disk.Find(1, 0, 1, 3, 1)},
      {"sector count 0 ends at once, even on a match", 2, 1, 0, 1, 1, 256, nullptr},
      {"search ends after sector-count headers", 3, 1, 1, 3, 1, 256, nullptr},
      {"within sector-count headers", 3, 1, 1, 2, 1, 256, disk.Find(3, 1, 1, 2, 1)},
      {"ID not in the track", 4, 2, 0, 3, 1, 256, nullptr},
      {"N differs", 4, 2, 0, 1, 2, 256, nullptr},
      {"negative maximum", 4, 2, 0, 1, 1, -1, nullptr},
      {"maximum 0", 4, 2, 0, 1, 1, 0, nullptr},
      {"absent track", 5, 2, 1, 1, 1, 256, nullptr},
      {"track 164", 164, 82, 0, 1, 1, 256, nullptr},
      {"track -1", -1, 0, 0, 1, 1, 256, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes buffer(300, 0xAA);
    int32_t got =
        image->ReadSector(c.track, c.c, c.h, c.r, c.n, buffer.data(), c.maximum);
    Bytes expected = c.expected != nullptr ? *c.expected : Bytes();
    ASSERT_EQ(got, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(HexDiff(expected, Bytes(buffer.begin(), buffer.begin() + got)), "");
    // Nothing past the length read is touched.
    EXPECT_EQ(buffer[static_cast<size_t>(got)], 0xAA);
  }
}

// Damaged files: offsets that point nowhere, sectors and headers cut off by the end.
TEST_F(ReaderTest, DamagedTracksReadAsZeroOrShort) {
  DiskBuilder disk;
  disk.tracks[0] = Track(0, 2);
  disk.tracks[1] = Track(1, 2);
  Bytes whole = disk.Build();
  uint32_t length = static_cast<uint32_t>(whole.size());
  disk.trackentries[2] = length + 1;  // beyond the disk size
  disk.trackentries[3] = 0x80000000;  // negative
  disk.trackentries[4] = length;      // equal to the disk size: at the end of the file
  disk.trackentries[5] = length - 100 - 16;  // a header whose sector runs off the end
  ASSERT_TRUE(OpenImage(disk.Build()));
  ASSERT_TRUE(image->SelectDisk(0));
  uint8_t buffer[512];
  EXPECT_EQ(image->ReadSector(2, 1, 0, 1, 1, buffer, 256), 0);
  EXPECT_EQ(image->ReadSector(3, 1, 1, 1, 1, buffer, 256), 0);
  EXPECT_EQ(image->ReadSector(4, 2, 0, 1, 1, buffer, 256), 0);

  // Cut the file inside track 1's second sector: it delivers what is left.
  Bytes cut = disk.Build();
  size_t second = cut.size() - 256;
  cut.resize(second + 100);
  ASSERT_TRUE(OpenImage(cut));
  ASSERT_TRUE(image->SelectDisk(0));
  EXPECT_EQ(image->ReadSector(1, 0, 1, 2, 1, buffer, 256), 100);
  EXPECT_EQ(image->ReadSectors(1, 0, 1, 1, 1, buffer, 512), 256);
  // And inside its header: the search ends with 0.
  cut.resize(second - 8);
  ASSERT_TRUE(OpenImage(cut));
  ASSERT_TRUE(image->SelectDisk(0));
  EXPECT_EQ(image->ReadSector(1, 0, 1, 2, 1, buffer, 256), 0);

  // A disk far into the file whose track offset would carry past 2^31 - 1.
  DiskBuilder big;
  big.tracks[0] = Track(0, 1);
  big.overridesize = true;
  big.disksize = 0x7FFFFFFF;
  big.trackentries[1] = 0x7FFFFFF0;
  ASSERT_TRUE(OpenImage(Concat({disk.Build(), big.Build()})));
  ASSERT_TRUE(image->SelectDisk(1));
  EXPECT_EQ(image->ReadSector(0, 0, 0, 1, 1, buffer, 256), 256);
  EXPECT_EQ(image->ReadSector(1, 0, 1, 1, 1, buffer, 256), 0);
  EXPECT_EQ(image->ReadTrackIds(1, buffer, 256), 0);
}

TEST_F(ReaderTest, ReadSectorsAcrossTrackEnds) {
  DiskBuilder disk = SetDisk(1);
  disk.tracks[30][2].r = 99;  // track 30 has no R 3
  ASSERT_TRUE(OpenImage(disk.Build()));
  ASSERT_TRUE(image->SelectDisk(0));
  image->SetSectorRange(1, 16);

  struct Case {
    const char* what;
    int32_t track, c, h, r, n, total;
    Bytes expected;
  };
  Bytes partial = Sectors(disk, 40, 1, 2);
  partial.resize(300);
  std::vector<Case> cases = {
      {"within one track", 10, 5, 0, 3, 1, 3584, Sectors(disk, 10, 3, 14)},
      {"from H 1 to the next cylinder", 9, 4, 1, 5, 1, 4096,
       Concat({Sectors(disk, 9, 5, 12), Sectors(disk, 10, 1, 4)})},
      {"from H 0 to H 1", 20, 10, 0, 13, 1, 2048,
       Concat({Sectors(disk, 20, 13, 4), Sectors(disk, 21, 1, 4)})},
      {"a last, shorter chunk", 40, 20, 0, 1, 1, 300, partial},
      {"missing third sector", 30, 15, 0, 1, 1, 1024, Sectors(disk, 30, 1, 2)},
      {"N 24", 10, 5, 0, 3, 24, 256, {}},
      {"N -1", 10, 5, 0, 3, -1, 256, {}},
      {"total 0", 10, 5, 0, 3, 1, 0, {}},
      {"negative total", 10, 5, 0, 3, 1, -5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes buffer(8192, 0xAA);
    int32_t got = image->ReadSectors(c.track, c.c, c.h, c.r, c.n, buffer.data(), c.total);
    ASSERT_EQ(got, static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(HexDiff(c.expected, Bytes(buffer.begin(), buffer.begin() + got)), "");
    if (c.total > 0 && got == c.total) {
      EXPECT_EQ(buffer[static_cast<size_t>(got)], 0xAA);
    }
  }

  // Another sector range: R 1 to 4, so a run from R 3 moves on after R 4.
  image->SetSectorRange(1, 4);
  Bytes buffer(1024);
  ASSERT_EQ(image->ReadSectors(12, 6, 0, 3, 1, buffer.data(), 1024), 1024);
  EXPECT_EQ(HexDiff(Concat({Sectors(disk, 12, 3, 2), Sectors(disk, 13, 1, 2)}), buffer),
            "");
}

TEST_F(ReaderTest, ReadTrackIds) {
  DiskBuilder disk;
  disk.tracks[0] = Track(0, 16, 64);
  disk.tracks[1] = Track(1, 3, 8);
  disk.tracks[1][0].sectorcount = 0;  // does not end a listing
  disk.trackentries[2] = 0;
  ASSERT_TRUE(OpenImage(disk.Build()));
  ASSERT_TRUE(image->SelectDisk(0));

  Bytes all;
  for (const SectorRecord& s : disk.tracks[0])
    all.insert(all.end(), {s.c, s.h, s.r, s.n});
  struct Case {
    int32_t track, length, expected;
  };
  for (const Case& c : std::vector<Case>{{0, 100, 64},
                                         {0, 64, 64},
                                         {0, 8, 8},
                                         {0, 7, 4},
                                         {0, 3, 0},
                                         {1, 100, 12},
                                         {164, 64, 0},
                                         {-1, 64, 0},
                                         {2, 64, 0}}) {
    SCOPED_TRACE(testing::Message() << "track " << c.track << " length " << c.length);
    Bytes buffer(100, 0xAA);
    ASSERT_EQ(image->ReadTrackIds(c.track, buffer.data(), c.length), c.expected);
    if (c.track == 0) {
      EXPECT_EQ(HexDiff(Bytes(all.begin(), all.begin() + c.expected),
                        Bytes(buffer.begin(), buffer.begin() + c.expected)),
                "");
    }
  }
}

}  // namespace

namespace {

// The reader keeps what it learnt of each track between searches; whatever the
// order of searches, over more tracks than it keeps, and across disks that share
// tracks, every answer must be the one a plain walk of the file gives.
TEST_F(ReaderTest, AgreesWithAPlainWalkInAnyOrderOfSearches) {
  DiskBuilder odd = SetDisk(2);
  odd.tracks[5][3].r = 2;             // R 2 twice in track 5
  odd.tracks[6][0].n = 2;             // one sector with another N
  odd.tracks[7][1].c = 9;             // and one with another C
  odd.tracks[12][4].sectorcount = 3;  // a search of track 12 stops early
  odd.tracks[13][0].sectorcount = 0;  // and of track 13 at once
  DiskBuilder back;                   // a negative size leads back to the first disk
  back.overridesize = true;
  Bytes first = odd.Build();
  back.disksize = static_cast<uint32_t>(-static_cast<int64_t>(first.size()));
  Bytes bytes = Concat({first, back.Build()});
  ASSERT_TRUE(OpenImage(bytes));
  ReferenceReader reference(bytes);
  ASSERT_EQ(image->GetDiskCount(), 64);

  uint32_t seed = 12345;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % range);
  };
  for (int32_t round = 0; round < 3000; ++round) {
    if (round % 500 == 0) {
      int32_t index = next(64);
      ASSERT_EQ(image->SelectDisk(index), reference.SelectDisk(index));
    }
    int32_t track = next(82) - 1;
    int32_t c = next(8) == 0 ? next(300) : track >> 1;
    int32_t h = next(8) == 0 ? next(3) : track & 1;
    int32_t r = next(18);
    int32_t n = next(8) == 0 ? next(4) : 1;
    int32_t length = next(4) == 0 ? next(5000) : 256;
    Bytes mine(static_cast<size_t>(length)), theirs(static_cast<size_t>(length));
    SCOPED_TRACE(testing::Message()
                 << "round " << round << " track " << track << " " << c << "/" << h << "/"
                 << r << "/" << n << " length " << length);
    if (next(2) == 0) {
      int32_t got = image->ReadSector(track, c, h, r, n, mine.data(), length);
      ASSERT_EQ(got, reference.ReadSector(track, c, h, r, n, theirs.data(), length));
      ASSERT_TRUE(std::equal(mine.begin(), mine.begin() + got, theirs.begin()));
    } else {
      int32_t got = image->ReadSectors(track, c, h, r, n, mine.data(), length);
      ASSERT_EQ(got, reference.ReadSectors(track, c, h, r, n, theirs.data(), length));
      ASSERT_TRUE(std::equal(mine.begin(), mine.begin() + got, theirs.begin()));
    }
  }
}

}  // namespace

namespace {

// A track that runs on past 2^31 - 1 bytes, in a sparse file: the header that
// lies past that offset is not read, though the bytes are in the file.
TEST_F(ReaderTest, NothingPastTheLargestOffsetIsRead) {
  const uint32_t last = 0x7FFFFFFF;
  DiskBuilder disk;
  disk.overridesize = true;
  disk.disksize = last;
  disk.trackentries[0] = last - 47;
  Bytes track(16 * 2 + 16 + 16, 0);
  auto header = [&track](size_t at, uint8_t r, uint16_t datasize) {
    track[at] = 0;
    track[at + 1] = 0;
    track[at + 2] = r;
    track[at + 3] = 1;
    PutLE16(track, at + 4, 9);
    PutLE16(track, at + 14, datasize);
  };
  header(0, 1, 0);    // at 2^31 - 48
  header(16, 2, 16);  // at 2^31 - 32, its data up to 2^31 - 1
  header(48, 3, 0);   // at 2^31: beyond
  path = folder / "sparse.d88";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  Bytes head = disk.Build();
  bool written = std::fwrite(head.data(), 1, head.size(), file) == head.size() &&
                 std::fseek(file, static_cast<long>(last - 47), SEEK_SET) == 0 &&
                 std::fwrite(track.data(), 1, track.size(), file) == track.size();
  ASSERT_EQ(std::fclose(file), 0);
  if (!written) GTEST_SKIP() << "no sparse file of 2 GiB here";
  ASSERT_TRUE(image->Open(path.c_str()));
  ASSERT_TRUE(image->SelectDisk(0));
  uint8_t buffer[64];
  EXPECT_EQ(image->ReadSector(0, 0, 0, 2, 1, buffer, 64), 16);
  EXPECT_EQ(image->ReadSector(0, 0, 0, 3, 1, buffer, 64), 0);
  EXPECT_EQ(image->ReadTrackIds(0, buffer, 64), 8);
}

}  // namespace
