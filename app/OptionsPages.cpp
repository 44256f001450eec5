#include "app/OptionsPages.h"

#include "platform/core/AfxUserNumber.h"

namespace {

struct ColourButtonInfo {
  UINT nID;
  int nIndex;  // of the popup
};
const ColourButtonInfo kColourButtons[8] = {
    {IDC_COLOUR_AGROUND, 1}, {IDC_COLOUR_AXIS, 2}, {IDC_COLOUR_BACK, 3}, {IDC_COLOUR_GRADIENT, 4},
    {IDC_COLOUR_GRID, 5},    {IDC_COLOUR_LINE, 6}, {IDC_COLOUR_MHWS, 7}, {IDC_COLOUR_TIMEMARK, 8},
};

// Etched lines across the page, 10 pixels in from each side.
void DrawSeparators(CWnd* pPage, const int* ys, int count) {
  CPaintDC dc(pPage);
  CRect client;
  pPage->GetClientRect(&client);
  for (int i = 0; i < count; ++i) {
    CRect line(client.left + 10, ys[i], client.right - 10, ys[i] + 2);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
  }
}

// Shows the message, and puts the focus on the control with its text selected.
void RefuseEdit(CWnd* pPage, UINT nID, LPCTSTR lpszMessage) {
  AfxMessageBox(lpszMessage, MB_OK | MB_ICONEXCLAMATION);
  if (auto* edit = dynamic_cast<CEdit*>(pPage->GetDlgItem(nID))) {
    edit->SetFocus();
    edit->SetSel(0, -1);
  } else if (CWnd* w = pPage->GetDlgItem(nID)) {
    w->SetFocus();
  }
}

}  // namespace

BOOL ParsePageLength(const CString& strText, double& dMetres) {
  double v = 0;
  if (!AfxParseUserNumber(strText, v)) return FALSE;
  dMetres = v;
  return TRUE;
}

// ---- General ----

IMPLEMENT_DYNAMIC(CPropGeneral, CPropertyPage)

BEGIN_MESSAGE_MAP(CPropGeneral, CPropertyPage)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPropGeneral::CPropGeneral() : CPropertyPage(IDD_PROP_GENERAL) {}

void CPropGeneral::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_AUTOCALC_GRAPH, m_bAutoCalcGraph);
  DDX_Check(pDX, IDC_AUTOCALC_MONTH, m_bAutoCalcMonth);
  DDX_Text(pDX, IDC_DRAUGHT, m_strDraught);
  DDV_MaxChars(pDX, m_strDraught, 6);
  DDX_Check(pDX, IDC_PRINT_BW, m_bPrintBW);
  DDX_Check(pDX, IDC_SHOW_MOONS, m_bShowMoons);
  DDX_Check(pDX, IDC_AUTOCALC_FIND, m_bAutoCalcFind);
}

BOOL CPropGeneral::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  double d = 0;
  if (!ParsePageLength(m_strDraught, d) || d <= 0 || d > kMaxDraught) {
    RefuseEdit(this, IDC_DRAUGHT, "Please enter the draught of the boat in metres, a number greater than 0.");
    return FALSE;
  }
  return TRUE;
}

void CPropGeneral::OnPaint() {
  static const int ys[] = {16, 117, 180, 232};
  DrawSeparators(this, ys, 4);
}

// ---- Graph ----

IMPLEMENT_DYNAMIC(CPropGraph, CPropertyPage)

BEGIN_MESSAGE_MAP(CPropGraph, CPropertyPage)
  ON_WM_PAINT()
  ON_BN_CLICKED(IDC_AUTO_HEIGHT, OnAutoHeight)
  ON_CONTROL_RANGE(BN_CLICKED, IDC_COLOUR_BACK, IDC_COLOUR_TIMEMARK, OnColourButton)
  ON_MESSAGE(WM_COLOUR_PICKED, OnColourPicked)
END_MESSAGE_MAP()

CPropGraph::CPropGraph() : CPropertyPage(IDD_PROP_GRAPH) {}

CColourButton* CPropGraph::ButtonOfIndex(int nIndex) {
  switch (nIndex) {
    case 1: return &m_btnAground;
    case 2: return &m_btnAxis;
    case 3: return &m_btnBack;
    case 4: return &m_btnGradient;
    case 5: return &m_btnGridline;
    case 6: return &m_btnLine;
    case 7: return &m_btnMHWS;
    case 8: return &m_btnTimeMark;
    default: return nullptr;
  }
}

