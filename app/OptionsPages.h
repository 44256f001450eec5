// The pages of the Options sheet (General and Graph) and of the port Properties sheet. They
// carry data only: the frame fills them before the sheet opens and takes the values back
// when it ends with OK.
#pragma once

#include "app/DialogsResource.h"
#include "platform/ui/AfxWin.h"
#include "views/ColourButton.h"
#include "views/ColourPopup.h"

// A length typed on a page: a number in the user's locale; FALSE when it is none.
BOOL ParsePageLength(const CString& strText, double& dMetres);

class CPropGeneral : public CPropertyPage {
  DECLARE_DYNAMIC(CPropGeneral)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr double kMaxDraught = 100.0;
  CPropGeneral();

  int m_bAutoCalcGraph = 0;
  int m_bAutoCalcMonth = 0;
  CString m_strDraught;
  int m_bPrintBW = 0;
  int m_bShowMoons = 0;
  int m_bAutoCalcFind = 0;

  void DoDataExchange(CDataExchange* pDX) override;
  // A draught that is not a length above 0 keeps the page open with a message.
  BOOL OnKillActive() override;
  void OnPaint();
};

class CPropGraph : public CPropertyPage {
  DECLARE_DYNAMIC(CPropGraph)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr double kMinHeight = 1.0, kMaxHeight = 20.0;
  CPropGraph();

  CEdit m_editMaxHeight;
  CColourButton m_btnTimeMark, m_btnMHWS, m_btnLine, m_btnGridline, m_btnGradient, m_btnAxis, m_btnAground, m_btnBack;
  int m_bShowMHWN = 0, m_bShowMHWS = 0, m_bShowMLWN = 0, m_bShowMLWS = 0;
  int m_bThickLine = 0, m_bAreaGraph = 0, m_bAutoHeight = 0;
  CString m_strMaxHeight;
  CColourPopup m_popup;
  COLORREF m_colour = 0;
  int m_nPopupButton = 0;

  // The button of a popup index (1 aground line ... 8 time mark), null outside.
  CColourButton* ButtonOfIndex(int nIndex);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  // Unless the axis is automatic, a maximum height outside 1 to 20 metres keeps the page open.
  BOOL OnKillActive() override;
  void OnPaint();
  void OnAutoHeight();
  void OnColourButton(UINT nID);
  LRESULT OnColourPicked(WPARAM wParam, LPARAM lParam);

 private:
  void RedrawButtons();
};

class CPropPort : public CPropertyPage {
  DECLARE_DYNAMIC(CPropPort)
 public:
  CPropPort();
  CString m_strLatitude, m_strLongitude, m_strName, m_strCountry;
  void DoDataExchange(CDataExchange* pDX) override;
};
