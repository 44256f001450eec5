// Common dialogs answered through their hooks: the save dialog's extension, overwrite and
// path checks, open with a file that must exist, printing two pages through the print
// dialog's DC (the PDF read back as pictures), and the colour dialog.
#include "platform/ui/CommonDlg.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

const char* kGraphFilter = "JPEG (*.jpg)|*.jpg|Enhanced Metafile (*.emf)|*.emf|";

struct Hooks {
  Hooks() { AfxWinInit(0, nullptr); }
  ~Hooks() {
    AfxSetFileDialogHook(nullptr);
    AfxSetPrintDialogHook(nullptr);
    AfxSetColorDialogHook(nullptr);
    AfxSetMessageBoxHook(nullptr);
  }
};

TEST(FileDialog, SaveAddsTheChosenFiltersExtensionOrTheDefault) {
  Hooks h;
  TestDir dir;
  std::string folder = std::filesystem::path(dir.file("x")).parent_path().string();
  struct Case {
    const char* filter;
    const char* defExt;
    const char* typed;
    int index;
    const char* wantName;
    const char* wantExt;
  } cases[] = {
      {kGraphFilter, "EMF", "Neapwise Graph", 2, "Neapwise Graph.emf", "emf"},
      {kGraphFilter, "EMF", "Neapwise Graph", 1, "Neapwise Graph.jpg", "jpg"},
      {kGraphFilter, "EMF", "Neapwise Graph", 0, "Neapwise Graph.jpg", "jpg"},  // the first filter is proposed
      {kGraphFilter, "EMF", "picture.Jpg", 2, "picture.Jpg", "Jpg"},            // a typed extension stays
      {"All Files (*.*)|*.*|", "htm", "table", 1, "table.htm", "htm"},
      {"HTML File (*.htm)|*.htm|Text File (*.txt)|*.txt|", "htm", "results", 2, "results.txt", "txt"},
      {kGraphFilter, nullptr, "plain", 2, "plain", ""},  // no default extension: nothing added
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wantName);
    AFX_FILEDLG_REQUEST seen{};
    AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
      seen = r;
      return AFX_FILEDLG_ANSWER{IDOK, c.typed, c.index};
    });
    CFileDialog dlg(FALSE, c.defExt, "Neapwise Graph", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, c.filter);
    dlg.m_ofn.lpstrInitialDir = folder.c_str();
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(std::string(dlg.GetFileName()), c.wantName);
    EXPECT_EQ(std::string(dlg.GetFileExt()), c.wantExt);
    EXPECT_EQ(std::string(dlg.GetPathName()), folder + "/" + c.wantName);
    EXPECT_STREQ(dlg.m_ofn.lpstrFile, dlg.GetPathName());
    EXPECT_EQ(std::string(dlg.GetFolderPath()), folder);
    EXPECT_EQ(seen.title, "Save As");
    EXPECT_EQ(seen.fileName, "Neapwise Graph");
    EXPECT_EQ(seen.filterIndex, 1);
    EXPECT_EQ((int)dlg.m_ofn.nFilterIndex, c.index ? c.index : 1);
  }
  // The filters as the dialog offers them.
  AFX_FILEDLG_REQUEST seen{};
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    seen = r;
    return AFX_FILEDLG_ANSWER{IDCANCEL, "", 0};
  });
  CFileDialog dlg(FALSE, "EMF", "Neapwise Graph", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kGraphFilter);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_EQ(seen.filters.size(), 2u);
  EXPECT_EQ(seen.filters[1].first, "Enhanced Metafile (*.emf)");
  EXPECT_EQ(seen.filters[1].second, "*.emf");
  EXPECT_EQ(std::string(dlg.GetPathName()), "");
}

