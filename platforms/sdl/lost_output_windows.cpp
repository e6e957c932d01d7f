// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Windows: a program built for the GUI subsystem and started by a
// double-click has no console, and what it prints would be lost: it is shown
// in a message box instead.
#include "shell/window_platform.h"

#include <windows.h>

#include <string>

namespace zep {
namespace {

// Set for the second run, which never starts a third.
constexpr const wchar_t* kCollectedMark = L"ZEP_OUTPUT_COLLECTED";

bool LeadsSomewhere(HANDLE handle) {
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

}  // namespace

int RunShowingLostOutput(const char* title) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    const bool out_lost = !LeadsSomewhere(out);
    const bool err_lost = !LeadsSomewhere(err);
    if ((!out_lost && !err_lost) || GetEnvironmentVariableW(kCollectedMark, nullptr, 0) > 0)
        return -1;

    // Both lost streams go into one pipe, so their lines keep their order.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inheritable, 0)) return -1;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out_lost ? write_end : out;
    startup.hStdError = err_lost ? write_end : err;
    std::wstring program(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, program.data(),
                                        static_cast<DWORD>(program.size()))) == program.size())
        program.resize(program.size() * 2);
    program.resize(length);
    std::wstring command_line = GetCommandLineW();
    PROCESS_INFORMATION child{};
    SetEnvironmentVariableW(kCollectedMark, L"1");
    const bool started = length > 0 && CreateProcessW(program.c_str(), command_line.data(), nullptr,
                                                      nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                                      &child);
    SetEnvironmentVariableW(kCollectedMark, nullptr);
    CloseHandle(write_end);
    if (!started) {
        CloseHandle(read_end);
        return -1;  // run here, even if the messages are lost
    }

    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(read_end);
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);

    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!text.empty())
        MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(),
                    MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return static_cast<int>(status);
}

}  // namespace zep
