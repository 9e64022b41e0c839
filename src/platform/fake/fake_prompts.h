// The simulated desktop's message boxes: every box shown is recorded, and
// the user's answers are scripted by the test.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/prompts.h"

namespace om::fake {

struct ShownInputBox {
  std::string caption;
  std::string prompt;
  std::string text;
  std::uintptr_t owner = 0;
};

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

  // The text the user leaves in a coming input box and confirms with OK,
  // or nullopt for Cancel, in order. With nothing queued an input box is
  // cancelled.
  void QueueInput(std::optional<std::string> answer) { inputs_.push_back(std::move(answer)); }
  std::size_t QueuedInputs() const { return inputs_.size(); }
  const std::vector<ShownInputBox>& ShownInputs() const { return shown_inputs_; }

  // With no answer queued, the box is answered with its first button: OK
  // for kOk and kOkCancel, Yes for kYesNo and kYesNoCancel.
  MsgResult ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons, MsgIcon icon,
                       std::uintptr_t owner = 0) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt, std::string_view text,
                                      std::uintptr_t owner = 0) override;

 private:
  std::deque<MsgResult> answers_;
  std::vector<ShownBox> shown_;
  std::deque<std::optional<std::string>> inputs_;
  std::vector<ShownInputBox> shown_inputs_;
};

}  // namespace om::fake