TEST(FileDialog, ExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
  Hooks h;
  TestDir dir;
  WriteAll(dir.file("tide.emf"), "old");
  std::vector<std::string> asked;
  int answer = IDNO;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    asked.push_back(r.text);
    EXPECT_EQ(r.type & MB_TYPEMASK, (UINT)MB_YESNO);
    return answer;
  });
  std::vector<int> attempts;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    attempts.push_back(r.attempt);
    // First the existing name (extension added by the dialog), then another one.
    return AFX_FILEDLG_ANSWER{IDOK, r.attempt == 0 ? dir.file("tide") : dir.file("other"), 2};
  });
  CFileDialog dlg(FALSE, "EMF", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kGraphFilter);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "tide.emf already exists.\nDo you want to replace it?");
  EXPECT_EQ(attempts, (std::vector<int>{0, 1}));
  EXPECT_EQ(std::string(dlg.GetPathName()), dir.file("other.emf"));
  EXPECT_EQ(ReadAll(dir.file("tide.emf")), "old");

  answer = IDYES;
  asked.clear();
  attempts.clear();
  CFileDialog again(FALSE, "EMF", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kGraphFilter);
  ASSERT_EQ(again.DoModal(), IDOK);
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(std::string(again.GetPathName()), dir.file("tide.emf"));

  // Without the flag nobody is asked.
  asked.clear();
  CFileDialog quiet(FALSE, "EMF", nullptr, OFN_HIDEREADONLY, kGraphFilter);
  ASSERT_EQ(quiet.DoModal(), IDOK);
  EXPECT_TRUE(asked.empty());
}

TEST(FileDialog, MissingFolderOrFileIsRefusedAndAskedAgain) {
  Hooks h;
  TestDir dir;
  WriteAll(dir.file("routes.dat"), "x");
  std::vector<std::string> told;
  AfxSetMessageBoxHook([&](const AFX_MSGBOX_REQUEST& r) {
    told.push_back(r.text);
    return IDOK;
  });
  // A folder that is not there: told, then the user cancels.
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    if (r.attempt == 0) return AFX_FILEDLG_ANSWER{IDOK, dir.file("nowhere/table"), 1};
    return AFX_FILEDLG_ANSWER{IDCANCEL, "", 0};
  });
  CFileDialog save(FALSE, "htm", "Neapwise Table", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                   "HTML File (*.htm)|*.htm|Text File (*.txt)|*.txt|");
  EXPECT_EQ(save.DoModal(), IDCANCEL);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("Path does not exist"), std::string::npos);

  // Open with a file that must exist.
  told.clear();
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    EXPECT_TRUE(r.bOpen);
    EXPECT_EQ(r.title, "Open");
    return AFX_FILEDLG_ANSWER{IDOK, r.attempt == 0 ? "missing.dat" : "routes.dat", 0};
  });
  CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Routes (*.dat)|*.dat|");
  std::string folder = std::filesystem::path(dir.file("x")).parent_path().string();
  open.m_ofn.lpstrInitialDir = folder.c_str();
  ASSERT_EQ(open.DoModal(), IDOK);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "missing.dat\nFile not found.\nCheck the file name and try again.");
  EXPECT_EQ(std::string(open.GetPathName()), dir.file("routes.dat"));
  EXPECT_EQ(std::string(open.GetFileTitle()), "routes");

  // A hook that keeps giving a refused answer ends as Cancel rather than looping.
  told.clear();
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST&) { return AFX_FILEDLG_ANSWER{IDOK, "missing.dat", 0}; });
  CFileDialog stubborn(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, nullptr);
  stubborn.m_ofn.lpstrInitialDir = folder.c_str();
  EXPECT_EQ(stubborn.DoModal(), IDCANCEL);
  EXPECT_GT(told.size(), 1u);
}

// Renders page n (1-based) of a PDF at 50 dpi with pdftoppm.
QImage pdfPage(const std::string& pdf, int n, const TestDir& dir) {
  std::string prefix = dir.file("page");
  std::string cmd = "pdftoppm -r 50 -png -f " + std::to_string(n) + " -l " + std::to_string(n) + " -singlefile '" +
                    pdf + "' '" + prefix + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return QImage();
  return QImage(QString::fromStdString(prefix + ".png"));
}

