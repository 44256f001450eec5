#include "views/ViewDrawing.h"

#include "app/VxMenu.h"

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

CSize ViewTextExtent(CDC* pDC, LPCTSTR lpsz) { return pDC->GetTextExtent(lpsz, (int)std::strlen(lpsz)); }

void ViewTrackContextMenu(VxMenu* pMenu, CWnd* pPage, CPoint pos) {
  if (CMenu* popup = pMenu->GetSubMenu(0)) {
    popup->SetDefaultItem(0, TRUE);
    CWnd* owner = pPage;
    while (owner && (owner->GetStyle() & WS_CHILD) && owner->GetParent()) owner = owner->GetParent();
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, pos.x, pos.y, owner);
  }
  pMenu->DestroyItems();
}
