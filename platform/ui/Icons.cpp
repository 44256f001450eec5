#include "platform/ui/Icons.h"

#include "platform/core/AfxResource.h"
#include "platform/ui/SysInfo.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/UiResources.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QStyle>

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <tuple>

namespace {

// What an icon or cursor handle points at. System cursors are not objects: their handles are
// their IDC_* numbers (see LoadCursor), which no object's address can be.
struct IconData {
  QImage image;  // ARGB32, premultiplied
  QPoint hotspot;
  bool icon = true;
  bool shared = false;
};

std::mutex& lock() {
  static std::mutex m;
  return m;
}
// Every handle's data; what is left at exit (the shared handles) goes with it.
struct LiveSet : std::set<IconData*> {
  ~LiveSet() {
    for (IconData* d : *this) delete d;
  }
};
std::set<IconData*>& live() {
  static LiveSet s;
  return s;
}
// Shared handles by type, name and size.
std::map<std::tuple<int, std::string, int, int>, IconData*>& sharedHandles() {
  static std::map<std::tuple<int, std::string, int, int>, IconData*> m;
  return m;
}

IconData* dataOf(HICON h) {
  std::lock_guard<std::mutex> g(lock());
  auto* d = reinterpret_cast<IconData*>(h);
  return live().count(d) ? d : nullptr;
}

HICON handleOf(IconData* d) {
  std::lock_guard<std::mutex> g(lock());
  live().insert(d);
  return reinterpret_cast<HICON>(d);
}

std::string nameKey(LPCTSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string((unsigned)(uintptr_t)name);
  std::string s = name;
  for (char& c : s) c = (char)std::toupper((unsigned char)c);
  return s;
}

WORD word(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }
DWORD dword(const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); }

// One image of an icon or cursor resource: the picture with a header of twice the height,
// 32, 24 or 8 bits and fewer with a colour table, then the 1-bit mask (1 transparent).
bool decodeIconDib(const BYTE* p, DWORD size, QImage* out) {
  if (size < 40 || dword(p) < 40 || dword(p) > size) return false;
  const DWORD hdr = dword(p);
  const int w = (int)dword(p + 4);
  const int h2 = (int)dword(p + 8);
  const int bpp = word(p + 14);
  if (w <= 0 || w > 256 || h2 <= 0 || h2 > 512 || dword(p + 16) != 0) return false;
  const int h = h2 / 2;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
  DWORD colours = bpp <= 8 ? (dword(p + 32) ? dword(p + 32) : (1u << bpp)) : 0;
  if (colours > 256) return false;
  const size_t stride = (((size_t)w * bpp + 31) / 32) * 4;
  const size_t maskStride = (((size_t)w + 31) / 32) * 4;
  const size_t tableAt = hdr, pixelsAt = tableAt + colours * 4, maskAt = pixelsAt + stride * h;
  if (maskAt > size) return false;
  const bool hasMask = maskAt + maskStride * h <= size;
  QImage img(w, h, QImage::Format_ARGB32);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y) {
    const BYTE* row = p + pixelsAt + stride * (size_t)(h - 1 - y);
    for (int x = 0; x < w; ++x) {
      uint32_t argb = 0xFF000000u;
      if (bpp == 32) {
        argb = (uint32_t)row[x * 4 + 2] << 16 | (uint32_t)row[x * 4 + 1] << 8 | row[x * 4] |
               (uint32_t)row[x * 4 + 3] << 24;
        anyAlpha |= row[x * 4 + 3] != 0;
      } else if (bpp == 24) {
        argb |= (uint32_t)row[x * 3 + 2] << 16 | (uint32_t)row[x * 3 + 1] << 8 | row[x * 3];
      } else {
        int bit = x * bpp;
        int index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
        if ((DWORD)index < colours) {
          const BYTE* q = p + tableAt + (size_t)index * 4;
          argb |= (uint32_t)q[2] << 16 | (uint32_t)q[1] << 8 | q[0];
        }
      }
      img.setPixel(x, y, argb);
    }
  }
  // Pictures without an alpha channel take their transparency from the mask.
  if (!anyAlpha) {
    for (int y = 0; y < h; ++y) {
      const BYTE* m = hasMask ? p + maskAt + maskStride * (size_t)(h - 1 - y) : nullptr;
      for (int x = 0; x < w; ++x) {
        bool clear = m && (m[x / 8] & (0x80 >> (x % 8)));
        QRgb c = img.pixel(x, y);
        img.setPixel(x, y, clear ? 0u : (c | 0xFF000000u));
      }
    }
  }
  *out = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return true;
}