// Dark pixels in a band of the picture, as fractions of its size.
int darkIn(const QImage& img, double x0, double y0, double x1, double y1) {
  int n = 0;
  for (int y = (int)(y0 * img.height()); y < (int)(y1 * img.height()); ++y)
    for (int x = (int)(x0 * img.width()); x < (int)(x1 * img.width()); ++x)
      if (qGray(img.pixel(x, y)) < 128) ++n;
  return n;
}

TEST(PrintDialog, TwoPagesThroughTheDialogsDcToPdf) {
  Hooks h;
  TestDir dir;
  std::string pdf = dir.file("print.pdf");
  AFX_PRINTDLG_REQUEST seen{};
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST& r) {
    seen = r;
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.pdfPath = pdf;
    return a;
  });
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(seen.flags & PD_NOPAGENUMS);
  EXPECT_TRUE(seen.flags & PD_RETURNDC);
  EXPECT_TRUE(dlg.PrintToFile());
  HDC hdc = dlg.GetPrinterDC();
  ASSERT_NE(hdc, nullptr);
  CDC* dc = CDC::FromHandle(hdc);
  EXPECT_TRUE(dc->IsPrinting());
  int w = dc->GetDeviceCaps(HORZRES), hgt = dc->GetDeviceCaps(VERTRES);
  EXPECT_GT(w, 1000);
  EXPECT_GT(hgt, w);
  ASSERT_GT(dc->StartDoc("Neapwise"), 0);
  for (int page = 1; page <= 2; ++page) {
    ASSERT_GT(dc->StartPage(), 0);
    // Page 1: a black bar across the top; page 2: across the bottom.
    CRect bar(w / 10, page == 1 ? hgt / 10 : hgt * 8 / 10, w * 9 / 10, page == 1 ? hgt / 5 : hgt * 9 / 10);
    dc->FillSolidRect(&bar, RGB(0, 0, 0));
    ASSERT_GT(dc->EndPage(), 0);
  }
  ASSERT_GT(dc->EndDoc(), 0);
  EXPECT_TRUE(DeleteDC(hdc));
  EXPECT_FALSE(DeleteDC(hdc));  // only once

  QImage p1 = pdfPage(pdf, 1, dir), p2 = pdfPage(pdf, 2, dir);
  ASSERT_FALSE(p1.isNull());
  ASSERT_FALSE(p2.isNull());
  EXPECT_TRUE(pdfPage(pdf, 3, dir).isNull());  // two pages only
  EXPECT_GT(darkIn(p1, 0.2, 0.12, 0.8, 0.18), 0.9 * (0.6 * 0.06) * p1.width() * p1.height());
  EXPECT_EQ(darkIn(p1, 0, 0.5, 1, 1), 0);
  EXPECT_GT(darkIn(p2, 0.2, 0.82, 0.8, 0.88), 0.9 * (0.6 * 0.06) * p2.width() * p2.height());
  EXPECT_EQ(darkIn(p2, 0, 0, 1, 0.5), 0);
  std::string bytes = ReadAll(pdf);
  EXPECT_NE(bytes.find("/Count 2"), std::string::npos);
}

