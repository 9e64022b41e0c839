// The viewer on a live chain: the program's TClipView5 with other programs
// writing the clipboard and sitting in the chain before and after it. The
// same cases run on the simulated desktop and, under Wine, on the real
// clipboard with cliptool.exe as the other programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_sound.h"
#include "clipboard/clip_view.h"
#include "clipboard/clipboard.h"
#include "contract/contract_env.h"
#include "platform/text_case.h"

namespace om::contract {
namespace {

// Generous: under Wine on a loaded machine a round trip through another
// process can take a while; nothing waits this long when all is well.
constexpr std::uint32_t kWaitMs = 20000;
// The change handling wait; short, so the cases run quickly.
constexpr std::int32_t kDelayMs = 50;
// A change message within 250 ms of the last clipboard message is the
// program's own; the cases let this much pass before a foreign change.
constexpr std::uint32_t kQuietMs = 400;

// Message boxes must not appear in these cases: one would block the real
// program. Every box is recorded and answered at once.
class RecordingPrompts final : public IPrompts {
 public:
  std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view,
                                      std::uintptr_t) override {
    return std::nullopt;  // nothing here asks for text
  }
  MsgResult ShowMessage(std::string_view text, std::string_view, MsgButtons, MsgIcon, std::uintptr_t) override {
    shown.emplace_back(text);
    return MsgResult::kOk;
  }
  std::vector<std::string> shown;
};

Bytes TextBytes(std::string_view s) {
  Bytes b(s.begin(), s.end());
  b.push_back(0);
  return b;
}

class ClipViewChain : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnv();
    clipboard_ = std::make_unique<TClipboard>(env_->Clipboard());
    installation_ = std::make_unique<TheClipboardInstallation>(*clipboard_);
  }

  void TearDown() override {
    view_.reset();
    apps_.clear();
    installation_.reset();
    clipboard_.reset();
    env_.reset();
  }

  ForeignApp& Foreign() {
    apps_.push_back(env_->StartForeign());
    EXPECT_NE(apps_.back(), nullptr);
    return *apps_.back();
  }

  // The program's viewer, joined to the chain (so at its head), with the
  // change counted by OnCBChange and the ping end by OnPingEnd.
  TClipView5& JoinedView() {
    view_ = std::make_unique<TClipView5>(ClipViewPorts{env_->Windows(), env_->Clock(), env_->Processes(), prompts_,
                                                       sound_, env_->Locale(), *clipboard_});
    view_->Delay = kDelayMs;
    view_->Capturing = true;
    view_->OnCBChange = [this](TClipView5& v) {
      ++changes_;
      // The clipboard is open through the viewer while the event runs.
      opened_during_change_ = v.IsOpen();
    };
    view_->OnPingEnd = [this](TClipView5&) { ++ping_ends_; };
    view_->SetActive(true);
    EXPECT_TRUE(view_->Active());
    // The join's own change message goes on to the next viewer Delay ms
    // later; after that the chain is quiet.
    env_->Pump(kQuietMs);
    return *view_;
  }

  bool Has(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
  }

  std::unique_ptr<ContractEnv> env_;
  std::unique_ptr<TClipboard> clipboard_;
  std::unique_ptr<TheClipboardInstallation> installation_;
  std::vector<std::unique_ptr<ForeignApp>> apps_;
  RecordingPrompts prompts_;
  fake::FakeSound sound_;  // counted, never played
  std::unique_ptr<TClipView5> view_;
  int changes_ = 0;
  int ping_ends_ = 0;
  bool opened_during_change_ = false;
};

