// The selection dialog from template 102 over the sample suite's catalogue:
// what the tree shows, pre-checks from the command line, the "Uninstall"
// button, and how a run ends for each result of the removal.
#include "uninstaller/ui/uninstall_dlg.h"

#include <gtest/gtest.h>

#include <memory>
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
  void SetUp() override {
    fixture::install(machine, fixture::sampleSuite("C:\\Suite", "C:\\Programs"));
    ASSERT_TRUE(loadConfiguration(machine, store, catalogue));
  }

  CUninstallDlg& open(const std::string& commandLine, bool silent = false) {
    CUninstallDlg::Options options;
    options.silent = silent;
    options.commandLine = commandLine;
    options.beforeSessionEnds = [this] { ++saves; };
    dialog = std::make_unique<CUninstallDlg>(nullptr, options, catalogue,
                                             [this](const SelectionTree& tree, ProgressWindow& progress) {
                                               ++removals;
                                               return removal(tree, progress);
                                             });
    dialog->createModeless();
    test::pumpFor(30);
    return *dialog;
  }

  HTREEITEM row(const std::string& text, HTREEITEM parent = TVI_ROOT) {
    HWND tree = dialog->tree().handle();
    for (HTREEITEM item = firstChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
      if (text == itemText(tree, item)) return item;
    }
    return nullptr;
  }
  std::vector<std::string> rows(HTREEITEM parent = TVI_ROOT) { return childTexts(dialog->tree().handle(), parent); }
  CheckState state(HTREEITEM item) { return dialog->tree().stateOf(item); }
  bool uninstallEnabled() { return IsWindowEnabled(GetDlgItem(dialog->handle(), IDOK)) != FALSE; }
  std::string description() {
    char text[512] = {};
    GetDlgItemTextA(dialog->handle(), IDC_DESCRIPTION, text, sizeof text);
    return text;
  }

  platform::MemoryPlatform machine;
  CConfigStore store;
  Catalogue catalogue;
  std::unique_ptr<CUninstallDlg> dialog;
  int removals = 0;
  int saves = 0;
  std::function<bool(const SelectionTree&, ProgressWindow&)> removal = [](const SelectionTree&, ProgressWindow&) {
    return false;
  };
};

TEST_F(UninstallDlgTest, ShowsVisibleTopComponentsSortedWithTheirShownMembers) {
  open("cvlunst2.exe");
  EXPECT_EQ(rows(), (std::vector<std::string>{"Corvel Fonts", "Corvel Office", "Corvel Viewer"}));
  EXPECT_EQ(rows(row("Corvel Office")), (std::vector<std::string>{"Corvel Sheets", "Corvel Writer"}))
      << "the hidden runtime member is left out";
  EXPECT_TRUE(rows(row("Corvel Viewer")).empty());
  char instructions[1024] = {};
  GetDlgItemTextA(dialog->handle(), IDC_INSTRUCTIONS, instructions, sizeof instructions);
  EXPECT_EQ(std::string(instructions).substr(0, 52), "You may select one or more components to uninstall. ");
  EXPECT_TRUE(GetWindowLongA(dialog->tree().handle(), GWL_STYLE) & TVS_LINESATROOT) << "a top component expands";
  EXPECT_EQ(GetDlgCtrlID(dialog->tree().handle()), IDC_COMPONENT_TREE);
}

TEST_F(UninstallDlgTest, NamingOneMemberChecksItAndLeavesItsGroupPartlyChecked) {
  open("cvlunst2.exe /silentx \"corvel writer\"");
  HTREEITEM office = row("Corvel Office");
  EXPECT_EQ(state(row("Corvel Writer", office)), CheckState::Checked);
  EXPECT_EQ(state(row("Corvel Sheets", office)), CheckState::Unchecked);
  EXPECT_EQ(state(office), CheckState::Partly) << "a later unchecked sibling must not leave the group checked";
  EXPECT_EQ(state(row("Corvel Viewer")), CheckState::Unchecked);
  EXPECT_TRUE(uninstallEnabled());
}

TEST_F(UninstallDlgTest, UninstallAllChecksEveryItem) {
  open("C:\\CVLUNST2.EXE UNINSTALLALL");
  HTREEITEM office = row("Corvel Office");
  for (HTREEITEM item : {row("Corvel Fonts"), office, row("Corvel Viewer"), row("Corvel Sheets", office),
                         row("Corvel Writer", office)}) {
    EXPECT_EQ(state(item), CheckState::Checked);
  }
}

