#include "ui/main/win32/tree_widget.h"

#include <utility>

#include "ui/components/win32/ui_handles.h"
#include "platform/win32/os_error.h"
#include "store/clip_coll.h"

namespace om::win32 {
namespace {

HTREEITEM Item(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }
TreeNode Node(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }

constexpr COLORREF kMaroon = RGB(128, 0, 0);

}  // namespace

TreeWidget::TreeWidget(HWND parent, int control_id, HIMAGELIST images) {
  hwnd_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                TVS_SHOWSELALWAYS,
                            0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (hwnd_ == nullptr) {
    LogOsFailure("CreateWindowExA(tree)");
    return;
  }
  TreeView_SetIndent(hwnd_, 19);
  if (images != nullptr) {
    TreeView_SetImageList(hwnd_, images, TVSIL_NORMAL);
    TreeView_SetImageList(hwnd_, images, TVSIL_STATE);
  }
}

LRESULT TreeWidget::CustomDraw(NMTVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const auto* coll = reinterpret_cast<const TClipColl*>(draw.nmcd.lItemlParam);
      const HTREEITEM item = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
      const bool highlighted = (draw.nmcd.uItemState & CDIS_SELECTED) != 0 ||
                               (TreeView_GetItemState(hwnd_, item, TVIS_DROPHILITED) & TVIS_DROPHILITED) != 0;
      if (coll == nullptr || highlighted) return CDRF_DODEFAULT;
      // A collection that takes no new clips shows in maroon, a safe one
      // (never purged) underlined.
      if (!coll->AcceptNewClips && coll->Role != collrole::kFolderNode) draw.clrText = kMaroon;
      if (coll->CollType == colltype::kSafe) {
        if (!underlined_) underlined_.reset(CreateUnderlinedFont(hwnd_));
        if (underlined_) {
          ::SelectObject(draw.nmcd.hdc, underlined_.get());
          return CDRF_NEWFONT;
        }
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TreeWidget::Clear() {
  QuietScope quiet(quiet_);
  pending_ = 0;
  TreeView_DeleteAllItems(hwnd_);
}

TreeNode TreeWidget::Add(TreeNode parent, std::string_view caption, int image, TClipColl* data) {
  QuietScope quiet(quiet_);
  std::string text(caption);
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent == 0 ? TVI_ROOT : Item(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = text.data();
  // No image: the control draws none for I_IMAGENONE.
  insert.item.iImage = insert.item.iSelectedImage = image < 0 ? I_IMAGENONE : image;
  insert.item.lParam = reinterpret_cast<LPARAM>(data);
  return Node(reinterpret_cast<HTREEITEM>(::SendMessageA(hwnd_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert))));
}

void TreeWidget::Remove(TreeNode node) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  pending_ = 0;
  TreeView_DeleteItem(hwnd_, Item(node));
}

std::vector<TreeNode> TreeWidget::Nodes() const {
  std::vector<TreeNode> nodes;
  // Depth first: a node, its children, then its next sibling.
  HTREEITEM item = TreeView_GetRoot(hwnd_);
  while (item != nullptr) {
    nodes.push_back(Node(item));
    HTREEITEM next = TreeView_GetChild(hwnd_, item);
    while (next == nullptr && item != nullptr) {
      next = TreeView_GetNextSibling(hwnd_, item);
      if (next == nullptr) item = TreeView_GetParent(hwnd_, item);
    }
    item = next;
  }
  return nodes;
}

TreeNode TreeWidget::Parent(TreeNode node) const {
  return node == 0 ? 0 : Node(TreeView_GetParent(hwnd_, Item(node)));
}

TClipColl* TreeWidget::Data(TreeNode node) const {
  if (node == 0) return nullptr;
  TVITEMA item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = Item(node);
  if (!::SendMessageA(hwnd_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<TClipColl*>(item.lParam);
}

std::string TreeWidget::Caption(TreeNode node) const {
  if (node == 0) return {};
  // Titles are at most 255 characters; the buffer leaves room.
  char buffer[1024] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = Item(node);
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  if (!::SendMessageA(hwnd_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
  return item.pszText != nullptr ? std::string(item.pszText) : std::string();
}

void TreeWidget::SetCaption(TreeNode node, std::string_view caption) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  std::string text(caption);
  TVITEMA item{};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = Item(node);
  item.pszText = text.data();
  ::SendMessageA(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeWidget::SetImage(TreeNode node, int image) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = Item(node);
  item.iImage = item.iSelectedImage = image < 0 ? I_IMAGENONE : image;
  ::SendMessageA(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeWidget::SetStateIndex(TreeNode node, int state_index) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  // State image 0 is "none" to the control, which suits: image 0 of the
  // list is never a state.
  const UINT index = state_index < 0 ? 0u : static_cast<UINT>(state_index);
  TreeView_SetItemState(hwnd_, Item(node), INDEXTOSTATEIMAGEMASK(index), TVIS_STATEIMAGEMASK);
}

int TreeWidget::StateIndex(TreeNode node) const {
  if (node == 0) return -1;
  const UINT state = TreeView_GetItemState(hwnd_, Item(node), TVIS_STATEIMAGEMASK);
  const int index = static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
  return index == 0 ? -1 : index;
}

void TreeWidget::Expand(TreeNode node) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  TreeView_Expand(hwnd_, Item(node), TVE_EXPAND);
}

bool TreeWidget::Expanded(TreeNode node) const {
  if (node == 0) return false;
  return (TreeView_GetItemState(hwnd_, Item(node), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeWidget::Select(TreeNode node) {
  QuietScope quiet(quiet_);
  pending_ = 0;
  TreeView_SelectItem(hwnd_, node == 0 ? nullptr : Item(node));
}

TreeNode TreeWidget::Selected() const { return Node(TreeView_GetSelection(hwnd_)); }

void TreeWidget::MakeVisible(TreeNode node) {
  if (node == 0) return;
  QuietScope quiet(quiet_);
  TreeView_EnsureVisible(hwnd_, Item(node));
}

std::vector<TreeNode> TreeWidget::Children(TreeNode parent) const {
  std::vector<TreeNode> children;
  HTREEITEM item = parent == 0 ? TreeView_GetRoot(hwnd_) : TreeView_GetChild(hwnd_, Item(parent));
  for (; item != nullptr; item = TreeView_GetNextSibling(hwnd_, item)) children.push_back(Node(item));
  return children;
}

int TreeWidget::Image(TreeNode node) const {
  if (node == 0) return -1;
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_HANDLE;
  item.hItem = Item(node);
  if (!::SendMessageA(hwnd_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage == I_IMAGENONE ? -1 : item.iImage;
}

namespace {
int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM compare) {
  return reinterpret_cast<TreeCompare>(compare)(reinterpret_cast<const TClipColl*>(first),
                                                reinterpret_cast<const TClipColl*>(second));
}
}  // namespace

void TreeWidget::SortChildren(TreeNode parent, TreeCompare compare) {
  QuietScope quiet(quiet_);
  TVSORTCB sort{};
  sort.hParent = parent == 0 ? TVI_ROOT : Item(parent);
  sort.lpfnCompare = &CompareItems;
  sort.lParam = reinterpret_cast<LPARAM>(compare);
  TreeView_SortChildrenCB(hwnd_, &sort, FALSE);
}

void TreeWidget::Repaint() { ::InvalidateRect(hwnd_, nullptr, TRUE); }

void TreeWidget::OpenContextMenuAtCentre() {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ::ClientToScreen(hwnd_, &centre);
  // As a right click's menu request comes: to the parent, from the tree.
  ::SendMessageA(::GetParent(hwnd_), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(centre.x, centre.y));
}

std::optional<DropAction> TreeWidget::AskDropAction() {
  Menu menu(::CreatePopupMenu());
  if (!menu) return std::nullopt;
  constexpr UINT kCopy = 1, kMove = 2;
  ::AppendMenuA(menu.get(), MF_STRING, kCopy, "&Copy Here");
  ::AppendMenuA(menu.get(), MF_STRING, kMove, "&Move Here");
  POINT at{};
  ::GetCursorPos(&at);
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, ::GetParent(hwnd_), nullptr));
  if (chosen == kCopy) return DropAction::kCopy;
  if (chosen == kMove) return DropAction::kMove;
  return std::nullopt;
}

TreeNode TreeWidget::NodeAt(POINT client_point) const {
  TVHITTESTINFO hit{};
  hit.pt = client_point;
  const HTREEITEM item = TreeView_HitTest(hwnd_, &hit);
  return item != nullptr && (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)) != 0 ? Node(item) : 0;
}

void TreeWidget::ScrollLeft() { ::SendMessageA(hwnd_, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), 0); }

}  // namespace om::win32
