#include "core/Context.h"

#include <cstdint>

#include "platform/Text.h"

namespace nimbrel {

void Context::CountRegistryItem() {
  ++RegistryItemsRemoved;
  Report().RegistryItemsRemoved(RegistryItemsRemoved);
}

void Context::CountFileDeleted() {
  ++FilesDeleted;
  Report().FilesDeleted(FilesDeleted);
}

void Context::AddBytesErased(std::uint64_t bytes) {
  // Saturates rather than wraps: a wrapped total would show a small number.
  BytesErased = bytes > UINT64_MAX - BytesErased ? UINT64_MAX : BytesErased + bytes;
  Report().BytesErased(BytesErased);
}

void Context::Left(std::string_view reason, const std::string& item) {
  if (!left_.insert(ToUpper(item)).second) return;
  ++ItemsLeft;
  AddProgressLine("  left (" + std::string(reason) + "): " + item);
}

void Context::ResetRunCounters() {
  RegistryItemsRemoved = 0;
  FilesDeleted = 0;
  BytesErased = 0;
  ItemsLeft = 0;
  left_.clear();
}

bool Context::OptionSelected(const std::string& key) {
  return IsOne(settings.ReadSetting(kOptions, key, "0"));
}

}  // namespace nimbrel
