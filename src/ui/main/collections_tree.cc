#include "ui/main/collections_tree.h"

#include <algorithm>
#include <unordered_map>

#include "app/app_log.h"
#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "ui/main/current_operation.h"

namespace om {
namespace {

constexpr char kEol[] = "\r\n";
constexpr std::size_t kMaxTitle = 255;
constexpr int kVkF10 = 0x79;

// Out of the always-on-top position for as long as it lives.
class TopmostLeft {
 public:
  explicit TopmostLeft(ICollectionsTreeHost& host) : host_(host) { host_.LeaveTopmost(); }
  ~TopmostLeft() { host_.RestoreVisibility(); }
  TopmostLeft(const TopmostLeft&) = delete;
  TopmostLeft& operator=(const TopmostLeft&) = delete;

 private:
  ICollectionsTreeHost& host_;
};

std::int32_t SortKeyOf(const ITreeWidget& tree, TreeNode node) {
  const TClipColl* coll = tree.Data(node);
  return coll != nullptr ? coll->TreeSortKey : 0;
}

}  // namespace

std::string CollectionDirName(std::string_view title) {
  static constexpr std::string_view kReplaced = "\\/:*?!@#$%^&\"<>|.[]()";
  std::string dir(title);
  for (char& c : dir) {
    if (kReplaced.find(c) != std::string_view::npos) c = '_';
  }
  return dir;
}

std::string NextDirName(std::string_view dir_name) {
  std::string next(dir_name);
  if (!next.empty() && next.back() >= '0' && next.back() <= 'Z') {
    // The characters between the digits and the letters that a folder name
    // cannot hold are passed over: "9" is followed by ";", "<" by "=".
    static constexpr std::string_view kNotInFileNames = ":<>?";
    char c = next.back();
    do {
      ++c;
    } while (kNotInFileNames.find(c) != std::string_view::npos);
    next.back() = c;
  } else {
    next += '1';
  }
  return next;
}

std::vector<TClipColl*> TCollectionsTree::NodeOrder::NodeCollections() const {
  std::vector<TClipColl*> out;
  for (TreeNode node : tree_.Nodes()) out.push_back(tree_.Data(node));
  return out;
}

TCollectionsTree::TCollectionsTree(ICollectionsTreeHost& host, ITreeWidget& widget, TAppSettings& settings,
                                   IFileSystem& files)
    : host_(host), widget_(widget), settings_(settings), files_(files), order_(widget) {}

void TCollectionsTree::BuildTree(TMasterList& master_list) {
  // A collection sits below its parent when the parent comes earlier in the
  // master list; otherwise, and without a parent, it is a root, and the
  // roots of data sources are expanded.
  std::unordered_map<const TClipColl*, std::size_t> list_position;
  for (std::size_t i = 0; i < master_list.Count(); ++i) list_position.emplace(master_list.Items(i), i);
  std::unordered_map<const TClipColl*, TreeNode> node_of;
  for (TClipColl* coll : CollectionTreeOrder(master_list)) {
    TreeNode parent = 0;
    if (coll->Parent != nullptr) {
      const auto parent_at = list_position.find(coll->Parent);
      if (parent_at != list_position.end() && parent_at->second < list_position.at(coll)) {
        if (const auto node = node_of.find(coll->Parent); node != node_of.end()) parent = node->second;
      }
    }
    const TreeNode node = widget_.Add(parent, coll->Title, coll->IconIndex, coll);
    node_of[coll] = node;
    widget_.SetStateIndex(node, host_.CalcStateIndex(coll));
    if (coll->Parent == nullptr) widget_.Expand(node);
  }
}

TreeNode TCollectionsTree::AddRoot(TClipColl* coll) { return widget_.Add(0, coll->Title, coll->IconIndex, coll); }

void TCollectionsTree::Clear() {
  widget_.Clear();
  context_node_ = drag_source_ = drop_target_ = 0;
  dragging_ = false;
  DeallocatePopupMenu();
}

int TCollectionsTree::GetTreeNodeOfColl(const TClipColl* coll) const {
  const std::vector<TreeNode> nodes = widget_.Nodes();
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (widget_.Data(nodes[i]) == coll) return static_cast<int>(i);
  }
  return -1;
}

