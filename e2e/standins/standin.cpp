// Stands in for a program that the programs under test launch (calc, explorer, the media
// player): it only records how it was started, one line appended to %STANDIN_LOG%:
//   module path|command line|current folder
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char log[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("STANDIN_LOG", log, sizeof log)) return 1;

    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string line = std::string(module) + "|" + GetCommandLineA() + "|" + folder + "\r\n";

    // Several stand-ins may start at once: retry while another one holds the file.
    HANDLE f = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 250 && f == INVALID_HANDLE_VALUE; ++attempt) {
        f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) Sleep(20);
    }
    if (f == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == line.size() ? 0 : 3;
}
