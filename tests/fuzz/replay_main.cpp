// Ordinary builds link each fuzz target to this driver instead of libFuzzer:
// it feeds every file in the named folders to the target once, so the seed
// inputs run with every test run and a target that no longer compiles fails
// the ordinary build, not only the clang fuzz build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; i++) {
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
      if (entry.is_regular_file()) files.push_back(entry.path());
    if (error) {
      std::fprintf(stderr, "cannot read the folder %s: %s\n", argv[i], error.message().c_str());
      return 2;
    }
    for (const auto& path : files) {
      std::ifstream in(path, std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      inputs++;
    }
  }
  // The empty input is always worth one run.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("%d inputs replayed\n", inputs + 1);
  return inputs > 0 ? 0 : 2;
}
