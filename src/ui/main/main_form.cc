// The form's own hidden window and its timers, the status routine and the
// menu commands.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/app_messages.h"
#include "app/paths.h"
#include "clipboard/format_names.h"
#include "store/store_services.h"
#include "store/viewer_open_restore.h"
#include "ui/main/current_operation.h"
#include "ui/main/main_form.h"
#include "ui/main/program_entry.h"

namespace om {

// A hidden window of the form's own: its timers (Timer1, autosave, the
// periodic ping) arrive there. Destroying it stops them.
class TfrmQL::HiddenWindow {
 public:
  HiddenWindow(IWindowSystem& windows, IMessageHandler& handler)
      : windows_(windows), handle_(windows.CreateHidden(handler, "TfrmQL Timers")) {
    if (handle_ == 0) throw std::runtime_error("The main window's timer window could not be created");
  }
  ~HiddenWindow() { windows_.Destroy(handle_); }
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;
  WindowHandle Handle() const { return handle_; }

 private:
  IWindowSystem& windows_;
  WindowHandle handle_;
};

// The pane's view of the HTML window: a browser that fails later on is
// given up as one that was never there.
class TfrmQL::HtmlPreview final : public IHtmlPreview {
 public:
  explicit HtmlPreview(TfrmQL& form) : form_(form) {}
  void Display(TClipObj& clip) override {
    if (!form_.html_browser_) return;
    if (form_.html_browser_->Display(clip) == TfrmWebBrowser::DisplayResult::kBrowserFailed) {
      Log(loglevel::kError, "Main Error Trap", TfrmWebBrowser::kNotAvailableLog);
      // Only detached here: the browser's own call is still on the stack.
      form_.AttachHtmlPreview(nullptr);
    }
  }

