#pragma once
// Keys reached from a root a level at a time, each opened as itself, with
// the levels last walked to kept open. Logged keys mostly share their
// parents, so each parent is opened (and told from a link) once, not once
// per key; a handle kept open also stays on the key it was opened on, so a
// link planted on the way later is not followed either.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "uninstaller/removal/open_as_itself.h"

namespace cvl {

class KeyWalker {
 public:
  explicit KeyWalker(platform::Registry& registry) : registry_(registry) {}
  KeyWalker(const KeyWalker&) = delete;
  KeyWalker& operator=(const KeyWalker&) = delete;

  // Opens the key holding subKey's last level, every level from the root
  // down as itself: a link on the way ends the way there.
  Reached openParent(platform::RegRoot root, const std::string& subKey, KeyPlace& out, const KeptKeyReport& kept);
  // Opens subKey for access, every level as itself; an empty subKey opens
  // the root, which is never a link.
  Reached openKey(platform::RegRoot root, const std::string& subKey, uint32_t access, platform::RegKeyPtr& out,
                  const KeptKeyReport& kept);

  // A key `depth` levels below root was deleted: no level from that depth
  // down is reused. Forgetting more than needed only costs a new open.
  void forgetFrom(platform::RegRoot root, size_t depth);

 private:
  struct Level {
    std::string name;  // as written: only the same spelling reuses the handle
    std::shared_ptr<platform::RegKey> key;
  };
  std::vector<Level>& chainOf(platform::RegRoot root);
  void truncate(platform::RegRoot root, size_t length);

  // A level below the chain found missing: the logged keys below it (and
  // their twins under HKEY_CURRENT_USER, mostly absent) are not asked for
  // it again while the chain up to it stays.
  struct Missing {
    size_t depth = 0;  // the chain's length when it was missed
    std::string name;
  };

  platform::Registry& registry_;
  std::array<std::vector<Level>, 4> chains_;  // one per root
  std::array<std::shared_ptr<platform::RegKey>, 4> roots_;
  std::array<std::optional<Missing>, 4> missing_;
};

// Levels of a subkey path; empty ones (doubled or trailing backslashes) are
// dropped, as the registry drops them.
std::vector<std::string> keyLevelsOf(const std::string& subKey);

}  // namespace cvl
