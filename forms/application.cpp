#include "forms/application.h"

#include <cstdlib>

#include "forms/form.h"

namespace forms {

bool Application::AnyLoaded() const {
  for (const Form* form : forms_) {
    if (form->IsLoaded()) return true;
  }
  return false;
}

int Application::Run(Form& startup, bool show) {
  running_ = true;
  // ShellExecute may hand its work to COM objects of the shell, so Windows asks for a
  // single-threaded apartment on the calling thread first; the programs use no OLE1 DDE.
  backend_.CoInitializeEx(kCoinitApartmentThreaded | kCoinitDisableOle1Dde);
  Dispatch([&] {
    if (show) {
      startup.Show();
    } else {
      startup.Load();
    }
  });
  if (!AnyLoaded()) return 0;
  return backend_.RunMessageLoop();
}

void Application::ReportError(const std::string& what) {
  backend_.ShowMessageBox(what, backend_.ProgramTitle(), kMessageBoxOk | kMessageBoxIconError);
  Terminate();
}

void Application::Terminate() {
  backend_.Terminate();
  std::abort();  // a backend that returned from Terminate would break every caller
}

}  // namespace forms
