#include "platform/fake/fake_clipboard.h"

#include <algorithm>
#include <cctype>

#include "platform/fake/clipboard_synthesis.h"

namespace om::fake {

namespace {

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

bool IsText(std::uint32_t f) { return f == cf::kText || f == cf::kOemText || f == cf::kUnicodeText; }

constexpr std::uint32_t kLastRegistered = 0xFFFF;

}  // namespace

// One process's handle on the shared clipboard.
class FakeClipboard::View final : public IClipboardSystem {
 public:
  View(FakeClipboard& board, std::uint32_t process) : board_(board), process_(process) {}

  ClipStatus Open(WindowHandle owner) override { return board_.Open(process_, owner); }
  ClipStatus Close() override { return board_.Close(process_); }
  ClipStatus Empty() override { return board_.Empty(process_); }
  int CountFormats() override { return static_cast<int>(board_.entries_.size()); }
  std::uint32_t EnumFormats(std::uint32_t previous) override { return board_.EnumFormats(process_, previous); }
  bool IsFormatAvailable(std::uint32_t format) override { return board_.Find(format) != nullptr; }
  ClipData GetData(std::uint32_t format) override { return board_.GetData(process_, format); }
  ClipStatus SetData(std::uint32_t format, const Bytes& data) override { return board_.Store(process_, format, data); }
  ClipStatus Promise(std::uint32_t format) override { return board_.Store(process_, format, std::nullopt); }
  std::uint32_t RegisterFormat(std::string_view name) override { return board_.RegisterFormat(name); }
  std::optional<std::string> FormatName(std::uint32_t format) override { return board_.FormatName(format); }
  WindowHandle Owner() override { return board_.owner_; }
  WindowHandle OpenWindow() override { return board_.open_ ? board_.open_window_ : 0; }
  WindowHandle Viewer() override { return board_.viewer_; }
  std::uint32_t SequenceNumber() override { return board_.sequence_; }
  WindowHandle SetViewer(WindowHandle window) override { return board_.SetViewer(window); }
  bool ChangeChain(WindowHandle remove, WindowHandle next) override { return board_.ChangeChain(remove, next); }

 private:
  FakeClipboard& board_;
  std::uint32_t process_;
};

FakeClipboard::FakeClipboard(FakeWindowSystem& windows) : windows_(windows) {
  windows_.OnDestroy([this](WindowHandle window) { WindowDestroyed(window); });
}

FakeClipboard::~FakeClipboard() = default;

IClipboardSystem& FakeClipboard::ForProcess(std::uint32_t process_id) {
  auto& view = views_[process_id];
  if (!view) view = std::make_unique<View>(*this, process_id);
  return *view;
}

std::vector<std::uint32_t> FakeClipboard::Formats() const {
  std::vector<std::uint32_t> formats;
  for (const Entry& e : entries_) formats.push_back(e.format);
  return formats;
}

FakeClipboard::Entry* FakeClipboard::Find(std::uint32_t format) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [format](const Entry& e) { return e.format == format; });
  return it == entries_.end() ? nullptr : &*it;
}

ClipStatus FakeClipboard::Open(std::uint32_t process, WindowHandle window) {
  if (window != 0 && !windows_.Exists(window)) return ClipStatus::kFailed;
  if (open_ && open_process_ != process) return ClipStatus::kBusy;
  if (!open_) changed_since_open_ = false;
  open_ = true;
  open_process_ = process;
  open_window_ = window;
  return ClipStatus::kOk;
}

ClipStatus FakeClipboard::Close(std::uint32_t process) {
  if (!OpenedBy(process)) return ClipStatus::kNotOpen;
  const bool changed = changed_since_open_;
  if (changed && AddSynthesised()) ++sequence_;
  open_ = false;
  open_window_ = 0;
  changed_since_open_ = false;
  // Closed first, so the viewer can open it to look at the change.
  if (changed && viewer_ != 0) windows_.Send(viewer_, msg::kDrawClipboard, 0, 0);
  return ClipStatus::kOk;
}

bool FakeClipboard::AddSynthesised() {
  bool added = false;
  const bool has_text = std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return IsText(e.format); });
  if (has_text && !Find(cf::kLocale)) {
    Bytes lcid(4);
    for (int i = 0; i < 4; ++i) lcid[i] = static_cast<std::uint8_t>(locale_ >> (8 * i));
    entries_.push_back({cf::kLocale, std::move(lcid), false});
    added = true;
  }
  for (const SynthesisRule& rule : SynthesisRules()) {
    if (Find(rule.format)) continue;
    const bool has_source = std::any_of(rule.sources.begin(), rule.sources.end(), [this](std::uint32_t s) {
      const Entry* e = Find(s);
      return e && !e->synthesised;
    });
    if (!has_source) continue;
    entries_.push_back({rule.format, std::nullopt, true});
    added = true;
  }
  return added;
}

ClipStatus FakeClipboard::Empty(std::uint32_t process) {
  if (!OpenedBy(process)) return ClipStatus::kNotOpen;
  const WindowHandle previous = owner_;
  if (previous != 0) windows_.Send(previous, msg::kDestroyClipboard, 0, 0);
  // The previous owner's handler may have done anything; check again.
  if (!OpenedBy(process)) return ClipStatus::kFailed;
  entries_.clear();
  owner_ = open_window_;
  changed_since_open_ = true;
  ++sequence_;
  return ClipStatus::kOk;
}

