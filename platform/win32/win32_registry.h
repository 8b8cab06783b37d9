#pragma once
// The Win32 registry through the ANSI functions.
#include "platform/registry.h"

namespace cvl::platform {

class Win32Registry : public Registry {
 public:
  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override;
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override;
  Status deleteKey(RegRoot root, const std::string& subKey) override;
};

}  // namespace cvl::platform
