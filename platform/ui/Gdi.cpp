// Device contexts and drawing objects on QPainter. Coordinates follow the platform: a
// rectangle's right and bottom edges are outside it, and a line leaves out its last point.
#include "platform/ui/Gdi.h"

#include "platform/ui/Menu.h"
#include "platform/ui/SysInfo.h"
#include "platform/ui/UiInternal.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>

// ======================================================================================
// Colours and fonts
// ======================================================================================
QColor AfxQColor(COLORREF c) {
  // Palette-relative colours (0x02......) are drawn as their RGB; palette indexes as black.
  if ((c >> 24) == 0x01) return QColor(0, 0, 0);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF AfxColorRef(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }

LPCTSTR AfxMapFontFace(LPCTSTR face) {
  static const struct {
    const char* from;
    const char* to;
  } map[] = {
      {"Arial", "Liberation Sans"},
      {"Helvetica", "Liberation Sans"},
      {"Arial Black", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Times", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Courier", "Liberation Mono"},
      {"MS Sans Serif", "DejaVu Sans"},
      {"Microsoft Sans Serif", "DejaVu Sans"},
      {"MS Shell Dlg", "DejaVu Sans"},
      {"MS Shell Dlg 2", "DejaVu Sans"},
      {"Tahoma", "DejaVu Sans"},
      {"Verdana", "DejaVu Sans"},
      {"Segoe UI", "DejaVu Sans"},
      {"System", "DejaVu Sans"},
      {"Lucida Console", "DejaVu Sans Mono"},
      {"Terminal", "DejaVu Sans Mono"},
  };
  if (!face || !*face) return "DejaVu Sans";
  for (auto& m : map)
    if (strcasecmp(face, m.from) == 0) return m.to;
  return face;
}

QFont AfxMakeQFont(const LOGFONT& lf) {
  QFont f(QString::fromUtf8(AfxMapFontFace(lf.lfFaceName)));
  f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch));
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  int w = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
  f.setWeight(QFont::Weight(w));
  f.setItalic(lf.lfItalic != 0);
  f.setUnderline(lf.lfUnderline != 0);
  f.setStrikeOut(lf.lfStrikeOut != 0);
  if (lf.lfPitchAndFamily & FIXED_PITCH) f.setStyleHint(QFont::Monospace);
  LONG h = lf.lfHeight;
  if (h == 0) h = -12;
  if (h < 0) {
    f.setPixelSize((int)-h);
  } else {
    // A positive height is the cell height (ascent plus descent).
    QFont probe = f;
    probe.setPixelSize(1000);
    QFontMetricsF fm(probe);
    double cell = fm.ascent() + fm.descent();
    int px = cell > 0 ? (int)std::lround(h * 1000.0 / cell) : (int)h;
    f.setPixelSize(std::max(1, px));
  }
  if (lf.lfWidth > 0) {
    QFont probe = f;
    QFontMetricsF fm(probe);
    double avg = fm.averageCharWidth();
    if (avg > 0) f.setStretch(std::clamp((int)std::lround(lf.lfWidth * 100.0 / avg), 1, 4000));
  }
  return f;
}

// ======================================================================================
// Objects
// ======================================================================================
namespace {

// Never destroyed: objects still alive at exit stay reachable (and valid for late users).
std::set<AfxGdiData*>& liveObjects() {
  static auto* s = new std::set<AfxGdiData*>;
  return *s;
}

struct GdiExtra {
  int selectCount = 0;
  bool pendingDelete = false;
  CGdiObject* wrapper = nullptr;
};
std::map<AfxGdiData*, GdiExtra>& extras() {
  static auto* m = new std::map<AfxGdiData*, GdiExtra>;
  return *m;
}

template <class T>
T* track(T* d) {
  liveObjects().insert(d);
  return d;
}

bool alive(HGDIOBJ h) { return h && liveObjects().count(AfxGdi(h)); }

void reallyDelete(AfxGdiData* d) {
  liveObjects().erase(d);
  auto it = extras().find(d);
  if (it != extras().end()) {
    if (it->second.wrapper) {
      it->second.wrapper->m_hObject = nullptr;
      delete it->second.wrapper;
    }
    extras().erase(it);
  }
  delete d;
}

void addRef(HGDIOBJ h) {
  if (alive(h)) extras()[AfxGdi(h)].selectCount++;
}
void release(HGDIOBJ h) {
  if (!alive(h)) return;
  AfxGdiData* d = AfxGdi(h);
  GdiExtra& e = extras()[d];
  if (--e.selectCount <= 0) {
    e.selectCount = 0;
    if (e.pendingDelete) reallyDelete(d);
  }
}

AfxGdiData* makeStock(int i) {
  switch (i) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case NULL_BRUSH:
    case DC_BRUSH: {
      auto* b = new AfxBrushData;
      static const COLORREF c[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
      if (i == NULL_BRUSH)
        b->style = BS_NULL;
      else if (i == DC_BRUSH)
        b->color = 0xFFFFFF;
      else
        b->color = c[i];
      return b;
    }
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
    case DC_PEN: {
      auto* p = new AfxPenData;
      p->color = i == WHITE_PEN ? 0xFFFFFF : 0;
      if (i == NULL_PEN) p->style = PS_NULL;
      return p;
    }
    case DEFAULT_PALETTE: return new AfxPaletteData;
    default: {
      auto* f = new AfxFontData;
      f->lf.lfCharSet = DEFAULT_CHARSET;
      if (i == SYSTEM_FONT) {
        f->lf.lfHeight = 16;
        f->lf.lfWeight = FW_BOLD;
        std::strcpy(f->lf.lfFaceName, "System");
      } else if (i == ANSI_FIXED_FONT || i == OEM_FIXED_FONT || i == SYSTEM_FIXED_FONT) {
        f->lf.lfHeight = 12;
        f->lf.lfWeight = FW_NORMAL;
        f->lf.lfPitchAndFamily = FIXED_PITCH;
        std::strcpy(f->lf.lfFaceName, "Courier New");
      } else {
        f->lf.lfHeight = -11;
        f->lf.lfWeight = FW_NORMAL;
        std::strcpy(f->lf.lfFaceName, "MS Shell Dlg");
      }
      f->qfont = AfxMakeQFont(f->lf);
      return f;
    }
  }
}

}  // namespace

HGDIOBJ GetStockObject(int i) {
  static AfxGdiData* stock[20] = {};
  if (i < 0 || i >= 20 || i == 9) return nullptr;
  if (!stock[i]) {
    stock[i] = track(makeStock(i));
    stock[i]->stock = true;
  }
  return AfxHandle(stock[i]);
}

BOOL DeleteObject(HGDIOBJ h) {
  if (!alive(h)) return FALSE;
  AfxGdiData* d = AfxGdi(h);
  if (d->stock) return TRUE;
  GdiExtra& e = extras()[d];
  if (e.selectCount > 0) {
    // Still selected into a DC: freed once the DC lets it go.
    e.pendingDelete = true;
    return TRUE;
  }
  reallyDelete(d);
  return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  auto* p = track(new AfxPenData);
  p->style = style & PS_STYLE_MASK;
  p->width = std::max(1, width);
  p->color = color;
  p->endCap = style & 0xF00;
  p->join = style & 0xF000;
  return (HPEN)AfxHandle(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = track(new AfxBrushData);
  b->color = color;
  return (HBRUSH)AfxHandle(b);
}

HBRUSH GetSysColorBrush(int nIndex) {
  static auto& brushes = *new std::map<int, AfxBrushData*>;  // never destroyed, as the objects
  auto it = brushes.find(nIndex);
  if (it == brushes.end()) {
    auto* b = track(new AfxBrushData);
    b->stock = true;
    b->sysColor = nIndex;
    it = brushes.emplace(nIndex, b).first;
  }
  it->second->color = GetSysColor(nIndex);
  return (HBRUSH)AfxHandle(it->second);
}

HFONT CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return nullptr;
  auto* f = track(new AfxFontData);
  f->lf = *lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
  f->qfont = AfxMakeQFont(f->lf);
  return (HFONT)AfxHandle(f);
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
  auto* r = track(new AfxRgnData);
  if (x2 > x1 && y2 > y1) r->rgn = QRegion(x1, y1, x2 - x1, y2 - y1);
  return (HRGN)AfxHandle(r);
}

int GetObject(HGDIOBJ h, int c, LPVOID pv) {
  if (!alive(h)) return 0;
  AfxGdiData* d = AfxGdi(h);
  switch (d->kind) {
    case AfxGdiData::Font:
      if (pv && c >= (int)sizeof(LOGFONT)) *(LOGFONT*)pv = static_cast<AfxFontData*>(d)->lf;
      return sizeof(LOGFONT);
    case AfxGdiData::Pen: {
      auto* p = static_cast<AfxPenData*>(d);
      if (pv && c >= (int)sizeof(LOGPEN)) *(LOGPEN*)pv = LOGPEN{(UINT)p->style, POINT{p->width, 0}, p->color};
      return sizeof(LOGPEN);
    }
    case AfxGdiData::Brush: {
      auto* b = static_cast<AfxBrushData*>(d);
      if (pv && c >= (int)sizeof(LOGBRUSH)) *(LOGBRUSH*)pv = LOGBRUSH{(UINT)b->style, b->color, (ULONG_PTR)b->hatch};
      return sizeof(LOGBRUSH);
    }
    case AfxGdiData::Bitmap: {
      auto* b = static_cast<AfxBitmapData*>(d);
      if (pv && c >= (int)sizeof(BITMAP)) {
        BITMAP bm{0,
                  b->image.width(),
                  b->image.height(),
                  b->mono ? ((b->image.width() + 15) / 16) * 2 : b->image.width() * 4,
                  1,
                  (WORD)(b->mono ? 1 : 32),
                  nullptr};
        *(BITMAP*)pv = bm;
      }
      return sizeof(BITMAP);
    }
    case AfxGdiData::Palette:
      if (pv && c >= 2) *(WORD*)pv = (WORD) static_cast<AfxPaletteData*>(d)->entries.size();
      return 2;
    default: return 0;
  }
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  CDC* dc = CDC::FromHandle(hdc);
  auto* b = track(new AfxBitmapData);
  bool mono = false;
  if (dc && dc->GetState() && dc->GetState()->kind == AfxDcState::Memory) {
    // Compatible with a memory DC means compatible with its bitmap, mono by default.
    HGDIOBJ cur = dc->GetState()->bitmap;
    mono = !alive(cur) || static_cast<AfxBitmapData*>(AfxGdi(cur))->mono;
  }
  b->mono = mono;
  // From the heap: views make these for each paint, and the heap keeps their pages warm.
  b->image = QImage(std::max(1, cx), std::max(1, cy), QImage::Format_RGB32);
  b->image.fill(Qt::black);
  return (HBITMAP)AfxHandle(b);
}

// ---- CGdiObject and kinds ----
IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
  if (!alive(h)) return nullptr;
  AfxGdiData* d = AfxGdi(h);
  if (d->owner) return d->owner;
  GdiExtra& e = extras()[d];
  if (!e.wrapper) {
    switch (d->kind) {
      case AfxGdiData::Pen: e.wrapper = new CPen; break;
      case AfxGdiData::Brush: e.wrapper = new CBrush; break;
      case AfxGdiData::Font: e.wrapper = new CFont; break;
      case AfxGdiData::Bitmap: e.wrapper = new CBitmap; break;
      case AfxGdiData::Rgn: e.wrapper = new CRgn; break;
      case AfxGdiData::Palette: e.wrapper = new CPalette; break;
    }
    e.wrapper->m_hObject = h;
  }
  return e.wrapper;
}

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (!alive(h) || m_hObject) return FALSE;
  m_hObject = h;
  if (!AfxGdi(h)->stock) AfxGdi(h)->owner = this;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (alive(h) && AfxGdi(h)->owner == this) AfxGdi(h)->owner = nullptr;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  HGDIOBJ h = m_hObject;
  if (alive(h)) {
    AfxGdiData* d = AfxGdi(h);
    auto it = extras().find(d);
    if (it != extras().end() && it->second.wrapper == this) {
      m_hObject = nullptr;  // a wrapper does not own its object
      return FALSE;
    }
  }
  Detach();
  return ::DeleteObject(h);
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(GetStockObject(nIndex)); }
int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObject(m_hObject, nCount, lpObject); }

