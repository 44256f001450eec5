#include "platform/ui/CommonDlg.h"

#include "platform/ui/MsgBox.h"
#include "platform/ui/UiInternal.h"
#include "platform/ui/WinApp.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <set>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

namespace {

AFX_FILEDLG_HOOK& fileHook() {
  static AFX_FILEDLG_HOOK h;
  return h;
}
AFX_PRINTDLG_HOOK& printHook() {
  static AFX_PRINTDLG_HOOK h;
  return h;
}
AFX_COLORDLG_HOOK& colorHook() {
  static AFX_COLORDLG_HOOK h;
  return h;
}

// A refused answer asks again; a hook that keeps giving the same refused answer ends as Cancel.
constexpr int kMaxAttempts = 20;

QWidget* ownerWidget(CWnd* pParent) {
  CWnd* w = pParent ? pParent : AfxGetMainWnd();
  if (!w || !w->GetSafeHwnd()) return nullptr;
  HWND top = GetAncestor(w->GetSafeHwnd(), GA_ROOT);
  return AfxWidgetOf(top ? top : w->GetSafeHwnd());
}

// Disables the owner while a Qt dialog runs, as the layer's own modal dialogs do.
class OwnerDisabler {
 public:
  explicit OwnerDisabler(CWnd* pParent) {
    CWnd* w = pParent ? pParent : AfxGetMainWnd();
    m_top = w && w->GetSafeHwnd() ? GetAncestor(w->GetSafeHwnd(), GA_ROOT) : nullptr;
    m_reenable = m_top && ::IsWindowEnabled(m_top);
    if (m_reenable) ::EnableWindow(m_top, FALSE);
  }
  ~OwnerDisabler() {
    if (m_reenable && ::IsWindow(m_top)) {
      ::EnableWindow(m_top, TRUE);
      ::SetActiveWindow(m_top);
    }
  }

 private:
  HWND m_top = nullptr;
  bool m_reenable = false;
};

// The wildcard-free extension of a pattern such as "*.jpg"; empty for "*.*" and the like.
std::string concreteExt(const std::string& patterns) {
  std::string first = patterns.substr(0, patterns.find(';'));
  while (!first.empty() && first.front() == ' ') first.erase(first.begin());
  if (first.size() < 3 || first.compare(0, 2, "*.") != 0) return {};
  std::string ext = first.substr(2);
  if (ext.find_first_of("*?[] ") != std::string::npos) return {};
  return ext;
}

// Qt's form of a filter: "Name (patterns)", keeping a name that already lists its patterns.
QString qtFilter(const std::pair<std::string, std::string>& f) {
  QString name = QString::fromStdString(f.first);
  QString pats = QString::fromStdString(f.second).replace(';', ' ').simplified();
  if (name.contains('(') && name.endsWith(')')) {
    // Qt reads the patterns from the parentheses; they must be the real ones.
    name = name.left(name.lastIndexOf('(')).trimmed();
  }
  return name + " (" + pats + ")";
}

}  // namespace

AFX_FILEDLG_HOOK AfxSetFileDialogHook(AFX_FILEDLG_HOOK h) {
  AFX_FILEDLG_HOOK old = fileHook();
  fileHook() = std::move(h);
  return old;
}
AFX_PRINTDLG_HOOK AfxSetPrintDialogHook(AFX_PRINTDLG_HOOK h) {
  AFX_PRINTDLG_HOOK old = printHook();
  printHook() = std::move(h);
  return old;
}
AFX_COLORDLG_HOOK AfxSetColorDialogHook(AFX_COLORDLG_HOOK h) {
  AFX_COLORDLG_HOOK old = colorHook();
  colorHook() = std::move(h);
  return old;
}

