// The find dialog (TfrmFind): the search text and where to search. Its
// behaviour; the window shows the fields, lets the user edit them and
// reports how it was closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace om {

// The radio buttons of "Scope Of Search".
enum class FindChoice {
  kCurrColl,    // rbCurrColl "Search The C&urrent Collection"
  kAllColl,     // rbAllColl "Search &All Collections"
  kWithinClip,  // rbWithinClip "Search The &Current Clip"
};

// What the window shows and the user edits in place.
struct TFindFields {
  std::string Text;                         // txtFindText, at most MaxLength characters
  std::size_t MaxLength = 255;
  FindChoice Choice = FindChoice::kCurrColl;
  bool WithinClipEnabled = true;            // rbWithinClip can be chosen
};

class TfrmFind;

class IFindView {
 public:
  virtual ~IFindView() = default;
  // Shows the dialog modally (the text field focused, its text selected);
  // the user edits `fields`, and Help is reported to `dialog`. True when
  // closed with OK; the fields hold what the window shows either way.
  virtual bool ShowModal(TfrmFind& dialog, TFindFields& fields) = 0;
};

// The search scopes as the settings keep them (FindScope).
namespace findscope {
inline constexpr std::int32_t kNone = 0;  // no search set up yet
inline constexpr std::int32_t kCurrentCollection = 1;
inline constexpr std::int32_t kAllCollections = 2;
inline constexpr std::int32_t kCurrentClip = 3;
}  // namespace findscope

class TfrmFind {
 public:
  static constexpr int kOK = 1;
  static constexpr int kCancel = 2;
  static constexpr char kCaption[] = "Find";
  static constexpr char kGroupCaption[] = "Scope Of Search";
  static constexpr char kCurrCollCaption[] = "Search The C&urrent Collection";
  static constexpr char kAllCollCaption[] = "Search &All Collections";
  static constexpr char kWithinClipCaption[] = "Search The &Current Clip";

  explicit TfrmFind(IFindView& view) : view_(view) {}

  // Shows the dialog on `text` and `scope`. The traditional view has no
  // text pane to search: there a saved current-clip scope opens on the
  // current collection, with the current-clip choice disabled. Whatever
  // the result, `scope` then takes the chosen button's scope and `text`
  // the field's text cut to `max_length`. kOK or kCancel.
  int Show(std::string& text, std::int32_t& scope, std::size_t max_length, bool traditional_view);

  // The Help button.
  void cmdHelpClick();

 private:
  IFindView& view_;
};

}  // namespace om