BOOL CPen::CreatePen(int s, int w, COLORREF c) { return Attach(::CreatePen(s, w, c)); }
BOOL CPen::CreatePen(int s, int w, const LOGBRUSH* lb, int, const DWORD*) {
  return Attach(::CreatePen(s, w, lb ? lb->lbColor : 0));
}
BOOL CPen::CreatePenIndirect(LOGPEN* lp) {
  return lp && Attach(::CreatePen((int)lp->lopnStyle, lp->lopnWidth.x, lp->lopnColor));
}

BOOL CBrush::CreateSolidBrush(COLORREF c) { return Attach(::CreateSolidBrush(c)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF c) {
  auto* b = track(new AfxBrushData);
  b->style = BS_HATCHED;
  b->hatch = nIndex;
  b->color = c;
  return Attach(AfxHandle(b));
}
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::CreateSolidBrush(GetSysColor(nIndex))); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  if (!pBitmap || !alive(pBitmap->m_hObject)) return FALSE;
  auto* src = static_cast<AfxBitmapData*>(AfxGdi(pBitmap->m_hObject));
  auto* b = track(new AfxBrushData);
  b->style = BS_PATTERN;
  b->pattern = src->image.copy();
  b->hatch = src->mono ? 1 : 0;  // mono patterns take the DC's text and background colours
  return Attach(AfxHandle(b));
}
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return FALSE;
  if (lb->lbStyle == BS_NULL) {
    auto* b = track(new AfxBrushData);
    b->style = BS_NULL;
    return Attach(AfxHandle(b));
  }
  if (lb->lbStyle == BS_HATCHED) return CreateHatchBrush((int)lb->lbHatch, lb->lbColor);
  return CreateSolidBrush(lb->lbColor);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) { return Attach(::CreateFontIndirect(lf)); }
BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR face) {
  LOGFONT lf{nHeight,    nWidth,   nEscapement,   nOrientation,   nWeight,  bItalic,         bUnderline,
             cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, {}};
  if (face) std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
  return CreateFontIndirect(&lf);
}
BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR face, CDC* pDC) {
  LOGFONT lf{};
  lf.lfHeight = nPointSize;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  if (face) std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", face);
  return CreatePointFontIndirect(&lf, pDC);
}
BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
  LOGFONT lf = *lpLogFont;
  int dpi = pDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 96;
  // Tenths of a point to pixels, rounded to the nearest pixel as the framework's MulDiv does
  // (14 points at 96 dots per inch are 19 pixels, not 18), as a character height.
  int px = MulDiv(dpi, lf.lfHeight, 720);
  lf.lfHeight = -std::abs(px);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int w, int h) {
  return Attach(::CreateCompatibleBitmap(pDC ? pDC->GetSafeHdc() : nullptr, w, h));
}
BOOL CBitmap::CreateBitmap(int w, int h, UINT, UINT bpp, const void* bits) {
  auto* b = track(new AfxBitmapData);
  b->mono = bpp == 1;
  b->image = QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
  b->image.fill(Qt::black);
  if (bits) {
    const BYTE* p = static_cast<const BYTE*>(bits);
    if (bpp == 1) {
      int stride = ((w + 15) / 16) * 2;  // rows are word-aligned
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          bool on = (p[y * stride + x / 8] >> (7 - x % 8)) & 1;
          b->image.setPixel(x, y, on ? 0xFFFFFFFF : 0xFF000000);
        }
    } else if (bpp == 32) {
      // Rows of blue, green, red and alpha. Pictures with alpha keep it (premultiplied, as
      // AlphaBlend takes them); pictures whose alpha is 0 everywhere stay opaque.
      bool alpha = false;
      for (int i = 0; i < w * h && !alpha; ++i) alpha = p[i * 4 + 3] != 0;
      if (alpha) b->image = QImage(std::max(1, w), std::max(1, h), QImage::Format_ARGB32_Premultiplied);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const BYTE* q = p + (y * w + x) * 4;
          if (alpha)
            b->image.setPixel(x, y, qRgba(std::min(q[2], q[3]), std::min(q[1], q[3]), std::min(q[0], q[3]), q[3]));
          else
            b->image.setPixel(x, y, qRgb(q[2], q[1], q[0]));
        }
    } else if (bpp == 24) {
      int stride = ((w * 3 + 3) / 4) * 4;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const BYTE* q = p + y * stride + x * 3;
          b->image.setPixel(x, y, qRgb(q[2], q[1], q[0]));
        }
    }
  }
  return Attach(AfxHandle(b));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT, void** ppvBits, void*, DWORD) {
  if (ppvBits) *ppvBits = nullptr;
  if (!pbmi) return nullptr;
  const BITMAPINFOHEADER& h = pbmi->bmiHeader;
  // 32-bit pictures whose rows run from the top (a negative height): the layer's own pixel
  // order, so the caller writes straight into the picture the DCs draw.
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight >= 0 || h.biWidth > 32767 ||
      -h.biHeight > 32767)
    return nullptr;
  QImage image((int)h.biWidth, (int)-h.biHeight, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return nullptr;
  image.fill(0);
  auto* b = track(new AfxBitmapData);
  b->image = std::move(image);
  if (ppvBits) *ppvBits = b->image.bits();
  return (HBITMAP)AfxHandle(b);
}

BOOL CBitmap::LoadBitmap(UINT nID) { return LoadBitmap(MAKEINTRESOURCE(nID)); }
BOOL CBitmap::LoadBitmap(LPCTSTR name) {
  HRSRC r = FindResource(nullptr, name, RT_BITMAP);
  if (!r) return FALSE;
  DWORD n = SizeofResource(nullptr, r);
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, r)));
  if (!p || n < 40) return FALSE;
  // A bitmap resource is a BMP file without its 14-byte file header.
  QByteArray file(14, 0);
  file[0] = 'B';
  file[1] = 'M';
  quint32 total = 14 + n;
  std::memcpy(file.data() + 2, &total, 4);
  DWORD hdr;
  std::memcpy(&hdr, p, 4);
  WORD bpp;
  std::memcpy(&bpp, p + 14, 2);
  DWORD used;
  std::memcpy(&used, p + 32, 4);
  quint32 colors = bpp <= 8 ? (used ? used : (1u << bpp)) : 0;
  quint32 off = 14 + hdr + colors * 4;
  std::memcpy(file.data() + 10, &off, 4);
  file.append(reinterpret_cast<const char*>(p), (qsizetype)n);
  QImage img;
  if (!img.loadFromData(file, "BMP")) return FALSE;
  auto* b = track(new AfxBitmapData);
  b->image = img.convertToFormat(QImage::Format_RGB32);
  b->mono = bpp == 1;
  return Attach(AfxHandle(b));
}

CSize CBitmap::GetBitmapDimension() const {
  if (!alive(m_hObject)) return CSize();
  auto* b = static_cast<AfxBitmapData*>(AfxGdi(m_hObject));
  return CSize(b->image.width(), b->image.height());
}

COLORREF CBitmap::GetPixel(int x, int y) const {
  if (!alive(m_hObject)) return CLR_INVALID;
  auto* b = static_cast<AfxBitmapData*>(AfxGdi(m_hObject));
  if (!b->image.valid(x, y)) return CLR_INVALID;
  return AfxColorRef(b->image.pixel(x, y));
}

BOOL CBitmap::SavePng(LPCTSTR path) const {
  if (!alive(m_hObject) || !path) return FALSE;
  return static_cast<AfxBitmapData*>(AfxGdi(m_hObject))->image.save(QString::fromUtf8(path), "PNG");
}

