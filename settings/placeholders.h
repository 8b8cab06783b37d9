#pragma once
// Replaces user-specific placeholders such as "%APPDATA%" in settings text
// with the current user's folders and name.
#include <string>

#include "platform/platform.h"

namespace cvl::settings {

// Rewrites every complete %token% of the text; a lone '%' and the text after
// it stay as they are.
void expandPlaceholders(platform::Platform& platform, std::string& text);

// Replaces one complete token, '%' signs included, or leaves it unchanged.
void expandPlaceholder(platform::Platform& platform, std::string& token);

}  // namespace cvl::settings