// ======================================================================================
// CFileDialog
// ======================================================================================
CFileDialog::CFileDialog(BOOL bOpen, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags, LPCTSTR lpszFilter,
                         CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpen) {
  m_strDefExt = lpszDefExt ? lpszDefExt : "";
  m_strFileName = lpszFileName ? lpszFileName : "";
  // "Name|patterns|Name|patterns|": pairs until an empty name or the end.
  if (lpszFilter) {
    std::string f = lpszFilter;
    size_t pos = 0;
    while (pos < f.size()) {
      size_t a = f.find('|', pos);
      if (a == std::string::npos) break;
      size_t b = f.find('|', a + 1);
      std::string name = f.substr(pos, a - pos);
      std::string pats = f.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
      if (name.empty()) break;
      m_filters.emplace_back(name, pats);
      if (b == std::string::npos) break;
      pos = b + 1;
    }
  }
  for (auto& p : m_filters) {
    m_filterBlock += p.first;
    m_filterBlock.push_back('\0');
    m_filterBlock += p.second;
    m_filterBlock.push_back('\0');
  }
  m_filterBlock.push_back('\0');
  m_ofn.lStructSize = sizeof(OPENFILENAME);
  m_ofn.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  m_ofn.lpstrFilter = m_filters.empty() ? nullptr : m_filterBlock.data();
  m_ofn.nFilterIndex = 1;
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
  m_ofn.lpstrDefExt = lpszDefExt ? m_strDefExt.GetString() : nullptr;
}

CFileDialog::~CFileDialog() = default;

AFX_FILEDLG_REQUEST CFileDialog::MakeRequest(int attempt) const {
  AFX_FILEDLG_REQUEST r;
  r.bOpen = m_bOpenFileDialog;
  r.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_bOpenFileDialog ? "Open" : "Save As");
  r.defExt = m_ofn.lpstrDefExt ? m_ofn.lpstrDefExt : "";
  r.fileName = m_strFileName.GetString();
  r.initialDir =
      m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : QDir::currentPath().toStdString();
  r.flags = m_ofn.Flags;
  r.filters = m_filters;
  r.filterIndex = (int)std::clamp<DWORD>(m_ofn.nFilterIndex, 1, std::max<DWORD>(1, (DWORD)m_filters.size()));
  r.attempt = attempt;
  return r;
}

