#include "platform/ui/MetaFileDC.h"

#include "platform/core/AfxFile.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPicture>
#include <QTextItem>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

IMPLEMENT_DYNAMIC(CMetaFileDC, CDC)

struct HENHMETAFILE__ {
  std::vector<BYTE> bytes;
  std::shared_ptr<QPicture> picture;  // the drawing, for pixels; none for pictures read from bytes
  QRect bounds;                       // device units, empty when nothing was drawn
};

namespace {

std::set<HENHMETAFILE>& liveHandles() {
  static std::set<HENHMETAFILE> s;
  return s;
}
HENHMETAFILE track(HENHMETAFILE h) {
  liveHandles().insert(h);
  return h;
}
bool valid(HENHMETAFILE h) { return h && liveHandles().count(h); }

// The reference screen: 96 dots per inch, 1440 x 960 dots = 381 x 254 mm exactly.
constexpr int kDpi = 96;
constexpr int kRefW = 1440, kRefH = 960;
constexpr int kRefWmm = 381, kRefHmm = 254;
constexpr int kHeaderSize = 108;

constexpr DWORD kStock = 0x80000000;
enum StockIndex { WhiteBrushStock = 0, NullBrushStock = 5, BlackPenStock = 7, NullPenStock = 8, SystemFontStock = 13 };

// ---- Record writer ----
class EmfWriter {
 public:
  std::vector<BYTE> out;
  DWORD records = 0;

  size_t begin(DWORD type) {
    size_t at = out.size();
    u32(type);
    u32(0);  // size, filled in by end()
    return at;
  }
  void end(size_t at) {
    while (out.size() % 4) out.push_back(0);
    DWORD size = (DWORD)(out.size() - at);
    std::memcpy(&out[at + 4], &size, 4);
    ++records;
  }
  void u32(DWORD v) { raw(&v, 4); }
  void i32(LONG v) { raw(&v, 4); }
  void i16(int v) {
    int16_t s = (int16_t)v;
    raw(&s, 2);
  }
  void u16(WORD v) { raw(&v, 2); }
  void f32(float v) { raw(&v, 4); }
  void rect(const QRect& r) {  // inclusive RECTL
    i32(r.left());
    i32(r.top());
    i32(r.right());
    i32(r.bottom());
  }
  void raw(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    out.insert(out.end(), b, b + n);
  }
  void zeros(size_t n) { out.insert(out.end(), n, 0); }
  void patch32(size_t at, DWORD v) { std::memcpy(&out[at], &v, 4); }

  // A record with only 32-bit values after its type and size.
  void simple(DWORD type, std::initializer_list<DWORD> values) {
    size_t at = begin(type);
    for (DWORD v : values) u32(v);
    end(at);
  }
};

DWORD colorRef(const QColor& c) { return (DWORD)RGB(c.red(), c.green(), c.blue()); }

bool fits16(const QPolygon& p) {
  for (const QPoint& q : p)
    if (q.x() < -32768 || q.x() > 32767 || q.y() < -32768 || q.y() > 32767) return false;
  return true;
}

// Dash patterns the DC gives its one-pixel pens, back to the platform's pen styles.
int penStyleOf(const QPen& p) {
  switch (p.style()) {
    case Qt::NoPen: return PS_NULL;
    case Qt::DashLine: return PS_DASH;
    case Qt::DotLine: return PS_DOT;
    case Qt::DashDotLine: return PS_DASHDOT;
    case Qt::DashDotDotLine: return PS_DASHDOTDOT;
    case Qt::CustomDashLine: {
      QList<qreal> d = p.dashPattern();
      if (d == QList<qreal>{18, 6}) return PS_DASH;
      if (d == QList<qreal>{3, 3} || d == QList<qreal>{1, 1}) return PS_DOT;
      if (d == QList<qreal>{9, 6, 3, 6}) return PS_DASHDOT;
      if (d == QList<qreal>{9, 3, 3, 3, 3, 3}) return PS_DASHDOTDOT;
      return PS_DASH;
    }
    default: return PS_SOLID;
  }
}

struct PenKey {
  int style = -1, width = 0;
  DWORD color = 0;
  bool operator==(const PenKey&) const = default;
};
struct BrushKey {
  int style = -1, hatch = 0;
  DWORD color = 0;
  bool operator==(const BrushKey&) const = default;
};

QColor averageColor(const QImage& img) {
  if (img.isNull()) return Qt::black;
  QImage small = img.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return QColor::fromRgb(small.pixel(0, 0));
}

BrushKey brushKeyOf(const QBrush& b) {
  BrushKey k;
  switch (b.style()) {
    case Qt::NoBrush: k.style = BS_NULL; return k;
    case Qt::SolidPattern:
      k.style = BS_SOLID;
      k.color = colorRef(b.color());
      return k;
    case Qt::HorPattern: k.hatch = HS_HORIZONTAL; break;
    case Qt::VerPattern: k.hatch = HS_VERTICAL; break;
    case Qt::FDiagPattern: k.hatch = HS_FDIAGONAL; break;
    case Qt::BDiagPattern: k.hatch = HS_BDIAGONAL; break;
    case Qt::CrossPattern: k.hatch = HS_CROSS; break;
    case Qt::DiagCrossPattern: k.hatch = HS_DIAGCROSS; break;
    case Qt::TexturePattern:
      // A pattern brush is kept as its average colour: readers differ too much on patterns.
      k.style = BS_SOLID;
      k.color = colorRef(averageColor(b.textureImage()));
      return k;
    case Qt::LinearGradientPattern:
    case Qt::RadialGradientPattern:
    case Qt::ConicalGradientPattern: {
      const QGradient* g = b.gradient();
      k.style = BS_SOLID;
      k.color = g && !g->stops().isEmpty() ? colorRef(g->stops().front().second) : 0;
      return k;
    }
    default:
      k.style = BS_SOLID;
      k.color = colorRef(b.color());
      return k;
  }
  k.style = BS_HATCHED;
  k.color = colorRef(b.color());
  return k;
}

}  // namespace

