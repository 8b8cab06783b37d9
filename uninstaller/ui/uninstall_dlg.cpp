#include "uninstaller/ui/uninstall_dlg.h"

#include <algorithm>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/resources/resource_ids.h"
#include "uninstaller/startup/command_line.h"
#include "uninstaller/ui/session_end_block.h"

namespace cvl {
namespace {

constexpr int kInstructionsCapacity = 2048;

struct TreeEntry {
  CComponent* component;
  std::string text;
};

// The tree's own sorted insertion compares each new item with its siblings
// one by one, which makes a large catalogue slow to show. Sorting first
// with the same case-blind comparison and appending gives the same order.
void sortLikeTree(std::vector<TreeEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const TreeEntry& a, const TreeEntry& b) {
    return lstrcmpiA(a.text.c_str(), b.text.c_str()) < 0;
  });
}

}  // namespace

CUninstallDlg::CUninstallDlg(HWND parent, Options options, const Catalogue& catalogue, Removal removal)
    : parent_(parent), options_(std::move(options)), catalogue_(catalogue), removal_(std::move(removal)) {
  icon_ = static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

CUninstallDlg::~CUninstallDlg() {
  progress_.reset();
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (icon_) DestroyIcon(icon_);
}

CUninstallDlg::Outcome CUninstallDlg::run() {
  if (options_.silent) {
    createModeless();
    close();
  } else {
    modal_ = true;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SELECTION), parent_, &CUninstallDlg::dialogProc,
                    reinterpret_cast<LPARAM>(this));
  }
  return outcome_;
}

HWND CUninstallDlg::createModeless() {
  CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SELECTION), parent_, &CUninstallDlg::dialogProc,
                     reinterpret_cast<LPARAM>(this));
  if (window_ && !options_.silent) ShowWindow(window_, SW_SHOW);
  return window_;
}

void CUninstallDlg::onInit() {
  if (options_.silent) ShowWindow(window_, SW_HIDE);
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  char instructions[kInstructionsCapacity] = {};
  LoadStringA(GetModuleHandleA(nullptr), IDS_SELECT_INSTRUCTIONS, instructions, kInstructionsCapacity);
  SetDlgItemTextA(window_, IDC_INSTRUCTIONS, instructions);

  createTree();
  // Filling a visible tree item by item redraws and rescales it each time;
  // a large catalogue would take seconds.
  SendMessageA(tree_.handle(), WM_SETREDRAW, FALSE, 0);
  insertComponents(catalogue_.topComponents, TVI_ROOT, [](const CComponent& component) { return component.visible; });
  SendMessageA(tree_.handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_.handle(), nullptr, TRUE);
  if (HTREEITEM first = TreeView_GetFirstVisible(tree_.handle())) TreeView_SelectItem(tree_.handle(), first);
  onSelectionChanged();
  SetFocus(tree_.handle());
  if (options_.silent) onUninstall();
}

