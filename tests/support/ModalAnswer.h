// Answers the modal windows that the code under test shows on this thread, and
// records what each one showed: one hook, and an answer queue per window class.
// - Message boxes and dialogs (class #32770): each takes the next answer queued
//   with Answer (a button, or an action that fills the dialog first, such as
//   AnswerFile for the file dialogs, AnswerFolder for the folder browser); with
//   none left, its safe answer (OK, else No, else Cancel; Cancel for a dialog
//   that asks for a file or a folder).
// - The name window (CTextEntryDlg): each takes the next answer queued on
//   Names() (see TextEntryAnswer.h); with none left, Escape.
// The program's main window is a #32770 dialog too; it is never answered.
// Tests and the bench use it; one answerer at a time per thread.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/TextEntryAnswer.h"

class ModalAnswer {
public:
    struct Box {
        std::wstring caption;
        std::wstring text;
        std::vector<std::wstring> statics;  // the texts of its static controls, in order
        HICON icon = nullptr;               // the icon shown, compare with StockIcon()
        std::vector<int> buttons;           // the command ids of its buttons, in order
        int answer = 0;
    };

    ModalAnswer();
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    // Hands the next box or dialog, once active with its controls made, to
    // `act`, which may fill its controls; the button it returns is pressed (0:
    // none, the action closes the dialog itself).
    using Action = std::function<int(HWND dialog)>;
    void Answer(Action act) { m_answers.push_back(std::move(act)); }
    // Queues the button the next box is answered with (IDYES, IDNO, IDOK, ...).
    void Answer(int button) {
        Answer([button](HWND) { return button; });
    }
    // The next dialog is a file dialog (open or save): `path` is typed into its
    // file-name box and Open/Save is pressed.
    void AnswerFile(const std::wstring& path);
    // The next dialog is the shell's folder browser: `path` (or the shell's
    // special place `csidl`) is selected in it, and OK is pressed once its tree
    // shows the selection (Cancel if it never does).
    void AnswerFolder(const std::wstring& path);
    void AnswerFolder(int csidl);
    const std::vector<Box>& Boxes() const { return m_boxes; }

    // The answers for the name window and what each one showed.
    TextEntryAnswer& Names() { return m_names; }

    // The system icon a message box shows for IDI_ERROR, IDI_WARNING, ...
    static HICON StockIcon(const wchar_t* id) { return ::LoadIconW(nullptr, id); }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM w, LPARAM l);
    void OnBoxActivated(HWND dialog);

    HHOOK m_hook = nullptr;
    std::deque<Action> m_answers;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_seen;
    TextEntryAnswer m_names;
};
