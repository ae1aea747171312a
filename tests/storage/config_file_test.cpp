#include <gtest/gtest.h>

#include "config_file.h"
#include "storage_error.h"
#include "storage_test_util.h"

namespace {

// Seven little-endian 32-bit values.
Bytes ConfigBytes(std::initializer_list<int32_t> values) {
  Bytes bytes;
  for (int32_t v : values) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; i++) bytes.push_back(static_cast<unsigned char>(u >> (8 * i)));
  }
  return bytes;
}

bool SameSettings(const Settings& a, const Settings& b) {
  return a.windowX == b.windowX && a.windowY == b.windowY && a.windowWidth == b.windowWidth &&
         a.windowHeight == b.windowHeight && a.humanPlaysBlack == b.humanPlaysBlack &&
         a.level == b.level && a.hideWelcome == b.hideWelcome;
}

// A window that reports a fixed geometry.
int reportedWidth = 0;
bool FakeWindow(int& x, int& y, int& w, int& h) {
  x = -12;
  y = 34;
  w = reportedWidth;
  h = 512;
  return true;
}
bool NoWindow(int&, int&, int&, int&) { return false; }

class ConfigFileTest : public StorageTest {
 protected:
  void TearDown() override {
    SetWindowGeometrySource(nullptr);
    StorageTest::TearDown();
  }
};

TEST_F(ConfigFileTest, FirstRunUsesCentredDefaultsAndThenWrites28Bytes) {
  std::filesystem::current_path(dir);  // the default name is relative to the working directory
  EXPECT_FALSE(LoadConfig());
  EXPECT_STREQ(StorageError(), "file not found");
  EXPECT_TRUE(SameSettings(settings, Settings{}));
  ApplyConfigDefaults(1366, 768);
  EXPECT_TRUE(SameSettings(settings, Settings{483, 184, 400, 400, 0, 1, 0}));
  ASSERT_TRUE(SaveConfig()) << StorageError();
  EXPECT_EQ(ReadAll(PathOf("korvin.cfg")), ConfigBytes({483, 184, 400, 400, 0, 1, 0}));
  std::filesystem::current_path(std::filesystem::temp_directory_path());
}

TEST_F(ConfigFileTest, DefaultsUseTruncatingHalvesAndKeepColourAndWelcome) {
  settings.humanPlaysBlack = 1;
  settings.hideWelcome = 1;
  ApplyConfigDefaults(1921, 1081);
  EXPECT_TRUE(SameSettings(settings, Settings{760, 340, 400, 400, 1, 1, 1}));
  ApplyConfigDefaults(1, 0);  // a desktop smaller than the window
  EXPECT_EQ(settings.windowX, -199);
  EXPECT_EQ(settings.windowY, -200);
}

TEST_F(ConfigFileTest, NegativePositionsRoundTripAsTwosComplement) {
  settings = Settings{-8, -1, 512, 512, 1, 4, 1};
  const std::string path = PathOf("k.cfg");
  ASSERT_TRUE(SaveConfig(path.c_str()));
  const Bytes bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 28u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 12), (Bytes{0x00, 0x02, 0x00, 0x00}));
  settings = Settings{};
  ASSERT_TRUE(LoadConfig(path.c_str())) << StorageError();
  EXPECT_TRUE(SameSettings(settings, Settings{-8, -1, 512, 512, 1, 4, 1}));
}

TEST_F(ConfigFileTest, ShortFileCountsAsMissing) {
  const std::string path = PathOf("k.cfg");
  settings = Settings{1, 2, 3, 4, 1, 2, 1};
  const Settings before = settings;
  for (size_t length : {0u, 4u, 27u}) {
    Bytes bytes = ConfigBytes({10, 20, 640, 640, 0, 3, 0});
    bytes.resize(length);
    WriteAll(path, bytes);
    EXPECT_FALSE(LoadConfig(path.c_str())) << length;
    EXPECT_FALSE(std::string(StorageError()).empty());
    EXPECT_TRUE(SameSettings(settings, before)) << length;
  }
  // A longer file is no configuration this program wrote either.
  Bytes longer = ConfigBytes({10, 20, 640, 640, 0, 3, 0});
  longer.push_back(0x55);
  WriteAll(path, longer);
  EXPECT_FALSE(LoadConfig(path.c_str()));
  EXPECT_STREQ(StorageError(), "the file is larger than 28 bytes");
  EXPECT_TRUE(SameSettings(settings, before));
}

TEST_F(ConfigFileTest, BadValuesAreSanitised) {
  const std::string path = PathOf("k.cfg");
  struct Case {
    int32_t black, level, hide;
    int expectBlack, expectLevel, expectHide;
  };
  const Case cases[] = {
      {2, 0, 7, 0, 1, 0},      {-1, 5, -1, 0, 1, 0},  {1, -3, 1, 1, 1, 1},
      {0, 4, 0, 0, 4, 0},      {65536, 2, 256, 0, 2, 0}, {1, INT32_MIN, 1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    WriteAll(path, ConfigBytes({-5000, 99999, -7, 3, c.black, c.level, c.hide}));
    ASSERT_TRUE(LoadConfig(path.c_str()));
    // The window position and size are used as read; the window clamps them.
    EXPECT_TRUE(SameSettings(settings, Settings{-5000, 99999, -7, 3, c.expectBlack, c.expectLevel, c.expectHide}))
        << c.black << " " << c.level << " " << c.hide;
  }
}

TEST_F(ConfigFileTest, WindowGeometryIsSavedWhenTheWindowReportsAWidth) {
  const std::string path = PathOf("k.cfg");
  settings = Settings{100, 200, 400, 400, 1, 2, 1};
  SetWindowGeometrySource(FakeWindow);
  reportedWidth = 512;
  ASSERT_TRUE(SaveConfig(path.c_str()));
  EXPECT_EQ(ReadAll(path), ConfigBytes({-12, 34, 512, 512, 1, 2, 1}));

  reportedWidth = 0;  // e.g. minimised: the stored geometry serves
  ASSERT_TRUE(SaveConfig(path.c_str()));
  EXPECT_EQ(ReadAll(path), ConfigBytes({100, 200, 400, 400, 1, 2, 1}));

  SetWindowGeometrySource(NoWindow);
  ASSERT_TRUE(SaveConfig(path.c_str()));
  EXPECT_EQ(ReadAll(path), ConfigBytes({100, 200, 400, 400, 1, 2, 1}));
}

}  // namespace
