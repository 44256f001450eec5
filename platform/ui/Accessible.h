// Accessibility: what a window tells a screen reader of itself and of the items it draws.
//
// The layer asks a window through WM_GETOBJECT (lParam OBJID_AFXQUERY, wParam an AFXACCQUERY*)
// after filling in its own answers for the standard controls; a window amends what it wants
// (a pane its name, a bar its items) and returns TRUE. Nothing is asked until a reader looks.
#pragma once

#include "platform/ui/Wnd.h"

// Roles.
#define ROLE_SYSTEM_TITLEBAR 0x01
#define ROLE_SYSTEM_MENUBAR 0x02
#define ROLE_SYSTEM_SCROLLBAR 0x03
#define ROLE_SYSTEM_WINDOW 0x09
#define ROLE_SYSTEM_CLIENT 0x0A
#define ROLE_SYSTEM_MENUPOPUP 0x0B
#define ROLE_SYSTEM_MENUITEM 0x0C
#define ROLE_SYSTEM_TOOLTIP 0x0D
#define ROLE_SYSTEM_DOCUMENT 0x0F
#define ROLE_SYSTEM_PANE 0x10
#define ROLE_SYSTEM_CHART 0x11
#define ROLE_SYSTEM_DIALOG 0x12
#define ROLE_SYSTEM_GROUPING 0x14
#define ROLE_SYSTEM_SEPARATOR 0x15
#define ROLE_SYSTEM_TOOLBAR 0x16
#define ROLE_SYSTEM_STATUSBAR 0x17
#define ROLE_SYSTEM_TABLE 0x18
#define ROLE_SYSTEM_ROW 0x1C
#define ROLE_SYSTEM_CELL 0x1D
#define ROLE_SYSTEM_LIST 0x21
#define ROLE_SYSTEM_LISTITEM 0x22
#define ROLE_SYSTEM_OUTLINE 0x23
#define ROLE_SYSTEM_OUTLINEITEM 0x24
#define ROLE_SYSTEM_PAGETAB 0x25
#define ROLE_SYSTEM_PROPERTYPAGE 0x26
#define ROLE_SYSTEM_GRAPHIC 0x28
#define ROLE_SYSTEM_STATICTEXT 0x29
#define ROLE_SYSTEM_TEXT 0x2A
#define ROLE_SYSTEM_PUSHBUTTON 0x2B
#define ROLE_SYSTEM_CHECKBUTTON 0x2C
#define ROLE_SYSTEM_RADIOBUTTON 0x2D
#define ROLE_SYSTEM_COMBOBOX 0x2E
#define ROLE_SYSTEM_PROGRESSBAR 0x30
#define ROLE_SYSTEM_SLIDER 0x33
#define ROLE_SYSTEM_SPINBUTTON 0x34
#define ROLE_SYSTEM_BUTTONMENU 0x39
#define ROLE_SYSTEM_PAGETABLIST 0x3C

// States.
#define STATE_SYSTEM_UNAVAILABLE 0x00000001
#define STATE_SYSTEM_SELECTED 0x00000002
#define STATE_SYSTEM_FOCUSED 0x00000004
#define STATE_SYSTEM_PRESSED 0x00000008
#define STATE_SYSTEM_CHECKED 0x00000010
#define STATE_SYSTEM_MIXED 0x00000020
#define STATE_SYSTEM_READONLY 0x00000040
#define STATE_SYSTEM_HOTTRACKED 0x00000080
#define STATE_SYSTEM_DEFAULT 0x00000100
#define STATE_SYSTEM_EXPANDED 0x00000200
#define STATE_SYSTEM_COLLAPSED 0x00000400
#define STATE_SYSTEM_INVISIBLE 0x00008000
#define STATE_SYSTEM_FOCUSABLE 0x00100000
#define STATE_SYSTEM_SELECTABLE 0x00200000
#define STATE_SYSTEM_MULTISELECTABLE 0x01000000
#define STATE_SYSTEM_PROTECTED 0x20000000
#define STATE_SYSTEM_HASPOPUP 0x40000000

// Objects and events of NotifyWinEvent.
#define OBJID_WINDOW 0
#define OBJID_MENU (-3)
#define OBJID_CLIENT (-4)
#define OBJID_AFXQUERY (-0x4146)
#define CHILDID_SELF 0
#define EVENT_SYSTEM_MENUSTART 0x0004
#define EVENT_SYSTEM_MENUEND 0x0005
#define EVENT_SYSTEM_MENUPOPUPSTART 0x0006
#define EVENT_SYSTEM_MENUPOPUPEND 0x0007
#define EVENT_OBJECT_SHOW 0x8002
#define EVENT_OBJECT_HIDE 0x8003
#define EVENT_OBJECT_REORDER 0x8004
#define EVENT_OBJECT_FOCUS 0x8005
#define EVENT_OBJECT_SELECTION 0x8006
#define EVENT_OBJECT_STATECHANGE 0x800A
#define EVENT_OBJECT_NAMECHANGE 0x800C
#define EVENT_OBJECT_VALUECHANGE 0x800E

// What is asked (AFXACCQUERY::nAsk).
enum {
  AFXACC_DESCRIBE,  // fill info for nChild (0 the window itself, 1.. its items)
  AFXACC_COUNT,     // fill nCount, the number of items
  AFXACC_ACTION,    // do strAction on nChild; TRUE when done
  AFXACC_SETVALUE,  // set the value (dValue, or strValue for a text) of nChild; TRUE when done
};

// The value a reader may read and set: a text, or a number in a range.
enum { AFXACCVAL_NONE, AFXACCVAL_TEXT, AFXACCVAL_NUMBER };

struct AFXACCINFO {
  int nRole = ROLE_SYSTEM_CLIENT;
  CString strName;
  CString strValue;  // as read
  CString strDescription;
  CString strShortcut;       // a menu item's keys, e.g. "Ctrl+P"
  CString strActions;        // its actions, separated by '\n': "Press", "Toggle", "Expand", "Collapse", "ShowMenu"
  DWORD dwState = 0;         // STATE_SYSTEM_xxx
  RECT rect{0, 0, 0, 0};     // an item's place in the window's client area
  int nLevel = 0;            // a tree item's depth, 1 for a root
  HWND hWndChild = nullptr;  // a window shown as the item's only child (a menu item's open menu)
  int nValueKind = AFXACCVAL_NONE;
  double dMin = 0, dMax = 0, dValue = 0, dStep = 1;
};

struct AFXACCQUERY {
  UINT nAsk = AFXACC_DESCRIBE;
  int nChild = CHILDID_SELF;
  AFXACCINFO info;
  int nCount = 0;
  CString strAction;
  CString strValue;
  double dValue = 0;
};

// Asks the window, after the layer's own answers; TRUE when the action or value was taken.
BOOL AfxAccQuery(HWND hWnd, AFXACCQUERY* pQuery);
// The window's text with its mnemonic marks removed ("&File" -> "File").
CString AfxAccStripMnemonic(LPCTSTR lpsz);
// TRUE while a screen reader (or a test) listens; events cost nothing otherwise.
BOOL AfxAccIsActive();
// Tells the reader of a change: idChild 0 the window, 1.. its items.
void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