TreeNode TCollectionsTree::NodeAt(int position) const {
  if (position < 0) return 0;
  const std::vector<TreeNode> nodes = widget_.Nodes();
  return static_cast<std::size_t>(position) < nodes.size() ? nodes[static_cast<std::size_t>(position)] : 0;
}

void TCollectionsTree::RefreshStateIndexes() {
  for (TreeNode node : widget_.Nodes()) widget_.SetStateIndex(node, host_.CalcStateIndex(widget_.Data(node)));
}

int TCollectionsTree::tvCollectionsCompare(const TClipColl* a, const TClipColl* b) {
  const std::int32_t key_a = a != nullptr ? a->TreeSortKey : 0;
  const std::int32_t key_b = b != nullptr ? b->TreeSortKey : 0;
  return key_a < key_b ? -1 : (key_a > key_b ? 1 : 0);
}

bool TCollectionsTree::IsSpecial(const TClipColl* coll) const {
  return coll != nullptr && (coll->Role == collrole::kTrash || coll->Role == collrole::kSearchResults);
}

bool TCollectionsTree::IsDescendant(TreeNode node, TreeNode ancestor) const {
  for (TreeNode at = node; at != 0; at = widget_.Parent(at)) {
    if (at == ancestor) return true;
  }
  return false;
}

void TCollectionsTree::Error(std::string_view text) { host_.Message(text, MsgButtons::kOk, MsgIcon::kError); }

void TCollectionsTree::SelectNode(TreeNode node) {
  if (node == 0) return;
  widget_.Select(node);
  widget_.MakeVisible(node);
  tvCollectionsChange(node);
}

void TCollectionsTree::tvCollectionsChange(TreeNode node) {
  // Dragging nodes or rows comes with moving clips and collections.
  if (host_.EventsSuspended() || dragging_) return;
  EnterOperation("TfrmQL.tvCollectionsChange");
  host_.EndAutoGlue();
  host_.SequentialPasteOff();
  // The previewed row is forgotten with the preview.
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  // The collection shown until now is the one F5 returns to.
  TClipColl* const shown = host_.ShownCollection();
  if (coll != shown && shown != nullptr) settings_.LastColl = shown->Title;
  host_.SetClipPanelVisible(coll != nullptr);
  if (coll == nullptr) {
    host_.ShowCollection(nullptr);
    host_.UpdateCaptions();
    return;
  }
  host_.ShowStatus(2, true, "Loading Collection...");
  host_.ShowCollection(coll);
  UpdateToolbarCollectionIcon(node);
  host_.UpdateCaptions();
  host_.ShowStatus(1, false, "Collection Loaded - " + std::to_string(coll->Count()) + " Clips.");
}

void TCollectionsTree::tvCollectionsKeyDown(int virtual_key, bool shift, bool /*ctrl*/) {
  if (virtual_key == kVkF10 && shift) {
    // From the keyboard the menu acts on the selected node, not on the one
    // the mouse happened to be over last.
    context_node_ = widget_.Selected();
    widget_.OpenContextMenuAtCentre();
  }
}

// --- the context menu ------------------------------------------------------

std::vector<TreeMenuEntry> TCollectionsTree::PopMenuCollectionsPopup(bool from_tool_button) {
  if (from_tool_button) context_node_ = widget_.Selected();
  const TreeNode node = context_node_;
  const TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  const bool has_parent = node != 0 && widget_.Parent(node) != 0;
  const bool special = IsSpecial(coll);
  const bool read_only = coll != nullptr && coll->ReadOnly;
  bool first_child = true;
  bool last_child = true;
  if (has_parent) {
    const std::vector<TreeNode> siblings = widget_.Children(widget_.Parent(node));
    first_child = !siblings.empty() && siblings.front() == node;
    last_child = !siblings.empty() && siblings.back() == node;
  }
  const bool editable = has_parent && !special && !read_only;
  std::vector<TreeMenuEntry> entries = {
      {TreeMenuCommand::kSortHigher, "Move &Up In Sort Order", editable && !first_child},
      {TreeMenuCommand::kSortLower, "Move &Down In Sort Order", editable && !last_child},
      {TreeMenuCommand::kChangeIcon, "Change &Icon", editable, true},
      {TreeMenuCommand::kProperties, "&Properties", coll != nullptr && !special && !read_only},
      {TreeMenuCommand::kDelete, "Del&ete Collection", editable, true},
      {TreeMenuCommand::kNewCollection, "Add &New Collection", !special && !read_only},
      {TreeMenuCommand::kAddDataSource, "Add New Data Source", !from_tool_button && !has_parent && !special, true},
      {TreeMenuCommand::kDeleteDataSource, "Delete Data Source",
       !from_tool_button && coll != nullptr && !has_parent && coll->DataSource != nullptr},
      {TreeMenuCommand::kWhatsThis, "What's This?", true, true},
      {TreeMenuCommand::kCancel, "&Cancel", true},
  };
  if (node != 0 && node != widget_.Selected()) SelectNode(node);
  return entries;
}

