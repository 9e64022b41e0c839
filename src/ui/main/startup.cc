// Creation, start-up, the deferred load of every collection, the close
// query, shutdown and the error trap.
#include <fstream>
#include <utility>

#include "app/paths.h"
#include "clipboard/format_names.h"
#include "ui/main/current_operation.h"
#include "ui/main/main_form.h"
#include "ui/main/program_entry.h"
#include "platform/text_case.h"
#include "store/store_errors.h"

namespace om {

namespace {

constexpr char kEol[] = "\r\n";
constexpr char kNoCaptureArgument[] = "NOCAPTURE";
constexpr char kErrorLogName[] = "ERRORLOG.TXT";
constexpr std::int32_t kSpecialTreeSortKey = 64001;

}  // namespace

void TfrmQL::FormCreate() {
  first_show_pending_ = true;
  started_minimized_ = IsMinimizedShowState(ports_.instance.StartupShowState());
  // Activation, deactivation, minimize and restore, and the system menu's
  // "Show/Hide Main Menu In Traditional View" belong to the window itself
  // and come with the views.
  Startup();
}

std::string TfrmQL::DataDirectory() const {
  const auto& sources = settings_.DataSources;
  if (sources.empty()) return IncludeTrailingBackslash(settings_.AppDir);
  const auto index = static_cast<std::size_t>(default_data_source_index_);
  return IncludeTrailingBackslash(sources.at(index < sources.size() ? index : 0).Source.Directory);
}

void TfrmQL::Startup() {
  EnterOperation("TfrmQL.Startup");
  // The help file.
  help_file_ = ports_.instance.ProgramFolder() + "Ottermoor.HLP";
  ChooseDefaultDataSource();
  StoreServices().DataDirectory = DataDirectory();
  // Nothing is captured and no list event acts until the collections
  // are loaded.
  events_suspended_ = true;
  StoreServices().LoadingCollections = true;
  ClearReferences();
  last_dde_browser_.clear();
  dde_link_open_ = false;
  start_time_ = ports_.clock.Now();
  // Pickdrop's tool bar is hidden, its buttons as the user left them.
  widgets_.shell.ShowPickdropLayout(false);
  widgets_.shell.ShowAlternates(false);
  widgets_.menus.SetChecked(MenuItem::kShowPDAlternates, settings_.ShowPDAlternates);
  pickdrop_->LoadButtonStates();
  ShowStatus(2, true, "Initializing...");
  widgets_.tray.SetActive(settings_.UseSysTray);
  // The log, in the data directory. A data directory that cannot be
  // written to must not stop the program: it runs without a log.
  SetOperationStep(7);
  try {
    log_ = std::make_unique<TAppLog>(LogLevelVariable(), DataDirectory(), ports_.clock, ports_.locale);
  } catch (const std::exception&) {
    log_.reset();
  }
  // Errors no command catches come to the error trap, their class kept:
  // the program's own errors are reported as non-fatal.
  previous_error_sink_ = SetHandlerErrorSink([this](std::exception_ptr error) { AppException(std::move(error)); });
  error_sink_installed_ = true;
  // The clip list's thumbnail cache, for its icon view.
  SetOperationStep(9);
  clip_list_->InitializeThumbnailRegistry();
  // The image lists come with the window's artwork, the hex viewer with
  // the preview.
  // Into the chain; changes are only logged until the load is done.
  SetOperationStep(11);
  viewer_->SettleTime = settings_.SettleTime;
  viewer_->SetActive(true);
  // The text pane's word wrap and font; the other view settings (tool
  // bars, hints, drop-down) belong to the window's views and come with them.
  preview_->ApplySettings();
  profile_ = std::make_unique<Tfilter>(ports_.store, settings_.RegistryKey, ports_.clipboard_system);
  // No embedded browser yet: browsers' entries keep their rich text.
  profile_->HtmlPreviewAvailable = html_viewer_available_;
  master_list_ = std::make_unique<TMasterList>();
  ShowStatus(2, false, "");
  // Sequential paste: off, its timer's interval from the setting.
  StoreServices().SequentialPaste = seqpaste::kOff;
  stepfeed_->ApplyDelaySetting();
  viewer_->Delay = settings_.DelayOnClipboardUpdate;
  viewer_->Capturing = true;
  RegisterStartupFormats(ports_.clipboard_system);
  exclude_format_ = ports_.clipboard_system.RegisterFormat(kExcludeFromMonitorFormatName);
  can_include_format_ = ports_.clipboard_system.RegisterFormat(kCanIncludeInHistoryFormatName);
  glue_->ParseGlueSeparator();
  hot_keys_->SetHotKeys();
  SetCapturing(true);
  // The optional tool buttons; the rest of the views' layout comes with
  // the views.
  widgets_.shell.ShowToolButtons(settings_.ShowSearch, settings_.ShowNOCRLF);
  ports_.clock.ProcessMessages();
  // The start-up tick.
  ArmTimer1(kTagStartup, kTimer1Ms);
  autosave_countdown_ = settings_.AutoSaveInterval;
  StartAutoSaveTimer();
  if (!arguments_.empty() && SameTextIgnoringCase(arguments_.front(), kNoCaptureArgument)) SetCapturing(false);
  widgets_.menus.SetVisible(MenuItem::kFileReload, false);
  widgets_.menus.SetVisible(MenuItem::kImportCollections, false);
  widgets_.menus.SetVisible(MenuItem::kCheckForUpdates, false);
  // The icons belong to the window.
  // The clip list's columns as the user left them.
  clip_list_->RestoreLayout();
}

void TfrmQL::FormShow() {
  if (!first_show_pending_) return;
  first_show_pending_ = false;
  CreateHtmlPreview();
}



void TfrmQL::AttachHtmlPreview(IHtmlPreview* html) {
  html_viewer_available_ = html != nullptr;
  preview_->SetHtmlPreview(html);
  if (profile_) profile_->HtmlPreviewAvailable = html_viewer_available_;
}

void TfrmQL::ChooseDefaultDataSource() {
  const auto& sources = settings_.DataSources;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (sources[i].Source.AutoLoad && !sources[i].Source.Read_Only) {
      default_data_source_index_ = static_cast<std::int32_t>(i);
      return;
    }
  }
  default_data_source_index_ = 0;
  Message(std::string("There is a problem with the data sources.  Please go into the DATA tab of User Preferences") +
              kEol + "and add a valid, writeable data source.",
          MsgButtons::kOk, MsgIcon::kError);
}

