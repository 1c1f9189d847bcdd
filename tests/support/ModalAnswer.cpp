#include "support/ModalAnswer.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>

#include "app/TallyLeafDlg.h"
#include "dialogs/TextEntryDlg.h"
#include "framework/WindowText.h"

namespace {
ModalAnswer* g_current = nullptr;

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

bool IsMainWindow(HWND hwnd) {
    return dynamic_cast<CTallyLeafDlg*>(CWnd::FromHandle(hwnd)) != nullptr;
}

// A modal window disables its owner before it shows; a modeless one (the Find
// dialog) leaves it enabled, and is the test's to drive.
bool IsModeless(HWND hwnd) {
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    return owner && ::IsWindowEnabled(owner);
}

// The file-name box of the open and save dialogs: an edit control in the
// classic dialogs, a combo box (whose edit takes the text) in the explorer-style ones.
HWND FileNameBox(HWND dialog) {
    HWND box = ::GetDlgItem(dialog, cmb13);
    return box ? box : ::GetDlgItem(dialog, edt1);
}

BOOL CALLBACK KeepTreeView(HWND child, LPARAM found) {
    if (ClassOf(child) != WC_TREEVIEWW)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The folder browser's tree, wherever the dialog keeps it.
HWND BrowserTree(HWND dialog) {
    HWND tree = nullptr;
    ::EnumChildWindows(dialog, &KeepTreeView, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

std::wstring SelectedLabel(HWND tree) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = tree ? TreeView_GetSelection(tree) : nullptr;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return std::wstring();
    return text;
}

// The folder browser being answered (one at a time). Wine fills its tree
// after the dialog is shown, so a selection made at once can be lost: it is
// made again on every tick of a thread timer until the tree shows it.
struct BrowserAnswer {
    HWND dialog = nullptr;
    std::function<void(HWND)> select;
    std::wstring label;
    DWORD started = 0;
};
BrowserAnswer g_browser;

void CALLBACK OnBrowserTick(HWND, UINT, UINT_PTR timer, DWORD) {
    constexpr DWORD kGiveUpMs = 10000;
    g_browser.select(g_browser.dialog);
    UINT button = 0;
    if (SelectedLabel(BrowserTree(g_browser.dialog)) == g_browser.label)
        button = IDOK;
    else if (::GetTickCount() - g_browser.started > kGiveUpMs)
        button = IDCANCEL;
    if (!button)
        return;
    ::KillTimer(nullptr, timer);
    ::PostMessageW(g_browser.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

ModalAnswer::Action AnswerBrowser(std::function<void(HWND)> select, std::wstring label) {
    return [select = std::move(select), label = std::move(label)](HWND dialog) {
        g_browser = BrowserAnswer{dialog, select, label, ::GetTickCount()};
        ::SetTimer(nullptr, 0, 20, &OnBrowserTick);
        return 0;
    };
}

// A dialog that asks for a file (its file-name box) or a folder (the folder
// browser's tree): OK there would choose something, so the safe answer is Cancel.
bool AsksForFileOrFolder(HWND dialog) {
    return FileNameBox(dialog) || ::FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr) ||
           ::FindWindowExW(dialog, nullptr, L"SHBrowseForFolder ShellNameSpace Control", nullptr);
}
}  // namespace

ModalAnswer::ModalAnswer() {
    g_current = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, &ModalAnswer::CbtProc, nullptr, ::GetCurrentThreadId());
}

ModalAnswer::~ModalAnswer() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    if (g_current == this)
        g_current = nullptr;
}

// A box is read once it is active, with its controls made; the name window is
// watched from its creation and answered from its own loop (TextEntryAnswer).
LRESULT CALLBACK ModalAnswer::CbtProc(int code, WPARAM w, LPARAM l) {
    if (g_current && (code == HCBT_ACTIVATE || code == HCBT_CREATEWND)) {
        HWND hwnd = reinterpret_cast<HWND>(w);
        const std::wstring cls = ClassOf(hwnd);
        if (code == HCBT_ACTIVATE && cls == L"#32770")
            g_current->OnBoxActivated(hwnd);
        else if (code == HCBT_CREATEWND && cls == CTextEntryDlg::kClassName)
            g_current->m_names.OnCreated(hwnd);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

void ModalAnswer::OnBoxActivated(HWND dialog) {
    if (std::find(m_seen.begin(), m_seen.end(), dialog) != m_seen.end() || IsMainWindow(dialog) || IsModeless(dialog))
        return;
    m_seen.push_back(dialog);
    Box box;
    box.caption = WindowText(dialog);
    if (HWND text = ::GetDlgItem(dialog, 0xFFFF))
        box.text = WindowText(text);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = ClassOf(child);
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(cls.c_str(), L"Button") == 0)
            box.buttons.push_back(::GetDlgCtrlID(child));
        else if (_wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        else if (_wcsicmp(cls.c_str(), L"Static") == 0)
            box.statics.push_back(WindowText(child));
    }
    int answer = 0;
    if (!m_answers.empty()) {
        const Action act = std::move(m_answers.front());
        m_answers.pop_front();
        answer = act(dialog);
    } else if (AsksForFileOrFolder(dialog)) {
        answer = IDCANCEL;
    } else {
        for (int safe : {IDOK, IDNO, IDCANCEL}) {
            if (std::find(box.buttons.begin(), box.buttons.end(), safe) != box.buttons.end()) {
                answer = safe;
                break;
            }
        }
        if (answer == 0)
            answer = IDCANCEL;
    }
    box.answer = answer;
    m_boxes.push_back(box);
    if (answer)
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

void ModalAnswer::AnswerFile(const std::wstring& path) {
    Answer([path](HWND dialog) {
        HWND box = FileNameBox(dialog);
        if (!box)
            return IDCANCEL;
        ::SetWindowTextW(box, path.c_str());
        return IDOK;
    });
}

void ModalAnswer::Drive(Script script) {
    Answer([this, script = std::move(script)](HWND dialog) {
        // A thread timer: it fires in whatever loop runs the dialog.
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 0, &ModalAnswer::RunScript);
        m_scripts[timer] = {dialog, script};
        return 0;
    });
}

void CALLBACK ModalAnswer::RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    if (!g_current)
        return;
    auto found = g_current->m_scripts.find(timer);
    if (found == g_current->m_scripts.end())
        return;
    const auto [dialog, script] = std::move(found->second);
    g_current->m_scripts.erase(found);
    if (::IsWindow(dialog))
        script(dialog);
}

void ModalAnswer::Click(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool ModalAnswer::IsChecked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void ModalAnswer::SetCheck(HWND dialog, int id, bool checked) {
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

WORD ModalAnswer::HotKeyOf(HWND dialog, int id) {
    return static_cast<WORD>(::SendDlgItemMessageW(dialog, id, HKM_GETHOTKEY, 0, 0));
}

void ModalAnswer::SetHotKey(HWND dialog, int id, WORD vk, WORD modifiers) {
    ::SendDlgItemMessageW(dialog, id, HKM_SETHOTKEY, MAKEWORD(vk, modifiers), 0);
}

std::wstring ModalAnswer::FileNameOf(HWND fileDialog) {
    return WindowText(FileNameBox(fileDialog));
}

void ModalAnswer::ChooseFile(HWND fileDialog, const std::wstring& path) {
    ::SetWindowTextW(FileNameBox(fileDialog), path.c_str());
    Click(fileDialog, IDOK);
    // A dialog that took the name hides as it ends.
    if (::IsWindow(fileDialog) && ::IsWindowVisible(fileDialog))
        ::PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void ModalAnswer::AnswerFolder(const std::wstring& path) {
    SHFILEINFOW info{};
    ::SHGetFileInfoW(path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
    Answer(AnswerBrowser(
        [path](HWND dialog) {
            ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        },
        info.szDisplayName));
}

void ModalAnswer::AnswerFolder(int csidl) {
    PIDLIST_ABSOLUTE place = nullptr;
    SHFILEINFOW info{};
    if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, csidl, &place))) {
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(place), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
        ::CoTaskMemFree(place);
    }
    Answer(AnswerBrowser(
        [csidl](HWND dialog) {
            PIDLIST_ABSOLUTE at = nullptr;
            if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &at)))
                return;
            ::SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(at));
            ::CoTaskMemFree(at);
        },
        info.szDisplayName));
}
