#pragma once
// Registry keys reached one level at a time, each opened as itself, so that
// no registry link is ever followed. A user may plant a link wherever a
// removal looks in the user's own hive (every machine key has its twin
// there); followed, it would lead the removal into the tree it names. A
// link is never deleted either: RegDeleteKey would delete what it names.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace cvl {

// Why a key stayed, for the run's record: the key in key-path notation
// ("HKCU\Software\...") and the reason.
using KeptKeyReport = std::function<void(const std::string& keyPath, const std::string& reason)>;
void reportKept(const KeptKeyReport& kept, platform::RegRoot root, const std::string& subKey, const char* reason);

enum class Reached { Key, Link, Nothing };

// Opens name below parent as itself, for access (kQueryValue is added: it
// tells a link). A link is closed and left alone; Nothing means it could
// not be opened or told apart from a link. Asked for the key's counts, it
// reads them first, and a key whose values are too few or too short to
// hold a link's is not asked about its link value.
Reached openOwnLevel(const platform::RegKey& parent, const std::string& name, uint32_t access,
                     platform::RegKeyPtr& out, platform::Status* failure = nullptr,
                     std::optional<platform::RegKeyInfo>* counts = nullptr);

// The same, and a link is reported: path is name's path below root.
Reached openAsItself(const platform::RegKey& parent, const std::string& name, uint32_t access,
                     platform::RegRoot root, const std::string& path, platform::RegKeyPtr& out,
                     const KeptKeyReport& kept);

// openOwnLevel asking for the right to delete the key too, and without it
// when that is refused: a key that may be emptied but not deleted is still
// emptied.
Reached openOwnLevelToDelete(const platform::RegKey& parent, const std::string& name, uint32_t access,
                             platform::RegKeyPtr& out, std::optional<platform::RegKeyInfo>* counts = nullptr);
// The same, and a link is reported, as openAsItself does.
Reached openToDeleteAsItself(const platform::RegKey& parent, const std::string& name, uint32_t access,
                             platform::RegRoot root, const std::string& path, platform::RegKeyPtr& out,
                             const KeptKeyReport& kept, std::optional<platform::RegKeyInfo>* counts = nullptr);

// Deletes a key opened as itself, through its own handle where the system
// can (no name is looked up again), else by name through its parent; the
// handle is closed either way.
platform::Status deleteOpenedKey(platform::RegKeyPtr& key, platform::RegKey& parent, const std::string& name);
// The same, only when the key holds no value and no subkey; whether it went.
bool deleteOpenedKeyIfEmpty(platform::RegKeyPtr& key, platform::RegKey& parent, const std::string& name);

// Where a key lies: the key holding it, opened as itself, and its name there.
struct KeyPlace {
  std::shared_ptr<platform::RegKey> parent;
  std::string parentPath;  // below the root; levels joined by one backslash
  std::string name;
};

std::string pathBelow(const std::string& parentPath, const std::string& name);

// Why a link stays, for the run's record.
inline constexpr const char* kLinkReason = "registry link; what it names is not touched";

}  // namespace cvl