void TfrmQL::CreateDefaultCollections() {
  struct First {
    const char* title;
    std::uint8_t type;
    std::int32_t icon;
    std::int32_t key;
  };
  constexpr First kFirst[] = {{"Short-Term", colltype::kLength, collicon::kLength, 200},
                              {"Long-Term", colltype::kSafe, collicon::kSafe, 400}};
  const std::string folder = DataDirectory();
  for (const First& first : kFirst) {
    TClipColl coll(/*initialise=*/true);
    coll.Title = first.title;
    coll.DirName = first.title;
    coll.CollType = first.type;
    coll.IconIndex = first.icon;
    coll.TreeSortKey = first.key;
    try {
      coll.SaveToFile(folder + coll.DirName + "\\" + kCollFileName);
    } catch (const std::exception& error) {
      // The load that follows finds what was written; the user hears of a
      // data folder that refuses files from the loader and the log.
      Log(loglevel::kError, "CreateDefaultCollections", error.what());
    }
  }
  settings_.FreshDataFolder = false;
}

std::unique_ptr<TClipColl> TfrmQL::MakeSpecialCollection(const char* title, const char* dir_name,
                                                         std::uint8_t role, std::int32_t icon_index) const {
  auto coll = std::make_unique<TClipColl>(/*initialise=*/true);
  coll->Title = title;
  coll->DirName = dir_name;
  coll->CollType = colltype::kTime;
  coll->MaxDays = 0;
  coll->Role = role;
  coll->AcceptNewClips = false;
  coll->IconIndex = icon_index;
  coll->TreeSortKey = kSpecialTreeSortKey;
  // Whatever was in it at the last exit is gone.
  coll->WipeFiles();
  return coll;
}

