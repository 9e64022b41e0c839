// The simulated desktop's one clipboard and its viewer chain, shared by all
// simulated processes. Each process talks to it through its own
// IClipboardSystem (ForProcess): like a thread in Win32, a process that has
// the clipboard open may use it, the others find it busy.
//
// Modelled as Wine 8 behaves: formats listed in the order they were set (a
// format set again keeps its place); closing after a change adds CF_LOCALE
// when there is text without one, then the synthesised formats (text,
// bitmap and metafile kinds), and sends kDrawClipboard to the first viewer
// once the clipboard is closed; a promised format is rendered by sending
// kRenderFormat to the owner, whose SetData during that request changes
// nothing else (no sequence step); destroying the owner asks it to render
// everything (kRenderAllFormats) and drops what it left unrendered;
// destroying the first viewer empties the chain.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard_system.h"
#include "platform/fake/fake_windows.h"

namespace om::fake {

class FakeClipboard {
 public:
  explicit FakeClipboard(FakeWindowSystem& windows);
  ~FakeClipboard();
  FakeClipboard(const FakeClipboard&) = delete;
  FakeClipboard& operator=(const FakeClipboard&) = delete;

  // The clipboard as seen by one simulated process.
  IClipboardSystem& ForProcess(std::uint32_t process_id);

  // The LCID that CF_LOCALE carries when the system adds it.
  void SetLocale(std::uint32_t lcid) { locale_ = lcid; }

  // Inspection for tests, regardless of who has it open.
  std::vector<std::uint32_t> Formats() const;
  bool IsOpen() const { return open_; }
  std::uint32_t OpenProcess() const { return open_ ? open_process_ : 0; }

 private:
  class View;
  friend class View;

  struct Entry {
    std::uint32_t format;
    std::optional<Bytes> data;  // nullopt: promised and not rendered (yet)
    bool synthesised = false;   // derived from another entry when read
  };

  bool OpenedBy(std::uint32_t process) const { return open_ && open_process_ == process; }
  Entry* Find(std::uint32_t format);
  ClipStatus Open(std::uint32_t process, WindowHandle window);
  ClipStatus Close(std::uint32_t process);
  ClipStatus Empty(std::uint32_t process);
  std::uint32_t EnumFormats(std::uint32_t process, std::uint32_t previous);
  ClipData GetData(std::uint32_t process, std::uint32_t format);
  ClipStatus Store(std::uint32_t process, std::uint32_t format, std::optional<Bytes> data);
  std::uint32_t RegisterFormat(std::string_view name);
  std::optional<std::string> FormatName(std::uint32_t format) const;
  WindowHandle SetViewer(WindowHandle window);
  bool ChangeChain(WindowHandle remove, WindowHandle next);
  // The data of an entry, rendering or synthesising it first when needed.
  ClipData Materialise(std::uint32_t format, int depth);
  bool AddSynthesised();
  void WindowDestroyed(WindowHandle window);

  FakeWindowSystem& windows_;
  std::map<std::uint32_t, std::unique_ptr<View>> views_;

  std::vector<Entry> entries_;
  WindowHandle owner_ = 0;
  bool open_ = false;
  std::uint32_t open_process_ = 0;
  WindowHandle open_window_ = 0;
  bool changed_since_open_ = false;
  std::uint32_t sequence_ = 1;
  int rendering_ = 0;  // kRenderFormat requests in progress
  WindowHandle viewer_ = 0;
  std::uint32_t locale_ = 0x0409;

  std::map<std::string, std::uint32_t> registered_;  // folded name -> number
  std::map<std::uint32_t, std::string> names_;       // number -> name as first registered
  std::uint32_t next_registered_ = cf::kFirstRegistered;
};

}  // namespace om::fake
