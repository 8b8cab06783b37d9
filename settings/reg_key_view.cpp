#include "settings/reg_key_view.h"

#include <algorithm>

#include "platform/platform.h"
#include "settings/open_key_path.h"

namespace cvl::settings {

using platform::RegValue;

namespace {

// Entries of this name, compared with case, are hidden from every listing.
constexpr const char* kDeletedMarker = "~Deleted";

bool isListable(const std::string& name) { return name != kDeletedMarker; }

// Lists names until the registry reports the end of the list; true only
// when it did. enumerate(index, name) is one enumeration call.
template <typename Enumerate>
bool listNames(Enumerate enumerate, std::vector<std::string>& names) {
  std::string name;
  platform::Status status;
  for (uint32_t index = 0; (status = enumerate(index, name)) == platform::kSuccess; ++index) {
    if (isListable(name)) names.push_back(name);
  }
  return status == platform::kNoMoreItems;
}

}  // namespace

RegKeyView::RegKeyView(platform::Registry& registry, platform::RegRoot root, std::string path)
    : registry_(registry), root_(root), path_(std::move(path)) {}

bool RegKeyView::open() {
  handle_.reset();
  subkeyNames_.clear();
  valueNames_.clear();
  return openKeyPath(registry_, root_, path_, platform::access::kAllAccess, handle_) == platform::kSuccess && handle_;
}

bool RegKeyView::setPath(const std::string& path) {
  std::string previous = std::move(path_);
  path_ = path;
  if (open()) return true;
  path_ = std::move(previous);
  return false;
}

bool RegKeyView::ensureOpen() { return handle_ || open(); }

// The name buffers are sized from the key's own information, so a long
// name is read in full instead of ending the listing there.
void RegKeyView::listSubkeys() {
  subkeyNames_.clear();
  platform::RegKeyInfo info;
  subkeysComplete_ = ensureOpen() && handle_->info(info) == platform::kSuccess &&
                     listNames([&](uint32_t index, std::string& name) {
                       return handle_->enumKey(index, name, info.maxSubKeyNameLength + 1);
                     }, subkeyNames_);
}

void RegKeyView::listValues() {
  valueNames_.clear();
  platform::RegKeyInfo info;
  valuesComplete_ = ensureOpen() && handle_->info(info) == platform::kSuccess &&
                    listNames([&](uint32_t index, std::string& name) {
                      return handle_->enumValue(index, name, nullptr, info.maxValueNameLength + 1);
                    }, valueNames_);
}

size_t RegKeyView::subkeyCount() {
  listSubkeys();
  return subkeyNames_.size();
}

std::string RegKeyView::subkeyName(size_t index) {
  if (!ensureOpen()) return {};
  if (subkeyNames_.empty()) listSubkeys();
  return index < subkeyNames_.size() ? subkeyNames_[index] : std::string();
}

size_t RegKeyView::valueCount() {
  listValues();
  return valueNames_.size();
}

std::string RegKeyView::valueName(size_t index) {
  if (!ensureOpen()) return {};
  if (valueNames_.empty()) listValues();
  return index < valueNames_.size() ? valueNames_[index] : std::string();
}

bool RegKeyView::getValue(const std::string& name, RegValue& value) {
  return ensureOpen() && handle_->queryValue(name, value) == platform::kSuccess;
}

bool RegKeyView::setValue(const std::string& name, const RegValue& value) {
  return ensureOpen() && handle_->setValue(name, value) == platform::kSuccess;
}

bool RegKeyView::setString(const std::string& name, const std::string& text) {
  return setValue(name, RegValue::string(text));
}

bool RegKeyView::createSubkey(const std::string& name) {
  if (!ensureOpen()) return false;
  platform::RegKeyPtr created;
  return handle_->createKey(name, platform::access::kAllAccess, created) == platform::kSuccess;
}

bool RegKeyView::isReserved(const std::string& subkeyName) const {
  const std::string marked = platform::upper("~" + subkeyName + "~");
  return std::find(reservedNames_.begin(), reservedNames_.end(), marked) != reservedNames_.end();
}

}  // namespace cvl::settings
