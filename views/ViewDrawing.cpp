#include "views/ViewDrawing.h"

#include "resources/ResourceIds.h"
#include "views/VxMenu.h"

#include <cstring>

void ViewMakeFont(CFont& font, CDC* pDC, int nTenths, int nWeight, int nEscapement) {
  LOGFONT lf{};
  lf.lfHeight = nTenths;
  lf.lfWeight = nWeight;
  lf.lfEscapement = lf.lfOrientation = nEscapement;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = 0x12;
  std::strcpy(lf.lfFaceName, "Arial");
  font.CreatePointFontIndirect(&lf, pDC);
}

void ViewMakeSmallFont(CFont& font, CDC* pDC) {
  if (font.GetSafeHandle()) return;
  LOGFONT lf{};
  lf.lfHeight = 90;
  lf.lfWeight = 400;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  font.CreatePointFontIndirect(&lf, pDC);
}

CSize ViewTextExtent(CDC* pDC, LPCTSTR lpsz) { return pDC->GetTextExtent(lpsz, (int)std::strlen(lpsz)); }

void ViewDrawPlaceholder(CDC* dc, const CRect& R, const CString& text, BOOL bPicture, CBitmap& rPicture, BOOL& rTried) {
  const UINT kPlaceholderPicture = IDB_PLACEHOLDER;
  if (bPicture) {
    if (!rTried) {
      rTried = TRUE;
      rPicture.LoadBitmap(kPlaceholderPicture);
    }
    if (rPicture.GetSafeHandle() && R.Width() > 40 && R.Height() > 40) {
      BITMAP bm{};
      rPicture.GetBitmap(&bm);
      CDC mem;
      mem.CreateCompatibleDC(dc);
      CBitmap* old = mem.SelectObject(&rPicture);
      dc->StretchBlt(R.left + 20, R.top + 20, R.Width() - 40, R.Height() - 40, &mem, 0, 0, bm.bmWidth, bm.bmHeight,
                     SRCCOPY);
      mem.SelectObject(old);
      mem.DeleteDC();
    }
  }
  CFont font;
  ViewMakeFont(font, dc, 110, 800);
  CFont* old = dc->SelectObject(&font);
  CRect r(R.left + 50, R.top + (int)(0.45 * R.Height()), R.right - 50, R.bottom - 20);
  if (r.Width() > 0 && r.Height() > 0) {
    CRect shadow(r);
    shadow.OffsetRect(1, 1);
    dc->SetTextColor(bPicture ? RGB(255, 255, 255) : RGB(192, 192, 192));
    dc->DrawText(text, &shadow, DT_CENTER | DT_WORDBREAK);
    dc->SetTextColor(RGB(0, 0, 0));
    dc->DrawText(text, &r, DT_CENTER | DT_WORDBREAK);
  }
  dc->SelectObject(old);
}

void ViewTrackContextMenu(VxMenu* pMenu, CWnd* pPage, CPoint pos) {
  if (CMenu* popup = pMenu->GetSubMenu(0)) {
    popup->SetDefaultItem(0, TRUE);
    CWnd* owner = pPage;
    while (owner && (owner->GetStyle() & WS_CHILD) && owner->GetParent()) owner = owner->GetParent();
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, pos.x, pos.y, owner);
  }
  pMenu->DestroyItems();
}
