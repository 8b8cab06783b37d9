// Shows the real progress dialog frozen at one moment of a run, for the
// README's pictures: "mid" (three phases done, bar at half) or "end" (all
// phases, full bar, success text). Stays up for the given seconds.
//   progress_pose mid|end [seconds]
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "uninstaller/ui/progress_dlg.h"
#include "uninstaller/ui/pump_messages.h"

int main(int argc, char** argv) {
  const bool end = argc > 1 && std::strcmp(argv[1], "end") == 0;
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  cvl::CProgressDlg dialog(nullptr);
  dialog.create();
  dialog.setProgressVisible(true);
  const int total = 40;
  dialog.setRange(0, total);
  const int steps = end ? 5 : 3;
  for (int step = 1; step <= steps; ++step) {
    dialog.showStep(step);
    for (int i = 0; i < (end ? 10 : 7); ++i) dialog.tick();
  }
  if (end) {
    dialog.showStep(cvl::CProgressDlg::kSuccess);
    dialog.tick();
  }
  DWORD until = GetTickCount() + seconds * 1000;
  while (GetTickCount() < until && dialog.handle()) {
    cvl::pumpMessages();
    Sleep(20);
  }
  return 0;
}
