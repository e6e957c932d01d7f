#include "shell/message_box.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zep {
namespace {

const char* g_title = "";
std::wstring g_path;  // the file the lost streams are appended to
bool g_out_lost = false;
bool g_err_lost = false;

bool LeadsSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void ShowCollected() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::string text;
    if (std::FILE* f = _wfopen(g_path.c_str(), L"rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
        std::fclose(f);
    }
    if (g_out_lost) std::fclose(stdout);
    if (g_err_lost) std::fclose(stderr);
    _wremove(g_path.c_str());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return;
    MessageBoxW(nullptr, Wide(text).c_str(), Wide(g_title).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

void ShowLostOutputAtExit(const char* title) {
    const bool out_lost = !LeadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err_lost = !LeadsSomewhere(STD_ERROR_HANDLE);
    if (!out_lost && !err_lost) return;
    wchar_t dir[MAX_PATH + 1];
    wchar_t path[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, dir);
    if (n == 0 || n > MAX_PATH || GetTempFileNameW(dir, L"zep", 0, path) == 0) return;
    g_path = path;
    g_title = title;
    // Appended to unbuffered, the two streams keep the order of their lines.
    g_out_lost = out_lost && _wfreopen(path, L"a", stdout) != nullptr;
    g_err_lost = err_lost && _wfreopen(path, L"a", stderr) != nullptr;
    if (g_out_lost) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (g_err_lost) std::setvbuf(stderr, nullptr, _IONBF, 0);
    std::atexit(ShowCollected);
}

}  // namespace zep
