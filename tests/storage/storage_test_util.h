// Shared set-up for the storage tests: a fresh engine, a temporary directory
// per test, and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "config_file.h"
#include "fresh_folder.h"
#include "engine_state.h"
#include "notation.h"
#include "position.h"
#include "system.h"

using Bytes = std::vector<unsigned char>;

// A fresh engine on the starting position with seeded keys.
inline void FreshEngine() {
  StartEngine(1);
  settings = Settings{};
}

// Plays moves in coordinate notation as game moves.
inline void PlayMoves(const std::string& moves) {
  std::istringstream in(moves);
  std::string move, error;
  while (in >> move) ASSERT_TRUE(PlayMoveText(move, error)) << move << ": " << error;
  E.ply = 1;
}

inline Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A failure the system reported reads as the system words it: on Windows
// (and Wine) in words of its own, after the same beginning.
inline void ExpectSystemReason(const std::string& message, const std::string& posix) {
#ifdef _WIN32
  const std::string start = posix.substr(0, posix.find(": ") + 2);
  EXPECT_EQ(message.rfind(start, 0), 0u) << message;
  EXPECT_GT(message.size(), start.size()) << message;
#else
  EXPECT_EQ(message, posix);
#endif
}

// Each test gets an empty directory of its own, removed afterwards.
class StorageTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = FreshFolder("korvin-storage-");
    ASSERT_FALSE(dir.empty());
    FreshEngine();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir, ec);
  }
  std::string PathOf(const std::string& name) const { return (dir / name).string(); }
  // Names of the files in the test directory.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    return names;
  }
  std::filesystem::path dir;
};

// The whole engine record and the settings, to show that a refused load
// changed nothing at all.
struct StateCopy {
  std::unique_ptr<EngineState> engine = std::make_unique<EngineState>();
  Settings config{};
  StateCopy() {
    std::memcpy(static_cast<void*>(engine.get()), &E, sizeof(EngineState));
    config = settings;
  }
  bool SameAsNow() const {
    return std::memcmp(engine.get(), &E, sizeof(EngineState)) == 0 &&
           std::memcmp(&config, &settings, sizeof(Settings)) == 0;
  }
};
