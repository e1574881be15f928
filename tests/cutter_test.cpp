// The tool end to end: the built program runs in a fresh folder, and its standard
// output, standard error, exit status and every file it leaves are compared byte
// for byte. The same cases run against the Windows build under Wine, where each
// message ends with CR LF.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "imagebuilder.h"
#include "support.h"

namespace {

const std::string kEol = LineEnd();
const bool kWindows = kEol == "\r\n";

// The messages, written out here from their Shift_JIS bytes.
std::string Line(const std::string& text) {
  return text + kEol;
}
const std::string kUsage = Line("Usage: tarvisk [d88file]");
const std::string kCannotOpen = Line(
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x83\x49\x81\x5B\x83\x76\x83\x93\x82\xC5\x82"
    "\xAB"
    "\x82\xDC\x82\xB9\x82\xF1\x2E");
const std::string kDisk1 = Line(
    "\x44\x69\x73\x6B\x20\x31\x82\xF0\x94\x46\x8E\xAF\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
    "\x2E");
const std::string kDisk2 = Line(
    "\x44\x69\x73\x6B\x20\x32\x82\xF0\x94\x46\x8E\xAF\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
    "\x2E");
std::string Cutting(const std::string& name) {
  return Line("cutting ... " + name);
}

// Where each file of the set lies: runs of (track, first R, sector count).
struct Piece {
  int32_t track, r, count;
};
struct SetFile {
  const char* name;  // "MUS" files are numbered by the run, in this order
  std::vector<Piece> pieces;
};
const std::vector<SetFile> kDisk1Files = {
    {"DRIVER", {{10, 3, 14}}}, {"SEDAT", {{11, 1, 5}}}, {"MUS", {{8, 1, 11}}},
    {"MUS", {{8, 11, 6}}},     {"MUS", {{9, 1, 4}}},    {"MUS", {{9, 5, 12}, {10, 1, 4}}},
};
const std::vector<SetFile> kDisk2Files = {
    {"MUS", {{20, 13, 4}, {21, 1, 4}}},
    {"MUS", {{23, 1, 8}}},
    {"MUS", {{23, 9, 6}}},
    {"MUS", {{23, 14, 3}, {24, 1, 5}}},
    {"MUS", {{39, 1, 2}}},
    {"MUS", {{39, 3, 6}}},
    {"MUS", {{69, 13, 3}}},
    {"MUS", {{70, 13, 4}}},
    {"MUS", {{76, 13, 3}}},
    {"MUS", {{76, 16, 1}}},
};

// What a run is expected to leave: output, and files by name.
struct Expected {
  int status = 0;
  std::string out, err;
  std::map<std::string, Bytes> files;
  int32_t music = 0;

  // Adds a recognised disk's message and files; `skip` names files not cut.
  void AddDisk(const DiskBuilder& disk, int32_t number,
               const std::vector<std::string>& skip = {}) {
    out += number == 1 ? kDisk1 : kDisk2;
    for (const SetFile& file : number == 1 ? kDisk1Files : kDisk2Files) {
      std::string name = file.name;
      if (name == "MUS") {
        char numbered[16];
        std::snprintf(numbered, sizeof numbered, "MUS%02d", static_cast<int>(music++));
        name = numbered;
      }
      if (std::find(skip.begin(), skip.end(), name) != skip.end()) continue;
      Bytes bytes;
      for (const Piece& piece : file.pieces)
        for (int32_t r = piece.r; r < piece.r + piece.count; ++r)
          if (const Bytes* data =
                  disk.Find(piece.track, piece.track >> 1, piece.track & 1, r, 1))
            bytes.insert(bytes.end(), data->begin(), data->end());
      out += Cutting(name);
      files[name] = bytes;
    }
  }
};

struct Case {
  std::string what;
  std::vector<std::string> args;
  Bytes image;  // written as "image.d88" unless empty and `noimage`
  bool noimage = false;
  Expected expected;
  std::function<void(const ScratchFolder&)> prepare;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.what);
  ScratchFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  std::map<std::string, Bytes> files = c.expected.files;
  if (!c.noimage) {
    ASSERT_TRUE(WriteBytes(folder / "image.d88", c.image));
    files["image.d88"] = c.image;
  }
  if (c.prepare) c.prepare(folder);
  std::vector<std::string> command = ProgramCommand("tarvisk");
  command.insert(command.end(), c.args.begin(), c.args.end());
  RunResult result = RunProgram(command, folder.Path());
  EXPECT_EQ(result.status, c.expected.status);
  EXPECT_EQ(HexDiff(ToBytes(c.expected.out), ToBytes(result.out)), "")
      << "standard output";
  EXPECT_EQ(HexDiff(ToBytes(c.expected.err), ToBytes(result.err)), "")
      << "standard error";
  std::map<std::string, Bytes> actual = folder.Files();
  for (const auto& [name, bytes] : files) {
    auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << "missing file " << name;
      continue;
    }
    EXPECT_EQ(HexDiff(bytes, found->second), "") << "file " << name;
  }
  for (const auto& [name, bytes] : actual)
    EXPECT_TRUE(files.count(name) != 0) << "unexpected file " << name;
}

TEST(CutterTest, CommandLineAndOpenErrors) {
  Expected usage;
  usage.status = 1;
  usage.err = kUsage;
  Expected cannotopen;
  cannotopen.status = 1;
  cannotopen.err = kCannotOpen;
  Case folder{"a folder as the image", {"folder"}, {}, true, cannotopen, nullptr};
  folder.prepare = [](const ScratchFolder& f) { mkdir((f / "folder").c_str(), 0755); };
  std::vector<Case> cases = {
      {"no argument", {}, {}, true, usage, nullptr},
      {"two arguments",
       {"image.d88", "image.d88"},
       SetDisk(1).Build(),
       false,
       usage,
       nullptr},
      // There are no options: "-h" is a path, and there is no such file.
      {"missing file", {"-h"}, {}, true, cannotopen, nullptr},
      folder,
      {"empty file", {"image.d88"}, {}, false, Expected(), nullptr},
  };
  for (const Case& c : cases) Check(c);
}

