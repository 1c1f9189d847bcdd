// CNewDialog: a dialog whose system menu and menu bar are drawn by the menu
// library. It takes both on when it initialises and gives the menu bar the
// background of the current theme.
#pragma once

#include "menus/NewFrame.h"

class CNewDialog : public CNewFrame<CDialog> {
public:
    using CNewFrame<CDialog>::CNewFrame;

protected:
    BOOL OnInitDialog() override;
};