TEST_F(UninstallDlgTest, UninstallFollowsTheChecksAndTheDescriptionTheCaret) {
  open("cvlunst2.exe");
  EXPECT_FALSE(uninstallEnabled());
  EXPECT_EQ(description(), "The suite's screen and printer fonts.") << "the first row is the caret";
  HTREEITEM viewer = row("Corvel Viewer");
  dialog->tree().toggleItem(viewer);
  EXPECT_TRUE(uninstallEnabled());
  TreeView_SelectItem(dialog->tree().handle(), viewer);
  test::pumpFor(20);
  EXPECT_EQ(description(), "Views every document of the suite without changing it.");
  dialog->tree().toggleItem(viewer);
  EXPECT_FALSE(uninstallEnabled());
}

TEST_F(UninstallDlgTest, EnterWithNothingCheckedDoesNotStartTheRemoval) {
  open("cvlunst2.exe");
  SendMessageA(dialog->handle(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(removals, 0);
  EXPECT_TRUE(IsWindowVisible(dialog->handle()));
}

TEST_F(UninstallDlgTest, SilentRunWithNothingNamedStartsTheRemovalAndEndsAsNothingChecked) {
  open("cvlunst2.exe /SILENT", true);
  EXPECT_EQ(removals, 1);
  EXPECT_EQ(dialog->outcome(), CUninstallDlg::Outcome::NothingChecked);
  EXPECT_FALSE(IsWindowVisible(dialog->handle()));
}

TEST_F(UninstallDlgTest, SilentRunHandsTheTreeToTheRemoval) {
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
  EXPECT_EQ(removals, 1);
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

// The instructions end with "Please select the components to uninstall:",
// which must stand above the tree in the dialog's own font.
TEST_F(UninstallDlgTest, TheInstructionsFitTheSpaceAboveTheTree) {
  open("cvlunst2.exe");
  HWND label = GetDlgItem(dialog->handle(), IDC_INSTRUCTIONS);
  char text[2048] = {};
  GetWindowTextA(label, text, sizeof text);
  RECT space;
  GetClientRect(label, &space);
  RECT needed{0, 0, space.right, 0};
  HDC dc = GetDC(label);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  EXPECT_STREQ(face, "MS Sans Serif");
  EXPECT_LE(needed.bottom, space.bottom) << "the text needs " << needed.bottom << " pixels in " << face;
}

// The dialog sorts the components itself and appends them; the result must
// be what the tree's own sorted insertion gives for the same texts.
TEST(UninstallDlgOrder, MatchesTheTreesOwnSortedInsertion) {
  const std::vector<std::string> texts = {"beta", "Alpha", "_under", "alpha", "Zeta", "10 Tools", "9 Tools",
                                          "a-b",  "ab",    "Beta",   "a b",  "Ab",   "Corvel Office"};
  fixture::Installation suite = fixture::sampleSuite("C:\\Suite", "C:\\Programs");
  for (size_t i = 0; i < texts.size(); ++i) {
    fixture::Component extra;
    extra.name = "EXTRA" + std::to_string(i);
    extra.displayText = texts[i];
    suite.components.push_back(extra);
    suite.topComponents.push_back(extra.name);
  }
  platform::MemoryPlatform machine;
  fixture::install(machine, suite);
  CConfigStore store;
  Catalogue catalogue;
  ASSERT_TRUE(loadConfiguration(machine, store, catalogue));
  CUninstallDlg dialog(nullptr, {}, catalogue, [](const SelectionTree&, ProgressWindow&) { return false; });
  ASSERT_NE(dialog.createModeless(), nullptr);

  HWND reference = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 10, 10, dialog.handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  for (const std::string& name : catalogue.topComponents) {
    const CComponent* component = catalogue.componentMap.find(name);
    if (component == nullptr || !component->visible) continue;
    const std::string text = catalogue.displayTextOf(*component);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(text.c_str());
    TreeView_InsertItem(reference, &insert);
  }
  EXPECT_EQ(childTexts(dialog.tree().handle(), TVI_ROOT), childTexts(reference, TVI_ROOT));
  DestroyWindow(reference);
}

}  // namespace
}  // namespace cvl
