// Clips meeting the clipboard: the store's test world (store_fixture.h)
// with the clipboard object and the viewer on the same simulated desktop,
// foreign applications from the clipboard engine's fixture, an application
// profile whose answers a test sets, and a preview picture that records what
// it was shown.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "clipboard/viewer_fixture.h"
#include "store/clip_obj.h"
#include "store/filter.h"
#include "store/preview_picture.h"
#include "store_fixture.h"

namespace om::testing {

// Answers by a rule the test sets (everything, unless told) and remembers
// every question.
class ScriptedProfile final : public IFormatFilter {
 public:
  std::function<bool(const std::string& app, const std::string& format)> rule = [](const auto&, const auto&) {
    return true;
  };
  std::vector<std::pair<std::string, std::string>> asked;

  bool IsCoffee(std::string_view app, std::string_view format) override {
    asked.emplace_back(std::string(app), std::string(format));
    return rule(asked.back().first, asked.back().second);
  }
  // Accepts exactly the formats named.
  void Accept(std::vector<std::string> formats) {
    rule = [formats = std::move(formats)](const std::string&, const std::string& format) {
      return std::find(formats.begin(), formats.end(), format) != formats.end();
    };
  }
};

class RecordingPreview final : public IPreviewPicture {
 public:
  void ClearPicture() override {
    ++clears;
    shown.reset();
  }
  void ShowBitmap(const TBitmap& bitmap) override { shown = bitmap; }
  int clears = 0;
  std::optional<TBitmap> shown;
};

class ClipboardStoreTest : public StoreTest {
 protected:
  ClipboardStoreTest() {
    view_ = std::make_unique<TClipView5>(ClipViewPorts{desktop_.Windows(), desktop_.Clock(), desktop_.Processes(),
                                                       desktop_.Prompts(), desktop_.Sound(), locale_, clipboard_});
    view_->Delay = 50;
    view_->Capturing = true;
    view_->SetActive(true);
    // Out of the settle window of the viewer's start.
    Advance(1000);
  }
  ~ClipboardStoreTest() override {
    apps_.clear();
    view_.reset();
  }

  TClipView5& View() { return *view_; }
  ForeignApp& Foreign(const std::string& module_path = "C:\\Apps\\notepad.exe") {
    apps_.push_back(std::make_unique<ForeignApp>(desktop_, module_path));
    return *apps_.back();
  }
  void Advance(std::uint32_t ms) { desktop_.Clock().Advance(ms); }
  fake::FakeClipboard& Board() { return desktop_.SharedClipboard(); }
  // Registered with the system under `name` now.
  std::uint32_t Registered(const std::string& name) { return desktop_.Clipboard().RegisterFormat(name); }

  // Lets a foreign application put `items` and captures the change the way
  // the program does: in the viewer's change event, with the clipboard open
  // through the viewer, into a new clip for the source application.
  std::unique_ptr<TClipObj> Capture(ForeignApp& app, const std::vector<Item>& items, std::int32_t* result = nullptr) {
    std::unique_ptr<TClipObj> clip;
    std::int32_t pasted = -1;
    View().OnCBChange = [&](TClipView5& view) {
      clip = std::make_unique<TClipObj>(0, view.Creator());
      pasted = clip->Paste(view, profile_, &preview_);
    };
    app.Put(items);
    Advance(1000);
    View().OnCBChange = nullptr;
    EXPECT_NE(clip, nullptr) << "the change was not captured";
    EXPECT_FALSE(View().IsOpen());
    if (result != nullptr) *result = pasted;
    return clip;
  }

  TClipboard clipboard_{desktop_.Clipboard()};
  TheClipboardInstallation installation_{clipboard_};
  std::unique_ptr<TClipView5> view_;
  std::vector<std::unique_ptr<ForeignApp>> apps_;
  ScriptedProfile profile_;
  RecordingPreview preview_;
};

// The entries of a clip as (number, name) pairs, in order.
inline std::vector<std::pair<std::uint32_t, std::string>> Entries(const TClipObj& clip) {
  std::vector<std::pair<std::uint32_t, std::string>> out;
  if (!clip.DataList) return out;
  for (const auto& entry : *clip.DataList) out.emplace_back(entry->FormatNum, entry->FormatName);
  return out;
}

}  // namespace om::testing
