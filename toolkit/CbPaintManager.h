// The one painter of the command bars: every bar, control, dock bar and the status bar are
// drawn and measured here, so one object decides the look. SetTheme picks the look.
#pragma once

#include "toolkit/CbDefines.h"
#include "toolkit/CbRefCounted.h"

class CCbControl;
class CCbCommandBar;
class CCbDockBar;
class CCbStatusBar;
class CCbImageManagerIcon;

class CCbPaintManager : public CCmdTarget, public CCbRefCounted {
  DECLARE_DYNAMIC(CCbPaintManager)
 public:
  static constexpr int kColors = 58;

  CCbPaintManager();
  ~CCbPaintManager() override;

  // ---- The process-wide painter ----
  // Makes the look of the kind and only then lets the old one go; FALSE (the old look stays)
  // when the new one can't be made.
  static BOOL SetTheme(int nTheme);
  // 0 flat, 2 gradient, 3 native, 4 studio, anything else classic; nullptr when out of memory.
  static CCbPaintManager* CreateTheme(int nTheme);
  // The installed painter (the classic look when none was chosen yet).
  static CCbPaintManager* GetPaintManager();
  // Releases the painter (at exit, and for tests).
  static void Done();
  int GetCurrentTheme() const { return m_nTheme; }

  // ---- Colours ----
  // An index above 57 is a colour itself.
  COLORREF GetColor(int nIndex) const;
  // -1 removes the override.
  void SetColor(int nIndex, COLORREF clr);

  // ---- Fonts and metrics ----
  CFont& GetRegularFont() { return m_fontRegular; }
  CFont& GetIconFont() { return m_fontIcon; }
  CFont& GetSmallCaptionFont() { return m_fontSmCaption; }
  int GetControlHeight() const { return m_nControlHeight; }

  // ---- Entry for every control ----
  CSize DrawControl(CDC* pDC, CCbControl* pControl, BOOL bDraw = TRUE);

