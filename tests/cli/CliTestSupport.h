// Helpers for the renderer's tests: a scratch folder per test, running a program and
// collecting its exit status and output, and asking Debian's Python with PIL about a PNG.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kelvrix::cli::testing {

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("kelvrix-cli-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // File names in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command line through the shell with standard output and error captured.
inline RunResult Run(const std::string& command, const ScratchDir& scratch) {
  const std::string out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const int raw = std::system((command + " >" + Quoted(out) + " 2>" + Quoted(err)).c_str());
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

// Describes a PNG as PIL and the file's own header see it:
// "<width> <height> <mode> <bit depth> <colour type> <min alpha> <max alpha>".
inline std::string DescribePng(const std::string& path, const ScratchDir& scratch) {
  const std::string script = scratch / "describe.py";
  WriteFile(script,
            "import sys\n"
            "from PIL import Image\n"
            "data = open(sys.argv[1], 'rb').read()\n"
            "assert data[:8] == b'\\x89PNG\\r\\n\\x1a\\n'\n"
            "im = Image.open(sys.argv[1])\n"
            "im.load()\n"
            "alpha = im.getchannel('A').getextrema() if 'A' in im.getbands() else (-1, -1)\n"
            "print(im.size[0], im.size[1], im.mode, data[24], data[25], alpha[0], alpha[1])\n");
  const RunResult r =
      Run(std::string(KELVRIX_PYTHON) + " " + Quoted(script) + " " + Quoted(path), scratch);
  std::filesystem::remove(script);
  return r.status == 0 ? r.out.substr(0, r.out.find('\n')) : "python failed: " + r.err;
}

}  // namespace kelvrix::cli::testing
