#include "clipboard/format_names.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_desktop.h"

namespace om::testing {
namespace {

class FormatNamesTest : public ::testing::Test {
 protected:
  fake::FakeDesktop desktop_;
  IClipboardSystem& clipboard_ = desktop_.Clipboard();
};

TEST_F(FormatNamesTest, NumbersToNames) {
  const std::uint32_t rtf = clipboard_.RegisterFormat("Rich Text Format");
  const std::uint32_t long_name = clipboard_.RegisterFormat(std::string(60, 'x') + "END");
  const struct {
    std::uint32_t number;
    std::string name;
  } cases[] = {
      {1, "TEXT"},
      {2, "BITMAP"},
      {3, "PICTURE"},
      {7, "OEMTEXT"},
      {8, "DIB"},
      {13, "UNICODTEXT"},
      {14, "ENHMETAFILE"},
      {15, "HDROP"},
      {16, "LOCALE"},
      {17, "MAX"},
      {128, "OWNERDISPLAY"},
      {142, "DSPENHMETAFILE"},
      {0, "UNKN_PUBLIC:0"},
      {10, "UNKN_PUBLIC:10"},  // CF_PENDATA is not in the table
      {700, "UNKN_PUBLIC:700"},
      {0xBFFF, "UNKN_PUBLIC:49151"},
      {rtf, "Rich Text Format"},
      {long_name, std::string(49, 'x')},  // the system's 50-byte buffer
      {0xFFFE, "UNKNOWN"},                // registered range, but nobody registered it
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertFormatNum(clipboard_, c.number), c.name) << c.number;
}

TEST_F(FormatNamesTest, NamesToNumbers) {
  const struct {
    const char* name;
    std::uint32_t number;
  } cases[] = {
      {"text", 1},    {"Text", 1},           {"TEXT", 1},      {"UNICODTEXT", 13},      {"unicodtext", 13},
      {"PICTURE", 3}, {"OWNERDISPLAY", 128}, {"dsptext", 129}, {"DSPENHMETAFILE", 142},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertFormatName(clipboard_, c.name), c.number) << c.name;
}

TEST_F(FormatNamesTest, NamesOutsideTheTableAreRegistered) {
  const std::uint32_t rtf = clipboard_.RegisterFormat("Rich Text Format");
  EXPECT_EQ(ConvertFormatName(clipboard_, "Rich Text Format"), rtf);
  EXPECT_EQ(ConvertFormatName(clipboard_, "rich text format"), rtf);

  // Not in the table and never registered: registered now, under that name.
  for (const char* name : {"UNICODETEXT", "UNKN_PUBLIC:700", "Ottermoor Private"}) {
    const std::uint32_t number = ConvertFormatName(clipboard_, name);
    EXPECT_GE(number, cf::kFirstRegistered) << name;
    EXPECT_EQ(ConvertFormatNum(clipboard_, number), name);
    EXPECT_EQ(desktop_.ClipboardFor(desktop_.NewProcessId()).RegisterFormat(name), number) << name;
  }
}

TEST_F(FormatNamesTest, StartupRegistersTheProgramsFormats) {
  RegisterStartupFormats(clipboard_);
  const struct {
    std::uint32_t number;
    const char* name;
  } cases[] = {{IgnoreFormat, "Clipboard Viewer Ignore"},
               {RTFFormat, "Rich Text Format"},
               {HTMLFormat, "HTML Format"},
               {URLFormat, "UniformResourceLocator"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ConvertFormatNum(clipboard_, c.number), c.name);
    EXPECT_EQ(clipboard_.RegisterFormat(c.name), c.number);
  }
}

}  // namespace
}  // namespace om::testing
