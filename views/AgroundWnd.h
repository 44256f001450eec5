// The running-aground panel under the graph: the user's time of day and depth of water at the
// boat, and the tide height then, the drop to the next low water and the boat's draught. The
// frame pushes the heights in, reads the time and depth back and gives the verdict
// (ComputeAgroundVerdict below).
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/TransparentStatic.h"
#include "views/ViewHost.h"

// What the frame shows in the status bar and as the graph's aground level. All heights in
// metres; the drop -100 means it is unknown.
struct AGROUND_VERDICT {
  UINT nStringId = 0;  // 61233 aground, 61234 clear, 61235 unknown
  CString strText;
  double dClearance = 0;     // water under the boat at the next low water
  double dAgroundLevel = 0;  // height above datum at which the boat touches
};
AGROUND_VERDICT ComputeAgroundVerdict(double dDepth, double dDraught, double dDrop, double dHeightAboveDatum,
                                      BOOL bFeet);

class CAgroundWnd : public CWnd {
  DECLARE_DYNAMIC(CAgroundWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 118;
  static constexpr UINT kTimeComboId = 120, kDepthEditId = 121, kDepthSpinId = 122;
  static constexpr double kDropUnknown = -100.0;
  static constexpr double kFeetPerMetre = 3.2808;

  CAgroundWnd();
  ~CAgroundWnd() override;

  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  using CWnd::Create;
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  void SetDraught(double dMetres) { m_dDraught = dMetres; }
  double GetDraught() const { return m_dDraught; }
  void SetHeightAboveDatum(double dMetres) { m_dHeightAboveDatum = dMetres; }
  double GetHeightAboveDatum() const { return m_dHeightAboveDatum; }
  void SetDropToLowWater(double dMetres);
  double GetDropToLowWater() const { return m_dDropToLowWater; }
  int IsDropUnknown() const { return m_bDropUnknown; }
  void UpdateResults();
  void SetUseCurrentTime(int bUse);
  BOOL IsUseCurrentTime() const { return m_bUseCurrentTime; }
  int GetTimeMinutes() const;
  // Puts a time of day (minutes after midnight) in the time combo, as the user would type it.
  void SetTimeMinutes(int nMinutes);
  void SetDepthOfWater(double dValue);  // in the units shown
  double GetDepthOfWater() const;       // metres
  void SetFeet(int bFeet);
  int IsFeet() const { return m_bFeet; }

  // The texts shown, for the frame's tests and tools.
  CString GetHeightText() const { return m_strHeight; }
  CString GetDropText() const { return m_strDrop; }
  CString GetDraughtText() const { return m_strDraught; }
  CString GetDepthText() const;
  CString GetDepthLabel() const { return m_strDepthLabel; }
  CString GetTimeText() const;
  CComboBox* GetTimeCombo() { return &m_timeCombo; }
  CEdit& GetDepthEdit() { return m_depthEdit; }

  void Draw(CDC* pDC, const CRect& rc);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnDestroy();
  void OnPaint();
  // What a screen reader reads of the page (ViewAccessible.cpp).
  LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  void OnTimeSelChange();
  void OnTimeEditUpdate();
  void OnTimeKillFocus();
  void OnDepthUpdate();
  void OnSpinDelta(NMHDR* pNMHDR, LRESULT* pResult);

 private:
  void CheckTime();
  // The depth edit's value in the units shown (0 while the text is no number).
  double ShownDepth() const;
  void SetLabel(CTransparentStatic& label, CString& text, const CString& value);
  void MakeFonts(CDC* pDC);

  IViewHost* m_pHost = nullptr;
  CString m_strLastFiltered;
  int m_bDropUnknown = 0;
  CString m_strLastValidTime;
  CTransparentStatic m_depthLabel;
  CTransparentStatic m_timeLabel;
  CEdit m_depthEdit;
  CSpinButtonCtrl m_depthSpin;
  CComboBox m_timeCombo;
  int m_bFeet = 0;
  CTransparentStatic m_draughtValue;
  CFont m_boldFont;
  CFont m_normalFont;
  CTransparentStatic m_dropLabel, m_dropValue, m_heightLabel, m_heightValue, m_draughtLabel;
  double m_dDraught = 1.0;
  double m_dDropToLowWater = 0;
  double m_dHeightAboveDatum = 0;
  CString m_strHeight, m_strDrop, m_strDraught;
  CString m_strDepthLabel = "Depth of Water(m):";
  BOOL m_bFiltering = FALSE;
  BOOL m_bUseCurrentTime = FALSE;
};
