#include "settings/FontRecord.h"

#include <cwchar>

#include "settings/Profile.h"

// The stored form is the font description's bytes as they are in memory.
static_assert(sizeof(LOGFONTW) == 92, "the Fontdlg record is 92 bytes");

namespace FontRecord {
namespace {
constexpr const wchar_t* kKey = L"Fontdlg";
}

LOGFONTW Default() {
    LOGFONTW font{};
    font.lfHeight = -14;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"MS Shell Dlg");
    return font;
}

LOGFONTW Read() {
    LOGFONTW font{};
    if (!Profile::ReadStruct(Profile::kPlacement, kKey, &font, sizeof font))
        return Default();
    return font;
}

void Write(const LOGFONTW& font) {
    Profile::WriteStruct(Profile::kPlacement, kKey, &font, sizeof font);
}

}  // namespace FontRecord