// ======================================================================================
// The paint engine: QPainter's calls (made by the DC) become EMF records
// ======================================================================================
class EmfEngine : public QPaintEngine {
 public:
  EmfEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  EmfWriter w;
  QRect bounds;      // everything drawn, device units
  QPicture picture;  // the same drawing, for pixels
  QPainter shadow;
  bool shadowOpen = false;
  QPaintDevice* device = nullptr;
  WORD maxHandle = 0;

  void start() {
    shadow.begin(&picture);
    shadowOpen = true;
    // Text is placed by its baseline; opaque text backgrounds are drawn as rectangles.
    w.simple(EMR_SETBKMODE, {TRANSPARENT});
    w.simple(EMR_SETTEXTALIGN, {TA_BASELINE | TA_LEFT | TA_NOUPDATECP});
    w.simple(EMR_SETPOLYFILLMODE, {ALTERNATE});
  }

  void finish() {
    flushPending();
    if (shadowOpen) shadow.end();
    shadowOpen = false;
    // Leave the stock objects selected and free every object made.
    w.simple(EMR_SELECTOBJECT, {kStock | BlackPenStock});
    w.simple(EMR_SELECTOBJECT, {kStock | WhiteBrushStock});
    w.simple(EMR_SELECTOBJECT, {kStock | SystemFontStock});
    for (DWORD h : {m_penHandle, m_brushHandle, m_fontHandle})
      if (h) w.simple(EMR_DELETEOBJECT, {h});
    m_penHandle = m_brushHandle = m_fontHandle = 0;
  }

