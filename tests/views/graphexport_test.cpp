// The graph printed, saved as JPEG and metafile and copied, each read back by programs of
// their own (pdftoppm, gdk-pixbuf, file, Inkscape) and compared with what the screen shows;
// the screen's cached picture and plot stay as they were; every failure is a message, never
// the end of the program.
#include "platform/testing/UiTest.h"
#include "platform/ui/Jpeg.h"
#include "tests/views/GraphFixture.h"
#include "tests/views/PageTestKit.h"
#include "views/JpegSizeDlg.h"
#include "views/PictureExport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace views_test;
namespace fs = std::filesystem;

const COLORREF kLine = 0x00D200, kMark = 0xFFFF00;

bool Have(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& cmd) {
  std::string out;
  if (FILE* p = ::popen(cmd.c_str(), "r")) {
    char buf[512];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

bool Greenish(COLORREF c) { return GetGValue(c) > 150 && GetRValue(c) < 90 && GetBValue(c) < 90; }
// The time mark's colour, 0xFFFF00 as a COLORREF: green and blue.
bool MarkColoured(COLORREF c) {
  return GetRValue(c) < 170 && GetGValue(c) > GetRValue(c) + 60 && GetGValue(c) > 200 && GetBValue(c) > 200;
}
bool Dark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

int Count(const CBitmap& b, bool (*test)(COLORREF)) {
  BITMAP bm{};
  b.GetBitmap(&bm);
  int n = 0;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) n += test(b.GetPixel(x, y));
  return n;
}

CSize SizeOf(const CBitmap& b) {
  BITMAP bm{};
  b.GetBitmap(&bm);
  return CSize(bm.bmWidth, bm.bmHeight);
}

// Mean difference per channel between two pictures of one size.
double MeanDifference(const CBitmap& a, const CBitmap& b) {
  const CSize s = SizeOf(a);
  double sum = 0;
  for (int y = 0; y < s.cy; ++y)
    for (int x = 0; x < s.cx; ++x) {
      const COLORREF p = a.GetPixel(x, y), q = b.GetPixel(x, y);
      sum += std::abs((int)GetRValue(p) - (int)GetRValue(q)) + std::abs((int)GetGValue(p) - (int)GetGValue(q)) +
             std::abs((int)GetBValue(p) - (int)GetBValue(q));
    }
  return sum / (3.0 * s.cx * s.cy);
}

// The first quantisation table of a JPEG file (64 values), empty when there is none.
std::vector<int> FirstQuantTable(const std::string& bytes) {
  for (size_t i = 0; i + 5 + 64 < bytes.size(); ++i)
    if ((unsigned char)bytes[i] == 0xFF && (unsigned char)bytes[i + 1] == 0xDB) {
      std::vector<int> q;
      for (int k = 0; k < 64; ++k) q.push_back((unsigned char)bytes[i + 5 + (size_t)k]);
      return q;
    }
  return {};
}

// A packed DIB of the given bit count with its colour table and rows (bottom row first).
HGLOBAL MakeDib(int w, int h, int bits, const std::vector<RGBQUAD>& table, const std::vector<BYTE>& rows) {
  const size_t head = sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD);
  HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, head + rows.size());
  auto* p = static_cast<BYTE*>(::GlobalLock(g));
  BITMAPINFOHEADER bi{sizeof(BITMAPINFOHEADER), w, h, 1, (WORD)bits, BI_RGB, (DWORD)rows.size(), 0, 0, 0, 0};
  std::memcpy(p, &bi, sizeof bi);
  if (!table.empty()) std::memcpy(p + sizeof bi, table.data(), table.size() * sizeof(RGBQUAD));
  if (!rows.empty()) std::memcpy(p + head, rows.data(), rows.size());
  ::GlobalUnlock(g);
  return g;
}