// Printed to a file, the page is the size and way round the dialog chose, with a printer's
// unprintable edge: a sheet filled up to the printable area's edges shows 4-6 mm of white on
// every side, which the DC reports as its physical offsets.
TEST(PrintDialog, APageToAFileHasTheChosenSizeOrientationAndMargins) {
  Hooks h;
  struct Case {
    short paper, orientation;
    double widthMM, heightMM;
  } cases[] = {
      {DMPAPER_A4, DMORIENT_PORTRAIT, 210, 297},
      {DMPAPER_LETTER, DMORIENT_LANDSCAPE, 279.4, 215.9},
      {DMPAPER_A5, DMORIENT_LANDSCAPE, 210, 148},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.widthMM);
    TestDir dir;
    std::string pdf = dir.file("page.pdf");
    AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
      AFX_PRINTDLG_ANSWER a;
      a.result = IDOK;
      a.pdfPath = pdf;
      a.paperSize = c.paper;
      a.orientation = c.orientation;
      return a;
    });
    CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    HDC hdc = dlg.GetPrinterDC();
    ASSERT_NE(hdc, nullptr);
    CDC* dc = CDC::FromHandle(hdc);
    const double dpmm = dc->GetDeviceCaps(LOGPIXELSX) / 25.4;
    const int w = dc->GetDeviceCaps(HORZRES), hgt = dc->GetDeviceCaps(VERTRES);
    const int offX = dc->GetDeviceCaps(PHYSICALOFFSETX), offY = dc->GetDeviceCaps(PHYSICALOFFSETY);
    EXPECT_NEAR(dc->GetDeviceCaps(PHYSICALWIDTH) / dpmm, c.widthMM, 1);
    EXPECT_NEAR(dc->GetDeviceCaps(PHYSICALHEIGHT) / dpmm, c.heightMM, 1);
    EXPECT_GE(offX / dpmm, 4);
    EXPECT_LE(offX / dpmm, 6);
    EXPECT_GE(offY / dpmm, 4);
    EXPECT_LE(offY / dpmm, 6);
    EXPECT_NEAR(w, dc->GetDeviceCaps(PHYSICALWIDTH) - 2 * offX, 2);
    EXPECT_NEAR(hgt, dc->GetDeviceCaps(PHYSICALHEIGHT) - 2 * offY, 2);
    EXPECT_NEAR(dc->GetDeviceCaps(HORZSIZE), c.widthMM - 2 * offX / dpmm, 1);
    ASSERT_GT(dc->StartDoc("Neapwise"), 0);
    ASSERT_GT(dc->StartPage(), 0);
    dc->FillSolidRect(0, 0, w, hgt, RGB(0, 0, 0));
    ASSERT_GT(dc->EndPage(), 0);
    ASSERT_GT(dc->EndDoc(), 0);
    EXPECT_TRUE(DeleteDC(hdc));

    QImage page = pdfPage(pdf, 1, dir);  // 50 dpi
    ASSERT_FALSE(page.isNull());
    const double px = 50 / 25.4;
    EXPECT_NEAR(page.width() / px, c.widthMM, 1.5);
    EXPECT_NEAR(page.height() / px, c.heightMM, 1.5);
    // The white edge on each side, in millimetres: from the sheet's edge to the first dark pixel
    // on the middle row or column.
    auto edge = [&](int x0, int y0, int dx, int dy) {
      int n = 0;
      for (int x = x0, y = y0; x >= 0 && y >= 0 && x < page.width() && y < page.height(); x += dx, y += dy, ++n)
        if (qGray(page.pixel(x, y)) < 128) break;
      return n / px;
    };
    const int mx = page.width() / 2, my = page.height() / 2;
    for (double e : {edge(0, my, 1, 0), edge(page.width() - 1, my, -1, 0), edge(mx, 0, 0, 1),
                     edge(mx, page.height() - 1, 0, -1)}) {
      EXPECT_GE(e, 3.5);
      EXPECT_LE(e, 6.5);
    }
    EXPECT_GT(darkIn(page, 0.1, 0.1, 0.9, 0.9), 0.99 * 0.64 * page.width() * page.height());
  }
}