  bool begin(QPaintDevice* d) override {
    device = d;
    m_clipDirty = true;
    return true;
  }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState& st) override {
    DirtyFlags f = st.state();
    if (f & DirtyPen) m_pen = st.pen();
    if (f & DirtyBrush) m_brush = st.brush();
    if (f & DirtyBrushOrigin) m_brushOrigin = st.brushOrigin();
    if (f & DirtyFont) m_font = st.font();
    if (f & DirtyTransform) m_xf = st.transform();
    if (f & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled)) m_clipDirty = true;
  }

  // ---- Primitives ----
  void drawRects(const QRect* rects, int n) override {
    for (int i = 0; i < n; ++i) drawRectF(QRectF(rects[i]));
  }
  void drawRects(const QRectF* rects, int n) override {
    for (int i = 0; i < n; ++i) drawRectF(rects[i]);
  }
  void drawLines(const QLine* lines, int n) override {
    for (int i = 0; i < n; ++i) drawLineF(QLineF(lines[i]));
  }
  void drawLines(const QLineF* lines, int n) override {
    for (int i = 0; i < n; ++i) drawLineF(lines[i]);
  }
  void drawEllipse(const QRect& r) override { drawEllipse(QRectF(r)); }
  void drawEllipse(const QRectF& r) override {
    if (!prepare()) return;
    if (!m_xf.isAffine() || m_xf.type() > QTransform::TxScale) {
      QPainterPath p;
      p.addEllipse(r);
      drawPath(p);
      return;
    }
    flushPending();
    QRectF d = m_xf.mapRect(r);
    // The platform's ellipse takes the rectangle's far edges as exclusive.
    QRect g(QPoint((int)std::lround(d.left()), (int)std::lround(d.top())),
            QPoint((int)std::lround(d.right()), (int)std::lround(d.bottom())));
    selectPen(m_pen);
    selectBrush(m_brush);
    size_t at = w.begin(EMR_ELLIPSE);
    w.i32(g.left());
    w.i32(g.top());
    w.i32(g.right() + 1);
    w.i32(g.bottom() + 1);
    w.end(at);
    grow(g, true);
    shadow.drawEllipse(r);
  }
  void drawPoints(const QPointF* pts, int n) override {
    if (!prepare() || m_pen.style() == Qt::NoPen) return;
    flushPending();
    for (int i = 0; i < n; ++i) {
      QPointF d = m_xf.map(pts[i]);
      QPoint q((int)std::floor(d.x()), (int)std::floor(d.y()));
      size_t at = w.begin(EMR_SETPIXELV);
      w.i32(q.x());
      w.i32(q.y());
      w.u32(colorRef(m_pen.color()));
      w.end(at);
      grow(QRect(q, QSize(1, 1)), false);
    }
    shadow.drawPoints(pts, n);
  }
  void drawPoints(const QPoint* pts, int n) override {
    std::vector<QPointF> f(pts, pts + n);
    drawPoints(f.data(), n);
  }
  void drawPolygon(const QPoint* pts, int n, PolygonDrawMode mode) override {
    std::vector<QPointF> f(pts, pts + n);
    drawPolygon(f.data(), n, mode);
  }
  void drawPolygon(const QPointF* pts, int n, PolygonDrawMode mode) override {
    if (!prepare() || n < 2) return;
    QPolygon dev;
    for (int i = 0; i < n; ++i) {
      QPointF d = m_xf.map(pts[i]);
      dev << QPoint((int)std::lround(d.x()), (int)std::lround(d.y()));
    }
    if (mode == PolylineMode) {
      flushPending();
      selectPen(m_pen);
      polyRecord(EMR_POLYLINE16, EMR_POLYLINE, dev);
      grow(dev.boundingRect(), true);
      shadow.drawPolyline(pts, n);
      return;
    }
    int fillMode = mode == WindingMode ? WINDING : ALTERNATE;
    bool pen = m_pen.style() != Qt::NoPen, brush = m_brush.style() != Qt::NoBrush;
    QBrush fill = m_brush;
    if (!pen && brush) {
      // Held back: the DC outlines a filled polygon in a second call.
      flushPending();
      m_pending = Pending{Pending::Poly, {}, dev, fillMode, m_brush};
    } else {
      if (pen && !brush && m_pending.kind == Pending::Poly && m_pending.poly == dev && m_pending.fillMode == fillMode) {
        fill = m_pending.brush;
        m_pending.kind = Pending::None;
      }
      flushPending();
      selectFillMode(fillMode);
      selectPen(m_pen);
      selectBrush(fill);
      polyRecord(EMR_POLYGON16, EMR_POLYGON, dev);
    }
    grow(dev.boundingRect(), true);
    shadow.drawPolygon(pts, n, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
  }
  void drawPath(const QPainterPath& path) override {
    if (!prepare() || path.isEmpty()) return;
    flushPending();
    QList<QPolygonF> subs = path.toSubpathPolygons(m_xf);
    std::vector<QPolygon> closed, open;
    for (const QPolygonF& s : subs) {
      if (s.size() < 2) continue;
      QPolygon q;
      for (const QPointF& p : s) q << QPoint((int)std::lround(p.x()), (int)std::lround(p.y()));
      (s.isClosed() ? closed : open).push_back(q);
    }
    bool fill = m_brush.style() != Qt::NoBrush;
    bool stroke = m_pen.style() != Qt::NoPen;
    QRect box;
    for (auto& q : closed) box |= q.boundingRect();
    for (auto& q : open) box |= q.boundingRect();
    if (fill) {
      std::vector<QPolygon> all = closed;
      all.insert(all.end(), open.begin(), open.end());
      selectFillMode(path.fillRule() == Qt::WindingFill ? WINDING : ALTERNATE);
      // Open figures are outlined on their own, so they are filled without the pen.
      selectPen(open.empty() ? m_pen : QPen(Qt::NoPen));
      selectBrush(m_brush);
      polyPolyRecord(EMR_POLYPOLYGON16, EMR_POLYPOLYGON, all);
      if (!open.empty() && stroke) {
        selectPen(m_pen);
        polyPolyRecord(EMR_POLYPOLYLINE16, EMR_POLYPOLYLINE, open);
      }
    } else if (stroke) {
      selectPen(m_pen);
      std::vector<QPolygon> all = closed;
      all.insert(all.end(), open.begin(), open.end());
      polyPolyRecord(EMR_POLYPOLYLINE16, EMR_POLYPOLYLINE, all);
    }
    grow(box, stroke);
    shadow.drawPath(path);
  }
  void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
    drawImage(r, pm.toImage(), sr, Qt::AutoColor);
  }
  void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override {
    if (pm.isNull()) return;
    QImage img(r.size().toSize(), QImage::Format_RGB32);
    QPainter p(&img);
    p.drawTiledPixmap(img.rect(), pm, s);
    p.end();
    drawImage(r, img, QRectF(img.rect()), Qt::AutoColor);
  }
  void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override {
    if (!prepare() || image.isNull()) return;
    flushPending();
    QImage src = image.copy(sr.toAlignedRect()).convertToFormat(QImage::Format_RGB888);
    if (src.isNull()) return;
    QRectF d = m_xf.mapRect(r);
    QRect g((int)std::lround(d.left()), (int)std::lround(d.top()), std::max(1, (int)std::lround(d.width())),
            std::max(1, (int)std::lround(d.height())));
    int sw = src.width(), sh = src.height();
    DWORD stride = (DWORD)((sw * 3 + 3) & ~3);
    DWORD bits = stride * (DWORD)sh;
    size_t at = w.begin(EMR_STRETCHDIBITS);
    w.rect(g);
    w.i32(g.left());
    w.i32(g.top());
    w.i32(0);
    w.i32(0);
    w.i32(sw);
    w.i32(sh);
    w.u32(80);       // offBmiSrc: after the 80-byte fixed part
    w.u32(40);       // cbBmiSrc
    w.u32(80 + 40);  // offBitsSrc
    w.u32(bits);
    w.u32(0);           // DIB_RGB_COLORS
    w.u32(0x00CC0020);  // SRCCOPY
    w.i32(g.width());
    w.i32(g.height());
    // BITMAPINFOHEADER, rows bottom first.
    w.u32(40);
    w.i32(sw);
    w.i32(sh);
    w.u16(1);
    w.u16(24);
    w.u32(0);  // BI_RGB
    w.u32(bits);
    w.i32(3780);  // 96 dpi in dots per metre
    w.i32(3780);
    w.u32(0);
    w.u32(0);
    std::vector<BYTE> row(stride, 0);
    for (int y = sh - 1; y >= 0; --y) {
      const uchar* s = src.constScanLine(y);
      for (int x = 0; x < sw; ++x) {
        row[x * 3] = s[x * 3 + 2];
        row[x * 3 + 1] = s[x * 3 + 1];
        row[x * 3 + 2] = s[x * 3];
      }
      w.raw(row.data(), stride);
    }
    w.end(at);
    grow(g, false);
    shadow.drawImage(r, image, sr);
  }

  void drawTextItem(const QPointF& p, const QTextItem& ti) override {
    if (!prepare()) return;
    QString text = ti.text();
    if (text.isEmpty()) return;
    flushPending();
    QFont f = ti.font();
    // Direction and scale of the text from the transform.
    double ux = m_xf.m11(), uy = m_xf.m12();
    double scale = std::hypot(ux, uy);
    if (scale <= 0) return;
    double angle = std::atan2(-uy, ux) * 180.0 / M_PI;
    int esc = (int)std::lround(angle * 10);
    esc = ((esc % 3600) + 3600) % 3600;
    LOGFONT lf = logFontFor(f, scale);
    lf.lfEscapement = lf.lfOrientation = esc;
    selectFont(lf);
    DWORD color = colorRef(m_pen.color());
    if (color != m_textColor) {
      w.simple(EMR_SETTEXTCOLOR, {color});
      m_textColor = color;
    }
    QPointF ref = m_xf.map(p);
    QPoint r((int)std::lround(ref.x()), (int)std::lround(ref.y()));
    QFontMetricsF fm(f, device);
    // Advances per UTF-16 unit, rounded so that they add up to the whole run.
    std::vector<LONG> dx(text.size(), 0);
    double prev = 0;
    LONG used = 0;
    for (int i = 0; i < text.size(); ++i) {
      if (text[i].isLowSurrogate()) continue;
      int len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
      double x = fm.horizontalAdvance(text.left(i + len)) * scale;
      LONG end = (LONG)std::lround(x);
      dx[i] = end - used;
      used = end;
      prev = x;
    }
    (void)prev;
    // The run's box, turned with the text.
    QRectF box(0, -fm.ascent(), fm.horizontalAdvance(text), fm.ascent() + fm.descent());
    QRect devBox = m_xf.mapRect(box.translated(p)).toAlignedRect();
    DWORD nChars = (DWORD)text.size();
    DWORD offString = 76;
    DWORD strBytes = (nChars * 2 + 3) & ~3u;
    DWORD offDx = offString + strBytes;
    size_t at = w.begin(EMR_EXTTEXTOUTW);
    w.rect(devBox);
    w.u32(1);  // GM_COMPATIBLE
    // Device units to .01 mm, as the reference screen has them.
    w.f32(100.0f * kRefWmm / kRefW);
    w.f32(100.0f * kRefHmm / kRefH);
    w.i32(r.x());
    w.i32(r.y());
    w.u32(nChars);
    w.u32(offString);
    w.u32(0);  // options
    w.i32(0);  // no clipping or opaque rectangle
    w.i32(0);
    w.i32(-1);
    w.i32(-1);
    w.u32(offDx);
    const char16_t* u = reinterpret_cast<const char16_t*>(text.utf16());
    for (DWORD i = 0; i < nChars; ++i) w.u16((WORD)u[i]);
    w.zeros(strBytes - nChars * 2);
    for (LONG d : dx) w.i32(d);
    w.end(at);
    grow(devBox, false);
    shadow.setFont(f);
    shadow.drawText(p, text);
  }

 private:
  // Clip and shadow state before a drawing record; false when nothing can show.
  bool prepare() {
    if (m_clipDirty) {
      m_clipDirty = false;
      QRegion dev;
      bool on = painter() && painter()->hasClipping();
      if (on) dev = painter()->transform().map(painter()->clipRegion());
      if (on != m_clipOn || dev != m_clip) {
        flushPending();
        m_clipOn = on;
        m_clip = dev;
        writeClip();
      }
    }
    shadow.setPen(m_pen);
    shadow.setBrush(m_brush);
    shadow.setBrushOrigin(m_brushOrigin);
    shadow.setFont(m_font);
    shadow.resetTransform();
    if (m_clipOn)
      shadow.setClipRegion(m_clip);
    else
      shadow.setClipping(false);
    shadow.setTransform(m_xf);
    return !(m_clipOn && m_clip.isEmpty());
  }

  // The clip as the records every reader knows: a reset, the bounding rectangle, and the
  // rectangles cut out of it.
  void writeClip() {
    const DWORD RGN_COPY_ = 5;
    size_t at = w.begin(EMR_EXTSELECTCLIPRGN);
    w.u32(0);
    w.u32(RGN_COPY_);
    w.end(at);
    if (!m_clipOn || m_clip.isEmpty()) return;  // an empty clip: nothing is drawn meanwhile
    QRect b = m_clip.boundingRect();
    clipRect(EMR_INTERSECTCLIPRECT, b);
    for (const QRect& hole : QRegion(b) - m_clip) clipRect(EMR_EXCLUDECLIPRECT, hole);
  }

  void clipRect(DWORD type, const QRect& r) {
    size_t at = w.begin(type);
    w.i32(r.left());
    w.i32(r.top());
    w.i32(r.right() + 1);
    w.i32(r.bottom() + 1);
    w.end(at);
  }

  void grow(QRect r, bool pen) {
    if (pen && m_pen.style() != Qt::NoPen) {
      int half = std::max(1, (int)std::ceil(m_pen.widthF() / 2));
      r.adjust(-half + 1, -half + 1, half, half);
    }
    if (m_clipOn) r &= m_clip.boundingRect();
    if (!r.isEmpty()) bounds |= r;
  }

  DWORD newHandle(std::initializer_list<DWORD> inUse) {
    for (DWORD h = 1;; ++h) {
      if (std::find(inUse.begin(), inUse.end(), h) != inUse.end()) continue;
      maxHandle = std::max<WORD>(maxHandle, (WORD)h);
      return h;
    }
  }

  // Selects an object (a stock one or one just created) in place of the held one, which is
  // deleted; rHeld then holds the new handle (0 for a stock object).
  void selectReplacing(DWORD selected, DWORD& rHeld, DWORD held) {
    w.simple(EMR_SELECTOBJECT, {selected});
    if (rHeld) w.simple(EMR_DELETEOBJECT, {rHeld});
    rHeld = held;
  }

  void selectPen(const QPen& p) {
    PenKey k;
    k.style = penStyleOf(p);
    k.width =
        k.style == PS_NULL ? 0 : std::max(1, (int)std::lround(p.widthF() * std::sqrt(std::abs(m_xf.determinant()))));
    k.color = k.style == PS_NULL ? 0 : colorRef(p.color());
    if (k == m_penKey) return;
    m_penKey = k;
    if (k.style == PS_NULL) {
      selectReplacing(kStock | NullPenStock, m_penHandle, 0);
      return;
    }
    DWORD h = newHandle({m_penHandle, m_brushHandle, m_fontHandle});
    size_t at = w.begin(EMR_CREATEPEN);
    w.u32(h);
    w.u32((DWORD)k.style);
    w.i32(k.width);
    w.i32(0);
    w.u32(k.color);
    w.end(at);
    selectReplacing(h, m_penHandle, h);
  }

  void selectBrush(const QBrush& b) {
    BrushKey k = brushKeyOf(b);
    if (k == m_brushKey) return;
    m_brushKey = k;
    if (k.style == BS_NULL) {
      selectReplacing(kStock | NullBrushStock, m_brushHandle, 0);
      return;
    }
    DWORD h = newHandle({m_penHandle, m_brushHandle, m_fontHandle});
    size_t at = w.begin(EMR_CREATEBRUSHINDIRECT);
    w.u32(h);
    w.u32((DWORD)k.style);
    w.u32(k.color);
    w.u32((DWORD)k.hatch);
    w.end(at);
    selectReplacing(h, m_brushHandle, h);
  }

  void selectFillMode(int mode) {
    if (mode == m_fillMode) return;
    m_fillMode = mode;
    w.simple(EMR_SETPOLYFILLMODE, {(DWORD)mode});
  }

  // The font as the program asked for it where the DC's font is the one drawn, so the file
  // names the faces the program uses; otherwise from Qt's font.
  LOGFONT logFontFor(const QFont& f, double scale) {
    LOGFONT lf{};
    bool fromDc = false;
    const AfxGdiData* dcFont = dcState ? AfxGdi(dcState->font) : nullptr;
    if (dcFont && dcFont->kind == AfxGdiData::Font) {
      const auto* fd = static_cast<const AfxFontData*>(dcFont);
      if (fd->qfont == f && fd->lf.lfFaceName[0]) {
        lf = fd->lf;
        fromDc = true;
      }
    }
    if (!fromDc) {
      std::snprintf(lf.lfFaceName, sizeof(lf.lfFaceName), "%s", f.family().toUtf8().constData());
      lf.lfWeight = std::clamp<LONG>((LONG)f.weight(), 1, 1000);
      lf.lfItalic = f.italic();
      lf.lfUnderline = f.underline();
      lf.lfStrikeOut = f.strikeOut();
    }
    if (!fromDc || lf.lfHeight == 0) {
      double px = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * kDpi / 72.0;
      lf.lfHeight = -(LONG)std::lround(px);
      lf.lfWidth = 0;
    }
    if (std::abs(scale - 1.0) > 1e-6) {
      lf.lfHeight = (LONG)std::lround(lf.lfHeight * scale);
      lf.lfWidth = (LONG)std::lround(lf.lfWidth * scale);
    }
    return lf;
  }

  void selectFont(const LOGFONT& lf) {
    if (m_fontHandle && std::memcmp(&lf, &m_font_lf, sizeof(LOGFONT)) == 0) return;
    m_font_lf = lf;
    DWORD h = newHandle({m_penHandle, m_brushHandle, m_fontHandle});
    size_t at = w.begin(EMR_EXTCREATEFONTINDIRECTW);
    w.u32(h);
    // LOGFONTW, then the rest of the panose form (full name, style, version, ...) as zeros.
    w.i32(lf.lfHeight);
    w.i32(lf.lfWidth);
    w.i32(lf.lfEscapement);
    w.i32(lf.lfOrientation);
    w.i32(lf.lfWeight);
    BYTE b[8] = {lf.lfItalic,       lf.lfUnderline,     lf.lfStrikeOut, lf.lfCharSet,
                 lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,   lf.lfPitchAndFamily};
    w.raw(b, 8);
    QString face = QString::fromUtf8(lf.lfFaceName).left(31);
    const char16_t* u = reinterpret_cast<const char16_t*>(face.utf16());
    for (int i = 0; i < 32; ++i) w.u16(i < face.size() ? (WORD)u[i] : 0);
    w.zeros(320 - 92);
    w.end(at);
    selectReplacing(h, m_fontHandle, h);
  }

  void polyRecord(DWORD type16, DWORD type32, const QPolygon& q) {
    bool small = fits16(q);
    size_t at = w.begin(small ? type16 : type32);
    w.rect(q.boundingRect());
    w.u32((DWORD)q.size());
    for (const QPoint& p : q) {
      if (small) {
        w.i16(p.x());
        w.i16(p.y());
      } else {
        w.i32(p.x());
        w.i32(p.y());
      }
    }
    w.end(at);
  }

  void polyPolyRecord(DWORD type16, DWORD type32, const std::vector<QPolygon>& polys) {
    if (polys.empty()) return;
    bool small = true;
    QRect box;
    DWORD total = 0;
    for (const QPolygon& q : polys) {
      small = small && fits16(q);
      box |= q.boundingRect();
      total += (DWORD)q.size();
    }
    size_t at = w.begin(small ? type16 : type32);
    w.rect(box);
    w.u32((DWORD)polys.size());
    w.u32(total);
    for (const QPolygon& q : polys) w.u32((DWORD)q.size());
    for (const QPolygon& q : polys)
      for (const QPoint& p : q) {
        if (small) {
          w.i16(p.x());
          w.i16(p.y());
        } else {
          w.i32(p.x());
          w.i32(p.y());
        }
      }
    w.end(at);
  }

  void drawRectF(const QRectF& r) {
    if (!prepare()) return;
    if (m_xf.type() > QTransform::TxTranslate) {
      QPainterPath p;
      p.addRect(r);
      drawPath(p);
      return;
    }
    QRectF d = r.translated(m_xf.dx(), m_xf.dy());
    int l = (int)std::lround(d.left()), t = (int)std::lround(d.top());
    int rr = (int)std::lround(d.right()), b = (int)std::lround(d.bottom());
    // An outline covers its right and bottom edge pixels; a fill stops before them.
    bool pen = m_pen.style() != Qt::NoPen;
    if (pen) {
      ++rr;
      ++b;
    }
    if (rr <= l || b <= t) return;
    QRect g(QPoint(l, t), QPoint(rr, b));  // far edges exclusive, as the record has them
    bool brush = m_brush.style() != Qt::NoBrush;
    QBrush fill = m_brush;
    if (!pen && brush) {
      // Held back: the DC's Rectangle fills inside its frame, then draws the frame.
      flushPending();
      m_pending = Pending{Pending::Rect, g, {}, ALTERNATE, m_brush};
    } else {
      if (pen && !brush && m_pending.kind == Pending::Rect && m_pending.rect == g.adjusted(1, 1, -1, -1)) {
        fill = m_pending.brush;
        m_pending.kind = Pending::None;
      }
      flushPending();
      selectPen(m_pen);
      selectBrush(fill);
      rectRecord(g);
    }
    grow(QRect(QPoint(l, t), QPoint(rr - 1, b - 1)), false);
    shadow.drawRect(r);
  }

  void rectRecord(const QRect& g) {
    size_t at = w.begin(EMR_RECTANGLE);
    w.i32(g.left());
    w.i32(g.top());
    w.i32(g.right());
    w.i32(g.bottom());
    w.end(at);
  }

  // A fill held back to be joined with the outline drawn next, as one record with pen and
  // brush; anything else writes it out alone first.
  struct Pending {
    enum Kind { None, Rect, Poly } kind = None;
    QRect rect;
    QPolygon poly;
    int fillMode = ALTERNATE;
    QBrush brush;
  };
  Pending m_pending;

  void flushPending() {
    if (m_pending.kind == Pending::None) return;
    Pending p = std::move(m_pending);
    m_pending = Pending{};
    selectPen(QPen(Qt::NoPen));
    selectBrush(p.brush);
    if (p.kind == Pending::Rect) {
      rectRecord(p.rect);
    } else {
      selectFillMode(p.fillMode);
      polyRecord(EMR_POLYGON16, EMR_POLYGON, p.poly);
    }
  }

  void drawLineF(const QLineF& l) {
    if (!prepare() || m_pen.style() == Qt::NoPen) return;
    flushPending();
    QPointF a = m_xf.map(l.p1()), b = m_xf.map(l.p2());
    QPolygon q;
    q << QPoint((int)std::lround(a.x()), (int)std::lround(a.y()))
      << QPoint((int)std::lround(b.x()), (int)std::lround(b.y()));
    selectPen(m_pen);
    polyRecord(EMR_POLYLINE16, EMR_POLYLINE, q);
    grow(q.boundingRect(), true);
    shadow.drawLine(l);
  }

 public:
  const AfxDcState* dcState = nullptr;  // the DC drawing, for the font it has selected

 private:
  QPen m_pen;
  QBrush m_brush;
  QPointF m_brushOrigin;
  QFont m_font;
  QTransform m_xf;
  bool m_clipDirty = true;
  bool m_clipOn = false;
  QRegion m_clip;
  PenKey m_penKey;
  BrushKey m_brushKey;
  LOGFONT m_font_lf{};
  DWORD m_penHandle = 0, m_brushHandle = 0, m_fontHandle = 0;
  DWORD m_textColor = 0xFFFFFFFF;
  int m_fillMode = ALTERNATE;
};

