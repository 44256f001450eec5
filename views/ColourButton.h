// The owner-drawn colour button of the graph options page: a swatch of its colour with a
// small drop-down triangle. Its page opens the colour popup when it is clicked.
#pragma once

#include "platform/ui/AfxWin.h"

class CColourButton : public CButton {
  DECLARE_DYNAMIC(CColourButton)
 public:
  CColourButton();

  // No repaint: the caller invalidates.
  void SetColour(COLORREF colour) { m_colour = colour; }
  COLORREF GetColour() const { return m_colour; }

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PreSubclassWindow() override;

 private:
  COLORREF m_colour = 0x0000FF;
  COLORREF m_table[40];
  CPalette m_palette;
};

// The 40-entry palette of the colour table (version 0x300), for the button and the popup.
BOOL AfxCreateColourTablePalette(CPalette& palette, const COLORREF* table, int count);
