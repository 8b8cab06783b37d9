// The selection dialog from template 102 over the sample suite's catalogue:
// what the tree shows, pre-checks from the command line, the "Uninstall"
// button, and how a run ends for each result of the removal.
#include "uninstaller/ui/uninstall_dlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/memory/memory_platform.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"
#include "window_test_support.h"

namespace cvl {
namespace {

HTREEITEM firstChild(HWND tree, HTREEITEM parent) {
  return parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
}

std::string itemText(HWND tree, HTREEITEM item) {
  char buffer[128] = {};
  TVITEMA query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = buffer;
  query.cchTextMax = sizeof buffer;
  TreeView_GetItem(tree, &query);
  return buffer;
}

std::vector<std::string> childTexts(HWND tree, HTREEITEM parent) {
  std::vector<std::string> texts;
  for (HTREEITEM item = firstChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
    texts.push_back(itemText(tree, item));
  }
  return texts;
}

class UninstallDlgTest : public ::testing::Test {
 protected:
  // Installs the suite as it stands and opens a new dialog over it.
  CUninstallDlg& open(const std::string& commandLine, bool silent = false) {
    dialog.reset();
    catalogue.emplace();
    fixture::install(machine, suite);
    EXPECT_TRUE(loadConfiguration(machine, store, *catalogue));
    CUninstallDlg::Options options;
    options.silent = silent;
    options.commandLine = commandLine;
    options.beforeSessionEnds = [this] { ++saves; };
    dialog = std::make_unique<CUninstallDlg>(nullptr, options, *catalogue,
                                             [this](const SelectionTree& tree, ProgressWindow& progress) {
                                               ++removals;
                                               return removal(tree, progress);
                                             });
    EXPECT_NE(dialog->createModeless(), nullptr);
    test::pumpFor(30);
    return *dialog;
  }

  HTREEITEM row(const std::string& text, HTREEITEM parent = TVI_ROOT) {
    HTREEITEM item = firstChild(tree(), parent);
    while (item && itemText(tree(), item) != text) item = TreeView_GetNextSibling(tree(), item);
    return item;
  }
  HWND tree() { return dialog->tree().handle(); }
  std::vector<std::string> rows(HTREEITEM parent = TVI_ROOT) { return childTexts(tree(), parent); }
  CheckState state(HTREEITEM item) { return dialog->tree().stateOf(item); }
  bool uninstallEnabled() { return IsWindowEnabled(GetDlgItem(dialog->handle(), IDOK)) != FALSE; }
  std::string textOf(int id) { return test::textOf(GetDlgItem(dialog->handle(), id)); }

