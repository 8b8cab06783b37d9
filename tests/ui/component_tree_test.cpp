// The tri-state tree in a real window: propagation, the box and the label,
// the space bar, and what the removal driver reads through its seam.
#include "uninstaller/ui/component_tree.h"

#include <gtest/gtest.h>

#include "window_test_support.h"

namespace cvl {
namespace {

using enum CheckState;

CComponent* fakeComponent(int n) { return reinterpret_cast<CComponent*>(static_cast<uintptr_t>(0x1000 + n)); }

// Office (Writer, Sheets), Tools (Viewer), Fonts: the shape of a suite.
class ComponentTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.onNotify = [this](const NMHDR& header, LRESULT& result) { return tree.handleNotify(header, result); };
    ASSERT_TRUE(tree.create(host.handle(), RECT{10, 10, 330, 300}, 2001,
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_LINESATROOT));
    EXPECT_FALSE(tree.anyChecked()) << "empty tree";
    office = add("Office", TVI_ROOT, 1);
    writer = add("Writer", office, 2);
    sheets = add("Sheets", office, 3);
    tools = add("Tools", TVI_ROOT, 4);
    viewer = add("Viewer", tools, 5);
    fonts = add("Fonts", TVI_ROOT, 6);
    TreeView_Expand(tree.handle(), office, TVE_EXPAND);
    TreeView_Expand(tree.handle(), tools, TVE_EXPAND);
    test::pumpFor(30);
  }

  HTREEITEM add(const char* text, HTREEITEM parent, int id) {
    return tree.insertItem(text, 0, 0, fakeComponent(id), parent, TVI_LAST);
  }
  CheckState state(HTREEITEM item) const { return tree.stateOf(item); }

  // Clicks item's row dx pixels right of where its label starts: left of it is the box.
  void clickRow(HTREEITEM item, int dx) {
    RECT label{};
    TreeView_GetItemRect(tree.handle(), item, &label, TRUE);
    test::clickAt(tree.handle(), {label.left + dx, (label.top + label.bottom) / 2});
  }
  void clickBox(HTREEITEM item) { clickRow(item, -10); }

  test::HostWindow host{420, 360};
  CComponentTree tree;
  HTREEITEM office{}, writer{}, sheets{}, tools{}, viewer{}, fonts{};
};

TEST_F(ComponentTreeTest, ChecksSpreadDownAncestorsSumUpAndAnyCheckedFollowsTheDeepest) {
  EXPECT_FALSE(tree.anyChecked());
  tree.checkItem(viewer);
  EXPECT_EQ(state(tools), Checked) << "an only child decides for its parent";
  EXPECT_TRUE(tree.anyChecked());
  tree.uncheckItem(viewer);
  EXPECT_FALSE(tree.anyChecked());

  tree.checkItem(writer);
  EXPECT_EQ(state(office), Partly);
  tree.checkItem(sheets);
  EXPECT_EQ(state(office), Checked);
  tree.uncheckItem(sheets);
  tree.uncheckItem(writer);
  EXPECT_EQ(state(office), Unchecked);

  tree.checkItem(office);
  EXPECT_TRUE(state(writer) == Checked && state(sheets) == Checked);
  EXPECT_EQ(state(fonts), Unchecked) << "siblings are left alone";
}

TEST_F(ComponentTreeTest, FlippingAPartlyCheckedItemClearsItsSubtree) {
  tree.checkItem(sheets);
  ASSERT_EQ(state(office), Partly);
  tree.toggleItem(office);
  for (HTREEITEM item : {office, sheets, writer}) EXPECT_EQ(state(item), Unchecked);
  EXPECT_EQ(host.selectionChanges, 1) << "a flip tells the dialog";
}

TEST_F(ComponentTreeTest, ImageAndSelectedImageAreTheCheckState) {
  tree.checkItem(writer);
  for (auto [item, expected] : {std::pair{writer, 1}, {office, 2}, {fonts, 0}}) {
    TVITEMA query{};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    query.hItem = item;
    ASSERT_TRUE(TreeView_GetItem(tree.handle(), &query));
    EXPECT_EQ(query.iImage, expected);
    EXPECT_EQ(query.iSelectedImage, expected);
  }
  HIMAGELIST images = TreeView_GetImageList(tree.handle(), TVSIL_NORMAL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(19, 16));
}

TEST_F(ComponentTreeTest, ClickOnTheBoxFlipsClickOnTheLabelOnlySelects) {
  clickBox(fonts);
  EXPECT_EQ(state(fonts), Checked);
  clickBox(writer);
  EXPECT_EQ(state(writer), Checked);
  EXPECT_EQ(state(office), Partly);

  clickRow(viewer, 6);
  EXPECT_EQ(state(viewer), Unchecked);
  EXPECT_EQ(tree.caretItem(), viewer);

  clickBox(fonts);
  EXPECT_EQ(state(fonts), Unchecked);
}

TEST_F(ComponentTreeTest, SpaceBarFlipsTheCaretItemWhereverTheMouseIs) {
  TreeView_SelectItem(tree.handle(), sheets);
  SetCursorPos(0, 0);
  test::pressKey(tree.handle(), VK_SPACE);
  EXPECT_EQ(state(sheets), Checked);
  EXPECT_EQ(state(office), Partly);
  test::pressKey(tree.handle(), VK_SPACE);
  EXPECT_EQ(state(sheets), Unchecked);
  EXPECT_EQ(tree.caretItem(), sheets) << "the space bar does not move the caret";
}

TEST_F(ComponentTreeTest, TheDriverWalksItemsAndComponentsThroughTheSeam) {
  tree.checkItem(writer);
  const SelectionTree& seam = tree;
  SelectionTree::Item root = seam.firstRoot();
  ASSERT_NE(root, 0u);
  EXPECT_EQ(seam.component(root), fakeComponent(1));
  EXPECT_EQ(seam.checkState(root), Partly);
  SelectionTree::Item child = seam.firstChild(root);
  EXPECT_EQ(seam.component(child), fakeComponent(2));
  EXPECT_EQ(seam.checkState(child), Checked);
  EXPECT_EQ(seam.component(seam.nextSibling(child)), fakeComponent(3));
  EXPECT_EQ(seam.nextSibling(seam.nextSibling(child)), 0u);
  EXPECT_EQ(seam.component(0), nullptr);

  EXPECT_EQ(seam.nextSibling(seam.nextSibling(seam.nextSibling(root))), 0u) << "three roots";
  EXPECT_EQ(seam.component(seam.nextSibling(seam.nextSibling(root))), fakeComponent(6));
}

TEST(ComponentTreeWithoutWindow, InsertingGivesNoItem) {
  CComponentTree tree;
  EXPECT_EQ(tree.insertItem("x", 0, 0, nullptr, TVI_ROOT, TVI_LAST), nullptr);
  EXPECT_FALSE(tree.anyChecked());
  EXPECT_EQ(tree.firstRoot(), 0u);
}

}  // namespace
}  // namespace cvl
