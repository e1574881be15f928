// d88info end to end: its whole output for a small image, its errors, and the
// figures of real images made by other tools when they are at hand.
#include <gtest/gtest.h>

#include "imagebuilder.h"
#include "support.h"

namespace {

SectorRecord Sector(uint8_t c, uint8_t h, uint8_t r, uint16_t count, Bytes data) {
  SectorRecord sector;
  sector.c = c;
  sector.h = h;
  sector.r = r;
  sector.sectorcount = count;
  sector.datasize = static_cast<uint16_t>(data.size());
  sector.data = std::move(data);
  return sector;
}

std::string WithLineEnds(const std::string& text) {
  std::string out;
  for (char ch : text) out += ch == '\n' ? LineEnd() : std::string(1, ch);
  return out;
}

TEST(D88InfoTest, ShowsEveryDiskAndTrack) {
  DiskBuilder disk1;
  disk1.name = ToBytes("FIRST");
  disk1.tracks[0] = {Sector(0, 0, 1, 2, Bytes(16, 7)),
                     Sector(0, 0, 16, 2, Bytes(256, 0))};
  disk1.tracks[3] = {Sector(1, 1, 5, 1, Bytes(8, 1))};
  DiskBuilder disk2;
  disk2.name = ToBytes("SECOND");
  disk2.mediatype = 0x10;
  Bytes ones(256, 0);
  ones[100] = 1;
  disk2.tracks[0] = {Sector(0, 0, 16, 1, ones)};
  DiskBuilder other;
  other.name = ToBytes("0123456789ABCDEFGH");  // only 16 bytes fit the field
  other.mediatype = 0x20;
  // A sector count of 0 does not end a listing; the third header's count does.
  other.tracks[0] = {Sector(0, 0, 16, 0, Bytes(100, 0)), Sector(0, 0, 2, 0, Bytes(4, 0)),
                     Sector(0, 0, 3, 3, Bytes(4, 0)), Sector(9, 9, 9, 3, Bytes(4, 0))};
  DiskBuilder odd;
  odd.mediatype = 0x30;
  odd.tracks[0] = {Sector(0, 0, 16, 1, Bytes(256, 0x80))};

  ScratchFolder folder;
  ASSERT_TRUE(WriteBytes(folder / "image.d88", Concat({disk1.Build(), disk2.Build(),
                                                       other.Build(), odd.Build()})));
  std::vector<std::string> command = ProgramCommand("d88info");
  command.push_back("image.d88");
  RunResult result = RunProgram(command, folder.Path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            WithLineEnds("4 disks\n"
                         "disk 0\n"
                         "  offset: 0\n"
                         "  name: FIRST\n"
                         "  media type: 0x00 (2D)\n"
                         "  disk size: 1016\n"
                         "  tarvisk: Disk 1\n"
                         "  track 0: 0/0/1/1 0/0/16/1\n"
                         "  track 3: 1/1/5/1\n"
                         "disk 1\n"
                         "  offset: 1016\n"
                         "  name: SECOND\n"
                         "  media type: 0x10 (2DD)\n"
                         "  disk size: 960\n"
                         "  tarvisk: Disk 2\n"
                         "  track 0: 0/0/16/1\n"
                         "disk 2\n"
                         "  offset: 1976\n"
                         "  name: 0123456789ABCDEF\n"
                         "  media type: 0x20 (2HD)\n"
                         "  disk size: 864\n"
                         "  tarvisk: not recognised: identification sector absent\n"
                         "  track 0: 0/0/16/1 0/0/2/1 0/0/3/1\n"
                         "disk 3\n"
                         "  offset: 2840\n"
                         "  name: \n"
                         "  media type: 0x30 (unknown)\n"
                         "  disk size: 960\n"
                         "  tarvisk: not recognised: identification value 0x80\n"
                         "  track 0: 0/0/16/1\n"));
}

TEST(D88InfoTest, Errors) {
  ScratchFolder folder;
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::string cannotopen =
      "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xC5"
      "\x82\xAB"
      "\x82\xDC\x82\xB9\x82\xF1\x2E";
  for (const Case& c : std::vector<Case>{{{}, "Usage: d88info [d88file]"},
                                         {{"a", "b"}, "Usage: d88info [d88file]"},
                                         {{"missing.d88"}, cannotopen},
                                         {{"."}, cannotopen}}) {
    std::vector<std::string> command = ProgramCommand("d88info");
    command.insert(command.end(), c.args.begin(), c.args.end());
    RunResult result = RunProgram(command, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.err + LineEnd());
  }
}

// Images written by other tools, kept outside the repository; skipped when absent.
TEST(D88InfoTest, RealImages) {
  std::string folder = REAL_IMAGES_DIR;
  Bytes image;
  if (!ReadBytes(folder + "/HuBASIC_Format_2D.d88", image))
    GTEST_SKIP() << "no " << folder;
  ScratchFolder scratch;
  ASSERT_TRUE(WriteBytes(scratch / "image.d88", image));
  std::vector<std::string> command = ProgramCommand("d88info");
  command.push_back("image.d88");
  RunResult result = RunProgram(command, scratch.Path());
  EXPECT_EQ(result.status, 0);
  std::string expected =
      "1 disk\ndisk 0\n  offset: 0\n  name: by_github_ORYZAP\n"
      "  media type: 0x00 (2D)\n  disk size: 348848\n";
  std::string text = WithLineEnds(expected);
  ASSERT_EQ(result.out.substr(0, text.size()), text);
  EXPECT_NE(result.out.find("  tarvisk: not recognised: identification value"),
            std::string::npos);
  std::string tracks;
  for (int track = 0; track < 80; ++track) {
    tracks += "  track " + std::to_string(track) + ":";
    for (int r = 1; r <= 16; ++r)
      tracks += " " + std::to_string(track >> 1) + "/" + std::to_string(track & 1) + "/" +
                std::to_string(r) + "/1";
    tracks += "\n";
  }
  EXPECT_EQ(result.out.substr(result.out.size() - WithLineEnds(tracks).size()),
            WithLineEnds(tracks));

  // The cutter recognises nothing in it: no output, no file, status 0.
  command = ProgramCommand("tarvisk");
  command.push_back("image.d88");
  result = RunProgram(command, scratch.Path());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(scratch.Files().size(), 1u);
}

}  // namespace