void CPropGraph::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MAX_HEIGHT, m_editMaxHeight);
  DDX_Control(pDX, IDC_COLOUR_TIMEMARK, m_btnTimeMark);
  DDX_Control(pDX, IDC_COLOUR_MHWS, m_btnMHWS);
  DDX_Control(pDX, IDC_COLOUR_LINE, m_btnLine);
  DDX_Control(pDX, IDC_COLOUR_GRID, m_btnGridline);
  DDX_Control(pDX, IDC_COLOUR_GRADIENT, m_btnGradient);
  DDX_Control(pDX, IDC_COLOUR_AXIS, m_btnAxis);
  DDX_Control(pDX, IDC_COLOUR_AGROUND, m_btnAground);
  DDX_Control(pDX, IDC_COLOUR_BACK, m_btnBack);
  DDX_Check(pDX, IDC_SHOW_MHWN, m_bShowMHWN);
  DDX_Check(pDX, IDC_SHOW_MHWS, m_bShowMHWS);
  DDX_Check(pDX, IDC_SHOW_MLWN, m_bShowMLWN);
  DDX_Check(pDX, IDC_SHOW_MLWS, m_bShowMLWS);
  DDX_Check(pDX, IDC_THICK_LINE, m_bThickLine);
  DDX_Check(pDX, IDC_AREA_GRAPH, m_bAreaGraph);
  DDX_Check(pDX, IDC_AUTO_HEIGHT, m_bAutoHeight);
  DDX_Text(pDX, IDC_MAX_HEIGHT, m_strMaxHeight);
  DDV_MaxChars(pDX, m_strMaxHeight, 6);
}

BOOL CPropGraph::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editMaxHeight.EnableWindow(!m_bAutoHeight);
  return TRUE;
}

BOOL CPropGraph::OnSetActive() {
  const BOOL ok = CPropertyPage::OnSetActive();
  m_editMaxHeight.EnableWindow(!m_bAutoHeight);
  RedrawButtons();
  return ok;
}

BOOL CPropGraph::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  if (m_bAutoHeight) return TRUE;
  double h = 0;
  if (!ParsePageLength(m_strMaxHeight, h) || h < kMinHeight || h > kMaxHeight) {
    RefuseEdit(this, IDC_MAX_HEIGHT, "Please make sure the maximum height\nis between 1 and 20 metres");
    return FALSE;
  }
  return TRUE;
}

void CPropGraph::OnPaint() {
  static const int ys[] = {14, 152, 221, 272};
  DrawSeparators(this, ys, 4);
}

void CPropGraph::OnAutoHeight() {
  m_bAutoHeight = IsDlgButtonChecked(IDC_AUTO_HEIGHT) == BST_CHECKED;
  m_editMaxHeight.EnableWindow(!m_bAutoHeight);
}

void CPropGraph::OnColourButton(UINT nID) {
  int index = 0;
  for (const auto& b : kColourButtons)
    if (b.nID == nID) index = b.nIndex;
  CColourButton* button = ButtonOfIndex(index);
  if (!button || !button->m_hWnd) return;
  if (m_popup.m_hWnd) m_popup.DestroyWindow();
  CRect r;
  button->GetWindowRect(&r);
  m_nPopupButton = index;
  m_popup.Create(this, r.left, r.bottom, index);
}

LRESULT CPropGraph::OnColourPicked(WPARAM wParam, LPARAM) {
  if (CColourButton* button = ButtonOfIndex((int)wParam)) {
    m_colour = m_popup.GetColour();
    button->SetColour(m_colour);
  }
  RedrawButtons();
  return 0;
}

void CPropGraph::RedrawButtons() {
  for (const auto& b : kColourButtons)
    if (CColourButton* button = ButtonOfIndex(b.nIndex); button && button->m_hWnd) button->Invalidate();
}

// ---- Port ----

IMPLEMENT_DYNAMIC(CPropPort, CPropertyPage)

CPropPort::CPropPort() : CPropertyPage(IDD_PROP_PORT) {}

void CPropPort::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_PORT_LATITUDE, m_strLatitude);
  DDX_Text(pDX, IDC_PORT_LONGITUDE, m_strLongitude);
  DDX_Text(pDX, IDC_PORT_NAME_TEXT, m_strName);
  DDX_Text(pDX, IDC_PORT_COUNTRY, m_strCountry);
}
