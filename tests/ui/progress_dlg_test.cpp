// The progress dialog from its template: marks, result texts, the OK
// button, the bar's steps, and the pixels the gradient and marks paint.
#include "uninstaller/ui/progress_dlg.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/ui/pump_messages.h"
#include "window_test_support.h"

namespace cvl {
namespace {

using test::rgb;

uint32_t buttonFace() {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
int blueOf(uint32_t pixel) { return pixel & 0xFF; }
bool isGradientBlue(uint32_t pixel) { return (pixel & 0xFFFF00) == 0 && blueOf(pixel) >= 94 && blueOf(pixel) <= 180; }

class ProgressDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.create();
    ASSERT_NE(dialog.handle(), nullptr);
  }
  HWND item(int id) const { return GetDlgItem(dialog.handle(), id); }
  bool visible(int id) const { return IsWindowVisible(item(id)) != FALSE; }
  bool markShown(int id) const { return (GetWindowLongA(item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
  HWND bar() const { return item(IDC_PROGRESS_BAR); }

  test::HostWindow owner{300, 200};
  CProgressDlg dialog{owner.handle()};
};

TEST_F(ProgressDlgTest, StartsHiddenWithNoMarksAndADisabledOkAndASilentFinishDestroysIt) {
  EXPECT_FALSE(IsWindowVisible(dialog.handle()));
  EXPECT_EQ(test::textOf(dialog.handle()), "Removing Components ");
  for (int id : {IDC_MARK_1, IDC_MARK_2, IDC_MARK_3, IDC_MARK_4, IDC_MARK_5, IDC_RESULT_SUCCESS, IDC_RESULT_PARTIAL}) {
    EXPECT_FALSE(markShown(id)) << id;
  }
  EXPECT_FALSE(IsWindowEnabled(item(IDC_PROGRESS_OK)));
  EXPECT_TRUE(GetParent(dialog.handle()) == owner.handle() || GetWindow(dialog.handle(), GW_OWNER) == owner.handle());
  dialog.finish(true);
  EXPECT_EQ(dialog.handle(), nullptr);
}

TEST_F(ProgressDlgTest, MarksAppearIndependentlyAndStay) {
  dialog.setProgressVisible(true);
  EXPECT_TRUE(IsWindowVisible(dialog.handle()));
  dialog.showStep(3);
  EXPECT_TRUE(visible(IDC_MARK_3));
  EXPECT_FALSE(markShown(IDC_MARK_1) || markShown(IDC_MARK_2));
  dialog.showStep(5);
  dialog.showStep(1);
  EXPECT_TRUE(visible(IDC_MARK_1) && visible(IDC_MARK_3) && visible(IDC_MARK_5));
  dialog.showStep(0);
  dialog.showStep(CProgressDlg::kPlanWritten + 1);
  EXPECT_FALSE(IsWindowEnabled(item(IDC_PROGRESS_OK))) << "unknown steps change nothing";
  EXPECT_EQ(dialog.result(), 0);
}

// OK then asks the owner to cancel, which closes the run.
TEST_F(ProgressDlgTest, SuccessAndPartialResultsShowTheirTextAndFocusOk) {
  dialog.setProgressVisible(true);
  dialog.showStep(CProgressDlg::kSuccess);
  EXPECT_TRUE(visible(IDC_RESULT_SUCCESS));
  EXPECT_FALSE(markShown(IDC_RESULT_PARTIAL));
  EXPECT_TRUE(IsWindowEnabled(item(IDC_PROGRESS_OK)));
  test::pumpFor(30);
  EXPECT_EQ(GetFocus(), item(IDC_PROGRESS_OK));
  EXPECT_EQ(test::textOf(item(IDC_RESULT_SUCCESS)), "Uninstalled successfully.");
  SendMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(IDC_PROGRESS_OK, BN_CLICKED),
               reinterpret_cast<LPARAM>(item(IDC_PROGRESS_OK)));
  test::pumpFor(30);
  EXPECT_EQ(owner.lastCommand, IDCANCEL);

  CProgressDlg partial(owner.handle());
  partial.create();
  partial.showStep(CProgressDlg::kPartial);
  EXPECT_EQ(partial.result(), CProgressDlg::kPartial);
  HWND partialText = GetDlgItem(partial.handle(), IDC_RESULT_PARTIAL);
  EXPECT_EQ(test::textOf(partialText), "Uninstallation complete.  Some elements could not be removed.  You should "
                                       "manually remove items related to the application.");
  EXPECT_TRUE(GetWindowLongA(partialText, GWL_STYLE) & WS_VISIBLE);
}

// Ticks step the bar and the native control; the printed pixels show the
// gradient up to the filled edge, and the screen shows the same.
TEST_F(ProgressDlgTest, TicksStepTheBarAndItsGradientPixelsAtNothingHalfAndFull) {
  dialog.setProgressVisible(true);
  dialog.setRange(0, 40);
  test::Picture empty = test::printClient(bar(), rgb(255, 0, 255));
  ASSERT_GT(empty.width, 100);
  for (int x = 0; x < empty.width; x += 7) ASSERT_EQ(empty.at(x, empty.height / 2), buttonFace()) << x;

  for (int i = 0; i < 20; ++i) dialog.tick();
  EXPECT_EQ(dialog.bar().state().position, 20);
  EXPECT_EQ(SendMessageA(bar(), PBM_GETPOS, 0, 0), 20);
  test::Picture half = test::printClient(bar(), rgb(255, 0, 255));
  int w = half.width, y = half.height / 2;
  EXPECT_EQ(half.at(0, y), rgb(0, 0, 94));
  EXPECT_EQ(half.at(0, half.height - 1), rgb(0, 0, 94)) << "bands reach the bottom edge";
  EXPECT_TRUE(isGradientBlue(half.at(w / 2 - 1, y)));
  EXPECT_EQ(half.at(w / 2 + 6, y), buttonFace());
  EXPECT_EQ(half.at(w - 1, y), buttonFace());
  EXPECT_LT(blueOf(half.at(w / 4, y)), blueOf(half.at(w / 2 - 1, y))) << "brighter toward the right";
  test::Picture shown = test::grabFromScreen(bar());
  ASSERT_EQ(shown.width, w);
  for (int x = 0; x < w; x += 5) EXPECT_EQ(shown.at(x, y), half.at(x, y)) << "on screen at " << x;

  // The driver's final tick goes one past the maximum.
  for (int i = 0; i < 21; ++i) dialog.tick();
  test::Picture full = test::printClient(bar(), rgb(255, 0, 255));
  EXPECT_EQ(dialog.bar().state().position, 40);
  EXPECT_EQ(full.at(0, y), rgb(0, 0, 94));
  EXPECT_TRUE(isGradientBlue(full.at(w - 1, y)));
  EXPECT_GE(blueOf(full.at(w - 2, y)), 175);
  for (int x = 0; x < w; ++x) ASSERT_TRUE(isGradientBlue(full.at(x, y))) << "gap at " << x;

  dialog.setRange(0, 4);
  EXPECT_EQ(dialog.bar().state().position, 0) << "a new range starts at its minimum";
}

TEST_F(ProgressDlgTest, PhaseMarkIsBlackWithWhiteSeeThrough) {
  dialog.showStep(2);
  test::Picture mark = test::printClient(item(IDC_MARK_2), rgb(0, 200, 0));
  const auto black = std::count(mark.pixels.begin(), mark.pixels.end(), 0u);
  const auto underlay = std::count(mark.pixels.begin(), mark.pixels.end(), rgb(0, 200, 0));
  EXPECT_GT(black, 10);
  EXPECT_GT(underlay, black) << "white must let the background through";
  EXPECT_EQ(black + underlay, static_cast<std::ptrdiff_t>(mark.pixels.size())) << "no other colour";
}

TEST(PumpMessages, DispatchesWaitingMessagesAndPassesQuitOn) {
  test::HostWindow host(100, 100);
  PostMessageA(host.handle(), WM_COMMAND, 4242, 0);
  EXPECT_TRUE(pumpMessages());
  EXPECT_EQ(host.lastCommand, 4242);

  PostQuitMessage(3);
  EXPECT_FALSE(pumpMessages());
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "quit is posted again";
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace cvl
