// The collections tree over a TreeView control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "ui/main/widgets.h"
#include "ui/components/win32/ui_handles.h"

namespace om::win32 {

class TreeWidget final : public ITreeWidget {
 public:
  // Creates the TreeView as a child of `parent`; `images` serves as image
  // and state image list (not owned: it must outlive the control).
  TreeWidget(HWND parent, int control_id, HIMAGELIST images);
  ~TreeWidget() override = default;
  TreeWidget(const TreeWidget&) = delete;
  TreeWidget& operator=(const TreeWidget&) = delete;

  HWND hwnd() const { return hwnd_; }

  // True while a change asked for through this interface is under way: the
  // control's notifications then are not the user's.
  bool quiet() const { return quiet_ != 0; }

  // The user's selection is reported after a short pause (a fast walk
  // through the tree with the arrow keys loads only where it stops): the
  // window notes the node here and takes it when its timer runs out. A
  // change asked for through this interface, or a removal, drops it.
  void NoteUserSelection(TreeNode node) { pending_ = node; }
  TreeNode TakePendingSelection() { return std::exchange(pending_, 0); }

  // The custom-draw step of a node: the collection's colours.
  LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);

  void Clear() override;
  TreeNode Add(TreeNode parent, std::string_view caption, int image, TClipColl* data) override;
  void Remove(TreeNode node) override;
  std::vector<TreeNode> Nodes() const override;
  TreeNode Parent(TreeNode node) const override;
  TClipColl* Data(TreeNode node) const override;
  std::string Caption(TreeNode node) const override;
  void SetCaption(TreeNode node, std::string_view caption) override;
  void SetImage(TreeNode node, int image) override;
  void SetStateIndex(TreeNode node, int state_index) override;
  int StateIndex(TreeNode node) const override;
  void Expand(TreeNode node) override;
  bool Expanded(TreeNode node) const override;
  void Select(TreeNode node) override;
  TreeNode Selected() const override;
  void MakeVisible(TreeNode node) override;
  void ScrollLeft() override;
  std::vector<TreeNode> Children(TreeNode parent) const override;
  int Image(TreeNode node) const override;
  void SortChildren(TreeNode parent, TreeCompare compare) override;
  void Repaint() override;
  void OpenContextMenuAtCentre() override;
  std::optional<DropAction> AskDropAction() override;

  // The node at a point of the control's client area; 0 for none.
  TreeNode NodeAt(POINT client_point) const;

 private:
  HWND hwnd_ = nullptr;
  int quiet_ = 0;
  TreeNode pending_ = 0;
  // The font of safe collections, made on first use.
  Font underlined_;
};

}  // namespace om::win32
