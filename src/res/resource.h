// Resource and command identifiers of Tallyleaf.
// Shared by the C++ sources and tallyleaf.rc, so this file holds only #define
// lines: windres reads it through its C preprocessor. ResourceIdsCheck.h
// checks at build time that the command identifiers do not collide.

#ifndef TALLYLEAF_RES_RESOURCE_H
#define TALLYLEAF_RES_RESOURCE_H

// Application icon (window, tray and program file).
#define IDR_MAINFRAME 128

// About box: dialog template, picture and controls.
#define IDD_ABOUTBOX 100
#define IDB_ABOUT 143
#define IDC_ABOUT_HOME_PAGE 1006
#define IDC_ABOUT_MAIL 1007
#define IDC_ABOUT_PRODUCT1 1008
#define IDC_ABOUT_PRODUCT2 1009
#define IDC_ABOUT_NAME 1010
#define IDC_ABOUT_VERSION 1011
#define IDC_ABOUT_ARCHIVE 1012
#define IDC_ABOUT_PICTURE 1017

// Main window: dialog template and its controls.
#define IDD_TALLYLEAF_DIALOG 102
#define IDC_EDIT_NOTE 1000
#define IDC_TREE_NOTES 1002
// Control id of the splitter, which is created at run time. It shares its
// number with the dialog template; control and resource ids never meet.
#define IDC_SPLITTER 102

// Settings dialog: template and controls.
#define IDD_OPTIONS 132
#define IDC_HOTKEY 1004
#define IDC_CHECK_ICON_IN_TRAY 1005
#define IDC_BUTTON_SWITCH_DB 1007
#define IDC_EDIT_DB_PATH 1008
#define IDC_CHECK_MINIMIZE_ON_CLOSE 1011
#define IDC_CHECK_RUN_ON_STARTUP 1012
#define IDC_BUTTON_COPY_DB 1013
#define IDC_GROUP_HOTKEY 1017
#define IDC_GROUP_GENERAL 1019
#define IDC_GROUP_DATABASE 1021
#define IDC_STATIC_LAST_BACKUP 1022

// Menu bar of the main window.
#define IDR_MENU_MAIN 131

// Toolbar strip with the menu icons (16x16 images).
#define IDB_MENU_ICONS 133

// File menu.
#define ID_FILE_LOAD 32778
#define ID_FILE_SAVE 32779
#define ID_FILE_EXPORT 32798
#define ID_FILE_PRINT 32782
#define ID_FILE_OPTIONS 32774
#define ID_FILE_ALWAYS_ON_TOP 32799
#define ID_FILE_HIDE 32773
#define ID_FILE_EXIT 32772
#define ID_FILE_IMPORT 32820
#define ID_FILE_RESTORE_BACKUP 32822

// Edit menu.
#define ID_EDIT_UNDO 57643
#define ID_EDIT_CUT 57635
#define ID_EDIT_COPY 57634
#define ID_EDIT_PASTE 57637
#define ID_EDIT_DELETE 32788
#define ID_EDIT_FIND 57636
#define ID_EDIT_FIND_NEXT 32790
#define ID_EDIT_REPLACE 57641
#define ID_EDIT_FIND_ALL 32800

// Find in All Notes: dialog template and controls.
#define IDD_FIND_ALL_NOTES 140
#define IDC_FIND_ALL_QUERY 1030
#define IDC_FIND_ALL_MATCH_CASE 1031
#define IDC_FIND_ALL_WHOLE_WORD 1032
#define IDC_FIND_ALL_NAMES_ONLY 1033
#define IDC_FIND_ALL_RESULTS 1034
#define IDC_FIND_ALL_COUNT 1035

// The progress of File > Import Folder, modeless.
#define IDD_IMPORT_PROGRESS 150
#define IDC_IMPORT_PROGRESS_TEXT 1040

// File > Restore from Backup: dialog template and controls.
#define IDD_RESTORE_BACKUP 160
#define IDC_RESTORE_FILE 1050
#define IDC_RESTORE_LIST 1051

// Notes menu.
#define ID_NOTES_ADD 32792
#define ID_NOTES_ADD_SUBNOTE 32795
#define ID_NOTES_RENAME 32793
#define ID_NOTES_DELETE 32794
#define ID_NOTES_UNDO_DELETE 32821

// Format menu.
#define ID_FORMAT_WORD_WRAP 32780
#define ID_FORMAT_FONT 32775
#define ID_FORMAT_FONT_COLOR 32776
#define ID_FORMAT_BACK_COLOR 32777

// Insert menu: one command per snippet; the menu resource holds only a
// placeholder item with the first id, the snippets replace it at start-up.
#define ID_INSERT_FIRST 1074
#define ID_INSERT_LAST 1124

// Help menu.
#define ID_HELP_ABOUT 57664
#define ID_HELP_HOME_PAGE 32897
#define ID_HELP_FORUM 32915
#define ID_HELP_FEEDBACK 32900
#define ID_HELP_NEWSLETTER 32901

#endif  // TALLYLEAF_RES_RESOURCE_H
