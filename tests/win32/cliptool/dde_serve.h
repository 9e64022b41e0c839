// cliptool dde-serve: a DDE server that plays a web browser asked, over
// DDE, which page it shows. See README.md for its command line and the
// lines it writes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace om::cliptool {

// Runs the server with the words after "dde-serve"; every event is handed
// to `line` as one line of text. Returns the process exit code (0 done,
// 1 bad command line, 2 DDE could not be used).
int RunDdeServer(const std::vector<std::string>& args, const std::function<void(const std::string&)>& line);

}  // namespace om::cliptool
