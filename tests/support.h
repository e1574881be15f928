// Helpers shared by the tests: scratch folders, files, running a program with its
// output captured through files, and a hex view of bytes that differ.
#ifndef TESTS_SUPPORT_H
#define TESTS_SUPPORT_H

#include <map>
#include <string>
#include <vector>

#include "imagebuilder.h"

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path; }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  // Every regular file and link in the folder (not below it), by name.
  std::map<std::string, Bytes> Files() const;

 private:
  std::string path;
};

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `command` (program first) in `folder`, standard output and error going to
// files (a program under Wine may leave helpers holding inherited pipes).
RunResult RunProgram(const std::vector<std::string>& command, const std::string& folder);

// How to run one of the project's programs: by default the build's own; under
// TARVISK_BIN_DIR with TARVISK_EXE_SUFFIX and through TARVISK_RUNNER (Wine, say)
// when those are set.
std::vector<std::string> ProgramCommand(const std::string& program);
// The line end the programs' text output has: CR LF when TARVISK_EOL is "crlf".
const std::string& LineEnd();

// Empty when equal; else the first differing offset with a hex view of both sides.
std::string HexDiff(const Bytes& expected, const Bytes& actual);

#endif
