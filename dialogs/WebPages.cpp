#include "dialogs/WebPages.h"

#include "platform/Text.h"

namespace nimbrel {

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

}  // namespace nimbrel
