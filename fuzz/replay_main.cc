// A main for a fuzz target built without libFuzzer: feeds every file of the
// folders (and every file) named on the command line to the target's
// LLVMFuzzerTestOneInput, in name order. The targets abort when a check
// breaks; the seed named last on standard error is the one that broke it.
//
//   convert_fuzzer_replay fuzz/corpus
//
// Exit status: 0 after every seed, 1 when no seed was found or one could not
// be read, 2 for a usage error; a broken check aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// Adds `path`, or the regular files in it when it is a folder, to `seeds`.
bool add_seeds(const fs::path& path, std::vector<fs::path>& seeds) {
  std::error_code error;
  if (!fs::is_directory(path, error)) {
    seeds.push_back(path);
    return true;
  }
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) seeds.push_back(it->path());
  }
  if (error) {
    std::fprintf(stderr, "replay: cannot list %s: %s\n", path.c_str(), error.message().c_str());
  }
  return !error;
}

bool read_file(const fs::path& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), {});
  return !file.bad();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder-or-file...\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> seeds;
  for (int i = 1; i < argc; ++i) {
    if (!add_seeds(argv[i], seeds)) return 1;
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "replay: no seed files found\n");
    return 1;
  }
  std::sort(seeds.begin(), seeds.end());
  std::string bytes;
  for (const fs::path& seed : seeds) {
    if (!read_file(seed, bytes)) {
      std::fprintf(stderr, "replay: cannot read %s\n", seed.c_str());
      return 1;
    }
    std::fprintf(stderr, "replay: %s\n", seed.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replay: %zu seeds passed\n", seeds.size());
  return 0;
}
