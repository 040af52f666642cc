#include "dialogs/FrmKeepList.h"

#include "dialogs/WindowChrome.h"
#include "erasers/BrowserDatabases.h"
#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

// Two lists side by side with the Add button between them, each list's
// buttons under it, OK and Cancel at the bottom right.
constexpr int kWidth = 540, kHeight = 412, kTitle = 32;
constexpr int kListTop = kTitle + 38, kListHeight = 240, kListWidth = 200;
constexpr int kLeft = 20, kRight = kWidth - 20 - kListWidth;
constexpr int kButtonsTop = kListTop + kListHeight + 10, kButton = 96, kButtonHeight = 28;
constexpr int kAddWidth = 76, kAddLeft = (kWidth - kAddWidth) / 2;

constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
// A long keep list lets pending messages through after this many entries as it
// fills: after each one would cost more than the filling.
constexpr std::size_t kEntriesPerYield = 256;

void SelectAll(ListBox& list) {
  for (int i = 0; i < list.ListCount(); ++i) list.SetSelected(i, true);
}

void Open(Context& ctx, KeepListMode mode) {
  FrmKeepList dlg(ctx);
  ctx.keepListMode = mode;
  dlg.lstCurrentList.Clear();
  dlg.lstKeepList.Clear();
  dlg.ListCurrentEntries();
  const bool cookies = mode == KeepListMode::Cookies;
  std::size_t added = 0;
  for (std::string& entry : cookies ? ReadCookieKeepList(ctx.platform, ctx.dataFolder)
                                    : ReadTypedAddressKeepList(ctx.platform, ctx.dataFolder)) {
    dlg.lstKeepList.AddItem(std::move(entry));
    if (++added % kEntriesPerYield == 0) ctx.platform.loop.DoEvents();
  }
  dlg.ShowModal();
}

}  // namespace

FrmKeepList::FrmKeepList(Context& ctx)
    : Form(ctx.platform.loop, "FrmKeepList", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "Keep List ...", .closeName = "Image1"}),
      Label1(*this, "Label1", "Current List", Px(kLeft), Px(kTitle + 14), Px(kListWidth), Px(18)),
      lstCurrentList(*this, "lstCurrentList", Px(kLeft), Px(kListTop), Px(kListWidth),
                     Px(kListHeight)),
      Label2(*this, "Label2", "Keep List", Px(kRight), Px(kTitle + 14), Px(kListWidth), Px(18)),
      lstKeepList(*this, "lstKeepList", Px(kRight), Px(kListTop), Px(kListWidth), Px(kListHeight)),
      Picture1(*this, "Picture1", Px(kAddLeft), Px(kListTop + kListHeight / 2 - 16), Px(kAddWidth),
               Px(32)),
      Label3(*this, "Label3", "Add", Px(kAddLeft), Px(kListTop + kListHeight / 2 - 7),
             Px(kAddWidth), Px(18), &Picture1),
      CmdSelectAll(*this, "CmdSelectAll", "Select All", Px(kLeft), Px(kButtonsTop), Px(kButton),
                   Px(kButtonHeight)),
      CmdRefresh(*this, "CmdRefresh", "Refresh", Px(kLeft + kListWidth - kButton), Px(kButtonsTop),
                 Px(kButton), Px(kButtonHeight)),
      CmdKeepListSelectAll(*this, "CmdKeepListSelectAll", "Select All", Px(kRight), Px(kButtonsTop),
                           Px(kButton), Px(kButtonHeight)),
      CmdKeepListDelete(*this, "CmdKeepListDelete", "Delete", Px(kRight + kListWidth - kButton),
                        Px(kButtonsTop), Px(kButton), Px(kButtonHeight)),
      cmdOK(*this, "cmdOK", "OK", Px(kRight), Px(kHeight - 20 - kButtonHeight), Px(kButton),
            Px(kButtonHeight)),
      Command6(*this, "Command6", "Cancel", Px(kRight + kListWidth - kButton),
               Px(kHeight - 20 - kButtonHeight), Px(kButton), Px(kButtonHeight)),
      ctx_(ctx) {
  for (Label* l : {&Label1, &Label2})
    l->SetLook(TextStyle::Heading, palette::kText, palette::kWindow);
  Picture1.SetLook(TextStyle::Bold, palette::kTitleText, palette::kAccent);
  Label3.SetLook(TextStyle::Bold, palette::kTitleText, palette::kAccent, Align::Center);
  lstCurrentList.MultiSelect = true;
  lstKeepList.MultiSelect = true;

  Picture1.Click = [this] { AddSelected(); };
  Label3.Click = [this] { AddSelected(); };
  CmdSelectAll.Click = [this] { SelectAll(lstCurrentList); };
  CmdKeepListSelectAll.Click = [this] { SelectAll(lstKeepList); };
  CmdKeepListDelete.Click = [this] { DeleteSelected(); };
  CmdRefresh.Click = [this] {
    lstCurrentList.Clear();
    ListCurrentEntries();
  };
  cmdOK.Click = [this] {
    Save();
    Close();
  };
  Command6.Click = [this] { Close(); };
}

