// Identifiers of the resources that the views, the chart and the shell load by number, and of the
// commands of the views' context menus. The scripts under resources/ui and the tables under
// resources/tables give them these numbers; the shell's other identifiers are in app/Resource.h.
#pragma once

// ---- Context menus ----
#define IDR_GRAPH_POPUP 117
#define IDR_TABLE_POPUP 123
#define IDR_FINDER_POPUP 183
#define IDR_TIDELOG_POPUP 189

// ---- Toolbars and pictures ----
#define IDR_MENU_PICTURES 152  // the toolbar whose pictures the context menus show
#define IDR_MAP_TOOLBAR 281
#define IDB_PLACEHOLDER 149  // drawn where a picture is missing
#define IDB_COPY 160
#define IDB_VIEW_GRAPH 161
#define IDB_DELETE 191
#define IDI_GPS 292

// ---- Cursors ----
#define IDC_RESIZE_COLUMN 187
#define IDC_ZOOM_BOX 283

// ---- Strings ----
#define IDS_SAVE_GRAPH 61231  // the Save As item's text on the graph page
#define IDS_SAVE_TABLE 61232  // and on the table page

// ---- Commands of the views' context menus ----
#define ID_GRAPH_COPY 32821
#define ID_TABLE_COPY 32843
#define ID_VIEW_GRAPH_FOR 32844

// ---- Embedded tables ("RAWDATA") ----
#define IDT_ANGLE_FACTORS "#178"
#define IDT_PORTS "#179"
#define IDT_DIAMONDS "#294"
