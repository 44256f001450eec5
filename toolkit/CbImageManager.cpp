#include "toolkit/CbImageManager.h"

#include "toolkit/CbColorManager.h"

#include "platform/ui/UiResources.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CCbImageManagerIcon, CCmdTarget)
IMPLEMENT_DYNAMIC(CCbImageManagerIconSet, CCmdTarget)
IMPLEMENT_DYNAMIC(CCbImageManager, CCmdTarget)

namespace {
inline int A(DWORD p) { return (int)(p >> 24); }
inline int R(DWORD p) { return (int)((p >> 16) & 0xFF); }
inline int G(DWORD p) { return (int)((p >> 8) & 0xFF); }
inline int B(DWORD p) { return (int)(p & 0xFF); }
inline DWORD Argb(int a, int r, int g, int b) {
  return ((DWORD)a << 24) | ((DWORD)r << 16) | ((DWORD)g << 8) | (DWORD)b;
}
}  // namespace

// ======================================================================================
// CCbImageManagerIcon
// ======================================================================================

CCbImageManagerIcon::CCbImageManagerIcon(UINT nID, int nWidth, int nHeight, CCbImageManager* pManager)
    : m_nID(nID), m_nWidth(nWidth), m_nHeight(nHeight), m_pManager(pManager) {}

CCbImageManagerIcon::~CCbImageManagerIcon() = default;

void CCbImageManagerIcon::SetImage(const std::vector<DWORD>& pixels, int nState, BOOL bAlpha) {
  if (nState < 0 || nState > 3 || pixels.size() != (size_t)m_nWidth * m_nHeight) return;
  m_images[nState] = pixels;
  m_bitmaps[nState].reset();
  if (nState == 0) {
    m_bAlpha = bAlpha;
    Refresh();
  }
}

const std::vector<DWORD>* CCbImageManagerIcon::GetImage(int nVariant) const {
  if (nVariant < 0 || nVariant >= kVariants || m_images[nVariant].empty()) return nullptr;
  return &m_images[nVariant];
}

void CCbImageManagerIcon::Refresh() {
  for (int v : {faded, shadow, disabled}) {
    m_images[v].clear();
    m_bitmaps[v].reset();
  }
}

const std::vector<DWORD>& CCbImageManagerIcon::GetFadedIcon() {
  if (m_images[faded].empty() && !m_images[normal].empty()) {
    std::vector<DWORD> out(m_images[normal]);
    for (DWORD& p : out)
      if (A(p)) {
        // 70 % of the colour, 30 % white.
        auto f = [](int c) { return (int)(76.5 + 0.7 * c); };
        p = Argb(A(p), f(R(p)), f(G(p)), f(B(p)));
      }
    m_images[faded] = std::move(out);
  }
  return m_images[faded];
}

const std::vector<DWORD>& CCbImageManagerIcon::GetShadowIcon() {
  if (m_images[shadow].empty() && !m_images[normal].empty()) {
    const COLORREF c = CbColorManager()->GetColor(31);
    const int r = (int)(GetRValue(c) * 0.75), g = (int)(GetGValue(c) * 0.75), b = (int)(GetBValue(c) * 0.75);
    std::vector<DWORD> out(m_images[normal]);
    for (DWORD& p : out)
      if (A(p)) p = Argb(A(p), r, g, b);
    m_images[shadow] = std::move(out);
  }
  return m_images[shadow];
}

const std::vector<DWORD>& CCbImageManagerIcon::GetDisabledIcon() {
  if (m_images[disabled].empty() && !m_images[normal].empty()) {
    std::vector<DWORD> out(m_images[normal]);
    for (DWORD& p : out)
      if (A(p)) {
        const int l = (int)(0.299 * R(p) + 0.587 * G(p) + 0.114 * B(p));
        const int g = (int)(255.0 * std::sqrt(l / 255.0));
        p = Argb(A(p), g, g, g);
      }
    m_images[disabled] = std::move(out);
  }
  return m_images[disabled];
}

CBitmap* CCbImageManagerIcon::BitmapOf(int nVariant) {
  if (nVariant < 0 || nVariant >= kVariants || m_images[nVariant].empty()) return nullptr;
  if (!m_bitmaps[nVariant]) {
    // Premultiplied blue, green, red, alpha, as AlphaBlend takes them.
    std::vector<BYTE> bytes((size_t)m_nWidth * m_nHeight * 4);
    const auto& px = m_images[nVariant];
    for (size_t i = 0; i < px.size(); ++i) {
      const int a = A(px[i]);
      bytes[i * 4 + 0] = (BYTE)(B(px[i]) * a / 255);
      bytes[i * 4 + 1] = (BYTE)(G(px[i]) * a / 255);
      bytes[i * 4 + 2] = (BYTE)(R(px[i]) * a / 255);
      bytes[i * 4 + 3] = (BYTE)a;
    }
    auto bmp = std::make_unique<CBitmap>();
    // A picture that is fully transparent still needs its alpha kept: mark one byte.
    bool any = false;
    for (size_t i = 0; i < px.size() && !any; ++i) any = A(px[i]) != 0;
    if (!any) return nullptr;
    if (!bmp->CreateBitmap(m_nWidth, m_nHeight, 1, 32, bytes.data())) return nullptr;
    m_bitmaps[nVariant] = std::move(bmp);
  }
  return m_bitmaps[nVariant].get();
}

