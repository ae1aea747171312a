// A new empty folder of the test's own under the system's temporary folder,
// on every system (no mkdtemp on Windows); empty when none could be made.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

inline std::filesystem::path FreshFolder(const std::string& prefix = "korvin-test-") {
  std::random_device seed;
  std::mt19937_64 random(seed());
  std::error_code error;
  for (int tries = 0; tries < 100; tries++) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error) /
                                         (prefix + std::to_string(random() % 1000000000));
    if (std::filesystem::create_directory(folder, error)) return folder;
  }
  return std::filesystem::path();
}