// Answers the JPEG size dialog once it shows: width, height and slider, then OK.
class JpegDialogAnswer {
 public:
  JpegDialogAnswer(int w, int h, int slider, bool ok = true)
      : m_later(40, [=, this] {
          AfxTestWait(5000, [] { return dynamic_cast<CJpegSizeDlg*>(CWnd::GetActiveWindow()) != nullptr; });
          auto* dlg = dynamic_cast<CJpegSizeDlg*>(CWnd::GetActiveWindow());
          if (!dlg) return;
          shown = true;
          caption = GetText(dlg);
          width = (int)dlg->GetDlgItemInt(1036);
          height = (int)dlg->GetDlgItemInt(1037);
          slider0 = dlg->m_slider.GetPos();
          dlg->SetDlgItemInt(1036, (UINT)w);
          dlg->SetDlgItemInt(1037, (UINT)h);
          dlg->m_slider.SetPos(slider);
          const HWND h = dlg->GetSafeHwnd();
          ::SendMessage(h, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
          // A value out of range keeps the dialog open: leave it with Cancel.
          AfxTestWait(50);
          if (::IsWindow(h) && ::IsWindowVisible(h)) {
            stayedOpen = true;
            ::SendMessage(h, WM_COMMAND, IDCANCEL, 0);
          }
        }) {}
  BOOL Wait() { return m_later.Wait(); }
  bool shown = false, stayedOpen = false;
  CString caption;
  int width = 0, height = 0, slider0 = -1;

 private:
  static CString GetText(CWnd* w) {
    CString s;
    w->GetWindowText(s);
    return s;
  }
  CTestCallLater m_later;
};

class COwnerWnd : public CWnd {};

class GraphExport : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(day.Load("Dover", 2025, 6, 12)) << "the embedded tables give no day";
    dir = m_tmp.Path();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 20, 20, 820, 420, nullptr, nullptr));
    ASSERT_TRUE(graph.Create(&owner, CRect(10, 10, 810, 410), 1001));
    day.Push(graph);
    graph.SetTimeMark(9 * 60);
    AfxTestWait(20);
    // The screen's picture, made before anything is exported.
    ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &screen));
    ASSERT_FALSE(graph.IsModified());
    plot = graph.GetPlotRect();
    ASSERT_FALSE(plot.IsRectEmpty());
    messages.clear();
    AfxSetMessageBoxHook([this](const AFX_MSGBOX_REQUEST& r) {
      messages.push_back(r.text);
      return IDOK;
    });
  }
  void TearDown() override {
    AfxSetMessageBoxHook(nullptr);
    AfxSetFileDialogHook(nullptr);
    graph.DestroyWindow();
    owner.DestroyWindow();
    AfxTestWait(5);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // The screen is as it was: same plot, the cached picture reused and unchanged.
  void ExpectScreenUntouched() {
    EXPECT_EQ(plot, graph.GetPlotRect());
    EXPECT_FALSE(graph.IsModified()) << "the cached picture was thrown away";
    graph.Invalidate(TRUE);
    CBitmap again;
    ASSERT_TRUE(AfxCaptureWindow(graph.GetSafeHwnd(), &again));
    EXPECT_FALSE(graph.IsModified());
    EXPECT_EQ(0.0, MeanDifference(screen, again)) << "the next paint differs from the screen before";
  }
  // What the picture outputs should show: the screen's drawing at that size.
  void Expected(int w, int h, CBitmap& out) {
    DrawInto(out, CRect(0, 0, w, h), [&](CDC* dc) { graph.DrawPicture(dc, CRect(0, 0, w, h)); });
  }

  PortDay day;
  TempDir m_tmp{"graphexport"};
  std::string dir;
  COwnerWnd owner;
  CGraphWnd graph;
  CBitmap screen;
  CRect plot;
  std::vector<std::string> messages;
};

