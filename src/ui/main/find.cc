#include "ui/main/find.h"

#include <algorithm>

#include "platform/text_case.h"
#include "store/clip_coll.h"
#include "store/clip_obj.h"
#include "ui/main/current_operation.h"

namespace om {
namespace {

// Marks a search under way for as long as it runs, however it ends.
class SearchingScope {
 public:
  SearchingScope(bool& searching, bool& stop_requested) : searching_(searching) {
    searching_ = true;
    stop_requested = false;
  }
  ~SearchingScope() { searching_ = false; }
  SearchingScope(const SearchingScope&) = delete;
  SearchingScope& operator=(const SearchingScope&) = delete;

 private:
  bool& searching_;
};

}  // namespace

TFind::TFind(IFindHost& host, IPreviewWidget& pane, TAppSettings& settings, IClock& clock)
    : host_(host), pane_(pane), settings_(settings), clock_(clock) {}

std::string TFind::StoppedText(std::size_t matches) {
  return "Search Stopped (Esc) - " + std::to_string(matches) + " Found So Far.";
}

void TFind::mnuFindClick() {
  if (searching_) return;
  EnterOperation("TfrmQL.mnuFindClick");
  host_.EndAutoGlue();
  host_.LeaveTopmost();
  TfrmFind dialog(host_.FindView());
  // The explorer view is the program's only view so far; the traditional
  // view's rule (no current-clip search there) is the dialog's, behind this
  // flag.
  constexpr bool kTraditionalView = false;
  if (dialog.Show(search_text_, settings_.FindScope, kMaxSearchText, kTraditionalView) == TfrmFind::kOK) {
    pane_.Select({0, 0});
    FindNextClip();
  }
  host_.RestoreVisibility();
}

bool TFind::FindNextClip() {
  // Find Next pressed again while a search still runs (its messages are
  // processed) waits for that one.
  if (searching_) return false;
  EnterOperation("TfrmQL.FindNextClip");
  host_.ShowStatus(2, true, kSearching);
  bool found = false;
  Outcome outcome = Outcome::kDone;
  std::size_t matches = 0;
  TAsciiFoldedSearch search(search_text_);
  switch (settings_.FindScope) {
    case findscope::kCurrentCollection: {
      host_.ClearSearchResults();
      TClipColl* const shown = host_.ShownCollection();
      if (shown != nullptr && shown != host_.SearchResults()) {
        SearchingScope scope(searching_, stop_requested_);
        started_ = last_progress_ = clock_.TickCount();
        outcome = SearchCollection(*shown, search, matches);
      }
      break;
    }
    case findscope::kAllCollections: {
      host_.ClearSearchResults();
      SearchingScope scope(searching_, stop_requested_);
      started_ = last_progress_ = clock_.TickCount();
      // Taken once: a node added while the search lets messages through is
      // not searched, and anything that removes one stops the search.
      const std::vector<TClipColl*> collections = host_.TreeCollections();
      for (TClipColl* coll : collections) {
        if (coll == nullptr || coll == host_.SearchResults()) continue;
        host_.ShowStatus(2, true, "Searching " + coll->Title + "...");
        outcome = SearchCollection(*coll, search, matches);
        if (outcome != Outcome::kDone) break;
      }
      break;
    }
    case findscope::kCurrentClip:
      found = SearchPane();
      break;
    default:
      // No search set up yet.
      break;
  }
  if (outcome == Outcome::kAborted) {
    // The clips are going: nothing of this search is shown.
    host_.ShowStatus(1, false, kStopped);
    return false;
  }
  if (settings_.FindScope == findscope::kCurrentCollection || settings_.FindScope == findscope::kAllCollections) {
    found = matches > 0;
    if (found) FlipSearch(true);
  }
  if (outcome == Outcome::kEscaped) {
    host_.ShowStatus(2, false, StoppedText(matches));
  } else {
    host_.ShowStatus(2, false, found ? kFoundIt : kNotFound);
  }
  return found;
}

TFind::Outcome TFind::SearchCollection(TClipColl& coll, TAsciiFoldedSearch& search, std::size_t& matches) {
  TClipColl* const results = host_.SearchResults();
  if (results == nullptr || search.Needle().empty()) return Outcome::kDone;
  // Matches are filed a collection at a time (and when the user stops the
  // search), so that filing many stays linear.
  std::vector<TClipObj*> found;
  Outcome outcome = Outcome::kDone;
  for (std::int32_t i = 0; i < coll.Count(); ++i) {
    if (i % kPollEveryClips == kPollEveryClips - 1) {
      outcome = LookAround(coll, i);
      if (outcome != Outcome::kDone) break;
    }
    TClipObj* const clip = coll.Clip(i);
    if (clip == nullptr) continue;
    // A clip that matches both ways is added once.
    if (clip->FindInTitle(search) || TClipColl::FindInbody(*clip, search)) found.push_back(clip);
  }
  if (outcome == Outcome::kAborted) return outcome;
  results->MyAddObjects(found);
  matches += found.size();
  return outcome;
}

TFind::Outcome TFind::LookAround(const TClipColl& coll, std::int32_t done) {
  if (host_.EscapeKeyDown()) return Outcome::kEscaped;
  const std::uint32_t now = clock_.TickCount();
  if (now - started_ >= kProgressAfterMs && now - last_progress_ >= kProgressEveryMs) {
    last_progress_ = now;
    // Read before the messages run: they may take the collection away.
    const std::string progress = "Searching " + coll.Title + "... " + std::to_string(done) + " of " +
                                 std::to_string(coll.Count()) + " Clips";
    host_.ShowStatus(1, true, progress);
    host_.ProcessMessages();
  }
  // Whatever the messages did to the clips, nothing of them is touched
  // once they are going.
  if (stop_requested_) return Outcome::kAborted;
  return Outcome::kDone;
}

bool TFind::SearchPane() {
  const TextSelection selection = pane_.Selection();
  const std::size_t start =
      selection.length > 0 ? static_cast<std::size_t>(std::max(selection.start, 0) + selection.length) : 0;
  // Not case-sensitive, as the pane's own search would be: every letter of
  // the code page folded.
  const std::string needle = AnsiUpperCase(search_text_);
  const std::string text = AnsiUpperCase(pane_.Text());
  const std::size_t at = needle.empty() || start > text.size() ? std::string::npos : text.find(needle, start);
  if (at == std::string::npos) {
    host_.ShowStatus(1, false, kPaneNotFound);
    return false;
  }
  host_.ShowStatus(1, false, kFoundIt);
  host_.FocusTextPane();
  pane_.Select({static_cast<std::int32_t>(at), static_cast<std::int32_t>(needle.size())});
  return true;
}

void TFind::FlipSearch(bool on) {
  if (on) host_.SelectSearchResultsNode();
}

void TFind::StopSearch() {
  if (searching_) stop_requested_ = true;
}

}  // namespace om
