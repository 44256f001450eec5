#include "app/TipDlg.h"

#include "model/TipsFile.h"
#include "platform/ui/Icons.h"

#include <sys/stat.h>
#include <cstring>
#include <ctime>

namespace {
const char kSection[] = "Tip";

CString LoadText(UINT nID) {
  CString s;
  AfxLoadString(nID, s);
  return s;
}
}  // namespace

IMPLEMENT_DYNAMIC(CTipDlg, CDialog)

BEGIN_MESSAGE_MAP(CTipDlg, CDialog)
  ON_BN_CLICKED(IDC_TIP_NEXT, OnNextTip)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CString CTipDlg::GetTipsPath() { return AfxAppendPath(AfxGetDataFolder(), "tips.txt"); }

CTipDlg::CTipDlg(CWnd* pParent, LPCTSTR pszTipsFile) : CDialog(IDD_TIP, pParent) {
  CWinAppBase* app = AfxGetApp();
  m_bStartup = !app->GetProfileInt(kSection, "StartUp", 0);
  long pos = (long)(int)app->GetProfileInt(kSection, "FilePos", 0);
  const CString path = pszTipsFile ? CString(pszTipsFile) : GetTipsPath();
  m_pStream = std::fopen(path, "r");
  if (!m_pStream) {
    m_strTip = LoadText(IDS_TIP_FILE_ABSENT);
    return;
  }
  // A changed file starts again from its first tip.
  struct stat st {};
  if (::fstat(::fileno(m_pStream), &st) == 0) {
    const std::time_t t = st.st_mtime;
    char stamp[64] = "";
    if (const char* c = std::ctime(&t)) std::strncpy(stamp, c, sizeof stamp - 1);
    if (char* nl = std::strchr(stamp, '\n')) *nl = 0;
    if (app->GetProfileString(kSection, "TimeStamp", "") != stamp) {
      app->WriteProfileString(kSection, "TimeStamp", stamp);
      pos = 0;
    }
  }
  if (std::fseek(m_pStream, pos, SEEK_SET) != 0) {
    AfxMessageBox(IDS_TIP_FILE_TROUBLE);
    return;
  }
  GetNextTipString(m_strTip);
}

CTipDlg::~CTipDlg() {
  if (m_pStream) {
    const long pos = std::ftell(m_pStream);
    AfxGetApp()->WriteProfileInt(kSection, "FilePos", pos < 0 ? 0 : (int)pos);
    std::fclose(m_pStream);
  }
}

void CTipDlg::GetNextTipString(CString& strNext) {
  if (!m_pStream) return;
  std::string tip;
  switch (ReadNextTip(m_pStream, tip)) {
    case TIPS_TIP: strNext = tip.c_str(); break;
    case TIPS_NO_TIPS: strNext = "The tips file holds no tips."; break;
    default:
      strNext = LoadText(IDS_TIP_FILE_TROUBLE);
      AfxMessageBox(IDS_TIP_FILE_TROUBLE);
      break;
  }
}

void CTipDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_TIP_STARTUP, m_bStartup);
  DDX_Text(pDX, IDC_TIP_TEXT, m_strTip);
}

BOOL CTipDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_white.CreateSolidBrush(RGB(255, 255, 255));
  if (!m_pStream)
    if (CWnd* next = GetDlgItem(IDC_TIP_NEXT)) next->EnableWindow(FALSE);
  CenterWindow(m_pParentWnd);
  return TRUE;
}

void CTipDlg::OnNextTip() {
  GetNextTipString(m_strTip);
  UpdateData(FALSE);
}

void CTipDlg::SaveStartup() {
  // The check box as it is now, also when the dialog is left with Esc or the close box.
  if (CWnd* box = GetDlgItem(IDC_TIP_STARTUP); box && box->m_hWnd)
    m_bStartup = IsDlgButtonChecked(IDC_TIP_STARTUP) == BST_CHECKED;
  AfxGetApp()->WriteProfileInt(kSection, "StartUp", !m_bStartup);
}

void CTipDlg::OnOK() {
  SaveStartup();
  CDialog::OnOK();
}

void CTipDlg::OnCancel() {
  SaveStartup();
  CDialog::OnCancel();
}

HBRUSH CTipDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (pWnd && pWnd->GetDlgCtrlID() == IDC_TIP_TEXT) {
    pDC->SetBkColor(RGB(255, 255, 255));
    return (HBRUSH)m_white.m_hObject;
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CTipDlg::OnPaint() {
  CPaintDC dc(this);
  CRect frame(15, 15, 330, 220);
  dc.DrawEdge(&frame, EDGE_SUNKEN, BF_RECT);
  CRect inside = frame;
  inside.DeflateRect(2, 2);
  dc.FillSolidRect(&inside, RGB(255, 255, 255));
  const COLORREF grey = ::GetSysColor(COLOR_BTNSHADOW);
  CRect band(inside.left, inside.top, 65, inside.bottom);
  dc.FillSolidRect(&band, grey);
  CRect rule(65, 65, inside.right, 67);
  dc.FillSolidRect(&rule, grey);
  if (HICON icon = ::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDI_TIP_BULB)))
    ::DrawIcon(dc.m_hDC, 24, 26, icon);
  CRect caption(70, inside.top, inside.right, inside.top + 50);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(LoadText(IDS_TIP_DID_YOU_KNOW), &caption, DT_SINGLELINE | DT_VCENTER);
}
