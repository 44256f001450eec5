// The clipboard's text and pictures, and the shell's checks on what it opens.
#include "platform/ui/Clipboard.h"
#include "platform/core/AfxGlobalMem.h"
#include "platform/ui/AfxWin.h"

#include "tests/platform_ui/TestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Clipboard, TextRoundTripAndEmpty) {
  ASSERT_TRUE(AfxSetClipboardText("Southampton\t12:04\t4.3 m\r\n"));
  CString t;
  ASSERT_TRUE(AfxGetClipboardText(t));
  EXPECT_STREQ(t, "Southampton\t12:04\t4.3 m\r\n");
  ASSERT_TRUE(AfxSetClipboardText("Pointe de Grave \xC3\xA9t\xC3\xA9"));  // UTF-8 survives
  ASSERT_TRUE(AfxGetClipboardText(t));
  EXPECT_STREQ(t, "Pointe de Grave \xC3\xA9t\xC3\xA9");
  ASSERT_TRUE(AfxEmptyClipboard());
  EXPECT_FALSE(AfxGetClipboardText(t));
}

TEST(Clipboard, PictureAsEmfBytesAndImage) {
  AfxWinInit(0, nullptr);
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateBitmap(60, 40, 1, 32, nullptr));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 60, 40, RGB(255, 255, 255));
  dc.FillSolidRect(10, 10, 20, 20, RGB(200, 0, 0));
  dc.SelectObject(old);
  // An EMF starts with its header record (type 1) and " EMF" at offset 40.
  std::vector<BYTE> emf(108, 0);
  emf[0] = 1;
  emf[40] = ' ';
  emf[41] = 'E';
  emf[42] = 'M';
  emf[43] = 'F';
  ASSERT_TRUE(AfxSetClipboardPicture(emf, &bmp));
  std::vector<BYTE> back;
  ASSERT_TRUE(AfxGetClipboardEmf(back));
  EXPECT_EQ(back, emf);
  CBitmap img;
  ASSERT_TRUE(AfxGetClipboardImage(&img));
  EXPECT_EQ(img.GetPixel(15, 15), RGB(200, 0, 0));
  EXPECT_EQ(img.GetPixel(45, 35), RGB(255, 255, 255));
  CString t;
  EXPECT_FALSE(AfxGetClipboardText(t));  // a picture replaced the text
  EXPECT_FALSE(AfxSetClipboardPicture({}, nullptr));
}

// Text handed over as the platform does it: a movable global block the clipboard then owns.
TEST(Clipboard, TextInAGlobalBlockThroughThePlatformCalls) {
  AfxWinInit(0, nullptr);
  const char text[] = "Dover\t1 Jan 2026\t06:42\t4.1\r\n";
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GlobalSize(mem), sizeof(text));
  auto* p = static_cast<char*>(GlobalLock(mem));
  ASSERT_NE(p, nullptr);
  std::memcpy(p, text, sizeof(text));
  EXPECT_FALSE(GlobalUnlock(mem));                     // no lock left
  EXPECT_EQ(SetClipboardData(CF_TEXT, mem), nullptr);  // not open
  ASSERT_TRUE(OpenClipboard(nullptr));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_TEXT, mem), (HANDLE)mem);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(GlobalLock(mem), nullptr);  // the clipboard took and freed it
  EXPECT_EQ(GlobalFree(mem), mem);

  CString back;
  ASSERT_TRUE(AfxGetClipboardText(back));
  EXPECT_STREQ(back, text);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  HANDLE got = GetClipboardData(CF_TEXT);
  ASSERT_NE(got, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(got)), text);
  GlobalUnlock(got);
  // A handle that is no block is refused, not read.
  int notABlock = 0;
  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_EQ(SetClipboardData(CF_TEXT, &notABlock), nullptr);
  CloseClipboard();
  ASSERT_TRUE(AfxGetClipboardText(back));
  EXPECT_STREQ(back, text);
}

std::string g_opened;
BOOL recordOpen(LPCTSTR url) {
  g_opened = url;
  return TRUE;
}

TEST(Shell, OpensOnlyAddressesAndExistingFiles) {
  AfxSetShellOpenHookForTest(recordOpen);
  TestDir dir;
  std::string file = dir.file("tides.htm");
  WriteAll(file, "<html></html>");
  struct Case {
    std::string in;
    bool ok;
    std::string opened;
  } cases[] = {
      {"https://example.org/tides?port=1", true, "https://example.org/tides?port=1"},
      {"mailto:support@example.org", true, "mailto:support@example.org"},
      {file, true, "file://" + file},
      {"", false, ""},
      {"javascript:alert(1)", false, ""},
      {"/no/such/file.htm", false, ""},
      {"not a url at all", false, ""},
  };
  for (const Case& c : cases) {
    g_opened.clear();
    EXPECT_EQ(AfxShellOpen(c.in.c_str()), c.ok ? TRUE : FALSE) << c.in;
    EXPECT_EQ(g_opened, c.opened) << c.in;
  }
  AfxSetShellOpenHookForTest(nullptr);
}

}  // namespace