 private:
  TfrmQL& form_;
};

void TfrmQL::CreateHtmlPreview() {
  // The HTML preview window, inside the preview's Html tab.
  std::string error;
  if (IWebBrowserView* view = widgets_.shell.CreateHtmlView(error)) {
    html_browser_ = std::make_unique<TfrmWebBrowser>(*view, ports_.files, ports_.shell, BufferFolder(), HTMLFormat);
    html_preview_ = std::make_unique<HtmlPreview>(*this);
    AttachHtmlPreview(html_preview_.get());
    Log(loglevel::kStartStop, "Main Startup", TfrmWebBrowser::kAvailableLog);
  } else {
    AttachHtmlPreview(nullptr);
    Log(loglevel::kError, "Main Startup", TfrmWebBrowser::kNotAvailableLog);
    if (!error.empty()) Log(loglevel::kError, "Main Startup", error);
  }
}

TfrmQL::TfrmQL(const MainFormPorts& ports, TAppSettings& settings, MainFormWidgets& widgets,
               std::vector<std::string> arguments)
    : ports_(ports),
      settings_(settings),
      widgets_(widgets),
      arguments_(std::move(arguments)),
      store_services_(TStoreServices{}),
      emergency_exit_([] { std::_Exit(1); }) {
  InstallStoreServices();
  tree_ = std::make_unique<TCollectionsTree>(static_cast<ICollectionsTreeHost&>(*this), widgets_.tree, settings_,
                                             ports_.files);
  data_source_commands_ = std::make_unique<TDataSourceCommands>(
      settings_.DataSources, settings_.NextSourceNumber, static_cast<IDataSourceHost&>(*this), ports_.prompts,
      ports_.files);
  clip_list_ = std::make_unique<TClipList>(static_cast<IClipListHost&>(*this), widgets_.clips, widgets_.menus,
                                           settings_, ports_.locale, ports_.store, ports_.clock, "lvClips");
  preview_ = std::make_unique<TPreviewPane>(static_cast<IPreviewHost&>(*this), widgets_.preview, widgets_.status,
                                            widgets_.menus, settings_, ports_.files,
                                            ports_.clipboard_system.RegisterFormat(kRTFFormatName),
                                            ports_.clipboard_system.RegisterFormat(kHTMLFormatName));
  transforms_ = std::make_unique<TTextTransforms>(static_cast<ITextTransformsHost&>(*this), *preview_,
                                                  widgets_.preview, settings_);
  preview_->SetTransformCommands(transforms_.get());
  find_ = std::make_unique<TFind>(static_cast<IFindHost&>(*this), widgets_.preview, settings_, ports_.clock);
  moves_ = std::make_unique<TClipMoves>(static_cast<IClipMovesHost&>(*this), settings_);
  stepfeed_ = std::make_unique<TStepfeed>(static_cast<IStepfeedHost&>(*this), settings_);
  send_key_ = std::make_unique<TSendKey>(ports_.keyboard, ports_.clock);
  pickdrop_ = std::make_unique<TPickdrop>(static_cast<IPickdropHost&>(*this), settings_);
  alternates_ = std::make_unique<TPickdropAlternates>(static_cast<IClipListHost&>(*this),
                                                      static_cast<IAlternatesHost&>(*this), widgets_.alternate_clips,
                                                      widgets_.menus, settings_, ports_.locale, ports_.store,
                                                      ports_.clock);
  hot_keys_ = std::make_unique<THotKeys>(static_cast<IHotKeysHost&>(*this), ports_.hot_keys, settings_);
  widgets_.shell.SetMoveClipsHint(moves_->MoveButtonHint());
  window_ = std::make_unique<HiddenWindow>(ports_.windows, static_cast<IMessageHandler&>(*this));
  viewer_ = std::make_unique<TClipView5>(
      ClipViewPorts{ports_.windows, ports_.clock, ports_.processes, ports_.prompts, ports_.sound, ports_.locale,
                    ports_.clipboard},
      widgets_.shell.Handle());
  viewer_->OnCBChange = [this](TClipView5& sender) { ClipViewCBChange(sender); };
  viewer_->OnCBChainChange = [this](TClipView5& sender) { ClipViewCBChainChange(sender); };
  viewer_->OnPingEnd = [this](TClipView5& sender) { ClipViewPingEnd(sender); };
  viewer_->OnRenderFormat = [this](TClipView5&) { stepfeed_->ClipViewRenderFormat(); };
  viewer_->OnRenderAllFormats = [this](TClipView5&) { stepfeed_->RenderAllFormats(); };
  glue_ = std::make_unique<TGlue>(static_cast<IGlueHost&>(*this), widgets_.menus, *preview_, widgets_.preview,
                                  settings_, *viewer_, ports_.clipboard);
  ports_.dde.OnClose = [this] {
    Log(loglevel::kData, "DdeClientConv1Close", "Connection Closed!");
    dde_link_open_ = false;
  };
  FormCreate();
}

TfrmQL::~TfrmQL() {
  // The hot keys go with the window too; given back here also when no
  // shutdown ran (a close while loading).
  if (hot_keys_ && window_) hot_keys_->ReleaseAll();
  // The timers go with the window; no handler may run on a half-destroyed form.
  window_.reset();
  ports_.dde.OnClose = nullptr;
  CloseDdeLink();
  if (viewer_) {
    viewer_->OnCBChange = nullptr;
    viewer_->OnCBChainChange = nullptr;
    viewer_->OnPingEnd = nullptr;
    viewer_->OnRenderFormat = nullptr;
    viewer_->OnRenderAllFormats = nullptr;
    viewer_->Capturing = false;
    viewer_->SetActive(false);
  }
  if (master_list_) {
    // The widgets outlive the form: they must not keep pointers to the
    // collections and clips freed below.
    ClearTreeAndList();
    ClearReferences();
    master_list_.reset();
  }
  if (error_sink_installed_) SetHandlerErrorSink(std::move(previous_error_sink_));
}

void TfrmQL::InstallStoreServices() {
  TStoreServices& services = StoreServices();
  services.Clock = &ports_.clock;
  services.Locale = &ports_.locale;
  services.Clipboard = &ports_.clipboard_system;
  services.Files = &ports_.files;
  services.Prompts = &ports_.prompts;
  services.FreshDataFolder = &settings_.FreshDataFolder;
  services.MasterListExists = false;
  services.MasterList = nullptr;
  services.SequentialPaste = seqpaste::kOff;
}

std::intptr_t TfrmQL::OnMessage(WindowHandle /*self*/, std::uint32_t message, std::uintptr_t wparam,
                                std::intptr_t /*lparam*/, bool& handled) {
  if (message == msg::kHotKey) {
    hot_keys_->WMHotKey(static_cast<int>(wparam));
    return 0;
  }
  if (message != msg::kTimer) {
    handled = false;
    return 0;
  }
  switch (wparam) {
    case kTimer1:
      Timer1Timer();
      break;
    case kAutoSaveTimer:
      tmrAutoSaveTimer();
      break;
    case kPingTimer:
      tmrContinuallyPingTimer();
      break;
    case kSavedRefreshTimer:
      ports_.clock.KillTimer(TimerWindow(), kSavedRefreshTimer);
      preview_->UpdateMagView();
      break;
    case kStepfeedTimer:
      stepfeed_->AdvanceNextItem();
      break;
    default:
      break;
  }
  return 0;
}

WindowHandle TfrmQL::TimerWindow() const { return window_->Handle(); }

void TfrmQL::ArmTimer1(int tag, std::uint32_t interval_ms) {
  timer1_tag_ = tag;
  ports_.clock.SetTimer(TimerWindow(), kTimer1, interval_ms);
}

void TfrmQL::Timer1Timer() {
  // One-shot: disarmed and untagged before anything else.
  ports_.clock.KillTimer(TimerWindow(), kTimer1);
  const int tag = timer1_tag_;
  timer1_tag_ = 0;
  switch (tag) {
    case kTagStartup:
      EnterOperation("TfrmQL.Timer1Timer");
      if (settings_.RunMinimized || started_minimized_) {
        widgets_.shell.Minimize();
      }
      // Otherwise, with the tray in use, the tray shows the window as it
      // stands: nothing to ask of it here.
      LoadData();
      startup_done_ = true;
      // Pickdrop's alternate collection, as the user left it.
      alternates_->FindAlternate(tree_->Order().NodeCollections());
      widgets_.shell.RestoreVisibility();
      break;
    case kTagNoSelection:
      clip_list_->NoSelectionTimer();
      break;
    case kTagAlternateNoSelection:
      alternates_->List().NoSelectionTimer();
      break;
    case kTagPinBlink:
      preview_->PinBlinkTimer();
      break;
    default:
      break;
  }
}

void TfrmQL::StartAutoSaveTimer() {
  if (settings_.AutoSave) {
    ports_.clock.SetTimer(TimerWindow(), kAutoSaveTimer, kAutoSaveMs);
  } else {
    ports_.clock.KillTimer(TimerWindow(), kAutoSaveTimer);
  }
}

void TfrmQL::ShowStatus(int level, bool busy, std::string_view text) {
  widgets_.status.SetPanelText(0, text);
  if (level >= 2) widgets_.shell.SetHeaderText(text);
  if (busy != busy_) {
    busy_ = busy;
    widgets_.shell.SetBusy(busy);
  }
}

MsgResult TfrmQL::Message(std::string_view text, MsgButtons buttons, MsgIcon icon) {
  return ports_.prompts.ShowMessage(text, kApplicationTitle, buttons, icon, widgets_.shell.Handle());
}

void TfrmQL::MenuClick(MenuCommand command) {
  switch (command) {
    case MenuCommand::kFileSave:
      mnuFileSaveClick();
      break;
    case MenuCommand::kFileReload:
      mnuFileReloadClick();
      break;
    case MenuCommand::kExit:
      mnuExit1Click();
      break;
    case MenuCommand::kAutoCapture:
    case MenuCommand::kTrayAutoCapture:
      // mnuAutoCaptureClick and mnuSTAutoCaptureClick: the opposite of now.
      SetCapturing(!viewer_->Capturing);
      break;
    case MenuCommand::kLocateLastClip:
      mnuLocateLastClipClick();
      break;
    case MenuCommand::kRenameTitle:
      clip_list_->mnuTitleClick();
      break;
    case MenuCommand::kSelectAll:
      clip_list_->SelectAllItems1Click();
      break;
    case MenuCommand::kSelectPrevious:
      clip_list_->SelectNextItemUp1Click();
      break;
    case MenuCommand::kSelectNext:
      clip_list_->SelectNextItemDown1Click();
      break;
    case MenuCommand::kOpenSourceUrl:
      clip_list_->mnu_OpenSourceURL1Click();
      break;
    case MenuCommand::kNewCollection:
      tree_->mnuCollectionNewCollectionClick(/*from_file_menu=*/true);
      break;
    case MenuCommand::kCollectionProperties:
      tree_->mnuCollectionPropertiesClick(/*from_file_menu=*/true);
      break;
    case MenuCommand::kSwitchToLastCollection:
      tree_->SwitchToLastCollection1Click();
      break;
    case MenuCommand::kSwitchToFavoriteCollection:
      tree_->SwitchToFavoriteCollection1Click();
      break;
    case MenuCommand::kLargeIcons:
      clip_list_->cmdLVLargeIconsClick();
      break;
    case MenuCommand::kViewDetails:
      clip_list_->cmdLVReportClick();
      break;
    case MenuCommand::kShiftLeft:
      transforms_->cmdMag_ShiftLeftClick();
      break;
    case MenuCommand::kShiftRight:
      transforms_->cmdMag_ShiftRightClick();
      break;
    case MenuCommand::kRemoveLineBreaks:
      transforms_->cmdMag_RemoveCRLFClick();
      break;
    case MenuCommand::kLowerCase:
      transforms_->mnuMagCase_LowerClick();
      break;
    case MenuCommand::kUpperCase:
      transforms_->mnuMagCase_UpperClick();
      break;
    case MenuCommand::kMixedCase:
      transforms_->mnuMagCase_MixedClick();
      break;
    case MenuCommand::kSentenceCase:
      transforms_->mnuMagCase_SentenceClick();
      break;
    case MenuCommand::kStripNonText:
      transforms_->mnuEditNukeNonTextClick();
      break;
    case MenuCommand::kExpandPreview:
      preview_->mnuSizePreviewWindowClick();
      break;
    case MenuCommand::kGlue:
      glue_->mnuEditGlueClick();
      break;
    case MenuCommand::kStepfeedUp:
      stepfeed_->cmdSFUpClick();
      break;
    case MenuCommand::kStepfeedDown:
      stepfeed_->cmdSFDownClick();
      break;
    // The Pickdrop buttons toggle what the behaviour last set.
    case MenuCommand::kPickdropLock:
      pickdrop_->cmdPDLockClick(!pickdrop_->LockDown());
      break;
    case MenuCommand::kPickdropTab:
      pickdrop_->cmdPDTabClick(!pickdrop_->TabDown());
      break;
    case MenuCommand::kPickdropEnter:
      pickdrop_->cmdPDEnterClick(!pickdrop_->EnterDown());
      break;
    case MenuCommand::kPickdropSticky:
      pickdrop_->chkPDStickyButtonsClick(!pickdrop_->Sticky());
      break;
    case MenuCommand::kPickdropPaste:
      pickdrop_->cmdPDPasteItClick();
      break;
    case MenuCommand::kPickdropSetAlternate:
      cmdPickdropSetAlternateClick();
      break;
    case MenuCommand::kShowPDAlternates:
      pickdrop_->mnuShowPDAlternatesClick();
      widgets_.menus.SetChecked(MenuItem::kShowPDAlternates, settings_.ShowPDAlternates);
      break;
    case MenuCommand::kFind:
      find_->mnuFindClick();
      break;
    case MenuCommand::kFindNext:
      find_->mnuFindNextClick();
      break;
    case MenuCommand::kDeleteSelected:
      moves_->mnuDeleteSelectedItemsClick();
      break;
    case MenuCommand::kEmptyTrash:
      moves_->mnuEmptyTrashClick();
      break;
    case MenuCommand::kNewClip:
      moves_->mnuPopupClips_NewClipClick();
      break;
    case MenuCommand::kMoveToCollection:
      moves_->mnuMoveToCollectionClick();
      break;
    case MenuCommand::kCopyToCollection:
      moves_->mnuCopyToCollectionClick();
      break;
    case MenuCommand::kMoveClips:
      moves_->cmdMoveClipsClick();
      break;
    case MenuCommand::kMoveClipsMenu:
      moves_->cmdMoveClipsDropDown();
      break;
      break;
  }
}

void TfrmQL::mnuExit1Click() { widgets_.shell.Close(); }

void TfrmQL::ClearReferences() {
  clipboard_clip_ = nullptr;
  // The collections are about to go: the move button's target with them.
  if (moves_) moves_->ForgetTarget();
  last_captured_clip_ = nullptr;
  // The pane must not keep a clip that is about to go.
  if (preview_) {
    preview_->Unpin();
    preview_->ForgetPreviewedClip();
  }
}

void TfrmQL::ClearTreeAndList() {
  tree_->Clear();
  clip_list_->Clear();
  if (alternates_) alternates_->Forget(nullptr);
  shown_ = nullptr;
}

// --- The features' host -------------------------------------------------

void TfrmQL::SetHeaderText(std::string_view text) { widgets_.shell.SetHeaderText(text); }

void TfrmQL::ArmNoSelectionTimer() { ArmTimer1(kTagNoSelection, kNoSelectionMs); }

void TfrmQL::SetClipPanelVisible(bool visible) { widgets_.shell.SetClipPanelVisible(visible); }

MsgResult TfrmQL::ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                                 MsgIcon icon) {
  // Never hidden behind a window that stays on top.
  widgets_.shell.LeaveTopmost();
  const MsgResult answer = ports_.prompts.ShowMessage(text, caption, buttons, icon, widgets_.shell.Handle());
  widgets_.shell.RestoreVisibility();
  return answer;
}

