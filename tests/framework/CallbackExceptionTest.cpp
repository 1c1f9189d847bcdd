// An exception thrown where the system calls the program (here a drop
// target's handler, called by OLE) stops at that entry point: the caller gets
// the failure code it expects and the user sees the exception's message.
#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <stdexcept>

#include "framework/OleDropTarget.h"
#include "support/ModalAnswer.h"

namespace {
// A target whose handler fails the way the editor's could (a file that can't
// be read, memory that ran out).
class FailingTarget : public COleDropTarget {
public:
    bool outOfMemory = false;

private:
    DROPEFFECT OnDragEnter(HWND, COleDataObject&, DWORD, POINT) override {
        if (outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("The dropped file can't be read.");
    }
};
}  // namespace

TEST(CallbackException, ADropTargetsHandlerFailureIsReportedAndRefusesTheDrag) {
    ModalAnswer modal;
    FailingTarget target;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target.DragEnter(nullptr, MK_LBUTTON, POINTL{10, 10}, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"The dropped file can't be read.");
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));

    target.outOfMemory = true;
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target.DragEnter(nullptr, MK_LBUTTON, POINTL{10, 10}, &effect), E_OUTOFMEMORY);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(modal.Boxes().size(), 2u);
}
