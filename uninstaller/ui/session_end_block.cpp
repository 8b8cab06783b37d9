#include "uninstaller/ui/session_end_block.h"

namespace cvl {
namespace {

using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyReason = BOOL(WINAPI*)(HWND);

// user32 is loaded with the program; the functions exist from the NT 6 family on.
template <class Function>
Function user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

SessionEndBlock::SessionEndBlock(HWND window, const wchar_t* reason) : window_(window) {
  auto create = user32Function<CreateReason>("ShutdownBlockReasonCreate");
  created_ = window_ != nullptr && create != nullptr && create(window_, reason);
}

SessionEndBlock::~SessionEndBlock() {
  if (!created_) return;
  if (auto destroy = user32Function<DestroyReason>("ShutdownBlockReasonDestroy")) destroy(window_);
}

}  // namespace cvl
