#include "app/TreeImages.h"

void LoadTreeImages(CImageList& images, const UINT* pIds, int nCount) {
  const COLORREF transparent = RGB(255, 0, 255);
  images.DeleteImageList();
  images.Create(16, 16, ILC_COLOR24 | ILC_MASK, nCount, 1);
  for (int i = 0; i < nCount; ++i) {
    CBitmap bmp;
    if (!bmp.LoadBitmap(pIds[i])) {
      CDC dc;
      dc.CreateCompatibleDC(nullptr);
      bmp.CreateCompatibleBitmap(&dc, 16, 16);
      CBitmap* old = dc.SelectObject(&bmp);
      dc.FillSolidRect(0, 0, 16, 16, transparent);
      dc.SelectObject(old);
    }
    images.Add(&bmp, transparent);
  }
}