// The device the DC paints on: a screen-like surface whose engine records.
class AfxEmfDevice : public QPaintDevice {
 public:
  AfxEmfDevice() { engine.device = this; }
  ~AfxEmfDevice() override = default;
  QPaintEngine* paintEngine() const override { return const_cast<EmfEngine*>(&engine); }
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
      case PdmHeight: return 32767;
      case PdmWidthMM:
      case PdmHeightMM: return 32767 * 254 / (kDpi * 10);
      case PdmNumColors: return INT_MAX;
      case PdmDepth: return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return kDpi;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return (int)QPaintDevice::devicePixelRatioFScale();
      default: return 0;
    }
  }
  EmfEngine engine;
  CString description;
  QImage sizeImage{kRefW, kRefH, QImage::Format_Mono};  // the reference screen's size for GetDeviceCaps
  bool hasFrame = false;
  QRect frame;  // .01 mm
};

// ======================================================================================
// CMetaFileDC
// ======================================================================================
CMetaFileDC::CMetaFileDC() = default;

CMetaFileDC::~CMetaFileDC() {
  // The painter must end before the device it paints on goes.
  DeleteDC();
}

BOOL CMetaFileDC::CreateEnhanced(CDC*, LPCTSTR lpszFileName, LPCRECT lpBounds, LPCTSTR lpszDescription) {
  if (m_pDevice || GetState()) return FALSE;
  AfxWinInit(0, nullptr);
  if (lpszFileName && *lpszFileName) {
    // Refused now, as the platform refuses a file it cannot create.
    QFileInfo fi(QString::fromUtf8(lpszFileName));
    QFileInfo dir(fi.absolutePath());
    if (fi.isDir() || !dir.isDir() || !dir.isWritable() || (fi.exists() && !fi.isWritable())) return FALSE;
    m_strPath = lpszFileName;
  } else {
    m_strPath.Empty();
  }
  if (!CreateCompatibleDC(nullptr)) return FALSE;
  m_pDevice = std::make_unique<AfxEmfDevice>();
  m_pDevice->description = lpszDescription ? lpszDescription : "";
  if (lpBounds && lpBounds->right > lpBounds->left && lpBounds->bottom > lpBounds->top) {
    m_pDevice->hasFrame = true;
    m_pDevice->frame = QRect(QPoint(lpBounds->left, lpBounds->top), QPoint(lpBounds->right, lpBounds->bottom));
  }
  AfxDcState* s = GetState();
  s->kind = AfxDcState::Print;  // no bitmap can be selected into it
  s->device = m_pDevice.get();
  // Size queries answer with the reference screen's; pixel reads find nothing drawn.
  m_pDevice->sizeImage.fill(0);
  s->image = &m_pDevice->sizeImage;
  m_pDevice->engine.dcState = s;
  m_bPrinting = FALSE;
  m_pDevice->engine.start();
  return TRUE;
}