TEST(PrintDialog, CancelGivesNoDcAndSetupGivesNone) {
  Hooks h;
  AfxSetPrintDialogHook([](const AFX_PRINTDLG_REQUEST&) {
    AFX_PRINTDLG_ANSWER a;
    a.result = IDCANCEL;
    return a;
  });
  CPrintDialog dlg(FALSE);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetPrinterDC(), nullptr);

  TestDir dir;
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST& r) {
    EXPECT_TRUE(r.bSetupOnly);
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.pdfPath = dir.file("setup.pdf");
    return a;
  });
  CPrintDialog setup(TRUE);
  EXPECT_EQ(setup.DoModal(), IDOK);
  EXPECT_EQ(setup.GetPrinterDC(), nullptr);
  // A DC can still be asked for.
  HDC hdc = setup.CreatePrinterDC();
  ASSERT_NE(hdc, nullptr);
  EXPECT_TRUE(DeleteDC(hdc));
}

TEST(ColorDialog, InitialColourAndAnswer) {
  Hooks h;
  COLORREF seenInitial = 1;
  DWORD seenFlags = 0;
  AfxSetColorDialogHook([&](const AFX_COLORDLG_REQUEST& r) {
    seenInitial = r.initial;
    seenFlags = r.flags;
    return AFX_COLORDLG_ANSWER{IDOK, RGB(10, 20, 30)};
  });
  CColorDialog dlg(RGB(200, 100, 50), CC_FULLOPEN);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(seenInitial, RGB(200, 100, 50));
  EXPECT_TRUE(seenFlags & CC_RGBINIT);
  EXPECT_TRUE(seenFlags & CC_FULLOPEN);
  EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));

  AfxSetColorDialogHook([&](const AFX_COLORDLG_REQUEST&) { return AFX_COLORDLG_ANSWER{IDCANCEL, RGB(1, 2, 3)}; });
  CColorDialog cancelled(RGB(5, 6, 7));
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetColor(), RGB(5, 6, 7));
}

}  // namespace

namespace {

// The printer path of the DC (a QPrinter, here set to write PDF since no printer is installed
// on a build machine): page rectangle and resolution come from the printer.
TEST(PrintDialog, PrinterDcDrawsOnAQPrinter) {
  Hooks h;
  TestDir dir;
  std::string pdf = dir.file("printer.pdf");
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(pdf));
  printer->setResolution(150);
  int res = printer->resolution();
  CPrintDC dc;
  ASSERT_TRUE(dc.CreatePrinter(std::move(printer)));
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), res);
  CDC* p = &dc;
  int w = p->GetDeviceCaps(HORZRES), hgt = p->GetDeviceCaps(VERTRES);
  EXPECT_GT(w, res * 7);  // A4 or Letter less the margins
  ASSERT_GT(p->StartDoc("Neapwise"), 0);
  for (int page = 0; page < 2; ++page) {
    ASSERT_GT(p->StartPage(), 0);
    CRect r(0, 0, w, hgt / 4);
    p->FillSolidRect(&r, RGB(0, 0, 0));
    ASSERT_GT(p->EndPage(), 0);
  }
  ASSERT_GT(p->EndDoc(), 0);
  QImage p2 = pdfPage(pdf, 2, dir);
  ASSERT_FALSE(p2.isNull());
  EXPECT_GT(darkIn(p2, 0.2, 0.1, 0.8, 0.15), 0);
  EXPECT_EQ(darkIn(p2, 0, 0.5, 1, 1), 0);
}

}  // namespace

