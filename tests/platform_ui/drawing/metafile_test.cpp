// Enhanced metafiles drawn with the ordinary CDC calls: every record read back and checked,
// the file rendered by Inkscape and its pixels compared with the same drawing on a bitmap,
// the frame, memory pictures, copies and refused paths.
#include "platform/ui/AfxWin.h"
#include "platform/ui/MetaFileDC.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const COLORREF kRed = RGB(220, 0, 0), kBlue = RGB(0, 0, 200), kGreen = RGB(0, 160, 0), kYellow = RGB(230, 200, 0);

// A picture with what the views draw: shapes with pens and brushes, text, rotated text, a
// clipped fill and a solid fill.
void drawScene(CDC* dc) {
  dc->FillSolidRect(0, 0, 400, 300, RGB(255, 255, 255));
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  CBrush red(kRed);
  CPen* op = dc->SelectObject(&black);
  CBrush* ob = dc->SelectObject(&red);
  dc->Rectangle(20, 20, 120, 90);
  CBrush blue(kBlue);
  dc->SelectObject(&blue);
  dc->Ellipse(150, 20, 250, 100);
  CPen green(PS_SOLID, 3, kGreen);
  dc->SelectObject(&green);
  POINT line[] = {{20, 130}, {120, 110}, {220, 130}, {320, 110}};
  dc->Polyline(line, 4);
  CBrush yellow(kYellow);
  dc->SelectObject(&yellow);
  dc->SelectStockObject(NULL_PEN);
  POINT tri[] = {{280, 20}, {380, 20}, {330, 95}};
  dc->Polygon(tri, 3);
  CPen dash(PS_DASH, 1, RGB(0, 0, 0));
  dc->SelectObject(&dash);
  dc->MoveTo(20, 280);
  dc->LineTo(380, 280);
  dc->SelectObject(op);
  dc->SelectObject(ob);

  CFont font;
  LOGFONT lf{};
  lf.lfHeight = -22;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "Arial");
  font.CreateFontIndirect(&lf);
  CFont* of = dc->SelectObject(&font);
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(RGB(0, 0, 0));
  dc->TextOut(20, 150, "Tide 12:34");
  CFont up;
  lf.lfEscapement = lf.lfOrientation = 900;
  up.CreateFontIndirect(&lf);
  dc->SelectObject(&up);
  dc->TextOut(360, 270, "Height");
  dc->SelectObject(of);

  // Only the left half of this fill shows.
  int saved = dc->SaveDC();
  dc->IntersectClipRect(20, 200, 120, 260);
  dc->FillSolidRect(20, 200, 200, 60, kBlue);
  dc->RestoreDC(saved);
  dc->FillSolidRect(240, 200, 60, 60, kGreen);
}

struct Record {
  DWORD type;
  DWORD size;
  size_t at;
};

DWORD u32(const std::string& b, size_t at) {
  DWORD v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}
LONG i32(const std::string& b, size_t at) { return (LONG)u32(b, at); }

std::string utf16(const std::string& b, size_t at, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    uint16_t c;
    std::memcpy(&c, b.data() + at + 2 * i, 2);
    if (!c) break;
    s.push_back(c < 128 ? (char)c : '?');
  }
  return s;
}

// Reads every record: sizes, order, the header's counts; fails the test on any fault.
std::vector<Record> parse(const std::string& b) {
  std::vector<Record> out;
  EXPECT_GE(b.size(), 108u);
  if (b.size() < 108) return out;
  EXPECT_EQ(u32(b, 0), (DWORD)EMR_HEADER);
  EXPECT_EQ(u32(b, 40), (DWORD)ENHMETA_SIGNATURE);
  EXPECT_EQ(u32(b, 48), (DWORD)b.size());
  size_t at = 0;
  while (at + 8 <= b.size()) {
    Record r{u32(b, at), u32(b, at + 4), at};
    EXPECT_GE(r.size, 8u) << "record " << out.size();
    EXPECT_EQ(r.size % 4, 0u) << "record " << out.size();
    EXPECT_LE(at + r.size, b.size());
    if (r.size < 8 || at + r.size > b.size()) break;
    out.push_back(r);
    at += r.size;
  }
  EXPECT_EQ(at, b.size());
  EXPECT_EQ(u32(b, 52), (DWORD)out.size());
  EXPECT_FALSE(out.empty());
  if (!out.empty()) {
    EXPECT_EQ(out.back().type, (DWORD)EMR_EOF);
  }
  return out;
}

