// An exception thrown by a message handler stops at the window procedure
// and reaches the application's sink; the window and the program go on.
#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/handler_errors.h"
#include "platform/win32/window_system.h"

namespace om {
namespace {

class ThrowingHandler final : public IMessageHandler {
 public:
  std::intptr_t OnMessage(WindowHandle, std::uint32_t message, std::uintptr_t wparam, std::intptr_t,
                          bool& handled) override {
    if (message != msg::kUser) {
      handled = false;
      return 0;
    }
    if (wparam == 1) throw std::runtime_error("the handler gave up");
    if (wparam == 2) throw 42;
    if (wparam == 3) throw std::out_of_range("past the end");
    return 7;
  }
};

TEST(HandlerErrors, AnExceptionFromAHandlerReachesTheSinkAndTheWindowGoesOn) {
  std::vector<std::string> reported;
  std::vector<std::exception_ptr> errors;
  const HandlerErrorSink before = SetHandlerErrorSink([&](std::exception_ptr error) {
    reported.push_back(HandlerErrorText(error));
    errors.push_back(error);
  });
  win32::Win32WindowSystem windows;
  ThrowingHandler handler;
  const WindowHandle window = windows.CreateHidden(handler, "throwing");
  ASSERT_NE(window, 0u);

  EXPECT_EQ(windows.Send(window, msg::kUser, 1, 0).status, SendStatus::kOk);
  EXPECT_EQ(windows.Send(window, msg::kUser, 2, 0).status, SendStatus::kOk);
  EXPECT_EQ(windows.Send(window, msg::kUser, 3, 0).status, SendStatus::kOk);
  const SendResult normal = windows.Send(window, msg::kUser, 0, 0);
  EXPECT_EQ(normal.status, SendStatus::kOk);
  EXPECT_EQ(normal.result, 7);
  EXPECT_EQ(reported, (std::vector<std::string>{"the handler gave up", "Unknown error", "past the end"}));
  // The exception itself arrives, not just its text: its class still counts.
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_THROW(std::rethrow_exception(errors[1]), int);
  EXPECT_THROW(std::rethrow_exception(errors[2]), std::out_of_range);

  windows.Destroy(window);
  SetHandlerErrorSink(before);
}

}  // namespace
}  // namespace om
