// The sweep of noted keys: deepest first, and a key goes only once every
// noted key below it went. Each level is opened once, as itself, from its
// parent's handle and kept open while its children are swept, so a key
// noted thousands of levels deep costs no more per level than a short one.
#include <optional>
#include <vector>

#include "uninstaller/removal/empty_key.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl {
namespace {

using namespace platform;

struct Frame {
  const CPathNode* node;
  std::map<std::string, std::unique_ptr<CPathNode>>::const_iterator nextChild;
  size_t pathLength;      // of the subkey up to and including this level
  RegKeyPtr key;          // for its children, opened as itself; null when not reached
  Reached reached;        // the key itself, opened for reading
  bool byPath = false;    // a level with a backslash or none: swept as the path reads
  bool childrenGone = true;
  std::optional<uint32_t> subKeys;  // as first asked: none means no noted child is there
};

class KeySweep {
 public:
  // A plan answers for the keys it removed without asking the machine, so
  // there listing a parent first would cost more than it saves.
  KeySweep(Platform& platform, RegRoot root, const KeptKeyReport& kept)
      : walker_(platform.registry()), root_(root), kept_(kept), listParents_(!platform.changesNothing()) {}

  // The top level is a root prefix: a root stays.
  void sweep(const CPathNode& top, RegKeyPtr rootKey) {
    std::vector<Frame> stack;
    stack.push_back({&top, top.children.begin(), 0, std::move(rootKey), Reached::Key});
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.nextChild != frame.node->children.end()) {
        const CPathNode& child = *(frame.nextChild++)->second;
        stack.push_back(enter(frame, child));
        continue;
      }
      const bool gone = stack.size() > 1 && frame.childrenGone && leave(frame, stack[stack.size() - 2]);
      stack.pop_back();
      if (!stack.empty()) stack.back().childrenGone = gone && stack.back().childrenGone;
    }
  }

 private:
  Frame enter(Frame& parent, const CPathNode& child) {
    subKey_.resize(parent.pathLength);
    if (!subKey_.empty()) subKey_ += '\\';
    subKey_ += child.name;
    Frame frame{&child, child.children.begin(), subKey_.size(), nullptr, Reached::Nothing};
    frame.byPath = parent.byPath || child.name.empty() || child.name.find('\\') != std::string::npos;
    if (frame.byPath || !parent.key || (listParents_ && !holdsSubKeys(parent))) return frame;
    // The key is read for its own emptiness; a key that can be passed but
    // not read is still the way to its children.
    frame.reached = openOwnLevelToDelete(*parent.key, child.name, access::kRead, frame.key);
    if (frame.reached == Reached::Nothing && openOwnLevel(*parent.key, child.name, 0, frame.key) == Reached::Link) {
      frame.reached = Reached::Link;
    }
    if (frame.reached == Reached::Link) reportKept(kept_, root_, subKey_, kLinkReason);
    return frame;
  }

  // Whether the key held a subkey when its first noted child was reached:
  // keys the removal deleted are then not each opened to find them gone.
  static bool holdsSubKeys(Frame& frame) {
    if (!frame.subKeys) {
      RegKeyInfo info;
      if (frame.key->info(info) != kSuccess) return true;
      frame.subKeys = info.subKeyCount;
    }
    return *frame.subKeys > 0;
  }

  // Whether the key is gone afterwards; asked only once its noted subkeys all went.
  bool leave(Frame& frame, const Frame& parent) {
    subKey_.resize(frame.pathLength);
    if (frame.byPath) return removeEmptyKey(walker_, {"", root_, subKey_}, KeyScope::Component, kept_);
    if (isProtectedKey(root_, subKey_, KeyScope::Component)) return false;
    // What cannot be opened is taken for gone; its deletion could not go through either.
    if (frame.reached != Reached::Key) return frame.reached == Reached::Nothing;
    return deleteOpenedKeyIfEmpty(frame.key, *parent.key, frame.node->name);
  }

  KeyWalker walker_;
  RegRoot root_;
  const KeptKeyReport& kept_;
  bool listParents_;
  std::string subKey_;
};

}  // namespace

void NotedPaths::removeNotedKeys(Platform& platform, const KeptKeyReport& kept) const {
  for (const auto& [prefix, top] : keyTree.children) {
    const auto rootPath = parseKeyPath(prefix + "\\");
    RegKeyPtr rootKey;
    if (!rootPath || platform.registry().openKey(rootPath->root, "", access::kRead, rootKey) != kSuccess) continue;
    KeySweep(platform, rootPath->root, kept).sweep(*top, std::move(rootKey));
  }
}

}  // namespace cvl