BOOL CFileDialog::Accept(std::string path, int filterIndex, const std::string& baseDir) {
  if (path.empty()) return FALSE;
  QString caption = QString::fromStdString(MakeRequest(0).title);
  QFileInfo fi(QString::fromStdString(path));
  if (fi.isRelative()) fi = QFileInfo(QDir(QString::fromStdString(baseDir)), fi.filePath());
  QString abs = QDir::cleanPath(fi.absoluteFilePath());
  if (QFileInfo(abs).isDir()) return FALSE;
  if (filterIndex >= 1 && filterIndex <= (int)m_filters.size()) m_ofn.nFilterIndex = (DWORD)filterIndex;
  // A save without a typed extension gets the chosen filter's, or else the default one.
  if (!m_bOpenFileDialog && m_ofn.lpstrDefExt) {
    QString name = QFileInfo(abs).fileName();
    if (!name.mid(1).contains('.')) {
      std::string ext;
      if (m_ofn.nFilterIndex >= 1 && m_ofn.nFilterIndex <= m_filters.size())
        ext = concreteExt(m_filters[m_ofn.nFilterIndex - 1].second);
      if (ext.empty()) ext = m_ofn.lpstrDefExt;
      if (!ext.empty()) abs += "." + QString::fromStdString(ext);
    }
  }
  QFileInfo target(abs);
  std::string shown = abs.toStdString();
  if (!target.dir().exists() && !(m_ofn.Flags & OFN_NOVALIDATE)) {
    std::string msg = shown + "\nPath does not exist.\nCheck the path and try again.";
    ::MessageBox(m_ofn.hwndOwner, msg.c_str(), caption.toUtf8().constData(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (m_bOpenFileDialog && (m_ofn.Flags & OFN_FILEMUSTEXIST) && !target.exists()) {
    std::string msg = target.fileName().toStdString() + "\nFile not found.\nCheck the file name and try again.";
    ::MessageBox(m_ofn.hwndOwner, msg.c_str(), caption.toUtf8().constData(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && target.exists()) {
    std::string msg = target.fileName().toStdString() + " already exists.\nDo you want to replace it?";
    if (::MessageBox(m_ofn.hwndOwner, msg.c_str(), caption.toUtf8().constData(), MB_YESNO | MB_ICONEXCLAMATION) !=
        IDYES)
      return FALSE;
  }
  if (!m_bOpenFileDialog && (m_ofn.Flags & OFN_NOREADONLYRETURN) && target.exists() && !target.isWritable()) {
    std::string msg =
        target.fileName().toStdString() + "\nThis file is set to read-only.\nTry again with a different file name.";
    ::MessageBox(m_ofn.hwndOwner, msg.c_str(), caption.toUtf8().constData(), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  m_paths.clear();
  m_paths.emplace_back(abs.toUtf8().constData());
  m_ofn.lpstrFile = m_paths.front().GetString();
  return TRUE;
}

INT_PTR CFileDialog::DoModal() {
  AfxWinInit(0, nullptr);
  m_paths.clear();
  m_ofn.lpstrFile = nullptr;
  if (fileHook()) {
    bool show = false;
    for (int attempt = 0; attempt < kMaxAttempts && !show; ++attempt) {
      AFX_FILEDLG_REQUEST req = MakeRequest(attempt);
      AFX_FILEDLG_ANSWER a = fileHook()(req);
      if (a.result == 0)
        show = true;  // the real dialog shows
      else if (a.result != IDOK)
        return IDCANCEL;
      else if (Accept(a.path, a.filterIndex, req.initialDir))
        return IDOK;
    }
    if (!show) return IDCANCEL;
  }
  OwnerDisabler disable(m_pParentWnd);
  AFX_FILEDLG_REQUEST req = MakeRequest(0);
  QFileDialog dlg(ownerWidget(m_pParentWnd), QString::fromStdString(req.title), QString::fromStdString(req.initialDir));
  dlg.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dlg.setFileMode(m_bOpenFileDialog
                      ? ((m_ofn.Flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile)
                      : QFileDialog::AnyFile);
  // The overwrite question comes after the extension is added, below.
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  QStringList filters;
  for (auto& f : m_filters) filters << qtFilter(f);
  if (!filters.isEmpty()) {
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters[req.filterIndex - 1]);
  }
  if (!m_strFileName.IsEmpty()) dlg.selectFile(QString::fromUtf8(m_strFileName.GetString()));
  for (;;) {
    if (dlg.exec() != QDialog::Accepted) return IDCANCEL;
    QStringList chosen = dlg.selectedFiles();
    if (chosen.isEmpty()) continue;
    int idx = (int)filters.indexOf(dlg.selectedNameFilter()) + 1;
    if (m_bOpenFileDialog && chosen.size() > 1) {
      m_paths.clear();
      for (const QString& c : chosen) m_paths.emplace_back(c.toUtf8().constData());
      m_ofn.lpstrFile = m_paths.front().GetString();
      if (idx > 0) m_ofn.nFilterIndex = (DWORD)idx;
      return IDOK;
    }
    if (Accept(chosen.first().toStdString(), idx, dlg.directory().absolutePath().toStdString())) return IDOK;
  }
}

CString CFileDialog::GetPathName() const { return m_paths.empty() ? CString() : m_paths.front(); }
CString CFileDialog::GetFileName() const {
  return QFileInfo(QString::fromUtf8(GetPathName().GetString())).fileName().toUtf8().constData();
}
CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot <= 0 ? CString() : name.Mid(dot + 1);
}
CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot <= 0 ? name : name.Left(dot);
}
CString CFileDialog::GetFolderPath() const {
  return QFileInfo(QString::fromUtf8(GetPathName().GetString())).absolutePath().toUtf8().constData();
}
POSITION CFileDialog::GetStartPosition() const {
  return m_paths.empty() ? nullptr : reinterpret_cast<POSITION>((uintptr_t)1);
}
CString CFileDialog::GetNextPathName(POSITION& pos) const {
  size_t i = (size_t) reinterpret_cast<uintptr_t>(pos);
  if (i < 1 || i > m_paths.size()) {
    pos = nullptr;
    return CString();
  }
  pos = i < m_paths.size() ? reinterpret_cast<POSITION>((uintptr_t)(i + 1)) : nullptr;
  return m_paths[i - 1];
}

// ======================================================================================
// CPrintDialog
// ======================================================================================
namespace {

std::set<CDC*>& printerDcs() {
  static std::set<CDC*> s;
  return s;
}

// The printer chosen last, so the next print goes to the same one. A file and a queue are told
// apart by the output, never by the name: a CUPS queue may well be called "PDF".
struct LastPrinter {
  QString name;
  bool toFile = false;
  QPageLayout layout;
  bool hasLayout = false;
};
LastPrinter& lastPrinter() {
  static LastPrinter p;
  return p;
}

HDC registerDc(std::unique_ptr<CPrintDC> dc) {
  CPrintDC* p = dc.release();
  printerDcs().insert(p);
  return p->GetSafeHdc();
}

bool writesFile(const QPrinter& p) { return p.outputFormat() == QPrinter::PdfFormat; }

// A PDF file has no unprintable edge of its own: it gets at least a typical printer's on each
// side, so the page prints later on paper as it was drawn; wider margins chosen stay.
void givePrinterMargins(QPrinter& p) {
  if (!writesFile(p)) return;
  QPageLayout layout = p.pageLayout();
  layout.setUnits(QPageLayout::Millimeter);
  const QMarginsF m = layout.margins();
  const double least = AFX_PDF_MARGIN_MM;
  layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
  layout.setMargins(QMarginsF(std::max(m.left(), least), std::max(m.top(), least), std::max(m.right(), least),
                              std::max(m.bottom(), least)));
  p.setPageLayout(layout);
}

// Where Qt's CUPS support keeps a printer's job options (name, value, name, value...): the key
// its print dialog and its CUPS print engine share.
const QPrintEngine::PrintEnginePropertyKey kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The same printer again for a further DC: output, page and every option the dialog set,
// the CUPS job options (pages per sheet and the like) included.
std::unique_ptr<QPrinter> copyPrinter(QPrinter& from) {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (writesFile(from)) {
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(from.outputFileName());
  } else {
    p->setPrinterName(from.printerName());
  }
  p->setPageLayout(from.pageLayout());
  p->setCopyCount(from.copyCount());
  p->setCollateCopies(from.collateCopies());
  p->setDuplex(from.duplex());
  p->setColorMode(from.colorMode());
  p->setPageOrder(from.pageOrder());
  p->setDocName(from.docName());
  if (QPrintEngine* src = from.printEngine(); src && p->printEngine())
    p->printEngine()->setProperty(kCupsOptions, src->property(kCupsOptions));
  return p;
}

QPageSize pageSizeOf(short dmPaper) {
  switch (dmPaper) {
    case DMPAPER_LETTER: return QPageSize(QPageSize::Letter);
    case DMPAPER_LEGAL: return QPageSize(QPageSize::Legal);
    case DMPAPER_A3: return QPageSize(QPageSize::A3);
    case DMPAPER_A4: return QPageSize(QPageSize::A4);
    case DMPAPER_A5: return QPageSize(QPageSize::A5);
  }
  return QPageSize();
}

}  // namespace

std::vector<std::string> AfxEnumPrinters(std::string* pDefault) {
  AfxWinInit(0, nullptr);
  std::vector<std::string> out;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) out.push_back(n.toStdString());
  if (pDefault) *pDefault = QPrinterInfo::defaultPrinterName().toStdString();
  return out;
}

BOOL DeleteDC(HDC hdc) {
  CDC* dc = CDC::FromHandle(hdc);
  auto it = printerDcs().find(dc);
  if (!dc || it == printerDcs().end()) return FALSE;
  printerDcs().erase(it);
  delete dc;
  return TRUE;
}

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_pd(m_pdActual), m_bSetupOnly(bPrintSetupOnly) {
  m_pd.lStructSize = sizeof(PRINTDLG);
  m_pd.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
  m_pd.nFromPage = m_pd.nToPage = 1;
  m_pd.nMinPage = 1;
  m_pd.nMaxPage = 0xFFFF;
  m_pd.nCopies = 1;
}

// The DC made by DoModal belongs to the caller, as on the platform: it is not deleted here.
CPrintDialog::~CPrintDialog() = default;

HDC CPrintDialog::CreatePrinterDC() {
  if (!m_pPrinter || !m_pPrinter->isValid()) return nullptr;
  m_pPrinter->setCopyCount(std::max<int>(1, m_pd.nCopies));
  std::unique_ptr<QPrinter> next = copyPrinter(*m_pPrinter);
  auto dc = std::make_unique<CPrintDC>();
  if (!dc->CreatePrinter(std::move(m_pPrinter))) {
    m_pPrinter = std::move(next);
    return nullptr;
  }
  m_pPrinter = std::move(next);
  return registerDc(std::move(dc));
}

INT_PTR CPrintDialog::DoModal() {
  AfxWinInit(0, nullptr);
  m_pd.hDC = nullptr;
  m_strPdf.Empty();
  m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrinter& printer = *m_pPrinter;
  // The document's name gives the PDF file its default name.
  printer.setDocName("Neapwise");
  const LastPrinter& last = lastPrinter();
  if (last.toFile)
    printer.setOutputFormat(QPrinter::PdfFormat);
  else if (!last.name.isEmpty())
    printer.setPrinterName(last.name);
  if (last.hasLayout) printer.setPageLayout(last.layout);
  bool answered = false;
  if (printHook()) {
    AFX_PRINTDLG_REQUEST req{m_pd.Flags, m_bSetupOnly, {}, {}};
    req.printers = AfxEnumPrinters(&req.defaultPrinter);
    AFX_PRINTDLG_ANSWER a = printHook()(req);
    if (a.result != 0) {
      if (a.result != IDOK) return IDCANCEL;
      answered = true;
      m_pd.nCopies = (WORD)std::clamp(a.copies, 1, 999);
      if (!a.pdfPath.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(a.pdfPath));
      } else {
        std::string name = a.printer.empty() ? req.defaultPrinter : a.printer;
        if (name.empty()) return IDCANCEL;  // no printer to print on
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(QString::fromStdString(name));
      }
      if (QPageSize size = pageSizeOf(a.paperSize); size.isValid()) printer.setPageSize(size);
      if (a.orientation == DMORIENT_PORTRAIT || a.orientation == DMORIENT_LANDSCAPE)
        printer.setPageOrientation(a.orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
    }
  }
  if (!answered) {
    OwnerDisabler disable(m_pParentWnd);
    if (m_bSetupOnly) {
      QPageSetupDialog dlg(&printer, ownerWidget(m_pParentWnd));
      if (dlg.exec() != QDialog::Accepted) return IDCANCEL;
    } else {
      QPrintDialog dlg(&printer, ownerWidget(m_pParentWnd));
      dlg.setWindowTitle("Print");
      QAbstractPrintDialog::PrintDialogOptions o = QAbstractPrintDialog::PrintShowPageSize;
      if (!(m_pd.Flags & PD_NOPAGENUMS)) o |= QAbstractPrintDialog::PrintPageRange;
      if (!(m_pd.Flags & PD_NOSELECTION)) o |= QAbstractPrintDialog::PrintSelection;
      if (!(m_pd.Flags & PD_USEDEVMODECOPIES)) o |= QAbstractPrintDialog::PrintCollateCopies;
      // Here printing to a file means the PDF printer every Linux desktop offers, not the raw
      // printer-language file the hidden option stands for; it stays available.
      o |= QAbstractPrintDialog::PrintToFile;
      dlg.setOptions(o);
      dlg.setMinMax(m_pd.nMinPage, m_pd.nMaxPage);
      if (dlg.exec() != QDialog::Accepted) return IDCANCEL;
      m_pd.Flags &= ~(PD_SELECTION | PD_PAGENUMS);
      if (dlg.printRange() == QAbstractPrintDialog::Selection) m_pd.Flags |= PD_SELECTION;
      if (dlg.printRange() == QAbstractPrintDialog::PageRange) {
        m_pd.Flags |= PD_PAGENUMS;
        m_pd.nFromPage = (WORD)printer.fromPage();
        m_pd.nToPage = (WORD)printer.toPage();
      }
    }
    m_pd.nCopies = (WORD)std::max(1, printer.copyCount());
  }
  if (writesFile(printer)) {
    // A folder or no name at all: the file gets the document's name there.
    QString out = printer.outputFileName();
    if (out.isEmpty() || QFileInfo(out).isDir())
      out = QDir(out.isEmpty() ? QDir::currentPath() : out).filePath("Neapwise.pdf");
    printer.setOutputFileName(out);
    givePrinterMargins(printer);
    m_strPdf = out.toUtf8().constData();
    m_strDevice = "PDF";
  } else {
    m_strDevice = printer.printerName().toUtf8().constData();
  }
  lastPrinter().name = writesFile(printer) ? QString() : printer.printerName();
  lastPrinter().toFile = writesFile(printer);
  lastPrinter().layout = printer.pageLayout();
  lastPrinter().hasLayout = true;
  if (!m_bSetupOnly && (m_pd.Flags & PD_RETURNDC)) {
    m_pd.hDC = CreatePrinterDC();
    if (!m_pd.hDC) {
      if (!answered) AfxMessageBox("The printer could not be opened.", MB_OK | MB_ICONEXCLAMATION);
      return IDCANCEL;
    }
  }
  return IDOK;
}

// ======================================================================================
// CColorDialog
// ======================================================================================
COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF custom[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  return custom;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_cc.lStructSize = sizeof(CHOOSECOLOR);
  m_cc.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  m_cc.rgbResult = clrInit & 0xFFFFFF;
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags | (clrInit != 0 ? CC_RGBINIT : 0);
}

INT_PTR CColorDialog::DoModal() {
  AfxWinInit(0, nullptr);
  COLORREF initial = (m_cc.Flags & CC_RGBINIT) ? (m_cc.rgbResult & 0xFFFFFF) : 0;
  if (colorHook()) {
    AFX_COLORDLG_ANSWER a = colorHook()(AFX_COLORDLG_REQUEST{initial, m_cc.Flags});
    if (a.result != 0) {
      if (a.result != IDOK) return IDCANCEL;
      m_cc.rgbResult = a.color & 0xFFFFFF;
      return IDOK;
    }
  }
  OwnerDisabler disable(m_pParentWnd);
  COLORREF* custom = m_cc.lpCustColors ? m_cc.lpCustColors : GetSavedCustomColors();
  for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, AfxQColor(custom[i]));
  QColorDialog dlg(AfxQColor(initial), ownerWidget(m_pParentWnd));
  dlg.setWindowTitle("Color");
  int result = dlg.exec();
  for (int i = 0; i < 16; ++i) custom[i] = AfxColorRef(QColorDialog::customColor(i).rgb());
  if (result != QDialog::Accepted) return IDCANCEL;
  m_cc.rgbResult = AfxColorRef(dlg.selectedColor().rgb());
  return IDOK;
}
