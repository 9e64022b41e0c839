// TfrmQL: the main window's behaviour. It owns the clipboard viewer, the
// master list with every collection, the application profile and the two
// special collections; it decides everything the main window does and shows
// it through the widget interfaces (widgets.h). The Win32 window forwards
// the user's actions to it (IMainFormEvents) and nothing more.
//
// TfrmQL keeps what the features share (the clipboard clip, the shown
// collection, EventsSuspended, the status routine) and routes the window's
// events. Each feature is a class of its own, owned here, that reaches the
// rest through a narrow host interface TfrmQL implements:
//   TCollectionsTree  collections_tree.h   the tree and its commands
//   TClipList         clip_list.h          the clip list
//   TPreviewPane      preview_pane.h       the preview and edit pane
//   TTextTransforms   transforms.h         the text transforms' commands
//   TGlue             glue.h               manual and automatic glue
//   TFind             find.h               searching clips
//   TClipMoves        clip_moves.h         delete, trash, new clip, move, copy
//   TStepfeed         stepfeed.h           sequential paste
//   TPickdrop         pickdrop.h           pick-and-paste
//   THotKeys          hot_keys.h           the system-wide hot keys
// The form's own work is in:
//   startup.cc    creation, start-up, the deferred load, the close query,
//                 shutdown and the error trap
//   capture.cc    clipboard changes and putting clips back
//   browser_url.cc the page URL asked of a browser over DDE
//   saving.cc     saving, reloading and autosave
//   chain_check.cc the periodic ping of the clipboard-viewer chain
//   main_form.cc  the form's own window and timers, status, menu commands,
//                 the hosts of the features
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_log.h"
#include "app/app_settings.h"
#include "clipboard/clip_view.h"
#include "ui/main/main_form_events.h"
#include "ui/main/main_form_ports.h"
#include "ui/main/widgets.h"
#include "platform/handler_errors.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "store/filter.h"
#include "store/master_list.h"
#include "store/store_services.h"
#include "ui/main/clip_list.h"
#include "store/data_sources.h"
#include "ui/main/collections_tree.h"
#include "ui/dialogs/web_browser.h"
#include "ui/main/preview_pane.h"
#include "ui/main/find.h"
#include "ui/main/transforms.h"
#include "ui/main/glue.h"
#include "ui/main/clip_moves.h"
#include "ui/main/stepfeed.h"
#include "ui/main/pickdrop.h"
#include "ui/main/pickdrop_alternates.h"
#include "ui/main/hot_keys.h"
#include "clipboard/send_key.h"