TEST(CutterTest, RecognisesAndCutsEachDiskInFileOrder) {
  DiskBuilder disk1 = SetDisk(1);
  DiskBuilder disk2 = SetDisk(2);
  // Neither all 0 nor only 0 and 1.
  DiskBuilder other = SetDisk(1);
  other.tracks[0][15].data[255] = 2;

  std::vector<Case> cases;
  Expected both;
  both.AddDisk(disk1, 1);
  both.AddDisk(disk2, 2);
  cases.push_back({"Disk 1 then Disk 2",
                   {"image.d88"},
                   Concat({disk1.Build(), disk2.Build()}),
                   false,
                   both,
                   nullptr});
  Expected reversed;
  reversed.AddDisk(disk2, 2);
  reversed.AddDisk(disk1, 1);
  cases.push_back({"Disk 2 then Disk 1",
                   {"image.d88"},
                   Concat({disk2.Build(), disk1.Build()}),
                   false,
                   reversed,
                   nullptr});
  Expected later;
  later.AddDisk(disk2, 2);
  cases.push_back({"an unrecognised disk before Disk 2",
                   {"image.d88"},
                   Concat({other.Build(), disk2.Build()}),
                   false,
                   later,
                   nullptr});
  // The second copy replaces "DRIVER" and "SEDAT"; the music numbers run on.
  Expected twice;
  twice.AddDisk(disk1, 1);
  twice.AddDisk(disk1, 1);
  cases.push_back({"two copies of Disk 1",
                   {"image.d88"},
                   Concat({disk1.Build(), disk1.Build()}),
                   false,
                   twice,
                   nullptr});
  for (const Case& c : cases) Check(c);
}

// Damaged disks: what cannot be read whole is not written, and bytes of earlier
// reads never decide a disk's kind nor reach a file.
TEST(CutterTest, DamagedDisks) {
  std::vector<Case> cases;

  DiskBuilder notrack8 = SetDisk(1);
  notrack8.tracks.erase(8);
  Expected skipped;
  skipped.AddDisk(notrack8, 1, {"MUS00", "MUS01"});
  cases.push_back({"Disk 1 without track 8",
                   {"image.d88"},
                   notrack8.Build(),
                   false,
                   skipped,
                   nullptr});

  // Track 10 lacks R 4: "DRIVER" (R 3 to 16) and "MUS03" (to track 10, R 4) are
  // read only in part, so neither is written; "MUS03" still uses up its number.
  DiskBuilder nor4 = SetDisk(1);
  nor4.tracks[10].erase(nor4.tracks[10].begin() + 3);
  Expected partial;
  partial.AddDisk(nor4, 1, {"DRIVER", "MUS03"});
  partial.AddDisk(SetDisk(2), 2);
  cases.push_back({"runs read only in part",
                   {"image.d88"},
                   Concat({nor4.Build(), SetDisk(2).Build()}),
                   false,
                   partial,
                   nullptr});

  // An absent or short identification sector: not recognised, though the buffer
  // is still all zero (first disk) or holds the last file's bytes.
  DiskBuilder absent = SetDisk(1);
  absent.tracks[0].pop_back();
  DiskBuilder shortid = SetDisk(1);
  shortid.tracks[0][15].datasize = 255;
  shortid.tracks[0][15].data.resize(255);
  Expected onlylast;
  onlylast.AddDisk(SetDisk(2), 2);
  cases.push_back({"absent and short identification sectors",
                   {"image.d88"},
                   Concat({absent.Build(), shortid.Build(), SetDisk(2).Build()}),
                   false,
                   onlylast,
                   nullptr});

  // A file cut off inside Disk 2: files before the cut are whole, the rest absent.
  Bytes image = Concat({SetDisk(1).Build(), SetDisk(2).Build()});
  Bytes cut(image.begin(), image.end() - 100000);
  Expected truncated;
  truncated.AddDisk(SetDisk(1), 1);
  truncated.AddDisk(SetDisk(2), 2, {"MUS10", "MUS11", "MUS12", "MUS13"});
  cases.push_back(
      {"file cut off inside Disk 2", {"image.d88"}, cut, false, truncated, nullptr});
  for (const Case& c : cases) Check(c);
}

TEST(CutterTest, AFileThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
  Bytes image = Concat({SetDisk(1).Build(), SetDisk(2).Build()});
  // Every file but `name`, which gets its "cutting" line, then the error.
  auto failing = [&image](const std::string& name) {
    Expected expected;
    expected.AddDisk(SetDisk(1), 1);
    expected.AddDisk(SetDisk(2), 2);
    expected.files.erase(name);
    expected.status = 1;
    expected.err = Line("cannot write " + name);
    return Case{
        name + " cannot be written", {"image.d88"}, image, false, expected, nullptr};
  };
  Case folder = failing("MUS00");
  folder.prepare = [](const ScratchFolder& f) { mkdir((f / "MUS00").c_str(), 0755); };
  Check(folder);

  // A file that opens but whose data cannot be stored: nothing half-written stays.
  if (!kWindows && access("/dev/full", W_OK) == 0) {
    Case full = failing("SEDAT");
    full.prepare = [](const ScratchFolder& f) {
      ASSERT_EQ(symlink("/dev/full", (f / "SEDAT").c_str()), 0);
    };
    Check(full);
  }
}

}  // namespace
