// The collection as far as its clips need it: the folder that holds their
// files, its title for messages, and the modified mark a changing clip sets.
// The collection itself (its list of clips, its file, retention and the
// rest) grows here.
#pragma once

#include <string>

namespace om {

class TClipColl {
 public:
  std::string Title;
  bool Modified = false;

  // The collection's folder, with trailing backslash.
  std::string GetPath() const { return Folder; }
  void SetModified(bool flag) { Modified = flag; }

  // Until the collection computes its folder from its name and parent, the
  // folder is given directly.
  std::string Folder;
};

}  // namespace om
