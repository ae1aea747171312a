// Arbitrary bytes as a configuration file: a short file changes nothing; an
// accepted one yields sanitised settings that save and load back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "config_file.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  settings = Settings{7, 7, 7, 7, 1, 3, 1};
  const Settings before = settings;
  if (!LoadConfigBytes(data, size)) {
    Require(size < static_cast<size_t>(kConfigBytes), "a full-length file was refused");
    Require(std::memcmp(&before, &settings, sizeof(Settings)) == 0, "a refused file changed the settings");
    return 0;
  }
  Require(settings.level >= 1 && settings.level <= 4, "level");
  Require(settings.humanPlaysBlack == 0 || settings.humanPlaysBlack == 1, "humanPlaysBlack");
  Require(settings.hideWelcome == 0 || settings.hideWelcome == 1, "hideWelcome");
  const Settings loaded = settings;
  unsigned char bytes[kConfigBytes];
  ConfigToBytes(bytes);
  Require(std::memcmp(bytes, data, 16) == 0, "window geometry did not round-trip");
  Require(LoadConfigBytes(bytes, sizeof bytes), "saved configuration refused");
  Require(std::memcmp(&loaded, &settings, sizeof(Settings)) == 0, "save and load differ");
  return 0;
}