std::optional<std::string> TfrmQL::AskText(std::string_view caption, std::string_view prompt, std::string_view text) {
  widgets_.shell.LeaveTopmost();
  std::optional<std::string> answer = ports_.prompts.InputBox(caption, prompt, text, widgets_.shell.Handle());
  widgets_.shell.RestoreVisibility();
  return answer;
}

void TfrmQL::OpenWithShell(std::string_view target) {
  if (!ports_.shell.Open(target)) Log(loglevel::kError, "ShellOpen", "Could not open: " + std::string(target));
}

void TfrmQL::ShowCollection(TClipColl* coll) {
  shown_ = coll;
  if (coll == nullptr) {
    clip_list_->Clear();
    return;
  }
  clipboard_clip_ = nullptr;
  // A pinned pane stays on its clip, from whichever collection.
  if (!preview_->Pinned()) widgets_.shell.SetPreviewVisible(false);
  clip_list_->UpdateLVClips();
}

std::optional<std::string> TfrmQL::InputBox(std::string_view caption, std::string_view prompt, std::string_view text) {
  return ports_.prompts.InputBox(caption, prompt, text, widgets_.shell.Handle());
}

void TfrmQL::ForgetCollection(TClipColl* coll) {
  if (coll == nullptr) return;
  // Its clips go with it.
  ClearSearchResults();
  alternates_->Forget(coll);
  moves_->ForgetTarget();
  if (shown_ == coll) ShowCollection(nullptr);
  if (clipboard_clip_ != nullptr && coll->IndexOfClip(clipboard_clip_) >= 0) clipboard_clip_ = nullptr;
  if (last_captured_clip_ != nullptr && coll->IndexOfClip(last_captured_clip_) >= 0) last_captured_clip_ = nullptr;
  if (TClipObj* const previewed = preview_->PreviewedClip(); previewed != nullptr && coll->IndexOfClip(previewed) >= 0) {
    preview_->Unpin();
    preview_->ForgetPreviewedClip();
    widgets_.shell.SetPreviewVisible(false);
  }
  // Captures need a target: the next one the tree offers (the collection's
  // node is gone by now).
  if (inbox_ == coll) inbox_ = master_list_ != nullptr ? master_list_->Designate(tree_->Order()) : nullptr;
}

