// The graph on paper, as pictures and on the clipboard. Each output draws apart from the
// screen: the window's cached picture, plot rectangle and colours are as they were after it.
#include "views/GraphWnd.h"

#include "resources/ResourceIds.h"
#include "views/JpegSizeDlg.h"
#include "views/PictureExport.h"
#include "views/TableExport.h"

#include <functional>
#include <memory>

namespace {

const char kFilter[] = "JPEG (*.jpg)|*.jpg|Enhanced Metafile (*.emf)|*.emf|";
const char kDescription[] = "Quillane Neapwise";
const CRect kMetafileRect(0, 0, 600, 400);

enum PictureFormat { kPictureNone, kPictureJpeg, kPictureEmf };

// The format of a chosen name, its extension compared without regard to case; a name without
// one gets the chosen filter's (1 JPEG, 2 metafile), so rPath may grow.
PictureFormat PictureFormatOf(CString& rPath, int nFilterIndex) {
  const int slash = rPath.ReverseFind('/');
  const int dot = rPath.ReverseFind('.');
  if (dot <= slash + 1) {
    rPath += nFilterIndex == 1 ? ".jpg" : ".emf";
    return nFilterIndex == 1 ? kPictureJpeg : kPictureEmf;
  }
  const CString ext = rPath.Mid(dot + 1);
  if (ext.CompareNoCase("jpg") == 0 || ext.CompareNoCase("jpeg") == 0) return kPictureJpeg;
  if (ext.CompareNoCase("emf") == 0) return kPictureEmf;
  return kPictureNone;
}

// Draws into a metafile with the text measured on the window's own DC, as on screen (when
// there is a window).
void DrawMeasuredOn(CWnd* pWnd, CMetaFileDC& dc, const std::function<void()>& draw) {
  std::unique_ptr<CClientDC> client;
  if (pWnd->m_hWnd) {
    client = std::make_unique<CClientDC>(pWnd);
    dc.SetAttribDC(client->m_hDC);
  }
  draw();
  dc.SetAttribDC(nullptr);
}

}  // namespace

void CGraphWnd::DrawPicture(CDC* pDC, const CRect& rect) {
  const BOOL was = m_bPicture;
  m_bPicture = TRUE;
  Draw(pDC, rect);
  m_bPicture = was;
}

// ---- Printing ----

void CGraphWnd::Print() {
  if (!m_bHasData) return;
  ViewPrintWithDialog(this, "The graph could not be printed.", [this](CDC* dc) { return PrintTo(dc); });
}

BOOL CGraphWnd::PrintTo(CDC* pDC) {
  if (!m_bHasData || !pDC) return FALSE;
  // The print colours go straight into the members: the screen's palette and cached picture
  // stay as they are, so the next paint reuses them.
  COLORREF* const colours[8] = {&m_clrBack,     &m_clrGradient, &m_clrAground,  &m_clrLevel,
                                &m_clrTimeMark, &m_clrLine,     &m_clrGridline, &m_clrAxis};
  COLORREF saved[8];
  for (int i = 0; i < 8; ++i) saved[i] = *colours[i];
  if (m_bPrintBW) {
    const COLORREF bw[8] = {0xFFFFFF, 0xFFFFFF, 0x808080, 0x808080, 0x808080, 0x000000, 0xC0C0C0, 0x000000};
    for (int i = 0; i < 8; ++i) *colours[i] = bw[i];
  }
  const BOOL ok = ViewPrintDocument(pDC, m_bPrinting, [this](CDC* dc, const CRect& page) { Draw(dc, page); });
  for (int i = 0; i < 8; ++i) *colours[i] = saved[i];
  if (m_hWnd) Invalidate(TRUE);
  return ok;
}

// ---- Pictures ----

UINT CGraphWnd::GetSaveAsTextId() const { return IDS_SAVE_GRAPH; }

