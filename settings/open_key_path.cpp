#include "settings/open_key_path.h"

#include <vector>

namespace cvl::settings {

namespace {

// A key name has at most 255 characters, so every piece can be this long.
constexpr size_t kPieceLimit = 255;

// Whole names joined with backslashes, as many to a piece as fit.
std::vector<std::string> piecesOf(const std::string& path) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(start, end - start);
    if (!pieces.empty() && pieces.back().size() + 1 + name.size() <= kPieceLimit) {
      pieces.back() += '\\' + name;
    } else {
      pieces.push_back(std::move(name));
    }
    start = end + 1;
  }
  return pieces;
}

}  // namespace

platform::Status openKeyPath(platform::Registry& registry, platform::RegRoot root, const std::string& path,
                             uint32_t access, platform::RegKeyPtr& out) {
  if (path.size() <= kPieceLimit) return registry.openKey(root, path, access, out);
  const std::vector<std::string> pieces = piecesOf(path);
  platform::RegKeyPtr key;
  platform::Status status = registry.openKey(root, pieces.front(), access, key);
  for (size_t i = 1; i < pieces.size() && status == platform::kSuccess; ++i) {
    platform::RegKeyPtr below;
    status = key->openKey(pieces[i], access, below);
    key = std::move(below);
  }
  if (status == platform::kSuccess) out = std::move(key);
  return status;
}

}  // namespace cvl::settings
