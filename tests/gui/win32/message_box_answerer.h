#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessel::gui_test {

struct ShownMessageBox {
    std::string caption;  // UTF-8
    std::string text;     // UTF-8
    bool warningIcon = false;
    bool informationIcon = false;
    bool yesNo = false;
};

// Answers every message box the test's thread opens, from the box's own message loop: OK where it is offered,
// and the chosen answer to a Yes/No question. Keeps what each box showed. One at a time.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int questionAnswer = IDNO);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void setQuestionAnswer(int answer) { questionAnswer_ = answer; }
    const std::vector<ShownMessageBox>& shown() const { return shown_; }
    bool sawText(const std::string& text) const;

private:
    static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD);
    void answerOpenBoxes();

    UINT_PTR timer_ = 0;
    int questionAnswer_;
    std::vector<ShownMessageBox> shown_;
};

}  // namespace tessel::gui_test