TEST(MetaFile, EveryRecordReadsBackWithItsObjectsTextAndClip) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  std::string path = dir.file("graph.emf");
  CMetaFileDC dc;
  ASSERT_TRUE(dc.CreateEnhanced(nullptr, path.c_str(), nullptr, "Quillane Neapwise"));
  drawScene(&dc);
  CDC* asView = &dc;
  EXPECT_EQ(asView->GetDeviceCaps(LOGPIXELSY), 96);
  EXPECT_EQ(asView->GetDeviceCaps(HORZRES) * 254, asView->GetDeviceCaps(HORZSIZE) * 960);
  EXPECT_FALSE(asView->IsPrinting());
  // Text measures as on screen.
  CSize ext = dc.GetTextExtent("Tide");
  EXPECT_GT(ext.cx, 20);
  HENHMETAFILE h = dc.CloseEnhanced();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(dc.GetSafeHdc(), nullptr);
  std::string b = ReadAll(path);
  EXPECT_EQ(GetEnhMetaFileBits(h, 0, nullptr), (UINT)b.size());
  ENHMETAHEADER hdr{};
  ASSERT_EQ(GetEnhMetaFileHeader(h, sizeof(hdr), &hdr), (UINT)sizeof(hdr));
  EXPECT_TRUE(DeleteEnhMetaFile(h));
  EXPECT_FALSE(DeleteEnhMetaFile(h));

  std::vector<Record> recs = parse(b);
  ASSERT_GT(recs.size(), 10u);
  EXPECT_EQ(utf16(b, hdr.offDescription, hdr.nDescription), "Quillane Neapwise");
  // Everything drawn lies in the bounds; the frame is the bounds in .01 mm at 96 dpi.
  EXPECT_EQ(hdr.rclBounds.left, 0);
  EXPECT_EQ(hdr.rclBounds.top, 0);
  EXPECT_EQ(hdr.rclBounds.right, 399);
  EXPECT_EQ(hdr.rclBounds.bottom, 299);
  EXPECT_NEAR(hdr.rclFrame.right, 400 * 2540 / 96, 1);
  EXPECT_NEAR(hdr.rclFrame.bottom, 300 * 2540 / 96, 1);
  EXPECT_EQ(hdr.szlDevice.cx * 254, hdr.szlMillimeters.cx * 960);  // 96 dpi

  std::map<DWORD, int> count;
  std::vector<std::string> texts;
  std::vector<LONG> escapements;
  std::vector<std::string> faces;
  std::set<DWORD> created;
  bool clipped = false, brushRed = false, penGreen3 = false, framed = false;
  for (const Record& r : recs) {
    count[r.type]++;
    switch (r.type) {
      case EMR_CREATEPEN:
        EXPECT_LT(u32(b, r.at + 8), hdr.nHandles);
        created.insert(u32(b, r.at + 8));
        if (u32(b, r.at + 12) == PS_SOLID && i32(b, r.at + 16) == 3 && u32(b, r.at + 24) == kGreen) penGreen3 = true;
        break;
      case EMR_CREATEBRUSHINDIRECT:
        EXPECT_LT(u32(b, r.at + 8), hdr.nHandles);
        created.insert(u32(b, r.at + 8));
        if (u32(b, r.at + 12) == BS_SOLID && u32(b, r.at + 16) == kRed) brushRed = true;
        break;
      case EMR_EXTCREATEFONTINDIRECTW:
        EXPECT_EQ(r.size, 332u);
        created.insert(u32(b, r.at + 8));
        EXPECT_EQ(i32(b, r.at + 12), -22);
        EXPECT_EQ(i32(b, r.at + 28), FW_BOLD);
        escapements.push_back(i32(b, r.at + 20));
        faces.push_back(utf16(b, r.at + 12 + 28, 32));
        break;
      case EMR_SELECTOBJECT:
      case EMR_DELETEOBJECT: {
        DWORD ho = u32(b, r.at + 8);
        if (!(ho & 0x80000000)) {
          EXPECT_TRUE(created.count(ho)) << "handle " << ho << " used before it was made";
          EXPECT_LT(ho, hdr.nHandles);
        }
        if (r.type == EMR_DELETEOBJECT) created.erase(ho);
        break;
      }
      case EMR_EXTTEXTOUTW: {
        DWORD n = u32(b, r.at + 44), off = u32(b, r.at + 48), offDx = u32(b, r.at + 72);
        EXPECT_LE(off + 2 * n, r.size);
        EXPECT_LE(offDx + 4 * n, r.size);
        texts.push_back(utf16(b, r.at + off, n));
        LONG sum = 0;
        for (DWORD i = 0; i < n; ++i) sum += i32(b, r.at + offDx + 4 * i);
        EXPECT_GT(sum, 0);
        break;
      }
      case EMR_EXTSELECTCLIPRGN:
        EXPECT_EQ(u32(b, r.at + 8), 0u);   // a reset before every clip
        EXPECT_EQ(u32(b, r.at + 12), 5u);  // RGN_COPY
        break;
      case EMR_INTERSECTCLIPRECT:
        // The clip (20, 200)-(120, 260).
        EXPECT_EQ(i32(b, r.at + 8), 20);
        EXPECT_EQ(i32(b, r.at + 12), 200);
        EXPECT_EQ(i32(b, r.at + 16), 120);
        EXPECT_EQ(i32(b, r.at + 20), 260);
        clipped = true;
        break;
      case EMR_RECTANGLE:
        // The framed rectangle is one record, drawn with the pen and the brush selected.
        if (i32(b, r.at + 8) == 20 && i32(b, r.at + 12) == 20) {
          EXPECT_EQ(i32(b, r.at + 16), 120);
          EXPECT_EQ(i32(b, r.at + 20), 90);
          framed = true;
        }
        [[fallthrough]];
      case EMR_ELLIPSE: {
        // Within the bounds.
        EXPECT_GE(i32(b, r.at + 8), 0);
        EXPECT_LE(i32(b, r.at + 16), 400);
        break;
      }
    }
  }
  EXPECT_TRUE(created.empty()) << "objects left undeleted";
  EXPECT_EQ(count[EMR_RECTANGLE], 4);  // background, framed rectangle, clipped fill, solid fill
  EXPECT_EQ(count[EMR_POLYGON16], 1);  // the triangle, filled and outlined at once
  EXPECT_EQ(count[EMR_ELLIPSE], 1);
  EXPECT_GE(count[EMR_POLYGON16], 1);
  EXPECT_GE(count[EMR_POLYLINE16], 2);
  EXPECT_TRUE(penGreen3);
  EXPECT_TRUE(brushRed);
  EXPECT_TRUE(clipped);
  EXPECT_TRUE(framed);
  EXPECT_EQ(texts, (std::vector<std::string>{"Tide 12:34", "Height"}));
  EXPECT_EQ(escapements, (std::vector<LONG>{0, 900}));
  for (const std::string& f : faces) EXPECT_EQ(f, "Arial");
}