void FrmKeepList::ListCurrentEntries() {
  const bool cookies = ctx_.keepListMode == KeepListMode::Cookies;
  for (const std::string& entry :
       cookies ? ListCurrentCookies(ctx_) : ListCurrentTypedAddresses(ctx_))
    lstCurrentList.AddItem(entry);
}

void FrmKeepList::AddSelected() {
  for (int i = 0; i < lstCurrentList.ListCount(); ++i) {
    if (!lstCurrentList.Selected(i)) continue;
    if (!ListContains(lstKeepList, lstCurrentList.List(i)))
      lstKeepList.AddItem(lstCurrentList.List(i));
    ctx_.platform.loop.DoEvents();
  }
}

void FrmKeepList::DeleteSelected() { lstKeepList.RemoveSelected(); }

void FrmKeepList::Save() {
  if (ctx_.keepListMode == KeepListMode::Cookies)
    SaveCookieKeepList(ctx_, lstKeepList.Lines());
  else
    SaveTypedAddressKeepList(ctx_.platform, ctx_.dataFolder, lstKeepList.Lines());
}

void OpenCookieKeepList(Context& ctx) { Open(ctx, KeepListMode::Cookies); }

std::vector<std::string> ListCurrentCookies(Context& ctx) {
  std::vector<std::string> names;
  // Listed by the erasers' own walk: an unset folder would list the current
  // drive's root, and a system folder, a link or a folder below one is no
  // place for cookies.
  WalkFolder(ctx, ctx.CookiesFolder, {"*.*", false}, [&names](const WalkedFile& found) {
    const FileEntry& e = found.entry;
    if (!(e.attributes & kAttrDirectory) && !EqualsNoCase(Trim(e.name), "index.dat"))
      names.push_back(e.name);
    return WalkOn::Next;
  });
  // Then the sites holding cookies in today's browsers, as the keep list
  // stores them: "site:example.com".
  for (const std::string& site : CookieSites(ctx)) names.push_back(std::string(kKeptSitePrefix) + site);
  return names;
}

std::vector<std::string> ListCurrentTypedAddresses(Context& ctx) {
  std::vector<std::string> addresses;
  for (int n = 1;; ++n) {
    const std::string url =
        ReadRegString(ctx, RegRoot::CurrentUser, kTypedUrls, "url" + std::to_string(n));
    if (url.empty()) break;
    if (!Trim(url).empty()) addresses.push_back(url);
    ctx.platform.loop.DoEvents();
  }
  return addresses;
}

bool ListContains(const ListBox& list, const std::string& text) {
  const std::string wanted = Trim(text);
  for (int i = 0; i < list.ListCount(); ++i)
    if (EqualsNoCase(Trim(list.List(i)), wanted)) return true;
  return false;
}

void SaveCookieKeepList(Context& ctx, const std::vector<std::string>& entries) {
  const Platform& p = ctx.platform;
  const std::string file = ctx.dataFolder.PathToSave(p, kCookieKeepListFile);
  const std::string fresh = file + ".new", old = file + ".old";
  // A list file that is a link or another name of a file is left as it is.
  if (!IsOwnFile(p.files, file)) return;
  if (!ClearStaleFile(p, fresh) || !WriteCookieKeepListFile(p, entries, fresh)) return;
  const bool hadOld = Exists(p.files, file);
  if (hadOld && (!ClearStaleFile(p, old) || !p.files.Replace(file, old))) {
    p.files.Delete(fresh);
    return;
  }
  if (!p.files.Replace(fresh, file)) {
    if (hadOld) p.files.Replace(old, file);
    p.files.Delete(fresh);
    return;
  }
  if (hadOld) EraseFile(ctx, old);
}

void OpenTypedAddressKeepList(Context& ctx) { Open(ctx, KeepListMode::TypedAddresses); }

}  // namespace nimbrel
