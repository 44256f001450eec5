// The 40-colour picker the graph options page opens under a colour button.
#pragma once

#include "views/PickPopup.h"

#define WM_COLOUR_PICKED (WM_USER + 1004)

// The colour table of the colour buttons and the popup, in grid order, eight to a row.
extern const COLORREF g_colourTable[40];

class CColourPopup : public CPickPopup {
  DECLARE_DYNAMIC(CColourPopup)
 public:
  static constexpr int kWidth = 154, kHeight = 128, kMore = 40;

  CColourPopup() = default;
  // Opens at the screen point; WM_COLOUR_PICKED with the button index tells the choice.
  BOOL Create(CWnd* pNotify, int x, int y, int nButton = 0);
  COLORREF GetColour() const { return m_clrChosen; }

 protected:
  int ItemAt(CPoint pt) const override;
  CRect ItemRect(int nItem) const override;
  void DrawContent(CDC* pDC) override;
  void OnPicked(int nItem) override;

 private:
  COLORREF m_clrChosen = 0;
  int m_nButton = 0;
};
