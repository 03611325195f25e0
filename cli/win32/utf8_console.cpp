#include "cli/utf8_console.h"

#include <windows.h>

#include <iostream>
#include <mutex>
#include <streambuf>
#include <string>

namespace tessel::cli {
namespace {

// The number of bytes at the end of text that begin a UTF-8 sequence the text does not finish yet: they wait for
// the next write, so that a character cut between two writes still shows as one character.
std::size_t UnfinishedTail(const std::string& text) {
    const std::size_t look = text.size() < 3 ? text.size() : 3;
    for (std::size_t back = 1; back <= look; ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if (byte < 0x80) return 0;
        if (byte < 0xC0) continue;  // a continuation byte: its lead is further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        return length > back ? back : 0;
    }
    return 0;
}

// Writes UTF-8 to a console as UTF-16 with WriteConsoleW: what the console shows then does not depend on its
// code page, and the code page of the console, which outlives the program, is left as it was. A byte that is no
// UTF-8 shows as U+FFFD. Threads may write to the standard streams at once (an upload's progress): the buffer keeps the
// standard streams' promise that this is no data race.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type character) override {
        if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
        const char byte = traits_type::to_char_type(character);
        return write(&byte, 1) ? character : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        return write(text, static_cast<std::size_t>(count)) ? count : 0;
    }

private:
    bool write(const char* text, std::size_t count) {
        const std::lock_guard lock(mutex_);
        pending_.append(text, count);
        const std::size_t ready = pending_.size() - UnfinishedTail(pending_);
        if (ready == 0) return true;
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(ready), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
        if (length > 0)
            ::MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(ready), wide.data(), length);
        pending_.erase(0, ready);
        const wchar_t* next = wide.data();
        std::size_t left = wide.size();
        while (left > 0) {
            DWORD written = 0;
            if (!::WriteConsoleW(console_, next, static_cast<DWORD>(left), &written, nullptr) || written == 0)
                return false;
            next += written;
            left -= written;
        }
        return true;
    }

    HANDLE console_;
    std::mutex mutex_;
    std::string pending_;
};

void WriteToConsole(DWORD standardHandle, std::ostream& stream) {
    const HANDLE handle = ::GetStdHandle(standardHandle);
    DWORD mode = 0;
    // GetConsoleMode fails on a file or a pipe, whose bytes stay UTF-8.
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return;
    stream.flush();
    // Never destroyed: the streams are flushed once more when the program ends, after static objects are gone.
    stream.rdbuf(new ConsoleBuffer(handle));
}

}  // namespace

void UseUtf8Console() {
    WriteToConsole(STD_OUTPUT_HANDLE, std::cout);
    WriteToConsole(STD_ERROR_HANDLE, std::cerr);
}

}  // namespace tessel::cli
