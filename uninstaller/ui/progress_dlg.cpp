#include "uninstaller/ui/progress_dlg.h"

#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/ui/pump_messages.h"

namespace cvl {
namespace {

constexpr int kMarkIds[5] = {IDC_MARK_1, IDC_MARK_2, IDC_MARK_3, IDC_MARK_4, IDC_MARK_5};

int resultTextOf(int step) {
  switch (step) {
    case CProgressDlg::kSuccess: return IDC_RESULT_SUCCESS;
    case CProgressDlg::kPartial: return IDC_RESULT_PARTIAL;
    case CProgressDlg::kRestartNeeded: return IDC_RESULT_RESTART;
    case CProgressDlg::kPlanWritten: return IDC_RESULT_PLAN;
    default: return 0;
  }
}

}  // namespace

CProgressDlg::CProgressDlg(HWND owner) : owner_(owner) {}

CProgressDlg::~CProgressDlg() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void CProgressDlg::create() {
  if (window_ != nullptr) return;
  CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), owner_, &CProgressDlg::dialogProc,
                     reinterpret_cast<LPARAM>(this));
}

void CProgressDlg::onInit() {
  for (int i = 0; i < 5; ++i) marks_[i].attach(kMarkIds[i], window_);
  bar_.attach(GetDlgItem(window_, IDC_PROGRESS_BAR));
  keys_.emplace(window_);
}

void CProgressDlg::setProgressVisible(bool visible) {
  if (window_ == nullptr) return;
  ShowWindow(window_, visible ? SW_SHOWNORMAL : SW_HIDE);
  refresh();
}

void CProgressDlg::showStep(int step) {
  if (window_ == nullptr) return;
  if (step >= 1 && step <= 5) {
    ShowWindow(GetDlgItem(window_, kMarkIds[step - 1]), SW_SHOW);
  } else if (const int text = resultTextOf(step)) {
    result_ = step;
    HWND ok = GetDlgItem(window_, IDC_PROGRESS_OK);
    EnableWindow(ok, TRUE);
    // Return presses OK wherever the focus is.
    SendMessageA(window_, DM_SETDEFID, IDC_PROGRESS_OK, 0);
    ShowWindow(GetDlgItem(window_, text), SW_SHOW);
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
  }
  refresh();
}

void CProgressDlg::setRange(int minimum, int maximum) { bar_.setRange(minimum, maximum); }

void CProgressDlg::tick() {
  pumpMessages();
  bar_.stepIt();
  refresh();
}

void CProgressDlg::finish(bool silent) {
  if (window_ == nullptr) return;
  if (silent) {
    DestroyWindow(window_);
    return;
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
}

void CProgressDlg::showLogNotWritten() {
  if (window_ == nullptr) return;
  ShowWindow(GetDlgItem(window_, IDC_LOG_NOT_WRITTEN), SW_SHOW);
  refresh();
}

void CProgressDlg::refresh() const {
  if (window_ == nullptr) return;
  // The bar is stepped behind the native control's back: make it repaint.
  if (bar_.handle()) InvalidateRect(bar_.handle(), nullptr, FALSE);
  UpdateWindow(window_);
}

void CProgressDlg::onOk() {
  if (owner_ != nullptr) PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

INT_PTR CALLBACK CProgressDlg::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CProgressDlg*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    self->window_ = window;
    self->onInit();
    return TRUE;
  }
  auto* self = reinterpret_cast<CProgressDlg*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PROGRESS_OK) self->onOk();
      return TRUE;
    case WM_DESTROY:
      self->keys_.reset();
      self->window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace cvl