void TCollectionsTree::CollectionsMenuClick(TreeMenuCommand command) {
  switch (command) {
    case TreeMenuCommand::kSortHigher:
      mnuCollection_SortHigherClick();
      break;
    case TreeMenuCommand::kSortLower:
      mnuCollection_SortLowerClick();
      break;
    case TreeMenuCommand::kChangeIcon:
      mnuCollectionChangeIconClick();
      break;
    case TreeMenuCommand::kProperties:
      mnuCollectionPropertiesClick();
      break;
    case TreeMenuCommand::kDelete:
      mnuCollectionDeleteClick();
      break;
    case TreeMenuCommand::kNewCollection:
      mnuCollectionNewCollectionClick();
      break;
    case TreeMenuCommand::kAddDataSource:
      host_.AddDataSource();
      break;
    case TreeMenuCommand::kDeleteDataSource:
      if (context_node_ != 0) host_.DeleteDataSource(widget_.Data(context_node_));
      break;
    case TreeMenuCommand::kWhatsThis:
      // Context help comes with the help file.
      Log(loglevel::kDetail, "PopMenuCollections", "What's This? has no help file to show yet.");
      break;
    case TreeMenuCommand::kCancel:
      break;
  }
}

// --- new and deleted collections --------------------------------------------

bool TCollectionsTree::TitleInUse(std::string_view title) const {
  const TMasterList* list = host_.MasterList();
  for (std::size_t i = 0; list != nullptr && i < list->Count(); ++i) {
    if (SameTextIgnoringCase(list->Items(i)->Title, title)) return true;
  }
  return false;
}

void TCollectionsTree::mnuCollectionNewCollectionClick(bool from_file_menu) {
  if (from_file_menu) context_node_ = widget_.Selected() != 0 ? widget_.Selected() : NodeAt(0);
  const TreeNode parent_node = context_node_;
  TopmostLeft topmost(host_);
  TMasterList* const list = host_.MasterList();
  TClipColl* const parent = parent_node != 0 ? widget_.Data(parent_node) : nullptr;
  // The context menu offers no new collection inside the special ones or a
  // read-only source; the File menu refuses them the same way (the trash's
  // folder is wiped at every shutdown).
  if (list == nullptr || parent == nullptr || IsSpecial(parent) || parent->ReadOnly) return;
  auto coll = std::make_unique<TClipColl>(/*initialise=*/true);
  coll->Parent = parent;
  std::string answer = "New Collection";
  for (;;) {
    const std::optional<std::string> input =
        host_.InputBox("Create New Collection", "Enter The Name Of The New Collection:", answer);
    if (!input) return;
    // Asked again, the box shows what the user typed.
    answer = *input;
    coll->Title = input->substr(0, kMaxTitle);
    coll->DirName = CollectionDirName(coll->Title);
    if (TitleInUse(coll->Title)) {
      Error(std::string("Collection Name Must Be Unique - This Name Is Already In Use:") + kEol + coll->Title);
      continue;
    }
    const std::string base = parent->GetPath();
    while (files_.DirectoryExists(base + coll->DirName + "\\")) coll->DirName = NextDirName(coll->DirName);
    files_.MakeDirectories(base + coll->DirName + "\\");
    if (!files_.DirectoryExists(base + coll->DirName + "\\")) {
      Error(std::string("There is still a problem creating the collection by that name.  Try again.") + kEol +
            coll->Title);
      continue;
    }
    break;
  }
  coll->TreeSortKey = kNewCollectionSortKey;
  TClipColl* const added = list->Add(std::move(coll));
  added->SetModified(true);
  // Below the node whose collection is the parent, so that the tree and the
  // folders agree.
  const TreeNode node = widget_.Add(parent_node, added->Title, collicon::kLength, added);
  widget_.SetStateIndex(node, host_.CalcStateIndex(added));
  widget_.Expand(parent_node);
  SelectNode(node);
  host_.ShowStatus(1, false, "New Collection Created");
  context_node_ = node;
  mnuCollectionPropertiesClick();
  UpdateToolbarCollectionIcon(node);
  host_.UpdateCaptions();
  widget_.ScrollLeft();
}

