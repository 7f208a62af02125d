#pragma once

// Resource and command ids of torvale.exe. The end-to-end driver sends these same ids, so they are part of
// the program's testing contract: change them only together with tests/e2e.

#define IDI_TORVALE 1
#define IDR_MAINMENU 100
#define IDC_TXTOUTPUT 1001

// Main window menu commands (WM_COMMAND ids).
#define IDM_FILE_IMPORT_P3D 40001    // mnuFileImportP3D
#define IDM_FILE_IMPORT_OOF 40002    // mnuFileImportOOF
#define IDM_FILE_EXPORT 40003        // mnuFileExport
#define IDM_FILE_EXIT 40004          // mnuFileExit
#define IDM_FILE_IMPORT_MODEL 40005  // mnuFileImportModel
#define IDM_FILE_EXPORT_MODEL 40006  // mnuFileExportModel
#define IDM_FILE_CHECK_ORF 40007     // mnuFileCheckORF
#define IDM_EDIT_OPTIONS 40011       // mnuEditOptions
#define IDM_EDIT_COLORS 40012        // mnuEditColors
#define IDM_EDIT_CLEAR 40013         // mnuEditClear
#define IDM_HELP_README 40021        // mnuHelpReadme
#define IDM_HELP_ABOUT 40022         // mnuHelpAbout
#define IDM_RELOAD_P3D 40031         // mnuReloadP3D, an item of the menu bar itself
#define IDM_VIEW_PREVIEW 40051       // mnuViewPreview
#define IDM_VIEW_WIREFRAME 40052     // mnuViewWireframe
#define IDM_VIEW_FINDINGS 40053      // mnuViewFindings
#define IDM_VIEW_TEXTURES 40054      // mnuViewTextures
// File, Recent: the items of the recent files, the newest first; the list never holds more.
#define IDM_FILE_RECENT_FIRST 40061  // mnuFileRecent(0)
#define IDM_FILE_RECENT_COUNT 4

// Window classes.
#define TORVALE_MAIN_CLASS "TorvaleMainWindow"
#define TORVALE_POFGEN_CLASS "TorvalePofgenOutput"
#define TORVALE_PREVIEW_CLASS "TorvaleModelPreview"

// Test query: another process sends WM_APP + 0x100 with wParam = the HWND of one of its own windows. The main
// window answers by sending that window WM_COPYDATA with dwData = TORVALE_MENU_DUMP_TAG and, as data, the menu
// bar as text: one line per item, "<depth>|<id>|<caption>|<enabled 1/0>" (depth 0 for menu-bar items, 1 for
// the items of a menu; a separator has id 0 and caption "-"), lines separated by "\n". Reading another
// process's menu does not work under Wine, so this is how tests see captions and enabled states.
#define TORVALE_WM_DUMP_MENU (0x8000 + 0x100)
// Test query: the main window answers with the log font's height in pixels (negative, as CreateFont takes it).
#define TORVALE_WM_OUTPUT_FONT_HEIGHT (0x8000 + 0x101)
#define TORVALE_MENU_DUMP_TAG 0x544D4E55UL
