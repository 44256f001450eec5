// Resource ids of the routes tree and the route property pages.
#pragma once

#define IDR_ROUTE_MENU 285  // right click on a route
#define IDR_POINT_MENU 286  // right click on a waypoint
#define IDD_ROUTE_PAGE 190
#define IDD_ROUTE_POINT_PAGE 102
#define IDC_ROUTE_START 1070
#define IDC_ROUTE_SPEED 1071
#define IDC_POINT_NAME 1066
#define IDC_POINT_LATITUDE 1067
#define IDC_POINT_LONGITUDE 1068
#define IDB_ROUTE_POINT 287
#define IDB_ROUTE_POINT_SELECTED 288
#define IDB_ROUTE 289
#define IDB_NO_ROUTE 290