// Renders an EMF with Inkscape; a null image when it cannot.
QImage inkscapePng(const std::string& emf, const TestDir& dir) {
  std::string png = dir.file("render.png");
  std::string home = dir.file("home");
  std::string cmd = "HOME='" + home +
                    "' inkscape --export-type=png --export-dpi=96 --export-background=white "
                    "--export-background-opacity=1 --export-filename='" +
                    png + "' '" + emf + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return QImage();
  return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb p, COLORREF c, int tol = 40) {
  return std::abs(qRed(p) - (int)GetRValue(c)) <= tol && std::abs(qGreen(p) - (int)GetGValue(c)) <= tol &&
         std::abs(qBlue(p) - (int)GetBValue(c)) <= tol;
}

bool nearRef(COLORREF p, COLORREF c) { return near(qRgb(GetRValue(p), GetGValue(p), GetBValue(p)), c); }

// Records the scene into an enhanced metafile at path, as the program saves a picture.
::testing::AssertionResult WriteSceneFile(const std::string& path) {
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, path.c_str(), nullptr, "Quillane Neapwise"))
    return ::testing::AssertionFailure() << "the file " << path << " could not be started";
  drawScene(&dc);
  HENHMETAFILE h = dc.CloseEnhanced();
  if (!h) return ::testing::AssertionFailure() << "the file " << path << " could not be closed";
  DeleteEnhMetaFile(h);
  return ::testing::AssertionSuccess();
}

