// Resource and command ids of the ports tree, the port-name strip and the Select Port dialog.
#pragma once

#include "platform/ui/AfxWin.h"

// Sent by a ports tree in dialog mode to its dialog when a port is selected (wParam 0, lParam 0).
#ifndef WM_PORTSTREE_PICKED
#define WM_PORTSTREE_PICKED (WM_USER + 1010)
#endif

#define IDR_PORTS_MENU 148        // right click on a port
#define IDR_PORTS_ORDER_MENU 103  // right click elsewhere in the tree
#define IDR_PAGES_MENU 151        // the title strip's page menu
#define IDD_SELECT_PORT 188
#define IDC_SELECT_PORT_TREE 183

#define ID_CALCULATE_GRAPH 32771
#define ID_CALCULATE_TABLE 32772
#define ID_ORDER_BY_NAME 32773
#define ID_ORDER_BY_LOCATION 32774
#define ID_PORT_PROPERTIES 32799
#define ID_PAGE_GRAPH 32783
#define ID_PAGE_TABLE 32784
#define ID_PAGE_HEIGHT_FINDER 32857
#define ID_PAGE_TIDE_LOG 186
#define ID_PAGE_MAP 32878
#define ID_RECENT_PORT_FIRST 124    // 124 + i: entry i of the port history
#define ID_NEAREST_PORT_FIRST 164   // 164 + i: nearest port i + 1
#define ID_NEAREST_PLACEHOLDER 163  // the "Nearest" item the tree replaces

// Pictures.
#define IDB_CALCULATE_GRAPH 161
#define IDB_CALCULATE_TABLE 162
#define IDB_HEIGHT_FINDER 180
#define IDB_TIDE_LOG 185
#define IDB_MAP 284
