// Printing to PDF without a dialog: two pages drawn with the ordinary CDC calls.
#include "platform/ui/AfxWin.h"
#include "platform/ui/PrintDC.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <cstring>
#include <regex>

namespace {

int countPages(const std::string& pdf) {
  // Page objects, not the page tree ("/Type /Pages").
  std::regex page("/Type\\s*/Page[^s]");
  return (int)std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
}

void drawPage(CDC* dc, int n) {
  int w = dc->GetDeviceCaps(HORZRES), h = dc->GetDeviceCaps(VERTRES);
  CPen pen(PS_SOLID, 4, RGB(0, 0, 128));
  CPen* old = dc->SelectObject(&pen);
  dc->Rectangle(w / 10, h / 10, w * 9 / 10, h * 9 / 10);
  dc->SelectObject(old);
  CFont font;
  LOGFONT lf{};
  lf.lfHeight = -dc->GetDeviceCaps(LOGPIXELSY) / 6;  // 12 points
  std::strcpy(lf.lfFaceName, "Arial");
  font.CreateFontIndirect(&lf);
  CFont* of = dc->SelectObject(&font);
  CString t;
  t.Format("Neapwise page %d", n);
  dc->TextOut(w / 5, h / 5, t);
  dc->SelectObject(of);
}

TEST(Print, TwoPagesToPdf) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  const char* keep = std::getenv("NEAPWISE_UI_PICTURES");
  std::string path = keep ? std::string(keep) + "/tides.pdf" : dir.file("tides.pdf");
  {
    CPrintDC dc;
    ASSERT_TRUE(dc.CreatePdf(path.c_str(), 300));
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 300);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 2480);  // A4 at 300 dpi
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 3508);
    EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 210);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_TRUE(dc.IsPrinting());
    // Views ask through a CDC*: the size and the resolution are the printer's there too.
    CDC* asView = &dc;
    EXPECT_EQ(asView->GetDeviceCaps(LOGPIXELSY), 300);
    EXPECT_EQ(asView->GetDeviceCaps(HORZRES), 2480);
    DOCINFO di{sizeof(DOCINFO), "Neapwise", nullptr, nullptr, 0};
    ASSERT_GT(dc.StartDoc(&di), 0);
    // The pages are framed through a CDC*, as the views print.
    for (int page = 1; page <= 2; ++page) {
      ASSERT_GT(asView->StartPage(), 0);
      drawPage(asView, page);
      ASSERT_GT(asView->EndPage(), 0);
    }
    ASSERT_GT(asView->EndDoc(), 0);
    EXPECT_EQ(dc.GetPageCount(), 2);
  }
  std::string pdf = ReadAll(path);
  ASSERT_GT(pdf.size(), 500u);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(countPages(pdf), 2);
  // The document's title, which the writer stores as UTF-16.
  EXPECT_NE(pdf.find(std::string("\0N\0e\0a\0p\0w\0i\0s\0e", 16)), std::string::npos);
  // A4 in points.
  EXPECT_TRUE(std::regex_search(pdf, std::regex("/MediaBox\\s*\\[\\s*0\\s+0\\s+595(\\.\\d+)?\\s+84[12](\\.\\d+)?")));
}

TEST(Print, AbortedDocumentLeavesNoFileAndBadCallsFail) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  std::string path = dir.file("aborted.pdf");
  CPrintDC dc;
  EXPECT_EQ(dc.StartDoc("x"), SP_ERROR);  // no output yet
  EXPECT_FALSE(dc.CreatePdf("", 300));
  ASSERT_TRUE(dc.CreatePdf(path.c_str(), 150));
  EXPECT_EQ(dc.StartPage(), SP_ERROR);  // before StartDoc
  ASSERT_GT(dc.StartDoc("Neapwise"), 0);
  ASSERT_GT(dc.StartPage(), 0);
  dc.Rectangle(10, 10, 100, 100);
  ASSERT_GT(dc.AbortDoc(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The pages as a reader shows them: each page rendered by poppler from the PDF, with what was
// drawn on it where it was drawn, in the printer's own coordinates.
TEST(Print, ThePagesShowWhatWasDrawnWhereItWasDrawn) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  std::string path = dir.file("pages.pdf");
  const COLORREF colours[2] = {RGB(200, 0, 0), RGB(0, 0, 200)};
  {
    CPrintDC dc;
    ASSERT_TRUE(dc.CreatePdf(path.c_str(), 300));
    ASSERT_GT(dc.StartDoc("Pages"), 0);
    int w = dc.GetDeviceCaps(HORZRES), h = dc.GetDeviceCaps(VERTRES);
    for (int page = 0; page < 2; ++page) {
      ASSERT_GT(dc.StartPage(), 0);
      // Page 1 fills its top left quarter, page 2 its bottom right one.
      int x = page ? w / 2 : 0, y = page ? h / 2 : 0;
      dc.FillSolidRect(x, y, w / 2, h / 2, colours[page]);
      ASSERT_GT(dc.EndPage(), 0);
    }
    ASSERT_GT(dc.EndDoc(), 0);
  }
  std::string cmd = "pdftoppm -r 20 -png '" + path + "' '" + dir.file("page") + "' >/dev/null 2>&1";
  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdftoppm here";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (int page = 0; page < 2; ++page) {
    QImage img(QString::fromStdString(dir.file("page-" + std::to_string(page + 1) + ".png")));
    ASSERT_FALSE(img.isNull()) << page;
    EXPECT_NEAR(img.width(), 165, 2);  // A4 at 20 dpi
    EXPECT_NEAR(img.height(), 234, 2);
    QPoint filled =
        page ? QPoint(img.width() * 3 / 4, img.height() * 3 / 4) : QPoint(img.width() / 4, img.height() / 4);
    QPoint empty = page ? QPoint(img.width() / 4, img.height() / 4) : QPoint(img.width() * 3 / 4, img.height() * 3 / 4);
    QRgb c = img.pixel(filled);
    EXPECT_EQ(RGB(qRed(c), qGreen(c), qBlue(c)), colours[page]) << page;
    EXPECT_EQ(img.pixel(empty) & 0xFFFFFF, 0xFFFFFFu) << page;
  }
}

}  // namespace