void TCollectionsTree::mnuCollectionDeleteClick() {
  const TreeNode node = context_node_;
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  TMasterList* const list = host_.MasterList();
  if (coll == nullptr || list == nullptr) return;
  // Only what the context menu offers: ordinary collections below a root.
  if (widget_.Parent(node) == 0 || IsSpecial(coll) || coll->ReadOnly) return;
  TopmostLeft topmost(host_);
  if (!widget_.Children(node).empty()) {
    Error("This node has children - delete or move children first.");
    return;
  }
  if (coll->Count() > 0) {
    Error(std::string("This collection has data in it.  Only empy collections may be deleted.  ") + kEol +
          "Delete or move items before deleting the collection.");
    return;
  }
  if (host_.Message("Do you wish to delete the collection titled: " + coll->Title + "?", MsgButtons::kYesNo,
                    MsgIcon::kQuestion) != MsgResult::kYes) {
    return;
  }
  const std::string folder = coll->GetPath();
  host_.ShowStatus(1, true, "Deleting Collection: " + folder);
  Log(loglevel::kData, "mnuCollectionDeleteClick", "CollectionDelete Started.");
  coll->WipeFiles();
  const std::string result =
      !files_.DirectoryExists(folder) ? "Delete Sucessful: " + folder : "** Delete Failed!: " + folder + "*";
  const TreeNode parent_node = widget_.Parent(node);
  const bool was_shown = host_.ShownCollection() == coll;
  widget_.Remove(node);
  context_node_ = 0;
  host_.ForgetCollection(coll);
  list->Extract(coll);
  // The list never shows a collection that is gone: the parent takes its
  // place.
  if (was_shown) SelectNode(parent_node);
  host_.ShowStatus(1, false, result);
  Log(loglevel::kData, "mnuCollectionDeleteClick", "CollectionDelete Ended.");
}

// --- sort order, icon and properties -----------------------------------------

void TCollectionsTree::MoveInSortOrder(bool up) {
  const TreeNode node = context_node_;
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  const TreeNode parent = node != 0 ? widget_.Parent(node) : 0;
  if (coll == nullptr || parent == 0 || IsSpecial(coll) || coll->ReadOnly) return;
  const std::vector<TreeNode> siblings = widget_.Children(parent);
  const auto at = std::find(siblings.begin(), siblings.end(), node);
  if (at == siblings.end() || siblings.size() < 2) return;
  const std::size_t index = static_cast<std::size_t>(at - siblings.begin());
  std::int64_t near = 0;
  std::int64_t far = 0;
  if (up) {
    if (index == 0) return;
    near = SortKeyOf(widget_, siblings[index - 1]);
    far = index >= 2 ? SortKeyOf(widget_, siblings[index - 2]) : 0;
  } else {
    if (index + 1 >= siblings.size()) return;
    near = SortKeyOf(widget_, siblings[index + 1]);
    far = index + 2 < siblings.size() ? SortKeyOf(widget_, siblings[index + 2]) : kMaxSortKey;
  }
  // Halfway between the neighbour and the one beyond, toward zero.
  coll->TreeSortKey = static_cast<std::int32_t>((near + far) / 2);
  coll->SetModified(true);
  widget_.SortChildren(parent, &TCollectionsTree::tvCollectionsCompare);
}

void TCollectionsTree::mnuCollection_SortHigherClick() { MoveInSortOrder(/*up=*/true); }
void TCollectionsTree::mnuCollection_SortLowerClick() { MoveInSortOrder(/*up=*/false); }

void TCollectionsTree::mnuCollectionChangeIconClick() {
  const TreeNode node = context_node_;
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  if (coll == nullptr || widget_.Parent(node) == 0 || IsSpecial(coll) || coll->ReadOnly) return;
  std::optional<int> image;
  {
    TopmostLeft topmost(host_);
    image = host_.SelectBitmap();
  }
  if (!image) return;
  coll->SetIconIndex(*image);
  widget_.SetImage(node, *image);
  widget_.Repaint();
  UpdateToolbarCollectionIcon(widget_.Selected());
}

