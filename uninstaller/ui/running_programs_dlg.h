#pragma once
// Tells the user which programs of the suite still run and must be closed
// before the uninstaller can go on.
#include <windows.h>

#include <string>
#include <vector>

namespace cvl {

// Modal; returns when the user presses OK or closes the dialog.
void showRunningPrograms(HWND parent, const std::vector<std::string>& programs);

}  // namespace cvl
