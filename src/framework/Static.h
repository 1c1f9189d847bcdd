// CStatic: thin, non-owning wrapper over a static control (text or picture).
#pragma once

#include "framework/Wnd.h"

class CStatic : public CWnd {
public:
    // Whether the control reports clicks to its parent (STN_CLICKED).
    bool IsNotifying() const { return (GetStyle() & SS_NOTIFY) != 0; }
};