void TCollectionsTree::mnuCollectionPropertiesClick(bool from_file_menu) {
  host_.EndAutoGlue();
  const TreeNode node = from_file_menu ? widget_.Selected() : context_node_;
  TClipColl* const coll = node != 0 ? widget_.Data(node) : nullptr;
  if (coll == nullptr) return;
  if (IsSpecial(coll)) {
    host_.Message("Sorry, Properties For Special Collection [" + coll->Title + "] Are Not Available", MsgButtons::kOk,
                  MsgIcon::kInformation);
    return;
  }
  if (coll->Parent != nullptr) {
    // The collection properties dialog is not built yet: nothing opens.
    Log(loglevel::kForm, "mnuCollectionPropertiesClick",
        "The collection properties dialog is not available yet: " + coll->Title);
    widget_.SetCaption(node, coll->Title);
    widget_.SetStateIndex(node, host_.CalcStateIndex(coll));
    return;
  }
  if (coll->DataSource != nullptr) {
    bool ok = false;
    {
      TopmostLeft topmost(host_);
      ok = host_.DataSourceProperties(*coll->DataSource);
    }
    // The node is titled with the source's description, so it follows an
    // edited title.
    if (ok) {
      coll->Title = coll->DataSource->Description;
      widget_.SetCaption(node, coll->Title);
    }
  }
}

// --- dragging --------------------------------------------------------------

void TCollectionsTree::tvCollectionsStartDrag(TreeNode node) {
  dragging_ = true;
  host_.ShowStatus(1, false, "Dragging...");
  // The node under the mouse when the drag began, which the control does
  // not always select first.
  drag_source_ = node != 0 ? node : widget_.Selected();
}

void TCollectionsTree::tvCollectionsEndDrag() {
  dragging_ = false;
  drag_source_ = drop_target_ = 0;
}

bool TCollectionsTree::tvCollectionsDragOver(TreeNode node, DragSource source) {
  if (node == 0 || source == DragSource::kOther) return false;
  const TClipColl* const coll = widget_.Data(node);
  if (coll != nullptr && coll->ReadOnly) return false;
  bool accept = false;
  if (source == DragSource::kClipList) {
    // Clips come from the selected node's collection.
    accept = node != widget_.Selected() && coll != nullptr && coll->Role != collrole::kFolderNode;
  } else {
    // A collection moves only between folders of the data: not into itself
    // or below itself, not into the folder it is in already, and not into
    // the trash or the search results, whose folders are wiped.
    const TreeNode dragged = drag_source_;
    const TClipColl* const dragged_coll = dragged != 0 ? widget_.Data(dragged) : nullptr;
    accept = dragging_ && dragged_coll != nullptr && widget_.Parent(dragged) != 0 && !IsSpecial(dragged_coll) &&
             !dragged_coll->ReadOnly && !IsDescendant(node, dragged) && widget_.Parent(dragged) != node &&
             !IsSpecial(coll);
  }
  if (accept && !widget_.Expanded(node) && !widget_.Children(node).empty()) widget_.Expand(node);
  return accept;
}

void TCollectionsTree::tvCollectionsDragDrop(TreeNode node, DragSource source, bool right_button) {
  if (!tvCollectionsDragOver(node, source)) return;
  TClipColl* const coll = widget_.Data(node);
  if (source == DragSource::kClipList) {
    if (!right_button) {
      host_.DoDropClipsOnColl(coll, /*copy=*/false);
      return;
    }
    if (const std::optional<DropAction> action = widget_.AskDropAction()) {
      host_.DoDropClipsOnColl(coll, *action == DropAction::kCopy);
    }
    return;
  }
  drop_target_ = node;
  const TClipColl* const selected = widget_.Data(widget_.Selected());
  std::string folder;
  if (coll != nullptr) {
    folder = coll->GetPath();
  } else if (!settings_.DataSources.empty()) {
    folder = settings_.DataSources.front().Source.Directory;
  }
  RelocateNode(drag_source_, node, folder);
  // The moved nodes are new: the selection follows its collection.
  if (widget_.Selected() == 0 && selected != nullptr) widget_.Select(NodeOf(selected));
  host_.ShowStatus(1, false, "Move Complete");
  drag_source_ = drop_target_ = 0;
}