// Picks the image of a group nearest cx x cy (0: the largest) and decodes it.
IconData* loadFromResource(LPCTSTR name, bool icon, int cx, int cy) {
  AfxEnsureUiResources();
  HRSRC group = FindResource(nullptr, name, icon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (!group) return nullptr;
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
  DWORD dirSize = SizeofResource(nullptr, group);
  if (!dir || dirSize < 6 || word(dir) != 0 || word(dir + 2) != (icon ? 1 : 2)) return nullptr;
  int count = word(dir + 4);
  if (6 + 14u * (DWORD)count > dirSize) return nullptr;
  int best = -1;
  long bestScore = 0;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = dir + 6 + 14 * i;
    int w = icon ? (e[0] ? e[0] : 256) : word(e);
    int h = icon ? (e[1] ? e[1] : 256) : word(e + 2) / 2;
    int bits = word(e + 6);
    // Nearest size first, then the most colours.
    long score = cx > 0 ? -(long)(std::abs(w - cx) + std::abs(h - cy)) * 1000 + bits : (long)w * h * 1000 + bits;
    if (best < 0 || score > bestScore) {
      best = i;
      bestScore = score;
    }
  }
  if (best < 0) return nullptr;
  WORD imageId = word(dir + 6 + 14 * best + 12);
  HRSRC res = FindResource(nullptr, MAKEINTRESOURCE(imageId), icon ? RT_ICON : RT_CURSOR);
  if (!res) return nullptr;
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
  DWORD size = SizeofResource(nullptr, res);
  QPoint hot;
  if (!icon) {
    if (size < 4) return nullptr;
    hot = QPoint(word(p), word(p + 2));
    p += 4;
    size -= 4;
  }
  QImage img;
  if (!decodeIconDib(p, size, &img)) return nullptr;
  auto* d = new IconData;
  d->icon = icon;
  if (cx > 0 && cy > 0 && img.size() != QSize(cx, cy)) {
    hot = QPoint(hot.x() * cx / img.width(), hot.y() * cy / img.height());
    img = img.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  d->image = img;
  d->hotspot = hot;
  return d;
}

// The system's icons, drawn by the user-interface style.
IconData* systemIcon(uintptr_t id, int cx, int cy) {
  if (!QCoreApplication::instance()) return nullptr;
  QStyle::StandardPixmap sp;
  switch (id) {
    case 32513: sp = QStyle::SP_MessageBoxCritical; break;
    case 32514: sp = QStyle::SP_MessageBoxQuestion; break;
    case 32515: sp = QStyle::SP_MessageBoxWarning; break;
    case 32516: sp = QStyle::SP_MessageBoxInformation; break;
    case 32512:
    case 32517: sp = QStyle::SP_ComputerIcon; break;
    default: return nullptr;
  }
  QIcon qi = QApplication::style()->standardIcon(sp);
  QImage img = qi.pixmap(cx, cy).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (img.isNull()) {
    img = QImage(cx, cy, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
  }
  if (img.size() != QSize(cx, cy)) img = img.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  auto* d = new IconData;
  d->image = img;
  return d;
}

HICON loadShared(int kind, LPCTSTR name, int cx, int cy, bool system) {
  auto key = std::make_tuple(kind + (system ? 10 : 0), nameKey(name), cx, cy);
  {
    std::lock_guard<std::mutex> g(lock());
    auto it = sharedHandles().find(key);
    if (it != sharedHandles().end()) return reinterpret_cast<HICON>(it->second);
  }
  IconData* d = system ? systemIcon((uintptr_t)name, cx, cy) : loadFromResource(name, kind == IMAGE_ICON, cx, cy);
  if (!d) return nullptr;
  d->shared = true;
  HICON h = handleOf(d);
  std::lock_guard<std::mutex> g(lock());
  sharedHandles()[key] = d;
  return h;
}

bool destroy(HICON h) {
  std::lock_guard<std::mutex> g(lock());
  auto* d = reinterpret_cast<IconData*>(h);
  if (!live().count(d)) return false;
  if (d->shared) return true;  // shared handles live for the run
  live().erase(d);
  delete d;
  return true;
}

// A bitmap handle holding this picture (the caller owns it).
HBITMAP bitmapOf(const QImage& img) {
  CBitmap b;
  if (!b.CreateBitmap(img.width(), img.height(), 1, 32, nullptr)) return nullptr;
  static_cast<AfxBitmapData*>(AfxGdi(b.m_hObject))->image = img;
  return (HBITMAP)b.Detach();
}

}  // namespace

HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName) {
  int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  if (!hInstance && IS_INTRESOURCE(lpIconName) && (uintptr_t)lpIconName >= 32512)
    return loadShared(IMAGE_ICON, lpIconName, cx, cy, true);
  return loadShared(IMAGE_ICON, lpIconName, cx, cy, false);
}

