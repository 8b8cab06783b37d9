#include "uninstaller/ui/modeless_dialog_keys.h"

#include <algorithm>
#include <vector>

namespace cvl {
namespace {

// The dialogs whose keys are passed on; the program is single-threaded.
std::vector<HWND>& registered() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

// IsDialogMessage calls the message filter itself.
bool inFilter = false;

bool passToDialogManager(MSG& message) {
  if (message.hwnd == nullptr) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  const std::vector<HWND>& dialogs = registered();
  if (std::find(dialogs.begin(), dialogs.end(), root) == dialogs.end()) return false;
  inFilter = true;
  const bool handled = IsDialogMessageA(root, &message) != FALSE;
  inFilter = false;
  return handled;
}

}  // namespace

ModelessDialogKeys::ModelessDialogKeys(HWND dialog)
    : dialog_(dialog), hook_(SetWindowsHookExA(WH_MSGFILTER, &ModelessDialogKeys::filter, nullptr, GetCurrentThreadId())) {
  registered().push_back(dialog_);
}

ModelessDialogKeys::~ModelessDialogKeys() {
  std::vector<HWND>& dialogs = registered();
  dialogs.erase(std::find(dialogs.begin(), dialogs.end(), dialog_));
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK ModelessDialogKeys::filter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && !inFilter && passToDialogManager(*reinterpret_cast<MSG*>(lParam))) return TRUE;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace cvl
