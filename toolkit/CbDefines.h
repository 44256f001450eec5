// Values the command bars share: bar positions, docking flags, control kinds, layout modes and
// the messages the bars send to their frame.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbControl;
class CCbCommandBar;
class CMenu;

// Bar positions.
enum CbBarPosition {
  cbBarTop = 0,
  cbBarBottom = 1,
  cbBarLeft = 2,
  cbBarRight = 3,
  cbBarFloating = 4,
  cbBarPopup = 5,
  cbBarNone = 7
};
inline BOOL CbIsVerticalPosition(int nPosition) { return nPosition == cbBarLeft || nPosition == cbBarRight; }

// Docking flags of a bar.
enum CbDockFlags {
  cbFlagAlignTop = 0x01,
  cbFlagAlignBottom = 0x02,
  cbFlagAlignLeft = 0x04,
  cbFlagAlignRight = 0x08,
  cbFlagFloating = 0x10,
  cbFlagHideWrap = 0x20,
  cbFlagStretched = 0x40,
  cbFlagAlignAny = 0x0F,
};

// Control kinds.
enum CbControlType {
  cbControlCustom0 = 0,
  cbControlButton = 1,
  cbControlPopup = 2,
  cbControlButtonPopup = 3,
  cbControlSplitButtonPopup = 4,
  cbControlComboBox = 5,
  cbControlEdit = 6,
  cbControlCustom = 7,
  cbControlLabel = 8,
};
inline BOOL CbIsPopupType(int nType) { return nType >= cbControlPopup && nType <= cbControlSplitButtonPopup; }
// Kinds a bar can make its open popup: the popup kinds, and a combo with its list.
inline BOOL CbOpensPopup(int nType) { return CbIsPopupType(nType) || nType == cbControlComboBox; }

// Why a control is hidden.
enum CbHideFlags {
  cbHideOwner = 1,
  cbHideWrap = 2,
  cbHideDock = 4,
  cbHideScroll = 8,
  cbHideCustom = 0x10,
  cbHideExpand = 0x20,
  cbHideDocTemplate = 0x40
};
// How a control behaves.
enum CbControlFlags {
  cbFlagRightAlign = 1,
  cbFlagSkipFocus = 2,
  cbFlagManualUpdate = 8,
  cbFlagNoMovable = 0x10,
  cbFlagControlStretched = 0x20
};

// Layout modes.
#ifndef LM_STRETCH
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40
#endif
#define LM_HIDEWRAP 0x80
#define LM_POPUP 0x100

// Ids the toolkit keeps for itself.
#define CB_ID_TOOLBAR_EXPAND 9400
#define CB_ID_TOOLBAR_HIDE 9401
#define CB_ID_POPUPBAR_EXPAND 9402

// Bar-to-frame messages.
#define WM_BAR_CONTROL_EXECUTED 0x052D
#define WM_BAR_CREATE_CONTROL 0x052F
#define WM_BAR_CREATE_BAR 0x0530
#define WM_BAR_CONTROL_SELECTED 0x0531
#define WM_BAR_DRAG_CONTROL_CHANGED 0x0532
#define WM_BAR_POPUP_INIT 0x0533
#define WM_BAR_TRACKING 0x0534
#define WM_BAR_POPUP_CLOSED 0x0535
// The notification code of an executed control.
#define CBN_BAR_EXECUTE 100

struct BAR_CONTROL_NOTIFY {
  NMHDR hdr;
  CCbControl* pControl;
};

struct BAR_CREATE_CONTROL_REQUEST {
  int nID;
  CCbControl* pControl;
  BOOL bToolBar;
  int nIndex;
  CMenu* pMenu;
  CCbCommandBar* pCommandBar;
  CString strCaption;
  int controlType;
  int buttonStyle;
};

struct BAR_CREATE_BAR_REQUEST {
  CCbCommandBar* pCommandBar;
  void* pReserved1;
  void* pReserved2;
  BOOL bToolBar;
  BOOL bFloating;
  CString strCaption;
  UINT nID;
};

// Dock-bar window ids, top, bottom, left, right.
#define CB_IDW_DOCKBAR_TOP 59419
#define CB_IDW_DOCKBAR_BOTTOM 59422
#define CB_IDW_DOCKBAR_LEFT 59420
#define CB_IDW_DOCKBAR_RIGHT 59421
