#include "platform.h"

#include "picture_decode.h"

// Decodes the file and keeps the picture for the rest of the run.
Handle Platform::LoadPicture(const std::string& path, std::string* error) {
  Picture picture;
  std::string message;
  if (!DecodePictureFile(path, picture, message)) {
    if (error != nullptr) *error = message;
    return 0;
  }
  return AddPicture(std::move(picture));
}

Handle Platform::AddPicture(Picture picture) {
  pictures_.push_back(std::move(picture));
  return static_cast<Handle>(pictures_.size());
}

const Picture* Platform::FindPicture(Handle picture) const {
  if (picture < 1 || picture > static_cast<Handle>(pictures_.size())) return nullptr;
  return &pictures_[static_cast<size_t>(picture) - 1];
}

int Platform::PictureWidth(Handle picture) const {
  const Picture* p = FindPicture(picture);
  return p ? p->width : 0;
}

int Platform::PictureHeight(Handle picture) const {
  const Picture* p = FindPicture(picture);
  return p ? p->height : 0;
}