static AfxRgnData* rgnOf(HGDIOBJ h) { return alive(h) ? static_cast<AfxRgnData*>(AfxGdi(h)) : nullptr; }

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT r) { return CreateRectRgn(r->left, r->top, r->right, r->bottom); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  auto* r = track(new AfxRgnData);
  if (x2 > x1 && y2 > y1) r->rgn = QRegion(x1, y1, x2 - x1, y2 - y1, QRegion::Ellipse);
  return Attach(AfxHandle(r));
}
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT r) { return CreateEllipticRgn(r->left, r->top, r->right, r->bottom); }
BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
  auto* r = track(new AfxRgnData);
  QPainterPath p;
  p.addRoundedRect(QRectF(x1, y1, x2 - x1, y2 - y1), x3 / 2.0, y3 / 2.0);
  r->rgn = QRegion(p.toFillPolygon().toPolygon());
  return Attach(AfxHandle(r));
}
BOOL CRgn::CreatePolygonRgn(const POINT* pts, int n, int mode) {
  auto* r = track(new AfxRgnData);
  QPolygon poly;
  for (int i = 0; i < n; ++i) poly << QPoint(pts[i].x, pts[i].y);
  r->rgn = QRegion(poly, mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  return Attach(AfxHandle(r));
}
static int rgnKind(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  AfxRgnData* d = rgnOf(m_hObject);
  AfxRgnData* ra = a ? rgnOf(a->m_hObject) : nullptr;
  AfxRgnData* rb = b ? rgnOf(b->m_hObject) : nullptr;
  if (!d || !ra) return ERROR;
  QRegion A = ra->rgn, B = rb ? rb->rgn : QRegion();
  switch (mode) {
    case RGN_AND: d->rgn = A & B; break;
    case RGN_OR: d->rgn = A | B; break;
    case RGN_XOR: d->rgn = A ^ B; break;
    case RGN_DIFF: d->rgn = A - B; break;
    case RGN_COPY: d->rgn = A; break;
    default: return ERROR;
  }
  return rgnKind(d->rgn);
}
int CRgn::CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) {
  if (AfxRgnData* d = rgnOf(m_hObject)) d->rgn = (x2 > x1 && y2 > y1) ? QRegion(x1, y1, x2 - x1, y2 - y1) : QRegion();
}
BOOL CRgn::PtInRegion(int x, int y) const {
  AfxRgnData* d = rgnOf(m_hObject);
  return d && d->rgn.contains(QPoint(x, y));
}
BOOL CRgn::RectInRegion(LPCRECT r) const {
  AfxRgnData* d = rgnOf(m_hObject);
  return d && d->rgn.intersects(QRect(r->left, r->top, r->right - r->left, r->bottom - r->top));
}
int CRgn::GetRgnBox(LPRECT r) const {
  AfxRgnData* d = rgnOf(m_hObject);
  if (!d) return ERROR;
  QRect b = d->rgn.boundingRect();
  ::SetRect(r, b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
  return rgnKind(d->rgn);
}
int CRgn::OffsetRgn(int x, int y) {
  AfxRgnData* d = rgnOf(m_hObject);
  if (!d) return ERROR;
  d->rgn.translate(x, y);
  return rgnKind(d->rgn);
}
BOOL CRgn::EqualRgn(const CRgn* o) const {
  AfxRgnData* a = rgnOf(m_hObject);
  AfxRgnData* b = o ? rgnOf(o->m_hObject) : nullptr;
  return a && b && a->rgn == b->rgn;
}

BOOL CPalette::CreatePalette(LPLOGPALETTE lp) {
  if (!lp) return FALSE;
  auto* p = track(new AfxPaletteData);
  p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  return Attach(AfxHandle(p));
}
BOOL CPalette::CreateHalftonePalette(CDC*) {
  auto* p = track(new AfxPaletteData);
  p->entries.resize(256);
  return Attach(AfxHandle(p));
}
int CPalette::GetEntryCount() const {
  return alive(m_hObject) ? (int)static_cast<AfxPaletteData*>(AfxGdi(m_hObject))->entries.size() : 0;
}
UINT CPalette::GetPaletteEntries(UINT start, UINT n, PALETTEENTRY* out) const {
  if (!alive(m_hObject)) return 0;
  auto& e = static_cast<AfxPaletteData*>(AfxGdi(m_hObject))->entries;
  UINT k = 0;
  for (; k < n && start + k < e.size(); ++k) out[k] = e[start + k];
  return k;
}
UINT CPalette::SetPaletteEntries(UINT start, UINT n, const PALETTEENTRY* in) {
  if (!alive(m_hObject)) return 0;
  auto& e = static_cast<AfxPaletteData*>(AfxGdi(m_hObject))->entries;
  UINT k = 0;
  for (; k < n && start + k < e.size(); ++k) e[start + k] = in[k];
  return k;
}
UINT CPalette::GetNearestPaletteIndex(COLORREF c) const {
  if (!alive(m_hObject)) return 0;
  auto& e = static_cast<AfxPaletteData*>(AfxGdi(m_hObject))->entries;
  UINT best = 0;
  int bestD = 1 << 30;
  for (UINT i = 0; i < e.size(); ++i) {
    int d = std::abs(e[i].peRed - GetRValue(c)) + std::abs(e[i].peGreen - GetGValue(c)) +
            std::abs(e[i].peBlue - GetBValue(c));
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return best;
}

// ======================================================================================
// DC state
// ======================================================================================
namespace {

std::map<QPaintDevice*, AfxDcState*>& deviceOwners() {
  static std::map<QPaintDevice*, AfxDcState*> m;
  return m;
}

void closePainter(AfxDcState* s) {
  if (!s->painterOpen) return;
  s->painter.end();
  s->painterOpen = false;
  auto it = deviceOwners().find(s->device);
  if (it != deviceOwners().end() && it->second == s) deviceOwners().erase(it);
}

QPoint origin(const AfxDcState* s) { return s->viewportOrg - s->windowOrg + s->deviceOffset; }

QRegion effectiveClip(const AfxDcState* s, bool* any) {
  QRegion r;
  bool have = false;
  if (s->hasBaseClip) {
    r = s->baseClip;
    have = true;
  }
  if (s->hasClip) {
    QRegion c = s->clip.translated(s->deviceOffset);
    r = have ? (r & c) : c;
    have = true;
  }
  *any = have;
  return r;
}

void applyClip(AfxDcState* s) {
  if (!s->painterOpen) return;
  bool any = false;
  QRegion r = effectiveClip(s, &any);
  s->painter.resetTransform();
  if (any)
    s->painter.setClipRegion(r);
  else
    s->painter.setClipping(false);
  s->painter.setTransform(QTransform::fromTranslate(origin(s).x(), origin(s).y()));
}

QPainter& P(AfxDcState* s) {
  if (!s->painterOpen) {
    auto it = deviceOwners().find(s->device);
    if (it != deviceOwners().end() && it->second != s) closePainter(it->second);
    s->painter.begin(s->device);
    s->painter.setRenderHint(QPainter::Antialiasing, false);
    s->painter.setRenderHint(QPainter::TextAntialiasing, true);
    deviceOwners()[s->device] = s;
    s->painterOpen = true;
    applyClip(s);
  } else {
    s->painter.setTransform(QTransform::fromTranslate(origin(s).x(), origin(s).y()));
  }
  s->painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  switch (s->rop2) {
    case R2_NOT: s->painter.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case R2_XORPEN: s->painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case R2_NOTXORPEN: s->painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    case R2_MASKPEN: s->painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case R2_MERGEPEN: s->painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case R2_NOTCOPYPEN: s->painter.setCompositionMode(QPainter::RasterOp_NotSource); break;
    default: break;
  }
  return s->painter;
}

AfxPenData* penOf(AfxDcState* s) { return static_cast<AfxPenData*>(AfxGdi(s->pen)); }
AfxBrushData* brushOf(AfxDcState* s) { return static_cast<AfxBrushData*>(AfxGdi(s->brush)); }
AfxFontData* fontOf(AfxDcState* s) { return static_cast<AfxFontData*>(AfxGdi(s->font)); }

QColor ropColor(AfxDcState* s, COLORREF c) {
  if (s->rop2 == R2_BLACK) return Qt::black;
  if (s->rop2 == R2_WHITE) return Qt::white;
  if (s->rop2 == R2_NOT) return Qt::white;
  return AfxQColor(c);
}

bool hasPen(AfxDcState* s) { return alive(s->pen) && penOf(s)->style != PS_NULL && s->rop2 != R2_NOP; }
bool hasBrush(AfxDcState* s) { return alive(s->brush) && brushOf(s)->style != BS_NULL && s->rop2 != R2_NOP; }

QPen qpen(AfxDcState* s) {
  AfxPenData* p = penOf(s);
  COLORREF c = (AfxGdi(s->pen) == AfxGdi(GetStockObject(DC_PEN))) ? s->dcPen : p->color;
  QPen q(ropColor(s, c));
  int w = std::max(1, p->width);
  q.setWidth(w);
  if (w <= 1) {
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    q.setCosmetic(true);
    switch (p->style) {
      case PS_DASH: q.setDashPattern({18, 6}); break;
      case PS_DOT: q.setDashPattern({3, 3}); break;
      case PS_DASHDOT: q.setDashPattern({9, 6, 3, 6}); break;
      case PS_DASHDOTDOT: q.setDashPattern({9, 3, 3, 3, 3, 3}); break;
      case PS_ALTERNATE: q.setDashPattern({1, 1}); break;
      default: break;
    }
  } else {
    q.setCapStyle(p->endCap == PS_ENDCAP_FLAT     ? Qt::FlatCap
                  : p->endCap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                                                  : Qt::RoundCap);
    q.setJoinStyle(p->join == PS_JOIN_MITER ? Qt::MiterJoin : p->join == PS_JOIN_BEVEL ? Qt::BevelJoin : Qt::RoundJoin);
  }
  return q;
}

QBrush qbrush(AfxDcState* s, HGDIOBJ hb = nullptr) {
  if (!hb) hb = s->brush;
  if (!alive(hb)) return QBrush();
  auto* b = static_cast<AfxBrushData*>(AfxGdi(hb));
  COLORREF c = b->sysColor >= 0 ? GetSysColor(b->sysColor) : b->color;
  if (AfxGdi(hb) == AfxGdi(GetStockObject(DC_BRUSH))) c = s->dcBrush;
  switch (b->style) {
    case BS_NULL: return QBrush(Qt::NoBrush);
    case BS_HATCHED: {
      static const Qt::BrushStyle hs[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                          Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
      return QBrush(ropColor(s, c), hs[std::clamp(b->hatch, 0, 5)]);
    }
    case BS_PATTERN: {
      QImage img = b->pattern;
      if (b->hatch) {
        // Mono pattern: black bits take the text colour, white bits the background colour.
        QRgb fg = AfxQColor(s->text).rgb(), bg = AfxQColor(s->bk).rgb();
        for (int y = 0; y < img.height(); ++y)
          for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, (img.pixel(x, y) & 0xFFFFFF) ? bg : fg);
      }
      QBrush br(img);
      br.setTransform(QTransform::fromTranslate(s->brushOrg.x() - origin(s).x(), s->brushOrg.y() - origin(s).y()));
      return br;
    }
    default: return QBrush(ropColor(s, c));
  }
}

void fillRectDev(AfxDcState* s, const QRect& r, const QBrush& b) {
  if (r.isEmpty()) return;
  QPainter& p = P(s);
  if (b.style() == Qt::SolidPattern && s->rop2 == R2_COPYPEN) p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(r, b);
}

QRect qrect(int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  return QRect(l, t, r - l, b - t);
}

QString qtext(LPCTSTR s, int n) {
  if (!s) return QString();
  if (n < 0) n = (int)std::strlen(s);
  return QString::fromUtf8(s, n);
}

}  // namespace

struct AfxDcAccess {
  static void Init(CDC* dc, AfxDcState::Kind kind) {
    dc->m_pState = std::make_unique<AfxDcState>();
    AfxDcState* s = dc->m_pState.get();
    s->kind = kind;
    s->pen = GetStockObject(BLACK_PEN);
    s->brush = GetStockObject(WHITE_BRUSH);
    s->font = GetStockObject(SYSTEM_FONT);
    s->bitmap = nullptr;
    dc->m_hDC = reinterpret_cast<HDC>(dc);
    dc->m_hAttribDC = dc->m_hDC;
  }
  static std::unique_ptr<AfxDcState> Take(CDC* dc) { return std::move(dc->m_pState); }
};

static QImage& defaultMonoImage() {
  static QImage img = [] {
    QImage i(1, 1, QImage::Format_RGB32);
    i.fill(Qt::black);
    return i;
  }();
  return img;
}

// ---- Window DCs ----
HDC AfxCreateWindowDC(HWND h, bool paint, bool whole) {
  AfxWndRec* r = AfxRec(h);
  if (!r) return nullptr;
  CDC* dc = new CDC;
  AfxDcAccess::Init(dc, AfxDcState::Window);
  AfxDcState* s = dc->GetState();
  addRef(s->pen);
  addRef(s->brush);
  addRef(s->font);
  s->hwnd = h;
  s->windowDc = whole;
  s->image = &AfxBacking(r);
  s->device = s->image;
  if (whole) {
    QMargins m = AfxNonClientMargins(r);
    s->deviceOffset = QPoint(-m.left(), -m.top());
  }
  (void)paint;
  return dc->m_hDC;
}

void AfxDeleteWindowDC(HDC hdc) {
  CDC* dc = CDC::FromHandle(hdc);
  if (!dc) return;
  HWND h = dc->GetState() ? dc->GetState()->hwnd : nullptr;
  delete dc;
  if (h && AfxRec(h)) AfxWindowPixelsChanged(h, AfxBackingRect(AfxRec(h)));
}

// ======================================================================================
// CDC
// ======================================================================================
IMPLEMENT_DYNAMIC(CDC, CObject)

CDC::CDC() = default;

CDC::~CDC() {
  if (AfxDcState* s = m_pState.get()) {
    closePainter(s);
    // Objects selected into the DC are let go; one deleted meanwhile is freed now.
    release(s->pen);
    release(s->brush);
    release(s->font);
    if (alive(s->bitmap)) {
      static_cast<AfxBitmapData*>(AfxGdi(s->bitmap))->selectedIn--;
      release(s->bitmap);
    }
  }
}

CWnd* CDC::GetWindow() const { return m_pState ? CWnd::FromHandle(m_pState->hwnd) : nullptr; }

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  if (m_pState) return FALSE;
  AfxDcAccess::Init(this, AfxDcState::Memory);
  m_pState->device = &defaultMonoImage();
  m_pState->image = nullptr;
  if (pDC && pDC->m_bPrinting) m_bPrinting = FALSE;
  addRef(m_pState->pen);
  addRef(m_pState->brush);
  addRef(m_pState->font);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_pState) return FALSE;
  AfxDcState* s = m_pState.get();
  closePainter(s);
  release(s->pen);
  release(s->brush);
  release(s->font);
  if (alive(s->bitmap)) {
    static_cast<AfxBitmapData*>(AfxGdi(s->bitmap))->selectedIn--;
    release(s->bitmap);
  }
  m_pState.reset();
  m_hDC = nullptr;
  m_hAttribDC = nullptr;
  return TRUE;
}

