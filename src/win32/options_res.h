#pragma once

#include "app/pofgen_switch_ids.h"

// Control ids of frmOptions, the options dialog. cmdOK is IDOK, so that Enter reaches it; cmdCancel has an id
// of its own, because Esc (which sends IDCANCEL) is not bound to it. The end-to-end tests use these same ids.

#define IDC_OPT_FRAME7 3501  // "POFGEN Options/Command Line Switches"
#define IDC_OPT_FRAME4 3502  // "General"
#define IDC_OPT_FRAME1 3503  // "Shading Mode:"
#define IDC_OPT_FRAME2 3504  // "Chunk Splits:"
#define IDC_OPT_FRAME3 3505  // "Seperation Plane Options:"
#define IDC_OPT_FRAME5 3506  // "Miscellaneous:"
#define IDC_OPT_FRAME6 3507  // "POFGEN.EXE Path"
#define IDC_OPT_FRAME8 3508  // "OOF-ORF Conversion Settings:"
#define IDC_OPT_LABEL1 3511  // "Scale Factor:"
#define IDC_OPT_LABEL2 3512  // "Error Tolerance:"
#define IDC_OPT_LABEL3 3513  // "X:"
#define IDC_OPT_LABEL4 3514  // "Y:"
#define IDC_OPT_LABEL5 3515  // "Z:"

#define IDC_OPT_SCALE_FACTOR 3520     // txtScaleFactor
#define IDC_OPT_ERROR_TOLERANCE 3521  // txtErrorTolerance
#define IDC_OPT_SHADING_0 3522        // optShadingMode(0) to (2): 3522 to 3524
#define IDC_OPT_CHUNK_SPLITS_0 3525   // txtChunkSplits(0) to (2), X, Y, Z: 3525 to 3527
// IDC_OPT_SUB_OBJ_SEP_PLANES to IDC_OPT_CAPITAL_SHIPS (3528 to 3534): app/pofgen_switch_ids.h
#define IDC_OPT_PATH_POFGEN 3535    // txtPathPofgen
#define IDC_OPT_BROWSE 3536         // cmdBrowse
#define IDC_OPT_OOF_ORF_0 3537      // optOOFORF(0) and (1): 3537 and 3538
#define IDC_OPT_RESET 3539          // cmdReset
#define IDC_OPT_CANCEL 3540         // cmdCancel
#define IDC_OPT_POFGEN_OUTPUT 3541  // chkPOFGENOutput
#define IDC_OPT_REVERSE_FACES 3542  // chkReverseFaces
#define IDC_OPT_LABEL_GAME 3543     // "Descent 3 folder:"
#define IDC_OPT_GAME_FOLDER 3544    // txtGameFolder
#define IDC_OPT_GAME_BROWSE 3545    // cmdBrowseGame
#define IDC_OPT_LABEL_SCALE 3546    // "Scale:"
#define IDC_OPT_ROOM_SCALE 3547     // txtRoomScale
#define IDC_OPT_LABEL_TEX 3548      // "Texture folder:"
#define IDC_OPT_TEX_FOLDER 3549     // txtTextureFolder
#define IDC_OPT_TEX_BROWSE 3550     // cmdBrowseTextures

#define TORVALE_OPTIONS_CAPTION "POFGEN Command Line & TORVALE Conversion Options"

// frmPOFGEN, the POFGEN Output window (class TORVALE_POFGEN_CLASS in resource.h), and its one text box.
#define IDC_POFGEN_TEXT1 3601
#define TORVALE_POFGEN_CAPTION "POFGEN Output"
