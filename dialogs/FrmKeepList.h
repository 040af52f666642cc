// The keep-list dialog: what exists now on the left, the keep list being
// edited on the right; OK saves the list of the current mode, Cancel and the
// close image leave both files as they were.
#pragma once

#include <string>
#include <vector>

#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmKeepList : public Form {
 public:
  explicit FrmKeepList(Context& ctx);

  TitleStrip strip;
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

// What the keep lists are chosen from. The files of the Cookies folder but
// index.dat (hidden and system ones too), in the order the folder gives them,
// then each site holding cookies in today's browsers as "site:NAME" (a kept
// site keeps its cookies and its sub-domains' in every browser).
std::vector<std::string> ListCurrentCookies(Context& ctx);
// The values url1, url2 ... of Internet Explorer's TypedURLs key, up to the
// first missing or empty one; values of blanks only are passed over.
std::vector<std::string> ListCurrentTypedAddresses(Context& ctx);

// True when an entry equals `text`, both trimmed, regardless of letter case.
bool ListContains(const ListBox& list, const std::string& text);

// Stores `entries` as the cookie keep list and erases the old Cookies.ini (a
// counted erase). The new list is complete before it replaces the old one,
// and the old one is moved aside before it is erased: whatever fails, a
// Cookies.ini with either the old or the new list remains.
void SaveCookieKeepList(Context& ctx, const std::vector<std::string>& entries);

}  // namespace nimbrel
