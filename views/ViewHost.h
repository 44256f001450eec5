// What the tide views ask of the main frame. The frame implements it; tests fake it.
#pragma once

#include "model/LocalDay.h"
#include "model/MonthlyPrediction.h"
#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"

class CAngleFactorDB;
class CPortDB;
class CPrediction;
class VxMenu;

// Sent by the graph to the main window to open the full-screen graph (wParam 0, lParam 0).
#define WM_GRAPH_FULLSCREEN (WM_USER + 1005)

class IViewHost {
 public:
  virtual ~IViewHost() = default;

  // The main window: owner of the views' messages to the frame.
  virtual CWnd* GetMainWindow() = 0;
  // The frame's one owner-drawn menu, which the views load their context menus into.
  virtual VxMenu* GetContextMenu() = 0;

  virtual CQsDateTime GetSelectedDate() const = 0;
  virtual CQsDateTime AddDays(const CQsDateTime& date) const = 0;  // one day later
  virtual int GetTimeZone() const = 0;                             // the effective zone
  virtual int GetChosenTimeZone() const = 0;
  virtual BOOL IsAutoTimeZone() const = 0;
  virtual BOOL IsUseCurrentTime() const = 0;
  virtual BOOL IsFeet() const = 0;
  virtual int GetCurrentPort() const = 0;
  virtual CString GetCurrentPortName() const = 0;
  virtual CPrediction* GetPrediction() = 0;
  virtual double GetAgroundLevel() const = 0;

  virtual void CalculateGraph() = 0;
  virtual void CalculateTable() = 0;
  virtual void SelectPort(int nPort) = 0;
  // Nonzero when a port matched the text and was selected.
  virtual BOOL SelectPortByName(LPCTSTR lpszName) = 0;
  // 0 when the day was already selected.
  virtual BOOL SelectDay(int nDay) = 0;
  virtual BOOL SelectDate(int nDay, int nMonth, int nYear) = 0;
  virtual void ShowGraphPage() = 0;
  virtual void GoNext() = 0;
  virtual void GoPrevious() = 0;

  // ---- Month pages (table and height finder) ----
  // The frame's month of predictions (days 1..31 of the selected month); by default an empty
  // month.
  virtual CMonthlyPrediction& GetMonthlyPrediction() {
    static CMonthlyPrediction none;
    return none;
  }
  // Nonzero when summer time applies on that day of the selected month.
  virtual int IsSummerTimeOnDay(int nDay) const {
    (void)nDay;
    return 0;
  }
  // That day of the selected month as the views give its local times: the effective zone and,
  // with the summer-time option on, the port's rule with its change at the rule's instant. By
  // default a plain day shifted as IsSummerTimeOnDay says.
  virtual CLocalDay GetLocalDayOf(int nDay) const { return CLocalDay::Plain(GetTimeZone(), IsSummerTimeOnDay(nDay)); }
  // Puts the zone caption of the selected month into the status bar.
  virtual void ShowPeriodTimeZoneCaption() {}
  // The tidal log's rows make predictions of their own from the frame's tables (nullptr when
  // the frame has none loaded).
  virtual CPortDB* GetPortDB() { return nullptr; }
  // The port picker, for the tidal log's port buttons: the chosen port, or -1 when cancelled.
  virtual int PickPort(int nInitialPort) {
    (void)nInitialPort;
    return -1;
  }
  virtual const CAngleFactorDB* GetAngleFactorDB() const { return nullptr; }
  // The running-aground panel: its time became a valid time; its depth text changed.
  virtual void UpdateTimeMark() {}
  virtual void RefreshAgroundStatus() {}

  // ---- The full-screen graph, which computes its own curve ----
  // The graph's axis settings: an automatic top, or the fixed maximum in metres.
  virtual BOOL IsAutoHeight() const { return TRUE; }
  virtual double GetMaxHeight() const { return 0.0; }
};