void CGraphWnd::SaveAs() {
  if (!m_bHasData) return;
  CFileDialog dlg(FALSE, "EMF", "Neapwise Graph", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
  if (dlg.DoModal() != IDOK) return;
  CString error;
  if (!SaveToFile(dlg.GetPathName(), (int)dlg.m_ofn.nFilterIndex, error) && !error.IsEmpty())
    AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

BOOL CGraphWnd::SaveToFile(LPCTSTR lpszPath, int nFilterIndex, CString& rError, CString* pSavedPath) {
  rError.Empty();
  if (!m_bHasData) {
    rError = "There is no graph to save yet.";
    return FALSE;
  }
  CString path = lpszPath ? lpszPath : "";
  if (path.IsEmpty()) {
    rError = "No file name was given, so the graph was not saved.";
    return FALSE;
  }
  const PictureFormat format = PictureFormatOf(path, nFilterIndex);
  if (pSavedPath) *pSavedPath = path;
  switch (format) {
    case kPictureEmf: return SaveMetafile(path, rError);
    case kPictureJpeg: {
      CJpegSizeDlg dlg(this);
      dlg.m_nWidth = 350;
      dlg.m_nHeight = 200;
      if (dlg.DoModal() != IDOK) return FALSE;  // cancelled: nothing to tell
      return SaveJpeg(path, dlg.m_nWidth, dlg.m_nHeight, dlg.GetQuality(), rError);
    }
    default:
      rError.Format("%s was not saved: the graph is saved as a JPEG picture (.jpg) or an enhanced metafile (.emf).",
                    (LPCTSTR)path);
      return FALSE;
  }
}

BOOL CGraphWnd::SaveJpeg(LPCTSTR lpszPath, int nWidth, int nHeight, int nQuality, CString& rError) {
  rError.Empty();
  if (!m_bHasData) {
    rError = "There is no graph to save yet.";
    return FALSE;
  }
  if (nWidth < 1 || nWidth > CJpegSizeDlg::kMaxWidth || nHeight < 1 || nHeight > CJpegSizeDlg::kMaxHeight ||
      nQuality < 0 || nQuality > 100) {
    rError = "The picture's size or quality is out of range, so the graph was not saved.";
    return FALSE;
  }
  // A screen-format picture of the size asked for, drawn as the screen shows the graph.
  CBitmap picture;
  if (!picture.CreateCompatibleBitmap(nullptr, nWidth, nHeight)) {
    rError = "There was not enough memory for the picture, so the graph was not saved.";
    return FALSE;
  }
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(&picture);
    DrawPicture(&mem, CRect(0, 0, nWidth, nHeight));
    mem.SelectObject(old);
    mem.DeleteDC();
  }
  // Compressed from the picture's own rows: the file DDBToDIB and DIBToJpegFile would write,
  // without the copy of every pixel between them.
  CString message;
  const int ok = BitmapToJpegFile(picture, (UINT)nQuality, lpszPath, &message);
  if (!ok) rError.Format("The graph was not saved as %s.\n%s", lpszPath, (LPCTSTR)message);
  return ok != 0;
}

BOOL CGraphWnd::SaveMetafile(LPCTSTR lpszPath, CString& rError) {
  rError.Empty();
  if (!m_bHasData) {
    rError = "There is no graph to save yet.";
    return FALSE;
  }
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, lpszPath, nullptr, kDescription)) {
    rError.Format("%s could not be created, so the graph was not saved.", lpszPath);
    return FALSE;
  }
  DrawMeasuredOn(this, dc, [&] { DrawPicture(&dc, kMetafileRect); });
  HENHMETAFILE h = dc.CloseEnhanced();
  if (!h) {
    rError.Format("%s could not be written, so the graph was not saved.", lpszPath);
    return FALSE;
  }
  DeleteEnhMetaFile(h);
  return TRUE;
}

BOOL CGraphWnd::CopyToClipboard() {
  if (!m_bHasData) return FALSE;
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, nullptr, nullptr, kDescription)) return FALSE;
  DrawMeasuredOn(this, dc, [&] { DrawPicture(&dc, kMetafileRect); });
  HENHMETAFILE h = dc.CloseEnhanced();
  if (!h) return FALSE;
  if (!::OpenClipboard(m_hWnd)) {
    DeleteEnhMetaFile(h);
    return FALSE;
  }
  ::EmptyClipboard();
  // The clipboard takes the picture over when it accepts it.
  const BOOL ok = ::SetClipboardData(CF_ENHMETAFILE, h) != nullptr;
  ::CloseClipboard();
  if (!ok) DeleteEnhMetaFile(h);
  return ok;
}