TEST_F(ClipViewChain, AForeignChangeIsCapturedOnceAndThenPassedOn) {
  ForeignApp& next = Foreign();
  ASSERT_TRUE(next.JoinChain(false));
  TClipView5& view = JoinedView();
  EXPECT_EQ(view.NextViewer(), next.Window());
  EXPECT_EQ(changes_, 0) << "joining must not capture what is already there";
  // The join's change message went on to the next viewer.
  EXPECT_EQ(next.DrawClipboardCount(), 2);

  ForeignApp& writer = Foreign();
  const std::string custom_name = "Ottermoor Engine Test Format";
  const std::uint32_t custom = writer.Register(custom_name);
  ASSERT_NE(custom, 0u);
  ASSERT_TRUE(writer.Put({{"1", TextBytes("captured text")}, {custom_name, {1, 2, 3, 4}}}));

  ASSERT_TRUE(env_->WaitFor([&] { return changes_ == 1; }, kWaitMs));
  EXPECT_TRUE(opened_during_change_);
  EXPECT_EQ(view.SerialNum(), 1);
  EXPECT_TRUE(Has(view.FormatNums(), "1"));
  EXPECT_TRUE(Has(view.FormatNums(), std::to_string(custom)));
  EXPECT_TRUE(Has(view.FormatNames(), "TEXT"));
  EXPECT_TRUE(Has(view.FormatNames(), custom_name));
  EXPECT_EQ(view.FormatNums().size(), view.FormatNames().size());
  std::string exe = AnsiUpperCase(writer.ExecutableBaseName());
  exe = exe.substr(0, exe.rfind('.'));
  EXPECT_EQ(view.Creator(), exe);
  EXPECT_FALSE(view.IsOpen());

  // Only after the capture does the next viewer hear of the change.
  ASSERT_TRUE(env_->WaitFor([&] { return next.DrawClipboardCount() == 3; }, kWaitMs));
  env_->Pump(kQuietMs);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(next.DrawClipboardCount(), 3);
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(ClipViewChain, TheIgnoreMarkerIsPlacedAndTheOwnChangeIsNotCaptured) {
  TClipView5& view = JoinedView();
  ForeignApp& reader = Foreign();
  const std::uint32_t ignore = reader.Register("Clipboard Viewer Ignore");

  ASSERT_TRUE(view.Open());
  ASSERT_TRUE(view.clear());
  EXPECT_EQ(clipboard_->PutTextBuffer("put back"), ClipStatus::kOk);
  EXPECT_TRUE(view.SetIgnore());
  view.Close();
  env_->Pump(kQuietMs);
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(view.Creator(), "Quillark");

  const auto formats = reader.Read({ignore, cf::kText});
  ASSERT_TRUE(formats.has_value());
  auto marker = std::find_if(formats->begin(), formats->end(), [&](const ForeignFormat& f) { return f.format == ignore; });
  ASSERT_NE(marker, formats->end());
  ASSERT_TRUE(marker->data.has_value());
  ASSERT_GE(marker->data->size(), 33u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(marker->data->data())), "Ignore This Data From Quillark 5");
}

TEST_F(ClipViewChain, APingOnAHealthyChainComesBack) {
  ForeignApp& next = Foreign();
  ASSERT_TRUE(next.JoinChain(false));
  TClipView5& view = JoinedView();
  const int next_draws = next.DrawClipboardCount();

  ASSERT_EQ(view.Ping(), 0);
  ASSERT_TRUE(env_->WaitFor([&] { return ping_ends_ == 1; }, kWaitMs));
  EXPECT_GE(view.PingResult(), 0);
  EXPECT_EQ(view.BadPings(), 0);
  // The ping's change is neither captured nor passed on.
  env_->Pump(kQuietMs);
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(next.DrawClipboardCount(), next_draws);
}

TEST_F(ClipViewChain, ASwallowingViewerAtTheHeadLosesThePing) {
  TClipView5& view = JoinedView();
  ForeignApp& swallower = Foreign();
  ASSERT_TRUE(swallower.JoinChain(true));
  env_->Pump(kQuietMs);

  ASSERT_EQ(view.Ping(), 0);
  ASSERT_TRUE(env_->WaitFor([&] { return ping_ends_ == 1; }, kWaitMs));
  EXPECT_EQ(view.PingResult(), -8);
  EXPECT_EQ(view.BadPings(), 1);
  EXPECT_FALSE(view.PingPending());
}

TEST_F(ClipViewChain, AHungNextViewerDoesNotHoldUpTheViewer) {
  ForeignApp& next = Foreign();
  ASSERT_TRUE(next.JoinChain(false));
  TClipView5& view = JoinedView();
  ForeignApp& writer = Foreign();

  // The next viewer stops answering for far longer than the viewer needs
  // for two changes; a viewer that waited for it would take both only after
  // the hang is over.
  constexpr std::uint32_t kHangMs = 90000;
  const std::uint32_t hang_start = env_->Clock().TickCount();
  ASSERT_TRUE(next.Hang(kHangMs));
  ASSERT_TRUE(writer.Put({{"1", TextBytes("first")}}));
  ASSERT_TRUE(env_->WaitFor([&] { return changes_ == 1; }, kHangMs));
  // The capture ends by passing the change on, which cannot succeed now;
  // then the settle window passes and the next change is taken as usual.
  env_->Pump(kQuietMs);
  ASSERT_TRUE(writer.Put({{"1", TextBytes("second")}}));
  ASSERT_TRUE(env_->WaitFor([&] { return changes_ == 2; }, kHangMs));
  EXPECT_LT(env_->Clock().TickCount() - hang_start, kHangMs) << "the viewer waited for the hung viewer";
  EXPECT_EQ(view.SerialNum(), 2);
}

}  // namespace
}  // namespace om::contract