  fixture::Installation suite = fixture::sampleSuite("C:\\Suite", "C:\\Programs");
  platform::MemoryPlatform machine;
  CConfigStore store;
  std::optional<Catalogue> catalogue;  // new for each dialog
  std::unique_ptr<CUninstallDlg> dialog;
  int removals = 0;
  int saves = 0;
  std::function<bool(const SelectionTree&, ProgressWindow&)> removal = [](auto&, auto&) { return false; };
};

// The instructions end with "Please select the components to uninstall:",
// which must stand above the tree in the dialog's own font.
TEST_F(UninstallDlgTest, ShowsVisibleTopComponentsSortedWithTheirShownMembersBelowInstructionsThatFit) {
  open("cvlunst2.exe");
  EXPECT_EQ(rows(), (std::vector<std::string>{"Corvel Fonts", "Corvel Office", "Corvel Viewer"}));
  EXPECT_EQ(rows(row("Corvel Office")), (std::vector<std::string>{"Corvel Sheets", "Corvel Writer"}))
      << "the hidden runtime member is left out";
  EXPECT_TRUE(rows(row("Corvel Viewer")).empty());
  EXPECT_EQ(textOf(IDC_INSTRUCTIONS).substr(0, 52), "You may select one or more components to uninstall. ");
  EXPECT_TRUE(GetWindowLongA(tree(), GWL_STYLE) & TVS_LINESATROOT) << "a top component expands";
  EXPECT_EQ(GetDlgCtrlID(tree()), IDC_COMPONENT_TREE);

  HWND label = GetDlgItem(dialog->handle(), IDC_INSTRUCTIONS);
  RECT space;
  GetClientRect(label, &space);
  RECT needed{0, 0, space.right, 0};
  HDC dc = GetDC(label);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  DrawTextA(dc, test::textOf(label).c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  EXPECT_STREQ(face, "MS Sans Serif");
  EXPECT_LE(needed.bottom, space.bottom) << "the text needs " << needed.bottom << " pixels in " << face;
}

// Fonts, Office, Viewer, and Office's Sheets and Writer, as each command line
// pre-checks them; a later unchecked sibling must not leave a group checked.
TEST_F(UninstallDlgTest, TheCommandLinePreChecksWhatItNames) {
  using enum CheckState;
  const std::pair<const char*, std::vector<CheckState>> cases[] = {
      {"cvlunst2.exe /silentx \"corvel writer\"", {Unchecked, Partly, Unchecked, Unchecked, Checked}},
      {"C:\\CVLUNST2.EXE UNINSTALLALL", {Checked, Checked, Checked, Checked, Checked}},
  };
  for (const auto& [commandLine, expected] : cases) {
    open(commandLine);
    HTREEITEM office = row("Corvel Office");
    std::vector<CheckState> states;
    for (HTREEITEM item : {row("Corvel Fonts"), office, row("Corvel Viewer"), row("Corvel Sheets", office),
                           row("Corvel Writer", office)}) {
      states.push_back(state(item));
    }
    EXPECT_EQ(states, expected) << commandLine;
    EXPECT_TRUE(uninstallEnabled()) << commandLine;
  }
}

TEST_F(UninstallDlgTest, UninstallFollowsTheChecksAndTheDescriptionTheCaret) {
  open("cvlunst2.exe");
  EXPECT_FALSE(uninstallEnabled());
  EXPECT_EQ(textOf(IDC_DESCRIPTION), "The suite's screen and printer fonts.") << "the first row is the caret";
  HTREEITEM viewer = row("Corvel Viewer");
  dialog->tree().toggleItem(viewer);
  EXPECT_TRUE(uninstallEnabled());
  TreeView_SelectItem(tree(), viewer);
  test::pumpFor(20);
  EXPECT_EQ(textOf(IDC_DESCRIPTION), "Views every document of the suite without changing it.");
  dialog->tree().toggleItem(viewer);
  EXPECT_FALSE(uninstallEnabled());

  SendMessageA(dialog->handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(removals, 0) << "Enter with nothing checked starts nothing";
  EXPECT_TRUE(IsWindowVisible(dialog->handle()));
}

// Hidden, the dialog starts the removal at once: with nothing named it ends
// as nothing checked, else the removal gets the tree as the command line set it.
TEST_F(UninstallDlgTest, ASilentRunStartsTheRemovalAtOnce) {
  open("cvlunst2.exe /SILENT", true);
  EXPECT_EQ(removals, 1);
  EXPECT_EQ(dialog->outcome(), CUninstallDlg::Outcome::NothingChecked);
  EXPECT_FALSE(IsWindowVisible(dialog->handle()));

  CheckState firstState = CheckState::Unchecked;
  removal = [&](const SelectionTree& tree, ProgressWindow& progress) {
    firstState = tree.checkState(tree.firstRoot());
    progress.create();
    progress.setProgressVisible(false);
    progress.showStep(7);
    progress.finish(true);
    return true;
  };
  open("cvlunst2.exe /SILENT UNINSTALLALL", true);
  EXPECT_EQ(removals, 2);
  EXPECT_EQ(firstState, CheckState::Checked);
  EXPECT_EQ(dialog->outcome(), CUninstallDlg::Outcome::RemovalRan);
}

// Close requests, both buttons and the end of the session come in while the
// removal lets messages through: nothing it uses may go, the session is
// refused, and a session that ends anyway gets the store saved first.
TEST_F(UninstallDlgTest, DuringARemovalCloseRequestsWaitAndTheSessionIsRefused) {
  bool intact = false, uninstallDisabled = false;
  LRESULT sessionAnswer = -1;
  removal = [&](const SelectionTree&, ProgressWindow& progress) {
    progress.create();
    HWND window = dialog->handle();
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    progress.tick();
    sessionAnswer = SendMessageA(window, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    intact = IsWindow(window) && dialog->progress() == &progress && IsWindow(dialog->progress()->handle());
    uninstallDisabled = !IsWindowEnabled(GetDlgItem(window, IDOK));
    progress.showStep(6);
    progress.finish(false);
    return true;
  };
  open("cvlunst2.exe UNINSTALLALL");
  SendMessageA(dialog->handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(removals, 1) << "Uninstall during the run starts nothing";
  EXPECT_TRUE(intact);
  EXPECT_TRUE(uninstallDisabled);
  EXPECT_EQ(sessionAnswer, FALSE);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(dialog->outcome(), CUninstallDlg::Outcome::RemovalRan);
  EXPECT_EQ(SendMessageA(dialog->handle(), WM_QUERYENDSESSION, 0, 0), TRUE) << "after the run the session may end";
}

// The dialog sorts the components itself and appends them; the result must
// be what the tree's own sorted insertion gives for the same texts.
TEST_F(UninstallDlgTest, TheOrderMatchesTheTreesOwnSortedInsertion) {
  const std::vector<std::string> texts = {"beta", "Alpha", "_under", "alpha", "Zeta", "10 Tools", "9 Tools",
                                          "a-b",  "ab",    "Beta",   "a b",  "Ab",   "Corvel Office"};
  for (size_t i = 0; i < texts.size(); ++i) {
    suite.components.push_back({.name = "EXTRA" + std::to_string(i), .displayText = texts[i]});
    suite.topComponents.push_back(suite.components.back().name);
  }
  open("cvlunst2.exe");
  CComponentTree reference;
  ASSERT_TRUE(reference.create(dialog->handle(), RECT{0, 0, 10, 10}, 1, WS_CHILD));
  for (const std::string& name : catalogue->topComponents) {
    const CComponent* component = catalogue->componentMap.find(name);
    if (component && component->visible) {
      reference.insertItem(catalogue->displayTextOf(*component), 0, 0, nullptr, TVI_ROOT, TVI_SORT);
    }
  }
  EXPECT_EQ(rows(), childTexts(reference.handle(), TVI_ROOT));
}

}  // namespace
}  // namespace cvl
