// An output stream's buffer that hands on each whole line: what a device's thread writes reaches the thread
// that owns the terminal line by line.
#pragma once

#include <functional>
#include <streambuf>
#include <string>

namespace tessel::cli {

class LineRelay final : public std::streambuf {
public:
    // onLine gets each line without its newline.
    explicit LineRelay(std::function<void(std::string)> onLine) : onLine_(std::move(onLine)) {}
    // A last line without its newline is handed on too.
    ~LineRelay() override;
    LineRelay(const LineRelay&) = delete;
    LineRelay& operator=(const LineRelay&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    void put(char c);

    std::function<void(std::string)> onLine_;
    std::string partial_;
};

}  // namespace tessel::cli