TEST_F(GraphExport, APrintThroughTheDialogIsOnePageOfTheGraphWithoutFrameOrMarkAndTheScreenStays) {
  const std::string pdf = dir + "/graph.pdf";
  const DWORD flags = PrintToPdf(pdf, [&] { graph.Print(); });
  EXPECT_TRUE(flags & PD_NOPAGENUMS);
  EXPECT_TRUE(flags & PD_HIDEPRINTTOFILE);
  ASSERT_EQ(0u, ReadFile(pdf).find("%PDF"));
  EXPECT_TRUE(messages.empty());
  ExpectScreenUntouched();
  if (!Have("pdftoppm")) GTEST_SKIP() << "no pdftoppm here";
  // The page as a reader shows it, kept beside the test for a person to look at.
  ASSERT_EQ(0, std::system(("pdftoppm -r 40 -png -singlefile '" + pdf + "' graph_printed_page").c_str()));
  CBitmap page;
  ASSERT_TRUE(page.LoadFile("graph_printed_page.png"));
  const CSize size = SizeOf(page);
  EXPECT_NEAR(size.cx, 210 * 40 / 25.4, 3);  // A4 portrait
  EXPECT_GT(Count(page, Greenish), 200) << "the curve in the line colour";
  EXPECT_EQ(0, Count(page, MarkColoured)) << "no time mark on paper";
  // The title across the top of the page, the curve below it, nothing of a window frame.
  int titleInk = 0;
  for (int y = 0; y < size.cy / 12; ++y)
    for (int x = size.cx / 4; x < 3 * size.cx / 4; ++x) titleInk += Dark(page.GetPixel(x, y));
  EXPECT_GT(titleInk, 20);

  // In black and white: no colour on paper, and the screen's colours and picture come back.
  graph.SetPrintBW(1);
  const std::string bw = dir + "/bw.pdf";
  PrintToPdf(bw, [&] { graph.Print(); });
  ASSERT_EQ(0, std::system(("pdftoppm -r 40 -png -singlefile '" + bw + "' graph_printed_bw").c_str()));
  CBitmap bwPage;
  ASSERT_TRUE(bwPage.LoadFile("graph_printed_bw.png"));
  EXPECT_EQ(0, Count(bwPage, Greenish));
  EXPECT_GT(Count(bwPage, Dark), 500) << "the curve in black";
  EXPECT_EQ(kLine, graph.GetLineColour());
  EXPECT_EQ(kMark, graph.GetTimeMarkColour());
  EXPECT_EQ((COLORREF)0xC0C0C0, graph.GetBackColour());
  ExpectScreenUntouched();
}

TEST_F(GraphExport, PrintingWithoutDataOpensNoDialog) {
  graph.SetHasData(0);
  bool asked = false;
  AfxSetPrintDialogHook([&](const AFX_PRINTDLG_REQUEST&) {
    asked = true;
    AFX_PRINTDLG_ANSWER a;
    a.result = IDCANCEL;
    return a;
  });
  graph.Print();
  AfxSetPrintDialogHook(nullptr);
  EXPECT_FALSE(asked);
  CString error;
  EXPECT_FALSE(graph.SaveMetafile((dir + "/none.emf").c_str(), error));
  EXPECT_FALSE(fs::exists(dir + "/none.emf"));
  EXPECT_FALSE(graph.CopyToClipboard());
}

TEST_F(GraphExport, AJpegIsReadBackByOtherProgramsAsTheScreensDrawingAtItsSize) {
  const std::string jpg = dir + "/graph.jpg";
  CString error;
  ASSERT_TRUE(graph.SaveJpeg(jpg.c_str(), 350, 200, 100, error)) << (LPCTSTR)error;
  ExpectScreenUntouched();
  if (Have("file")) {
    const std::string kind = Output("file -b '" + jpg + "'");
    EXPECT_NE(std::string::npos, kind.find("JPEG image data")) << kind;
    EXPECT_NE(std::string::npos, kind.find("350x200")) << kind;
    EXPECT_NE(std::string::npos, kind.find("baseline")) << kind;
  }
  if (!Have("gdk-pixbuf-thumbnailer")) GTEST_SKIP() << "no gdk-pixbuf here";
  ASSERT_EQ(0, std::system(("gdk-pixbuf-thumbnailer -s 350 '" + jpg + "' graph_jpeg_350x200.png").c_str()));
  CBitmap read, want;
  ASSERT_TRUE(read.LoadFile("graph_jpeg_350x200.png"));
  ASSERT_EQ(CSize(350, 200), SizeOf(read));
  Expected(350, 200, want);
  EXPECT_LT(MeanDifference(read, want), 4.0) << "the picture is not the screen's drawing";
  EXPECT_GT(Count(read, MarkColoured), 10) << "the time mark, as on screen";
}