void CUninstallDlg::createTree() {
  RECT place;
  GetWindowRect(GetDlgItem(window_, IDC_TREE_PLACE), &place);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES;
  for (const std::string& name : catalogue_.topComponents) {
    const CComponent* component = catalogue_.componentMap.find(name);
    if (component && component->expand) style |= TVS_LINESATROOT;
  }
  tree_.create(window_, place, IDC_COMPONENT_TREE, style);
  SetWindowLongA(tree_.handle(), GWL_EXSTYLE, GetWindowLongA(tree_.handle(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(tree_.handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  SendMessageA(tree_.handle(), WM_SETFONT, SendDlgItemMessageA(window_, IDC_DESCRIPTION, WM_GETFONT, 0, 0), FALSE);
}

void CUninstallDlg::insertComponents(const std::vector<std::string>& names, HTREEITEM parent,
                                     bool (*wanted)(const CComponent&)) {
  std::vector<TreeEntry> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) {
    CComponent* component = catalogue_.componentMap.find(name);
    if (component && wanted(*component)) entries.push_back({component, catalogue_.displayTextOf(*component)});
  }
  sortLikeTree(entries);
  for (const TreeEntry& entry : entries) insertComponent(*entry.component, entry.text, parent);
}

void CUninstallDlg::insertComponent(CComponent& component, const std::string& text, HTREEITEM parent) {
  if (!component.visible) return;
  HTREEITEM item = tree_.insertItem(text, 0, 0, &component, parent, TVI_LAST);
  if (component.expand) {
    insertComponents(component.members, item, [](const CComponent& member) { return member.isEligible(); });
    // A member checked before its unchecked siblings were inserted made this
    // item look fully checked; left so, the removal would take the whole group.
    HTREEITEM firstChild = TreeView_GetChild(tree_.handle(), item);
    if (firstChild && tree_.stateOf(item) != CheckState::Unchecked) tree_.updateAncestors(firstChild);
  }
  if (hasSwitch(options_.commandLine, text) || hasSwitch(options_.commandLine, "UNINSTALLALL")) tree_.checkItem(item);
}

void CUninstallDlg::onSelectionChanged() {
  const CComponent* component = tree_.component(reinterpret_cast<SelectionTree::Item>(tree_.caretItem()));
  std::string description = component ? catalogue_.descriptionOf(*component) : std::string();
  SetDlgItemTextA(window_, IDC_DESCRIPTION, description.c_str());
  HWND uninstall = GetDlgItem(window_, IDOK);
  bool checked = tree_.anyChecked();
  if (!IsWindowEnabled(uninstall) && checked) EnableWindow(uninstall, TRUE);
  if (IsWindowEnabled(uninstall) && !checked) EnableWindow(uninstall, FALSE);
}

void CUninstallDlg::onUninstall() {
  if (removing_) return;
  // Enter reaches the dialog even while the button is disabled.
  HWND uninstall = GetDlgItem(window_, IDOK);
  if (!options_.silent && !IsWindowEnabled(uninstall)) return;
  ShowWindow(window_, SW_HIDE);
  EnableWindow(uninstall, FALSE);
  progress_ = std::make_unique<CProgressDlg>(window_);
  bool ran = false;
  {
    SessionEndBlock block(window_, L"Corvel System components are being removed.");
    removing_ = true;
    ran = removal_(tree_, *progress_);
    removing_ = false;
  }
  if (ran) {
    outcome_ = Outcome::RemovalRan;
    return;
  }
  outcome_ = Outcome::NothingChecked;
  progress_.reset();
  // Nothing to do: a silent run ends; an interactive one gets its dialog back.
  if (!options_.silent) {
    onSelectionChanged();
    ShowWindow(window_, SW_SHOW);
  }
}

// Close requests (WM_CLOSE becomes Cancel) wait until the removal is over.
void CUninstallDlg::onCancel() {
  if (!removing_) close();
}

INT_PTR CUninstallDlg::onQueryEndSession() {
  SetWindowLongPtrA(window_, DWLP_MSGRESULT, removing_ ? FALSE : TRUE);
  return TRUE;
}

void CUninstallDlg::onEndSession(bool ending) {
  if (ending && removing_ && options_.beforeSessionEnds) options_.beforeSessionEnds();
}

void CUninstallDlg::close() {
  if (window_ == nullptr) return;
  if (modal_) {
    EndDialog(window_, IDCANCEL);
  } else {
    DestroyWindow(window_);
  }
}

bool CUninstallDlg::onPaintMinimised() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(window_, &ps);
  return true;
}

INT_PTR CUninstallDlg::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) onUninstall();
      if (LOWORD(wParam) == IDCANCEL) onCancel();
      return TRUE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (tree_.handleNotify(header, result)) {
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      if (header.idFrom == IDC_COMPONENT_TREE &&
          (header.code == static_cast<UINT>(TVN_SELCHANGEDA) || header.code == static_cast<UINT>(TVN_SELCHANGEDW))) {
        onSelectionChanged();
      }
      return FALSE;
    }
    case WM_PAINT:
      return onPaintMinimised();
    case WM_CLOSE:
      // Handled here, not left to become a posted Cancel that a removal
      // ending meanwhile would carry out.
      onCancel();
      return TRUE;
    case WM_QUERYENDSESSION:
      return onQueryEndSession();
    case WM_ENDSESSION:
      onEndSession(wParam != FALSE);
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY:
      progress_.reset();
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK CUninstallDlg::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CUninstallDlg*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    self->window_ = window;
    self->onInit();
    return FALSE;  // the focus is set: the tree has it
  }
  auto* self = reinterpret_cast<CUninstallDlg*>(GetWindowLongPtrA(window, DWLP_USER));
  return self ? self->onMessage(message, wParam, lParam) : FALSE;
}

}  // namespace cvl
