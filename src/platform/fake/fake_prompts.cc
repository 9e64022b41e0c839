#include "platform/fake/fake_prompts.h"

#include <stdexcept>

namespace om::fake {
namespace {

MsgResult FirstButton(MsgButtons buttons) {
  return buttons == MsgButtons::kOk || buttons == MsgButtons::kOkCancel ? MsgResult::kOk : MsgResult::kYes;
}

}  // namespace

MsgResult FakePrompts::ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons,
                                  MsgIcon icon, std::uintptr_t owner) {
  shown_.push_back({std::string(text), std::string(caption), buttons, icon, owner});
  if (answers_.empty()) return FirstButton(buttons);
  const MsgResult answer = answers_.front();
  answers_.pop_front();
  if (!Offers(buttons, answer)) {
    throw std::logic_error("FakePrompts: the queued answer is not a button of the box \"" + std::string(text) + "\"");
  }
  return answer;
}

std::optional<std::string> FakePrompts::InputBox(std::string_view caption, std::string_view prompt,
                                                 std::string_view text, std::uintptr_t owner) {
  shown_inputs_.push_back({std::string(caption), std::string(prompt), std::string(text), owner});
  if (inputs_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(inputs_.front());
  inputs_.pop_front();
  return answer;
}

}  // namespace om::fake
