// Toolbars, icons, cursors and bitmaps written in a resource script: the platform's binary
// layouts read back with FindResource and LoadResource, and the loaders that use them.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A 4 x 4 icon in two sizes: the 32-pixel image is red with a clear corner, the 16-pixel one
// blue; a cursor with its hot spot; a toolbar; a bitmap.
const char kScript[] = R"(
toolbar 900 16 15
  button 100
  button 101
  separator
  button 102
end

icon 901
  colours
    "." none
    "r" 0xFF0000
    "b" 0x0000FF
    "h" 0x8000FF00   # half-transparent green
  end
  image 16 16
    "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb"
    "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb"
    "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb"
    "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb" "bbbbbbbbbbbbbbbb"
  end
  image 32 32
)";

std::string IconScript() {
  // The 32 x 32 image: its first row clear, then red rows with a half-green last column.
  std::string s = kScript;
  s += "    \"" + std::string(32, '.') + "\"\n";
  for (int y = 1; y < 32; ++y) s += "    \"" + std::string(31, 'r') + "h\"\n";
  s += "  end\nend\n";
  s += R"(
cursor 902
  colours
    "." none
    "k" 0x000000
    "w" 0xFFFFFF
  end
  image 8 8 hotspot 3 5
    "k......."
    "kk......"
    "kwk....."
    "kwwk...."
    "kwwwk..."
    "kwwwwk.."
    "kkkkkkk."
    "........"
  end
end

bitmap 903
  colours
    "m" 0xFF00FF
    "g" 0x00FF00
  end
  image 5 2
    "mgmgm"
    "ggggg"
  end
end
)";
  return s;
}

class Pictures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    AfxWinInit(0, nullptr);
    static const std::string script = IconScript();
    CString err;
    ASSERT_TRUE(AfxCompileUiScript("pictures.nrc", script.c_str(), script.size(), &err)) << err.GetString();
  }
  HINSTANCE inst = AfxGetInstanceHandle();

  // Draws the icon on white at (2, 2) and returns the picture.
  static void DrawOnWhite(HICON h, CBitmap* bmp, int cx = 0, int cy = 0, UINT flags = DI_NORMAL) {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    bmp->CreateBitmap(40, 40, 1, 32, nullptr);
    CBitmap* old = mem.SelectObject(bmp);
    mem.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
    EXPECT_TRUE(DrawIconEx(mem.GetSafeHdc(), 2, 2, h, cx, cy, 0, nullptr, flags));
    mem.SelectObject(old);
  }
};

TEST_F(Pictures, AToolbarReadsBackInThePlatformLayout) {
  HRSRC r = FindResource(inst, MAKEINTRESOURCE(900), RT_TOOLBAR);
  ASSERT_NE(nullptr, r);
  ASSERT_EQ(16u, SizeofResource(inst, r));
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(inst, r)));
  std::vector<WORD> words(8);
  std::memcpy(words.data(), p, 16);
  EXPECT_EQ((std::vector<WORD>{1, 16, 15, 4, 100, 101, 0, 102}), words);
}

TEST_F(Pictures, LoadIconTakesTheSystemSizeAndDrawsWithTransparency) {
  HICON icon = LoadIcon(inst, MAKEINTRESOURCE(901));
  ASSERT_NE(nullptr, icon);
  EXPECT_EQ(icon, LoadIcon(inst, MAKEINTRESOURCE(901))) << "LoadIcon's handles are shared";
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  EXPECT_TRUE(ii.fIcon);
  BITMAP bm{};
  ::GetObject(ii.hbmColor, sizeof(bm), &bm);
  EXPECT_EQ(32, bm.bmWidth);
  EXPECT_EQ(32, bm.bmHeight);
  // The mask is black where the picture is, white where it is clear.
  CBitmap* mask = CBitmap::FromHandle(ii.hbmMask);
  EXPECT_EQ(RGB(255, 255, 255), mask->GetPixel(5, 0));
  EXPECT_EQ(RGB(0, 0, 0), mask->GetPixel(5, 5));
  ::DeleteObject(ii.hbmColor);
  ::DeleteObject(ii.hbmMask);

  CBitmap out;
  DrawOnWhite(icon, &out);
  EXPECT_EQ(RGB(255, 255, 255), out.GetPixel(10, 2)) << "the clear first row shows what was there";
  EXPECT_EQ(RGB(255, 0, 0), out.GetPixel(10, 10));
  COLORREF half = out.GetPixel(2 + 31, 10);  // half green over white
  EXPECT_NEAR(127, GetRValue(half), 3);
  EXPECT_EQ(255, GetGValue(half));
  EXPECT_EQ(RGB(255, 255, 255), out.GetPixel(2 + 32, 10)) << "nothing beyond the icon";
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_EQ(RGB(255, 0, 0), [&] {
    CBitmap again;
    DrawOnWhite(icon, &again);  // a shared handle outlives DestroyIcon
    return again.GetPixel(10, 10);
  }());
}