int CDC::GetDeviceCaps(int nIndex) const {
  AfxDcState* s = m_pState.get();
  QSize sz = (s && s->image) ? s->image->size() : QSize(1024, 768);
  switch (nIndex) {
    // A printer's resolution is its device's; screens and bitmaps work at 96.
    case LOGPIXELSX: return (m_bPrinting && s && s->device) ? s->device->logicalDpiX() : 96;
    case LOGPIXELSY: return (m_bPrinting && s && s->device) ? s->device->logicalDpiY() : 96;
    case HORZRES: return sz.width();
    case VERTRES: return sz.height();
    // Millimetres at the device's own resolution: a printer's dots are not the screen's.
    case HORZSIZE:
      return (int)std::lround(sz.width() * 25.4 / ((m_bPrinting && s && s->device) ? s->device->logicalDpiX() : 96));
    case VERTSIZE:
      return (int)std::lround(sz.height() * 25.4 / ((m_bPrinting && s && s->device) ? s->device->logicalDpiY() : 96));
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    case TECHNOLOGY: return m_bPrinting ? DT_RASPRINTER : DT_RASDISPLAY;
    case PHYSICALWIDTH: return (s && !s->physicalSize.isEmpty()) ? s->physicalSize.width() : sz.width();
    case PHYSICALHEIGHT: return (s && !s->physicalSize.isEmpty()) ? s->physicalSize.height() : sz.height();
    case PHYSICALOFFSETX: return s ? s->physicalOffset.x() : 0;
    case PHYSICALOFFSETY: return s ? s->physicalOffset.y() : 0;
    case NUMBRUSHES:
    case NUMPENS: return -1;
  }
  return 0;
}

int CDC::SaveDC() {
  AfxDcState* s = m_pState.get();
  if (!s) return 0;
  AfxDcSaved v{s->pen,   s->brush,   s->font,     s->bitmap,      s->text,      s->bk,      s->bkMode, s->rop2,
               s->align, s->stretch, s->polyFill, s->viewportOrg, s->windowOrg, s->hasClip, s->clip};
  addRef(v.pen);
  addRef(v.brush);
  addRef(v.font);
  addRef(v.bitmap);
  s->saved.push_back(v);
  return (int)s->saved.size();
}

BOOL CDC::RestoreDC(int n) {
  AfxDcState* s = m_pState.get();
  if (!s || s->saved.empty()) return FALSE;
  if (n < 0) n = (int)s->saved.size() + 1 + n;
  if (n < 1 || n > (int)s->saved.size()) return FALSE;
  AfxDcSaved v = s->saved[n - 1];
  // The state of level n comes back; deeper saved states are dropped.
  for (int k = (int)s->saved.size(); k > n; --k) {
    AfxDcSaved& d = s->saved[k - 1];
    release(d.pen);
    release(d.brush);
    release(d.font);
    release(d.bitmap);
  }
  s->saved.resize(n - 1);
  SelectObject(v.pen);
  SelectObject(v.brush);
  SelectObject(v.font);
  if (v.bitmap && s->kind == AfxDcState::Memory) SelectObject(v.bitmap);
  release(v.pen);
  release(v.brush);
  release(v.font);
  release(v.bitmap);
  s->text = v.text;
  s->bk = v.bk;
  s->bkMode = v.bkMode;
  s->rop2 = v.rop2;
  s->align = v.align;
  s->stretch = v.stretch;
  s->polyFill = v.polyFill;
  s->viewportOrg = v.viewportOrg;
  s->windowOrg = v.windowOrg;
  s->hasClip = v.hasClip;
  s->clip = v.clip;
  applyClip(s);
  return TRUE;
}

// ---- Objects ----
HGDIOBJ CDC::SelectObject(HGDIOBJ h) {
  AfxDcState* s = m_pState.get();
  if (!s || !alive(h)) return nullptr;
  AfxGdiData* d = AfxGdi(h);
  HGDIOBJ old = nullptr;
  switch (d->kind) {
    case AfxGdiData::Pen:
      old = s->pen;
      s->pen = h;
      break;
    case AfxGdiData::Brush:
      old = s->brush;
      s->brush = h;
      break;
    case AfxGdiData::Font:
      old = s->font;
      s->font = h;
      break;
    case AfxGdiData::Bitmap: {
      if (s->kind != AfxDcState::Memory) return nullptr;
      auto* b = static_cast<AfxBitmapData*>(d);
      closePainter(s);
      old = s->bitmap;
      if (alive(old)) static_cast<AfxBitmapData*>(AfxGdi(old))->selectedIn--;
      s->bitmap = h;
      b->selectedIn++;
      s->image = &b->image;
      s->device = &b->image;
      addRef(h);
      if (old)
        release(old);
      else
        old = nullptr;
      return old ? old : h;  // the platform returns the default bitmap, which we do not model
    }
    case AfxGdiData::Rgn: SelectClipRgn(CRgn::FromHandle((HRGN)h)); return h;
    case AfxGdiData::Palette: return h;
  }
  addRef(h);
  release(old);
  return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* o) {
  return o ? CGdiObject::FromHandle(SelectObject(o->m_hObject)) : nullptr;
}
CPen* CDC::SelectObject(CPen* o) { return (CPen*)SelectObject((CGdiObject*)o); }
CBrush* CDC::SelectObject(CBrush* o) { return (CBrush*)SelectObject((CGdiObject*)o); }
CFont* CDC::SelectObject(CFont* o) { return (CFont*)SelectObject((CGdiObject*)o); }
CBitmap* CDC::SelectObject(CBitmap* o) { return (CBitmap*)SelectObject((CGdiObject*)o); }
int CDC::SelectObject(CRgn* r) { return SelectClipRgn(r); }
CGdiObject* CDC::SelectStockObject(int i) { return CGdiObject::FromHandle(SelectObject(GetStockObject(i))); }
CPen* CDC::GetCurrentPen() const { return m_pState ? (CPen*)CGdiObject::FromHandle(m_pState->pen) : nullptr; }
CBrush* CDC::GetCurrentBrush() const { return m_pState ? (CBrush*)CGdiObject::FromHandle(m_pState->brush) : nullptr; }
CFont* CDC::GetCurrentFont() const { return m_pState ? (CFont*)CGdiObject::FromHandle(m_pState->font) : nullptr; }
CBitmap* CDC::GetCurrentBitmap() const {
  return m_pState ? (CBitmap*)CGdiObject::FromHandle(m_pState->bitmap) : nullptr;
}
CPalette* CDC::SelectPalette(CPalette* p, BOOL) {
  (void)p;
  return CPalette::FromHandle((HPALETTE)GetStockObject(DEFAULT_PALETTE));
}

// ---- Attributes ----
#define DCS (m_pState.get())
COLORREF CDC::SetTextColor(COLORREF c) {
  if (!DCS) return CLR_INVALID;
  COLORREF o = DCS->text;
  DCS->text = c;
  return o;
}
COLORREF CDC::GetTextColor() const { return DCS ? DCS->text : 0; }
COLORREF CDC::SetBkColor(COLORREF c) {
  if (!DCS) return CLR_INVALID;
  COLORREF o = DCS->bk;
  DCS->bk = c;
  return o;
}
COLORREF CDC::GetBkColor() const { return DCS ? DCS->bk : 0; }
int CDC::SetBkMode(int m) {
  if (!DCS) return 0;
  int o = DCS->bkMode;
  DCS->bkMode = m;
  return o;
}
int CDC::GetBkMode() const { return DCS ? DCS->bkMode : 0; }
int CDC::SetROP2(int m) {
  if (!DCS) return 0;
  int o = DCS->rop2;
  DCS->rop2 = m;
  return o;
}
int CDC::GetROP2() const { return DCS ? DCS->rop2 : 0; }
int CDC::SetStretchBltMode(int m) {
  if (!DCS) return 0;
  int o = DCS->stretch;
  DCS->stretch = m;
  return o;
}
int CDC::GetStretchBltMode() const { return DCS ? DCS->stretch : 0; }
UINT CDC::SetTextAlign(UINT f) {
  if (!DCS) return 0;
  UINT o = (UINT)DCS->align;
  DCS->align = (int)f;
  return o;
}
UINT CDC::GetTextAlign() const { return DCS ? (UINT)DCS->align : 0; }
int CDC::SetPolyFillMode(int m) {
  if (!DCS) return 0;
  int o = DCS->polyFill;
  DCS->polyFill = m;
  return o;
}
int CDC::SetMapMode(int m) {
  if (!DCS) return 0;
  int o = DCS->mapMode;
  DCS->mapMode = m;
  return o;
}
int CDC::GetMapMode() const { return DCS ? DCS->mapMode : MM_TEXT; }
CPoint CDC::SetViewportOrg(int x, int y) {
  if (!DCS) return CPoint();
  QPoint o = DCS->viewportOrg;
  DCS->viewportOrg = QPoint(x, y);
  return CPoint(o.x(), o.y());
}
CPoint CDC::GetViewportOrg() const { return DCS ? CPoint(DCS->viewportOrg.x(), DCS->viewportOrg.y()) : CPoint(); }
CPoint CDC::OffsetViewportOrg(int w, int h) {
  CPoint o = GetViewportOrg();
  SetViewportOrg(o.x + w, o.y + h);
  return o;
}
CPoint CDC::SetWindowOrg(int x, int y) {
  if (!DCS) return CPoint();
  QPoint o = DCS->windowOrg;
  DCS->windowOrg = QPoint(x, y);
  return CPoint(o.x(), o.y());
}
CPoint CDC::GetWindowOrg() const { return DCS ? CPoint(DCS->windowOrg.x(), DCS->windowOrg.y()) : CPoint(); }
CPoint CDC::SetBrushOrg(int x, int y) {
  if (!DCS) return CPoint();
  QPoint o = DCS->brushOrg;
  DCS->brushOrg = QPoint(x, y);
  return CPoint(o.x(), o.y());
}
COLORREF CDC::SetDCBrushColor(COLORREF c) {
  if (!DCS) return CLR_INVALID;
  COLORREF o = DCS->dcBrush;
  DCS->dcBrush = c;
  return o;
}
COLORREF CDC::SetDCPenColor(COLORREF c) {
  if (!DCS) return CLR_INVALID;
  COLORREF o = DCS->dcPen;
  DCS->dcPen = c;
  return o;
}
void CDC::LPtoDP(LPPOINT p, int n) const {
  if (!DCS) return;
  QPoint d = DCS->viewportOrg - DCS->windowOrg;
  for (int i = 0; i < n; ++i) {
    p[i].x += d.x();
    p[i].y += d.y();
  }
}
void CDC::LPtoDP(LPRECT r) const { LPtoDP((LPPOINT)r, 2); }
void CDC::DPtoLP(LPPOINT p, int n) const {
  if (!DCS) return;
  QPoint d = DCS->viewportOrg - DCS->windowOrg;
  for (int i = 0; i < n; ++i) {
    p[i].x -= d.x();
    p[i].y -= d.y();
  }
}
void CDC::DPtoLP(LPRECT r) const { DPtoLP((LPPOINT)r, 2); }

// ---- Clipping (regions are in device coordinates, as on the platform) ----
static int clipKind(AfxDcState* s) {
  bool any = false;
  QRegion r = effectiveClip(s, &any);
  if (!any) return SIMPLEREGION;
  return rgnKind(r);
}

