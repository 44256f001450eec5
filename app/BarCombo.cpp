#include "app/BarCombo.h"

#include "app/Resource.h"
#include "platform/core/AfxLocale.h"

#include <cctype>

IMPLEMENT_DYNAMIC(CBarComboBox, CCbControlComboBox)
IMPLEMENT_DYNAMIC(CDayCombo, CBarComboBox)
IMPLEMENT_DYNAMIC(CMonthCombo, CBarComboBox)
IMPLEMENT_DYNAMIC(CYearCombo, CBarComboBox)
IMPLEMENT_DYNAMIC(CMapPickerCombo, CBarComboBox)
IMPLEMENT_DYNAMIC(CStreamTimeCombo, CBarComboBox)

void CBarComboBox::PostToMain(UINT nMessage, WPARAM wParam) {
  if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd()) main->PostMessage(nMessage, wParam, 0);
}

// ---- Date combos ----
CDayCombo::~CDayCombo() = default;
void CDayCombo::OnExecute() {
  CBarComboBox::OnExecute();
  PostToMain(WM_DAYCOMBO_CHANGED, (WPARAM)GetCurSel());
}

CMonthCombo::~CMonthCombo() = default;
void CMonthCombo::OnExecute() {
  CBarComboBox::OnExecute();
  PostToMain(WM_MONTHCOMBO_CHANGED, (WPARAM)GetCurSel());
}

CYearCombo::~CYearCombo() = default;
void CYearCombo::OnExecute() {
  CBarComboBox::OnExecute();
  PostToMain(WM_YEARCOMBO_CHANGED, (WPARAM)GetCurSel());
}

// ---- Region ----
CMapPickerCombo::~CMapPickerCombo() = default;

void CMapPickerCombo::AddRegions() {
  static const struct {
    const char* name;
    DWORD_PTR bit;
  } kRegions[] = {{"UK & Ireland", 1}, {"Europe", 4}, {"Australia", 8}, {"US East Coast", 2}};
  for (const auto& r : kRegions) SetItemData(AddString(r.name), r.bit);
}

void CMapPickerCombo::OnExecute() {
  CBarComboBox::OnExecute();
  // The region shown already is posted too: the frame decides.
  const int sel = GetCurSel();
  CWnd* frame = m_pFrame && m_pFrame->GetSafeHwnd() ? m_pFrame : AfxGetMainWnd();
  if (sel >= 0 && frame && frame->GetSafeHwnd()) frame->PostMessage(WM_MAPPICKER_CHANGED, (WPARAM)GetItemData(sel), 0);
}

// ---- Stream time ----
CStreamTimeCombo::CStreamTimeCombo(CWnd* pFrame) : m_pFrame(pFrame) {}
CStreamTimeCombo::~CStreamTimeCombo() = default;

CString CStreamTimeCombo::FormatTime(const CQsDateTime& time) {
  char sep[20] = {};
  if (::GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIME, sep, 20) <= 0) sep[0] = ':', sep[1] = 0;
  CString s;
  s.Format("%02d%s%02d", time.GetHour(), sep, time.GetMinute());
  return s;
}

void CStreamTimeCombo::AddHours() {
  for (int h = 0; h < 24; ++h) AddString(FormatTime(CQsDateTime(2005, 1, 1, h, 0, 0)));
}

BOOL CStreamTimeCombo::ParseTypedTime(const CString& strText, CQsDateTime& time) {
  CQsDateTime t = time;
  if (t.ParseTime(strText)) {
    time = t;
    return TRUE;
  }
  // An hour alone.
  CString s = strText;
  s.Trim();
  if (s.IsEmpty() || s.GetLength() > 2) return FALSE;
  for (int i = 0; i < s.GetLength(); ++i)
    if (!std::isdigit((unsigned char)s[i])) return FALSE;
  const int hour = std::atoi(s);
  if (hour > 23) return FALSE;
  time.SetTime(hour, 0, 0);
  return TRUE;
}

void CStreamTimeCombo::Notify() {
  m_posted = m_time;
  ++m_nPosts;
  CWnd* frame = m_pFrame && m_pFrame->GetSafeHwnd() ? m_pFrame : AfxGetMainWnd();
  if (frame && frame->GetSafeHwnd()) frame->PostMessage(WM_STREAMTIME_CHANGED, 0, 0);
}

void CStreamTimeCombo::UpdateShownText() {
  CBarComboBox::UpdateShownText();
  // Browsing the list moves the time; the chart hears of it on a pick only.
  ParseTypedTime(GetShownText(), m_time);
}

void CStreamTimeCombo::OnSetPopup(BOOL bPopup) {
  if (bPopup && !IsOpen()) {
    m_savedTime = m_time;
    m_strTimeText = GetEditText();
    m_bExecuted = FALSE;
  }
  const BOOL wasOpen = IsOpen();
  CBarComboBox::OnSetPopup(bPopup);
  if (!bPopup && wasOpen && !m_bExecuted) {
    // A dismissal: the text and the time go back as they were.
    m_time = m_savedTime;
    SetEditText(m_strTimeText);
  }
}

void CStreamTimeCombo::OnExecute() {
  m_bExecuted = TRUE;
  const int posts = m_nPosts;
  CBarComboBox::OnExecute();
  const BOOL ok = ParseTypedTime(GetEditText(), m_time);
  SetEditText(FormatTime(m_time));
  // Enter in the edit ends the typing too, which has told the chart already.
  if (ok && posts == m_nPosts) Notify();
}

void CStreamTimeCombo::OnEditSetFocus(CWnd* pWndOld) {
  m_savedTime = m_time;
  m_strTimeText = FormatTime(m_time);
  m_bCancelEdit = FALSE;
  CBarComboBox::OnEditSetFocus(pWndOld);
}

int CStreamTimeCombo::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (nChar == VK_ESCAPE && IsEditFocused()) {
    // Typing is given up: what was there comes back.
    m_bCancelEdit = TRUE;
    m_time = m_savedTime;
    SetEditText(m_strTimeText);
  }
  return CBarComboBox::OnHookKeyDown(nChar, lParam);
}

void CStreamTimeCombo::EndEdit() {
  CBarComboBox::EndEdit();
  if (m_bCancelEdit) {
    m_bCancelEdit = FALSE;
    SetEditText(FormatTime(m_time));
    return;
  }
  // A text that is no time keeps the previous one.
  const BOOL ok = ParseTypedTime(GetEditText(), m_time);
  SetEditText(FormatTime(m_time));
  if (ok && !(m_time.GetHour() == m_posted.GetHour() && m_time.GetMinute() == m_posted.GetMinute())) Notify();
}