TEST_F(Pictures, LoadImagePicksTheNearestSizeAndItsHandleIsTheCallers) {
  HICON small = (HICON)LoadImage(inst, MAKEINTRESOURCE(901), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  ASSERT_NE(nullptr, small);
  CBitmap out;
  DrawOnWhite(small, &out);
  EXPECT_EQ(RGB(0, 0, 255), out.GetPixel(3, 3));
  EXPECT_EQ(RGB(255, 255, 255), out.GetPixel(2 + 16, 3));
  // A size in between is scaled from the nearest image.
  HICON twenty = (HICON)LoadImage(inst, MAKEINTRESOURCE(901), IMAGE_ICON, 20, 20, 0);
  CBitmap out20;
  DrawOnWhite(twenty, &out20);
  EXPECT_EQ(RGB(0, 0, 255), out20.GetPixel(12, 12));
  EXPECT_NE(RGB(255, 255, 255), out20.GetPixel(2 + 19, 12));
  EXPECT_TRUE(DestroyIcon(small));
  EXPECT_TRUE(DestroyIcon(twenty));
  EXPECT_FALSE(DestroyIcon(small)) << "a destroyed handle is no icon any more";
  CDC mem;
  mem.CreateCompatibleDC(nullptr);
  EXPECT_FALSE(DrawIcon(mem.GetSafeHdc(), 0, 0, small));
  EXPECT_EQ(nullptr, LoadImage(inst, MAKEINTRESOURCE(999), IMAGE_ICON, 16, 16, 0));
  EXPECT_EQ(nullptr, LoadIcon(inst, MAKEINTRESOURCE(999)));
}

TEST_F(Pictures, ACursorKeepsItsHotSpotAndIsSetOnWindows) {
  HCURSOR c = LoadCursor(inst, MAKEINTRESOURCE(902));
  ASSERT_NE(nullptr, c);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(c, &ii));
  EXPECT_FALSE(ii.fIcon);
  // Loaded at the system cursor size (32), the 8-pixel picture and its hot spot are scaled.
  EXPECT_EQ(12u, ii.xHotspot);
  EXPECT_EQ(20u, ii.yHotspot);
  ::DeleteObject(ii.hbmColor);
  ::DeleteObject(ii.hbmMask);
  HCURSOR own = (HCURSOR)LoadImage(inst, MAKEINTRESOURCE(902), IMAGE_CURSOR, 0, 0, 0);
  ASSERT_TRUE(GetIconInfo(own, &ii));
  EXPECT_EQ(3u, ii.xHotspot);
  EXPECT_EQ(5u, ii.yHotspot);
  ::DeleteObject(ii.hbmColor);
  ::DeleteObject(ii.hbmMask);
  EXPECT_TRUE(DestroyCursor(own));

  // A window class with the cursor: the pointer over the window takes it.
  CWnd w;
  LPCTSTR cls = AfxRegisterWndClass(0, c, nullptr, nullptr);
  ASSERT_TRUE(w.CreateEx(0, cls, "cursor", WS_POPUP | WS_VISIBLE, 300, 300, 80, 60, nullptr, nullptr));
  AfxTestMoveTo(w, 10, 10);
  AfxTestWait(5);
  EXPECT_EQ(c, GetCursor());
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), GetCursor());
  w.DestroyWindow();
  EXPECT_EQ(nullptr, LoadCursor(inst, MAKEINTRESOURCE(999)));
}

TEST_F(Pictures, ABitmapFromTheScriptLoads) {
  CBitmap b;
  ASSERT_TRUE(b.LoadBitmap(903));
  BITMAP bm{};
  b.GetBitmap(&bm);
  EXPECT_EQ(5, bm.bmWidth);
  EXPECT_EQ(2, bm.bmHeight);
  EXPECT_EQ(RGB(255, 0, 255), b.GetPixel(0, 0));
  EXPECT_EQ(RGB(0, 255, 0), b.GetPixel(1, 0));
  EXPECT_EQ(RGB(0, 255, 0), b.GetPixel(4, 1));
}

