// The keep-list dialog: what exists now on the left, the keep list being
// edited on the right; OK saves the list of the current mode, Cancel and the
// close image leave both files as they were.
#pragma once

#include "erasers/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmKeepList : public Form {
 public:
  explicit FrmKeepList(Context& ctx);

  Image ImgFormMove;
  Image Image7;
  Label Label4;
  Image Image8;
  Image Image1;
  Label Label1;
  ListBox lstCurrentList;
  Label Label2;
  ListBox lstKeepList;
  PictureBox Picture1;
  Label Label3;
  PictureButton CmdSelectAll;
  PictureButton CmdRefresh;
  PictureButton CmdKeepListSelectAll;
  PictureButton CmdKeepListDelete;
  PictureButton cmdOK;
  PictureButton Command6;

  // Fills lstCurrentList for the current keep-list mode.
  void ListCurrentEntries();
  void AddSelected();
  void DeleteSelected();
  void Save();

 private:
  Context& ctx_;
};

// The openers of the erase-settings dialog: set the mode, fill, show modally.
void OpenCookieKeepList(Context& ctx);
void OpenTypedAddressKeepList(Context& ctx);

}  // namespace nimbrel
