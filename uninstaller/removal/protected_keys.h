#pragma once
// Registry keys the uninstaller must never delete, whatever the install log
// says: roots, their first-level keys and the containers every program shares.
#include <string>

#include "platform/registry.h"

namespace cvl {

bool isProtectedKey(platform::RegRoot root, const std::string& subKey);

}  // namespace cvl
