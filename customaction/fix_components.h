#pragma once
// Re-evaluates the conditions of a running installation's components and
// corrects their planned states: a planned component whose condition is false
// is switched to absent; an unplanned one whose condition is true and whose
// feature is being installed is switched on. Failures skip a component or end
// the work quietly; the installation is never failed by it.
#include "customaction/installer_services.h"

namespace cvl::customaction {

void fixComponents(InstallerServices& services, MsiHandle install);

}  // namespace cvl::customaction
