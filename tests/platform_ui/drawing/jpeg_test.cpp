// JPEG files: a drawn picture survives the round trip, and faults come back as messages.
#include "platform/ui/Jpeg.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include "tests/platform_ui/TestDir.h"

#include <cstdlib>

namespace {

struct Picture {
  int w, h;
  std::vector<BYTE> rgb;
};

// Four coloured quarters and a black bar, drawn through a memory DC as a view draws.
Picture drawPicture(int w, int h) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bmp;
  bmp.CreateBitmap(w, h, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, w / 2, h / 2, RGB(220, 30, 30));
  dc.FillSolidRect(w / 2, 0, w - w / 2, h / 2, RGB(30, 200, 40));
  dc.FillSolidRect(0, h / 2, w / 2, h - h / 2, RGB(20, 40, 230));
  dc.FillSolidRect(w / 2, h / 2, w - w / 2, h - h / 2, RGB(250, 250, 250));
  dc.FillSolidRect(0, h / 2 - 8, w, 16, RGB(0, 0, 0));
  dc.SelectObject(old);
  Picture p{w, h, std::vector<BYTE>((size_t)w * h * 3)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = bmp.GetPixel(x, y);
      BYTE* d = &p.rgb[((size_t)y * w + x) * 3];
      d[0] = GetRValue(c);
      d[1] = GetGValue(c);
      d[2] = GetBValue(c);
    }
  return p;
}

class JpegTest : public ::testing::Test {
 protected:
  void SetUp() override { AfxWinInit(0, nullptr); }
  CString path(const char* name) { return CString(m_dir.file(name)); }
  TestDir m_dir;
};

TEST_F(JpegTest, DecodesToTheDrawnPixels) {
  Picture p = drawPicture(350, 200);
  // Sanity: the drawing is what the test expects to find.
  ASSERT_EQ(p.rgb[0], 220);
  ASSERT_EQ(p.rgb[(size_t)(199 * 350 + 349) * 3 + 2], 250);
  struct Case {
    int quality;
    int maxAverageError;
  } cases[] = {{100, 2}, {90, 4}, {50, 8}};
  for (const Case& c : cases) {
    CString file = path("graph.jpg");
    CString err = "stale";
    ASSERT_TRUE(AfxWriteJpegFile(file, p.w, p.h, p.rgb.data(), p.w * 3, c.quality, &err)) << (const char*)err;
    EXPECT_TRUE(err.IsEmpty());
    int w = 0, h = 0;
    std::vector<BYTE> back;
    ASSERT_TRUE(AfxReadJpegFile(file, &w, &h, &back, &err)) << (const char*)err;
    ASSERT_EQ(w, 350);
    ASSERT_EQ(h, 200);
    long long total = 0;
    for (size_t i = 0; i < back.size(); ++i) total += std::abs((int)back[i] - (int)p.rgb[i]);
    EXPECT_LE(total / (long long)back.size(), c.maxAverageError) << "quality " << c.quality;
    // Away from the edges each quarter keeps its colour closely.
    auto at = [&](int x, int y, int k) { return (int)back[((size_t)y * w + x) * 3 + k]; };
    EXPECT_NEAR(at(40, 40, 0), 220, 12);
    EXPECT_NEAR(at(300, 40, 1), 200, 12);
    EXPECT_NEAR(at(40, 170, 2), 230, 12);
    EXPECT_NEAR(at(300, 170, 0), 250, 12);
    EXPECT_LE(at(175, 100, 0), 30);
  }
}

TEST_F(JpegTest, LowerQualityMakesASmallerBaselineFile) {
  Picture p = drawPicture(200, 120);
  CString hi = path("hi.jpg"), lo = path("lo.jpg");
  ASSERT_TRUE(AfxWriteJpegFile(hi, p.w, p.h, p.rgb.data(), p.w * 3, 100));
  ASSERT_TRUE(AfxWriteJpegFile(lo, p.w, p.h, p.rgb.data(), p.w * 3, 0));
  std::string ha = ReadAll(hi.GetStdString()), hb = ReadAll(lo.GetStdString());
  EXPECT_LT(hb.size(), ha.size());
  // SOI, JFIF APP0 and a baseline frame (SOF0), no progressive one.
  ASSERT_GE(ha.size(), 4);
  EXPECT_EQ((unsigned char)ha[0], 0xFF);
  EXPECT_EQ((unsigned char)ha[1], 0xD8);
  EXPECT_NE(ha.find("JFIF"), std::string::npos);
  EXPECT_NE(ha.find("\xFF\xC0"), std::string::npos);
  EXPECT_EQ(ha.find("\xFF\xC2"), std::string::npos);
}

TEST_F(JpegTest, FaultsReturnMessagesAndLeaveNoFile) {
  Picture p = drawPicture(16, 16);
  CString err;
  EXPECT_FALSE(AfxWriteJpegFile(path("q.jpg"), 16, 16, p.rgb.data(), 48, 101, &err));
  EXPECT_STREQ(err, "Invalid input data");
  EXPECT_FALSE(AfxWriteJpegFile(path("q.jpg"), 16, 16, p.rgb.data(), 48, -1, &err));
  EXPECT_FALSE(AfxWriteJpegFile(path("q.jpg"), 0, 16, p.rgb.data(), 48, 50, &err));
  EXPECT_FALSE(AfxWriteJpegFile("", 16, 16, p.rgb.data(), 48, 50, &err));
  EXPECT_STREQ(err, "Invalid input data");
  EXPECT_FALSE(std::filesystem::exists(m_dir.file("q.jpg")));

  CString bad = path("no/such/folder/x.jpg");
  EXPECT_FALSE(AfxWriteJpegFile(bad, 16, 16, p.rgb.data(), 48, 50, &err));
  EXPECT_EQ(CString("Cannot open ") + bad, err);

  // Garbage that is not a JPEG: the library's fatal error comes back instead of ending the process.
  CString junk = path("junk.jpg");
  WriteAll(junk.GetStdString(), "this is not a picture at all");
  int w = 0, h = 0;
  std::vector<BYTE> rgb;
  EXPECT_FALSE(AfxReadJpegFile(junk, &w, &h, &rgb, &err));
  EXPECT_FALSE(err.IsEmpty());
  EXPECT_FALSE(AfxReadJpegFile(path("missing.jpg"), &w, &h, &rgb, &err));
}

TEST_F(JpegTest, ErrorManagerReturnsToTheCallersSetjmp) {
  // A view driving the library itself: a call in the wrong state is fatal to the library.
  AFX_JPEG_ERROR err;
  jpeg_compress_struct cinfo;
  cinfo.err = AfxJpegErrorManager(&err);
  volatile int reached = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    reached = 2;
  } else {
    jpeg_create_compress(&cinfo);
    reached = 1;
    JSAMPLE row[3] = {0, 0, 0};
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&cinfo, rows, 1);  // before jpeg_start_compress
    reached = 3;
  }
  EXPECT_EQ(reached, 2);
  EXPECT_NE(err.message[0], 0);
}

}  // namespace
