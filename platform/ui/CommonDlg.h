// Common dialogs: open and save file, print and colour, with the framework's interfaces.
//
// Each dialog can be answered without showing a window, through a hook (tests and scripted
// checks), as message boxes are:
//   AfxSetFileDialogHook([](const AFX_FILEDLG_REQUEST& r) { return AFX_FILEDLG_ANSWER{IDOK, "/tmp/x", 2}; });
// A hook answering 0 lets the real dialog show.
#pragma once

#include "platform/core/AfxColl.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/PrintDC.h"

#include <functional>
#include <string>
#include <vector>

// ---- File dialogs ----
#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000
#define OFN_DONTADDTORECENT 0x02000000
#define OFN_FORCESHOWHIDDEN 0x10000000

struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  LPCTSTR lpstrFilter;      // as the platform lays it out: name\0pattern\0...\0\0 (filled by CFileDialog)
  DWORD nFilterIndex;       // 1-based; the chosen filter after OK
  LPCTSTR lpstrInitialDir;  // folder the dialog opens in; null for the current one
  LPCTSTR lpstrTitle;       // caption; null for "Open" or "Save As"
  DWORD Flags;              // OFN_*
  LPCTSTR lpstrDefExt;      // without the dot
  LPCTSTR lpstrFile;        // the chosen path after OK (read only)
};

// What a file dialog asks. filters: (name, patterns) pairs, patterns separated by ';'.
struct AFX_FILEDLG_REQUEST {
  BOOL bOpen;
  std::string title;
  std::string defExt;
  std::string fileName;    // the name proposed in the dialog
  std::string initialDir;  // the folder it shows
  DWORD flags;
  std::vector<std::pair<std::string, std::string>> filters;
  int filterIndex;  // 1-based
  int attempt;      // 0 at first; counts the answers refused (an existing file not replaced, ...)
};
// result: IDOK or IDCANCEL (0: show the dialog). path: what the user typed or picked, relative
// to initialDir unless absolute. filterIndex: the chosen filter (1-based), 0 to keep the
// proposed one.
struct AFX_FILEDLG_ANSWER {
  int result = 0;
  std::string path;
  int filterIndex = 0;
};
typedef std::function<AFX_FILEDLG_ANSWER(const AFX_FILEDLG_REQUEST&)> AFX_FILEDLG_HOOK;
AFX_FILEDLG_HOOK AfxSetFileDialogHook(AFX_FILEDLG_HOOK hook);

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog(0, pParentWnd) {}
};

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  // lpszFilter in the framework's form: "JPEG (*.jpg)|*.jpg|Enhanced Metafile (*.emf)|*.emf|".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  ~CFileDialog() override;
  INT_PTR DoModal() override;

  CString GetPathName() const;   // the whole path
  CString GetFileName() const;   // name and extension
  CString GetFileExt() const;    // extension without the dot
  CString GetFileTitle() const;  // name without the extension
  CString GetFolderPath() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  // Multiple selection (OFN_ALLOWMULTISELECT): walks the chosen paths.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  OPENFILENAME m_ofn{};
  BOOL m_bOpenFileDialog;

 private:
  // Adds the extension and checks the answer; FALSE (after telling the user) asks again.
  BOOL Accept(std::string path, int filterIndex, const std::string& baseDir);
  AFX_FILEDLG_REQUEST MakeRequest(int attempt) const;
  std::vector<std::pair<std::string, std::string>> m_filters;
  std::string m_filterBlock;  // the platform's layout, for m_ofn.lpstrFilter
  CString m_strDefExt, m_strFileName, m_strTitle;
  std::vector<CString> m_paths;
};

// ---- Print dialog ----
#define PD_ALLPAGES 0x00000000
#define PD_SELECTION 0x00000001
#define PD_PAGENUMS 0x00000002
#define PD_NOSELECTION 0x00000004
#define PD_NOPAGENUMS 0x00000008
#define PD_COLLATE 0x00000010
#define PD_PRINTTOFILE 0x00000020
#define PD_PRINTSETUP 0x00000040
#define PD_NOWARNING 0x00000080
#define PD_RETURNDC 0x00000100
#define PD_RETURNIC 0x00000200
#define PD_RETURNDEFAULT 0x00000400
#define PD_SHOWHELP 0x00000800
#define PD_USEDEVMODECOPIES 0x00040000
#define PD_USEDEVMODECOPIESANDCOLLATE 0x00040000
#define PD_DISABLEPRINTTOFILE 0x00080000
#define PD_HIDEPRINTTOFILE 0x00100000
#define PD_NONETWORKBUTTON 0x00200000

struct PRINTDLG {
  DWORD lStructSize;
  HWND hwndOwner;
  HDC hDC;  // the printer DC after OK (PD_RETURNDC); the caller deletes it with DeleteDC
  DWORD Flags;
  WORD nFromPage;
  WORD nToPage;
  WORD nMinPage;
  WORD nMaxPage;
  WORD nCopies;
};

