// The left pane's GPS read-out: position, speed and heading of the last fix. Repaints at most
// once a second however often the receiver reports.
#pragma once

#include "model/QsDateTime.h"
#include "platform/ui/AfxWin.h"

class CGpsWnd : public CWnd {
  DECLARE_DYNAMIC(CGpsWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kDefaultId = 191;
  static constexpr DWORD kRepaintInterval = 1000;  // ms
  static constexpr UINT kRepaintTimer = 1;

  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID = kDefaultId);

  void SetData(double dLatitude, double dLongitude, double dSpeed, double dCourse);
  int HasData() const { return m_bHasData; }
  double GetLatitude() const { return m_dLatitude; }
  double GetLongitude() const { return m_dLongitude; }
  double GetSpeed() const { return m_dSpeed; }
  double GetCourse() const { return m_dCourse; }
  // The colour of the frame round the window (the pane's theme colour).
  void SetFrameColour(COLORREF colour) { m_frameColour = colour; }
  // The texts as drawn: "Position:", latitude, longitude, "Speed:", speed, "Heading:", course.
  CString GetSpeedText() const;
  CString GetCourseText() const;
  // Paints so far, and the course the last one showed (for tests of the repaint pacing).
  int GetPaintCount() const { return m_nPaints; }
  double GetPaintedCourse() const { return m_dPaintedCourse; }

  void Draw(CDC* pDC, const CRect& rect);

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnPaint();
  void OnTimer(UINT_PTR nIDEvent);
  void OnDestroy();

 private:
  void Repaint();

  double m_dLatitude = 0.0, m_dLongitude = 0.0, m_dSpeed = 0.0, m_dCourse = 0.0;
  CQsDateTime m_time;  // of the fix; not shown
  DWORD m_dwLastRepaint = 0;
  int m_bHasData = 0;
  BOOL m_bRepaintPending = FALSE;
  COLORREF m_frameColour = RGB(128, 128, 128);
  CFont m_font;
  int m_nPaints = 0;
  double m_dPaintedCourse = 0.0;
};