int CDC::SelectClipRgn(CRgn* pRgn) { return SelectClipRgn(pRgn, RGN_COPY); }
int CDC::SelectClipRgn(CRgn* pRgn, int mode) {
  AfxDcState* s = DCS;
  if (!s) return ERROR;
  AfxRgnData* r = pRgn ? rgnOf(pRgn->m_hObject) : nullptr;
  if (mode == RGN_COPY) {
    s->hasClip = r != nullptr;
    s->clip = r ? r->rgn : QRegion();
  } else {
    if (!r) return ERROR;
    QRegion cur = s->hasClip ? s->clip : QRegion(-100000, -100000, 200000, 200000);
    switch (mode) {
      case RGN_AND: cur &= r->rgn; break;
      case RGN_OR: cur |= r->rgn; break;
      case RGN_XOR: cur ^= r->rgn; break;
      case RGN_DIFF: cur -= r->rgn; break;
    }
    s->hasClip = true;
    s->clip = cur;
  }
  applyClip(s);
  return clipKind(s);
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
  AfxDcState* s = DCS;
  if (!s) return ERROR;
  QRegion r(qrect(x1, y1, x2, y2).translated(s->viewportOrg - s->windowOrg));
  s->clip = s->hasClip ? (s->clip & r) : r;
  s->hasClip = true;
  applyClip(s);
  return clipKind(s);
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) {
  AfxDcState* s = DCS;
  if (!s) return ERROR;
  QRegion r(qrect(x1, y1, x2, y2).translated(s->viewportOrg - s->windowOrg));
  QRegion base =
      s->hasClip ? s->clip
                 : QRegion(QRect(QPoint(0, 0), s->device ? QSize(s->device->width(), s->device->height()) : QSize(1, 1))
                               .translated(-s->deviceOffset));
  s->clip = base - r;
  s->hasClip = true;
  applyClip(s);
  return clipKind(s);
}

int CDC::GetClipBox(LPRECT lpRect) const {
  AfxDcState* s = DCS;
  if (!s || !lpRect) return ERROR;
  bool any = false;
  QRegion r = effectiveClip(s, &any);
  QRect dev = QRect(QPoint(0, 0), s->device ? QSize(s->device->width(), s->device->height()) : QSize(1, 1));
  QRect b = any ? r.boundingRect() & dev : dev;
  b.translate(-origin(s));
  ::SetRect(lpRect, b.left(), b.top(), b.left() + b.width(), b.top() + b.height());
  return any ? rgnKind(r) : SIMPLEREGION;
}

BOOL CDC::PtVisible(int x, int y) const {
  RECT r;
  GetClipBox(&r);
  POINT p{x, y};
  return ::PtInRect(&r, p);
}

BOOL CDC::RectVisible(LPCRECT lpRect) const {
  RECT r, i;
  GetClipBox(&r);
  return ::IntersectRect(&i, &r, lpRect);
}

// ---- Lines and shapes ----
CPoint CDC::MoveTo(int x, int y) {
  AfxDcState* s = DCS;
  if (!s) return CPoint();
  QPoint o = s->cur;
  s->cur = QPoint(x, y);
  if (s->inPath) s->path.moveTo(x, y);
  return CPoint(o.x(), o.y());
}

CPoint CDC::GetCurrentPosition() const { return DCS ? CPoint(DCS->cur.x(), DCS->cur.y()) : CPoint(); }

static void drawLineExclusive(AfxDcState* s, QPoint a, QPoint b) {
  QPainter& p = P(s);
  QPen pen = qpen(s);
  p.setPen(pen);
  if (a == b) return;
  // A one-pixel pen with flat caps leaves out the last point, as the platform does.
  p.drawLine(a, b);
}

BOOL CDC::LineTo(int x, int y) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QPoint a = s->cur, b(x, y);
  s->cur = b;
  if (s->inPath) {
    s->path.lineTo(x, y);
    return TRUE;
  }
  if (hasPen(s)) drawLineExclusive(s, a, b);
  return TRUE;
}

BOOL CDC::Polyline(const POINT* pts, int n) {
  if (!DCS || n < 2) return FALSE;
  QPoint keep = DCS->cur;
  if (DCS->inPath) {
    DCS->path.moveTo(pts[0].x, pts[0].y);
    for (int i = 1; i < n; ++i) DCS->path.lineTo(pts[i].x, pts[i].y);
    return TRUE;
  }
  DCS->cur = QPoint(pts[0].x, pts[0].y);
  for (int i = 1; i < n; ++i) LineTo(pts[i].x, pts[i].y);
  DCS->cur = keep;  // Polyline leaves the current position alone
  return TRUE;
}

BOOL CDC::PolylineTo(const POINT* pts, int n) {
  for (int i = 0; i < n; ++i) LineTo(pts[i].x, pts[i].y);
  return TRUE;
}

static QPolygon poly(const POINT* pts, int n) {
  QPolygon q;
  for (int i = 0; i < n; ++i) q << QPoint(pts[i].x, pts[i].y);
  return q;
}

BOOL CDC::Polygon(const POINT* pts, int n) {
  AfxDcState* s = DCS;
  if (!s || n < 2) return FALSE;
  QPolygon q = poly(pts, n);
  if (s->inPath) {
    s->path.addPolygon(q);
    s->path.closeSubpath();
    return TRUE;
  }
  QPainter& p = P(s);
  Qt::FillRule rule = s->polyFill == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  if (hasBrush(s)) {
    p.setPen(Qt::NoPen);
    p.setBrush(qbrush(s));
    p.drawPolygon(q, rule);
  }
  if (hasPen(s)) {
    p.setPen(qpen(s));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(q, rule);
  }
  return TRUE;
}

BOOL CDC::PolyPolygon(const POINT* pts, const INT* counts, int n) {
  for (int i = 0, k = 0; i < n; k += counts[i], ++i) Polygon(pts + k, counts[i]);
  return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRect r = qrect(x1, y1, x2, y2);
  if (s->inPath) {
    s->path.addRect(r);
    return TRUE;
  }
  if (r.width() < 1 || r.height() < 1) return TRUE;
  bool pen = hasPen(s);
  int w = pen ? std::max(1, penOf(s)->width) : 0;
  if (hasBrush(s)) {
    QRect inner = pen ? r.adjusted(1, 1, -1, -1) : r;
    fillRectDev(s, inner, qbrush(s));
  }
  if (pen) {
    QPainter& p = P(s);
    QPen q = qpen(s);
    p.setBrush(Qt::NoBrush);
    if (w <= 1) {
      p.setPen(q);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      q.setJoinStyle(Qt::MiterJoin);
      p.setPen(q);
      p.drawRect(QRectF(r).adjusted(0, 0, -1, -1));
    }
  }
  return TRUE;
}

BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRectF r(qrect(x1, y1, x2, y2).adjusted(0, 0, -1, -1));
  QPainter& p = P(s);
  p.setBrush(hasBrush(s) ? qbrush(s) : QBrush(Qt::NoBrush));
  p.setPen(hasPen(s) ? qpen(s) : QPen(Qt::NoPen));
  p.drawRoundedRect(r, x3 / 2.0, y3 / 2.0);
  return TRUE;
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRect r = qrect(x1, y1, x2, y2);
  if (s->inPath) {
    s->path.addEllipse(r);
    return TRUE;
  }
  QPainter& p = P(s);
  p.setBrush(hasBrush(s) ? qbrush(s) : QBrush(Qt::NoBrush));
  p.setPen(hasPen(s) ? qpen(s) : QPen(Qt::NoPen));
  p.drawEllipse(QRectF(r).adjusted(0, 0, -1, -1));
  return TRUE;
}

static void arcAngles(QRect r, int x3, int y3, int x4, int y4, int* start, int* span) {
  QPointF c = QRectF(r).center();
  double a1 = std::atan2(-(y3 - c.y()), x3 - c.x()) * 180.0 / M_PI;
  double a2 = std::atan2(-(y4 - c.y()), x4 - c.x()) * 180.0 / M_PI;
  double sp = a2 - a1;
  while (sp <= 0) sp += 360;  // counter-clockwise from start to end
  *start = (int)std::lround(a1 * 16);
  *span = (int)std::lround(sp * 16);
}

BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRect r = qrect(x1, y1, x2, y2);
  int a, sp;
  arcAngles(r, x3, y3, x4, y4, &a, &sp);
  QPainter& p = P(s);
  p.setBrush(hasBrush(s) ? qbrush(s) : QBrush(Qt::NoBrush));
  p.setPen(hasPen(s) ? qpen(s) : QPen(Qt::NoPen));
  p.drawPie(QRectF(r).adjusted(0, 0, -1, -1), a, sp);
  return TRUE;
}

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  AfxDcState* s = DCS;
  if (!s || !hasPen(s)) return FALSE;
  QRect r = qrect(x1, y1, x2, y2);
  int a, sp;
  arcAngles(r, x3, y3, x4, y4, &a, &sp);
  QPainter& p = P(s);
  p.setPen(qpen(s));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(r).adjusted(0, 0, -1, -1), a, sp);
  return TRUE;
}

BOOL CDC::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRect r = qrect(x1, y1, x2, y2);
  int a, sp;
  arcAngles(r, x3, y3, x4, y4, &a, &sp);
  QPainter& p = P(s);
  p.setBrush(hasBrush(s) ? qbrush(s) : QBrush(Qt::NoBrush));
  p.setPen(hasPen(s) ? qpen(s) : QPen(Qt::NoPen));
  p.drawChord(QRectF(r).adjusted(0, 0, -1, -1), a, sp);
  return TRUE;
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
  AfxDcState* s = DCS;
  if (!s || !lpRect || !pBrush) return;
  int keep = s->rop2;
  s->rop2 = R2_COPYPEN;  // FillRect ignores the mix mode
  fillRectDev(s, qrect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom), qbrush(s, pBrush->m_hObject));
  s->rop2 = keep;
}

void CDC::FillSolidRect(LPCRECT r, COLORREF clr) {
  AfxDcState* s = DCS;
  if (!s || !r) return;
  // As on the platform, through the background colour, which it leaves set.
  s->bk = clr;
  int keep = s->rop2;
  s->rop2 = R2_COPYPEN;
  fillRectDev(s, qrect(r->left, r->top, r->right, r->bottom), QBrush(AfxQColor(clr)));
  s->rop2 = keep;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  CRect r(x, y, x + cx, y + cy);
  FillSolidRect(&r, clr);
}

void CDC::FrameRect(LPCRECT r, CBrush* pBrush) {
  if (!r || !pBrush || r->right <= r->left || r->bottom <= r->top) return;
  CRect a(r->left, r->top, r->right, r->top + 1), b(r->left, r->bottom - 1, r->right, r->bottom),
      c(r->left, r->top, r->left + 1, r->bottom), d(r->right - 1, r->top, r->right, r->bottom);
  FillRect(&a, pBrush);
  FillRect(&b, pBrush);
  FillRect(&c, pBrush);
  FillRect(&d, pBrush);
}

void CDC::InvertRect(LPCRECT r) { PatBlt(r->left, r->top, r->right - r->left, r->bottom - r->top, DSTINVERT); }