std::optional<int> TfrmQL::SelectBitmap() {
  TfrmSelectBitmap dialog(widgets_.shell.SelectBitmapView(), widgets_.shell.CollectionImageCount());
  return dialog.Execute();
}

bool TfrmQL::DataSourceProperties(TDataSource& source) {
  TfrmDSProp dialog(widgets_.shell.DSPropView());
  return dialog.ShowFor(source) == TfrmDSProp::kOK;
}

int TfrmQL::ShowDataSourceProperties(TDataSource& source) {
  return DataSourceProperties(source) ? TfrmDSProp::kOK : TfrmDSProp::kCancel;
}

void TfrmQL::AddDataSource() { data_source_commands_->AddDataSourceClick(); }

void TfrmQL::DeleteDataSource(const TClipColl* node_coll) {
  moves_->ForgetTarget();
  data_source_commands_->DeleteDataSourceClick(node_coll);
}

std::string TfrmQL::CurrentDirectory() {
  std::error_code error;
  const std::string current = std::filesystem::current_path(error).string();
  return error ? std::string() : current;
}

std::optional<std::string> TfrmQL::PickDirectory(std::string_view proposed) {
  return widgets_.shell.PickDirectory(proposed);
}

void TfrmQL::UpdateCaptions() {
  // The window's caption and the list's header follow the shown collection
  // once the window's views exist; until then there is nothing to update.
}

