#include "ui/dialogs/ds_prop.h"

namespace om {

namespace {
constexpr std::size_t kMaxDescription = 255;
}  // namespace

int TfrmDSProp::ShowFor(TDataSource& source) {
  TDSPropFields fields;
  fields.Directory = source.Directory;
  fields.ID = std::to_string(source.ID);
  fields.Status = source.Online ? "Online" : "Offline";
  fields.Title = source.Description;
  fields.ReadOnly = source.Read_Only;
  fields.AutoLoad = source.AutoLoad;
  if (!view_.ShowModal(kCaption, fields)) return kCancel;
  source.Description = fields.Title.substr(0, kMaxDescription);
  source.Read_Only = fields.ReadOnly;
  source.AutoLoad = fields.AutoLoad;
  return kOK;
}

}  // namespace om
