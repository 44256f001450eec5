// Resource ids of the shell's dialogs: the options and port pages, the export range, the
// start-up notice, the tip of the day, the About box and the splash screen.
#pragma once

#include "platform/ui/AfxWin.h"

#define IDD_ABOUTBOX 100
#define IDD_PROP_GRAPH 106
#define IDD_PROP_PORT 107
#define IDD_PROP_GENERAL 108
#define IDD_TIP 154
#define IDD_WARNING 157
#define IDD_DATA_EXPORT 293

#define IDB_ABOUT 156
#define IDI_TIP_BULB 158
#define IDB_SPLASH 163
#define IDI_NOTICE 128

#define IDS_NOTICE_TITLE 128
#define IDS_TIP_DID_YOU_KNOW 159
#define IDS_TIP_FILE_ABSENT 160
#define IDS_TIP_FILE_TROUBLE 161
#define IDS_OPTIONS 61219
#define IDS_NOTICE_NO_VERIFICATION 61237
#define IDS_NOTICE_NO_LIABILITY 61238
#define IDS_NOTICE_OFFICIAL_TABLES 61243

// General page.
#define IDC_AUTOCALC_GRAPH 1020
#define IDC_AUTOCALC_MONTH 1021
#define IDC_DRAUGHT 1025
#define IDC_PRINT_BW 1029
#define IDC_SHOW_MOONS 1031
#define IDC_AUTOCALC_FIND 1042
// Graph page.
#define IDC_COLOUR_BACK 1000
#define IDC_COLOUR_GRADIENT 1001
#define IDC_COLOUR_GRID 1002
#define IDC_COLOUR_LINE 1003
#define IDC_COLOUR_AGROUND 1004
#define IDC_COLOUR_AXIS 1005
#define IDC_COLOUR_MHWS 1006
#define IDC_COLOUR_TIMEMARK 1007
#define IDC_SHOW_MHWS 1014
#define IDC_SHOW_MHWN 1015
#define IDC_SHOW_MLWS 1016
#define IDC_SHOW_MLWN 1017
#define IDC_THICK_LINE 1018
#define IDC_AREA_GRAPH 1019
#define IDC_AUTO_HEIGHT 1043
#define IDC_MAX_HEIGHT 1044
// Port page.
#define IDC_PORT_LATITUDE 1010
#define IDC_PORT_LONGITUDE 1011
#define IDC_PORT_NAME_TEXT 1012
#define IDC_PORT_COUNTRY 1013
// Export range.
#define IDC_EXPORT_EVENTS 1076
#define IDC_EXPORT_5MIN 1077
#define IDC_EXPORT_10MIN 1078
#define IDC_EXPORT_30MIN 1079
#define IDC_EXPORT_60MIN 1080
#define IDC_EXPORT_ZONE 1081
#define IDC_START_DAY 1082
#define IDC_START_MONTH 1083
#define IDC_START_YEAR 1084
#define IDC_END_DAY 1085
#define IDC_END_MONTH 1086
#define IDC_END_YEAR 1087
// Tip of the day.
#define IDC_TIP_STARTUP 1001
#define IDC_TIP_NEXT 1002
#define IDC_TIP_TEXT 1004
// Start-up notice and About box.
#define IDC_NOTICE_TITLE 1028
#define IDC_NOTICE_TEXT 1064
#define IDC_ABOUT_TITLE 1069
