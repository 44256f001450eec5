// The CSV export of tide heights: the "Export Data" range dialog and the writer of the file.
#pragma once

#include "app/DialogsResource.h"
#include "model/AngleFactorDB.h"
#include "model/PortDB.h"
#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"

#include <string>

// What the export writes: a port, days from start to end inclusive, and the times.
struct TIDE_CSV_REQUEST {
  const CPortData* pPort = nullptr;
  const CAngleFactorDB* pTables = nullptr;
  CQsDateTime start, end;    // dates; their times are ignored
  int nInterval = 1;         // 0 high and low waters; 1 to 4 every 5, 10, 30 or 60 minutes
  int nZone = 0;             // zone code the times are in
  BOOL bAutoTZ = TRUE;       // summer time is added where the port's rule has it
  CString strZoneCaption;    // the zone's offset, "GMT (+0:00)"
  CString strSummerCaption;  // the offset in summer time (automatic zone only)
};

// The minutes between rows of an interval choice; 0 for the high and low waters, -1 for none.
int TideCsvStep(int nInterval);
// Appends the file's text: the port name, the zone line and "Date/Time,Height(m)", then the
// rows. Texts are quoted where they need it; times and heights are in fixed formats whatever
// the user's locale. Returns the number of rows.
int BuildTideCsv(const TIDE_CSV_REQUEST& request, std::string& out);
// A time as the file writes it: "01 March 2010 13:05:00".
std::string FormatCsvTime(const CQsDateTime& when);
// A field of the file, quoted when it holds a comma, a quote or a line break.
std::string CsvField(LPCTSTR lpszText);

class CDataExport : public CDialog {
  DECLARE_DYNAMIC(CDataExport)
  DECLARE_MESSAGE_MAP()
 public:
  explicit CDataExport(CWnd* pParent = nullptr);

  CComboBox m_startDay, m_startMonth, m_startYear, m_endDay, m_endMonth, m_endYear;
  int m_nInterval = -1;
  CString m_strPortName;
  CString m_strZone;
  CQsDateTime m_start, m_end;
  int m_nFirstYear = 2009;
  int m_nEndYear = 2010;  // one past the last year offered
  // The day the default rows are taken from (today, unless a caller says otherwise).
  CQsDateTime m_today;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnOK() override;

 protected:
  void OnStartChanged();
  void OnEndChanged();

 private:
  void FillRow(CComboBox& day, CComboBox& month, CComboBox& year, int nDay, int nMonth, int nYear);
  void RefillDays(CComboBox& day, const CComboBox& month, const CComboBox& year);
  CQsDateTime RowDate(const CComboBox& day, const CComboBox& month, const CComboBox& year) const;
};
