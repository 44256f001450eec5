// Input synthesis, waiting and window pictures, for tests and benchmarks (neap_ui_testing): the
// program itself never links it.
//
// Mouse and key input is made as Qt events and delivered the way Qt delivers them (to the
// window under the point or the one holding the mouse, to the focus window for keys), so it
// takes the same translation path as a user's input.
#pragma once

#include "platform/ui/CallLater.h"
#include "platform/ui/Gdi.h"

#include <functional>
#include <memory>
#include <vector>

// Modifier flags for synthesised input.
#define AFX_TEST_SHIFT 0x01
#define AFX_TEST_CTRL 0x02
#define AFX_TEST_ALT 0x04

// message: WM_MOUSEMOVE, WM_[LRM]BUTTONDOWN/UP or WM_[LRM]BUTTONDBLCLK (press, release, double
// press as Qt sends them); pt in screen coordinates; buttons: MK_* held after the event.
void AfxTestMouse(UINT message, POINT pt, UINT mods = 0);
// Left click (press and release) at a point of a window's client area.
void AfxTestClick(HWND hWnd, int x, int y, UINT mods = 0);
void AfxTestDoubleClick(HWND hWnd, int x, int y, UINT mods = 0);
void AfxTestMoveTo(HWND hWnd, int x, int y, UINT mods = 0);
// Moves the pointer off every window.
void AfxTestMoveAway();
void AfxTestWheel(POINT pt, int delta, UINT mods = 0);
// A key press or release; text is what the key types (may be null). VK_RMENU stands for AltGr.
void AfxTestKey(UINT vk, BOOL down, UINT mods = 0, LPCTSTR text = nullptr, BOOL autoRepeat = FALSE);
// Press and release.
void AfxTestKeyStroke(UINT vk, UINT mods = 0, LPCTSTR text = nullptr);
// What the window manager or another program does to the program's windows.
void AfxTestApplicationState(BOOL active);  // another program took the activation, or gave it back
void AfxTestWindowManagerMove(HWND hWnd, int x, int y);
void AfxTestWindowManagerResize(HWND hWnd, int cx, int cy);
void AfxTestWindowManagerMinimise(HWND hWnd, BOOL minimise);
// True for the menu window kind: left alone by the window manager, never given the focus.
BOOL AfxTestIsUnmanagedNoFocus(HWND hWnd);
// True for the floating-bar kind: an owned, frameless window the window manager keeps (and
// leaves where the program put it) but never gives the focus.
BOOL AfxTestIsManagedNoFocus(HWND hWnd);
// The window system's own id of a top-level window (an X11 window id under xcb), 0 for none.
unsigned long AfxTestNativeWindowId(HWND hWnd);

// Handles pending events for up to ms milliseconds, or until done() is true.
void AfxTestWait(int ms, const std::function<bool()>& done = {});

// AfxCallLater for a callback that refers to the caller's locals. A timer can fire late on a
// busy machine, so the caller waits for the callback rather than for a time, and the callback
// never runs once this object is gone.
class CTestCallLater {
 public:
  CTestCallLater(int ms, std::function<void()> fn);
  ~CTestCallLater();
  CTestCallLater(const CTestCallLater&) = delete;
  CTestCallLater& operator=(const CTestCallLater&) = delete;
  // Handles events until the callback has run (TRUE) or timeoutMs have passed (FALSE).
  BOOL Wait(int timeoutMs = 10000);
  BOOL HasRun() const;

 private:
  struct State;
  std::shared_ptr<State> m_state;
};

// Hands every text a device context draws (TextOut, ExtTextOut, DrawText) to fn, for tests that
// read what the windows show; an empty fn stops it.
void AfxSetTestTextHook(std::function<void(const CString&)> fn);

// Paints what is pending and renders the window with its visible children.
BOOL AfxCaptureWindow(HWND hWnd, CBitmap* pBitmap);
BOOL AfxSaveWindowPng(HWND hWnd, LPCTSTR lpszPath);
// Where the window's client area starts in AfxCaptureWindow's picture of it.
CPoint AfxClientOriginInCapture(HWND hWnd);

// A picture of the screen as the user sees it: every visible top-level window in stacking order
// (open menus over the frame), window shapes cut out and layered windows blended with their
// alpha over what lies beneath, on the desktop colour. lpArea is in screen coordinates; null
// takes the primary screen.
BOOL AfxCaptureScreen(CBitmap* pBitmap, LPCRECT lpArea = nullptr);
BOOL AfxSaveScreenPng(LPCTSTR lpszPath, LPCRECT lpArea = nullptr);
// Stands in for a compositing manager: 1 one runs, 0 none, -1 ask the display again.
void AfxTestSetComposition(int nMode);
// A press and release of the left button made by the X server itself (XTEST), so the server
// decides which window gets it, by stacking and input shapes. FALSE when not on X11 or the
// server has no XTEST.
BOOL AfxTestServerClick(POINT pt);
// The pointer moved there by the server, and the left button pressed (1), released (0) or
// left alone (-1); a key (VK_*, letters and digits) pressed or released. FALSE as above.
BOOL AfxTestServerMouse(POINT pt, int nButton);
BOOL AfxTestServerKey(UINT vk, BOOL down);

// TRUE while the application shows the wait cursor over its windows.
BOOL AfxTestWaitCursorShown();

// What a screen reader sees of an object, read through the accessibility objects: the role as
// Qt names it ("MenuBar", "PushButton", ...), the texts, the states as words ("focused checked"),
// the action names, the number value (spin boxes, sliders, combo selection), the children.
struct AFXTESTACCNODE {
  CString strRole, strName, strValue, strShortcut, strStates, strActions;
  BOOL bHasNumber = FALSE;
  double dNumber = 0;
  int nChildren = 0;
  int nIndexInParent = -1;
};
// Makes the accessibility objects answer as for a reader (events are sent).
void AfxTestAccessibilityOn();
// The first object below the window (breadth first, items included) of the role and name; a
// null role or name matches any.
BOOL AfxTestAccFind(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, AFXTESTACCNODE* pNode = nullptr);
BOOL AfxTestAccChildren(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, std::vector<AFXTESTACCNODE>* pChildren);
// Does the named action (Qt's name: "Press", "Toggle", "Expand", ...) or sets the value.
BOOL AfxTestAccDo(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, LPCTSTR lpszAction);
BOOL AfxTestAccSetValue(HWND hWnd, LPCTSTR lpszRole, LPCTSTR lpszName, double dValue);
// Records what a reader is told from now on, one line an event: "Focus MenuItem 'Calculate
// Graph'", "NameChanged Chart '...'"; null stops recording.
void AfxTestAccRecordEvents(std::vector<CString>* pEvents);
// The tree of objects below the window, one line each, to nDepth levels.
CString AfxTestAccTree(HWND hWnd, int nDepth = 8);
