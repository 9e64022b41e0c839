// IClipboardSystem over the Win32 clipboard (the ANSI functions), with the
// GDI handle formats converted to and from their portable forms.
#pragma once

#include "platform/clipboard_system.h"

namespace om::win32 {

class Win32ClipboardSystem final : public IClipboardSystem {
 public:
  ClipStatus Open(WindowHandle owner) override;
  ClipStatus Close() override;
  ClipStatus Empty() override;

  int CountFormats() override;
  std::uint32_t EnumFormats(std::uint32_t previous) override;
  bool IsFormatAvailable(std::uint32_t format) override;

  ClipData GetData(std::uint32_t format) override;
  ClipStatus SetData(std::uint32_t format, const Bytes& data) override;
  ClipStatus Promise(std::uint32_t format) override;

  std::uint32_t RegisterFormat(std::string_view name) override;
  std::optional<std::string> FormatName(std::uint32_t format) override;

  WindowHandle Owner() override;
  WindowHandle OpenWindow() override;
  WindowHandle Viewer() override;
  std::uint32_t SequenceNumber() override;

  WindowHandle SetViewer(WindowHandle window) override;
  bool ChangeChain(WindowHandle remove, WindowHandle next) override;

 private:
  // Whether SetData/Promise are allowed now: the clipboard is open by this
  // program, or this thread owns it (and so may be answering a render
  // request). Checked here because Wine accepts data from any process while
  // anybody has the clipboard open, where Windows refuses it.
  bool MaySet();

  // Whether this program opened the clipboard (Open(0) leaves no window to
  // ask the system about).
  bool open_ = false;
};

}  // namespace om::win32