int darkIn(const QImage& img, QRect r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.valid(x, y) && qGray(img.pixel(x, y)) < 100) ++n;
  return n;
}

TEST(MetaFile, InkscapeRendersWhatTheScreenShows) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  std::string path = dir.file("scene.emf");
  ASSERT_TRUE(WriteSceneFile(path));

  // The same drawing on a bitmap, as on screen.
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(400, 300, 1, 32, nullptr);
  CBitmap* old = mem.SelectObject(&bmp);
  drawScene(&mem);
  mem.SelectObject(old);

  QImage img = inkscapePng(path, dir);
  if (const char* keep = std::getenv("NEAPWISE_UI_PICTURES")) {
    bmp.SavePng((std::string(keep) + "/emf_screen.png").c_str());
    img.save(QString::fromStdString(std::string(keep) + "/emf_inkscape.png"));
    std::system(("cp '" + path + "' '" + keep + "/scene.emf'").c_str());
  }
  ASSERT_FALSE(img.isNull()) << "inkscape could not render the file";
  EXPECT_NEAR(img.width(), 400, 2);
  EXPECT_NEAR(img.height(), 300, 2);
  struct Probe {
    int x, y;
    COLORREF want;
  } probes[] = {
      {70, 55, kRed},                  // rectangle
      {200, 60, kBlue},                // ellipse
      {330, 40, kYellow},              // triangle
      {70, 230, kBlue},                // the clipped fill, inside the clip
      {170, 230, RGB(255, 255, 255)},  // ... and outside it
      {270, 230, kGreen},              // solid fill
      {120, 110, kGreen},              // thick polyline vertex
      {10, 10, RGB(255, 255, 255)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_TRUE(nearRef(bmp.GetPixel(p.x, p.y), p.want));
    EXPECT_TRUE(near(img.pixel(p.x, p.y), p.want)) << std::hex << img.pixel(p.x, p.y);
  }
  // The rectangle's black frame, and text where the screen has it: across at the top left,
  // upwards at the bottom right.
  EXPECT_LT(qGray(img.pixel(20, 55)), 160);  // a one-pixel line, smoothed
  EXPECT_GT(darkIn(img, QRect(20, 150, 120, 25)), 40);
  EXPECT_GT(darkIn(img, QRect(360, 195, 28, 75)), 40);
  EXPECT_EQ(darkIn(img, QRect(150, 180, 150, 15)), 0);
}

TEST(MetaFile, FrameFromTheCallerMemoryPicturesCopiesAndPixels) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  CMetaFileDC dc;
  CRect frame(0, 0, 10583, 7937);  // 400 x 300 pixels in .01 mm
  ASSERT_TRUE(dc.CreateEnhanced(nullptr, nullptr, &frame, nullptr));
  drawScene(&dc);
  HENHMETAFILE h = dc.Close();
  ASSERT_NE(h, nullptr);
  ENHMETAHEADER hdr{};
  GetEnhMetaFileHeader(h, sizeof(hdr), &hdr);
  EXPECT_EQ(hdr.rclFrame.right, 10583);
  EXPECT_EQ(hdr.rclFrame.bottom, 7937);
  EXPECT_EQ(hdr.nDescription, 0u);

  UINT n = GetEnhMetaFileBits(h, 0, nullptr);
  std::vector<BYTE> bytes(n);
  EXPECT_EQ(GetEnhMetaFileBits(h, n - 1, bytes.data()), 0u);  // too small
  ASSERT_EQ(GetEnhMetaFileBits(h, n, bytes.data()), n);
  parse(std::string(bytes.begin(), bytes.end()));

  std::string copy = dir.file("copy.emf");
  HENHMETAFILE c = CopyEnhMetaFile(h, copy.c_str());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(ReadAll(copy), std::string(bytes.begin(), bytes.end()));
  HENHMETAFILE back = GetEnhMetaFile(copy.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetEnhMetaFileBits(back, 0, nullptr), n);

  CBitmap pic;
  ASSERT_TRUE(AfxEnhMetaFileToBitmap(h, &pic));
  EXPECT_EQ(pic.GetBitmapDimension(), CSize(400, 300));
  EXPECT_TRUE(nearRef(pic.GetPixel(70, 55), kRed));
  EXPECT_TRUE(nearRef(pic.GetPixel(170, 230), RGB(255, 255, 255)));
  EXPECT_TRUE(nearRef(pic.GetPixel(70, 230), kBlue));
  EXPECT_FALSE(AfxEnhMetaFileToBitmap(back, &pic));  // read from bytes: no drawing kept

  EXPECT_TRUE(DeleteEnhMetaFile(h));
  EXPECT_TRUE(DeleteEnhMetaFile(c));
  EXPECT_TRUE(DeleteEnhMetaFile(back));
}