TEST_F(GraphExport, SmallAndLargeJpegsKeepTheirSizeAndTheSliderGivesTheQuality) {
  if (!Have("file")) GTEST_SKIP() << "no file here";
  struct Case {
    int w, h, quality, quant;  // the quantisation value every entry of the first table has
  } cases[] = {{100, 100, 100, 1}, {2500, 1500, 0, 255}, {350, 200, 100, 1}};
  for (const Case& c : cases) {
    const std::string jpg = dir + "/" + std::to_string(c.w) + ".jpg";
    CString error;
    ASSERT_TRUE(graph.SaveJpeg(jpg.c_str(), c.w, c.h, c.quality, error)) << (LPCTSTR)error;
    const std::string kind = Output("file -b '" + jpg + "'");
    EXPECT_NE(std::string::npos, kind.find(std::to_string(c.w) + "x" + std::to_string(c.h))) << kind;
    const std::vector<int> q = FirstQuantTable(ReadFile(jpg));
    ASSERT_EQ(64u, q.size());
    for (int v : q) EXPECT_EQ(c.quant, v) << c.quality;
  }
  ExpectScreenUntouched();
}

TEST_F(GraphExport, AMetafileIsReadBackByInkscapeAsTheScreensDrawing) {
  const std::string emf = dir + "/graph.emf";
  CString error;
  ASSERT_TRUE(graph.SaveMetafile(emf.c_str(), error)) << (LPCTSTR)error;
  ExpectScreenUntouched();
  HENHMETAFILE h = GetEnhMetaFile(emf.c_str());
  ASSERT_NE(nullptr, h);
  ENHMETAHEADER head{};
  ASSERT_GT(GetEnhMetaFileHeader(h, sizeof head, &head), 0u);
  EXPECT_EQ((DWORD)ENHMETA_SIGNATURE, head.dSignature);
  EXPECT_NEAR(head.rclBounds.right - head.rclBounds.left, 599, 2);
  EXPECT_NEAR(head.rclBounds.bottom - head.rclBounds.top, 399, 2);
  DeleteEnhMetaFile(h);
  const std::string bytes = ReadFile(emf);
  std::string desc;
  for (char c : std::string("Quillane Neapwise")) desc += std::string(1, c) + '\0';
  EXPECT_NE(std::string::npos, bytes.find(desc)) << "the description";
  if (!Have("inkscape")) GTEST_SKIP() << "no inkscape here";
  const std::string home = dir + "/home";
  const std::string cmd = "HOME='" + home +
                          "' inkscape --export-type=png --export-dpi=96 --export-background=white "
                          "--export-background-opacity=1 --export-filename=graph_emf_inkscape.png '" +
                          emf + "' >/dev/null 2>&1";
  ASSERT_EQ(0, std::system(cmd.c_str()));
  CBitmap read, want;
  ASSERT_TRUE(read.LoadFile("graph_emf_inkscape.png"));
  const CSize size = SizeOf(read);
  EXPECT_NEAR(size.cx, 600, 3);
  EXPECT_NEAR(size.cy, 400, 3);
  Expected(600, 400, want);
  // The curve and the mark where the screen's drawing has them (text may be set differently).
  const int greenWant = Count(want, Greenish), greenRead = Count(read, Greenish);
  EXPECT_GT(greenWant, 500);
  EXPECT_NEAR(greenRead, greenWant, greenWant / 4);
  int same = 0, curve = 0;
  for (int y = 0; y < 400 && y < size.cy; ++y)
    for (int x = 0; x < 600 && x < size.cx; ++x)
      if (Greenish(want.GetPixel(x, y))) {
        ++curve;
        bool near = false;
        for (int dy = -2; dy <= 2 && !near; ++dy)
          for (int dx = -2; dx <= 2 && !near; ++dx) near = Greenish(read.GetPixel(x + dx, y + dy));
        same += near;
      }
  EXPECT_GT(same, curve * 9 / 10);
  EXPECT_GT(Count(read, MarkColoured), 10) << "the time mark";
}

TEST_F(GraphExport, CopyPutsTheMetafileAndAPictureOnTheClipboard) {
  AfxEmptyClipboard();
  ASSERT_TRUE(graph.CopyToClipboard());
  ExpectScreenUntouched();
  std::vector<BYTE> emf;
  ASSERT_TRUE(AfxGetClipboardEmf(emf));
  HENHMETAFILE h = SetEnhMetaFileBits((UINT)emf.size(), emf.data());
  ASSERT_NE(nullptr, h);
  ENHMETAHEADER head{};
  GetEnhMetaFileHeader(h, sizeof head, &head);
  EXPECT_NEAR(head.rclBounds.right - head.rclBounds.left, 599, 2);
  DeleteEnhMetaFile(h);
  CBitmap image;
  ASSERT_TRUE(AfxGetClipboardImage(&image));
  EXPECT_EQ(CSize(600, 400), SizeOf(image));
  EXPECT_GT(Count(image, Greenish), 500);
  AfxEmptyClipboard();
}