void TfrmQL::EndAutoGlue() {
  if (glue_ && glue_->AutoGlueOn()) glue_->AutoGlue(false);
}

std::pair<int, int> TfrmQL::ListOrderHint() const { return {clip_list_->PreviousRow(), clip_list_->LatestRow()}; }

void TfrmQL::AddNewClipRow(TClipObj* clip, int position) {
  // The row is added selected; the selection must not put the clip back on
  // the clipboard (a capture's clip is there already, a glue clip goes
  // there when it is done).
  clip_list_->SetSuppressChange(true);
  clip_list_->AddToLists(clip, /*select=*/true, position);
  // The control does not report a selection made from here; the list hears
  // of it as of the user's, and so the pane shows the new clip.
  if (const int row = clip_list_->RowOf(clip); row >= 0 && widgets_.clips.IsSelected(row)) {
    clip_list_->lvClipsChange(row, ListChange::kState);
  }
  clip_list_->SetSuppressChange(false);
}

void TfrmQL::ClearSearchResults() {
  // A search that lets messages through may be walking the clips about to
  // go.
  if (find_) find_->StopSearch();
  if (search_results_ == nullptr || search_results_->Count() == 0) return;
  while (search_results_->Count() > 0) search_results_->RemoveItem(search_results_->Count() - 1, /*destroy=*/false);
  if (shown_ == search_results_) clip_list_->UpdateLVClips();
}

