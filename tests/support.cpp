#include "support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

void RemoveTree(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") RemoveTree(path + "/" + name);
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

std::string ReadText(const std::string& path) {
  Bytes bytes;
  ReadBytes(path, bytes);
  return std::string(bytes.begin(), bytes.end());
}

std::string Setting(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

}  // namespace

std::vector<std::string> ProgramCommand(const std::string& program) {
  std::vector<std::string> command;
  std::string runner = Setting("TARVISK_RUNNER", "");
  if (!runner.empty()) command.push_back(runner);
  command.push_back(Setting("TARVISK_BIN_DIR", TARVISK_BIN_DIR_DEFAULT) + "/" + program +
                    Setting("TARVISK_EXE_SUFFIX", ""));
  return command;
}

const std::string& LineEnd() {
  static const std::string eol = Setting("TARVISK_EOL", "lf") == "crlf" ? "\r\n" : "\n";
  return eol;
}

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr ? base : "/tmp") + "/tarvisk-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) != nullptr) path = name.data();
}

ScratchFolder::~ScratchFolder() {
  if (!path.empty()) RemoveTree(path);
}

std::map<std::string, Bytes> ScratchFolder::Files() const {
  std::map<std::string, Bytes> files;
  if (DIR* dir = opendir(path.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string full = path + "/" + entry->d_name;
      struct stat info;
      if (lstat(full.c_str(), &info) != 0) continue;
      // A link left behind shows as an entry of its own, not as what it points to.
      if (S_ISREG(info.st_mode)) ReadBytes(full, files[entry->d_name]);
      if (S_ISLNK(info.st_mode)) files[entry->d_name] = ToBytes("(a link)");
    }
    closedir(dir);
  }
  return files;
}

RunResult RunProgram(const std::vector<std::string>& command, const std::string& folder) {
  RunResult result;
  ScratchFolder capture;
  std::string outpath = capture / "stdout";
  std::string errpath = capture / "stderr";
  pid_t child = fork();
  if (child == 0) {
    int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || chdir(folder.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    for (const std::string& part : command)
      argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  result.out = ReadText(outpath);
  result.err = ReadText(errpath);
  return result;
}

std::string HexDiff(const Bytes& expected, const Bytes& actual) {
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  if (at == expected.size() && at == actual.size()) return "";
  std::ostringstream text;
  text << "sizes " << expected.size() << " expected, " << actual.size()
       << " actual; first difference at offset " << at << "\n";
  size_t from = at & ~static_cast<size_t>(15);
  auto row = [&](const char* label, const Bytes& bytes) {
    text << label;
    for (size_t i = from; i < from + 32 && i < bytes.size(); ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
      text << hex;
    }
    text << "\n";
  };
  row("expected:", expected);
  row("actual:  ", actual);
  return text.str();
}
