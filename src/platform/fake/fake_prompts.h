// The simulated desktop's message boxes: every box shown is recorded, and
// the user's answers are scripted by the test.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace om::fake {

struct ShownBox {
  std::string text;
  std::string caption;
  MsgButtons buttons = MsgButtons::kOk;
  MsgIcon icon = MsgIcon::kNone;
  std::uintptr_t owner = 0;
};

class FakePrompts final : public IPrompts {
 public:
  // The answer to a coming box, in order. A box that gets an answer it has
  // no button for (kYes for an OK box, say) throws std::logic_error: the
  // script does not fit the program.
  void QueueAnswer(MsgResult answer) { answers_.push_back(answer); }
  std::size_t QueuedAnswers() const { return answers_.size(); }
  // Every box shown so far, oldest first.
  const std::vector<ShownBox>& Shown() const { return shown_; }

  // With no answer queued, the box is answered with its first button: OK
  // for kOk and kOkCancel, Yes for kYesNo and kYesNoCancel.
  MsgResult ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons, MsgIcon icon,
                       std::uintptr_t owner = 0) override;

 private:
  std::deque<MsgResult> answers_;
  std::vector<ShownBox> shown_;
};

}  // namespace om::fake
