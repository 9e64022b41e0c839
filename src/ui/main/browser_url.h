// The page URL in a browser's answer to the DDE request for its active
// window.
#pragma once

#include <string>
#include <string_view>

namespace om {

inline constexpr char kBrowserTopic[] = "WWW_GetWindowInfo";
// The item that names the browser's active window.
inline constexpr char kActiveWindowItem[] = "0xFFFFFFFF";
inline constexpr std::size_t kMaxUrl = 255;

// The reply has the form "URL","Title",...: the URL is the text after the
// opening quote up to the first "," sequence, at most 255 characters. A
// reply without that sequence, or one that does not start with a quote (not
// the answer asked for), gives "".
std::string ParseBrowserUrlReply(std::string_view reply);

}  // namespace om
