// CModalLoop: the framework's one modal loop, run by CDialog::DoModal and by
// windows that are modal without a dialog template (CTextEntryDlg).
//
// Conventions:
// - The loop object disables the owner for its life, or until EnableOwner; an
//   owner that was disabled already (by a modal window of its own) stays so.
// - Each message goes first to the pre-translation walk (PreTranslateMessage of
//   the target window and its parents), so a window sees keys before its
//   controls; then to the dialog keyboard handling of the modal window
//   (IsDialogMessage); then it is translated and dispatched.
// - A WM_QUIT ends the loop and is posted again, so the loop outside ends too.
#pragma once

#include <windows.h>

#include <functional>

class CModalLoop {
public:
    // Disables `owner` (null: no owner) unless it is disabled already.
    explicit CModalLoop(HWND owner);
    ~CModalLoop() { EnableOwner(); }
    CModalLoop(const CModalLoop&) = delete;
    CModalLoop& operator=(const CModalLoop&) = delete;
    CModalLoop(CModalLoop&& other) noexcept;
    CModalLoop& operator=(CModalLoop&&) = delete;

    // Runs until `ended` holds or `window` is destroyed. False when a WM_QUIT
    // (the program is ending) stopped it first.
    bool Run(HWND window, const std::function<bool()>& ended);
    // Enables the owner again, if this loop disabled it. Call it before the
    // modal window goes, so the activation returns to the owner.
    void EnableOwner();

    // Handles one message as the program's loops do; `dialog` is the window
    // whose dialog keyboard handling applies (null: none).
    static void Dispatch(MSG& msg, HWND dialog);

private:
    HWND m_hOwner;
    bool m_bOwnerDisabled;
};
