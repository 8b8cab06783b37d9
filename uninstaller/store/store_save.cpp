// Saving the configuration store. The uninstaller used to write the new
// content over the old file in place, without truncating it; the bytes past
// the new content's end were left as they were and are never read. The same
// image is now built in memory and swapped in whole, so a failure part-way
// can no longer leave a store that is half old and half new.
#include "uninstaller/store/byte_file.h"
#include "uninstaller/store/config_store.h"
#include "uninstaller/store/whole_file.h"

namespace cvl {
namespace {

std::vector<uint8_t> contentImage(CConfigStore& store) {
  ByteFile image;
  Archive archive(image, Archive::Direction::Storing);
  store.serialize(archive);
  archive.close();
  return image.takeBytes();
}

std::string temporaryPathBeside(const std::string& path) { return path + ".new"; }

// Writing over a read-only store in place was always refused; replacing it
// would succeed on some systems, so the attribute is checked here.
bool isReadOnly(platform::FileSystem& files, const std::string& path) {
  platform::FileStatus status;
  return files.status(path, status) == platform::kSuccess && (status.attributes & platform::attr::kReadOnly) != 0;
}

}  // namespace

bool CConfigStore::save(platform::FileSystem& files, const platform::FileStatus* keep, const ImageReady& imageReady) {
  if (isReadOnly(files, path_)) return false;
  std::vector<uint8_t> old;
  if (!readWholeFile(files, path_, old)) return false;
  std::vector<uint8_t> image = contentImage(*this);
  if (old.size() > image.size()) image.insert(image.end(), old.begin() + static_cast<ptrdiff_t>(image.size()), old.end());

  const std::string temporary = temporaryPathBeside(path_);
  const bool written = writeWholeFileFlushed(files, temporary, image);
  // Times set on the image itself: the store never shows new content with a
  // new write time, which would part it from its removal record. Times that
  // do not take only make the file look newer.
  if (written && keep) (void)files.setStatus(temporary, *keep);
  if (written && imageReady) imageReady(temporary);
  if (!written || files.replaceFile(temporary, path_) != platform::kSuccess) {
    (void)files.deleteFile(temporary);  // the write already failed; a leftover copy is harmless
    return false;
  }
  return true;
}

bool writeBackStore(platform::FileSystem& files, CConfigStore& store, const ImageReady& imageReady) {
  platform::FileStatus saved;
  const bool haveStatus = files.status(store.path(), saved) == platform::kSuccess;
  if (!store.save(files, haveStatus ? &saved : nullptr, imageReady)) return false;
  // The content is in place; times that cannot be set back only make the
  // file look newer, so this is not reported as a failure.
  if (haveStatus) (void)files.setStatus(store.path(), saved);
  return true;
}

}  // namespace cvl