HENHMETAFILE CMetaFileDC::CloseEnhanced() {
  if (!m_pDevice || !GetState()) return nullptr;
  // The DC goes first: it ends its painting on the device and forgets the device.
  std::unique_ptr<AfxEmfDevice> dev = std::move(m_pDevice);
  CString path = m_strPath;
  DeleteDC();
  EmfEngine& e = dev->engine;
  e.dcState = nullptr;
  e.finish();
  // EMR_EOF: no palette.
  size_t eof = e.w.begin(EMR_EOF);
  e.w.u32(0);
  e.w.u32(16);
  e.w.u32(20);
  e.w.end(eof);

  // The header goes in front, now that the sizes are known.
  EmfWriter h;
  QRect b = e.bounds;
  bool empty = b.isEmpty();
  QString desc = QString::fromUtf8(dev->description.GetString());
  std::vector<char16_t> d16;
  if (!desc.isEmpty()) {
    for (QChar c : desc) d16.push_back(c.unicode());
    d16.push_back(0);
    d16.push_back(0);
  }
  size_t at = h.begin(EMR_HEADER);
  if (empty) {
    h.i32(0);
    h.i32(0);
    h.i32(-1);
    h.i32(-1);
  } else {
    h.rect(b);
  }
  QRect frame;
  if (dev->hasFrame)
    frame = dev->frame;
  else if (!empty)
    frame = QRect(
        QPoint((int)std::lround(b.left() * 2540.0 / kDpi), (int)std::lround(b.top() * 2540.0 / kDpi)),
        QPoint((int)std::lround((b.right() + 1) * 2540.0 / kDpi), (int)std::lround((b.bottom() + 1) * 2540.0 / kDpi)));
  if (frame.isNull()) {
    h.i32(0);
    h.i32(0);
    h.i32(-1);
    h.i32(-1);
  } else {
    h.i32(frame.left());
    h.i32(frame.top());
    h.i32(frame.right());
    h.i32(frame.bottom());
  }
  h.u32(ENHMETA_SIGNATURE);
  h.u32(0x10000);
  size_t nBytesAt = h.out.size();
  h.u32(0);  // nBytes
  h.u32(e.w.records + 1);
  h.u16((WORD)(e.maxHandle + 1));
  h.u16(0);
  h.u32((DWORD)d16.size());
  h.u32(d16.empty() ? 0 : kHeaderSize);
  h.u32(0);  // nPalEntries
  h.i32(kRefW);
  h.i32(kRefH);
  h.i32(kRefWmm);
  h.i32(kRefHmm);
  h.u32(0);  // no pixel format
  h.u32(0);
  h.u32(0);  // not OpenGL
  h.i32(kRefWmm * 1000);
  h.i32(kRefHmm * 1000);
  for (char16_t c : d16) h.u16((WORD)c);
  h.end(at);
  h.out.insert(h.out.end(), e.w.out.begin(), e.w.out.end());
  h.patch32(nBytesAt, (DWORD)h.out.size());

  auto* out = new HENHMETAFILE__;
  out->bytes = std::move(h.out);
  out->picture = std::make_shared<QPicture>(e.picture);
  out->bounds = b;
  if (!path.IsEmpty() && !AfxSaveFileSafely(path, out->bytes.data(), out->bytes.size())) {
    delete out;
    return nullptr;
  }
  return track(out);
}

