#include "app/HomepageGuard.h"

#include "dialogs/FrmMessage.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {
constexpr const char* kIeMain = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kStartPage = "Start Page";
constexpr const char* kNothingRemembered = "NIL";

std::string Normal(const std::string& page) { return ToUpper(Trim(page)); }
}  // namespace

std::string ReadStartPage(Context& ctx) {
  return ReadRegString(ctx, RegRoot::CurrentUser, kIeMain, kStartPage);
}

void WriteStartPage(Context& ctx, const std::string& page) {
  Registry& reg = ctx.platform.registry;
  if (const RegKey key = reg.OpenKey(RegRoot::CurrentUser, kIeMain)) {
    reg.SetValue(key, kStartPage, kRegSz, page + '\0');
    reg.CloseKey(key);
  }
}

HomepageGuard::HomepageGuard(Context& ctx, const HomepageGuardControls& controls)
    : ctx_(ctx), c_(controls) {}

void HomepageGuard::Tick() {
  // Off while the question is open: one question at a time.
  c_.tmrCheckSettings.SetEnabled(false);
  if (IsOne(ctx_.settings.ReadSetting(kOptions, kGuardSwitchKey, "1"))) Check();
  c_.tmrCheckSettings.SetEnabled(true);
}

void HomepageGuard::Check() {
  const std::string live = ReadStartPage(ctx_);
  const std::string remembered = ctx_.settings.ReadSetting(kOptions, kRememberedPageKey, kNothingRemembered);
  if (Normal(remembered) == kNothingRemembered) {
    // The first look: the page as it is now is the one to keep.
    ctx_.settings.WriteSetting(kOptions, kRememberedPageKey, live);
    return;
  }
  if (Normal(remembered) == Normal(live)) return;
  const bool keepNew = AskQuestion(
      ctx_, "Home Page Changed",
      " Internet Explorer homepage has been changed. The Old Url was " + remembered +
          ". It has been changed to " + live + "\r\n\r\n.Click on YES to keep new URL.");
  if (keepNew)
    ctx_.settings.WriteSetting(kOptions, kRememberedPageKey, live);
  else
    WriteStartPage(ctx_, remembered);
}

}  // namespace nimbrel
