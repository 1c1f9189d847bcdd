#include "editor/FormatDialogs.h"

#include <commdlg.h>

bool ChooseEditorFont(HWND owner, LOGFONTW& font) {
    LOGFONTW chosen = font;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS;
    if (!::ChooseFontW(&cf))
        return false;
    font = chosen;
    return true;
}

bool ChooseColour(HWND owner, COLORREF& colour) {
    // The sixteen custom colours, which the dialog reads and updates.
    static COLORREF custom[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                  RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT;
    if (!::ChooseColorW(&cc))
        return false;
    colour = cc.rgbResult;
    return true;
}
