// The 24-hour graph of the selected port and day over the whole screen, without caption or
// system menu. It computes its own copy of the day's curve when it opens, follows the clock
// once a minute in current-time mode, and closes on Esc or a double-click.
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/GraphWnd.h"
#include "views/ViewHost.h"

class CFullScreenWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CFullScreenWnd)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kGraphId = 104;
  static constexpr UINT kTimerId = 2;
  static constexpr UINT kTimerPeriod = 60000;

  CFullScreenWnd();
  ~CFullScreenWnd() override;

  // The frame whose prediction and settings the window takes; set before it is created.
  void SetHost(IViewHost* pHost) { m_pHost = pHost; }
  CGraphWnd& GetGraph() { return m_graph; }

  // The frame's graph settings, passed to the embedded graph.
  void SetAgroundColour(COLORREF c) { m_graph.SetAgroundColour(c); }
  void SetBackColour(COLORREF c) { m_graph.SetBackColour(c); }
  void SetAxisColour(COLORREF c) { m_graph.SetAxisColour(c); }
  void SetLineColour(COLORREF c) { m_graph.SetLineColour(c); }
  void SetGradientColour(COLORREF c) { m_graph.SetGradientColour(c); }
  void SetGridlineColour(COLORREF c) { m_graph.SetGridlineColour(c); }
  void SetTimeMarkColour(COLORREF c) { m_graph.SetTimeMarkColour(c); }
  void SetMHWSColour(COLORREF c) { m_graph.SetMHWSColour(c); }
  void SetTimeMark(int nMinute) { m_graph.SetTimeMark(nMinute); }
  void SetMHWS(double d) { m_graph.SetMHWS(d); }
  void SetMHWN(double d) { m_graph.SetMHWN(d); }
  void SetMLWN(double d) { m_graph.SetMLWN(d); }
  void SetMLWS(double d) { m_graph.SetMLWS(d); }
  void SetAgroundLevel(double d) { m_graph.SetAgroundLevel(d); }
  void SetHasData() { m_graph.SetHasData(1); }

  // Closes the window once the message being handled is done, so no handler of the window or
  // of its graph runs on after they are gone.
  void CloseLater();

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  int OnCreate(LPCREATESTRUCT lpcs);
  void OnSize(UINT nType, int cx, int cy);
  void OnTimer(UINT_PTR nIDEvent);
  void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  void OnLButtonDblClk(UINT nFlags, CPoint point);
  void OnDestroy();
  void OnKillFocus(CWnd* pNewWnd) { CFrameWnd::OnKillFocus(pNewWnd); }

 private:
  void Compute();

  CGraphWnd m_graph;
  IViewHost* m_pHost = nullptr;
  BOOL m_bClosing = FALSE;
};