void TfrmQL::SelectSearchResultsNode() {
  if (search_results_ != nullptr) tree_->SelectNode(tree_->NodeOf(search_results_));
}

void TfrmQL::DoDropClipsOnColl(TClipColl* coll, bool copy) {
  // The tree accepted the drop over a node with a collection.
  if (coll == nullptr) return;
  moves_->DoDropClipsOnColl(coll, copy, TClipMoves::DropVia::kTree);
}

void TfrmQL::ForgetClipsOf(const TClipColl& coll) {
  if (clipboard_clip_ != nullptr && coll.IndexOfClip(clipboard_clip_) >= 0) clipboard_clip_ = nullptr;
  if (last_captured_clip_ != nullptr && coll.IndexOfClip(last_captured_clip_) >= 0) last_captured_clip_ = nullptr;
  if (TClipObj* const previewed = preview_->PreviewedClip(); previewed != nullptr && coll.IndexOfClip(previewed) >= 0) {
    preview_->Unpin();
    preview_->ForgetPreviewedClip();
    widgets_.shell.SetPreviewVisible(false);
  }
}

void TfrmQL::ReleasePreview() {
  preview_->Unpin();
  preview_->ForgetPreviewedClip();
}

int TfrmQL::FirstSelectedRow() const {
  const std::vector<int> rows = widgets_.clips.SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void TfrmQL::EmptyClipboard() {
  // Through the viewer, so that emptying is the program's own change.
  // Another program may hold the clipboard for a moment (one reading the
  // change just announced): a few tries, a short pause between them.
  constexpr int kAttempts = 10;
  constexpr std::uint32_t kPauseMs = 50;
  bool opened = false;
  for (int attempt = 0; attempt < kAttempts && !opened; ++attempt) {
    if (attempt > 0) ports_.clock.Sleep(kPauseMs);
    opened = viewer_->Open();
  }
  if (opened) {
    viewer_->clear();
    viewer_->Close();
  } else {
    Log(loglevel::kError, "EmptyClipboard", "Could not open clipboard: " + viewer_->ErrMsg());
  }
  clipboard_clip_ = nullptr;
}

void TfrmQL::EditClip(TClipObj* clip) {
  preview_->PreviewClip(clip);
  widgets_.preview.FocusText();
}

std::vector<CollectionMenuEntry> TfrmQL::CollectionMenuEntries() {
  return tree_->PopupMenuSetCurrCollPopup(widgets_.shell.MenuEntriesPerColumn());
}

void TfrmQL::RefreshClipRow(const TClipObj* clip) {
  const int row = clip_list_->RowOf(clip);
  if (row >= 0) widgets_.clips.RowsChanged(row, row);
}

void TfrmQL::SelectClipRow(TClipObj* clip) {
  const int row = clip_list_->RowOf(clip);
  if (row < 0) return;
  widgets_.clips.ClearSelection();
  widgets_.clips.SetSelected(row, true);
  widgets_.clips.SetFocused(row);
  // Selecting from here is not reported by the control: the list hears of
  // it as of the user's click.
  clip_list_->lvClipsChange(row, ListChange::kState);
  widgets_.clips.MakeVisible(row);
}

// --- IPickdropHost -----------------------------------------------------------

void TfrmQL::AppDeactivate() { pickdrop_->AppDeactivate(); }

void TfrmQL::FocusAlternates() {
  widgets_.shell.FocusAlternateList();
  alternates_->SelectionChanged();
}

void TfrmQL::cmdPickdropSetAlternateClick() {
  const std::vector<CollectionMenuEntry> entries = CollectionMenuEntries();
  const std::optional<int> chosen = widgets_.shell.PopupAlternateMenu(entries);
  tree_->DeallocatePopupMenu();
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(entries.size())) return;
  const CollectionMenuEntry& entry = entries[static_cast<std::size_t>(*chosen)];
  if (entry.enabled && entry.coll != nullptr) alternates_->SetAlternate(entry.coll);
}

