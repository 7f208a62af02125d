#pragma once

// The control ids of the options dialog's POFGEN on/off check boxes, in the order of the switch table
// (app/pofgen_switches.h), which names each switch's check box by them.

#define IDC_OPT_SUB_OBJ_SEP_PLANES 3528
#define IDC_OPT_USE_FIRST_SEP_PLANE 3529
#define IDC_OPT_CONFLICT_SPLIT_RATIO 3530
#define IDC_OPT_USE_LOCAL_SEP_PLANES 3531
#define IDC_OPT_COMBINE_OBJECTS 3532
#define IDC_OPT_ANIMATION 3533
#define IDC_OPT_CAPITAL_SHIPS 3534