HCURSOR AfxLoadCursorResource(LPCTSTR lpCursorName) {
  return loadShared(IMAGE_CURSOR, lpCursorName, GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR), false);
}

HANDLE LoadImage(HINSTANCE, LPCTSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  if (type == IMAGE_BITMAP) {
    CBitmap b;
    if (!b.LoadBitmap(name)) return nullptr;
    return (HANDLE)b.Detach();
  }
  if (type != IMAGE_ICON && type != IMAGE_CURSOR) return nullptr;
  if (fuLoad & LR_DEFAULTSIZE) {
    if (!cx) cx = GetSystemMetrics(type == IMAGE_ICON ? SM_CXICON : SM_CXCURSOR);
    if (!cy) cy = GetSystemMetrics(type == IMAGE_ICON ? SM_CYICON : SM_CYCURSOR);
  }
  if ((cx > 0) != (cy > 0)) {
    if (!cx) cx = cy;
    if (!cy) cy = cx;
  }
  if (fuLoad & LR_SHARED) return (HANDLE)loadShared((int)type, name, cx, cy, false);
  IconData* d = loadFromResource(name, type == IMAGE_ICON, cx, cy);
  return d ? (HANDLE)handleOf(d) : nullptr;
}

BOOL DestroyIcon(HICON hIcon) { return destroy(hIcon); }
BOOL DestroyCursor(HCURSOR hCursor) {
  if (IS_INTRESOURCE(hCursor)) return TRUE;  // a system cursor
  return destroy(hCursor);
}

HICON CopyIcon(HICON hIcon) {
  IconData* d = dataOf(hIcon);
  if (!d) return nullptr;
  auto* c = new IconData(*d);
  c->shared = false;
  return handleOf(c);
}

