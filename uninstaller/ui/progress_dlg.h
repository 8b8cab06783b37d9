#pragma once
// The window of one removal run: five phase marks, the gradient bar and, at
// the end, a result text with an OK button that closes the owning dialog.
#include <windows.h>

#include <array>
#include <optional>

#include "uninstaller/engine/driver_ports.h"
#include "uninstaller/ui/gradient_progress.h"
#include "uninstaller/ui/modeless_dialog_keys.h"
#include "uninstaller/ui/transparent_bitmap.h"

namespace cvl {

class CProgressDlg : public ProgressWindow {
 public:
  static constexpr int kSuccess = static_cast<int>(RunStep::Succeeded);
  static constexpr int kPartial = static_cast<int>(RunStep::PartlyDone);
  static constexpr int kRestartNeeded = static_cast<int>(RunStep::RestartNeeded);
  static constexpr int kPlanWritten = static_cast<int>(RunStep::PlanWritten);

  explicit CProgressDlg(HWND owner);
  CProgressDlg(const CProgressDlg&) = delete;
  CProgressDlg& operator=(const CProgressDlg&) = delete;
  ~CProgressDlg() override;

  void create() override;
  std::uintptr_t windowHandle() const override { return reinterpret_cast<std::uintptr_t>(window_); }
  void setProgressVisible(bool visible) override;
  void showStep(int step) override;
  void setRange(int minimum, int maximum) override;
  void tick() override;
  void finish(bool silent) override;
  void showLogNotWritten() override;

  HWND handle() const { return window_; }
  CGradientProgress& bar() { return bar_; }
  // 6 to 9 once the run has shown its result, else 0.
  int result() const { return result_; }

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void onInit();
  void onOk();
  void refresh() const;

  HWND owner_;
  HWND window_ = nullptr;
  CGradientProgress bar_;
  std::array<CTransparentBitmap, 5> marks_;
  // After the run the selection dialog's modal loop carries this dialog's keys.
  std::optional<ModelessDialogKeys> keys_;
  int result_ = 0;
};

}  // namespace cvl
