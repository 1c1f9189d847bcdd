// CAbout: the About box. A white box without caption: the picture, the
// product's name, the maker, the version and release date, and links to the
// maker's e-mail, the home page, two other products and a software archive.
#pragma once

#include "controls/HyperLink.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"

class CAbout : public CDialog {
public:
    explicit CAbout(HWND parent = nullptr);
    // A box still open (shown modeless) goes with the object, before its links do.
    ~CAbout() override;

    // The version line: "Version ", the version, ",  " and the release date.
    static std::wstring VersionLine();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    CHyperLink m_ClipkeeperLink;
    CHyperLink m_TimeslipLink;
    CHyperLink m_MailLink;
    CHyperLink m_HomePageLink;
    CHyperLink m_ArchiveLink;
    CBrush m_brWhite;
    // The picture at the screen's scale, while the picture control shows it.
    CBitmap m_picture;

    // Above 96 dpi the picture is shown enlarged to the screen's scale.
    void ShowPictureAtScreenScale();

    // Every control and the box itself: the default colours on white.
    LRESULT OnCtlColor(WPARAM, LPARAM);

    DECLARE_MESSAGE_TABLE()
};
