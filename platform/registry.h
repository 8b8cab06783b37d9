#pragma once
// Registry services with Win32 semantics: keys are opened relative to a root
// or to another open key, enumerated by index, and closed when the handle
// object dies. Every operation returns the Win32 status it would get.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

namespace cvl::platform {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// Value types, numbered as REG_* so stored data keeps its meaning.
enum class RegType : uint32_t {
  None = 0,
  Sz = 1,
  ExpandSz = 2,
  Binary = 3,
  Dword = 4,
  Link = 6,  // a link key's "SymbolicLinkValue": the UTF-16 native path it names
  MultiSz = 7,
};

// Access masks, numbered as KEY_*.
namespace access {
inline constexpr uint32_t kQueryValue = 0x0001;
inline constexpr uint32_t kSetValue = 0x0002;
inline constexpr uint32_t kCreateSubKey = 0x0004;
inline constexpr uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kRead = 0x20019;
inline constexpr uint32_t kWrite = 0x20006;
inline constexpr uint32_t kAllAccess = 0xF003F;
inline constexpr uint32_t kReadWriteCreate = kRead | kSetValue | kCreateSubKey;  // 0x2001F
// Not a right: opens a registry link as itself instead of the key it names
// (REG_OPTION_OPEN_LINK, on the NT family; the 95 family has no links).
// Only the last level of the path is opened so; links on the way are followed.
inline constexpr uint32_t kOpenLink = 0x00800000;
}  // namespace access

struct RegValue {
  RegType type = RegType::None;
  std::vector<uint8_t> data;

  static RegValue string(const std::string& text, RegType type = RegType::Sz);  // stores the zero
  static RegValue dword(uint32_t value);
  static RegValue binary(std::vector<uint8_t> bytes);
  // Text up to the first zero byte (or all data when there is none).
  std::string asString() const;
  // Little-endian 32-bit number; 0 when fewer than 4 bytes are held.
  uint32_t asDword() const;
};

struct RegKeyInfo {
  uint32_t subKeyCount = 0;
  uint32_t valueCount = 0;
  uint32_t maxSubKeyNameLength = 0;  // characters, no terminator
  uint32_t maxValueNameLength = 0;   // characters, no terminator
  uint32_t maxValueDataSize = 0;     // bytes
};

class RegKey;
using RegKeyPtr = std::unique_ptr<RegKey>;

// One open key. Destroying it closes the handle.
class RegKey {
 public:
  virtual ~RegKey() = default;

  [[nodiscard]] virtual Status info(RegKeyInfo& out) const = 0;

  // Whether this key, opened with access::kOpenLink, is a registry link
  // (its "SymbolicLinkValue" is of type Link). Needs kQueryValue.
  [[nodiscard]] virtual Status isLink(bool& out) const = 0;

  // RegEnumKeyExA: nameCapacity counts characters including the terminator;
  // a longer name gives kMoreData; past the end gives kNoMoreItems.
  [[nodiscard]] virtual Status enumKey(uint32_t index, std::string& name, uint32_t nameCapacity = 256) const = 0;

  // RegEnumValueA: value may be null when only the name is wanted. A name
  // that does not fit nameCapacity (terminator included) or data that does
  // not fit dataCapacity gives kMoreData.
  [[nodiscard]] virtual Status enumValue(uint32_t index, std::string& name, RegValue* value,
                           uint32_t nameCapacity = 16384, uint32_t dataCapacity = 0xFFFFFFFF) const = 0;

  // RegQueryValueExA: the empty name is the default value. Data larger than
  // capacity gives kMoreData (value.type and the needed size are still set:
  // value.data is resized to the stored size but left zero-filled).
  [[nodiscard]] virtual Status queryValue(const std::string& name, RegValue& value,
                            uint32_t capacity = 0xFFFFFFFF) const = 0;

  [[nodiscard]] virtual Status setValue(const std::string& name, const RegValue& value) = 0;
  [[nodiscard]] virtual Status deleteValue(const std::string& name) = 0;

  // RegOpenKeyExA / RegCreateKeyExA below this key; an empty subKey opens
  // this key again. A link on the way is followed, even when this key is
  // itself a link opened as such.
  [[nodiscard]] virtual Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const = 0;
  [[nodiscard]] virtual Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) = 0;

  // RegDeleteKeyA: fails with kAccessDenied while the key has subkeys (the NT
  // rule). A link named here is followed: what it names is deleted, not it.
  [[nodiscard]] virtual Status deleteKey(const std::string& subKey) = 0;

  // Deletes the key this handle holds, opened with kDelete: no name is
  // looked up again, so a link opened as itself goes itself, and a link
  // planted since the key was opened is not followed. Fails while the key
  // has subkeys; kNotSupported where the system has no such call (the 95
  // family), and then only the parent can delete it, by name.
  [[nodiscard]] virtual Status deleteSelf() { return kNotSupported; }
};

class Registry {
 public:
  virtual ~Registry() = default;
  // The root itself is reached with an empty subKey.
  [[nodiscard]] virtual Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) = 0;
  [[nodiscard]] virtual Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) = 0;
  [[nodiscard]] virtual Status deleteKey(RegRoot root, const std::string& subKey) = 0;
};

}  // namespace cvl::platform