  // ---- What each look supplies ----
  virtual CSize DrawMenuItem(CDC* pDC, CCbControl* pControl, BOOL bDraw) = 0;
  virtual CSize DrawToolbarControl(CDC* pDC, CCbControl* pControl, BOOL bDraw);
  virtual void DrawSplitDropArrow(CDC* pDC, CCbControl* pControl, CRect rc);
  virtual CSize DrawComboControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) = 0;
  virtual CSize DrawEditControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) = 0;
  virtual CSize DrawPopupFieldControl(CDC* pDC, CCbControl* pControl, BOOL bDraw) = 0;
  virtual void FillBarBackground(CDC* pDC, CCbCommandBar* pBar) = 0;
  // Selects the text colour for the state.
  virtual void DrawButtonBackground(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                                    BOOL bPopuped, int nBarType, int nBarPosition) = 0;
  void DrawControlBackground(CDC* pDC, CCbControl* pControl, CRect rc);
  virtual void DrawStateRect(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed, int nChecked,
                             BOOL bPopuped, int nBarType, int nBarPosition) = 0;
  virtual CSize DrawBarGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) = 0;
  virtual CSize DrawBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, BOOL bDraw) = 0;
  virtual void AdjustSelectedRect(CRect& /*rc*/, int /*nBarPosition*/) {}
  virtual void DrawStatusPaneText(CDC* pDC, CCbStatusBar* pBar, int nIndex);
  virtual void DrawStatusGripper(CDC* pDC, CRect rcClient);
  virtual void FillDockBar(CDC* pDC, CCbDockBar* pBar);
  virtual void FillStatusBar(CDC* pDC, CCbStatusBar* pBar);
  virtual void UpdateMetrics();
  virtual BOOL HasOwnShadow() const { return TRUE; }
  // Kinds: 0 the toolbar's expand button, 1 hidden items of a menu, 2 a close button, 3 an
  // arrow button. With bLayout the expand button is placed at the end of the bar.
  virtual CSize DrawSpecialControl(CDC* pDC, int nKind, CCbControl* pControl, CCbCommandBar* pBar, BOOL bDraw,
                                   BOOL bLayout = FALSE);
  virtual CRect GetBarBorders(CCbCommandBar* pBar);
  virtual CSize DrawPopupTearOff(CDC* pDC, CCbCommandBar* pBar, CRect rc, BOOL bSelected, BOOL bDraw) = 0;
  virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                         BOOL bEnabled, BOOL bChecked, BOOL bPopuped) = 0;
  virtual CSize DrawCompactGripper(CDC* pDC, CCbCommandBar* pBar, BOOL bDraw) = 0;
  virtual int GetLookKind() const = 0;
  virtual CFont* GetControlFont(int nBarPosition, BOOL bBold);
  // Plays a popup's opening from its finished picture (pSrcDC, at rc as in pDestDC): 2 unfold,
  // 3 slide, 4 fade, anything else none. Each step is put on the screen at once; the whole
  // takes at most m_nAnimationTime and ends with the finished picture.
  virtual void AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nAnimation);
  // Hidden items unfolding into an open popup: bands of rows of the finished picture, the new
  // ones growing to their height step by step.
  struct CExpandBand {
    int nTop;
    int nHeight;
    BOOL bNew;
  };
  virtual void AnimateExpand(CDC* pDestDC, CDC* pSrcDC, CRect rc, const CExpandBand* pBands, int nBands);
  // Step k of S (1..S) of an animation, drawn into pDestDC. pScreenDC holds what lay under the
  // popup (fade only; 32-bit, at rc).
  static void DrawAnimationStep(CDC* pDestDC, CDC* pSrcDC, CDC* pScreenDC, CRect rc, int nAnimation, int k, int nSteps);
  static void DrawExpandStep(CDC* pDestDC, CDC* pSrcDC, CRect rc, const CExpandBand* pBands, int nBands, int k,
                             int nSteps);
  // The kind a popup plays for the bars' Animation option: 0 follows the system (menu
  // animation off: 5, none; on with fade: 4; on: 3), 1 one of 2..4 by chance, others as given.
  static int GetAnimationKind(int nOption);
  virtual void DrawPaneBorder(CDC* pDC, CRect rc);

  // ---- Shared drawing ----
  void FillSolid(CDC* pDC, CRect rc, int nColor) { pDC->FillSolidRect(&rc, GetColor(nColor)); }
  void Rectangle(CDC* pDC, CRect rc, int nFill, int nFrame);
  void Draw3dRect(CDC* pDC, CRect rc, int nLight, int nDark);
  void Line(CDC* pDC, int x0, int y0, int x1, int y1, int nColor);
  void Triangle(CDC* pDC, CPoint p0, CPoint p1, CPoint p2, COLORREF clr);
  void DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, BOOL bMenu);
  // Pieces several looks draw alike.
  // One line of a docked bar's separator, nOffset pixels on from the first.
  void BarSeparatorLine(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, int nOffset, COLORREF clr);
  // The etched separator of the classic looks: the dark line and a light one beside it.
  void EtchedBarSeparator(CDC* pDC, CCbCommandBar* pBar, CCbControl* pControl, COLORREF clrDark);
  // Where the toolbar's expand button sits: 11 pixels at the bar's end.
  static CRect ExpandButtonRect(const CRect& rcClient, BOOL bVertical);
  // The expand button's arrow, pointing along the bar's end.
  void ExpandArrow(CDC* pDC, CRect rc, BOOL bVertical, COLORREF clr);
  // The two marks above the expand arrow that tell some buttons are hidden, drawn with the
  // pen selected; pt is the first mark's start.
  static void HiddenMarks(CDC* pDC, CPoint pt, BOOL bVertical);
  static BOOL HasHiddenControls(CCbCommandBar* pBar);
  void DropArrow(CDC* pDC, CPoint ptCenter, COLORREF clr);
  void CloseCross(CDC* pDC, CPoint ptCenter, COLORREF clr);
  // A floating bar's caption, its title in white on the fill; returns its height.
  int FloatingCaption(CDC* pDC, CCbCommandBar* pBar, COLORREF clrFill, BOOL bDraw);
  // The menu's "show hidden items" chevrons.
  void Chevrons(CDC* pDC, CPoint ptCenter, COLORREF clr);
  // The picture of a disabled icon where it has one or the option asks for it; FALSE where
  // the look draws its own.
  BOOL DrawDisabledPicture(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon);
  // The faded picture of an idle icon where the option asks for it, else the normal one.
  void DrawPlainPicture(CDC* pDC, CPoint pt, CSize sz, CCbImageManagerIcon* pIcon, BOOL bIdle);
  // "&&" is one ampersand, any other "&" goes.
  static CString StripMnemonics(const CString& strText);
  CSize GetTextSize(CDC* pDC, const CString& strText);
  void DrawControlText(CDC* pDC, CCbControl* pControl, CRect rc, BOOL bDraw, BOOL bVertical, BOOL bCentered,
                       BOOL bTriangle);

  // Icon options copied from the bars' options.
  BOOL m_bFadedIcons = FALSE;
  BOOL m_bDisabledIcons = FALSE;
  BOOL m_bIconsWithShadow = FALSE;
  int m_nAnimationSteps = 10;
  int m_nAnimationTime = 100;
  // The longest step (draw and present) of the last animation, in microseconds.
  int m_nLongestAnimationStepUs = 0;
  int m_nColorScheme = 5;
  COLORREF m_clrShadow = 0;
  COLORREF m_clrStatusTextColor = 0;

 protected:
  void CreateFonts();

  CFont m_fontRegular, m_fontRegularBold, m_fontVert, m_fontVertBold, m_fontSmCaption, m_fontIcon, m_fontGlyph,
      m_fontIconBold;
  int m_nControlHeight = 22;
  BOOL m_bUseTahoma = FALSE;
  BOOL m_bUseSystemFont = TRUE;
  int m_nTheme = 1;
  COLORREF m_arrStd[kColors];
  COLORREF m_arrOverride[kColors];
};

// The process-wide painter; the classic look is made when none was chosen yet.
CCbPaintManager* CbPaintManager();
// Without making one.
CCbPaintManager* CbPaintManagerIfAny();
