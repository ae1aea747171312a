// Arbitrary bytes as a picture file (a damaged or hand-made "fig1.png"): the
// decoders either give a picture of an accepted size whose pixels fill it,
// or refuse it with a message that names it, all without undefined
// behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_common.h"
#include "picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture picture;
  std::string error;
  if (DecodePictureBytes(data, size, "fuzz.png", picture, error)) {
    Require(PictureSizeAcceptable(picture.width, picture.height), "a decoded picture has an accepted size");
    Require(picture.pixels.size() == static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height),
            "a decoded picture's pixels fill it");
    Require(picture.name == "fuzz.png", "a decoded picture keeps its name");
  } else {
    Require(error.find("\"fuzz.png\"") != std::string::npos, "a refusal names the picture");
  }
  return 0;
}
