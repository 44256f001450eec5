// The main frame's dialogs: the Options and port Properties sheets and the CSV export.
#include "app/DataExport.h"
#include "app/MainFrm.h"
#include "app/OptionsPages.h"
#include "app/Resource.h"
#include "app/SelectPortDlg.h"
#include "model/Position.h"
#include "model/SummerTime.h"
#include "platform/core/AfxUserNumber.h"

#include <string>

void CMainFrame::ShowOptions(BOOL bGeneral, BOOL bGraph) {
  CRightPane* right = GetRightPane();
  CGraphWnd& g = right->Graph();
  CString caption;
  AfxLoadString(IDS_OPTIONS, caption);
  CPropertySheet sheet(caption, this);
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  CPropGeneral general;
  CPropGraph graph;
  if (bGeneral) {
    general.m_bAutoCalcGraph = m_bAutoCalcGraph;
    general.m_bAutoCalcMonth = m_bAutoCalcMonth;
    general.m_bAutoCalcFind = m_bAutoCalcFind;
    general.m_strDraught = AfxFormatUserNumber(right->Aground().GetDraught(), 2);
    general.m_bPrintBW = g.GetPrintBW();
    general.m_bShowMoons = right->Table().GetShowMoons();
    sheet.AddPage(&general);
  }
  if (bGraph) {
    graph.m_btnTimeMark.SetColour(g.GetTimeMarkColour());
    graph.m_btnMHWS.SetColour(g.GetMHWSColour());
    graph.m_btnLine.SetColour(g.GetLineColour());
    graph.m_btnGridline.SetColour(g.GetGridlineColour());
    graph.m_btnGradient.SetColour(g.GetGradientColour());
    graph.m_btnAxis.SetColour(g.GetAxisColour());
    graph.m_btnAground.SetColour(g.GetAgroundColour());
    graph.m_btnBack.SetColour(g.GetBackColour());
    graph.m_bShowMHWN = g.GetShowMHWN();
    graph.m_bShowMHWS = g.GetShowMHWS();
    graph.m_bShowMLWN = g.GetShowMLWN();
    graph.m_bShowMLWS = g.GetShowMLWS();
    graph.m_bThickLine = g.GetLineWidth() == 2;
    graph.m_bAreaGraph = g.IsAreaGraph();
    graph.m_bAutoHeight = m_bAutoHeight;
    graph.m_strMaxHeight = AfxFormatUserNumber(m_dMaxHeight, 2);
    sheet.AddPage(&graph);
  }
  if (sheet.GetPageCount() == 0 || sheet.DoModal() != IDOK) return;

  if (bGeneral) {
    m_bAutoCalcGraph = general.m_bAutoCalcGraph;
    m_bAutoCalcMonth = general.m_bAutoCalcMonth;
    m_bAutoCalcFind = general.m_bAutoCalcFind;
    double draught = right->Aground().GetDraught();
    if (ParsePageLength(general.m_strDraught, draught) && draught > 0) right->Aground().SetDraught(draught);
    g.SetPrintBW(general.m_bPrintBW);
    right->Table().SetShowMoons(general.m_bShowMoons);
    if (right->Table().IsCalculated()) right->Table().Refresh();
    if (right->IsGraphVisible() && !g.HasData())
      g.Invalidate();
    else if (!right->IsGraphVisible() && !right->Table().IsCalculated())
      right->Table().Refresh();
  }
  if (bGraph) {
    g.SetTimeMarkColour(graph.m_btnTimeMark.GetColour());
    g.SetMHWSColour(graph.m_btnMHWS.GetColour());
    g.SetLineColour(graph.m_btnLine.GetColour());
    g.SetGridlineColour(graph.m_btnGridline.GetColour());
    g.SetGradientColour(graph.m_btnGradient.GetColour());
    g.SetAxisColour(graph.m_btnAxis.GetColour());
    g.SetAgroundColour(graph.m_btnAground.GetColour());
    g.SetBackColour(graph.m_btnBack.GetColour());
    g.SetShowMHWN(graph.m_bShowMHWN);
    g.SetShowMHWS(graph.m_bShowMHWS);
    g.SetShowMLWN(graph.m_bShowMLWN);
    g.SetShowMLWS(graph.m_bShowMLWS);
    g.SetAreaGraph(graph.m_bAreaGraph);
    m_bAutoHeight = graph.m_bAutoHeight;
    if (!m_bAutoHeight) {
      double h = m_dMaxHeight;
      if (ParsePageLength(graph.m_strMaxHeight, h) && h >= CPropGraph::kMinHeight && h <= CPropGraph::kMaxHeight)
        m_dMaxHeight = h;
    }
    if (g.HasData() && m_bDayRecords) {
      const double highest = m_prediction.GetDayRange().first;
      g.SetMaxHeight(m_bAutoHeight || highest >= m_dMaxHeight ? highest * 1.1 : m_dMaxHeight);
    }
    g.SetLineWidth(graph.m_bThickLine ? 2 : 1);
    g.Invalidate();
  }
  if (bGeneral) UpdateAgroundInputs();
}

