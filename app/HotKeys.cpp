#include "app/HotKeys.h"

#include <optional>
#include <string>

#include "erasers/CloseAllInternetExplorers.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// A letter setting's key: the character code of its first character ("A" is
// the A key). An empty setting names no key.
std::optional<int> KeyOf(const std::string& letter) {
  if (letter.empty()) return std::nullopt;
  return static_cast<unsigned char>(letter.front());
}

}  // namespace

HotKeys::HotKeys(Context& ctx, const HotKeyControls& controls, CleaningRun& run)
    : ctx_(ctx), c_(controls), run_(run) {}

void HotKeys::Tick() {
  c_.tmrHotKeys.SetEnabled(false);
  StartErasingAfterClose = false;
  if (ctx_.settings.SectionChanged(kOptions) || keys_.empty())
    keys_ = ctx_.settings.ReadSettings(
        kOptions, {{"cmbbosskey", "A"}, {"ChkRunInSteathmode", "0"}, {"cmbinvisiblemmode", "A"}});

  const bool boss = BossKeyDown();
  if (boss && !bossHeld_) BossKey();
  bossHeld_ = boss;

  const bool stealth = StealthKeyDown();
  if (stealth && !stealthHeld_) ShowOrHideMainWindow();
  stealthHeld_ = stealth;

  if (StartErasingAfterClose) run_.StartCleanning();
  c_.tmrHotKeys.SetEnabled(true);
}

bool HotKeys::BossKeyDown() {
  const auto key = KeyOf(keys_[0]);
  Desktop& keys = ctx_.platform.desktop;
  return key && keys.KeyDown(kVkControl) && keys.KeyDown(kVkShift) && keys.KeyDown(*key);
}

bool HotKeys::StealthKeyDown() {
  if (!IsOne(keys_[1])) return false;
  const auto key = KeyOf(keys_[2]);
  Desktop& keys = ctx_.platform.desktop;
  return key && keys.KeyDown(kVkShift) && keys.KeyDown(*key) && !keys.KeyDown(kVkControl);
}

void HotKeys::BossKey() {
  const auto chosen = [this](const char* key) {
    return AsBoolean(ctx_.settings.ReadSetting(kOptions, key, "False")).value_or(false);
  };
  if (chosen("optCloseAllIE")) {
    CloseAllInternetExplorers(ctx_);
  } else if (chosen("optCloseAllIEAndStartErasing")) {
    CloseAllInternetExplorers(ctx_);
    StartErasingAfterClose = true;
  }
}

void HotKeys::ShowOrHideMainWindow() {
  Form& main = c_.FrmMain;
  if (!main.Visible()) {
    main.SetWindowState(WindowState::Normal);
    main.Show();
  } else {
    // The main window's resize rules then hide it without a tray icon.
    main.SetWindowState(WindowState::Minimized);
    main.Hide();
  }
}

}  // namespace nimbrel