TEST_F(Pictures, TheSystemIconsAndAStaticShowingAnIcon) {
  HICON info = LoadIcon(nullptr, IDI_INFORMATION);
  ASSERT_NE(nullptr, info);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(info, &ii));
  ::DeleteObject(ii.hbmColor);
  ::DeleteObject(ii.hbmMask);
  EXPECT_EQ(info, LoadIcon(nullptr, IDI_ASTERISK));

  CWnd parent;
  LPCTSTR cls = AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_3DFACE + 1), nullptr);
  ASSERT_TRUE(parent.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 200, 200, 100, 100, nullptr, nullptr));
  CStatic icon;
  ASSERT_TRUE(icon.Create("", WS_CHILD | WS_VISIBLE | SS_ICON, CRect(10, 10, 50, 50), &parent, 5));
  icon.SetIcon(LoadIcon(inst, MAKEINTRESOURCE(901)));
  CBitmap shot;
  ASSERT_TRUE(AfxCaptureWindow(parent, &shot));
  EXPECT_EQ(RGB(255, 0, 0), shot.GetPixel(20, 20));
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), shot.GetPixel(20, 10)) << "the icon's clear row";
  parent.DestroyWindow();
}

TEST_F(Pictures, ScriptFaultsNameTheirLineAndRegisterNothing) {
  struct Case {
    const char* script;
    const char* error;
  } cases[] = {
      {"toolbar 910 16 15\n  button 1\n  button x\nend\n", "line 3"},
      {"toolbar 911 16\nend\n", "line 2"},
      {"icon 912\n  colours\n    \".\" none\n  end\n  image 2 2\n    \"..\"\n    \".x\"\n  end\nend\n", "line 7"},
      {"icon 913\n  colours\n    \".\" none\n  end\n  image 2 2\n    \"...\"\n  end\nend\n", "line 6"},
      {"icon 914\n  colours\n    \".\" none\n  end\n  image 2 2\n    \"..\"\n  end\nend\n", "line 7"},
      {"icon 915\nend\n", "line 2"},
      {"cursor 916\n  colours\n    \".\" none\n  end\n  image 2 2 hotspot 2 0\n", "line 5"},
      {"bitmap 917\n  colours\n    \".\" none\n  end\n  image 1 1\n    \".\"\n  end\nend\n", "line 6"},
      {"icon 918\n  colours\n    \".\" 0xGG0000\n  end\nend\n", "line 3"},
  };
  for (const Case& c : cases) {
    CString err;
    EXPECT_FALSE(AfxCompileUiScript("faulty.nrc", c.script, std::strlen(c.script), &err)) << c.script;
    EXPECT_NE(std::string::npos, std::string(err.GetString()).find(c.error)) << c.script << " -> " << err.GetString();
  }
  EXPECT_EQ(nullptr, FindResource(inst, MAKEINTRESOURCE(910), RT_TOOLBAR));
  EXPECT_EQ(nullptr, FindResource(inst, MAKEINTRESOURCE(912), RT_GROUP_ICON));
}

TEST_F(Pictures, TheProgramsOwnIconAndResizeCursorLoad) {
  std::string tests = NEAPWISE_TEST_DATA_DIR;
  std::ifstream in(tests.substr(0, tests.rfind("/tests/")) + "/resources/ui/pictures.nrc");
  ASSERT_TRUE(in.good());
  std::stringstream text;
  text << in.rdbuf();
  static const std::string script = text.str();
  CString err;
  ASSERT_TRUE(AfxCompileUiScript("pictures.nrc", script.c_str(), script.size(), &err)) << err.GetString();
  // Icon 128 in both sizes: opaque inside, clear in the rounded corners.
  for (int size : {32, 16}) {
    HICON icon = (HICON)LoadImage(inst, MAKEINTRESOURCE(128), IMAGE_ICON, size, size, 0);
    ASSERT_NE(nullptr, icon) << size;
    CBitmap out;
    DrawOnWhite(icon, &out);
    EXPECT_EQ(RGB(255, 255, 255), out.GetPixel(2, 2)) << size;
    EXPECT_NE(RGB(255, 255, 255), out.GetPixel(2 + size / 2, 2 + size / 2)) << size;
    EXPECT_NE(RGB(255, 255, 255), out.GetPixel(2 + size / 2, 2 + size - 2)) << size;
    DestroyIcon(icon);
  }
  // Cursor 187: its hot spot on the bar, which is black.
  HCURSOR c = LoadCursor(inst, MAKEINTRESOURCE(187));
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(c, &ii));
  EXPECT_EQ(16u, ii.xHotspot);
  EXPECT_EQ(16u, ii.yHotspot);
  EXPECT_EQ(RGB(0, 0, 0), CBitmap::FromHandle(ii.hbmColor)->GetPixel(15, 16));
  EXPECT_EQ(RGB(255, 255, 255), CBitmap::FromHandle(ii.hbmMask)->GetPixel(2, 2));
  ::DeleteObject(ii.hbmColor);
  ::DeleteObject(ii.hbmMask);
}

}  // namespace