void TfrmQL::SetListMultiSelect(bool multi) {
  // The selected rows stay selected (the control does not report the
  // selection made here).
  const std::vector<int> selected = widgets_.clips.SelectedRows();
  widgets_.clips.SetMultiSelect(multi);
  for (int row : selected) widgets_.clips.SetSelected(row, true);
}

void TfrmQL::ReselectSelectedRow() {
  const std::vector<int> selected = widgets_.clips.SelectedRows();
  if (selected.empty()) return;
  const int row = selected.front();
  widgets_.clips.SetSelected(row, false);
  widgets_.clips.SetSelected(row, true);
  clip_list_->lvClipsChange(row, ListChange::kState);
}

std::vector<std::string> TfrmQL::NoCtrlVFragments() { return settings_.NoCtrlVList; }

// --- IStepfeedHost -----------------------------------------------------------

void TfrmQL::SelectOnlyRow(int row) {
  widgets_.clips.ClearSelection();
  widgets_.clips.SetSelected(row, true);
  widgets_.clips.SetFocused(row);
  widgets_.clips.MakeVisible(row);
}

void TfrmQL::MarkRowSelected(int row) {
  widgets_.clips.SetSelected(row, true);
  widgets_.clips.MakeVisible(row);
}

void TfrmQL::PlaceClip(TClipObj* clip) {
  if (clip == nullptr) return;
  try {
    clip->Copy(*viewer_);
  } catch (const std::exception& e) {
    Log(loglevel::kError, "Stepfeed", std::string("The clip could not be placed: ") + e.what());
  }
}

