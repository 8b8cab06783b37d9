#include "uninstaller/ui/running_programs_dlg.h"

#include "uninstaller/resources/resource_ids.h"

namespace cvl {
namespace {

INT_PTR CALLBACK runningProgramsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& programs = *reinterpret_cast<const std::vector<std::string>*>(lParam);
      for (const std::string& program : programs) {
        SendDlgItemMessageA(window, IDC_RUNNING_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(program.c_str()));
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void showRunningPrograms(HWND parent, const std::vector<std::string>& programs) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_RUNNING_PROGRAMS), parent, &runningProgramsProc,
                  reinterpret_cast<LPARAM>(&programs));
}

}  // namespace cvl
