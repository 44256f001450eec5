#include "platform/ui/ImageList.h"

#include "platform/ui/UiInternal.h"

#include <set>

namespace {
struct List {
  int cx = 16, cy = 16;
  bool masked = true;
  COLORREF bk = CLR_NONE;
  std::vector<QImage> images;  // ARGB32 premultiplied; transparent where masked
};
std::set<List*>& lists() {
  static std::set<List*> s;
  return s;
}
List* listOf(HIMAGELIST h) {
  auto* l = reinterpret_cast<List*>(h);
  return (h && lists().count(l)) ? l : nullptr;
}
const QImage* imageOf(CBitmap* b) {
  if (!b || !b->m_hObject) return nullptr;
  AfxGdiData* d = AfxGdi(b->m_hObject);
  return d->kind == AfxGdiData::Bitmap ? &static_cast<AfxBitmapData*>(d)->image : nullptr;
}
std::vector<QImage> cut(const List* l, const QImage& src, const QImage* mask, COLORREF key, bool useKey) {
  std::vector<QImage> out;
  QRgb k = AfxQColor(key).rgb() & 0xFFFFFF;
  for (int x0 = 0; x0 + l->cx <= src.width(); x0 += l->cx) {
    QImage img = src.copy(x0, 0, l->cx, l->cy).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x) {
        bool clear = false;
        if (useKey)
          clear = (line[x] & 0xFFFFFF) == k;
        else if (mask && mask->valid(x0 + x, y))
          clear = (mask->pixel(x0 + x, y) & 0xFFFFFF) != 0;
        if (clear && l->masked) line[x] = 0;
      }
    }
    out.push_back(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
  return out;
}
}  // namespace

IMPLEMENT_DYNAMIC(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int, int) {
  if (m_hImageList || cx <= 0 || cy <= 0) return FALSE;
  auto* l = new List;
  l->cx = cx;
  l->cy = cy;
  l->masked = (nFlags & ILC_MASK) != 0;
  lists().insert(l);
  m_hImageList = reinterpret_cast<HIMAGELIST>(l);
  return TRUE;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  CBitmap bmp;
  if (!bmp.LoadBitmap(nBitmapID)) return FALSE;
  CSize s = bmp.GetBitmapDimension();
  if (!Create(cx, s.cy, ILC_COLOR24 | (crMask != CLR_NONE ? ILC_MASK : 0), 0, nGrow)) return FALSE;
  return Add(&bmp, crMask) >= 0;
}

BOOL CImageList::DeleteImageList() {
  List* l = listOf(m_hImageList);
  m_hImageList = nullptr;
  if (!l) return FALSE;
  lists().erase(l);
  delete l;
  return TRUE;
}

int CImageList::Add(CBitmap* img, CBitmap* mask) {
  List* l = listOf(m_hImageList);
  const QImage* src = imageOf(img);
  if (!l || !src) return -1;
  int first = (int)l->images.size();
  for (QImage& q : cut(l, *src, imageOf(mask), 0, false)) l->images.push_back(q);
  return first;
}

int CImageList::Add(CBitmap* img, COLORREF crMask) {
  List* l = listOf(m_hImageList);
  const QImage* src = imageOf(img);
  if (!l || !src) return -1;
  int first = (int)l->images.size();
  for (QImage& q : cut(l, *src, nullptr, crMask, crMask != CLR_NONE)) l->images.push_back(q);
  return first;
}

BOOL CImageList::Replace(int n, CBitmap* img, CBitmap* mask) {
  List* l = listOf(m_hImageList);
  const QImage* src = imageOf(img);
  if (!l || !src || n < 0 || n >= (int)l->images.size()) return FALSE;
  auto v = cut(l, *src, imageOf(mask), 0, false);
  if (v.empty()) return FALSE;
  l->images[(size_t)n] = v[0];
  return TRUE;
}

BOOL CImageList::Remove(int n) {
  List* l = listOf(m_hImageList);
  if (!l) return FALSE;
  if (n == -1) {
    l->images.clear();
    return TRUE;
  }
  if (n < 0 || n >= (int)l->images.size()) return FALSE;
  l->images.erase(l->images.begin() + n);
  return TRUE;
}

int CImageList::GetImageCount() const {
  List* l = listOf(m_hImageList);
  return l ? (int)l->images.size() : 0;
}

BOOL CImageList::GetIconSize(int* cx, int* cy) const {
  List* l = listOf(m_hImageList);
  if (!l) return FALSE;
  if (cx) *cx = l->cx;
  if (cy) *cy = l->cy;
  return TRUE;
}

COLORREF CImageList::SetBkColor(COLORREF cr) {
  List* l = listOf(m_hImageList);
  if (!l) return CLR_NONE;
  COLORREF old = l->bk;
  l->bk = cr;
  return old;
}

COLORREF CImageList::GetBkColor() const {
  List* l = listOf(m_hImageList);
  return l ? l->bk : CLR_NONE;
}

BOOL CImageList::Draw(CDC* pDC, int n, POINT pt, UINT style) {
  List* l = listOf(m_hImageList);
  if (!l || !pDC || n < 0 || n >= (int)l->images.size()) return FALSE;
  QImage img = l->images[(size_t)n];
  if (style & ILD_MASK) {
    // The mask: black where the picture is, white where it is transparent.
    QImage m(img.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) m.setPixel(x, y, qAlpha(img.pixel(x, y)) ? 0xFF000000 : 0xFFFFFFFF);
    img = m;
  } else {
    if (!(style & ILD_TRANSPARENT) && l->bk != CLR_NONE) {
      QImage b(img.size(), QImage::Format_ARGB32_Premultiplied);
      b.fill(AfxQColor(l->bk));
      QPainter p(&b);
      p.drawImage(0, 0, img);
      img = b;
    }
    if (style & (ILD_BLEND25 | ILD_BLEND50)) {
      QPainter p(&img);
      p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
      QColor h = AfxQColor(GetSysColor(COLOR_HIGHLIGHT));
      h.setAlphaF((style & ILD_BLEND50) ? 0.5 : 0.25);
      p.fillRect(img.rect(), h);
    }
  }
  CBitmap tmp;
  tmp.CreateBitmap(img.width(), img.height(), 1, 32, nullptr);
  static_cast<AfxBitmapData*>(AfxGdi(tmp.m_hObject))->image = img;
  CDC mem;
  mem.CreateCompatibleDC(pDC);
  CBitmap* old = mem.SelectObject(&tmp);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  BOOL ok = pDC->AlphaBlend(pt.x, pt.y, img.width(), img.height(), &mem, 0, 0, img.width(), img.height(), bf);
  mem.SelectObject(old);
  return ok;
}
