#include "erasers/Context.h"

#include "platform/Text.h"

namespace nimbrel {

void Context::AddProgressLine(const std::string& line) {
  if (!display.LstShowingTracksErasedProgress) return;
  display.LstShowingTracksErasedProgress->AddItem(line);
  ShowLastProgressLine();
}

void Context::ShowLastProgressLine() {
  if (ListBox* list = display.LstShowingTracksErasedProgress)
    list->SetListIndex(list->ListCount() - 1);
}

void Context::ShowRegistryCount() {
  if (display.lblScannedRegKeys) display.lblScannedRegKeys->SetCaption(std::to_string(RegistryItemsRemoved));
}

void Context::ShowFilesCount() {
  if (display.lblFilesDelete) display.lblFilesDelete->SetCaption(std::to_string(FilesDeleted));
}

bool Context::OptionSelected(const std::string& key) {
  return IsOne(settings.ReadSetting(kOptions, key, "0"));
}

}  // namespace nimbrel