namespace om {

// The sound events the program plays.
namespace soundevent {
inline constexpr char kNewData[] = "Ottermoor_NewData";
inline constexpr char kGlue[] = "Ottermoor_Glue";
inline constexpr char kEmptyClipboard[] = "Ottermoor_EmptyClipboard";
inline constexpr char kIgnoreClipboardUpdate[] = "Ottermoor_IgnoreClipboardUpdate";
inline constexpr char kStepfeedComplete[] = "Ottermoor_StepfeedComplete";
}  // namespace soundevent

// Formats other programs put beside private data (a password manager's,
// say) to ask clipboard monitors to keep their hands off it.
inline constexpr char kExcludeFromMonitorFormatName[] = "ExcludeClipboardContentFromMonitorProcessing";
inline constexpr char kCanIncludeInHistoryFormatName[] = "CanIncludeInClipboardHistory";

class TfrmQL final : public IMainFormEvents,
                     private IMessageHandler,
                     private IClipListHost,
                     private ICollectionsTreeHost,
                     private IPreviewHost,
                     private ITextTransformsHost,
                     private IGlueHost,
                     private IFindHost,
                     private IClipMovesHost,
                     private IStepfeedHost,
                     private IPickdropHost,
                     private IAlternatesHost,
                     private IHotKeysHost,
                     private IDataSourceHost {
 public:
  // Timers on the form's own hidden window.
  static constexpr std::uint32_t kTimer1 = 1;          // start-up tick, "No Items Selected."
  static constexpr std::uint32_t kAutoSaveTimer = 2;   // tmrAutoSave
  static constexpr std::uint32_t kPingTimer = 3;       // tmrContinuallyPing
  static constexpr std::uint32_t kSavedRefreshTimer = 4;  // the preview a second after "Data Saved"
  static constexpr std::uint32_t kStepfeedTimer = 5;      // tmrSF: the next clip of a sequential paste
  static constexpr std::uint32_t kTimer1Ms = 1000;
  static constexpr std::uint32_t kNoSelectionMs = 250;
  static constexpr std::uint32_t kAutoSaveMs = 60'000;
  static constexpr std::uint32_t kSavedRefreshMs = 1000;
  // Timer1's tags: what its next tick is for.
  static constexpr int kTagStartup = 1;
  static constexpr int kTagPinBlink = 2;
  static constexpr int kTagNoSelection = 3;
  static constexpr int kTagAlternateNoSelection = 4;
  // Autosave waits for this long without list activity.
  static constexpr double kAutoSaveQuietMs = 15'000;
  // How long a browser may take to answer the URL request.
  static constexpr unsigned kDdeRequestTimeoutMs = 3000;

  // Creates the form and runs FormCreate (and with it Startup): the viewer
  // is in the chain, capture waits for the collections, which Timer1 loads
  // about a second later. `arguments` are the command-line arguments after
  // the program's name.
  TfrmQL(const MainFormPorts& ports, TAppSettings& settings, MainFormWidgets& widgets,
         std::vector<std::string> arguments);
  // Releases what ShutDown did not (a close during loading, say): the viewer
  // leaves the chain, nothing is saved.
  ~TfrmQL() override;
  TfrmQL(const TfrmQL&) = delete;
  TfrmQL& operator=(const TfrmQL&) = delete;

  // --- IMainFormEvents ------------------------------------------------
  void FormShow() override;
  bool FormCloseQuery() override;
  void FormClose() override;
  bool WMQueryEndSession() override;
  void MenuClick(MenuCommand command) override;
  ITreeEvents* TreeEvents() override { return tree_.get(); }
  IClipListEvents* ClipListEvents() override { return clip_list_.get(); }
  IClipListEvents* AlternateListEvents() override { return &alternates_->List(); }
  IPreviewEvents* PreviewEvents() override { return preview_.get(); }

  // --- Features ---------------------------------------------------------
  TCollectionsTree& Tree() { return *tree_; }
  TClipList& ClipList() { return *clip_list_; }
  TPreviewPane& Preview() { return *preview_; }
  // The HTML preview window, once it could be made (nullptr: there is
  // none): the pane shows the Html tab, and the application profile keeps
  // browsers' HTML rather than their rich text.
  void AttachHtmlPreview(IHtmlPreview* html);
  // Makes the HTML preview window (the first show of the window), with its
  // log line either way.
  void CreateHtmlPreview();
  bool HTMLViewerAvailable() const { return html_viewer_available_; }
  TTextTransforms& Transforms() { return *transforms_; }
  TGlue& Glue() { return *glue_; }
  TFind& Find() { return *find_; }
  TClipMoves& Moves() { return *moves_; }
  TStepfeed& Stepfeed() { return *stepfeed_; }
  TPickdrop& Pickdrop() { return *pickdrop_; }
  TPickdropAlternates& Alternates() { return *alternates_; }
  THotKeys& HotKeys() { return *hot_keys_; }
  // The program lost activation (another program came to the front).
  void AppDeactivate() override;

  // --- State ------------------------------------------------------------
  // The clip on the system clipboard as far as the program knows.
  TClipObj* ClipboardClip() const override { return clipboard_clip_; }
  TClipObj* LastCapturedClip() const { return last_captured_clip_; }
  bool EventsSuspended() const override { return events_suspended_; }
  bool StartupDone() const { return startup_done_; }
  bool CopyInProgress() const { return copy_in_progress_; }
  double AcceptCapturesAfter() const { return accept_captures_after_; }
  const std::string& LastDDEBrowser() const { return last_dde_browser_; }
  bool DDELinkOpen() const { return dde_link_open_; }
  std::int32_t DefaultDataSourceIndex() const { return default_data_source_index_; }
  int AutoSaveCountdown() const { return autosave_countdown_; }
  const std::string& HelpFile() const { return help_file_; }
  // The collection the clip list shows; nullptr for none.
  TClipColl* ShownCollection() const override { return shown_; }
  // The collection that receives captures the shown one does not accept.
  TClipColl* Inbox() const { return inbox_; }
  TClipColl* TrashCan() const override { return trash_; }
  TClipColl* SearchResults() const override { return search_results_; }
  TMasterList* MasterList() const override { return master_list_.get(); }
  Tfilter* Profile() const { return profile_.get(); }
  TClipView5& Viewer() { return *viewer_; }
  const TAppLog* AppLog() const { return log_.get(); }

  // --- Capture and putting clips back (capture.cc) ----------------------
  void ClipViewCBChange(TClipView5& sender);
  void ClipViewCBChainChange(TClipView5& sender);
  // Puts the clip on the clipboard; its result is TClipObj::Copy's, 0 for no
  // clip. Errors are logged and passed on.
  std::int32_t CopyItem(TClipObj* clip) override;
  void SetCapturing(bool on);
  void PlaySoundOrBeep(std::string_view event_name) override;
  int CalcStateIndex(const TClipColl* coll) const override;
  static bool IsDuplicateClip(TClipObj* fresh, TClipObj* old);
  void ResetClipDisplay();
  void mnuLocateLastClipClick();

  // Ends automatic glue, when it is on, before a command that must not run
  // while texts are still being glued (every feature's host calls it).
  void EndAutoGlue() override;
  bool AutoGlueOn() const { return glue_->AutoGlueOn(); }
  // Empties Search Results (it only refers to clips of other collections);
  // the list is refilled when it shows them. Called before every search and
  // before clips are destroyed, so that it never refers to a clip gone.
  void ClearSearchResults() override;

  // The page URL from a browser over DDE (browser_url.cc); "" on any failure.
  std::string GetURLDDE(const std::string& browser);

  // --- Status -----------------------------------------------------------
  // Level 1: the status bar; level 2 or more: the header above the list as
  // well. With `busy` the window shows the hourglass until the next status
  // without it.
  void ShowStatus(int level, bool busy, std::string_view text) override;

  // --- Start-up and shutdown (startup.cc) -------------------------------
  void LoadData();
  bool ShutDown();
  void ChooseDefaultDataSource();
  void CreateDefaultCollections();
  void mnuExit1Click();
  // The error trap: errors no command caught.
  void AppException(std::exception_ptr error);
  // What the error trap does when the user ends the session (the process
  // ends at once, nothing saved). Tests replace it.
  void SetEmergencyExit(std::function<void()> exit) { emergency_exit_ = std::move(exit); }

  // --- Saving (saving.cc) -----------------------------------------------
  void mnuFileSaveClick();
  void mnuFileReloadClick();
  void tmrAutoSaveTimer();
  // Empties the master list and loads every collection again, the tree
  // with it; nothing is saved first.
  void ReloadAllData() override;

 private:
  class HiddenWindow;
  class HtmlPreview;

  std::intptr_t OnMessage(WindowHandle self, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam,
                          bool& handled) override;

  WindowHandle TimerWindow() const;
  void FormCreate();
  void Startup();
  void Timer1Timer();
  void ArmTimer1(int tag, std::uint32_t interval_ms);
  void StartAutoSaveTimer();
  void StartPingTimer();
  void tmrContinuallyPingTimer();
  void ClipViewPingEnd(TClipView5& sender);
  void InstallStoreServices();
  std::string DataDirectory() const;
  std::unique_ptr<TClipColl> MakeSpecialCollection(const char* title, const char* dir_name, std::uint8_t role,
                                                   std::int32_t icon_index) const;
  void ClearReferences();
  void ClearTreeAndList();

  // IClipListHost and ICollectionsTreeHost (main_form.cc)
  void SetClipboardClip(TClipObj* clip) override { clipboard_clip_ = clip; }
  bool PickdropMode() const override { return pickdrop_->Active(); }
  void SetHeaderText(std::string_view text) override;
  void ArmNoSelectionTimer() override;
  void ShowCollection(TClipColl* coll) override;
  void SetClipPanelVisible(bool visible) override;
  MsgResult ShowMessageBox(std::string_view text, std::string_view caption, MsgButtons buttons,
                           MsgIcon icon) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                     std::string_view text) override;
  void OpenWithShell(std::string_view target) override;
  MsgResult Message(std::string_view text, MsgButtons buttons, MsgIcon icon) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view text) override;
  void LeaveTopmost() override { widgets_.shell.LeaveTopmost(); }
  void RestoreVisibility() override { widgets_.shell.RestoreVisibility(); }
  void ForgetCollection(TClipColl* coll) override;
  std::optional<int> SelectBitmap() override;
  bool DataSourceProperties(TDataSource& source) override;
  void AddDataSource() override;
  void DeleteDataSource(const TClipColl* node_coll) override;
  void SetCollectionButtonImage(int image) override { widgets_.shell.SetCollectionButtonImage(image); }
  void UpdateCaptions() override;
  void DoDropClipsOnColl(TClipColl* coll, bool copy) override;
  bool PreviewPinned() const override { return preview_->Pinned(); }
  void PreviewClip(TClipObj* clip) override { preview_->PreviewClip(clip); }
  void ForgetPreviewedClip() override { preview_->ForgetPreviewedClip(); }
  void UpdateMagView() override { preview_->UpdateMagView(); }
  void LaunchAsUrl() override { transforms_->LaunchasURL1Click(); }
  void RescueEditing() override { preview_->RescueEditing(); }
  // IPreviewHost and ITextTransformsHost (main_form.cc)
  int SelectedRowCount() const override { return widgets_.clips.SelectedCount(); }
  void RefreshClipRow(const TClipObj* clip) override;
  void SetPreviewVisible(bool visible) override { widgets_.shell.SetPreviewVisible(visible); }
  TreeNode SelectedNode() const override { return widgets_.tree.Selected(); }
  void SelectNode(TreeNode node) override { tree_->SelectNode(node); }
  void SelectClipRow(TClipObj* clip) override;
  std::vector<TClipObj*> SelectedClips() const override;
  void DeselectClipRow(const TClipObj* clip) override;
  void ReselectFocusedRow() override;
  void ProcessMessages() override { ports_.clock.ProcessMessages(); }
  void ArmPinBlinkTimer() override { ArmTimer1(kTagPinBlink, TPreviewPane::kPinBlinkMs); }
  std::string BufferFolder() const override;
  void ClearCurrentClips() override;
  bool CtrlKeyDown() const override { return widgets_.shell.CtrlKeyDown(); }
  void ErrorBox(std::string_view text) override;
  // IGlueHost (main_form.cc)
  std::vector<int> SelectedRows() const override { return widgets_.clips.SelectedRows(); }
  std::pair<int, int> ListOrderHint() const override;
  TClipObj* ClipAtRow(int row) const override { return clip_list_->ClipAt(row); }
  void AddNewClipRow(TClipObj* clip, int position) override;
  void SetGlueButtonDown(bool down) override { widgets_.shell.SetGlueButtonDown(down); }
  // IFindHost (main_form.cc)
  std::vector<TClipColl*> TreeCollections() const override { return tree_->Order().NodeCollections(); }
  void SelectSearchResultsNode() override;
  bool EscapeKeyDown() const override { return widgets_.shell.EscapeKeyDown(); }
  IFindView& FindView() override { return widgets_.shell.FindView(); }
  void FocusTextPane() override { widgets_.preview.FocusText(); }
  // IDataSourceHost (main_form.cc)
  void ShowStatus(std::string_view text) override { ShowStatus(1, false, text); }
  std::string CurrentDirectory() override;
  std::optional<std::string> PickDirectory(std::string_view proposed) override;
  int ShowDataSourceProperties(TDataSource& source) override;
  void SaveAllClips() override { mnuFileSaveClick(); }
  // IClipMovesHost (main_form.cc)
  void DeleteSelectedClips() override { moves_->mnuDeleteSelectedItemsClick(); }
  void NewClip() override { moves_->mnuPopupClips_NewClipClick(); }
  void SequentialPasteOff() override { stepfeed_->SFOff(true); }
  void ForgetLastCapturedClip() override { last_captured_clip_ = nullptr; }
  void ForgetClipsOf(const TClipColl& coll) override;
  void ReleasePreview() override;
  int ClipRowCount() const override { return clip_list_->Count(); }
  int FirstSelectedRow() const override;
  void RemoveClipRows(const std::vector<TClipObj*>& clips) override { clip_list_->RemoveRows(clips); }
  void SelectRow(int row) override { SelectClipRow(clip_list_->ClipAt(row)); }
  void AddClipRow(TClipObj* clip, int position) override { clip_list_->AddToLists(clip, true, position); }
  void RefillClipList() override { clip_list_->UpdateLVClips(); }
  void BeginListUpdate() override { widgets_.clips.BeginUpdate(); }
  void EndListUpdate() override { widgets_.clips.EndUpdate(); }
  void EmptyClipboard() override;
  void EditClip(TClipObj* clip) override;
  std::vector<CollectionMenuEntry> CollectionMenuEntries() override;
  void DeallocatePopupMenu() override { tree_->DeallocatePopupMenu(); }
  std::optional<int> PopupFileClipMenu(const std::vector<CollectionMenuEntry>& entries) override {
    return widgets_.shell.PopupFileClipMenu(entries);
  }
  // IStepfeedHost (main_form.cc)
  void UnpinPreview() override { preview_->Unpin(); }
  bool RowSelected(int row) const override { return widgets_.clips.IsSelected(row); }
  void SelectOnlyRow(int row) override;
  void MarkRowSelected(int row) override;
  void PlaceClip(TClipObj* clip) override;
  void RenderAllPromised(TClipObj* clip) override;
  void ShowInPreview(TClipObj* clip) override;
  void StartStepfeedTimer(std::uint32_t interval_ms) override;
  void StopStepfeedTimer() override;
  void SetStepfeedChecks(bool up, bool down) override;
  void SetStepfeedButtons(bool up, bool down) override { widgets_.shell.SetStepfeedButtons(up, down); }
  // IClipListHost: sequential paste and the list's selection.
  bool StepfeedRunning() const override { return stepfeed_->Running(); }
  void StepfeedContinueFrom(int row) override { stepfeed_->ContinueFrom(row); }
  // IPickdropHost (main_form.cc)
  WindowHandle MainWindowHandle() const override { return widgets_.shell.Handle(); }
  WindowHandle ForegroundWindow() override { return ports_.processes.ForegroundWindow(); }
  std::string WindowTitle(WindowHandle window, std::size_t max_chars) override {
    return ports_.processes.WindowTitle(window, max_chars);
  }
  std::string WindowModuleName(WindowHandle window) override { return viewer_->GetWindowFileName(window); }
  WindowHandle FocusedControlOf(WindowHandle window) override { return ports_.processes.FocusedWindowIn(window); }
  void SetForegroundWindow(WindowHandle window) override { ports_.processes.SetForegroundWindow(window); }
  void BringWindowToTop(WindowHandle window) override { ports_.processes.BringWindowToTop(window); }
  void SendKeysTo(std::string_view keys, WindowHandle window) override { send_key_->SendKeysTo(keys, window); }
  void Wait(std::uint32_t ms) override { ports_.clock.Sleep(ms); }
  std::uint32_t TickCount() override { return ports_.clock.TickCount(); }
  void ShowPickdropLayout(bool shown) override { widgets_.shell.ShowPickdropLayout(shown); }
  void SetPickdropButtons(bool lock, bool tab, bool enter, bool sticky) override {
    widgets_.shell.SetPickdropButtons(lock, tab, enter, sticky);
  }
  void ShowMe() override { widgets_.shell.ShowMe(); }
  bool MainWindowVisible() const override { return widgets_.shell.Visible(); }
  void HideMainWindow() override { widgets_.shell.Hide(); }
  void FocusClipList() override { widgets_.shell.FocusClipList(); }
  void SetListMultiSelect(bool multi) override;
  void ReselectSelectedRow() override;
  std::vector<std::string> NoCtrlVFragments() override;
  void ShowAlternates(bool shown) override { widgets_.shell.ShowAlternates(shown); }
  void RefillAlternates() override { alternates_->Refill(); }
  void FocusAlternates() override;
  // IAlternatesHost (main_form.cc)
  void SetAlternateCaption(std::string_view caption) override { widgets_.shell.SetAlternateCaption(caption); }
  void ArmAlternateNoSelectionTimer() override { ArmTimer1(kTagAlternateNoSelection, kNoSelectionMs); }
  void AlternateListEntered() override { pickdrop_->ListEntered(true); }
  void ClipListEntered() override { pickdrop_->ListEntered(false); }
  void cmdPickdropSetAlternateClick();
  // IClipListHost: the keys and double click of the list in Pickdrop.
  void PickdropPaste() override { pickdrop_->ProcessPickdropSelection(); }
  void PickdropEscape() override { pickdrop_->EscapePressed(); }
  bool PickdropFocusCounts() override { return pickdrop_->GuardPassed(); }
  bool PickdropClicksIgnored() override { return pickdrop_->ClicksIgnored(); }
  // IHotKeysHost (main_form.cc)
  WindowHandle HotKeyWindow() const override { return TimerWindow(); }
  bool SettingsDialogOpen() const override { return false; }
  void ActivateMainWindow() override { widgets_.shell.ShowMe(); }
  void SelectNextClip(bool up) override { clip_list_->cmdScrollClick(up); }
  void StartPickdrop() override { pickdrop_->Pickdrop(); }
  bool PrivacyMarkerPresent();
  bool ClipboardOffers(std::uint32_t format);
  void IgnoreChange(const char* log_text, const char* status_text);
  // Captures the change as a new clip (capture.cc); true when one was kept.
  // Otherwise the clip references go back to the remembered ones.
  bool CaptureChange(TClipView5& sender, TClipObj* remembered_clipboard_clip, TClipObj* remembered_last_captured);
  void CloseDdeLink();

  const MainFormPorts ports_;
  TAppSettings& settings_;
  MainFormWidgets& widgets_;
  std::vector<std::string> arguments_;

  // Installed for the form's lifetime; the collections reach the system
  // through it.
  ScopedStoreServices store_services_;
  std::unique_ptr<HiddenWindow> window_;
  std::unique_ptr<TAppLog> log_;
  std::unique_ptr<TClipView5> viewer_;
  std::unique_ptr<Tfilter> profile_;
  std::unique_ptr<TMasterList> master_list_;
  std::unique_ptr<TCollectionsTree> tree_;
  std::unique_ptr<TClipList> clip_list_;
  std::unique_ptr<TPreviewPane> preview_;
  std::unique_ptr<TTextTransforms> transforms_;
  std::unique_ptr<TGlue> glue_;
  std::unique_ptr<TFind> find_;
  std::unique_ptr<TClipMoves> moves_;
  std::unique_ptr<TStepfeed> stepfeed_;
  std::unique_ptr<TSendKey> send_key_;
  std::unique_ptr<TPickdrop> pickdrop_;
  std::unique_ptr<TPickdropAlternates> alternates_;
  std::unique_ptr<THotKeys> hot_keys_;
  std::unique_ptr<TfrmWebBrowser> html_browser_;
  std::unique_ptr<HtmlPreview> html_preview_;
  std::unique_ptr<TDataSourceCommands> data_source_commands_;

  // Owned by the master list once loading has added them.
  TClipColl* trash_ = nullptr;
  TClipColl* search_results_ = nullptr;
  TClipColl* inbox_ = nullptr;
  TClipColl* shown_ = nullptr;

  TClipObj* clipboard_clip_ = nullptr;
  TClipObj* last_captured_clip_ = nullptr;
  bool copy_in_progress_ = false;
  double accept_captures_after_ = 0;
  std::string last_dde_browser_;
  bool dde_link_open_ = false;

  bool events_suspended_ = true;
  bool first_show_pending_ = false;
  bool startup_done_ = false;
  bool html_viewer_available_ = false;
  bool started_minimized_ = false;
  bool busy_ = false;
  bool autosaving_ = false;
  bool error_sink_installed_ = false;

  std::int32_t default_data_source_index_ = 0;
  std::string help_file_;
  double start_time_ = 0;
  int timer1_tag_ = 0;
  int autosave_countdown_ = 0;
  std::uint32_t exclude_format_ = 0;
  std::uint32_t can_include_format_ = 0;

  std::function<void()> emergency_exit_;
  HandlerErrorSink previous_error_sink_;
};

}  // namespace om
