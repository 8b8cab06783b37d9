#pragma once
// Which Windows family runs the program: the NT family has registry links
// and per-user security, the 95 family has neither.
namespace cvl::platform {

bool runsOnNtFamily();

}  // namespace cvl::platform