void TCollectionsTree::RelocateNode(TreeNode source, TreeNode target, const std::string& target_folder) {
  TClipColl* const coll = source != 0 ? widget_.Data(source) : nullptr;
  if (coll == nullptr || target == 0) return;
  host_.ShowStatus(1, true, "Moving " + coll->Title);
  std::vector<MovePlan> plan;
  std::vector<std::string> copied;
  if (!CopySubtree(source, coll->GetPath(), target_folder, plan, copied)) {
    // Nothing moves: the copies go, the names come back.
    for (auto file = copied.rbegin(); file != copied.rend(); ++file) files_.RemoveFile(*file);
    for (auto step = plan.rbegin(); step != plan.rend(); ++step) {
      files_.RemoveEmptyDirectory(step->new_folder);
      step->coll->DirName = step->old_dir_name;
    }
    host_.Message("The collection could not be moved: " + coll->Title, MsgButtons::kOk, MsgIcon::kError);
    return;
  }
  MoveSubtree(source, target, plan);
}

bool TCollectionsTree::CopySubtree(TreeNode source, const std::string& old_folder, const std::string& target_folder,
                                   std::vector<MovePlan>& plan, std::vector<std::string>& copied) {
  TClipColl* const coll = widget_.Data(source);
  if (coll == nullptr) return true;
  MovePlan step{coll, old_folder, coll->DirName, {}};
  // A folder of that name in the target would mix two collections' files
  // (and overwrite one's collection file): the moved one takes the next
  // free name, as a new collection would.
  while (files_.DirectoryExists(target_folder + coll->DirName + "\\")) coll->DirName = NextDirName(coll->DirName);
  step.new_folder = target_folder + coll->DirName + "\\";
  plan.push_back(step);
  if (files_.MakeDirectories(step.new_folder) != FsStatus::kOk) {
    Log(loglevel::kError, "RelocateNode", "Could not make the folder: " + step.new_folder);
    return false;
  }
  if (const auto entries = files_.ListDirectory(step.old_folder)) {
    for (const TDirEntry& entry : *entries) {
      if (entry.IsDirectory) continue;
      const std::optional<Bytes> bytes = files_.ReadWholeFile(step.old_folder + entry.Name);
      if (!bytes || files_.WriteWholeFile(step.new_folder + entry.Name, *bytes, /*durable=*/true) != FsStatus::kOk) {
        Log(loglevel::kError, "RelocateNode", "Could not copy: " + step.old_folder + entry.Name);
        return false;
      }
      copied.push_back(step.new_folder + entry.Name);
    }
  }
  // A child's old folder is below this one's old folder: its path cannot
  // be asked of it now, since this collection's name may have changed.
  for (TreeNode child : widget_.Children(source)) {
    const TClipColl* const child_coll = widget_.Data(child);
    if (child_coll == nullptr) continue;
    if (!CopySubtree(child, step.old_folder + child_coll->DirName + "\\", step.new_folder, plan, copied)) return false;
  }
  return true;
}

void TCollectionsTree::MoveSubtree(TreeNode source, TreeNode target, const std::vector<MovePlan>& plan) {
  TClipColl* const coll = widget_.Data(source);
  const auto step = std::find_if(plan.begin(), plan.end(), [coll](const MovePlan& p) { return p.coll == coll; });
  if (coll == nullptr || step == plan.end()) return;
  // Every copy is written: the originals go.
  if (const auto entries = files_.ListDirectory(step->old_folder)) {
    for (const TDirEntry& entry : *entries) {
      if (!entry.IsDirectory) files_.RemoveFile(step->old_folder + entry.Name);
    }
  }
  const int image = widget_.Image(source);
  const TreeNode moved = widget_.Add(target, widget_.Caption(source), image < 0 ? 0 : image, coll);
  widget_.SetStateIndex(moved, widget_.StateIndex(source));
  widget_.Expand(target);
  for (TreeNode child : widget_.Children(source)) MoveSubtree(child, moved, plan);
  coll->Parent = widget_.Data(target);
  if (files_.RemoveEmptyDirectory(step->old_folder) != FsStatus::kOk || files_.DirectoryExists(step->old_folder)) {
    host_.Message("Directory Delete Failed: " + step->old_folder, MsgButtons::kOk, MsgIcon::kError);
  }
  const bool was_selected = widget_.Selected() == source;
  if (context_node_ == source) context_node_ = moved;
  widget_.Remove(source);
  widget_.SortChildren(target, &TCollectionsTree::tvCollectionsCompare);
  if (was_selected) widget_.Select(moved);
}

