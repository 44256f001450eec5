#include "app/DataExport.h"
#include "model/LocalDay.h"

#include "model/Prediction.h"
#include "model/SummerTime.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

// Appends a height in metres with two decimals and a point, whatever the locale.
void AppendHeight(std::string& out, double metres) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, (float)metres, std::chars_format::fixed, 2);
  out.append(buf, r.ptr);
}

void AppendRow(std::string& out, const CQsDateTime& when, double metres) {
  out += FormatCsvTime(when);
  out += ',';
  AppendHeight(out, metres);
  out += '\n';
}

}  // namespace

int TideCsvStep(int nInterval) {
  switch (nInterval) {
    case 0: return 0;
    case 1: return 5;
    case 2: return 10;
    case 3: return 30;
    case 4: return 60;
    default: return -1;
  }
}

std::string FormatCsvTime(const CQsDateTime& when) {
  char buf[64];
  const int month = std::clamp(when.GetMonth(), 1, 12);
  std::snprintf(buf, sizeof buf, "%02d %s %04d %02d:%02d:%02d", when.GetDay(), kMonthNames[month - 1], when.GetYear(),
                when.GetHour(), when.GetMinute(), when.GetSecond());
  return buf;
}

std::string CsvField(LPCTSTR lpszText) {
  const std::string text = lpszText ? lpszText : "";
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

int BuildTideCsv(const TIDE_CSV_REQUEST& r, std::string& out) {
  const int step = TideCsvStep(r.nInterval);
  if (!r.pPort || !r.pTables || step < 0) return 0;
  CPrediction day;
  day.SetPort(*r.pPort);
  const int rule = day.GetArea();

  std::string rows;
  int count = 0;
  int summerSeen = 0;
  int h1 = -1, h2 = -1;
  // Extremes closer than this are one turning point.
  constexpr int kSameEvent = 20;
  int lastEvent = -kSameEvent - 1;
  CQsDateTime d(r.start.GetYear(), r.start.GetMonth(), r.start.GetDay(), 0, 0, 0);
  const CQsDateTime last(r.end.GetYear(), r.end.GetMonth(), r.end.GetDay(), 0, 0, 0);
  for (; d <= last; d.NextDay()) {
    CQsDateTime next = d;
    next.NextDay();
    const CAngleFactorData& today = r.pTables->Find(d, h1);
    const CAngleFactorData& tomorrow = r.pTables->Find(next, h2);
    if (h1 < 0 || h2 < 0) {  // a day without both records has no heights
      lastEvent = -kSameEvent - 1;
      continue;
    }
    day.SetAngleFactors(today, tomorrow);
    day.ClearCache();
    // The day as its clock runs: on a change of summer time the rows follow real time (23 or
    // 25 hours of them) and are stamped with the clock's reading.
    const CLocalDay local(d, r.nZone, rule, r.bAutoTZ);
    summerSeen |= local.GetStartSummer() | local.GetEndSummer();
    if (step == 0) {
      TIMEHEIGHT events[CPrediction::kMaxDayEvents];
      int elapsed[CPrediction::kMaxDayEvents];
      const int n = day.FindHighLow(local, events, elapsed);
      for (int i = 0; i < n; ++i) {
        // Two days' predictions can put one extreme at 23:59 and again at 00:00: list it once.
        if (elapsed[i] - lastEvent <= kSameEvent) continue;
        const int clock = events[i].minutes;
        AppendRow(rows, CQsDateTime(d.GetYear(), d.GetMonth(), d.GetDay(), clock / 60, clock % 60, 0),
                  events[i].metres);
        ++count;
      }
      // The last event, in minutes from the next day's midnight.
      lastEvent = (n > 0 ? elapsed[n - 1] : -kSameEvent - 1) - local.GetMinutes();
    } else {
      for (int m = 0; m < local.GetMinutes(); m += step) {
        const int clock = local.ClockMinute(m);
        AppendRow(rows, CQsDateTime(d.GetYear(), d.GetMonth(), d.GetDay(), clock / 60, clock % 60, 0),
                  day.HeightAt(local, m));
        ++count;
      }
    }
  }

  out += CsvField(r.pPort->GetName());
  out += '\n';
  // An automatic zone names its offsets: the rows change offset where summer time starts or ends.
  CString zone = r.strZoneCaption;
  if (r.bAutoTZ) {
    zone = "Automatic: " + r.strZoneCaption;
    if (summerSeen && !r.strSummerCaption.IsEmpty()) zone += "; " + r.strSummerCaption + " in summer time";
  }
  out += CsvField(zone);
  out += "\nDate/Time,Height(m)\n";
  out += rows;
  return count;
}

// ---- The range dialog ----

IMPLEMENT_DYNAMIC(CDataExport, CDialog)

BEGIN_MESSAGE_MAP(CDataExport, CDialog)
  ON_CONTROL(CBN_SELCHANGE, IDC_START_MONTH, OnStartChanged)
  ON_CONTROL(CBN_SELCHANGE, IDC_START_YEAR, OnStartChanged)
  ON_CONTROL(CBN_SELCHANGE, IDC_END_MONTH, OnEndChanged)
  ON_CONTROL(CBN_SELCHANGE, IDC_END_YEAR, OnEndChanged)
END_MESSAGE_MAP()

CDataExport::CDataExport(CWnd* pParent) : CDialog(IDD_DATA_EXPORT, pParent), m_today(CQsDateTime::GetCurrent()) {}

void CDataExport::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_START_DAY, m_startDay);
  DDX_Control(pDX, IDC_START_MONTH, m_startMonth);
  DDX_Control(pDX, IDC_START_YEAR, m_startYear);
  DDX_Control(pDX, IDC_END_DAY, m_endDay);
  DDX_Control(pDX, IDC_END_MONTH, m_endMonth);
  DDX_Control(pDX, IDC_END_YEAR, m_endYear);
  DDX_Radio(pDX, IDC_EXPORT_EVENTS, m_nInterval);
  DDX_Text(pDX, IDC_PORT_NAME_TEXT, m_strPortName);
  DDX_Text(pDX, IDC_EXPORT_ZONE, m_strZone);
}

