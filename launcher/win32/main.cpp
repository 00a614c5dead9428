// The launcher's entry point. Everything it needs of Windows is in the window layer.
#include <windows.h>

#include "forms/application.h"
#include "forms/win32/backend.h"
#include "launcher/launcher.h"
#include "launcher/texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  forms::win32::Win32Backend backend(instance, vandrel::kProgramTitle);
  forms::Application app(backend);
  backend.SetErrorReport([&](const std::string& what) { app.ReportError(what); });
  vandrel::Launcher launcher(app);
  return launcher.Run(app);
}