namespace {

// The real dialogs, answered by working their widgets as a user would.
template <class T>
T* modalDialog() {
  return qobject_cast<T*>(QApplication::activeModalWidget());
}

TEST(RealDialogs, SaveDialogTakesTheChosenFilterAndAddsItsExtension) {
  Hooks h;
  TestDir dir;
  std::string folder = std::filesystem::path(dir.file("x")).parent_path().string();
  QStringList offered;
  bool saw = false;
  AfxCallLater(50, [&] {
    auto* d = modalDialog<QFileDialog>();
    if (!d) return;
    saw = true;
    offered = d->nameFilters();
    d->selectNameFilter(offered.value(1));
    d->selectFile("Neapwise Graph");
    QMetaObject::invokeMethod(d, "accept");
  });
  CFileDialog dlg(FALSE, "EMF", "Neapwise Graph", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kGraphFilter);
  dlg.m_ofn.lpstrInitialDir = folder.c_str();
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(saw);
  EXPECT_EQ(offered, (QStringList{"JPEG (*.jpg)", "Enhanced Metafile (*.emf)"}));
  EXPECT_EQ(std::string(dlg.GetPathName()), folder + "/Neapwise Graph.emf");
  EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
}

TEST(RealDialogs, CancelledFileAndColourDialogs) {
  Hooks h;
  AfxCallLater(50, [] {
    if (auto* d = modalDialog<QFileDialog>()) d->reject();
  });
  CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "Routes (*.dat)|*.dat|");
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_EQ(std::string(open.GetPathName()), "");

  QColor seen;
  AfxCallLater(50, [&] {
    auto* d = modalDialog<QColorDialog>();
    if (!d) return;
    seen = d->currentColor();
    d->setCurrentColor(QColor(12, 34, 56));
    d->accept();
  });
  CColorDialog colour(RGB(200, 100, 50));
  ASSERT_EQ(colour.DoModal(), IDOK);
  EXPECT_EQ(seen, QColor(200, 100, 50));
  EXPECT_EQ(colour.GetColor(), RGB(12, 34, 56));
}

}  // namespace

namespace {

TEST(RealDialogs, PrintDialogToPdf) {
  Hooks h;
  TestDir dir;
  std::string pdf = dir.file("real.pdf");
  bool saw = false;
  AfxCallLater(50, [&] {
    auto* d = modalDialog<QPrintDialog>();
    if (!d) return;
    saw = true;
    // The PDF printer is the one offered where no printer is installed; the user types the
    // file's name.
    auto* name = d->findChild<QLineEdit*>("filename");
    if (name)
      name->setText(QString::fromStdString(pdf));
    else
      d->printer()->setOutputFileName(QString::fromStdString(pdf));
    QMetaObject::invokeMethod(d, "accept");
  });
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  INT_PTR r = dlg.DoModal();
  EXPECT_TRUE(saw);
  EXPECT_STREQ(dlg.GetPortName(), pdf.c_str()) << dlg.GetDeviceName();
  ASSERT_EQ(r, IDOK);
  HDC hdc = dlg.GetPrinterDC();
  ASSERT_NE(hdc, nullptr);
  CDC* dc = CDC::FromHandle(hdc);
  const double dpmm = dc->GetDeviceCaps(LOGPIXELSX) / 25.4;
  EXPECT_GE(dc->GetDeviceCaps(PHYSICALOFFSETX) / dpmm, 4);
  EXPECT_LE(dc->GetDeviceCaps(PHYSICALOFFSETY) / dpmm, 6);
  ASSERT_GT(dc->StartDoc("Neapwise"), 0);
  dc->StartPage();
  CRect r1(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES) / 10);
  dc->FillSolidRect(&r1, RGB(0, 0, 0));
  dc->EndPage();
  ASSERT_GT(dc->EndDoc(), 0);
  EXPECT_TRUE(DeleteDC(hdc));
  QImage p1 = pdfPage(pdf, 1, dir);
  ASSERT_FALSE(p1.isNull());
  EXPECT_GT(darkIn(p1, 0.3, 0.0, 0.7, 0.05), 0);
}

}  // namespace

