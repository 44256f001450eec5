// The tidal log page. Placeholder until the real log lands: it keeps what the frame pushes
// into it, so the frame's code is the real one.
#pragma once

#include "platform/ui/AfxWin.h"
#include "views/ViewHost.h"

class CTideLogWnd : public CWnd {
  DECLARE_DYNAMIC(CTideLogWnd)
  DECLARE_MESSAGE_MAP()
 public:
  BOOL Create(CWnd* pParent, const RECT& rect, UINT nID);
  void SetHost(IViewHost* pHost) { m_pHost = pHost; }

  void LoadLog() { ++m_nLoads; }
  void SaveLog() { ++m_nSaves; }
  int GetLoadCount() const { return m_nLoads; }
  int GetSaveCount() const { return m_nSaves; }
  void RecalcZones() { ++m_nRecalcs; }
  int GetRecalcCount() const { return m_nRecalcs; }
  void SetMetres() { m_bFeet = 0; }
  void SetFeet() { m_bFeet = 1; }
  int IsFeet() const { return m_bFeet; }
  void OnDelete() {}
  void DeleteHighlightedRow() {}
  void OnGotoGraph() {}
  void OnReplicateDateToAll() {}
  int GetLineCount() const { return 1; }
  int GetSelectedLine() const { return 0; }
  void PrintLog() {}

  void OnPaint();

 private:
  IViewHost* m_pHost = nullptr;
  int m_nLoads = 0, m_nSaves = 0, m_nRecalcs = 0, m_bFeet = 0;
};