// The graph draws into a memory bitmap and copies it to its target: on a metafile the copy
// is a picture record.
TEST(MetaFile, ABitmapCopiedInIsAPictureRecord) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(120, 80, 1, 32, nullptr);
  CBitmap* old = mem.SelectObject(&bmp);
  mem.FillSolidRect(0, 0, 120, 80, RGB(255, 255, 255));
  mem.FillSolidRect(20, 10, 40, 30, kRed);
  mem.FillSolidRect(60, 40, 40, 30, kBlue);

  std::string path = dir.file("copy.emf");
  CMetaFileDC dc;
  ASSERT_TRUE(dc.CreateEnhanced(nullptr, path.c_str(), nullptr, "Quillane Neapwise"));
  ASSERT_TRUE(dc.BitBlt(30, 20, 120, 80, &mem, 0, 0, SRCCOPY));
  mem.SelectObject(old);
  HENHMETAFILE h = dc.CloseEnhanced();
  ASSERT_NE(h, nullptr);
  DeleteEnhMetaFile(h);

  std::string b = ReadAll(path);
  int pictures = 0;
  for (const Record& r : parse(b)) {
    if (r.type != EMR_STRETCHDIBITS) continue;
    ++pictures;
    EXPECT_EQ(i32(b, r.at + 24), 30);   // xDest
    EXPECT_EQ(i32(b, r.at + 28), 20);   // yDest
    EXPECT_EQ(i32(b, r.at + 72), 120);  // cxDest
    EXPECT_EQ(i32(b, r.at + 76), 80);   // cyDest
    DWORD offBits = u32(b, r.at + 56), cbBits = u32(b, r.at + 60);
    EXPECT_EQ(cbBits, 120u * 3 * 80);
    EXPECT_LE(offBits + cbBits, r.size);
    // Bottom row first, blue-green-red: pixel (70, 50) of the bitmap is blue.
    size_t px = r.at + offBits + (size_t)(79 - 50) * 360 + 70 * 3;
    EXPECT_EQ((unsigned char)b[px], 200);
    EXPECT_EQ((unsigned char)b[px + 2], 0);
  }
  EXPECT_EQ(pictures, 1);
  QImage img = inkscapePng(path, dir);
  ASSERT_FALSE(img.isNull());
  // The page starts at the picture's corner, so the bitmap's points are the rendering's.
  EXPECT_EQ(img.size(), QSize(120, 80));
  EXPECT_TRUE(near(img.pixel(30, 15), kRed)) << std::hex << img.pixel(30, 15);
  EXPECT_TRUE(near(img.pixel(80, 60), kBlue)) << std::hex << img.pixel(80, 60);
  EXPECT_TRUE(near(img.pixel(10, 70), RGB(255, 255, 255)));
}