void TfrmQL::LoadData() {
  EnterOperation("TfrmQL.LoadData");
  ChooseDefaultDataSource();
  StoreServices().DataDirectory = DataDirectory();
  ShowStatus(2, true, "Loading Data...");
  ClearTreeAndList();
  widgets_.shell.SetPreviewVisible(false);
  // The first run.
  SetOperationStep(2);
  bool has_subfolder = false;
  if (const auto entries = ports_.files.ListDirectory(DataDirectory())) {
    for (const TDirEntry& entry : *entries) has_subfolder = has_subfolder || entry.IsDirectory;
  }
  if (!has_subfolder || settings_.FreshDataFolder) CreateDefaultCollections();
  // The special collections, empty at every start.
  SetOperationStep(3);
  auto trash = MakeSpecialCollection("Trash Can", "TrashCan", collrole::kTrash, collicon::kTrash);
  auto search = MakeSpecialCollection("Search Results", "SearchResults", collrole::kSearchResults,
                                      collicon::kSearchResults);
  SetOperationStep(5);
  master_list_->Load(settings_.DataSources);
  tree_->BuildTree(*master_list_);
  ports_.files.MakeDirectories(trash->GetPath());
  trash_ = master_list_->Add(std::move(trash));
  search_results_ = master_list_->Add(std::move(search));
  tree_->AddRoot(trash_);
  tree_->AddRoot(search_results_);
  inbox_ = master_list_->Designate(tree_->Order());
  // From here on changes are captured.
  events_suspended_ = false;
  // The second node, which shows its collection.
  SetOperationStep(10);
  const std::vector<TreeNode> nodes = widgets_.tree.Nodes();
  if (!nodes.empty()) {
    const TreeNode second = nodes.size() > 1 ? nodes[1] : nodes[0];
    widgets_.tree.Select(second);
    tree_->tvCollectionsChange(second);
  }
  // Fonts and the rich-text pane belong to the window's views, the
  // pick-and-paste alternate collection to pick-and-paste.
  widgets_.tree.ScrollLeft();
  StartPingTimer();
  ShowStatus(1, false, std::to_string(master_list_->Count()) + " Collections Loaded.");
  StoreServices().LoadingCollections = false;
}

bool TfrmQL::FormCloseQuery() {
  EnterOperation("TfrmQL.FormCloseQuery");
  if (events_suspended_) {
    // Shutdown has begun, or the collections are still loading: closing
    // now saves nothing.
    Log(loglevel::kStartStop, "#FormCloseQuery Started AGAIN", "Probably Re-Try.  Returning TRUE.");
    return true;
  }
  Log(loglevel::kStartStop, ">FormCloseQuery", "Started.");
  ShowStatus(2, true, "Shutting Down...");
  ports_.clock.ProcessMessages();
  events_suspended_ = true;
  if (master_list_) mnuFileSaveClick();
  const bool result = ShutDown();
  Log(loglevel::kStartStop, "<FormCloseQuery", "Complete.");
  return result;
}

