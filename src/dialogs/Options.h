// COptions: the Settings dialog (F4, File > Options). The tray icon, starting
// with Windows, closing as hiding, the global hot key, and the database file in
// use with the commands that switch to another file or to a copy of this one.
//
// It shows the settings in force it is given, and works on the host it is given
// (SettingsDialogHost): OK has the host put each changed setting into force and
// write it at once; Cancel changes nothing. The two database commands act at once, whatever ends the dialog.
#pragma once

#include <string>

#include "framework/Dialog.h"
#include "framework/HotKeyCtrl.h"
#include "framework/ToolTipCtrl.h"
#include "settings/Settings.h"

class SettingsDialogHost;

class COptions : public CDialog {
public:
    COptions(SettingsDialogHost& host, const Settings& inForce);

    CHotKeyCtrl m_ctlHotKey;
    int m_nIconInTray = 0;
    int m_nMinimizeOnClose = 0;
    int m_nRunOnStartup = 0;
    std::wstring m_strDatabasePath;
    // Whether "Run on Windows startup" was checked when the dialog opened.
    bool m_bRunOnStartupAtOpen = false;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool PreTranslateMessage(MSG* msg) override;

private:
    // Has a changed hot key put into force; false (after telling the user)
    // when the system refused it, and the previous one is in force again.
    bool ApplyHotKey();
    void ApplyIconInTray();
    void ApplyMinimizeOnClose();
    void ApplyRunOnStartup();
    // Portable mode leaves Windows' startup list alone: the Run choice is
    // disabled, and a tip over it says why.
    void DisableRunOnStartupForPortableMode();

    void OnSwitchDatabase(UINT);
    void OnCopyAndSwitch(UINT);
    // The file dialog of both database commands; empty when the user cancelled.
    std::wstring ChooseDatabase(bool open);
    // Makes `path` the database file in use, remembered in the configuration file.
    void SwitchTo(const std::wstring& path);
    // "Last backup: ..." of the file in use.
    void ShowLastBackup();

    SettingsDialogHost& m_host;
    // The settings in force, as the dialog has changed them.
    Settings m_settings;
    // Over the disabled Run choice in portable mode. A disabled control gets no
    // mouse messages, so the tool is the dialog's, over the control's place.
    CToolTipCtrl m_runTip;

    DECLARE_MESSAGE_TABLE()
};
