// What a screen reader reads of the pages: each names what it shows; the tide times, the
// month's table and the log give their rows as items.
#include "platform/ui/Accessible.h"
#include "views/AgroundWnd.h"
#include "views/GraphWnd.h"
#include "views/HeightFindWnd.h"
#include "views/TableWnd.h"
#include "views/TideLogWnd.h"
#include "views/TideTimesWnd.h"

namespace {

// The question, when it is one; the window's default answer otherwise.
AFXACCQUERY* QueryOf(WPARAM wParam, LPARAM lParam) {
  return (LONG)lParam == OBJID_AFXQUERY ? (AFXACCQUERY*)wParam : nullptr;
}

// A page with rows: count, and each row a list item (or table row) named by its text.
template <class Rows>
LRESULT AnswerRows(AFXACCQUERY* q, int nRole, const CString& strName, int nRowRole, int nRows, Rows rowText) {
  if (q->nAsk == AFXACC_COUNT) {
    q->nCount = nRows;
    return TRUE;
  }
  if (q->nAsk != AFXACC_DESCRIBE) return FALSE;
  if (q->nChild == CHILDID_SELF) {
    q->info.nRole = nRole;
    q->info.strName = strName;
    return TRUE;
  }
  if (q->nChild < 1 || q->nChild > nRows) return FALSE;
  q->info.nRole = nRowRole;
  q->info.strName = rowText(q->nChild - 1);
  q->info.dwState |= STATE_SYSTEM_READONLY;
  return TRUE;
}

LRESULT AnswerName(AFXACCQUERY* q, int nRole, const CString& strName) {
  if (q->nAsk != AFXACC_DESCRIBE || q->nChild != CHILDID_SELF) return FALSE;
  q->info.nRole = nRole;
  q->info.strName = strName;
  return TRUE;
}

CString MonthTitle(int nMonth, int nYear) {
  static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
  CString s;
  if (nMonth >= 1 && nMonth <= 12) s.Format("%s %d", kMonths[nMonth - 1], nYear);
  return s;
}

}  // namespace

LRESULT CGraphWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  return q ? AnswerName(q, ROLE_SYSTEM_CHART, m_strTitle) : Default();
}

LRESULT CTideTimesWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  if (!q) return Default();
  return AnswerRows(q, ROLE_SYSTEM_LIST, "Tide times", ROLE_SYSTEM_LISTITEM, m_bHasData ? m_nCount : 0,
                    [this](int i) { return GetTimeText(i) + " " + GetHeightText(i); });
}

LRESULT CTableWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  if (!q) return Default();
  // One row a day that has waters: "11: 00:08 4.9m, 06:21 0.8m, ...".
  std::vector<int> days;
  for (int d = 1; d <= kDays; ++d)
    for (int slot = 0; slot < kMaxSlots; ++slot)
      if (IsEventPresent(slot, d)) {
        days.push_back(d);
        break;
      }
  return AnswerRows(q, ROLE_SYSTEM_TABLE, "Tide table " + m_strPortName + " " + MonthTitle(m_nMonth, m_nYear),
                    ROLE_SYSTEM_ROW, IsCalculated() ? (int)days.size() : 0, [this, &days](int i) {
                      CString s;
                      s.Format("%d:", days[(size_t)i]);
                      for (int slot = 0; slot < kMaxSlots; ++slot)
                        if (IsEventPresent(slot, days[(size_t)i]))
                          s += " " + GetEventTimeText(slot, days[(size_t)i]) + " " +
                               GetEventHeightText(slot, days[(size_t)i]);
                      return s;
                    });
}

LRESULT CHeightFindWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  return q ? AnswerName(q, ROLE_SYSTEM_PANE, "Height finder " + m_strPortName + " " + MonthTitle(m_nMonth, m_nYear))
           : Default();
}

LRESULT CTideLogWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  if (!q) return Default();
  return AnswerRows(q, ROLE_SYSTEM_TABLE, "Tide Log", ROLE_SYSTEM_ROW, GetRowCount(), [this](int row) {
    CString s;
    for (int col = 0; col < kColumns; ++col) {
      CString cell = GetCellText(row, col);
      if (cell.IsEmpty()) continue;
      if (!s.IsEmpty()) s += ", ";
      s += cell;
    }
    return s;
  });
}

LRESULT CAgroundWnd::OnGetObject(WPARAM wParam, LPARAM lParam) {
  AFXACCQUERY* q = QueryOf(wParam, lParam);
  return q ? AnswerName(q, ROLE_SYSTEM_PANE, "Running aground") : Default();
}