BOOL GetIconInfo(HICON hIcon, PICONINFO info) {
  IconData* d = dataOf(hIcon);
  if (!d || !info) return FALSE;
  info->fIcon = d->icon;
  info->xHotspot = (DWORD)(d->icon ? d->image.width() / 2 : d->hotspot.x());
  info->yHotspot = (DWORD)(d->icon ? d->image.height() / 2 : d->hotspot.y());
  QImage colour = d->image.convertToFormat(QImage::Format_RGB32);
  QImage mask(d->image.size(), QImage::Format_RGB32);
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      mask.setPixel(x, y, qAlpha(d->image.pixel(x, y)) ? 0xFF000000u : 0xFFFFFFFFu);
  info->hbmColor = bitmapOf(colour);
  info->hbmMask = bitmapOf(mask);
  return info->hbmColor && info->hbmMask;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON hIcon, int cx, int cy, UINT, HBRUSH brush, UINT flags) {
  IconData* d = dataOf(hIcon);
  CDC* dc = CDC::FromHandle(hdc);
  if (!d || !dc) return FALSE;
  if (!cx) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(d->icon ? SM_CXICON : SM_CXCURSOR) : d->image.width();
  if (!cy) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(d->icon ? SM_CYICON : SM_CYCURSOR) : d->image.height();
  if (brush) {
    CRect r(x, y, x + cx, y + cy);
    dc->FillRect(&r, CBrush::FromHandle(brush));
  }
  QImage img = d->image;
  if ((flags & DI_NORMAL) == DI_MASK) {
    QImage m(img.size(), QImage::Format_ARGB32_Premultiplied);
    for (int yy = 0; yy < img.height(); ++yy)
      for (int xx = 0; xx < img.width(); ++xx)
        m.setPixel(xx, yy, qAlpha(img.pixel(xx, yy)) ? 0xFF000000u : 0xFFFFFFFFu);
    img = m;
  }
  if (img.size() != QSize(cx, cy)) img = img.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  CBitmap tmp;
  if (!tmp.CreateBitmap(img.width(), img.height(), 1, 32, nullptr)) return FALSE;
  static_cast<AfxBitmapData*>(AfxGdi(tmp.m_hObject))->image = img;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  CBitmap* old = mem.SelectObject(&tmp);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  BOOL ok = dc->AlphaBlend(x, y, img.width(), img.height(), &mem, 0, 0, img.width(), img.height(), bf);
  mem.SelectObject(old);
  return ok;
}

BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) { return DrawIconEx(hDC, x, y, hIcon, 0, 0, 0, nullptr, DI_NORMAL); }

bool AfxQCursorOf(HCURSOR h, QCursor* out) {
  IconData* d = dataOf(h);
  if (!d) return false;
  *out = QCursor(QPixmap::fromImage(d->image), d->hotspot.x(), d->hotspot.y());
  return true;
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush) {
  IconData* d = dataOf(hIcon);
  if (!d || !m_hDC) return FALSE;
  const int cx = size.cx > 0 ? size.cx : d->image.width(), cy = size.cy > 0 ? size.cy : d->image.height();
  if (!(nFlags & (DSS_MONO | DSS_DISABLED))) return DrawIconEx(m_hDC, pt.x, pt.y, hIcon, cx, cy, 0, nullptr, DI_NORMAL);
  // The icon's shape in one colour, through a short-lived icon of its own.
  auto shape = [&](COLORREF clr, int dx) {
    auto* t = new IconData;
    t->image = d->image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QColor c = AfxQColor(clr);
    for (int y = 0; y < t->image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(t->image.scanLine(y));
      for (int x = 0; x < t->image.width(); ++x) {
        const int a = qAlpha(row[x]);
        row[x] = qRgba(c.red() * a / 255, c.green() * a / 255, c.blue() * a / 255, a);
      }
    }
    HICON h = handleOf(t);
    DrawIconEx(m_hDC, pt.x + dx, pt.y + dx, h, cx, cy, 0, nullptr, DI_NORMAL);
    DestroyIcon(h);
  };
  if (nFlags & DSS_MONO) {
    COLORREF clr = 0;
    if (pBrush && pBrush->m_hObject && AfxGdi(pBrush->m_hObject)->kind == AfxGdiData::Brush)
      clr = static_cast<AfxBrushData*>(AfxGdi(pBrush->m_hObject))->color;
    shape(clr, 0);
  } else {
    shape(::GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    shape(::GetSysColor(COLOR_BTNSHADOW), 0);
  }
  return TRUE;
}

QImage AfxIconImage(HICON h) {
  IconData* d = dataOf(h);
  return d ? d->image : QImage();
}