// Pictures made one after another, with other drawing between them, as Copy and Save As are
// used: each DC lets go of its device when it closes.
TEST(MetaFile, ManyInARowBesideOtherDrawing) {
  AfxWinInit(0, nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(50, 50, 1, 32, nullptr);
  for (int i = 0; i < 40; ++i) {
    auto dc = std::make_unique<CMetaFileDC>();
    ASSERT_TRUE(dc->CreateEnhanced(nullptr, nullptr, nullptr, nullptr));
    dc->FillSolidRect(0, 0, 10 + i, 10, kBlue);
    HENHMETAFILE h = dc->CloseEnhanced();
    ASSERT_NE(h, nullptr);
    if (i % 2) dc.reset();  // some DCs go at once, others stay until later
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap* old = mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 50, 50, kRed);
    mem.SelectObject(old);
    ENHMETAHEADER hdr{};
    GetEnhMetaFileHeader(h, sizeof(hdr), &hdr);
    EXPECT_EQ(hdr.rclBounds.right, 9 + i);
    DeleteEnhMetaFile(h);
  }
}

TEST(MetaFile, RefusedPathsAndBadBytes) {
  AfxWinInit(0, nullptr);
  TestDir dir;
  CMetaFileDC a;
  EXPECT_FALSE(a.CreateEnhanced(nullptr, dir.file("no/such/folder/x.emf").c_str(), nullptr, nullptr));
  CMetaFileDC b;
  std::string folder = dir.file("folder");
  std::filesystem::create_directories(folder);
  EXPECT_FALSE(b.CreateEnhanced(nullptr, folder.c_str(), nullptr, nullptr));
  EXPECT_EQ(b.CloseEnhanced(), nullptr);

  // An empty picture is still a valid file.
  CMetaFileDC e;
  ASSERT_TRUE(e.CreateEnhanced(nullptr, nullptr, nullptr, "x"));
  HENHMETAFILE h = e.CloseEnhanced();
  ASSERT_NE(h, nullptr);
  std::vector<BYTE> bytes(GetEnhMetaFileBits(h, 0, nullptr));
  GetEnhMetaFileBits(h, (UINT)bytes.size(), bytes.data());
  parse(std::string(bytes.begin(), bytes.end()));
  DeleteEnhMetaFile(h);

  const BYTE junk[200] = {1, 0, 0, 0, 200};
  EXPECT_EQ(SetEnhMetaFileBits(sizeof(junk), junk), nullptr);
  EXPECT_EQ(SetEnhMetaFileBits(0, nullptr), nullptr);
  WriteAll(dir.file("bad.emf"), "not a metafile");
  EXPECT_EQ(GetEnhMetaFile(dir.file("bad.emf").c_str()), nullptr);
  EXPECT_EQ(GetEnhMetaFileBits(nullptr, 0, nullptr), 0u);
}

}  // namespace

namespace {

// LibreOffice, the other tool users open pictures with, reads the same file: each shape in its
// colour, in the same order across and down, and the text.
TEST(MetaFile, LibreOfficeReadsTheSameDrawing) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "no LibreOffice here";
  AfxWinInit(0, nullptr);
  TestDir dir;
  std::string path = dir.file("scene.emf");
  ASSERT_TRUE(WriteSceneFile(path));
  std::string cmd = "HOME='" + dir.file("home") + "' soffice -env:UserInstallation=file://" + dir.file("profile") +
                    " --headless --convert-to png --outdir '" + dir.file("out") + "' '" + path + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  QImage img = QImage(QString::fromStdString(dir.file("out/scene.png"))).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(img.isNull()) << "LibreOffice could not convert the file";
  struct Blob {
    long n = 0, sx = 0, sy = 0;
    double x() const { return n ? (double)sx / n : -1; }
    double y() const { return n ? (double)sy / n : -1; }
  } red, yellow, green, dark;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QRgb p = img.pixel(x, y);
      Blob* b = near(p, kRed)      ? &red
                : near(p, kYellow) ? &yellow
                : near(p, kGreen)  ? &green
                : qGray(p) < 60    ? &dark
                                   : nullptr;
      if (b) ++b->n, b->sx += x, b->sy += y;
    }
  ASSERT_GT(red.n, 500);
  ASSERT_GT(yellow.n, 300);
  ASSERT_GT(green.n, 300);
  EXPECT_GT(dark.n, 200);  // the frames and the two texts
  EXPECT_LT(red.x(), yellow.x());
  EXPECT_NEAR(red.y(), yellow.y(), 30);
  EXPECT_GT(green.y(), red.y());  // the line and the square below the top row
}

}  // namespace