// ======================================================================================
// Handle functions
// ======================================================================================
namespace {

bool looksLikeEmf(const BYTE* p, size_t n) {
  if (!p || n < 88 + 20) return false;
  DWORD type, size, sig, bytes;
  std::memcpy(&type, p, 4);
  std::memcpy(&size, p + 4, 4);
  std::memcpy(&sig, p + 40, 4);
  std::memcpy(&bytes, p + 48, 4);
  return type == EMR_HEADER && size >= 88 && size <= n && sig == ENHMETA_SIGNATURE && bytes == n;
}

}  // namespace

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE h, LPCTSTR lpszFileName) {
  if (!valid(h)) return nullptr;
  if (lpszFileName && *lpszFileName && !AfxSaveFileSafely(lpszFileName, h->bytes.data(), h->bytes.size()))
    return nullptr;
  auto* c = new HENHMETAFILE__(*h);
  return track(c);
}

BOOL DeleteEnhMetaFile(HENHMETAFILE h) {
  if (!valid(h)) return FALSE;
  liveHandles().erase(h);
  delete h;
  return TRUE;
}

UINT GetEnhMetaFileBits(HENHMETAFILE h, UINT nSize, LPBYTE lpData) {
  if (!valid(h)) return 0;
  UINT n = (UINT)h->bytes.size();
  if (!lpData) return n;
  if (nSize < n) return 0;
  std::memcpy(lpData, h->bytes.data(), n);
  return n;
}

