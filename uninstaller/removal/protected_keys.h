#pragma once
// Registry keys the uninstaller must never delete, whatever the install log
// says: roots, their first-level keys and the containers every program shares.
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace cvl {

// Who is removing: a component's phases may never touch the uninstaller's
// own records; the final clean-up that ends the uninstaller's life may.
enum class KeyScope { Component, UninstallerRecords };

// Roots, their first-level keys, the containers every program shares and,
// for a component, the suite's root key and the uninstaller's records.
bool isProtectedKey(platform::RegRoot root, std::string_view subKey, KeyScope scope = KeyScope::Component);

}  // namespace cvl
