#include "uninstaller/ui/component_tree.h"

#include "uninstaller/resources/resource_ids.h"

namespace cvl {
namespace {

HTREEITEM asHandle(SelectionTree::Item item) { return reinterpret_cast<HTREEITEM>(item); }
SelectionTree::Item asItem(HTREEITEM item) { return reinterpret_cast<SelectionTree::Item>(item); }

HBITMAP loadBitmap(int id) {
  return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace

CComponentTree::~CComponentTree() {
  if (handle() && IsWindow(handle())) DestroyWindow(handle());
  if (images_) ImageList_Destroy(images_);
  for (HBITMAP bitmap : {uncheckedBitmap_, checkedBitmap_, partialBitmap_}) {
    if (bitmap) DeleteObject(bitmap);
  }
}

bool CComponentTree::create(HWND parent, const RECT& area, int controlId, DWORD style) {
  HWND window = CreateWindowExA(0, WC_TREEVIEWA, "", style, area.left, area.top, area.right - area.left,
                                area.bottom - area.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return false;
  subclass(window);
  return createImages();
}

bool CComponentTree::createImages() {
  uncheckedBitmap_ = loadBitmap(IDB_CHECK_OFF);
  checkedBitmap_ = loadBitmap(IDB_CHECK_ON);
  partialBitmap_ = loadBitmap(IDB_CHECK_PARTLY);
  images_ = ImageList_Create(19, 16, ILC_COLOR, 0, 3);
  if (images_ == nullptr) return false;
  // The order makes the image index equal to the check state.
  ImageList_Add(images_, uncheckedBitmap_, nullptr);
  ImageList_Add(images_, checkedBitmap_, nullptr);
  ImageList_Add(images_, partialBitmap_, nullptr);
  TreeView_SetImageList(handle(), images_, TVSIL_NORMAL);
  return true;
}

HTREEITEM CComponentTree::insertItem(const std::string& text, int image, int selectedImage, CComponent* component,
                                     HTREEITEM parent, HTREEITEM insertAfter) {
  if (handle() == nullptr) return nullptr;
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = insertAfter;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(text.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage;
  insert.item.lParam = reinterpret_cast<LPARAM>(component);
  return reinterpret_cast<HTREEITEM>(SendMessageA(handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CComponentTree::next(HTREEITEM item, UINT relation) const {
  if (handle() == nullptr) return nullptr;
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

CheckState CComponentTree::stateOf(HTREEITEM item) const {
  TVITEMA query{};
  query.mask = TVIF_IMAGE | TVIF_HANDLE;
  query.hItem = item;
  if (item == nullptr || !SendMessageA(handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) {
    return CheckState::Unchecked;
  }
  return static_cast<CheckState>(query.iImage);
}

void CComponentTree::setState(HTREEITEM item, CheckState state) {
  TVITEMA change{};
  change.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  change.hItem = item;
  change.iImage = change.iSelectedImage = static_cast<int>(state);
  SendMessageA(handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

void CComponentTree::setSubtree(HTREEITEM item, CheckState state) {
  for (HTREEITEM child = next(item, TVGN_CHILD); child; child = next(child, TVGN_NEXT)) {
    setState(child, state);
    setSubtree(child, state);
  }
}

void CComponentTree::checkItem(HTREEITEM item) {
  setSubtree(item, CheckState::Checked);
  setState(item, CheckState::Checked);
  updateAncestors(item);
}

void CComponentTree::uncheckItem(HTREEITEM item) {
  setSubtree(item, CheckState::Unchecked);
  setState(item, CheckState::Unchecked);
  updateAncestors(item);
}

void CComponentTree::toggleItem(HTREEITEM item) {
  if (stateOf(item) != CheckState::Unchecked) {
    uncheckItem(item);
  } else {
    checkItem(item);
  }
  NMTREEVIEWA notice{};
  notice.hdr.hwndFrom = handle();
  notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(handle()));
  notice.hdr.code = TVN_SELCHANGEDA;
  SendMessageA(GetParent(handle()), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}

void CComponentTree::updateAncestors(HTREEITEM item) {
  // Top-level items have nothing to update: skip walking their siblings.
  HTREEITEM parent = next(item, TVGN_PARENT);
  if (parent == nullptr) return;
  CheckState own = stateOf(item);
  bool allClear = true, allSet = true;
  for (UINT direction : {TVGN_NEXT, TVGN_PREVIOUS}) {
    for (HTREEITEM sibling = next(item, direction); sibling; sibling = next(sibling, direction)) {
      CheckState state = stateOf(sibling);
      if (state != CheckState::Unchecked) allClear = false;
      if (state != CheckState::Checked) allSet = false;
    }
  }
  bool uniform = (own == CheckState::Checked && allSet) || (own == CheckState::Unchecked && allClear);
  setState(parent, uniform ? own : CheckState::Partly);
  updateAncestors(parent);
}

bool CComponentTree::anyChecked() const {
  for (HTREEITEM item = next(nullptr, TVGN_ROOT); item; item = next(item, TVGN_NEXT)) {
    if (stateOf(item) != CheckState::Unchecked) return true;
  }
  return false;
}

HTREEITEM CComponentTree::caretItem() const { return next(nullptr, TVGN_CARET); }

HTREEITEM CComponentTree::itemAt(POINT clientPoint, UINT* hitFlags) const {
  TVHITTESTINFO hit{};
  hit.pt = clientPoint;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (hitFlags) *hitFlags = hit.flags;
  return item;
}

void CComponentTree::onClick() {
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(handle(), &cursor);
  UINT flags = 0;
  HTREEITEM item = itemAt(cursor, &flags);
  // Only the box flips the item; a click on the label just selects it.
  if (item && (flags & TVHT_ONITEMICON)) toggleItem(item);
}

bool CComponentTree::handleNotify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != handle() || header.code != static_cast<UINT>(NM_CLICK)) return false;
  onClick();
  result = 0;
  return true;
}

LRESULT CComponentTree::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_SPACE) {
    if (HTREEITEM caret = caretItem()) toggleItem(caret);
  }
  return callOriginal(message, wParam, lParam);
}

SelectionTree::Item CComponentTree::firstRoot() const { return asItem(next(nullptr, TVGN_ROOT)); }
SelectionTree::Item CComponentTree::firstChild(Item item) const { return asItem(next(asHandle(item), TVGN_CHILD)); }
SelectionTree::Item CComponentTree::nextSibling(Item item) const { return asItem(next(asHandle(item), TVGN_NEXT)); }
CheckState CComponentTree::checkState(Item item) const { return stateOf(asHandle(item)); }

CComponent* CComponentTree::component(Item item) const {
  TVITEMA query{};
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = asHandle(item);
  if (item == 0 || !SendMessageA(handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
  return reinterpret_cast<CComponent*>(query.lParam);
}

}  // namespace cvl
