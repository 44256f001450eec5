// Internal to the controls: per-window state, the shared drawing and notification helpers.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/UiInternal.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

enum class AfxCtlKind {
  None,
  Edit,
  Button,
  Static,
  ListBox,
  ComboBox,
  ComboList,
  UpDown,
  Slider,
  Tree,
  ToolTip,
  Tab,
  ScrollBar
};

// State of one control window, kept by handle so that it survives a change of object.
struct AfxCtlState {
  virtual ~AfxCtlState() = default;
  AfxCtlKind kind = AfxCtlKind::None;
};

AfxCtlKind AfxCtlKindOf(HWND h);
// The state of a control window, made on first use; null for other windows.
AfxCtlState* AfxCtlStateOf(HWND h);
template <class T>
T* AfxCtlStateAs(HWND h) {
  return static_cast<T*>(AfxCtlStateOf(h));
}

// Behaviours, by kind (each defaults to ::DefWindowProc).
LRESULT AfxEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT AfxButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT AfxStaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewEditState();
AfxCtlState* AfxNewButtonState();
AfxCtlState* AfxNewStaticState();
AfxCtlState* AfxNewUpDownState();
AfxCtlState* AfxNewSliderState();
LRESULT AfxSliderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT AfxUpDownProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewTreeState();
LRESULT AfxTreeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
// A list, tree or tab control's selection moved: a screen reader hears of it (and of the
// focus, when the control has it).
void AfxAccSelectionMoved(HWND h);
// Expands or collapses an item as the user does (TVN_ITEMEXPANDING and TVN_ITEMEXPANDED told).
BOOL AfxTreeExpandByUser(HWND h, struct _TREEITEM* hItem, UINT code);
// The up-down control that takes the arrow keys of a buddy, if any.
HWND AfxUpDownOfBuddy(HWND buddy);

// ---- helpers ----
QString AfxCtlText(HWND h);  // the window text as the layer holds it
void AfxCtlSetText(HWND h, const QString& s);
HWND AfxCtlParent(HWND h);
UINT AfxCtlId(HWND h);
DWORD AfxCtlStyle(HWND h);
void AfxCtlCommand(HWND h, UINT code);    // WM_COMMAND to the parent
LRESULT AfxCtlNotify(HWND h, NMHDR* nm);  // WM_NOTIFY to the parent (hwndFrom, idFrom filled in)
HFONT AfxCtlFont(HWND h);                 // the control's font or the default GUI font
// Asks the parent for the colours (WM_CTLCOLORxxx); returns the brush to fill with, never null.
HBRUSH AfxCtlColor(HWND h, CDC* dc, UINT msg);
// The object's DrawItem/MeasureItem when the parent did not answer.
void AfxCtlDrawItem(HWND h, DRAWITEMSTRUCT* dis);
void AfxCtlMeasureItem(HWND h, MEASUREITEMSTRUCT* mis);
bool AfxCtlHasFocus(HWND h);
void AfxCtlInvalidate(HWND h);
// Clipboard text for the edit commands.
QString AfxCtlClipboardText();
void AfxCtlSetClipboardText(const QString& s);
// Decodes an ANSI/UTF-8 string argument.
QString AfxQStr(LPCTSTR s, int n = -1);
std::string AfxStdStr(const QString& s);
// Draws a check box, radio circle or push frame in the classic look.
void AfxDrawCheckMark(CDC* dc, const RECT& box, int state, bool radio, bool disabled, bool pushed);
void AfxDrawPushFrame(CDC* dc, RECT rc, bool pushed, bool isDefault, bool flat);
// Height of a single text line in the control's font.
int AfxCtlLineHeight(HWND h);

// ---- List box and combo box ----
LRESULT AfxListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewListBoxState();
LRESULT AfxComboProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewComboState();
// Makes a list the drop-down of a combo: it then reports to the combo and follows the pointer.
void AfxListSetCombo(HWND list, HWND combo);
// From the open drop-down list: an item was picked (true) or the list was dismissed (false).
void AfxComboListDone(HWND combo, bool pick);
void AfxComboListCaptureLost(HWND combo);
// The combo's own handling of keys and focus in its edit window; true when handled.
bool AfxComboEditFilter(HWND edit, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
// A small filled arrow: dir 0 up, 1 down, 2 left, 3 right.
void AfxDrawArrow(CDC* dc, const RECT& r, int dir, bool enabled);

// ---- Tooltips ----
LRESULT AfxToolTipProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewToolTipState();

// ---- Scroll-bar and tab controls ----
LRESULT AfxScrollBarProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewScrollBarState();
LRESULT AfxTabProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
AfxCtlState* AfxNewTabState();

// Where a control paints: the device context given with WM_PAINT (wParam) or WM_PRINTCLIENT,
// which lets an owner draw the control into its own buffer, or else the window's paint DC.
class AfxCtlPaintDC {
 public:
  AfxCtlPaintDC(HWND h, WPARAM given) : m_h(h), m_given((HDC)given) {
    if (m_given) {
      m_dc = CDC::FromHandle(m_given);
      if (m_dc) m_saved = m_dc->SaveDC();
    } else {
      m_dc = CDC::FromHandle(::BeginPaint(h, &m_ps));
    }
  }
  ~AfxCtlPaintDC() {
    if (m_given) {
      if (m_dc && m_saved) m_dc->RestoreDC(m_saved);
    } else if (m_ps.hdc) {
      ::EndPaint(m_h, &m_ps);
    }
  }
  AfxCtlPaintDC(const AfxCtlPaintDC&) = delete;
  AfxCtlPaintDC& operator=(const AfxCtlPaintDC&) = delete;
  CDC* dc() const { return m_dc; }

 private:
  HWND m_h;
  HDC m_given;
  CDC* m_dc = nullptr;
  int m_saved = 0;
  PAINTSTRUCT m_ps{};
};