void CDC::Draw3dRect(LPCRECT r, COLORREF tl, COLORREF br) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, tl, br);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF tl, COLORREF br) {
  FillSolidRect(x, y, cx - 1, 1, tl);
  FillSolidRect(x, y, 1, cy - 1, tl);
  FillSolidRect(x + cx, y, -1, cy, br);
  FillSolidRect(x, y + cy, cx, -1, br);
}

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) {
  if (!lpRect) return FALSE;
  CRect r(lpRect);
  COLORREF bk = DCS ? DCS->bk : 0;
  auto line = [&](UINT outer, UINT inner, bool isOuter) {
    COLORREF tl, brc;
    UINT b = isOuter ? outer : inner;
    if (!b) return;
    bool raised = isOuter ? (b & BDR_RAISEDOUTER) : (b & BDR_RAISEDINNER);
    if (nFlags & BF_MONO) {
      tl = brc = GetSysColor(COLOR_WINDOWFRAME);
    } else if (nFlags & BF_FLAT) {
      tl = brc = GetSysColor(isOuter ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    } else if (isOuter) {
      tl = GetSysColor(raised ? COLOR_3DLIGHT : COLOR_3DSHADOW);
      brc = GetSysColor(raised ? COLOR_3DDKSHADOW : COLOR_3DHILIGHT);
      if (nFlags & BF_SOFT) tl = GetSysColor(raised ? COLOR_3DHILIGHT : COLOR_3DDKSHADOW);
    } else {
      tl = GetSysColor(raised ? COLOR_3DHILIGHT : COLOR_3DDKSHADOW);
      brc = GetSysColor(raised ? COLOR_3DSHADOW : COLOR_3DLIGHT);
      if (nFlags & BF_SOFT) tl = GetSysColor(raised ? COLOR_3DLIGHT : COLOR_3DSHADOW);
    }
    if (nFlags & BF_TOP) FillSolidRect(r.left, r.top, r.Width(), 1, tl);
    if (nFlags & BF_LEFT) FillSolidRect(r.left, r.top, 1, r.Height(), tl);
    if (nFlags & BF_BOTTOM) FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, brc);
    if (nFlags & BF_RIGHT) FillSolidRect(r.right - 1, r.top, 1, r.Height(), brc);
    if (nFlags & BF_LEFT) r.left++;
    if (nFlags & BF_TOP) r.top++;
    if (nFlags & BF_RIGHT) r.right--;
    if (nFlags & BF_BOTTOM) r.bottom--;
  };
  line(nEdge & BDR_OUTER, nEdge & BDR_INNER, true);
  line(nEdge & BDR_OUTER, nEdge & BDR_INNER, false);
  if (nFlags & BF_MIDDLE) FillSolidRect(&r, GetSysColor((nFlags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (DCS) DCS->bk = bk;
  if (nFlags & BF_ADJUST) *lpRect = r;
  return TRUE;
}

void CDC::DrawFocusRect(LPCRECT r) {
  AfxDcState* s = DCS;
  if (!s || !r) return;
  // A dotted frame drawn by inverting every other pixel, so drawing it twice removes it.
  closePainter(s);
  QImage* img = s->image;
  if (!img) return;
  QPoint o = origin(s);
  bool any = false;
  QRegion clip = effectiveClip(s, &any);
  auto inv = [&](int x, int y) {
    QPoint d(x + o.x(), y + o.y());
    if (!img->valid(d) || (any && !clip.contains(d))) return;
    img->setPixel(d, img->pixel(d) ^ 0x00FFFFFF);
  };
  for (int x = r->left; x < r->right; x += 2) {
    inv(x, r->top);
    inv(x, r->bottom - 1);
  }
  for (int y = r->top + 2 - ((r->bottom - r->top) % 2 ? 0 : 0); y < r->bottom - 1; y += 2) {
    inv(r->left, y);
    inv(r->right - 1, y);
  }
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
  AfxDcState* s = DCS;
  AfxRgnData* r = pRgn ? rgnOf(pRgn->m_hObject) : nullptr;
  if (!s || !r || !pBrush) return FALSE;
  QPainter& p = P(s);
  QBrush b = qbrush(s, pBrush->m_hObject);
  for (const QRect& rc : r->rgn) p.fillRect(rc, b);
  return TRUE;
}

BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int w, int h) {
  AfxRgnData* r = pRgn ? rgnOf(pRgn->m_hObject) : nullptr;
  if (!r || !pBrush) return FALSE;
  QRegion inner =
      r->rgn.translated(w, 0) & r->rgn.translated(-w, 0) & r->rgn.translated(0, h) & r->rgn.translated(0, -h);
  QRegion frame = r->rgn - inner;
  QPainter& p = P(DCS);
  QBrush b = qbrush(DCS, pBrush->m_hObject);
  for (const QRect& rc : frame) p.fillRect(rc, b);
  return TRUE;
}

BOOL CDC::PaintRgn(CRgn* pRgn) { return FillRgn(pRgn, GetCurrentBrush()); }

COLORREF CDC::SetPixel(int x, int y, COLORREF c) {
  AfxDcState* s = DCS;
  if (!s || !s->image) return CLR_INVALID;
  closePainter(s);
  QPoint d = QPoint(x, y) + origin(s);
  bool any = false;
  QRegion clip = effectiveClip(s, &any);
  if (!s->image->valid(d) || (any && !clip.contains(d))) return CLR_INVALID;
  s->image->setPixel(d, AfxQColor(c).rgb());
  return c & 0xFFFFFF;
}

COLORREF CDC::GetPixel(int x, int y) const {
  AfxDcState* s = DCS;
  if (!s || !s->image) return CLR_INVALID;
  QPoint d = QPoint(x, y) + origin(s);
  if (!s->image->valid(d)) return CLR_INVALID;
  return AfxColorRef(s->image->pixel(d));
}

// ---- Paths ----
BOOL CDC::BeginPath() {
  if (!DCS) return FALSE;
  DCS->inPath = true;
  DCS->pathDone = false;
  DCS->path = QPainterPath();
  DCS->path.moveTo(DCS->cur);
  return TRUE;
}
BOOL CDC::EndPath() {
  if (!DCS || !DCS->inPath) return FALSE;
  DCS->inPath = false;
  DCS->pathDone = true;
  return TRUE;
}
BOOL CDC::AbortPath() {
  if (!DCS) return FALSE;
  DCS->inPath = DCS->pathDone = false;
  DCS->path = QPainterPath();
  return TRUE;
}
BOOL CDC::CloseFigure() {
  if (!DCS || !DCS->inPath) return FALSE;
  DCS->path.closeSubpath();
  return TRUE;
}
static BOOL usePath(CDC* dc, bool fill, bool stroke) {
  AfxDcState* s = dc->GetState();
  if (!s || !s->pathDone) return FALSE;
  QPainterPath path = s->path;
  path.setFillRule(s->polyFill == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  QPainter& p = P(s);
  if (fill && hasBrush(s)) {
    p.setPen(Qt::NoPen);
    p.setBrush(qbrush(s));
    p.drawPath(path);
  }
  if (stroke && hasPen(s)) {
    p.setPen(qpen(s));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  s->pathDone = false;
  s->path = QPainterPath();
  return TRUE;
}
BOOL CDC::FillPath() { return usePath(this, true, false); }
BOOL CDC::StrokePath() { return usePath(this, false, true); }
BOOL CDC::StrokeAndFillPath() { return usePath(this, true, true); }
BOOL CDC::SelectClipPath(int nMode) {
  AfxDcState* s = DCS;
  if (!s || !s->pathDone) return FALSE;
  CRgn r;
  auto* d = track(new AfxRgnData);
  d->rgn = QRegion(s->path.toFillPolygon().toPolygon().translated(s->viewportOrg - s->windowOrg));
  r.Attach(AfxHandle(d));
  s->pathDone = false;
  s->path = QPainterPath();
  return SelectClipRgn(&r, nMode) != ERROR;
}

// ---- Blits ----
namespace {

// The pixels of a source DC, turned to what the destination expects.
QImage sourcePixels(AfxDcState* src, AfxDcState* dst, QRect srcRect) {
  QImage img =
      src->image ? src->image->copy(srcRect.translated(origin(src))) : QImage(srcRect.size(), QImage::Format_RGB32);
  if (!src->image) img.fill(Qt::black);
  bool srcMono =
      src->kind == AfxDcState::Memory && alive(src->bitmap) && static_cast<AfxBitmapData*>(AfxGdi(src->bitmap))->mono;
  bool dstMono =
      dst->kind == AfxDcState::Memory && alive(dst->bitmap) && static_cast<AfxBitmapData*>(AfxGdi(dst->bitmap))->mono;
  img = img.convertToFormat(QImage::Format_RGB32);
  if (srcMono && !dstMono) {
    QRgb fg = AfxQColor(dst->text).rgb(), bg = AfxQColor(dst->bk).rgb();
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x) line[x] = (line[x] & 0xFFFFFF) ? bg : fg;
    }
  } else if (!srcMono && dstMono) {
    QRgb key = AfxQColor(src->bk).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x) line[x] = ((line[x] & 0xFFFFFF) == key) ? 0xFFFFFFFF : 0xFF000000;
    }
  }
  return img;
}

// Applies a ternary raster operation pixel by pixel: the result bit for pattern p,
// source s and destination d is bit (p<<2 | s<<1 | d) of the operation's code byte.
void rop3(AfxDcState* dst, QRect dstDev, const QImage* src, DWORD rop) {
  QImage* img = dst->image;
  if (!img) return;
  closePainter(dst);
  BYTE code = (BYTE)(rop >> 16);
  bool usesP = ((code >> 4) & 0x0F) != (code & 0x0F);
  QImage pat;
  if (usesP) {
    pat = QImage(dstDev.size(), QImage::Format_RGB32);
    pat.fill(Qt::black);
    QPainter pp(&pat);
    QBrush b = qbrush(dst);
    b.setTransform(b.transform() * QTransform::fromTranslate(-dstDev.x(), -dstDev.y()));
    pp.fillRect(pat.rect(), b);
  }
  bool any = false;
  QRegion clip = effectiveClip(dst, &any);
  QRect area = dstDev & img->rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* dl = reinterpret_cast<QRgb*>(img->scanLine(y));
    const QRgb* sl = src ? reinterpret_cast<const QRgb*>(src->constScanLine(y - dstDev.top())) : nullptr;
    const QRgb* pl = usesP ? reinterpret_cast<const QRgb*>(pat.constScanLine(y - dstDev.top())) : nullptr;
    for (int x = area.left(); x <= area.right(); ++x) {
      if (any && !clip.contains(QPoint(x, y))) continue;
      quint32 D = dl[x], S = sl ? sl[x - dstDev.left()] : 0, Pp = pl ? pl[x - dstDev.left()] : 0;
      quint32 r = 0;
      for (int k = 0; k < 8; ++k) {
        if (!((code >> k) & 1)) continue;
        quint32 m = ((k & 4) ? Pp : ~Pp) & ((k & 2) ? S : ~S) & ((k & 1) ? D : ~D);
        r |= m;
      }
      dl[x] = 0xFF000000 | (r & 0xFFFFFF);
    }
  }
}

}  // namespace

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  QRect r = qrect(x, y, x + w, y + h);
  if (rop == PATCOPY) {
    int keep = s->rop2;
    s->rop2 = R2_COPYPEN;
    fillRectDev(s, r, qbrush(s));
    s->rop2 = keep;
    return TRUE;
  }
  if (rop == BLACKNESS || rop == WHITENESS) {
    fillRectDev(s, r, QBrush(rop == BLACKNESS ? Qt::black : Qt::white));
    return TRUE;
  }
  rop3(s, r.translated(origin(s)), nullptr, rop);
  return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  if (!pSrcDC || !pSrcDC->GetState()) return PatBlt(x, y, w, h, rop);
  if (w <= 0 || h <= 0) return TRUE;
  AfxDcState* src = pSrcDC->GetState();
  if (rop == SRCCOPY && src->image && src->image != s->image && src->image->format() == QImage::Format_RGB32) {
    // A plain copy between colour pictures is drawn from the source where it lies: no copy
    // of the source first (a whole window's picture each time the chart or a graph is shown).
    auto mono = [](const AfxDcState* d) {
      return d->kind == AfxDcState::Memory && alive(d->bitmap) && static_cast<AfxBitmapData*>(AfxGdi(d->bitmap))->mono;
    };
    const QRect sr = QRect(xSrc, ySrc, w, h).translated(origin(src));
    if (!mono(src) && !mono(s) && src->image->rect().contains(sr)) {
      QPainter& p = P(s);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(QPoint(x, y), *src->image, sr);
      return TRUE;
    }
  }
  QImage img = sourcePixels(src, s, QRect(xSrc, ySrc, w, h));
  if (img.size() != QSize(w, h)) {
    // Parts outside the source read as black.
    QImage full(w, h, QImage::Format_RGB32);
    full.fill(Qt::black);
    QRect want(xSrc, ySrc, w, h);
    QRect have = want.translated(origin(src)) & (src->image ? src->image->rect() : QRect());
    QPainter p(&full);
    if (src->image) p.drawImage(have.topLeft() - want.translated(origin(src)).topLeft(), src->image->copy(have));
    img = full;
  }
  if (rop == SRCCOPY) {
    QPainter& p = P(s);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(x, y), img);
    return TRUE;
  }
  rop3(s, QRect(x, y, w, h).translated(origin(s)), &img, rop);
  return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, int sw, int sh, DWORD rop) {
  AfxDcState* s = DCS;
  if (!s || !pSrcDC || !pSrcDC->GetState()) return FALSE;
  if (!w || !h || !sw || !sh) return TRUE;
  AfxDcState* src = pSrcDC->GetState();
  QRect sr = qrect(xSrc, ySrc, xSrc + sw, ySrc + sh);
  QImage img = sourcePixels(src, s, sr);
  bool mirrorX = (w < 0) != (sw < 0), mirrorY = (h < 0) != (sh < 0);
  QRect dr = qrect(x, y, x + w, y + h);
  img = img.scaled(dr.size(), Qt::IgnoreAspectRatio,
                   s->stretch == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation);
  if (mirrorX || mirrorY) img = img.mirrored(mirrorX, mirrorY);
  if (rop == SRCCOPY) {
    QPainter& p = P(s);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dr.topLeft(), img);
    return TRUE;
  }
  rop3(s, dr.translated(origin(s)), &img, rop);
  return TRUE;
}