TEST_F(GraphExport, TheExtensionIsReadInAnyCaseAndANameWithoutOneGetsTheFilters) {
  struct Case {
    const char* name;
    int filter;
    const char* saved;  // the file written, null for none
    bool jpeg;
  } cases[] = {
      {"a.Jpg", 2, "a.Jpg", true},  {"b.JPEG", 2, "b.JPEG", true}, {"c.Emf", 1, "c.Emf", false},
      {"d.EMF", 1, "d.EMF", false}, {"e", 1, "e.jpg", true},       {"f", 2, "f.emf", false},
      {"g.png", 1, nullptr, false},
  };
  for (const Case& c : cases) {
    const std::string path = dir + "/" + c.name;
    CString error, saved;
    std::unique_ptr<JpegDialogAnswer> answer;
    if (c.jpeg) answer = std::make_unique<JpegDialogAnswer>(120, 110, 5);
    const BOOL ok = graph.SaveToFile(path.c_str(), c.filter, error, &saved);
    if (answer) {
      EXPECT_TRUE(answer->Wait());
    }
    if (!c.saved) {
      EXPECT_FALSE(ok) << c.name;
      EXPECT_NE(-1, error.Find("g.png")) << (LPCTSTR)error;
      EXPECT_NE(-1, error.Find(".jpg")) << (LPCTSTR)error;
      EXPECT_FALSE(fs::exists(path));
      continue;
    }
    EXPECT_TRUE(ok) << c.name << ": " << (LPCTSTR)error;
    EXPECT_EQ(dir + "/" + c.saved, std::string((LPCTSTR)saved));
    const std::string bytes = ReadFile(dir + "/" + c.saved);
    ASSERT_GT(bytes.size(), 100u) << c.name;
    const std::string magic = c.jpeg ? std::string("\xFF\xD8\xFF") : std::string("\x01\0\0\0", 4);
    EXPECT_EQ(magic, bytes.substr(0, magic.size())) << c.name;
  }
  ExpectScreenUntouched();
}

TEST_F(GraphExport, SaveAsAsksForTheNameThenTheJpegSizeWhoseRangesAreKept) {
  AFX_FILEDLG_REQUEST asked;
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST& r) {
    asked = r;
    return AFX_FILEDLG_ANSWER{IDOK, dir + "/tide", 1};
  });
  {
    JpegDialogAnswer answer(100, 100, 0);
    graph.SaveAs();
    ASSERT_TRUE(answer.Wait());
    EXPECT_TRUE(answer.shown);
    EXPECT_EQ(CString(" Jpeg Export"), answer.caption);
    EXPECT_EQ(350, answer.width);
    EXPECT_EQ(200, answer.height);
    EXPECT_EQ(10, answer.slider0);
  }
  EXPECT_FALSE(asked.bOpen);
  EXPECT_EQ("EMF", asked.defExt);
  EXPECT_EQ("Neapwise Graph", asked.fileName);
  ASSERT_EQ(2u, asked.filters.size());
  EXPECT_EQ("JPEG (*.jpg)", asked.filters[0].first);
  EXPECT_EQ("Enhanced Metafile (*.emf)", asked.filters[1].first);
  EXPECT_TRUE(asked.flags & OFN_OVERWRITEPROMPT);
  const std::vector<int> q = FirstQuantTable(ReadFile(dir + "/tide.jpg"));
  ASSERT_EQ(64u, q.size()) << "no JPEG written";
  EXPECT_EQ(255, q[0]) << "slider at 0 is quality 0";
  EXPECT_TRUE(messages.empty());

  // A width beyond 2500 keeps the dialog open with the range message; Cancel saves nothing.
  fs::remove(dir + "/tide.jpg");
  {
    JpegDialogAnswer answer(3000, 200, 10);
    graph.SaveAs();
    ASSERT_TRUE(answer.Wait());
    EXPECT_TRUE(answer.stayedOpen);
  }
  ASSERT_EQ(1u, messages.size());
  EXPECT_NE(std::string::npos, messages[0].find("2500")) << messages[0];
  EXPECT_FALSE(fs::exists(dir + "/tide.jpg"));

  // A name of another kind is refused with a message that says why.
  AfxSetFileDialogHook([&](const AFX_FILEDLG_REQUEST&) { return AFX_FILEDLG_ANSWER{IDOK, dir + "/tide.png", 1}; });
  graph.SaveAs();
  ASSERT_EQ(2u, messages.size());
  EXPECT_NE(std::string::npos, messages[1].find("tide.png")) << messages[1];
  EXPECT_NE(std::string::npos, messages[1].find(".emf")) << messages[1];
  EXPECT_FALSE(fs::exists(dir + "/tide.png"));
}

