// Stands in for an installer on the disc ("Zevo LED\Setup.exe", "2K Hot key\Setup.exe"): it shows
// which one was started and with what command line, and appends the same to %STANDIN_LOG% when
// that is set, one line as the bench's other stand-ins write it:
//   module path|command line|current folder
#include <windows.h>

#include <string>

namespace {

// "Zevo LED\Setup.exe": the last two parts of the module path.
std::string OwnName(const std::string& module) {
  const size_t file = module.find_last_of('\\');
  if (file == std::string::npos || file == 0) return module;
  const size_t folder = module.find_last_of('\\', file - 1);
  return module.substr(folder == std::string::npos ? 0 : folder + 1);
}

void AppendToLog(const std::string& line) {
  char log[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("STANDIN_LOG", log, sizeof log)) return;
  // Several stand-ins may write at once: retry while another one holds the file.
  HANDLE f = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 250 && f == INVALID_HANDLE_VALUE; ++attempt) {
    f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) Sleep(20);
  }
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(f);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, sizeof module);
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  const std::string commandLine = GetCommandLineA();
  AppendToLog(std::string(module) + "|" + commandLine + "|" + folder + "\r\n");

  const std::string name = OwnName(module);
  const std::string text = name + " started with: " + commandLine;
  MessageBoxA(nullptr, text.c_str(), (name + " (stand-in)").c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  return 0;
}
