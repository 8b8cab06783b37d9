// The custom-action entry point the installer calls by name.
#include <windows.h>
#include <msi.h>

#include "customaction/fix_components.h"
#include "customaction/win32/msi_services.h"

// Always success: a wrong guess about a component must never fail the
// installation.
extern "C" UINT __stdcall Fix95Components(MSIHANDLE install) {
  cvl::customaction::MsiServices services;
  cvl::customaction::fixComponents(services, install);
  return ERROR_SUCCESS;
}