bool TfrmQL::ShutDown() {
  EnterOperation("TfrmQL.ShutDown");
  Log(loglevel::kStartStop, ">ShutDown", "SHUTDOWN Started.");
  ports_.clock.KillTimer(TimerWindow(), kPingTimer);
  ports_.clock.KillTimer(TimerWindow(), kAutoSaveTimer);
  // The window's position is the window's to record.
  events_suspended_ = true;
  ShowStatus(2, true, "Shutting Down..");
  // Out of the chain.
  SetOperationStep(4);
  viewer_->Capturing = false;
  viewer_->SetActive(false);
  // A clip still promised to the clipboard (sequential paste armed) is
  // written there now, while the clips exist: the paste the user is about
  // to make must not come up empty once the program is gone.
  stepfeed_->RenderAllFormats();
  CloseDdeLink();
  Log(loglevel::kStartStop, ">>ShutDown", "Clearing Explorer Controls - Start");
  ClearTreeAndList();
  ClearReferences();
  Log(loglevel::kStartStop, "<<ShutDown", "Clearing Explorer Controls - Finished");
  // The trash is emptied; the master list frees every collection.
  SetOperationStep(6);
  preview_->FreeBinaryBuffer();
  if (trash_ != nullptr) trash_->WipeFiles();
  ClearSearchResults();
  master_list_.reset();
  trash_ = search_results_ = inbox_ = nullptr;
  profile_.reset();
  hot_keys_->RegisterHotKeys(false);
  // The clip list's column layout is kept with the settings, and like
  // them not after a reset of sizes and positions (which waits for the next
  // start with the defaults).
  SetOperationStep(8);
  settings_.InstalledAlready = true;
  settings_.Save();
  if (!settings_.NoSaveOnExit) clip_list_->SaveLayout();
  // The data sources belong to the settings, which the process frees.
  Log(loglevel::kStartStop, "<ShutDown", "SHUTDOWN Complete.");
  ShowStatus(2, false, "Shutdown Complete");
  return true;
}

void TfrmQL::FormClose() {
  Log(loglevel::kStartStop, ">FormClose", "Started.");
  // The behaviour refers to the window: it goes first.
  AttachHtmlPreview(nullptr);
  html_browser_.reset();
  widgets_.shell.DestroyHtmlView();
  Log(loglevel::kStartStop, "<FormClose", "Ended.");
}

bool TfrmQL::WMQueryEndSession() {
  // Saves and shuts down as a close does; the system may end the session
  // whatever the close query said.
  FormCloseQuery();
  return true;
}

void TfrmQL::AppException(std::exception_ptr error) {
  std::string message = "Unknown error";
  bool own_error = false;
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EProgramError& e) {
    message = e.what();
    own_error = true;
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
  }
  // The HTML preview's and the rich-text pane's own errors come with them.
  const TCurrentOperation& operation = CurrentOperation();
  const std::string step = std::to_string(operation.Step);

  // One line in the error log, in the first data source's folder.
  const auto& sources = settings_.DataSources;
  const std::string folder =
      sources.empty() ? std::string("\\") : IncludeTrailingBackslash(sources.front().Source.Directory);
  const std::string error_log = folder + kErrorLogName;
  {
    std::ofstream file(ToFsPath(error_log), std::ios::binary | std::ios::app);
    file << "v" << kLogVersion << "  @" << ports_.locale.FormatDateTime(ports_.clock.Now()) << "  err:" << message
         << " " << " In:" << operation.Name << "( " << step << ") " << kEol;
  }
  widgets_.shell.LeaveTopmost();
  if (LogActive()) Log(loglevel::kError, "Exception", message + " " + " In:" + operation.Name + "(" + step + ") ");
  if (!own_error) {
    // A foreign error: carry on or end at once.
    const MsgResult answer =
        Message("Quillark encountered the following exception:" + std::string(kEol) + message + kEol + kEol +
                    "In:" + operation.Name + "( " + step + ") " + kEol + "The Error has been logged in: " + error_log +
                    kEol + "It is probably safe to continue." + kEol + "CONTINUE SESSION?",
                MsgButtons::kYesNo, MsgIcon::kError);
    if (answer == MsgResult::kNo) {
      Log(loglevel::kStartStop, "AppException", "EMERGENCY SHUTDOWN Complete.");
      emergency_exit_();
      return;
    }
  } else {
    Message("Ottermoor encountered the following NON-FATAL exception:" + std::string(kEol) + message + kEol + kEol +
                "In:" + operation.Name + "( " + step + ") ",
            MsgButtons::kOk, MsgIcon::kWarning);
  }
  widgets_.shell.RestoreVisibility();
}

}  // namespace om
