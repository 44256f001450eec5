#include "views/AgroundWnd.h"

#include "model/QsDateTime.h"
#include "platform/core/AfxLocale.h"
#include "toolkit/CbDrawHelpers.h"
#include "views/ThemeColours.h"

#include <charconv>
#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CAgroundWnd, CWnd)

BEGIN_MESSAGE_MAP(CAgroundWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_CONTROL(CBN_SELCHANGE, CAgroundWnd::kTimeComboId, OnTimeSelChange)
  ON_CONTROL(CBN_EDITUPDATE, CAgroundWnd::kTimeComboId, OnTimeEditUpdate)
  ON_CONTROL(CBN_KILLFOCUS, CAgroundWnd::kTimeComboId, OnTimeKillFocus)
  ON_CONTROL(EN_UPDATE, CAgroundWnd::kDepthEditId, OnDepthUpdate)
  ON_NOTIFY(UDN_DELTAPOS, CAgroundWnd::kDepthSpinId, OnSpinDelta)
END_MESSAGE_MAP()

namespace {

std::string Separator(const CString& s, const char* fallback) {
  return s.IsEmpty() ? std::string(fallback) : s.GetStdString();
}

// Keeps digits, the first decimal separator with at most two digits after it, and thousands
// separators before it; drops everything else.
std::string FilterDepth(const std::string& text, const std::string& dec, const std::string& thou, size_t caret,
                        size_t& newCaret, bool& keptAny) {
  std::string out;
  bool seenDecimal = false;
  int decimals = 0;
  keptAny = false;
  newCaret = 0;
  for (size_t i = 0; i < text.size();) {
    if (i < caret) newCaret = out.size();
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (!seenDecimal || decimals < 2) {
        out += c;
        keptAny = true;
        if (seenDecimal) ++decimals;
      }
      ++i;
    } else if (!seenDecimal && text.compare(i, dec.size(), dec) == 0) {
      out += dec;
      seenDecimal = true;
      keptAny = true;
      i += dec.size();
    } else if (!seenDecimal && !thou.empty() && thou != dec && text.compare(i, thou.size(), thou) == 0) {
      out += thou;
      keptAny = true;
      i += thou.size();
    } else {
      ++i;
    }
  }
  if (caret >= text.size()) newCaret = out.size();
  return out;
}

CString Metres(double metres, BOOL feet) {
  return feet ? AfxFormatUserNumber(metres * CAgroundWnd::kFeetPerMetre, 2) + "ft"
              : AfxFormatUserNumber(metres, 2) + "m";
}

}  // namespace

AGROUND_VERDICT ComputeAgroundVerdict(double D, double d, double X, double H, BOOL bFeet) {
  AGROUND_VERDICT v;
  v.dAgroundLevel = H - D + d;
  if (X == CAgroundWnd::kDropUnknown) {
    v.nStringId = 61235;
  } else if (X + d >= D) {
    v.nStringId = 61233;
  } else {
    v.nStringId = 61234;
    v.dClearance = D - X - d;
  }
  AfxLoadString(v.nStringId, v.strText);
  if (v.nStringId == 61234) {
    const CString amount = bFeet ? AfxFormatUserNumber(v.dClearance * CAgroundWnd::kFeetPerMetre, 1) + "ft"
                                 : AfxFormatUserNumber(v.dClearance, 1) + "m";
    v.strText.Replace("%1", amount);
  }
  return v;
}

CAgroundWnd::CAgroundWnd() = default;
CAgroundWnd::~CAgroundWnd() = default;

BOOL CAgroundWnd::Create(CWnd* pParent, const RECT& rect, UINT nID) {
  LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
  return CreateEx(WS_EX_NOPARENTNOTIFY, cls, "", WS_CHILD | WS_VISIBLE, rect, pParent, nID);
}

void CAgroundWnd::MakeFonts(CDC* pDC) {
  if (m_normalFont.GetSafeHandle()) return;
  LOGFONT lf{};
  lf.lfHeight = 90;
  lf.lfWeight = 400;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strcpy(lf.lfFaceName, "MS Sans Serif");
  // The labels have fixed boxes and wrap inside them: with a font wider than the one they were
  // measured for, the end of a label would be cut off. Such a font is made smaller until the
  // longest label of each box fits on one line.
  struct Fit {
    const char* text;
    int width;
  } const fits[] = {{"Height Above Chart Datum:", 150},
                    {"Drop to Low Water", 150},
                    {"Draught of Boat", 150},
                    {"Depth of Water(ft):", 100},
                    {"Depth of Water(m):", 100}};
  CClientDC screen(nullptr);
  CDC* measure = pDC ? pDC : &screen;
  for (; lf.lfHeight > 60; lf.lfHeight -= 5) {
    CFont trial;
    trial.CreatePointFontIndirect(&lf, pDC);
    CFont* old = measure->SelectObject(&trial);
    bool fitsAll = true;
    for (const Fit& f : fits) fitsAll = fitsAll && measure->GetTextExtent(f.text).cx <= f.width;
    measure->SelectObject(old);
    if (fitsAll) break;
  }
  m_normalFont.CreatePointFontIndirect(&lf, pDC);
  lf.lfWeight = 700;
  m_boldFont.CreatePointFontIndirect(&lf, pDC);
}

