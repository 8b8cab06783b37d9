#include "settings/key_path.h"

namespace cvl::settings {

std::string joinPath(const std::string& path, const std::string& child) {
  if (path.empty() || path.back() == '\\') return path + child;
  return path + '\\' + child;
}

}  // namespace cvl::settings