UINT GetEnhMetaFileHeader(HENHMETAFILE h, UINT nSize, ENHMETAHEADER* lpHeader) {
  if (!valid(h)) return 0;
  DWORD hs;
  std::memcpy(&hs, h->bytes.data() + 4, 4);
  UINT n = std::min<UINT>((UINT)sizeof(ENHMETAHEADER), hs);
  if (!lpHeader) return n;
  std::memset(lpHeader, 0, std::min<size_t>(nSize, sizeof(ENHMETAHEADER)));
  n = std::min<UINT>(n, nSize);
  std::memcpy(lpHeader, h->bytes.data(), n);
  return n;
}

HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* lpData) {
  if (!looksLikeEmf(lpData, nSize)) return nullptr;
  auto* h = new HENHMETAFILE__;
  h->bytes.assign(lpData, lpData + nSize);
  RECTL r;
  std::memcpy(&r, lpData + 8, sizeof(r));
  if (r.right >= r.left && r.bottom >= r.top) h->bounds = QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
  return track(h);
}

HENHMETAFILE GetEnhMetaFile(LPCTSTR lpszFileName) {
  if (!lpszFileName) return nullptr;
  QFile f(QString::fromUtf8(lpszFileName));
  if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64)256 * 1024 * 1024) return nullptr;
  QByteArray b = f.readAll();
  return SetEnhMetaFileBits((UINT)b.size(), reinterpret_cast<const BYTE*>(b.constData()));
}

BOOL AfxEnhMetaFileToBitmap(HENHMETAFILE h, CBitmap* pBitmap) {
  if (!valid(h) || !pBitmap || !h->picture) return FALSE;
  QRect b = h->bounds.isEmpty() ? QRect(0, 0, 1, 1) : h->bounds;
  // The picture from its origin, as it shows where it is pasted.
  int w = std::clamp(b.right() + 1, 1, 8000), ht = std::clamp(b.bottom() + 1, 1, 8000);
  pBitmap->DeleteObject();
  if (!pBitmap->CreateBitmap(w, ht, 1, 32, nullptr)) return FALSE;
  auto* d = static_cast<AfxBitmapData*>(AfxGdi(pBitmap->GetSafeHandle()));
  d->image = QImage(w, ht, QImage::Format_RGB32);
  d->image.fill(Qt::white);
  QPainter p(&d->image);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  h->picture->play(&p);
  return TRUE;
}
