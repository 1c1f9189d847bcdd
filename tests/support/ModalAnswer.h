// Answers the modal windows (message boxes and dialogs, class #32770) that the
// code under test shows on this thread, and records what each one said.
// Answers are taken in order; with none left, the box gets its safe answer
// (OK, else No, else Cancel).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class ModalAnswer {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        HICON icon = nullptr;      // the icon shown, compare with StockIcon()
        std::vector<int> buttons;  // the command ids of its buttons, in order
        int answer = 0;
    };

    ModalAnswer();
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    // Queues the button the next box is answered with (IDYES, IDNO, IDOK, ...).
    void Answer(int button) { m_answers.push_back(button); }
    const std::vector<Box>& Boxes() const { return m_boxes; }
    // Windows of that class that are no modal box to answer (the main window).
    void Skip(std::function<bool(HWND)> skip) { m_skip = std::move(skip); }

    // The system icon a message box shows for IDI_ERROR, IDI_WARNING, ...
    static HICON StockIcon(const wchar_t* id) { return ::LoadIconW(nullptr, id); }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM w, LPARAM l);
    void OnActivate(HWND dialog);

    HHOOK m_hook = nullptr;
    std::deque<int> m_answers;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_seen;
    std::function<bool(HWND)> m_skip;
};
