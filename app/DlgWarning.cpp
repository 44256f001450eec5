#include "app/DlgWarning.h"

#include "app/DialogDrawing.h"

namespace {

CString LoadText(UINT nID) {
  CString s;
  AfxLoadString(nID, s);
  return s;
}

// Breaks each paragraph into lines that fit the width in the DC's font (the edit shows its
// lines as they are given).
CString WrapToWidth(CDC* pDC, const CString& text, int width) {
  CString out, line, word;
  auto flushWord = [&] {
    if (word.IsEmpty()) return;
    const CString joined = line.IsEmpty() ? word : line + " " + word;
    if (!line.IsEmpty() && pDC->GetTextExtent(joined).cx > width) {
      out += line + "\r\n";
      line = word;
    } else {
      line = joined;
    }
    word.Empty();
  };
  for (int i = 0; i < text.GetLength(); ++i) {
    const char c = text[i];
    if (c == ' ') {
      flushWord();
    } else if (c == '\n') {
      flushWord();
      out += line + "\r\n";
      line.Empty();
    } else if (c != '\r') {
      word += c;
    }
  }
  flushWord();
  return out + line;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDlgWarning, CDialog)

BEGIN_MESSAGE_MAP(CDlgWarning, CDialog)
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CDlgWarning::CDlgWarning(CWnd* pParent) : CDialog(IDD_WARNING, pParent) {}

CString CDlgWarning::BuildNoticeText() {
  const char* sep = "\r\n\r\n";
  CString text =
      "NOT FOR NAVIGATION. The tide predictions of this program are computed by a simplified method from "
      "published harmonic constants. They can be wrong by many minutes and by tens of centimetres, and they take "
      "no account of weather, surges or river flow.";
  text += sep;
  text +=
      "The harmonic constants, datums and port names come from the Neaps tide database (@neaps/tide-database; its "
      "data under CC BY 4.0), which gathers: US National Oceanic and Atmospheric Administration (NOAA) station "
      "data, in the public domain (NOAA does not endorse this program); TICON-4 (Hart-Davis, Dettmering and Seitz, "
      "2025, SEANOE, CC BY 4.0); and Kartverket / Norwegian Mapping Authority, Hydrographic Service (CC BY 4.0). "
      "They were modified for this program; see ATTRIBUTIONS.txt in its data folder.";
  text += sep;
  text +=
      "Coastlines: GSHHG, the Global Self-consistent, Hierarchical, High-resolution Geography Database (Wessel and "
      "Smith, 1996), under the GNU Lesser General Public License.";
  text += sep;
  text += LoadText(IDS_NOTICE_NO_LIABILITY);
  text += sep;
  text += LoadText(IDS_NOTICE_NO_VERIFICATION);
  text += sep;
  text += LoadText(IDS_NOTICE_OFFICIAL_TABLES);
  text += sep;
  text +=
      "This Product is designed to supplement conventional navigation aids and methods and should not be used as "
      "a replacement in any circumstances.";
  return text;
}

void CDlgWarning::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NOTICE_TITLE, m_title);
  DDX_Text(pDX, IDC_NOTICE_TEXT, m_strText);
}

BOOL CDlgWarning::OnInitDialog() {
  m_strText = BuildNoticeText();
  CDialog::OnInitDialog();
  LOGFONT lf;
  InitDefaultLogFont(&lf);
  lf.lfHeight = 140;
  lf.lfWeight = FW_BOLD;
  m_font.CreatePointFontIndirect(&lf);
  m_title.SetFont(&m_font);
  m_title.SetWindowText(LoadText(IDS_NOTICE_TITLE));
  if (CWnd* edit = GetDlgItem(IDC_NOTICE_TEXT)) {
    CRect r;
    edit->GetClientRect(&r);
    CClientDC dc(edit);
    CFont* old = dc.SelectObject(edit->GetFont());
    edit->SetWindowText(WrapToWidth(&dc, m_strText, r.Width() - ::GetSystemMetrics(SM_CXVSCROLL) - 8));
    dc.SelectObject(old);
  }
  m_nTicks = 0;
  SetTimer(kTimerId, kTimerPeriod, nullptr);
  CenterWindow(m_pParentWnd);
  if (CWnd* ok = GetDlgItem(IDOK)) ok->SetFocus();
  return FALSE;
}

void CDlgWarning::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kTimerId) return;
  if (m_nTicks > kLastTick) {
    KillTimer(kTimerId);
    OnOK();
    return;
  }
  ++m_nTicks;
}

void CDlgWarning::OnDestroy() { KillTimer(kTimerId); }
