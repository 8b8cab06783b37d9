#pragma once
// What is left of the uninstaller's own traces once the whole suite went:
// its configuration, log, helper library and registration.
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Every step ignores its failure and goes on. The running uninstaller's
// own program file is not among what it deletes.
void removeUninstallerTraces(RemovalContext& context);

}  // namespace cvl
