#include "settings/reg_key_view.h"

#include <algorithm>

#include "platform/platform.h"
#include "settings/open_key_path.h"

namespace cvl::settings {

using platform::RegType;
using platform::RegValue;

namespace {

// Names are read into a buffer of this many characters, terminator included.
constexpr uint32_t kNameBuffer = 255;

// Entries of this name, compared with case, are hidden from every listing.
constexpr const char* kDeletedMarker = "~Deleted";

bool isListable(const std::string& name) { return name != kDeletedMarker; }

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

// A listing ends at the first index that cannot be read: the end of the
// list, or a name too long for the buffer.
void RegKeyView::listSubkeys() {
  subkeyNames_.clear();
  if (!ensureOpen()) return;
  std::string name;
  for (uint32_t index = 0; handle_->enumKey(index, name, kNameBuffer) == platform::kSuccess; ++index) {
    if (isListable(name)) subkeyNames_.push_back(name);
  }
}

void RegKeyView::listValues() {
  valueNames_.clear();
  if (!ensureOpen()) return;
  std::string name;
  for (uint32_t index = 0; handle_->enumValue(index, name, nullptr, kNameBuffer) == platform::kSuccess; ++index) {
    if (isListable(name)) valueNames_.push_back(name);
  }
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

bool RegKeyView::valueInfo(size_t index, RegType& type, uint32_t& size) {
  if (!ensureOpen()) return false;
  if (valueNames_.empty()) listValues();
  if (index >= valueNames_.size()) return false;
  RegValue value;
  if (!query(valueNames_[index], value)) return false;
  type = value.type;
  size = static_cast<uint32_t>(value.data.size());
  return true;
}

bool RegKeyView::query(const std::string& name, RegValue& value, uint32_t capacity) {
  return ensureOpen() && handle_->queryValue(name, value, capacity) == platform::kSuccess;
}

bool RegKeyView::store(const std::string& name, const RegValue& value) {
  return ensureOpen() && handle_->setValue(name, value) == platform::kSuccess;
}

bool RegKeyView::getString(const std::string& name, std::string& text) {
  RegValue value;
  if (!query(name, value) || value.type != RegType::Sz) return false;
  text = value.asString();  // stored data need not end in a zero
  return true;
}

bool RegKeyView::getBytes(const std::string& name, std::vector<uint8_t>& bytes, uint32_t capacity) {
  RegValue value;
  if (!query(name, value, capacity) || value.type != RegType::Binary) return false;
  bytes = std::move(value.data);
  return true;
}

bool RegKeyView::getNumber(const std::string& name, uint32_t& number) {
  RegValue value;
  if (!query(name, value, 4) || value.type != RegType::Dword) return false;
  value.data.resize(4, 0);  // a short number reads as if zero-padded
  number = value.asDword();
  return true;
}

bool RegKeyView::setString(const std::string& name, const std::string& text) {
  return store(name, RegValue::string(text));
}

bool RegKeyView::setBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  return store(name, RegValue::binary(bytes));
}

bool RegKeyView::setNumber(const std::string& name, uint32_t number) { return store(name, RegValue::dword(number)); }

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
