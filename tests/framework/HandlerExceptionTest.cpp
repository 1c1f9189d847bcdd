// An exception that escapes a message handler stops in the one window
// procedure, which shows the exception's own message in an error box and lets
// the window go on working.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "framework/AppMessageBox.h"
#include "framework/Wnd.h"
#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"

namespace {
constexpr UINT kRunAction = WM_APP + 1;

// A window whose handler runs whatever the test gives it.
class ActionWindow : public CWnd {
public:
    ~ActionWindow() override {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    bool Create() {
        const wchar_t* cls = RegisterClass(L"TallyleafTestActionWindow");
        return CreateEx(0, cls, L"Actions", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0);
    }

    std::function<void()> action;
    int handled = 0;

private:
    LRESULT OnRunAction(WPARAM, LPARAM) {
        ++handled;
        action();
        return 1;
    }

    DECLARE_MESSAGE_TABLE()
};

// clang-format off
DEFINE_MESSAGE_TABLE(ActionWindow, CWnd, OnMessage(kRunAction, &ActionWindow::OnRunAction))
// clang-format on

class HandlerException : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.Create()); }

    // Sends the message whose handler runs `action`; returns the procedure's result.
    LRESULT Run(std::function<void()> action) {
        window.action = std::move(action);
        return window.SendMessage(kRunAction);
    }

    ModalAnswer modal;
    ActionWindow window;
};
}  // namespace

TEST_F(HandlerException, AStorageFailureShowsItsOwnMessageInAnErrorBox) {
    TempDir dir;
    LRESULT result = Run([&dir] {
        CppSQLite3DB db;
        db.Open(dir.File(NotesStore::kDefaultFileName));
        db.ExecuteStatement(L"UPDATE missing SET note='' WHERE id=1;");
    });
    EXPECT_EQ(result, 0) << "the procedure did not stop the exception";
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"SQLITE_ERROR[1]: no such table: missing");
    EXPECT_EQ(modal.Boxes()[0].caption, AppName());
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));

    // The window goes on handling its messages.
    EXPECT_EQ(Run([] {}), 1);
    EXPECT_EQ(window.handled, 2);
    EXPECT_EQ(modal.Boxes().size(), 1u);
}

TEST_F(HandlerException, AStandardExceptionShowsItsUtf8TextAsWritten) {
    Run([] { throw std::runtime_error("Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC: disk full"); });
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Caf\u00e9 \u6771\u4eac: disk full");
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
}
