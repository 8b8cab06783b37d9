// Stowset: saves and restores the user's settings as its command line asks.
// No window, no messages; the exit status is 0 whatever happened.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "settings/settings_saver.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  cvl::platform::Win32Platform platform;
  cvl::settings::runStowset(platform, GetCommandLineA());
  return 0;
}
