#include "toolkit/CbEdit.h"

#include "toolkit/CbCommandBars.h"
#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbMouseManager.h"
#include "toolkit/CbPopupBar.h"

#include "platform/ui/Clipboard.h"

IMPLEMENT_DYNAMIC(CCbEdit, CEdit)

BEGIN_MESSAGE_MAP(CCbEdit, CEdit)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CCbEdit::~CCbEdit() = default;

BOOL CCbEdit::HasEditCommands() {
  CString s;
  return AfxLoadString(kCut, s) && !s.IsEmpty();
}

BOOL CCbEdit::IsCommandEnabled(UINT nID) const {
  if (!GetSafeHwnd()) return FALSE;
  if (nID == kPaste) return ::IsClipboardFormatAvailable(CF_TEXT);
  int from = 0, to = 0;
  GetSel(from, to);
  return (nID == kCut || nID == kCopy) && from != to;
}

void CCbEdit::DoCommand(UINT nID) {
  if (!GetSafeHwnd()) return;
  switch (nID) {
    case kCut: SendMessage(WM_CUT); break;
    case kCopy: SendMessage(WM_COPY); break;
    case kPaste: SendMessage(WM_PASTE); break;
    default: break;
  }
}

UINT CCbEdit::TrackEditPopup(CPoint pt) {
  CCbCommandBars* bars = GetEditCommandBars();
  CCbPopupBar* popup = bars ? CCbPopupBar::CreatePopupBar(bars) : nullptr;
  if (!popup) return 0;
  for (UINT id : {kCut, kCopy, kPaste}) {
    CCbControl* c = popup->GetControls()->Add(cbControlButton, (int)id);
    if (!c) continue;
    // Its state is the edit's, not the frame's update handlers'.
    c->SetFlags(c->GetFlags() | cbFlagManualUpdate);
    c->SetEnabled(IsCommandEnabled(id));
  }
  const UINT cmd = bars->TrackPopupBar(popup, TPM_RETURNCMD, pt.x, pt.y);
  popup->InternalRelease();
  return cmd;
}

void CCbEdit::OnPaint() {
  // Through a buffer: the field is filled first so the text never flickers over the bar.
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  CCbBufferDC buffer(&dc, rc);
  buffer.FillSolidRect(&rc, ::GetSysColor(IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
  DefWindowProc(WM_PRINTCLIENT, (WPARAM)buffer.GetSafeHdc(), 0);
}

void CCbEdit::OnContextMenu(CWnd*, CPoint point) {
  if (!IsContextMenuAllowed() || !HasEditCommands()) return;
  const BOOL focused = ::GetFocus() == m_hWnd;
  if (!focused) SetSel(0, -1);
  CbMouseManager()->SendTrackLost();
  const UINT cmd = TrackEditPopup(point);
  if (!cmd || !GetSafeHwnd()) return;
  if (focused || cmd == kPaste) SetFocus();
  DoCommand(cmd);
  if (CWnd* parent = GetParent()) parent->Invalidate(FALSE);
}