struct AFX_PRINTDLG_REQUEST {
  DWORD flags;
  BOOL bSetupOnly;
  std::vector<std::string> printers;  // installed printers
  std::string defaultPrinter;
};
// result: IDOK or IDCANCEL (0: show the dialog). pdfPath: print to this PDF file; otherwise
// printer names the printer (empty: the default one).
// paperSize (DMPAPER_*) and orientation (DMORIENT_*): the page chosen, 0 to keep the last one.
struct AFX_PRINTDLG_ANSWER {
  int result = 0;
  std::string printer;
  std::string pdfPath;
  int copies = 1;
  short paperSize = 0;
  short orientation = 0;
};
#define DMPAPER_LETTER 1
#define DMPAPER_LEGAL 5
#define DMPAPER_A3 8
#define DMPAPER_A4 9
#define DMPAPER_A5 11
#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
typedef std::function<AFX_PRINTDLG_ANSWER(const AFX_PRINTDLG_REQUEST&)> AFX_PRINTDLG_HOOK;
AFX_PRINTDLG_HOOK AfxSetPrintDialogHook(AFX_PRINTDLG_HOOK hook);

class QPrinter;

// Printing with it, as the views do:
//   CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
//   if (dlg.DoModal() != IDOK) return;
//   HDC hdc = dlg.GetPrinterDC();
//   CDC* pDC = CDC::FromHandle(hdc);
//   pDC->StartDoc("Neapwise"); pDC->StartPage(); ...draw...; pDC->EndPage(); pDC->EndDoc();
//   DeleteDC(hdc);
class CPrintDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CPrintDialog)
 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                        CWnd* pParentWnd = nullptr);
  ~CPrintDialog() override;
  INT_PTR DoModal() override;

  // The DC made by DoModal; the caller owns it (DeleteDC). Null before OK or when setting up.
  HDC GetPrinterDC() const { return m_pd.hDC; }
  // A further DC for the chosen printer; the caller owns it.
  HDC CreatePrinterDC();
  CString GetDeviceName() const { return m_strDevice; }
  CString GetDriverName() const { return m_strPdf.IsEmpty() ? CString("CUPS") : CString("PDF"); }
  CString GetPortName() const { return m_strPdf.IsEmpty() ? m_strDevice : m_strPdf; }
  int GetCopies() const { return m_pd.nCopies; }
  BOOL PrintAll() const { return !(m_pd.Flags & (PD_SELECTION | PD_PAGENUMS)); }
  BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
  BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
  BOOL PrintToFile() const { return !m_strPdf.IsEmpty(); }
  int GetFromPage() const { return m_pd.nFromPage; }
  int GetToPage() const { return m_pd.nToPage; }

  PRINTDLG& m_pd;

 private:
  PRINTDLG m_pdActual{};
  BOOL m_bSetupOnly;
  // The printer the dialog worked on, with all that was chosen in it (page, CUPS options such
  // as pages per sheet, duplex); each DC made takes it over and a copy stays for the next.
  std::unique_ptr<QPrinter> m_pPrinter;
  CString m_strDevice;  // printer name
  CString m_strPdf;     // PDF output path when printing to a file
};
// A printer that writes PDF files gets a real printer's margins, so a file printed on paper
// later is not clipped.
#define AFX_PDF_MARGIN_MM 5.0

// Names of the installed printers and the default one (empty when there is none).
std::vector<std::string> AfxEnumPrinters(std::string* pDefault = nullptr);
// Deletes a DC handed out by a print dialog (or CreatePrinterDC); FALSE for any other handle.
BOOL DeleteDC(HDC hdc);

// ---- Colour dialog ----
#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

struct CHOOSECOLOR {
  DWORD lStructSize;
  HWND hwndOwner;
  COLORREF rgbResult;
  COLORREF* lpCustColors;  // 16 entries
  DWORD Flags;
};

struct AFX_COLORDLG_REQUEST {
  COLORREF initial;
  DWORD flags;
};
struct AFX_COLORDLG_ANSWER {
  int result = 0;  // IDOK, IDCANCEL; 0 shows the dialog
  COLORREF color = 0;
};
typedef std::function<AFX_COLORDLG_ANSWER(const AFX_COLORDLG_REQUEST&)> AFX_COLORDLG_HOOK;
AFX_COLORDLG_HOOK AfxSetColorDialogHook(AFX_COLORDLG_HOOK hook);

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) {
    m_cc.rgbResult = clr;
    m_cc.Flags |= CC_RGBINIT;
  }
  // The 16 custom colours, kept for the session.
  static COLORREF* GetSavedCustomColors();
  CHOOSECOLOR m_cc{};
};
