// Cvlunst2.exe: the Corvel System Uninstaller.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "uninstaller/app/uninstall_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  cvl::platform::Win32Platform platform;
  cvl::CUninstallApp app(platform, GetCommandLineA());
  return app.run();
}
