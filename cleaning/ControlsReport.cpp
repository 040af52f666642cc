#include "cleaning/ControlsReport.h"

#include <string>

namespace nimbrel {

void ControlsReport::ProgressLine(const std::string& line) {
  ListBox& list = c_.LstShowingTracksErasedProgress;
  list.AddItem(line);
  list.SetListIndex(list.ListCount() - 1);
}

void ControlsReport::RegistryItemsRemoved(std::int32_t total) {
  c_.lblScannedRegKeys.SetCaption(std::to_string(total));
}

void ControlsReport::FilesDeleted(std::int32_t total) {
  c_.lblFilesDelete.SetCaption(std::to_string(total));
}

void ControlsReport::BytesErased(std::uint64_t total) {
  c_.lblSize.SetCaption(std::to_string(total));
}

}  // namespace nimbrel