void CCbImageManagerIcon::Blit(CDC* pDC, CPoint pt, CSize sz, CBitmap* pBitmap) {
  CDC mem;
  if (!pBitmap || !mem.CreateCompatibleDC(pDC)) return;
  CBitmap* old = mem.SelectObject(pBitmap);
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  pDC->AlphaBlend(pt.x, pt.y, sz.cx, sz.cy, &mem, 0, 0, m_nWidth, m_nHeight, bf);
  mem.SelectObject(old);
}

void CCbImageManagerIcon::Draw(CDC* pDC, CPoint pt, int nVariant, CSize sz) {
  if (sz.cx <= 0) sz.cx = m_nWidth;
  if (sz.cy <= 0) sz.cy = m_nWidth ? sz.cx * m_nHeight / m_nWidth : m_nHeight;
  if (nVariant == faded) GetFadedIcon();
  if (nVariant == shadow) GetShadowIcon();
  if (nVariant == disabled) GetDisabledIcon();
  Blit(pDC, pt, sz, BitmapOf(nVariant));
}

void CCbImageManagerIcon::DrawMono(CDC* pDC, CPoint pt, COLORREF clr, CSize sz) {
  if (m_images[normal].empty()) return;
  if (sz.cx <= 0) sz.cx = m_nWidth;
  if (sz.cy <= 0) sz.cy = m_nWidth ? sz.cx * m_nHeight / m_nWidth : m_nHeight;
  CCbImageManagerIcon mono(m_nID, m_nWidth, m_nHeight, m_pManager);
  std::vector<DWORD> px(m_images[normal]);
  for (DWORD& p : px) p = Argb(A(p), GetRValue(clr), GetGValue(clr), GetBValue(clr));
  mono.SetImage(px, 0, TRUE);
  mono.Blit(pDC, pt, sz, mono.BitmapOf(normal));
}

CCbImageManagerIcon* CCbImageManagerIcon::Scale(int nWidth) const {
  if (nWidth <= 0 || m_nWidth <= 0 || m_images[normal].empty()) return nullptr;
  const int h = (int)std::lround((double)nWidth * m_nHeight / m_nWidth);
  if (h <= 0) return nullptr;
  auto* icon = new CCbImageManagerIcon(m_nID, nWidth, h, m_pManager);
  for (int s = 0; s < 4; ++s) {
    if (m_images[s].empty()) continue;
    // Nearest source pixel: masked pictures stay masked.
    std::vector<DWORD> px((size_t)nWidth * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < nWidth; ++x)
        px[(size_t)y * nWidth + x] = m_images[s][(size_t)(y * m_nHeight / h) * m_nWidth + (x * m_nWidth / nWidth)];
    icon->SetImage(px, s, m_bAlpha);
  }
  icon->m_bAlpha = m_bAlpha;
  icon->m_bScaled = TRUE;
  return icon;
}

// ======================================================================================
// CCbImageManagerIconSet
// ======================================================================================

CCbImageManagerIconSet::~CCbImageManagerIconSet() {
  for (auto& [w, icon] : m_icons) delete icon;
}

CCbImageManagerIcon* CCbImageManagerIconSet::GetIcon(int nWidth, BOOL bScaled) {
  if (m_icons.empty()) return nullptr;
  auto it = m_icons.find(nWidth);
  if (it != m_icons.end()) return it->second;
  CCbImageManagerIcon* nearest = nullptr;
  int best = 0;
  for (auto& [w, icon] : m_icons) {
    if (icon->IsScaled()) continue;
    const int d = std::abs(w - nWidth);
    if (!nearest || d < best) {
      nearest = icon;
      best = d;
    }
  }
  if (!nearest) nearest = m_icons.begin()->second;
  if (!bScaled || nearest->IsAlpha() || nWidth == 0) return nearest;
  CCbImageManagerIcon* copy = nearest->Scale(nWidth);
  if (!copy) return nearest;
  m_icons[nWidth] = copy;
  return copy;
}

void CCbImageManagerIconSet::SetIcon(const std::vector<DWORD>& pixels, int nWidth, int nHeight, int nState,
                                     BOOL bAlpha) {
  if (nWidth <= 0 || nHeight <= 0) return;
  if (nState == 0) RefreshAll();
  auto it = m_icons.find(nWidth);
  CCbImageManagerIcon* icon = it != m_icons.end() ? it->second : nullptr;
  if (icon && icon->GetHeight() != nHeight) {
    delete icon;
    icon = nullptr;
  }
  if (!icon) icon = m_icons[nWidth] = new CCbImageManagerIcon(m_nID, nWidth, nHeight, m_pManager);
  icon->SetImage(pixels, nState, bAlpha);
}

