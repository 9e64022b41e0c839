// The data-source properties dialog (TfrmDSProp): its behaviour. The window
// itself shows the fields, lets the user edit the title and the two check
// boxes, and reports OK or Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_settings.h"

namespace om {

// What the dialog shows; the window edits Title, ReadOnly and AutoLoad.
struct TDSPropFields {
  std::string Directory;  // shown, not editable
  std::string ID;
  std::string Status;     // "Online" or "Offline"
  std::string Title;      // "Title"
  bool ReadOnly = false;  // "Read Only?"
  bool AutoLoad = false;  // "Auto Load Data Source At Startup?"
};

class IDSPropView {
 public:
  virtual ~IDSPropView() = default;
  // Shows the dialog modally with `caption` and the fields, which the user
  // edits in place. True when it was closed with OK.
  virtual bool ShowModal(const std::string& caption, TDSPropFields& fields) = 0;
};

class TfrmDSProp {
 public:
  static constexpr int kOK = 1;
  static constexpr int kCancel = 2;
  static constexpr char kCaption[] = "Data Source Properties";

  explicit TfrmDSProp(IDSPropView& view) : view_(view) {}

  // Shows the source. OK copies the title (to Description), Read Only and
  // Auto Load into it and returns kOK; Cancel changes nothing and returns
  // kCancel. The name the source is listed under stays as it is.
  int ShowFor(TDataSource& source);

 private:
  IDSPropView& view_;
};

}  // namespace om