// The tidal log's port buttons.
int CMainFrame::PickPort(int) {
  CSelectPortDlg dlg(this);
  if (dlg.DoModal() != IDOK) return -1;
  return dlg.GetChosenPort();
}

void CMainFrame::OnPortProperties() {
  const int port = GetLeftPane()->PortsTree().GetSelectedPort();
  const CPortData* data = port >= 0 ? m_portDB.GetPort(port) : nullptr;
  if (!data) return;
  CPropertySheet sheet("Properties", this);
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  CPropPort page;
  const CPosition position = data->GetPosition();
  page.m_strLatitude = position.FormatLatitude();
  page.m_strLongitude = position.FormatLongitude();
  page.m_strName = data->GetName();
  page.m_strCountry = CPortsTree::AreaName(data->GetRuleCode());
  sheet.AddPage(&page);
  sheet.DoModal();
}

void CMainFrame::OnExportData() {
  CFileDialog save(FALSE, "CSV", "Tide Data", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Comma Separated (*.csv)|*.csv|",
                   this);
  if (save.DoModal() != IDOK) return;
  const CString path = save.GetPathName();
  if (save.GetFileExt().CompareNoCase("csv") != 0) {
    AfxMessageBox(
        "Error exporting data\n\nThe data is exported as a comma separated file: please give its name "
        "the extension .csv.",
        MB_OK | MB_ICONEXCLAMATION);
    return;
  }

  const int zone = GetTimeZone();
  const int rule = m_prediction.GetArea();
  const CString standard = ZoneCaption(zone, 0), summer = ZoneCaption(zone, 1);
  CDataExport dlg(this);
  dlg.m_nFirstYear = GetFirstYear();
  dlg.m_nEndYear = GetLastYear() + 1;
  dlg.m_strPortName = GetCurrentPortName();
  if (m_bAutoTZ) {
    // Automatic names its offsets, as the file will.
    const int year = GetSelectedDate().GetYear();
    const bool hasSummer = IsSummerTime(15, 1, year, rule) || IsSummerTime(15, 7, year, rule);
    dlg.m_strZone = "Automatic: " + standard;
    if (hasSummer) dlg.m_strZone += "; " + summer + " in summer time";
  } else {
    dlg.m_strZone = standard;
  }
  if (dlg.DoModal() != IDOK) return;

  TIDE_CSV_REQUEST request;
  const CPortData port = *m_portDB.GetPort(m_nCurrentPort);
  request.pPort = &port;
  request.pTables = &m_angleFactorDB;
  request.start = dlg.m_start;
  request.end = dlg.m_end;
  request.nInterval = dlg.m_nInterval;
  request.nZone = zone;
  request.bAutoTZ = m_bAutoTZ;
  request.strZoneCaption = standard;
  request.strSummerCaption = summer;
  std::string text;
  {
    CWaitCursor wait;
    BuildTideCsv(request, text);
  }
  CFileException e;
  if (!AfxSaveFileSafely(path, text.data(), text.size(), &e)) {
    if (e.m_cause == CFileException::accessDenied)
      AfxMessageBox(
          "Error exporting data\n\nAccess denied. Please check you have permission to write to chosen location",
          MB_OK | MB_ICONEXCLAMATION);
    else if (e.m_cause == CFileException::sharingViolation)
      AfxMessageBox("Error exporting data\n\nFile in use by another application", MB_OK | MB_ICONEXCLAMATION);
    else
      AfxMessageBox("Error exporting data\n\nCould not create file", MB_OK | MB_ICONEXCLAMATION);
  }
}
