// Answers the modal windows that the code under test shows on this thread, and
// records what each one showed: one hook, and an answer queue per window class.
// - Message boxes and dialogs (class #32770): each takes the next answer queued
//   with Answer (a button, or an action that fills the dialog first, such as
//   AnswerFile for the file dialogs, AnswerFolder for the folder browser), or a
//   script that drives it from its own loop (Drive); with none left, its safe
//   answer (OK, else No, else Cancel; Cancel for a dialog that asks for a file
//   or a folder).
// - The name window (CTextEntryDlg): each takes the next answer queued on
//   Names() (see TextEntryAnswer.h); with none left, Escape.
// The program's main window is a #32770 dialog too; it is never answered, nor
// is a modeless dialog (one that leaves its owner enabled, as Find does).
// Tests and the bench use it; one answerer at a time per thread.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
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

    // Hands the next box or dialog to `script` once the dialog waits in its own
    // loop (not from inside its activation, as Answer does): a script may press
    // buttons that open further dialogs (they take the answers queued after it),
    // read what changed, and must end the dialog itself.
    using Script = std::function<void(HWND dialog)>;
    void Drive(Script script);

    // What a script does with a dialog's controls.
    // Presses a button (it acts before this returns, nested dialogs included).
    static void Click(HWND dialog, int id);
    static bool IsChecked(HWND dialog, int id);
    static void SetCheck(HWND dialog, int id, bool checked);
    // A hot-key entry control: what it reports, and a combination as the user
    // types it (modifiers in the control's form, HOTKEYF_...).
    static WORD HotKeyOf(HWND dialog, int id);
    static void SetHotKey(HWND dialog, int id, WORD vk, WORD modifiers);
    // A common file dialog: the name in its file-name box.
    static std::wstring FileNameOf(HWND fileDialog);
    // Types `path` into the file-name box and presses OK; if the dialog is
    // still open after that (the user said No to replacing a file), cancels it.
    static void ChooseFile(HWND fileDialog, const std::wstring& path);

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM w, LPARAM l);
    static void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD);
    void OnBoxActivated(HWND dialog);

    HHOOK m_hook = nullptr;
    std::deque<Action> m_answers;
    // Scripts waiting for their dialog's loop, by the thread timer that starts them.
    std::map<UINT_PTR, std::pair<HWND, Script>> m_scripts;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_seen;
    TextEntryAnswer m_names;
};
