// The icon store of the command bars: the pictures of toolbar bitmaps cut into icons keyed by
// command id and width, with their faded, shadow and disabled variants made on first use.
#pragma once

#include "toolkit/CbRefCounted.h"

#include <map>
#include <memory>
#include <vector>

class CCbImageManager;

// One icon of one command at one width. Pictures are kept as straight (not premultiplied)
// 0xAARRGGBB pixels; masked pictures have alpha 0 or 255.
class CCbImageManagerIcon : public CCmdTarget {
  DECLARE_DYNAMIC(CCbImageManagerIcon)
 public:
  enum Variant { normal = 0, state1, state2, state3, faded, shadow, disabled, kVariants };

  CCbImageManagerIcon(UINT nID, int nWidth, int nHeight, CCbImageManager* pManager);
  ~CCbImageManagerIcon() override;

  UINT GetID() const { return m_nID; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  CSize GetExtent() const { return CSize(m_nWidth, m_nHeight); }
  BOOL IsAlpha() const { return m_bAlpha; }
  BOOL IsScaled() const { return m_bScaled; }

  // A state image (0 the normal one; 1..3 further states; other codes set nothing).
  void SetImage(const std::vector<DWORD>& pixels, int nState, BOOL bAlpha);
  const std::vector<DWORD>* GetImage(int nVariant = normal) const;
  const std::vector<DWORD>& GetFadedIcon();
  const std::vector<DWORD>& GetShadowIcon();
  const std::vector<DWORD>& GetDisabledIcon();
  BOOL HasImage(int nVariant) const { return !m_images[nVariant].empty(); }
  // Drops the derived images.
  void Refresh();

  // At the size (0: the icon's width, and the height in proportion).
  void Draw(CDC* pDC, CPoint pt, int nVariant = normal, CSize sz = CSize(0, 0));
  void DrawMono(CDC* pDC, CPoint pt, COLORREF clr, CSize sz = CSize(0, 0));
  // A scaled copy at another width, or nullptr.
  CCbImageManagerIcon* Scale(int nWidth) const;

 private:
  friend class CCbImageManagerIconSet;
  CBitmap* BitmapOf(int nVariant);
  void Blit(CDC* pDC, CPoint pt, CSize sz, CBitmap* pBitmap);

  UINT m_nID;
  int m_nWidth, m_nHeight;
  std::vector<DWORD> m_images[kVariants];
  std::unique_ptr<CBitmap> m_bitmaps[kVariants];
  BOOL m_bAlpha = FALSE;
  BOOL m_bScaled = FALSE;
  CCbImageManager* m_pManager;
};

class CCbImageManagerIconSet : public CCmdTarget {
  DECLARE_DYNAMIC(CCbImageManagerIconSet)
 public:
  CCbImageManagerIconSet(UINT nID, CCbImageManager* pManager) : m_nID(nID), m_pManager(pManager) {}
  ~CCbImageManagerIconSet() override;

  CCbImageManagerIcon* GetIcon(int nWidth, BOOL bScaled = TRUE);
  void SetIcon(const std::vector<DWORD>& pixels, int nWidth, int nHeight, int nState, BOOL bAlpha);
  // Drops the derived images and the scaled copies.
  void RefreshAll();
  UINT GetID() const { return m_nID; }
  int GetCount() const { return (int)m_icons.size(); }

 private:
  UINT m_nID;
  std::map<int, CCbImageManagerIcon*> m_icons;
  CCbImageManager* m_pManager;
};

class CCbImageManager : public CCmdTarget {
  DECLARE_DYNAMIC(CCbImageManager)
 public:
  CCbImageManager();
  ~CCbImageManager() override;

  // Cuts a bitmap resource into icons for the ids (separators, 0, take no picture unless there
  // are as many ids as pictures). Width and height 0: the bitmap's height, and its width by
  // the count. FALSE when the bitmap can't be read or the sizes make no pictures.
  BOOL SetIcons(UINT nIDBitmap, const UINT* pCommands, int nCount, int nWidth = 0, int nHeight = 0, int nState = 0);
  BOOL SetIcons(CBitmap& bitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight, int nState = 0);
  // A copy of the icon's picture; an icon of no size is not kept.
  BOOL SetIcon(HICON hIcon, UINT nCommand, int nWidth = 0, int nState = 0);
  CCbImageManagerIcon* GetImage(UINT nCommand, int nWidth = 16);
  int GetIconSetCount() const { return (int)m_sets.size(); }
  void RefreshAll();
  void RemoveAll();

  // -1: the colour of each bitmap's top-left pixel.
  COLORREF m_clrMask = (COLORREF)-1;
  BOOL m_bRightToLeft = FALSE;

 private:
  std::map<UINT, CCbImageManagerIconSet*> m_sets;
};

// The process-wide store.
CCbImageManager* CbImageManager();