void CCbImageManagerIconSet::RefreshAll() {
  for (auto it = m_icons.begin(); it != m_icons.end();) {
    if (it->second->IsScaled()) {
      delete it->second;
      it = m_icons.erase(it);
    } else {
      it->second->Refresh();
      ++it;
    }
  }
}

// ======================================================================================
// CCbImageManager
// ======================================================================================

CCbImageManager::CCbImageManager() = default;
CCbImageManager::~CCbImageManager() { RemoveAll(); }

CCbImageManager* CbImageManager() {
  static CCbImageManager manager;
  return &manager;
}

void CCbImageManager::RemoveAll() {
  for (auto& [id, set] : m_sets) delete set;
  m_sets.clear();
}

BOOL CCbImageManager::SetIcons(UINT nIDBitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight, int nState) {
  AfxEnsureUiResources();
  CBitmap bmp;
  if (!bmp.LoadBitmap(nIDBitmap)) return FALSE;
  return SetIcons(bmp, pCommands, nCount, nWidth, nHeight, nState);
}

BOOL CCbImageManager::SetIcons(CBitmap& bitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight,
                               int nState) {
  BITMAP info{};
  if (!bitmap.GetSafeHandle() || !bitmap.GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) return FALSE;
  if (nCount < 0) return FALSE;
  if (nWidth == 0 && nHeight == 0) {
    if (nCount == 0) return FALSE;  // nothing to divide the width by
    nHeight = info.bmHeight;
    nWidth = info.bmWidth / nCount;
  }
  if (nWidth <= 0) return FALSE;
  if (nHeight <= 0) nHeight = info.bmHeight;
  if (nHeight > info.bmHeight) return FALSE;
  const int images = info.bmWidth / nWidth;
  if (images <= 0) return FALSE;
  if (nCount == 0) nCount = images;

  const COLORREF mask = m_clrMask != (COLORREF)-1 ? m_clrMask : bitmap.GetPixel(0, 0);
  auto cut = [&](int k) {
    std::vector<DWORD> px((size_t)nWidth * nHeight);
    for (int y = 0; y < nHeight; ++y)
      for (int x = 0; x < nWidth; ++x) {
        const COLORREF c = bitmap.GetPixel(k * nWidth + x, y);
        px[(size_t)y * nWidth + x] =
            (c & 0xFFFFFF) == (mask & 0xFFFFFF) ? 0 : Argb(255, GetRValue(c), GetGValue(c), GetBValue(c));
      }
    return px;
  };
  auto store = [&](UINT id, int k) {
    CCbImageManagerIconSet*& set = m_sets[id];
    if (!set) set = new CCbImageManagerIconSet(id, this);
    set->SetIcon(cut(k), nWidth, nHeight, nState, FALSE);
  };
  if (!pCommands) {
    for (int k = 0; k < images; ++k) store((UINT)k, k);
    return TRUE;
  }
  // Separators take no picture, unless every id has one. Ids beyond the pictures get none.
  const BOOL everyId = nCount == images;
  int k = 0;
  for (int i = 0; i < nCount && k < images; ++i) {
    if (pCommands[i] == 0 && !everyId) continue;
    store(pCommands[i], k++);
  }
  return TRUE;
}

BOOL CCbImageManager::SetIcon(HICON hIcon, UINT nCommand, int nWidth, int nState) {
  ICONINFO ii{};
  if (!hIcon || !::GetIconInfo(hIcon, &ii)) return FALSE;
  CBitmap color, maskBmp;
  color.Attach(ii.hbmColor);
  maskBmp.Attach(ii.hbmMask);
  BITMAP info{};
  if (!color.GetSafeHandle() || !color.GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) return FALSE;
  std::vector<DWORD> px((size_t)info.bmWidth * info.bmHeight);
  for (int y = 0; y < info.bmHeight; ++y)
    for (int x = 0; x < info.bmWidth; ++x) {
      const COLORREF c = color.GetPixel(x, y);
      const BOOL transparent = maskBmp.GetSafeHandle() && (maskBmp.GetPixel(x, y) & 0xFFFFFF) != 0;
      px[(size_t)y * info.bmWidth + x] = transparent ? 0 : Argb(255, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  (void)nWidth;
  CCbImageManagerIconSet*& set = m_sets[nCommand];
  if (!set) set = new CCbImageManagerIconSet(nCommand, this);
  set->SetIcon(px, info.bmWidth, info.bmHeight, nState, FALSE);
  return TRUE;
}

CCbImageManagerIcon* CCbImageManager::GetImage(UINT nCommand, int nWidth) {
  auto it = m_sets.find(nCommand);
  return it == m_sets.end() ? nullptr : it->second->GetIcon(nWidth);
}

void CCbImageManager::RefreshAll() {
  for (auto& [id, set] : m_sets) set->RefreshAll();
}
