#include "platform/ui/PrintDC.h"

#include "platform/ui/UiInternal.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

CPrintDC::CPrintDC() { m_bPrinting = TRUE; }

CPrintDC::~CPrintDC() {
  // The painter must end before the writer it paints on goes.
  if (m_bInDoc) AbortDoc();
  DeleteDC();
}

BOOL CPrintDC::CreatePdf(LPCTSTR lpszPath, int nDpi, double dWidthMM, double dHeightMM) {
  if (m_pDevice || !lpszPath || !*lpszPath || nDpi < 72 || nDpi > 2400 || !(dWidthMM >= 10 && dWidthMM <= 2000) ||
      !(dHeightMM >= 10 && dHeightMM <= 2000))
    return FALSE;
  m_strPath = lpszPath;
  m_pWriter = std::make_unique<QPdfWriter>(QString::fromUtf8(lpszPath));
  m_pWriter->setResolution(nDpi);
  m_pWriter->setPageSize(QPageSize(QSizeF(dWidthMM, dHeightMM), QPageSize::Millimeter));
  m_pWriter->setPageMargins(QMarginsF(0, 0, 0, 0));
  m_pWriter->setCreator("Neapwise");
  int w = (int)std::lround(dWidthMM / 25.4 * nDpi), h = (int)std::lround(dHeightMM / 25.4 * nDpi);
  if (!Attach(m_pWriter.get(), nDpi, w, h, w, h, 0, 0)) {
    m_pWriter.reset();
    return FALSE;
  }
  return TRUE;
}

BOOL CPrintDC::CreatePrinter(std::unique_ptr<QPrinter> pPrinter) {
  if (m_pDevice || !pPrinter || !pPrinter->isValid()) return FALSE;
  const int dpi = pPrinter->resolution();
  const QPageLayout layout = pPrinter->pageLayout();
  QRect page = layout.paintRectPixels(dpi), sheet = layout.fullRectPixels(dpi);
  m_pPrinter = std::move(pPrinter);
  if (m_pPrinter->outputFormat() == QPrinter::PdfFormat) m_strPath = m_pPrinter->outputFileName().toUtf8().constData();
  if (!Attach(m_pPrinter.get(), dpi, page.width(), page.height(), sheet.width(), sheet.height(),
              page.left() - sheet.left(), page.top() - sheet.top())) {
    m_pPrinter.reset();
    return FALSE;
  }
  return TRUE;
}

BOOL CPrintDC::Attach(QPagedPaintDevice* pDevice, int nDpi, int w, int h, int sheetW, int sheetH, int offX, int offY) {
  if (!CreateCompatibleDC(nullptr)) return FALSE;
  m_bPrinting = TRUE;
  m_pDevice = pDevice;
  m_nDpi = nDpi;
  m_pSizeImage = std::make_unique<QImage>(std::max(1, w), std::max(1, h), QImage::Format_Mono);
  AfxDcState* s = GetState();
  s->device = pDevice;
  s->image = m_pSizeImage.get();
  s->physicalSize = QSize(std::max(w, sheetW), std::max(h, sheetH));
  s->physicalOffset = QPoint(std::max(0, offX), std::max(0, offY));
  return TRUE;
}

int CPrintDC::StartDoc(LPCTSTR lpszDocName) {
  AfxDcState* s = GetState();
  if (!m_pDevice || !s || m_bInDoc) return SP_ERROR;
  QString title = lpszDocName ? QString::fromUtf8(lpszDocName) : QString();
  if (m_pWriter) m_pWriter->setTitle(title);
  if (m_pPrinter) {
    m_pPrinter->setDocName(title);
    m_pPrinter->setCreator("Neapwise");
  }
  if (s->painterOpen) {
    s->painter.end();
    s->painterOpen = false;
  }
  if (!s->painter.begin(m_pDevice)) return SP_ERROR;
  s->painter.setRenderHint(QPainter::Antialiasing, false);
  s->painter.setRenderHint(QPainter::TextAntialiasing, true);
  s->painterOpen = true;
  m_bInDoc = true;
  m_nPages = 0;
  return 1;
}

int CPrintDC::StartPage() {
  if (!m_bInDoc || m_bInPage) return SP_ERROR;
  // The writer starts on its first page; every later page is asked for.
  if (m_nPages > 0 && !m_pDevice->newPage()) return SP_ERROR;
  m_bInPage = true;
  ++m_nPages;
  return 1;
}

int CPrintDC::EndPage() {
  if (!m_bInPage) return SP_ERROR;
  m_bInPage = false;
  return 1;
}

int CPrintDC::EndDoc() {
  AfxDcState* s = GetState();
  if (!m_bInDoc || !s) return SP_ERROR;
  if (m_bInPage) EndPage();
  m_bInDoc = false;
  bool ok = true;
  if (s->painterOpen) {
    ok = s->painter.end();
    s->painterOpen = false;
  }
  return ok ? 1 : SP_ERROR;
}

int CPrintDC::AbortDoc() {
  AfxDcState* s = GetState();
  if (!m_bInDoc || !s) return SP_ERROR;
  m_bInDoc = m_bInPage = false;
  if (m_pPrinter) m_pPrinter->abort();
  if (s->painterOpen) {
    s->painter.end();
    s->painterOpen = false;
  }
  if (!m_strPath.IsEmpty()) QFile::remove(QString::fromUtf8(m_strPath.GetString()));
  return 1;
}

int CPrintDC::GetDeviceCaps(int nIndex) const {
  if (!m_pSizeImage) return CDC::GetDeviceCaps(nIndex);
  int w = m_pSizeImage->width(), h = m_pSizeImage->height();
  switch (nIndex) {
    case LOGPIXELSX:
    case LOGPIXELSY: return m_nDpi;
    case HORZRES: return w;
    case VERTRES: return h;
    case HORZSIZE: return (int)std::lround(w * 25.4 / m_nDpi);
    case VERTSIZE: return (int)std::lround(h * 25.4 / m_nDpi);
    case TECHNOLOGY: return DT_RASPRINTER;
  }
  return CDC::GetDeviceCaps(nIndex);
}
