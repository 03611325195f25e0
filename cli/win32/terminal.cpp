#include "cli/terminal.h"

#include <windows.h>

#include <atomic>
#include <iostream>

#include "cli/win32/interrupted_end.h"
#include "platform/os/win32/wide_text.h"

namespace tessel::cli {
namespace {

// A password is short; a line longer than this is no password and is not read further.
constexpr DWORD kMaxHiddenLine = 4096;

bool IsConsole(HANDLE handle, DWORD& mode) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

// The input console and its mode from before the prompt, while the prompt has echo switched off.
std::atomic<HANDLE> promptInput{nullptr};
std::atomic<DWORD> promptSavedMode{0};

// Runs on a thread of its own on Ctrl+C, Ctrl+Break or closing the window: the console, which the program's
// shell goes on using, gets its echo back, then the program ends as an interrupted run does.
BOOL WINAPI RestoreEchoOnInterrupt(DWORD) {
    const HANDLE input = promptInput.load();
    if (input != nullptr) ::SetConsoleMode(input, promptSavedMode.load());
    EndAsInterrupted();
    return TRUE;
}

}  // namespace

bool DrawsOnTerminal(StandardStream stream) {
    const HANDLE handle = ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    // SetConsoleMode fails on a console older than Windows 10.
    if (!IsConsole(handle, mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool InputIsTerminal() {
    DWORD mode = 0;
    return IsConsole(::GetStdHandle(STD_INPUT_HANDLE), mode);
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    if (!IsConsole(input, saved)) return std::nullopt;
    std::cerr << prompt << std::flush;
    promptSavedMode = saved;
    promptInput = input;
    ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, TRUE);
    // Line input without echo: the console still ends the read at Enter, and Ctrl+C still interrupts.
    ::SetConsoleMode(input,
                     (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
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
    promptInput = nullptr;
    ::SetConsoleCtrlHandler(RestoreEchoOnInterrupt, FALSE);
    std::cerr << std::endl;
    if (!ended) return std::nullopt;
    line.erase(line.find_first_of(L"\r\n"));
    return os::win32::Narrow(line);
}

}  // namespace tessel::cli