TEST_F(GraphExport, AFailedJpegIsReportedLeavesNoFileAndTheProgramGoesOn) {
  // A folder that is not there: the message names the file, through the Save As command too.
  const std::string missing = dir + "/no/such/graph.jpg";
  CString error;
  EXPECT_FALSE(graph.SaveJpeg(missing.c_str(), 350, 200, 80, error));
  EXPECT_NE(-1, error.Find("Cannot open")) << (LPCTSTR)error;
  EXPECT_FALSE(fs::exists(missing));

  // A picture the library itself refuses (wider than JPEG allows): its fatal error comes back
  // as a message instead of ending the process, and an existing file is left whole.
  const std::string kept = dir + "/kept.jpg";
  {
    std::FILE* f = std::fopen(kept.c_str(), "wb");
    std::fputs("old picture", f);
    std::fclose(f);
  }
  const int wide = 65501;
  HGLOBAL dib = MakeDib(wide, 1, 24, {}, std::vector<BYTE>((size_t)((wide * 3 + 3) & ~3), 0x80));
  CString message;
  EXPECT_EQ(0, DIBToJpegFile(dib, 75, kept.c_str(), &message));
  EXPECT_NE(-1, message.Find("65500")) << (LPCTSTR)message;
  EXPECT_EQ("old picture", ReadFile(kept));
  ::GlobalFree(dib);

  // Rows that can't be read after compression has started: abandoned, no file.
  HGLOBAL odd = MakeDib(8, 8, 2, std::vector<RGBQUAD>(4), std::vector<BYTE>(32, 0));
  EXPECT_EQ(0, DIBToJpegFile(odd, 75, (dir + "/odd.jpg").c_str(), &message));
  EXPECT_EQ(CString("Invalid bitmap bit count"), message);
  EXPECT_FALSE(fs::exists(dir + "/odd.jpg"));
  ::GlobalFree(odd);

  EXPECT_EQ(0, DIBToJpegFile(nullptr, 75, kept.c_str(), &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  HGLOBAL ok = MakeDib(4, 4, 24, {}, std::vector<BYTE>(48, 0));
  EXPECT_EQ(0, DIBToJpegFile(ok, 101, kept.c_str(), &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  EXPECT_EQ(0, DIBToJpegFile(ok, 50, "", &message));
  EXPECT_EQ(0, DIBToJpegFile(ok, 50, kept.c_str(), nullptr));
  EXPECT_EQ("old picture", ReadFile(kept));
  EXPECT_EQ(1, DIBToJpegFile(ok, 50, kept.c_str(), &message));
  EXPECT_TRUE(message.IsEmpty());
  ::GlobalFree(ok);

  // And the program still saves afterwards.
  EXPECT_TRUE(graph.SaveJpeg((dir + "/after.jpg").c_str(), 200, 100, 60, error)) << (LPCTSTR)error;
}

TEST(PictureRows, EachBitCountGivesRedGreenBlueRowsTopFirst) {
  AfxWinInit(0, nullptr);
  const std::vector<RGBQUAD> two = {{0, 0, 0, 0}, {10, 20, 30, 0}};
  std::vector<RGBQUAD> sixteen(16, RGBQUAD{0, 0, 0, 0}), many(256, RGBQUAD{0, 0, 0, 0});
  sixteen[0xA] = {1, 2, 3, 0};
  sixteen[0x5] = {4, 5, 6, 0};
  many[200] = {7, 8, 9, 0};
  many[3] = {11, 12, 13, 0};
  // Two pixels wide, two rows: the DIB's first row is the picture's bottom row.
  struct Case {
    int bits;
    std::vector<RGBQUAD> table;
    std::vector<BYTE> rows;
    BYTE top[6], bottom[6];
  } cases[] = {
      {1, two, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, {30, 20, 10, 0, 0, 0}, {0, 0, 0, 30, 20, 10}},
      {4, sixteen, {0x5A, 0, 0, 0, 0xA5, 0, 0, 0}, {3, 2, 1, 6, 5, 4}, {6, 5, 4, 3, 2, 1}},
      {8, many, {3, 200, 0, 0, 200, 3, 0, 0}, {9, 8, 7, 13, 12, 11}, {13, 12, 11, 9, 8, 7}},
      // 5-5-5: blue 1, green 30, red 31 / all zero and all 31.
      {16, {}, {0x00, 0x00, 0xFF, 0x7F, 0xC1, 0x7F, 0x00, 0x00}, {255, 248, 16, 0, 0, 0}, {0, 0, 0, 255, 255, 255}},
      {24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}, {9, 8, 7, 12, 11, 10}, {3, 2, 1, 6, 5, 4}},
      {32, {}, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99}, {9, 8, 7, 12, 11, 10}, {3, 2, 1, 6, 5, 4}},
  };
  for (const Case& c : cases) {
    HGLOBAL dib = MakeDib(2, 2, c.bits, c.table, c.rows);
    BYTE r0[6] = {}, r1[6] = {};
    BYTE* rows[2] = {r0, r1};
    CString message;
    ASSERT_EQ(1, DIBToRGBRows(dib, 6, rows, &message)) << c.bits << ": " << (LPCTSTR)message;
    EXPECT_EQ(0, std::memcmp(r0, c.top, 6)) << c.bits << " bits, top row";
    EXPECT_EQ(0, std::memcmp(r1, c.bottom, 6)) << c.bits << " bits, bottom row";
    ::GlobalFree(dib);
  }
  // The 5-bit expansion table: 0, 16, 24 ... 248, 255.
  for (unsigned v = 0; v < 32; ++v) {
    const unsigned word = v << 10 | v << 5 | v;
    HGLOBAL dib = MakeDib(1, 1, 16, {}, {(BYTE)(word & 0xFF), (BYTE)(word >> 8), 0, 0});
    BYTE px[3] = {};
    BYTE* rows[1] = {px};
    CString message;
    ASSERT_EQ(1, DIBToRGBRows(dib, 3, rows, &message));
    const int want = v == 0 ? 0 : v == 31 ? 255 : (int)(8 * v + 8);
    EXPECT_EQ(want, px[0]) << v;
    EXPECT_EQ(want, px[2]) << v;
    ::GlobalFree(dib);
  }
  // Refusals.
  BYTE px[6];
  BYTE* rows[2] = {px, px};
  CString message;
  EXPECT_EQ(0, DIBToRGBRows(nullptr, 6, rows, &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  HGLOBAL dib = MakeDib(2, 2, 24, {}, std::vector<BYTE>(16, 0));
  EXPECT_EQ(0, DIBToRGBRows(dib, 0, rows, &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  EXPECT_EQ(0, DIBToRGBRows(dib, 6, rows, nullptr));
  ::GlobalFree(dib);
  HGLOBAL two2 = MakeDib(2, 2, 2, std::vector<RGBQUAD>(4), std::vector<BYTE>(8, 0));
  EXPECT_EQ(0, DIBToRGBRows(two2, 6, rows, &message));
  EXPECT_EQ(CString("Invalid bitmap bit count"), message);
  ::GlobalFree(two2);
  // A header promising more rows than the block holds.
  HGLOBAL shortDib = MakeDib(100, 100, 24, {}, std::vector<BYTE>(16, 0));
  EXPECT_EQ(0, DIBToRGBRows(shortDib, 300, rows, &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  ::GlobalFree(shortDib);
}

TEST(PictureRows, ABitmapBecomesAPackedDibWithItsRowsBottomFirst) {
  AfxWinInit(0, nullptr);
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 3, 2));
  {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 3, 1, RGB(200, 10, 20));  // top row
    dc.FillSolidRect(0, 1, 3, 1, RGB(5, 6, 7));
    dc.SelectObject(old);
  }
  EXPECT_EQ(nullptr, DDBToDIB(bmp, BI_BITFIELDS, nullptr));
  HGLOBAL dib = DDBToDIB(bmp, BI_RGB, nullptr);
  ASSERT_NE(nullptr, dib);
  const auto* p = static_cast<const BYTE*>(::GlobalLock(dib));
  BITMAPINFOHEADER h;
  std::memcpy(&h, p, sizeof h);
  EXPECT_EQ(40u, h.biSize);
  EXPECT_EQ(3, h.biWidth);
  EXPECT_EQ(2, h.biHeight);
  EXPECT_EQ(1, h.biPlanes);
  EXPECT_EQ(32, h.biBitCount);
  EXPECT_EQ(24u, h.biSizeImage);
  const BYTE* bottom = p + 40;
  EXPECT_EQ(7, bottom[0]);
  EXPECT_EQ(5, bottom[2]);
  EXPECT_EQ(20, bottom[12]);  // blue of the top row's first pixel
  EXPECT_EQ(200, bottom[14]);
  ::GlobalUnlock(dib);
  BYTE r0[9], r1[9];
  BYTE* rows[2] = {r0, r1};
  CString message;
  ASSERT_EQ(1, DIBToRGBRows(dib, 9, rows, &message));
  EXPECT_EQ(200, r0[0]);
  EXPECT_EQ(10, r0[1]);
  EXPECT_EQ(20, r0[2]);
  EXPECT_EQ(5, r1[6]);
  ::GlobalFree(dib);
}

TEST_F(GraphExport, AJpegIsTheSameFileWhicheverWayItsRowsReachTheCompressor) {
  // The screen's picture of the graph: straight from the bitmap, from its 32-bit DIB, from a
  // 24-bit DIB of the same pixels, and from converted red-green-blue rows, byte for byte.
  const CSize s = SizeOf(screen);
  HGLOBAL dib = DDBToDIB(screen, BI_RGB, nullptr);
  ASSERT_NE(nullptr, dib);
  std::vector<BYTE> rgb((size_t)s.cx * 3 * (size_t)s.cy);
  std::vector<BYTE*> rows((size_t)s.cy);
  for (int y = 0; y < s.cy; ++y) rows[(size_t)y] = rgb.data() + (size_t)y * (size_t)s.cx * 3;
  CString message;
  ASSERT_EQ(1, DIBToRGBRows(dib, s.cx * 3, rows.data(), &message));
  const int stride24 = (s.cx * 3 + 3) & ~3;
  std::vector<BYTE> bottomUp24((size_t)stride24 * (size_t)s.cy, 0);
  for (int y = 0; y < s.cy; ++y)
    for (int x = 0; x < s.cx; ++x)
      for (int c = 0; c < 3; ++c)
        bottomUp24[(size_t)(s.cy - 1 - y) * (size_t)stride24 + (size_t)x * 3 + (size_t)c] =
            rows[(size_t)y][x * 3 + 2 - c];
  HGLOBAL dib24 = MakeDib(s.cx, s.cy, 24, {}, bottomUp24);
  for (const UINT quality : {100u, 75u}) {
    const std::string rgbFile = dir + "/rgb.jpg", bitmapFile = dir + "/bitmap.jpg", dib32File = dir + "/dib32.jpg",
                      dib24File = dir + "/dib24.jpg";
    ASSERT_TRUE(AfxWriteJpegFile(rgbFile.c_str(), s.cx, s.cy, rgb.data(), s.cx * 3, (int)quality));
    ASSERT_EQ(1, BitmapToJpegFile(screen, quality, bitmapFile.c_str(), &message)) << (LPCTSTR)message;
    ASSERT_EQ(1, DIBToJpegFile(dib, quality, dib32File.c_str(), &message)) << (LPCTSTR)message;
    ASSERT_EQ(1, DIBToJpegFile(dib24, quality, dib24File.c_str(), &message)) << (LPCTSTR)message;
    const std::string expected = ReadFile(rgbFile);
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(expected, ReadFile(bitmapFile)) << quality;
    EXPECT_EQ(expected, ReadFile(dib32File)) << quality;
    EXPECT_EQ(expected, ReadFile(dib24File)) << quality;
  }
  ::GlobalFree(dib);
  ::GlobalFree(dib24);

  // A bitmap that is none is refused with a message, and nothing is written.
  CBitmap none;
  EXPECT_EQ(0, BitmapToJpegFile(none, 75, (dir + "/none.jpg").c_str(), &message));
  EXPECT_EQ(CString("Invalid input data"), message);
  EXPECT_FALSE(fs::exists(dir + "/none.jpg"));
}

}  // namespace
