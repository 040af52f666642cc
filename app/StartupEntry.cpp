#include "app/StartupEntry.h"

#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr std::uint32_t kKeySetValue = 0x2;

// Sets the value under one root; false when the key cannot be written.
bool SetUnder(Registry& reg, RegRoot root, const std::string& name, const std::string& data) {
  // The Run key exists on every system; it is created for the user if missing.
  const RegKey key = root == RegRoot::CurrentUser ? reg.CreateKey(root, kRunKey)
                                                  : reg.OpenKeyEx(root, kRunKey, kKeySetValue);
  if (!key) return false;
  const bool ok = reg.SetValue(key, name, kRegSz, data + '\0');
  reg.CloseKey(key);
  return ok;
}

void RemoveUnder(Registry& reg, RegRoot root, const std::string& name) {
  if (const RegKey key = reg.OpenKey(root, kRunKey)) {
    reg.DeleteValue(key, name);
    reg.CloseKey(key);
  }
}

}  // namespace

std::string StartupCommand(Context& ctx) {
  System& sys = ctx.platform.system;
  const std::string path = sys.ProgramFolder() + "\\" + sys.ExeBaseName() + ".exe";
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

void WriteStartupEntry(Context& ctx) {
  // Without a name the value would be the key's default value: leave it.
  const std::string name = ctx.platform.system.ExeBaseName();
  if (name.empty()) return;
  Registry& reg = ctx.platform.registry;
  const std::string command = StartupCommand(ctx);
  if (SetUnder(reg, RegRoot::LocalMachine, name, command))
    RemoveUnder(reg, RegRoot::CurrentUser, name);
  else
    SetUnder(reg, RegRoot::CurrentUser, name, command);
}

void RemoveStartupEntry(Context& ctx) {
  const std::string name = ctx.platform.system.ExeBaseName();
  if (name.empty()) return;
  RemoveUnder(ctx.platform.registry, RegRoot::LocalMachine, name);
  RemoveUnder(ctx.platform.registry, RegRoot::CurrentUser, name);
}

void ApplyStartupSetting(Context& ctx) {
  if (IsOne(ctx.settings.ReadSetting(kOptions, kStartupKey, "0")))
    WriteStartupEntry(ctx);
  else
    RemoveStartupEntry(ctx);
}

}  // namespace nimbrel
