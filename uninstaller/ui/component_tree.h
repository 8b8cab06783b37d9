#pragma once
// The selection tree: a native tree control whose items carry a three-state
// check box as their image. The image index is the check state (0 unchecked,
// 1 checked, 2 partly checked); the item data is the item's component.
// Checking an item checks everything below it, and every ancestor shows
// whether all, none or some of its descendants are checked.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "uninstaller/engine/driver_ports.h"
#include "uninstaller/ui/subclassed_window.h"

namespace cvl {

class CComponentTree : public SubclassedWindow, public SelectionTree {
 public:
  CComponentTree() = default;
  ~CComponentTree() override;

  // Creates the control as a child of parent and gives it the check-box
  // images. False when the window cannot be created.
  bool create(HWND parent, const RECT& area, int controlId, DWORD style);

  // Null when the control has no window.
  HTREEITEM insertItem(const std::string& text, int image, int selectedImage, CComponent* component,
                       HTREEITEM parent, HTREEITEM insertAfter);

  void checkItem(HTREEITEM item);
  void uncheckItem(HTREEITEM item);
  void toggleItem(HTREEITEM item);
  void updateAncestors(HTREEITEM item);
  bool anyChecked() const;

  CheckState stateOf(HTREEITEM item) const;
  HTREEITEM caretItem() const;
  HTREEITEM itemAt(POINT clientPoint, UINT* hitFlags = nullptr) const;

  // The parent hands over the tree's notifications first; true when the
  // tree answered one itself (result in result).
  bool handleNotify(const NMHDR& header, LRESULT& result);

  // SelectionTree.
  Item firstRoot() const override;
  Item firstChild(Item item) const override;
  Item nextSibling(Item item) const override;
  CheckState checkState(Item item) const override;
  CComponent* component(Item item) const override;

 protected:
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool createImages();
  void setState(HTREEITEM item, CheckState state);
  void setSubtree(HTREEITEM item, CheckState state);
  void onClick();
  HTREEITEM next(HTREEITEM item, UINT relation) const;

  HIMAGELIST images_ = nullptr;
  HBITMAP uncheckedBitmap_ = nullptr;
  HBITMAP checkedBitmap_ = nullptr;
  HBITMAP partialBitmap_ = nullptr;
};

}  // namespace cvl
