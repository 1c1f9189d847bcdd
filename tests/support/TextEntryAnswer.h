// Answers the program's one-line text entry window (CTextEntryDlg, the window
// that asks for the names of notes) from inside its own modal loop, and records
// what each window showed. It is the name window's part of the one answerer,
// ModalAnswer, which watches for the window and owns this object.
//
// Queue one answer per window expected, in order, before the code under test
// asks for a name:
//
//     TextEntryAnswer& names = modal.Names();
//     names.Type(L"Shopping");   // the first window: type "Shopping", press Enter
//     names.Cancel();            // the second window: press Escape
//     ... run the commands ...
//     ASSERT_EQ(names.Windows().size(), 2u);
//     EXPECT_EQ(names.Windows()[0].caption, L"Add New Note");
//     EXPECT_EQ(names.Windows()[0].text, L"New Note");
//
// Answers act as a user does: characters and keys are posted to the control
// that has the focus, so they go through the window's own loop and keyboard
// handling. A window with no answer queued is cancelled. When an answer's steps
// leave the window open (Enter on an empty field does nothing), the helper
// closes it with the close box, which cancels, and marks it leftOpen: a test
// never hangs on a window nobody answers.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TextEntryAnswer {
public:
    // What a window showed when it was ready for the user, before its answer acted.
    struct Window {
        HWND handle = nullptr;
        HWND owner = nullptr;
        bool ownerEnabled = false;
        std::wstring caption;
        std::wstring prompt;
        std::wstring text;  // the field's initial text
        int selStart = 0;   // the field's selection
        int selEnd = 0;
        bool fieldHasFocus = false;
        bool okEnabled = false;
        bool leftOpen = false;  // the answer did not close it, the helper did
    };
    // One step of an answer. Each step runs once the window has handled all
    // that the step before it posted.
    using Step = std::function<void(HWND window)>;

    ~TextEntryAnswer();
    TextEntryAnswer(const TextEntryAnswer&) = delete;
    TextEntryAnswer& operator=(const TextEntryAnswer&) = delete;

    // Types `text` over the field's selection (the whole initial text when the
    // window works), then presses Enter. An empty text deletes the selection.
    void Type(const std::wstring& text);
    // Presses Enter, keeping the initial text.
    void Accept();
    // Presses Escape.
    void Cancel();
    // Runs steps of the test's own, built from the helpers below.
    void Script(std::vector<Step> steps);

    const std::vector<Window>& Windows() const { return m_windows; }
    // Answers still queued (not yet taken by a window).
    std::size_t Pending() const { return m_answers.size(); }

    // Building blocks for steps.
    static HWND Field(HWND window);
    static HWND Button(HWND window, int id);
    // Posts the characters to the control with the focus, as typing does.
    static void TypeChars(HWND window, const std::wstring& text);
    // Posts a key press (down and up) to the control with the focus. With
    // `shift`, the key is pressed with Shift held.
    static void PressKey(HWND window, UINT vk, bool shift = false);
    // A step that waits, running again at each tick, until `done` holds or
    // `timeoutMs` passes; the steps after it run either way.
    static Step WaitUntil(std::function<bool()> done, DWORD timeoutMs = 5000);

private:
    friend class ModalAnswer;
    TextEntryAnswer();

    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    // Called by ModalAnswer when a name window is created.
    void OnCreated(HWND window);
    void OnTick();
    void Record();
    void StopWatching();

    UINT_PTR m_timer = 0;
    std::deque<std::vector<Step>> m_answers;
    std::vector<Window> m_windows;

    // The window being answered.
    HWND m_window = nullptr;
    std::vector<Step> m_steps;
    std::size_t m_nextStep = 0;
    bool m_recorded = false;
    bool m_closing = false;
    bool m_repeatStep = false;
};
