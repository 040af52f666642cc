#include "dialogs/WindowChrome.h"

#include <cmath>

#include "platform/Text.h"

namespace nimbrel {

void AttachDragHandles(Context& ctx, Form& form, std::initializer_list<Control*> handles) {
  for (Control* handle : handles) {
    handle->MouseDown = [&ctx](const MouseEvent& e) {
      ctx.drag.dragging = true;
      ctx.drag.startX = static_cast<std::int16_t>(std::lround(e.x));
      ctx.drag.startY = static_cast<std::int16_t>(std::lround(e.y));
    };
    handle->MouseMove = [&ctx, &form](const MouseEvent& e) {
      if (!ctx.drag.dragging) return;
      form.MoveTo(form.Left() + e.x - ctx.drag.startX, form.Top() + e.y - ctx.drag.startY);
    };
    handle->MouseUp = [&ctx](const MouseEvent&) { ctx.drag.dragging = false; };
  }
}

void OpenUrlInBrowser(Context& ctx, WindowHandle owner, const std::string& address,
                      const std::string& extension) {
  const std::string url = Trim(address);
  const std::string temp = ctx.platform.system.TempPath();
  if (temp.empty()) return;
  const std::string probe = temp + "temphtm." + extension;
  Files& files = ctx.platform.files;
  files.WriteAll(probe, "\"\"\r\n");
  std::string program;
  if (ctx.platform.shell.FindExecutable(probe, program) > 32 && !program.empty()) {
    program = ToUpper(program);
    // Anything after the program's name (arguments of the association) goes.
    if (const auto dot = program.find(".EXE"); dot != std::string::npos)
      program = program.substr(0, dot + 4);
    program = Trim(program);
    ctx.platform.shell.Execute(owner, "open", program, "\"" + url + "\"", "", kSwShowMaximized);
  }
  files.Delete(probe);
}

void AttachHelpImage(Context& ctx, Form& form, Control& image) {
  image.Click = [&ctx, &form] { OpenUrlInBrowser(ctx, form.Handle(), kSupportPage, "htm"); };
}

void ShowPageSelector(Label& selector, bool chosen) {
  if (chosen)
    selector.SetLook(TextStyle::Bold, palette::kTitleText, palette::kAccent, Align::Center);
  else
    selector.SetLook(TextStyle::Normal, palette::kText, palette::kBorder, Align::Center);
}

}  // namespace nimbrel