// --- switching collections -----------------------------------------------

void TCollectionsTree::SwitchToLastCollection1Click() {
  host_.EndAutoGlue();
  host_.SequentialPasteOff();
  TreeNode found = 0;
  if (!settings_.LastColl.empty()) {
    for (TreeNode node : widget_.Nodes()) {
      if (widget_.Caption(node) == settings_.LastColl) {
        found = node;
        break;
      }
    }
  }
  if (found == 0) {
    Error("No LAST Collection Was Found.  Select a collection manually, to set the LAST Collection.");
    return;
  }
  SelectNode(found);
}

void TCollectionsTree::SwitchToFavoriteCollection1Click() {
  host_.EndAutoGlue();
  host_.SequentialPasteOff();
  // The Pickdrop list's alternate collection, which F6 sets in Pickdrop
  // mode, comes with Pickdrop.
  const std::vector<TreeNode> nodes = widget_.Nodes();
  const auto start = std::find(nodes.begin(), nodes.end(), widget_.Selected());
  std::size_t at = start != nodes.end() ? static_cast<std::size_t>(start - nodes.begin()) : 0;
  // One full round of the tree, however large: a fixed number of steps
  // would miss favourites further away.
  const std::size_t steps = std::max<std::size_t>(kFavoriteSteps, nodes.size());
  for (std::size_t step = 0; step < steps && !nodes.empty(); ++step) {
    // Past the end it goes on after the first node.
    at = at + 1 < nodes.size() ? at + 1 : std::min<std::size_t>(1, nodes.size() - 1);
    const TClipColl* coll = widget_.Data(nodes[at]);
    if (coll != nullptr && coll->Favorite) {
      SelectNode(nodes[at]);
      return;
    }
  }
  Error("No FAVORITE Collections Were Found.  Set The FAVORITE Option In Collection Properties.");
}

void TCollectionsTree::cmdCollectionsClick(bool ctrl) {
  host_.EndAutoGlue();
  host_.SequentialPasteOff();
  const std::vector<TreeNode> nodes = widget_.Nodes();
  if (nodes.empty()) return;
  std::size_t at = 0;
  if (!ctrl) {
    const auto selected = std::find(nodes.begin(), nodes.end(), widget_.Selected());
    at = selected != nodes.end() ? static_cast<std::size_t>(selected - nodes.begin()) : 0;
  }
  for (std::size_t step = 0; step < nodes.size(); ++step) {
    at = at + 1 < nodes.size() ? at + 1 : std::min<std::size_t>(1, nodes.size() - 1);
    if (widget_.Data(nodes[at]) != nullptr) {
      SelectNode(nodes[at]);
      return;
    }
  }
}

std::vector<CollectionMenuEntry> TCollectionsTree::PopupMenuSetCurrCollPopup(int entries_per_column) {
  DeallocatePopupMenu();
  const TClipColl* const shown = host_.ShownCollection();
  const std::vector<TreeNode> nodes = widget_.Nodes();
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const TreeNode node = nodes[i];
    int level = 0;
    for (TreeNode at = widget_.Parent(node); at != 0; at = widget_.Parent(at)) ++level;
    CollectionMenuEntry entry;
    entry.caption = std::string(static_cast<std::size_t>(level) * 4, ' ') + widget_.Caption(node);
    entry.image = widget_.Image(node);
    entry.coll = widget_.Data(node);
    entry.enabled = entry.coll == nullptr || entry.coll->Role != collrole::kFolderNode;
    entry.checked = i != 0 && shown != nullptr && entry.coll == shown;
    entry.column_break = entries_per_column > 0 && i >= 2 && i % static_cast<std::size_t>(entries_per_column) == 0;
    collection_menu_.push_back(std::move(entry));
  }
  return collection_menu_;
}

void TCollectionsTree::mnuSetCurrCollClick(int position) {
  SelectNode(NodeAt(position));
  DeallocatePopupMenu();
}

void TCollectionsTree::UpdateToolbarCollectionIcon(TreeNode node) {
  if (node != 0) host_.SetCollectionButtonImage(widget_.Image(node));
}

}  // namespace om
