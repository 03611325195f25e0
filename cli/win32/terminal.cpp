#include "cli/terminal.h"

#include <windows.h>

#include <iostream>

#include "platform/os/win32/wide_text.h"

namespace tessel::cli {
namespace {

// A password is short; a line longer than this is no password and is not read further.
constexpr DWORD kMaxHiddenLine = 4096;

}  // namespace

bool DrawsOnTerminal(StandardStream stream) {
    const HANDLE handle = ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    // GetConsoleMode fails on a file or a pipe; SetConsoleMode fails on a console older than Windows 10.
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void UseUtf8Terminal() { ::SetConsoleOutputCP(CP_UTF8); }

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    if (input == nullptr || input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &saved)) return std::nullopt;
    std::cerr << prompt << std::flush;
    // Line input without echo: the console still ends the read at Enter.
    ::SetConsoleMode(input, (saved | ENABLE_LINE_INPUT) & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::wstring line;
    bool ended = false;
    while (!ended && line.size() < kMaxHiddenLine) {
        wchar_t chunk[256];
        DWORD count = 0;
        // The wide read: the typed text as Unicode, whatever the console's code page.
        if (!::ReadConsoleW(input, chunk, sizeof chunk / sizeof chunk[0], &count, nullptr) || count == 0) break;
        line.append(chunk, count);
        ended = line.find(L'\n') != std::wstring::npos;
    }
    ::SetConsoleMode(input, saved);
    std::cerr << std::endl;
    if (!ended) return std::nullopt;
    line.erase(line.find_first_of(L"\r\n"));
    return os::win32::Narrow(line);
}

}  // namespace tessel::cli