BOOL CDC::TransparentBlt(int xd, int yd, int wd, int hd, CDC* pSrcDC, int xs, int ys, int ws, int hs, UINT key) {
  AfxDcState* s = DCS;
  if (!s || !pSrcDC || !pSrcDC->GetState()) return FALSE;
  QImage img = sourcePixels(pSrcDC->GetState(), s, QRect(xs, ys, ws, hs)).convertToFormat(QImage::Format_ARGB32);
  QRgb k = AfxQColor(key).rgb() & 0xFFFFFF;
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0xFFFFFF) == k) line[x] = 0;
  }
  if (QSize(wd, hd) != img.size()) img = img.scaled(wd, hd);
  QPainter& p = P(s);
  p.drawImage(QPoint(xd, yd), img);
  return TRUE;
}

BOOL CDC::AlphaBlend(int xd, int yd, int wd, int hd, CDC* pSrcDC, int xs, int ys, int ws, int hs, BLENDFUNCTION bf) {
  AfxDcState* s = DCS;
  if (!s || !pSrcDC || !pSrcDC->GetState()) return FALSE;
  AfxDcState* src = pSrcDC->GetState();
  if (!src->image) return FALSE;
  QImage img = src->image->copy(QRect(xs, ys, ws, hs).translated(origin(src)));
  if (bf.AlphaFormat & AC_SRC_ALPHA) img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
  if (QSize(wd, hd) != img.size()) img = img.scaled(wd, hd, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter& p = P(s);
  p.setOpacity(bf.SourceConstantAlpha / 255.0);
  p.drawImage(QPoint(xd, yd), img);
  p.setOpacity(1.0);
  return TRUE;
}

BOOL CDC::GradientFill(TRIVERTEX* v, ULONG nv, void* mesh, ULONG nm, DWORD mode) {
  AfxDcState* s = DCS;
  if (!s || !v || !mesh) return FALSE;
  QPainter& p = P(s);
  auto col = [](const TRIVERTEX& t) { return QColor(t.Red >> 8, t.Green >> 8, t.Blue >> 8); };
  if (mode == GRADIENT_FILL_RECT_H || mode == GRADIENT_FILL_RECT_V) {
    auto* rects = static_cast<GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < nm; ++i) {
      if (rects[i].UpperLeft >= nv || rects[i].LowerRight >= nv) continue;
      const TRIVERTEX& a = v[rects[i].UpperLeft];
      const TRIVERTEX& b = v[rects[i].LowerRight];
      QRect r = qrect(a.x, a.y, b.x, b.y);
      if (r.isEmpty()) continue;
      // One colour per pixel column (or row), stepping from the first to the last vertex.
      bool horz = mode == GRADIENT_FILL_RECT_H;
      int n = horz ? r.width() : r.height();
      QColor ca = col(a.x <= b.x || !horz ? a : b), cb = col(a.x <= b.x || !horz ? b : a);
      if (!horz && a.y > b.y) std::swap(ca, cb);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      for (int k = 0; k < n; ++k) {
        double t = n > 1 ? (double)k / (n - 1) : 0;
        QColor c((int)(ca.red() + (cb.red() - ca.red()) * t), (int)(ca.green() + (cb.green() - ca.green()) * t),
                 (int)(ca.blue() + (cb.blue() - ca.blue()) * t));
        if (horz)
          p.fillRect(QRect(r.left() + k, r.top(), 1, r.height()), c);
        else
          p.fillRect(QRect(r.left(), r.top() + k, r.width(), 1), c);
      }
    }
    return TRUE;
  }
  if (mode == GRADIENT_FILL_TRIANGLE) {
    auto* tris = static_cast<GRADIENT_TRIANGLE*>(mesh);
    for (ULONG i = 0; i < nm; ++i) {
      const TRIVERTEX& a = v[tris[i].Vertex1];
      const TRIVERTEX& b = v[tris[i].Vertex2];
      const TRIVERTEX& c = v[tris[i].Vertex3];
      QPolygon q;
      q << QPoint(a.x, a.y) << QPoint(b.x, b.y) << QPoint(c.x, c.y);
      QColor avg((col(a).red() + col(b).red() + col(c).red()) / 3,
                 (col(a).green() + col(b).green() + col(c).green()) / 3,
                 (col(a).blue() + col(b).blue() + col(c).blue()) / 3);
      p.setPen(Qt::NoPen);
      p.setBrush(avg);
      p.drawPolygon(q);
    }
    return TRUE;
  }
  return FALSE;
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush) {
  if (!pBitmap) return FALSE;
  CDC mem;
  mem.CreateCompatibleDC(this);
  CBitmap* old = mem.SelectObject(pBitmap);
  if (nFlags & DSS_DISABLED) {
    BitBlt(pt.x + 1, pt.y + 1, size.cx, size.cy, &mem, 0, 0, SRCAND);
  } else if ((nFlags & DSS_MONO) && pBrush) {
    CBrush* ob = SelectObject(pBrush);
    BitBlt(pt.x, pt.y, size.cx, size.cy, &mem, 0, 0, 0x00B8074A);
    SelectObject(ob);
  } else {
    BitBlt(pt.x, pt.y, size.cx, size.cy, &mem, 0, 0, SRCCOPY);
  }
  mem.SelectObject(old);
  return TRUE;
}