void TfrmQL::RenderAllPromised(TClipObj* clip) {
  // The system lets only the clipboard's owner fill in what it promised,
  // and only with the clipboard open.
  ViewerOpenRestore restore(*viewer_);
  if (!viewer_->Open()) {
    Log(loglevel::kError, "Stepfeed", "Could not open clipboard to render the promised clip: " + viewer_->ErrMsg());
    return;
  }
  if (ports_.clipboard_system.Owner() != viewer_->Handle()) return;
  std::int32_t& state = StoreServices().SequentialPaste;
  const std::int32_t before = state;
  state = seqpaste::kRendering;
  PlaceClip(clip);
  state = before;
}

void TfrmQL::ShowInPreview(TClipObj* clip) {
  if (!preview_->Pinned()) preview_->PreviewClip(clip);
  preview_->UpdateMagView();
}

void TfrmQL::StartStepfeedTimer(std::uint32_t interval_ms) {
  ports_.clock.SetTimer(TimerWindow(), kStepfeedTimer, interval_ms);
}

void TfrmQL::StopStepfeedTimer() { ports_.clock.KillTimer(TimerWindow(), kStepfeedTimer); }

void TfrmQL::SetStepfeedChecks(bool up, bool down) {
  widgets_.menus.SetChecked(MenuItem::kStepfeedUp, up);
  widgets_.menus.SetChecked(MenuItem::kTrayStepfeedUp, up);
  widgets_.menus.SetChecked(MenuItem::kStepfeedDown, down);
  widgets_.menus.SetChecked(MenuItem::kTrayStepfeedDown, down);
}

std::vector<TClipObj*> TfrmQL::SelectedClips() const {
  std::vector<TClipObj*> clips;
  for (int row : widgets_.clips.SelectedRows()) {
    if (TClipObj* const clip = clip_list_->ClipAt(row)) clips.push_back(clip);
  }
  return clips;
}

void TfrmQL::DeselectClipRow(const TClipObj* clip) {
  const int row = clip_list_->RowOf(clip);
  if (row >= 0) widgets_.clips.SetSelected(row, false);
}

void TfrmQL::ReselectFocusedRow() {
  const int focused = widgets_.clips.Focused();
  if (focused >= 0) widgets_.clips.SetSelected(focused, true);
}

std::string TfrmQL::BufferFolder() const {
  if (settings_.DataSources.empty()) return DataDirectory();
  return IncludeTrailingBackslash(settings_.DataSources.front().Source.Directory);
}

void TfrmQL::ClearCurrentClips() {
  clipboard_clip_ = nullptr;
  preview_->ForgetPreviewedClip();
}

void TfrmQL::ErrorBox(std::string_view text) {
  ports_.prompts.ShowMessage(text, kApplicationTitle, MsgButtons::kOk, MsgIcon::kError, widgets_.shell.Handle());
}

}  // namespace om
