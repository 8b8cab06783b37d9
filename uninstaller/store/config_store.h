#pragma once
// The configuration store "cvlinst.dat": named section sets, loaded once at
// start-up and written back after a removal with the removed components
// marked as no longer selected.
#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "uninstaller/suite/suite_layout.h"
#include "uninstaller/store/section_set.h"

namespace cvl {

inline constexpr const char* kStoreFileName = names::kStoreFile;
inline constexpr const char* kComponentSetName = "default.cdf";

// Told the path of a store's new image just before it replaces the store.
using ImageReady = std::function<void(const std::string& imagePath)>;

class CConfigStore : public ArchiveRecord {
 public:
  using Sets = OrderedMap<std::unique_ptr<CSectionSet>>;

  const char* className() const override { return "CConfigStore"; }
  // Reading clears the store first. A set's entry is found or created by
  // the base name of the key it is listed under.
  void serialize(Archive& archive) override;

  const std::string& path() const { return path_; }
  void setPath(std::string path) { path_ = std::move(path); }

  // Remembers path and reads the file. False when it cannot be opened; a
  // file that ends too early raises ArchiveEndOfFile (sets read so far stay).
  bool load(platform::FileSystem& files, const std::string& path);

  // Writes the store to its path without ever leaving a half-written file:
  // the new image (the new content followed by whatever old bytes lie beyond
  // its end) goes to a file beside the store, is flushed, and then replaces
  // the store in one step. False when any step fails; the old file is then
  // as it was. A read-only store is left alone. Times and attributes are
  // not restored here (writeBackStore), unless keep gives them: the new
  // image then takes them before it replaces the store.
  // imageReady, when given, is told the new image's path once the image is
  // complete (with the kept times) and before it replaces the store.
  bool save(platform::FileSystem& files, const platform::FileStatus* keep = nullptr, const ImageReady& imageReady = {});

  // The set whose map key (its base name) matches ignoring case, or null.
  CSectionSet* findSectionSet(const std::string& name);
  const CSectionSet* findSectionSet(const std::string& name) const;

  // Finds or creates the set for a key as the file lists it: only the text
  // after the key's last backslash names the set. The set's name becomes
  // the key until the set record says otherwise.
  CSectionSet& enterSet(const std::string& key);

  // SELECTED=No in the component's section of "default.cdf": the section of
  // exactly that name, else the first matching ignoring case. False when the
  // store has no such set.
  bool markRemoved(const std::string& component);

  // Sets in file order, keyed by base name.
  const Sets& sets() const { return sets_; }

 private:
  std::string path_;
  Sets sets_;
};

// The file side of writing the selection back: reads the store file's times
// and attributes, saves the store, and sets them back so the file looks
// untouched. False, with the old file intact, when saving fails.
bool writeBackStore(platform::FileSystem& files, CConfigStore& store, const ImageReady& imageReady = {});

}  // namespace cvl