// ---- Text ----
namespace {

QFont fontFor(AfxDcState* s) {
  if (!alive(s->font)) return AfxMakeQFont(LOGFONT{-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"});
  return fontOf(s)->qfont;
}

int escapementOf(AfxDcState* s) { return alive(s->font) ? (int)fontOf(s)->lf.lfEscapement : 0; }

// Draws one run of text with its cell's top-left at (x, y) in logical coordinates.
void drawRun(AfxDcState* s, int x, int y, const QString& text, const QFont& f, int underlineIndex = -1) {
  QPainter& p = P(s);
  QFontMetrics fm(f);
  int width = fm.horizontalAdvance(text);
  int esc = escapementOf(s);
  p.save();
  p.translate(x, y);
  if (esc) p.rotate(-esc / 10.0);
  if (s->bkMode == OPAQUE) p.fillRect(QRect(0, 0, width, fm.height()), AfxQColor(s->bk));
  p.setFont(f);
  p.setPen(AfxQColor(s->text));
  p.drawText(QPoint(0, fm.ascent()), text);
  if (underlineIndex >= 0 && underlineIndex < text.size()) {
    int ux = fm.horizontalAdvance(text.left(underlineIndex));
    int uw = fm.horizontalAdvance(text.mid(underlineIndex, 1));
    p.fillRect(QRect(ux, fm.ascent() + 1, std::max(1, uw), 1), AfxQColor(s->text));
  }
  p.restore();
}

}  // namespace

std::function<void(const CString&)>& AfxTextHook() {
  static std::function<void(const CString&)> hook;
  return hook;
}

BOOL CDC::TextOut(int x, int y, LPCTSTR str, int n) {
  return ExtTextOut(x, y, 0, nullptr, str, (UINT)std::max(0, n), nullptr);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rc, LPCTSTR str, UINT n, LPINT) {
  AfxDcState* s = DCS;
  if (!s) return FALSE;
  if ((options & ETO_OPAQUE) && rc) {
    int keep = s->rop2;
    s->rop2 = R2_COPYPEN;
    fillRectDev(s, qrect(rc->left, rc->top, rc->right, rc->bottom), QBrush(AfxQColor(s->bk)));
    s->rop2 = keep;
  }
  if (!str || !n) return TRUE;
  if (AfxTextHook()) AfxTextHook()(CString(str, (int)n));
  QString text = qtext(str, (int)n);
  QFont f = fontFor(s);
  QFontMetrics fm(f);
  int w = fm.horizontalAdvance(text);
  if (s->align & TA_UPDATECP) {
    x = s->cur.x();
    y = s->cur.y();
  }
  int dx = 0, dy = 0;
  int ha = s->align & (TA_CENTER | TA_RIGHT);
  if (ha == TA_CENTER)
    dx = -w / 2;
  else if (ha == TA_RIGHT)
    dx = -w;
  int va = s->align & TA_BASELINE;
  if (va == TA_BASELINE)
    dy = -fm.ascent();
  else if (va == TA_BOTTOM)
    dy = -fm.height();
  // Offsets follow the text's direction when it is rotated.
  double a = escapementOf(s) / 10.0 * M_PI / 180.0;
  int ox = (int)std::lround(dx * std::cos(a) + dy * std::sin(a));
  int oy = (int)std::lround(-dx * std::sin(a) + dy * std::cos(a));
  bool clip = (options & ETO_CLIPPED) && rc;
  if (clip) {
    QPainter& p = P(s);
    p.save();
    p.setClipRect(qrect(rc->left, rc->top, rc->right, rc->bottom), Qt::IntersectClip);
  }
  drawRun(s, x + ox, y + oy, text, f);
  if (clip) s->painter.restore();
  if (s->align & TA_UPDATECP) {
    if (ha == TA_LEFT)
      s->cur = QPoint(x + w, y);
    else if (ha == TA_RIGHT)
      s->cur = QPoint(x - w, y);
  }
  return TRUE;
}

CSize CDC::GetTextExtent(LPCTSTR str, int n) const {
  AfxDcState* s = DCS;
  if (!s) return CSize();
  QFont f = fontFor(s);
  QFontMetrics fm(f);
  return CSize(fm.horizontalAdvance(qtext(str, n)), fm.height());
}

CSize CDC::GetTabbedTextExtent(LPCTSTR str, int n, int, LPINT) const {
  AfxDcState* s = DCS;
  if (!s) return CSize();
  QFont f = fontFor(s);
  QFontMetrics fm(f);
  QString t = qtext(str, n);
  t.replace('\t', QString(8, ' '));
  return CSize(fm.horizontalAdvance(t), fm.height());
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC tm) const {
  AfxDcState* s = DCS;
  if (!s || !tm) return FALSE;
  QFont f = fontFor(s);
  QFontMetrics fm(f);
  std::memset(tm, 0, sizeof(*tm));
  tm->tmAscent = fm.ascent();
  tm->tmDescent = fm.descent();
  tm->tmHeight = fm.height();
  tm->tmInternalLeading = std::max(0, fm.height() - f.pixelSize());
  tm->tmExternalLeading = std::max(0, fm.leading());
  tm->tmAveCharWidth = fm.averageCharWidth();
  tm->tmMaxCharWidth = fm.maxWidth();
  tm->tmWeight = alive(s->font) ? (fontOf(s)->lf.lfWeight ? fontOf(s)->lf.lfWeight : FW_NORMAL) : FW_NORMAL;
  tm->tmItalic = f.italic();
  tm->tmUnderlined = f.underline();
  tm->tmStruckOut = f.strikeOut();
  tm->tmFirstChar = 32;
  tm->tmLastChar = 126;
  tm->tmDefaultChar = '?';
  tm->tmBreakChar = ' ';
  tm->tmPitchAndFamily = QFontInfo(f).fixedPitch() ? 0 : 1;  // the platform's bit means variable pitch
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  return TRUE;
}

int CDC::GetTextFace(int n, LPTSTR face) const {
  AfxDcState* s = DCS;
  if (!s || !face || n <= 0) return 0;
  std::snprintf(face, (size_t)n, "%s", alive(s->font) ? fontOf(s)->lf.lfFaceName : "System");
  return (int)std::strlen(face);
}

BOOL CDC::GetCharWidth(UINT first, UINT last, LPINT buf) const {
  AfxDcState* s = DCS;
  if (!s || !buf) return FALSE;
  QFontMetrics fm(fontFor(s));
  for (UINT c = first; c <= last; ++c) buf[c - first] = fm.horizontalAdvance(QChar((char16_t)c));
  return TRUE;
}

int CDC::SetTextCharacterExtra(int) { return 0; }

namespace {

struct TextLine {
  QString text;
  int underline = -1;
};

// Takes the prefix characters out of a line, remembering which character is underlined.
QString stripPrefix(const QString& in, UINT fmt, int* ul) {
  bool prefix = !(fmt & DT_NOPREFIX);
  QString out;
  *ul = -1;
  for (int i = 0; i < in.size(); ++i) {
    if (prefix && in[i] == '&') {
      if (i + 1 < in.size() && in[i + 1] == '&') {
        out += '&';
        ++i;
        continue;
      }
      if (i + 1 < in.size() && *ul < 0 && !(fmt & DT_HIDEPREFIX)) *ul = out.size();
      continue;
    }
    out += in[i];
  }
  return out;
}

// Breaks a paragraph at spaces; a word longer than the line stays whole.
void breakWords(const QString& plain, int ul, const QFontMetrics& fm, int width, std::vector<TextLine>* lines) {
  int pos = 0;
  if (plain.isEmpty()) lines->push_back(TextLine{QString(), -1});
  while (pos < plain.size()) {
    int end = pos, lastBreak = -1;
    while (end < plain.size()) {
      if (plain[end] == ' ') lastBreak = end;
      if (fm.horizontalAdvance(plain.mid(pos, end - pos + 1)) > width && end > pos) break;
      ++end;
    }
    int take;
    if (end >= plain.size())
      take = plain.size() - pos;
    else if (lastBreak >= pos)
      take = lastBreak - pos;
    else {
      // No space on the line: the word runs on to its end.
      int e = end;
      while (e < plain.size() && plain[e] != ' ') ++e;
      take = e - pos;
    }
    TextLine ln{plain.mid(pos, take), -1};
    if (ul >= pos && ul < pos + take) ln.underline = ul - pos;
    while (ln.text.endsWith(' ')) ln.text.chop(1);
    lines->push_back(ln);
    pos += take;
    while (pos < plain.size() && plain[pos] == ' ') ++pos;
  }
}

// The lines of a text: its paragraphs, without prefixes, broken to the width when asked.
std::vector<TextLine> textLines(const QString& text, UINT fmt, const QFontMetrics& fm, int width) {
  QStringList paragraphs;
  if (fmt & DT_SINGLELINE) {
    QString t = text;
    t.replace("\r\n", " ").replace('\n', ' ').replace('\r', ' ');
    paragraphs << t;
  } else {
    QString t = text;
    t.replace("\r\n", "\n").replace('\r', '\n');
    paragraphs = t.split('\n');
  }
  std::vector<TextLine> lines;
  for (const QString& para : paragraphs) {
    int ul = -1;
    QString plain = stripPrefix(para, fmt, &ul);
    if ((fmt & DT_WORDBREAK) && !(fmt & DT_SINGLELINE))
      breakWords(plain, ul, fm, width, &lines);
    else
      lines.push_back(TextLine{plain, ul});
  }
  return lines;
}

// Shortens the lines wider than the width with an ellipsis, at the end or in the middle.
void elide(std::vector<TextLine>* lines, UINT fmt, const QFontMetrics& fm, int width) {
  Qt::TextElideMode mode = (fmt & DT_PATH_ELLIPSIS) ? Qt::ElideMiddle : Qt::ElideRight;
  for (TextLine& ln : *lines) {
    if (fm.horizontalAdvance(ln.text) <= width) continue;
    // The platform's ellipsis is three full stops.
    QString t = ln.text;
    int n = t.size();
    QString out;
    if (mode == Qt::ElideRight) {
      while (n > 0 && fm.horizontalAdvance(t.left(n) + "...") > width) --n;
      out = t.left(n) + "...";
    } else {
      int keepL = t.size() / 2, keepR = t.size() - keepL;
      while ((keepL > 0 || keepR > 0) && fm.horizontalAdvance(t.left(keepL) + "..." + t.right(keepR)) > width) {
        if (keepL >= keepR && keepL > 0)
          --keepL;
        else if (keepR > 0)
          --keepR;
      }
      out = t.left(keepL) + "..." + t.right(keepR);
    }
    if (ln.underline >= n) ln.underline = -1;
    ln.text = out;
    // DT_MODIFYSTRING is not written back: the program's strings are read-only here.
  }
}

}  // namespace

// DrawText: lines, word breaks, prefixes, ellipses and alignment as the platform does them.
int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT fmt) {
  AfxDcState* s = DCS;
  if (!s || !lpRect) return 0;
  if (AfxTextHook() && !(fmt & DT_CALCRECT) && lpszString)
    AfxTextHook()(nCount < 0 ? CString(lpszString) : CString(lpszString, nCount));
  QString text = qtext(lpszString, nCount);
  QFont f = fontFor(s);
  QFontMetrics fm(f);
  int lineH = fm.height() + ((fmt & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
  if (fmt & DT_EXPANDTABS) text.replace('\t', QString(8, ' '));
  int width = lpRect->right - lpRect->left;
  std::vector<TextLine> lines = textLines(text, fmt, fm, width);
  if (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) elide(&lines, fmt, fm, width);
  int maxW = 0;
  for (const TextLine& ln : lines) maxW = std::max(maxW, fm.horizontalAdvance(ln.text));
  int total = lineH * (int)lines.size();
  if (fmt & DT_CALCRECT) {
    lpRect->right = lpRect->left + maxW;
    lpRect->bottom = lpRect->top + total;
    return total;
  }
  int y = lpRect->top;
  if (fmt & DT_SINGLELINE) {
    if (fmt & DT_VCENTER)
      y = lpRect->top + (lpRect->bottom - lpRect->top - lineH) / 2;
    else if (fmt & DT_BOTTOM)
      y = lpRect->bottom - lineH;
  }
  QPainter& p = P(s);
  bool clip = !(fmt & DT_NOCLIP);
  if (clip) {
    p.save();
    p.setClipRect(qrect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom), Qt::IntersectClip);
  }
  int keepEsc = 0;
  if (alive(s->font)) {
    keepEsc = fontOf(s)->lf.lfEscapement;
    fontOf(s)->lf.lfEscapement = 0;  // DrawText does not rotate
  }
  for (const TextLine& ln : lines) {
    int w = fm.horizontalAdvance(ln.text);
    int x = lpRect->left;
    if (fmt & DT_CENTER)
      x = lpRect->left + (width - w) / 2;
    else if (fmt & DT_RIGHT)
      x = lpRect->right - w;
    if (!(fmt & DT_PREFIXONLY)) drawRun(s, x, y, ln.text, f, ln.underline);
    y += lineH;
  }
  if (alive(s->font)) fontOf(s)->lf.lfEscapement = keepEsc;
  if (clip) s->painter.restore();
  if ((fmt & DT_SINGLELINE) && (fmt & (DT_VCENTER | DT_BOTTOM))) return y - lpRect->top;
  return total;
}

// ---- Printing: the DC itself is the page; the document calls only count pages ----
int CDC::StartDoc(LPCTSTR) { return 1; }
int CDC::EndDoc() { return 1; }
int CDC::StartPage() { return 1; }
int CDC::EndPage() { return 1; }
int CDC::AbortDoc() { return 1; }

// ---- Window DC classes ----
CPaintDC::CPaintDC(CWnd* pWnd) {
  m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  HDC h = ::BeginPaint(m_hWnd, &m_ps);
  CDC* inner = CDC::FromHandle(h);
  if (inner) {
    // Take over the state of the DC BeginPaint made, so this object is the DC.
    m_pState = AfxDcAccess::Take(inner);
    m_hDC = reinterpret_cast<HDC>(this);
    m_hAttribDC = m_hDC;
    delete inner;
    m_ps.hdc = m_hDC;
  }
}

CPaintDC::~CPaintDC() {
  if (m_pState) closePainter(m_pState.get());
  if (m_hWnd && AfxRec(m_hWnd)) {
    const RECT& r = m_ps.rcPaint;
    AfxWindowPixelsChanged(m_hWnd, QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  }
}

CClientDC::CClientDC(CWnd* pWnd) {
  m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  AfxWndRec* r = AfxRec(m_hWnd);
  AfxDcAccess::Init(this, AfxDcState::Window);
  addRef(m_pState->pen);
  addRef(m_pState->brush);
  addRef(m_pState->font);
  m_pState->hwnd = m_hWnd;
  if (r) {
    m_pState->image = &AfxBacking(r);
    m_pState->device = m_pState->image;
  } else {
    m_pState->device = &defaultMonoImage();
  }
}

CClientDC::~CClientDC() {
  if (m_pState) closePainter(m_pState.get());
  if (AfxRec(m_hWnd)) AfxWindowPixelsChanged(m_hWnd, AfxBackingRect(AfxRec(m_hWnd)));
}

CWindowDC::CWindowDC(CWnd* pWnd) {
  m_hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
  AfxWndRec* r = AfxRec(m_hWnd);
  AfxDcAccess::Init(this, AfxDcState::Window);
  addRef(m_pState->pen);
  addRef(m_pState->brush);
  addRef(m_pState->font);
  m_pState->hwnd = m_hWnd;
  m_pState->windowDc = true;
  if (r) {
    m_pState->image = &AfxBacking(r);
    m_pState->device = m_pState->image;
    QMargins m = AfxNonClientMargins(r);
    m_pState->deviceOffset = QPoint(-m.left(), -m.top());
  } else {
    m_pState->device = &defaultMonoImage();
  }
}

CWindowDC::~CWindowDC() {
  if (m_pState) closePainter(m_pState.get());
  if (AfxRec(m_hWnd)) AfxWindowPixelsChanged(m_hWnd, AfxBackingRect(AfxRec(m_hWnd)));
}
