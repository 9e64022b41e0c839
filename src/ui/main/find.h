// TFind: searching clips for a piece of text, in the collection shown, in
// every collection, or inside the clip shown in the text pane. Matches in
// collections are gathered in Search Results (which refers to the clips and
// does not own them) and the tree then selects it; a match in the pane is
// selected there, so that the next Find Next continues after it. The form
// keeps nothing of it but this object: the search text lives here, the
// scope in the settings (FindScope).
//
// A long search keeps the window alive: after half a second it shows its
// progress in the status bar, lets the window process its messages now and
// then, and stops when the user presses Esc (showing what it found so far).
// A search also stops, quietly, when the clips it walks are about to go
// (StopSearch: reloading, purging, a collection deleted).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_settings.h"
#include "platform/clock.h"
#include "ui/dialogs/find.h"
#include "ui/main/preview_widget.h"

namespace om {

class TClipColl;
class TClipObj;
class TAsciiFoldedSearch;

class IFindHost {
 public:
  virtual ~IFindHost() = default;
  // Ends automatic glue before the dialog comes up.
  virtual void EndAutoGlue() = 0;
  virtual void LeaveTopmost() = 0;
  virtual void RestoreVisibility() = 0;
  virtual void ShowStatus(int level, bool busy, std::string_view text) = 0;
  // The collection the clip list shows; nullptr for none.
  virtual TClipColl* ShownCollection() const = 0;
  virtual TClipColl* SearchResults() const = 0;
  virtual void ClearSearchResults() = 0;
  // The collections of the tree's nodes, top to bottom.
  virtual std::vector<TClipColl*> TreeCollections() const = 0;
  // Selects the Search Results node (the list then shows it).
  virtual void SelectSearchResultsNode() = 0;
  virtual void ProcessMessages() = 0;
  // The Esc key is down at this moment.
  virtual bool EscapeKeyDown() const = 0;
  virtual IFindView& FindView() = 0;
  // The text pane takes the keyboard focus.
  virtual void FocusTextPane() = 0;
};

class TFind {
 public:
  static constexpr std::size_t kMaxSearchText = 255;
  // A search shows its progress (and looks at the message queue) once it
  // has run this long, then every kProgressEveryMs.
  static constexpr std::uint32_t kProgressAfterMs = 500;
  static constexpr std::uint32_t kProgressEveryMs = 250;
  // How many clips are searched between two looks at the clock and Esc.
  static constexpr std::int32_t kPollEveryClips = 256;

  TFind(IFindHost& host, IPreviewWidget& pane, TAppSettings& settings, IClock& clock);
  TFind(const TFind&) = delete;
  TFind& operator=(const TFind&) = delete;

  // View menu "&Find (Search)..." (Ctrl+F), the tool-bar's "Initiate Search".
  void mnuFindClick();
  // View menu "Find Ne&xt" (F3).
  void mnuFindNextClick() { FindNextClip(); }
  // Runs the search with the current text and scope (FindScope); true when
  // something matched.
  bool FindNextClip();
  // With `on`, the tree selects Search Results.
  void FlipSearch(bool on);
  // The clips are about to go: a search under way stops at its next look
  // around and touches nothing more.
  void StopSearch();

  const std::string& SearchText() const { return search_text_; }
  void SetSearchText(std::string_view text) { search_text_ = std::string(text.substr(0, kMaxSearchText)); }
  bool Searching() const { return searching_; }

  // The status texts.
  static constexpr char kSearching[] = "Searching...";
  static constexpr char kFoundIt[] = "Found It!";
  static constexpr char kNotFound[] = "Not Found.";
  static constexpr char kPaneNotFound[] = "Not Found";
  // A search the program had to stop (its clips were going).
  static constexpr char kStopped[] = "Search Stopped.";
  // "Search Stopped (Esc) - " + matches + " Found So Far."
  static std::string StoppedText(std::size_t matches);

 private:
  enum class Outcome { kDone, kEscaped, kAborted };

  // Each clip of `coll` in order; matches go to Search Results.
  Outcome SearchCollection(TClipColl& coll, TAsciiFoldedSearch& search, std::size_t& matches);
  // The text pane from the end of its selection.
  bool SearchPane();
  // The clock, the message queue and Esc, now and then.
  Outcome LookAround(const TClipColl& coll, std::int32_t done);

  IFindHost& host_;
  IPreviewWidget& pane_;
  TAppSettings& settings_;
  IClock& clock_;
  std::string search_text_;
  bool searching_ = false;
  bool stop_requested_ = false;
  std::uint32_t started_ = 0;
  std::uint32_t last_progress_ = 0;
};

}  // namespace om
