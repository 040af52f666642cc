// The Wipe Free Space window: the fixed drives that take writes with their
// free space and how long a wipe of it takes, what the wipe does and what no
// wipe reaches, and Start and Cancel with the wipe's progress.
#pragma once

#include <string>

#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "erasers/WipeFreeSpace.h"
#include "platform/Controls.h"
#include "platform/Drives.h"

namespace nimbrel {

class FrmWipeFreeSpace : public Form {
 public:
  FrmWipeFreeSpace(Context& ctx, Drives& drives);

  TitleStrip strip;
  Label lblIntro;
  ListView lvwDrives;
  Label lblNotes;
  ProgressBar PgbWipe;
  Label lblProgress;
  PictureButton cmdStart;
  PictureButton cmdCancel;

  // A closed window cancels a wipe at work, which then removes what it made.
  void UserClose() override;

 private:
  void ShowDrive(int index);
  void Start();
  bool Step(const WipeStatus& status);
  Context& ctx_;
  Drives& drives_;
  std::vector<std::string> roots_;
  bool wiping_ = false, cancelled_ = false, closeAfter_ = false;
  int startedAt_ = 0;  // seconds of the day
  int lastShown_ = -1;
};

// "2.5 GB", "300 MB": a size as the window shows it.
std::string SizeText(std::uint64_t bytes);
// "about 3 minutes": how long writing `bytes` takes at `bytesPerSecond`.
std::string DurationText(std::uint64_t bytes, std::uint64_t bytesPerSecond);

}  // namespace nimbrel