int CAgroundWnd::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  MakeFonts(nullptr);
  const DWORD style = WS_CHILD | WS_VISIBLE;
  struct Label {
    CTransparentStatic* label;
    const char* text;
    CRect rect;
    bool bold;
  } labels[] = {
      {&m_heightLabel, "Height Above Chart Datum:", CRect(12, 6, 162, 21), false},
      {&m_heightValue, "00.00m", CRect(170, 6, 220, 21), true},
      {&m_dropLabel, "Drop to Low Water", CRect(12, 25, 162, 40), false},
      {&m_dropValue, "00.00m", CRect(170, 25, 220, 40), true},
      {&m_draughtLabel, "Draught of Boat", CRect(12, 44, 162, 59), false},
      {&m_draughtValue, "00.00m", CRect(170, 44, 220, 59), true},
  };
  for (Label& l : labels) {
    if (!l.label->Create(l.text, style, l.rect, this)) return -1;
    l.label->SetFont(l.bold ? &m_boldFont : &m_normalFont);
  }
  // Each field follows its label, so the label names it to a screen reader.
  if (!m_timeLabel.Create("Time:", style, CRect(230, 15, 330, 30), this)) return -1;
  m_timeLabel.SetFont(&m_normalFont);
  const CString sep = AfxGetLocaleValues().timeSeparator;
  if (!m_timeCombo.Create(style | WS_VSCROLL | CBS_DROPDOWN, CRect(335, 10, 415, 135), this, kTimeComboId)) return -1;
  m_timeCombo.SetFont(&m_normalFont);
  for (int h = 0; h < 24; h += 2) {
    CString item;
    item.Format("%02d%s00", h, sep.GetString());
    m_timeCombo.AddString(item);
  }
  m_strLastValidTime = "12" + sep + "00";
  m_timeCombo.SetWindowText(m_strLastValidTime);
  if (!m_depthLabel.Create(m_bFeet ? "Depth of Water(ft):" : "Depth of Water(m):", style, CRect(230, 40, 330, 55),
                           this))
    return -1;
  m_depthLabel.SetFont(&m_normalFont);
  const int v = ::GetSystemMetrics(SM_CXVSCROLL);
  if (!m_depthEdit.Create(style | ES_AUTOHSCROLL, CRect(339, 39, 413 - v, 54), this, kDepthEditId)) return -1;
  m_depthEdit.SetFont(&m_normalFont);
  if (!m_depthSpin.Create(style, CRect(413 - v, 37, 415, 56), this, kDepthSpinId)) return -1;
  UpdateResults();
  return 0;
}

void CAgroundWnd::OnDestroy() { CWnd::OnDestroy(); }

void CAgroundWnd::Draw(CDC* dc, const CRect& rc) {
  const COLORREF back = ThemeBackColour();
  dc->FillSolidRect(&rc, back);
  CCbDrawHelpers helpers;
  helpers.GradientFill(dc, &rc, ThemeGradientLight(), ThemeGradientMid(), FALSE);
  CBrush border(ThemeBorderColour());
  dc->FrameRect(&rc, &border);
  CRect box(335, 35, 415, 58);
  dc->DrawEdge(&box, EDGE_SUNKEN, BF_RECT);
  box.DeflateRect(2, 2);
  dc->FillSolidRect(&box, back);
}

void CAgroundWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  Draw(&dc, rc);
  const int v = ::GetSystemMetrics(SM_CXVSCROLL);
  m_depthSpin.SetWindowPos(nullptr, 413 - v, 37, v, 19, SWP_NOZORDER | SWP_NOACTIVATE);
  m_depthEdit.SetWindowPos(nullptr, 339, 39, 74 - v, 17, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAgroundWnd::SetDropToLowWater(double dMetres) {
  m_dDropToLowWater = dMetres;
  m_bDropUnknown = dMetres == kDropUnknown ? 1 : 0;
}

void CAgroundWnd::SetLabel(CTransparentStatic& label, CString& text, const CString& value) {
  text = value;
  if (label.GetSafeHwnd()) label.SetWindowText(value);
}

void CAgroundWnd::UpdateResults() {
  SetLabel(m_draughtValue, m_strDraught, Metres(m_dDraught, m_bFeet));
  SetLabel(m_dropValue, m_strDrop, m_bDropUnknown ? CString("Unknown") : Metres(m_dDropToLowWater, m_bFeet));
  SetLabel(m_heightValue, m_strHeight, Metres(m_dHeightAboveDatum, m_bFeet));
  if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CAgroundWnd::SetUseCurrentTime(int bUse) {
  m_bUseCurrentTime = bUse ? 1 : 0;
  if (m_timeCombo.GetSafeHwnd()) m_timeCombo.EnableWindow(!bUse);
}

void CAgroundWnd::SetTimeMinutes(int nMinutes) {
  if (nMinutes < 0 || nMinutes >= 24 * 60) return;
  CString text;
  text.Format("%02d%s%02d", nMinutes / 60, AfxGetLocaleValues().timeSeparator.GetString(), nMinutes % 60);
  m_strLastValidTime = text;
  if (m_timeCombo.GetSafeHwnd()) m_timeCombo.SetWindowText(text);
}

CString CAgroundWnd::GetTimeText() const {
  CString text;
  if (m_timeCombo.GetSafeHwnd())
    m_timeCombo.GetWindowText(text);
  else
    text = m_strLastValidTime;
  return text;
}

int CAgroundWnd::GetTimeMinutes() const {
  CQsDateTime t;
  if (!t.ParseTime(GetTimeText())) return 0;
  return t.GetHour() * 60 + t.GetMinute();
}

CString CAgroundWnd::GetDepthText() const {
  CString text;
  if (m_depthEdit.GetSafeHwnd()) m_depthEdit.GetWindowText(text);
  return text;
}

void CAgroundWnd::SetDepthOfWater(double dValue) {
  const CString text = AfxFormatUserNumber(dValue, 2);
  if (m_depthEdit.GetSafeHwnd()) m_depthEdit.SetWindowText(text);
}

double CAgroundWnd::ShownDepth() const {
  double value = 0.0;
  return AfxParseUserNumber(GetDepthText(), value) ? value : 0.0;
}

double CAgroundWnd::GetDepthOfWater() const {
  const double value = ShownDepth();
  return m_bFeet ? value / kFeetPerMetre : value;
}

void CAgroundWnd::SetFeet(int bFeet) {
  bFeet = bFeet ? 1 : 0;
  if (bFeet == m_bFeet) return;
  const double shown = ShownDepth();
  m_bFeet = bFeet;
  m_strDepthLabel = bFeet ? "Depth of Water(ft):" : "Depth of Water(m):";
  if (m_depthLabel.GetSafeHwnd()) m_depthLabel.SetWindowText(m_strDepthLabel);
  SetDepthOfWater(bFeet ? shown * kFeetPerMetre : shown / kFeetPerMetre);
  UpdateResults();
}

void CAgroundWnd::CheckTime() {
  const CString text = GetTimeText();
  CQsDateTime t;
  if (!t.ParseTime(text)) return;
  m_strLastValidTime = text;
  if (m_pHost) m_pHost->UpdateTimeMark();
}

void CAgroundWnd::OnTimeSelChange() {
  const int sel = m_timeCombo.GetCurSel();
  if (sel >= 0) {
    CString item;
    m_timeCombo.GetLBText(sel, item);
    m_timeCombo.SetWindowText(item);
  }
  CheckTime();
}

void CAgroundWnd::OnTimeEditUpdate() { CheckTime(); }

void CAgroundWnd::OnTimeKillFocus() {
  if (m_timeCombo.GetSafeHwnd()) m_timeCombo.SetWindowText(m_strLastValidTime);
  CheckTime();
}

void CAgroundWnd::OnDepthUpdate() {
  if (m_bFiltering) return;
  const CString text = GetDepthText();
  if (text == m_strLastFiltered) return;
  const AFX_LOCALE_VALUES loc = AfxGetLocaleValues();
  int start = 0, end = 0;
  m_depthEdit.GetSel(start, end);
  size_t caret = 0;
  bool kept = false;
  const std::string filtered =
      FilterDepth(text.GetStdString(), Separator(loc.decimalSeparator, "."), loc.thousandSeparator.GetStdString(),
                  static_cast<size_t>(std::max(start, 0)), caret, kept);
  m_strLastFiltered = CString(filtered.c_str());
  if (m_strLastFiltered != text) {
    m_bFiltering = TRUE;
    m_depthEdit.SetWindowText(m_strLastFiltered);
    m_depthEdit.SetSel(static_cast<int>(caret), static_cast<int>(caret));
    m_bFiltering = FALSE;
  }
  if (kept && m_pHost) m_pHost->RefreshAgroundStatus();
}

void CAgroundWnd::OnSpinDelta(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;  // the change is always allowed
  const NMUPDOWN* ud = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
  const double value = ShownDepth();
  if (ud->iDelta < 0 && value <= 9999.99)
    SetDepthOfWater(value + 0.5);
  else if (ud->iDelta > 0 && value >= 0.5)
    SetDepthOfWater(value - 0.5);
}
