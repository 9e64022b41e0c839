// The start-up dialogs as real windows: the data-folder dialog driven
// through its buttons (BM_CLICK) while it runs on a thread of its own, with
// the folder chooser and the message boxes scripted; and the application's
// information box.
#include "ui/dialogs/win32/choose_data_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/app_messages.h"
#include "child_process.h"
#include "platform/win32/file_system.h"

namespace om::test {
namespace {

constexpr std::uint32_t kWaitMs = 20000;
constexpr char kCaption[] = "Ottermoor - Choose Data Storage Location";
constexpr char kRecommended[] = "C:\\Users\\me\\AppData\\Roaming\\Brenholt\\Ottermoor\\";
constexpr char kExplanation[] =
    "Choose the directory using the following dialog.  You are NOT limited to existing directories - if the "
    "directory does not exist, simply type it into the path portion of the dialog, and it will be created.  We "
    "recommend putting \\data at the end.";
constexpr char kQuestion[] = "Would you like to add \"\\data\" to the end of that path?";

struct Shown {
  std::string text;
  std::string caption;
  MsgButtons buttons;
  MsgIcon icon;
  bool owned;
};

// Message boxes that answer from a script (OK when it runs out) and keep
// what they were asked.
class ScriptedPrompts final : public IPrompts {
 public:
  std::deque<MsgResult> answers;
  std::vector<Shown> shown;
  std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view,
                                      std::uintptr_t) override {
    return std::nullopt;  // nothing here asks for text
  }
  MsgResult ShowMessage(std::string_view text, std::string_view caption, MsgButtons buttons, MsgIcon icon,
                        std::uintptr_t owner) override {
    shown.push_back({std::string(text), std::string(caption), buttons, icon, owner != 0});
    if (answers.empty()) return MsgResult::kOk;
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// A folder of the test's own under the temporary folder, removed afterwards.
std::string ScratchFolder(const char* name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "om_choose_" + name + "_" + std::to_string(::GetCurrentProcessId()) + "\\";
  std::filesystem::remove_all(folder);
  return folder;
}

HWND Child(HWND dialog, const char* window_class, const std::string& text) {
  return ::FindWindowExA(dialog, nullptr, window_class, text.c_str());
}

void Click(HWND button) { ::SendMessageA(button, BM_CLICK, 0, 0); }

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The visible dialog-class window `thread` shows, if any.
HWND ShownDialog(DWORD thread) {
  HWND found = nullptr;
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM out) {
        char window_class[16] = {};
        ::GetClassNameA(window, window_class, sizeof window_class);
        if (std::string(window_class) != "#32770" || !::IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs `show` (which shows a modal window and returns once it is closed)
// on a thread of its own, checks the caption of the window it shows and
// hands that window to `drive` on this thread. Whatever the thread still
// shows afterwards is closed, so a failing test cannot leave it waiting.
void OnItsOwnThread(const std::function<void()>& show, const std::string& caption,
                    const std::function<void(HWND)>& drive) {
  std::atomic<DWORD> thread_id{0};
  std::atomic<bool> done{false};
  std::thread thread([&] {
    thread_id = ::GetCurrentThreadId();
    show();
    done = true;
  });
  HWND window = nullptr;
  const bool shown = PumpUntil(
      [&] {
        window = thread_id != 0 ? ShownDialog(thread_id) : nullptr;
        return window != nullptr || done;
      },
      kWaitMs);
  if (shown && window != nullptr) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    EXPECT_EQ(std::string(text), caption);
    drive(window);
  } else {
    ADD_FAILURE() << "no window appeared";
  }
  PumpUntil(
      [&] {
        if (done) return true;
        ::EnumThreadWindows(
            thread_id, [](HWND w, LPARAM) { return ::PostMessageA(w, WM_CLOSE, 0, 0); }, 0);
        return done.load();
      },
      kWaitMs);
  thread.join();
}

std::optional<std::string> RunDialog(TfrmChooseDataFolder& form, const std::function<void(HWND)>& drive) {
  std::optional<std::string> result;
  OnItsOwnThread([&] { result = form.ChooseDataFolder(kRecommended); }, kCaption, drive);
  return result;
}

class ChooseDataFolder : public ::testing::Test {
 protected:
  ScriptedPrompts prompts_;
  win32::Win32FileSystem files_;
  std::optional<std::string> picked_;  // what the folder chooser gives
  int picker_opened_ = 0;
  TfrmChooseDataFolder form_{prompts_, files_, [this](std::uintptr_t owner, std::string_view) {
                               ++picker_opened_;
                               EXPECT_NE(owner, 0u) << "the chooser is modal to the dialog";
                               return picked_;
                             }};
};

TEST_F(ChooseDataFolder, ShowsItsTextsAndConfirmsTheRecommendedFolder) {
  const auto result = RunDialog(form_, [&](HWND dialog) {
    EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0) << "no close button";
    for (const char* text :
         {"The program needs a place to store clipboard data.   This can be on any hard drive on your PC, or on a "
          "network drive.  The Windows registry recommends a location for this kind of data, but many users find "
          "this unsuitable.  ",
          "The Windows registry recommends this location for storing the data.", "OR",
          "You can put your data anywhere else that you'd like, using the following button.  You can point to an "
          "existing data source folder, or create a new one.",
          kRecommended}) {
      EXPECT_NE(Child(dialog, "Static", text), nullptr) << text;
    }
    HWND use_default = Child(dialog, "Button", "Use this &default data storage location");
    HWND choose = Child(dialog, "Button", "Let me &choose my own data storage location");
    HWND ok = Child(dialog, "Button", "&Ok");
    ASSERT_TRUE(use_default && choose && ok);

    EXPECT_FALSE(::IsWindowEnabled(ok));
    Click(ok);  // and Enter, which reaches the dialog even so
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Escape
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "nothing chosen, nothing to confirm; Escape does nothing";

    Click(use_default);
    EXPECT_TRUE(::IsWindowEnabled(ok));
    EXPECT_TRUE(Checked(use_default));
    EXPECT_FALSE(Checked(choose));
    Click(ok);
  });
  EXPECT_EQ(result, kRecommended);
  EXPECT_TRUE(prompts_.shown.empty());
}

TEST_F(ChooseDataFolder, ClosingWithoutOkGivesNothing) {
  const auto result = RunDialog(form_, [&](HWND dialog) {
    Click(Child(dialog, "Button", "Use this &default data storage location"));
    ::SendMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(result, std::nullopt);
}

TEST_F(ChooseDataFolder, AFolderOfTheUsersOwnIsCreatedWithItsParents) {
  const std::string scratch = ScratchFolder("own");
  struct Case {
    const char* what;
    std::string picked;
    std::deque<MsgResult> answers;  // after the explanation's OK
    bool asked;
    std::string folder;  // without the trailing backslash
  };
  const Case cases[] = {
      {"\\data added", scratch + "new\\deep", {MsgResult::kYes}, true, scratch + "new\\deep\\data"},
      {"\\data declined", scratch + "plain", {MsgResult::kNo}, true, scratch + "plain"},
      {"has data", scratch + "mydata\\x", {}, false, scratch + "mydata\\x"},
      {"Data is not data", scratch + "Data2", {MsgResult::kNo}, true, scratch + "Data2"},
      {"trailing backslash", scratch + "slash\\", {MsgResult::kYes}, true, scratch + "slash\\data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    prompts_.shown.clear();
    prompts_.answers = {MsgResult::kOk};
    prompts_.answers.insert(prompts_.answers.end(), c.answers.begin(), c.answers.end());
    picked_ = c.picked;
    const auto result = RunDialog(form_, [&](HWND dialog) {
      HWND choose = Child(dialog, "Button", "Let me &choose my own data storage location");
      ASSERT_NE(choose, nullptr);
      Click(choose);
      EXPECT_NE(Child(dialog, "Static", c.folder + "\\"), nullptr) << "shown as the alternate folder";
      EXPECT_TRUE(Checked(choose));
      EXPECT_TRUE(::IsWindowEnabled(Child(dialog, "Button", "&Ok")));
      Click(Child(dialog, "Button", "&Ok"));
    });
    EXPECT_EQ(result, c.folder + "\\");
    EXPECT_TRUE(std::filesystem::is_directory(c.folder));
    ASSERT_EQ(prompts_.shown.size(), c.asked ? 2u : 1u);
    EXPECT_EQ(prompts_.shown[0].text, kExplanation);
    EXPECT_EQ(prompts_.shown[0].caption, "Ottermoor 1.0");
    EXPECT_TRUE(prompts_.shown[0].owned);
    if (c.asked) {
      EXPECT_EQ(prompts_.shown[1].text, kQuestion);
      EXPECT_EQ(prompts_.shown[1].buttons, MsgButtons::kYesNo);
    }
  }
  std::filesystem::remove_all(scratch);
}

TEST_F(ChooseDataFolder, AFolderThatCannotBeCreatedIsNotOffered) {
  const std::string scratch = ScratchFolder("bad");
  std::filesystem::create_directories(scratch);
  { std::ofstream(scratch + "file.txt") << "x"; }
  const std::string impossible = scratch + "file.txt\\data";
  prompts_.answers = {MsgResult::kOk};
  const auto result = RunDialog(form_, [&](HWND dialog) {
    HWND choose = Child(dialog, "Button", "Let me &choose my own data storage location");
    HWND use_default = Child(dialog, "Button", "Use this &default data storage location");
    ASSERT_TRUE(choose && use_default);

    picked_ = std::nullopt;  // cancelled
    Click(choose);
    EXPECT_FALSE(::IsWindowEnabled(Child(dialog, "Button", "&Ok")));
    EXPECT_FALSE(Checked(choose));

    picked_ = impossible;
    Click(choose);
    EXPECT_FALSE(::IsWindowEnabled(Child(dialog, "Button", "&Ok")));
    EXPECT_FALSE(Checked(choose));

    // The recommended folder chosen before a failed attempt stays chosen.
    Click(use_default);
    Click(choose);
    EXPECT_TRUE(Checked(use_default));
    EXPECT_TRUE(::IsWindowEnabled(Child(dialog, "Button", "&Ok")));
    ::SendMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(result, std::nullopt);
  EXPECT_EQ(picker_opened_, 3);
  ASSERT_EQ(prompts_.shown.size(), 5u);  // explanation; explanation, error; explanation, error
  EXPECT_EQ(prompts_.shown[2].text, "Could not create directory - " + impossible +
                                        "\r\nCheck the path, permissions, etc., and try again.");
  EXPECT_EQ(prompts_.shown[2].icon, MsgIcon::kError);
  std::filesystem::remove_all(scratch);
}

TEST(AppMessages, InformationIsABoxCaptionedWithTheApplicationsTitle) {
  Win32AppMessages messages;
  const std::string text = "Application Profile Has Been Cleared.";
  OnItsOwnThread([&] { messages.Information(text); }, "Ottermoor 1.0", [&](HWND box) {
    EXPECT_NE(Child(box, "Static", text), nullptr);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
}

}  // namespace
}  // namespace om::test
