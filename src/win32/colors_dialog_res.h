#pragma once

// Control ids of frmColors, the output font and colours dialog. cmdOk and cmdCancel are IDOK and IDCANCEL, so
// that Enter, Esc and the close box reach them. The end-to-end tests press these same ids.

#define IDC_COLORS_EXAMPLE 3101     // txtExample, the preview
#define IDC_COLORS_FRAME_BACK 3102  // Frame1 "Background Color"
#define IDC_COLORS_FRAME_TEXT 3103  // Frame2 "Text Color"
#define IDC_COLORS_FRAME_FONT 3104  // Frame3 "Font Style/Size"
#define IDC_COLORS_FONT 3105        // txtFont, the font description
#define IDC_COLORS_CHOOSE 3106      // cmdFont "Choose"
#define IDC_COLORS_RESET 3107       // cmdReset
#define IDC_COLORS_SYSTEM 3108      // txtSystem, never visible
#define IDC_COLORS_BACK_FIRST 3200  // picBackColor(0) to (23): 3200 to 3223
#define IDC_COLORS_TEXT_FIRST 3300  // picTextColor(0) to (23): 3300 to 3323

#define TORVALE_COLORS_CAPTION "Edit Window Font/Colors"
