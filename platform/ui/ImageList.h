// Image lists: rows of equal-sized pictures with their masks, drawn transparently.
#pragma once

#include "platform/ui/Gdi.h"

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020
#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_BLEND25 0x0002
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x0004
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x0010

class CImageList : public CObject {
  DECLARE_DYNAMIC(CImageList)
 public:
  HIMAGELIST m_hImageList = nullptr;

  CImageList() = default;
  ~CImageList() override;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // The pictures of a bitmap resource, cx wide each, with crMask as the transparent colour.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL DeleteImageList();

  // Cuts the bitmap into pictures; returns the index of the first, -1 on failure.
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);  // mask: white is transparent
  int Add(CBitmap* pbmImage, COLORREF crMask);   // pixels of crMask are transparent
  BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
  BOOL Remove(int nImage);  // -1: all
  int GetImageCount() const;
  BOOL GetIconSize(int* cx, int* cy) const;
  COLORREF SetBkColor(COLORREF cr);
  COLORREF GetBkColor() const;
  // ILD_NORMAL draws on the list's background colour (none: transparent), ILD_TRANSPARENT
  // always transparently, ILD_MASK the mask, ILD_BLEND25/50 mixed with the highlight colour.
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
};
