#pragma once

// Control ids of frmAbout. cmdOK is IDOK; Esc and the close box arrive as IDCANCEL and close it the same way.
// The end-to-end tests press these same ids.

#define IDC_ABOUT_IMAGE 3401    // Image1
#define IDC_ABOUT_TITLE 3402    // lblTitle
#define IDC_ABOUT_VERSION 3403  // lblVersion
#define IDC_ABOUT_TEXT 3404     // Text1, the notice
#define IDC_ABOUT_SYSINFO 3405  // cmdSysInfo "&System Info..."

#define TORVALE_ABOUT_DESIGN_CAPTION "About TORVALE"