BOOL CDataExport::OnInitDialog() {
  CDialog::OnInitDialog();
  // From the first of this month to the end of the month of tomorrow (the next year's
  // January on 31 December).
  CQsDateTime tomorrow(m_today.GetYear(), m_today.GetMonth(), m_today.GetDay(), 0, 0, 0);
  tomorrow.NextDay();
  FillRow(m_startDay, m_startMonth, m_startYear, 1, m_today.GetMonth(), m_today.GetYear());
  FillRow(m_endDay, m_endMonth, m_endYear, ::DaysInMonth(tomorrow.GetMonth(), tomorrow.GetYear()), tomorrow.GetMonth(),
          tomorrow.GetYear());
  CenterWindow(m_pParentWnd);
  return TRUE;
}

void CDataExport::FillRow(CComboBox& day, CComboBox& month, CComboBox& year, int nDay, int nMonth, int nYear) {
  month.ResetContent();
  for (int m = 1; m <= 12; ++m) month.AddString(CQsDateTime(2000, m, 1, 0, 0, 0).Format("%B"));
  month.SetCurSel(std::clamp(nMonth, 1, 12) - 1);
  year.ResetContent();
  CString s;
  for (int y = m_nFirstYear; y < m_nEndYear; ++y) {
    s.Format("%d", y);
    year.AddString(s);
  }
  // A year outside the tables' range shows as the nearest one offered.
  if (year.GetCount() > 0) year.SetCurSel(std::clamp(nYear - m_nFirstYear, 0, year.GetCount() - 1));
  day.ResetContent();
  const int days = ::DaysInMonth(month.GetCurSel() + 1, m_nFirstYear + std::max(year.GetCurSel(), 0));
  for (int d = 1; d <= days; ++d) {
    s.Format("%d", d);
    day.AddString(s);
  }
  day.SetCurSel(std::clamp(nDay, 1, days) - 1);
}

void CDataExport::RefillDays(CComboBox& day, const CComboBox& month, const CComboBox& year) {
  const int days = ::DaysInMonth(std::max(month.GetCurSel(), 0) + 1, m_nFirstYear + std::max(year.GetCurSel(), 0));
  if (day.GetCount() == days) return;
  const int sel = day.GetCurSel();
  day.ResetContent();
  CString s;
  for (int d = 1; d <= days; ++d) {
    s.Format("%d", d);
    day.AddString(s);
  }
  day.SetCurSel(std::clamp(sel, 0, days - 1));
}

void CDataExport::OnStartChanged() { RefillDays(m_startDay, m_startMonth, m_startYear); }
void CDataExport::OnEndChanged() { RefillDays(m_endDay, m_endMonth, m_endYear); }

CQsDateTime CDataExport::RowDate(const CComboBox& day, const CComboBox& month, const CComboBox& year) const {
  return CQsDateTime(m_nFirstYear + std::max(year.GetCurSel(), 0), std::max(month.GetCurSel(), 0) + 1,
                     std::max(day.GetCurSel(), 0) + 1, 0, 0, 0);
}

void CDataExport::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (TideCsvStep(m_nInterval) < 0) {
    AfxMessageBox("Please choose the times to export.", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_start = RowDate(m_startDay, m_startMonth, m_startYear);
  m_end = RowDate(m_endDay, m_endMonth, m_endYear);
  if (m_start > m_end) {
    AfxMessageBox("End date must not be before start date.", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_end.SetTime(23, 59, 59);
  EndDialog(IDOK);
}