std::uint32_t FakeClipboard::EnumFormats(std::uint32_t process, std::uint32_t previous) {
  if (!OpenedBy(process) || entries_.empty()) return 0;
  if (previous == 0) return entries_.front().format;
  auto it = std::find_if(entries_.begin(), entries_.end(), [previous](const Entry& e) { return e.format == previous; });
  if (it == entries_.end() || ++it == entries_.end()) return 0;
  return it->format;
}

ClipStatus FakeClipboard::Store(std::uint32_t process, std::uint32_t format, std::optional<Bytes> data) {
  if (format == 0) return ClipStatus::kFailed;
  // As the adapter: an empty block is refused (a promise has no data at all).
  if (data && data->empty() && format != cf::kOwnerDisplay) return ClipStatus::kFailed;
  // The owner answering a render request fills in what it promised; that
  // is not a change of the clipboard.
  const FakeWindowInfo* owner = owner_ != 0 ? windows_.Info(owner_) : nullptr;
  const bool answering_render = rendering_ > 0 && owner && owner->process_id == process;
  if (!OpenedBy(process) && !answering_render) return ClipStatus::kNotOpen;
  if (Entry* existing = Find(format)) {
    existing->data = std::move(data);
    existing->synthesised = false;
  } else {
    entries_.push_back({format, std::move(data), false});
  }
  if (!answering_render) {
    changed_since_open_ = true;
    ++sequence_;
  }
  return ClipStatus::kOk;
}

ClipData FakeClipboard::GetData(std::uint32_t process, std::uint32_t format) {
  if (!OpenedBy(process)) return {ClipStatus::kNotOpen, {}};
  return Materialise(format, 0);
}

ClipData FakeClipboard::Materialise(std::uint32_t format, int depth) {
  Entry* entry = Find(format);
  if (!entry) return {ClipStatus::kAbsent, {}};
  if (entry->data) return {ClipStatus::kOk, *entry->data};

  if (entry->synthesised) {
    if (depth > 0) return {ClipStatus::kAbsent, {}};
    const auto& rules = SynthesisRules();
    const auto rule = std::find_if(rules.begin(), rules.end(), [format](const SynthesisRule& r) { return r.format == format; });
    for (std::uint32_t source : rule->sources) {
      const Entry* from = Find(source);
      if (!from || from->synthesised) continue;
      ClipData source_data = Materialise(source, depth + 1);
      if (source_data.status != ClipStatus::kOk) return {ClipStatus::kAbsent, {}};
      std::optional<Bytes> converted = ConvertClipboardData(source, format, source_data.bytes);
      if (!converted) return {ClipStatus::kFailed, {}};
      // Kept once made, as the system keeps a synthesised block.
      if (Entry* again = Find(format)) again->data = *converted;
      return {ClipStatus::kOk, std::move(*converted)};
    }
    return {ClipStatus::kAbsent, {}};
  }

  // Promised: ask the owner. Unanswered requests are asked again next time.
  if (owner_ == 0) return {ClipStatus::kAbsent, {}};
  ++rendering_;
  const SendResult sent = windows_.Send(owner_, msg::kRenderFormat, format, 0);
  --rendering_;
  if (sent.status != SendStatus::kOk) return {ClipStatus::kAbsent, {}};
  entry = Find(format);  // the handler may have changed the list
  if (!entry || !entry->data) return {ClipStatus::kAbsent, {}};
  return {ClipStatus::kOk, *entry->data};
}

std::uint32_t FakeClipboard::RegisterFormat(std::string_view name) {
  if (name.empty()) return 0;
  const std::string key = Fold(name);
  if (auto it = registered_.find(key); it != registered_.end()) return it->second;
  if (next_registered_ > kLastRegistered) return 0;
  const std::uint32_t number = next_registered_++;
  registered_[key] = number;
  names_[number] = std::string(name);
  return number;
}

std::optional<std::string> FakeClipboard::FormatName(std::uint32_t format) const {
  auto it = names_.find(format);
  if (it == names_.end()) return std::nullopt;
  return it->second;
}

WindowHandle FakeClipboard::SetViewer(WindowHandle window) {
  if (!windows_.Exists(window)) return 0;
  const WindowHandle previous = viewer_;
  viewer_ = window;
  windows_.Send(window, msg::kDrawClipboard, 0, 0);
  return previous;
}

bool FakeClipboard::ChangeChain(WindowHandle remove, WindowHandle next) {
  // The head leaving hands the chain to its next without a message; any
  // other window leaving is announced to the head, which passes it down.
  if (remove != 0 && remove == viewer_) {
    viewer_ = next;
    return true;
  }
  if (viewer_ == 0) return false;
  const SendResult answer = windows_.Send(viewer_, msg::kChangeCbChain, remove, static_cast<std::intptr_t>(next));
  return answer.status == SendStatus::kOk && answer.result != 0;
}

void FakeClipboard::WindowDestroyed(WindowHandle window) {
  if (window == owner_) {
    // Sent whether or not anything is still promised, as Wine does.
    windows_.Send(window, msg::kRenderAllFormats, 0, 0);
    std::erase_if(entries_, [](const Entry& e) { return !e.data && !e.synthesised; });
    owner_ = 0;
  }
  // The system lets go of a clipboard whose opening window goes away.
  if (open_ && open_window_ == window) {
    open_ = false;
    open_window_ = 0;
  }
  if (window == viewer_) viewer_ = 0;
}

}  // namespace om::fake