namespace {

// The page size and orientation chosen under the dialog's Properties are the PDF's page.
TEST(RealDialogs, ThePageChosenUnderPropertiesIsTheFilesPage) {
  Hooks h;
  TestDir dir;
  std::string pdf = dir.file("letter.pdf");
  QString problem = "no dialog";
  QPrintDialog* main = nullptr;
  AfxCallLater(50, [&] {
    main = modalDialog<QPrintDialog>();
    if (!main) return;
    auto* printers = main->findChild<QComboBox*>("printers");
    auto* name = main->findChild<QLineEdit*>("filename");
    auto* properties = main->findChild<QPushButton*>("properties");
    if (!printers || !name || !properties) {
      problem = "no printers, file name or properties";
      main->reject();
      return;
    }
    printers->setCurrentIndex(printers->count() - 1);  // print to file (PDF)
    name->setText(QString::fromStdString(pdf));
    AfxCallLater(100, [&] {
      QDialog* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      auto* sizes = d && d != main ? d->findChild<QComboBox*>("pageSizeCombo") : nullptr;
      auto* landscape = d && d != main ? d->findChild<QRadioButton*>("landscape") : nullptr;
      int letter = -1;
      for (int i = 0; sizes && i < sizes->count(); ++i)
        if (sizes->itemText(i).startsWith("Letter")) letter = i;
      if (letter < 0 || !landscape) {
        problem = "the properties offer no Letter or landscape";
        if (d && d != main) d->reject();
      } else {
        problem.clear();
        sizes->setCurrentIndex(letter);
        landscape->click();
        d->accept();
      }
      AfxCallLater(50, [&] { QMetaObject::invokeMethod(main, "accept"); });
    });
    QMetaObject::invokeMethod(properties, "click", Qt::QueuedConnection);
  });
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  const INT_PTR r = dlg.DoModal();
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
  ASSERT_EQ(r, IDOK);
  EXPECT_TRUE(dlg.PrintToFile());
  HDC hdc = dlg.GetPrinterDC();
  ASSERT_NE(hdc, nullptr);
  CDC* dc = CDC::FromHandle(hdc);
  const int w = dc->GetDeviceCaps(HORZRES), hgt = dc->GetDeviceCaps(VERTRES);
  EXPECT_GT(w, hgt);
  ASSERT_GT(dc->StartDoc("Neapwise"), 0);
  dc->StartPage();
  dc->FillSolidRect(0, 0, w, hgt, RGB(0, 0, 0));
  dc->EndPage();
  ASSERT_GT(dc->EndDoc(), 0);
  EXPECT_TRUE(DeleteDC(hdc));
  QImage page = pdfPage(pdf, 1, dir);
  ASSERT_FALSE(page.isNull());
  const double px = 50 / 25.4;
  EXPECT_NEAR(page.width() / px, 279.4, 1.5);
  EXPECT_NEAR(page.height() / px, 215.9, 1.5);
  // White at the very edge, black a centimetre in.
  EXPECT_EQ(qGray(page.pixel(1, page.height() / 2)), 255);
  EXPECT_LT(qGray(page.pixel((int)(10 * px), page.height() / 2)), 128);
  EXPECT_LT(qGray(page.pixel(page.width() / 2, (int)(10 * px))), 128);
}

// A folder typed as the PDF's name gets the document's name in it rather than failing later.
TEST(RealDialogs, PrintDialogWithAFolderForThePdf) {
  Hooks h;
  TestDir dir;
  std::string folder = std::filesystem::path(dir.file("x")).parent_path().string();
  AfxCallLater(50, [&] {
    auto* d = modalDialog<QPrintDialog>();
    if (!d) return;
    if (auto* name = d->findChild<QLineEdit*>("filename")) name->setText(QString::fromStdString(folder + "/"));
    QMetaObject::invokeMethod(d, "accept");
  });
  CPrintDialog dlg(FALSE);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(std::string(dlg.GetPortName()), folder + "/Neapwise.pdf");
  HDC hdc = dlg.GetPrinterDC();
  ASSERT_NE(hdc, nullptr);
  EXPECT_GT(CDC::FromHandle(hdc)->StartDoc("Neapwise"), 0);
  EXPECT_GT(CDC::FromHandle(hdc)->EndDoc(), 0);
  EXPECT_TRUE(DeleteDC(hdc));
}

}  // namespace
