// A metafile put on the clipboard with the platform's calls: its EMF bytes and a PNG of it,
// read back as other programs would.
#include "platform/ui/AfxWin.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MetaFileDC.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <vector>

namespace {

HENHMETAFILE picture() {
  CMetaFileDC dc;
  if (!dc.CreateEnhanced(nullptr, nullptr, nullptr, "Quillane Neapwise")) return nullptr;
  dc.FillSolidRect(0, 0, 600, 400, RGB(255, 255, 255));
  dc.FillSolidRect(100, 100, 200, 100, RGB(0, 0, 200));
  dc.TextOut(10, 10, "Southampton");
  return dc.CloseEnhanced();
}

TEST(ClipboardEmf, MetafileGoesOnAsEmfBytesAndPng) {
  AfxWinInit(0, nullptr);
  HENHMETAFILE h = picture();
  ASSERT_NE(h, nullptr);
  std::vector<BYTE> bytes(GetEnhMetaFileBits(h, 0, nullptr));
  GetEnhMetaFileBits(h, (UINT)bytes.size(), bytes.data());

  ASSERT_TRUE(OpenClipboard(nullptr));
  EXPECT_FALSE(OpenClipboard(nullptr));  // already open
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_ENHMETAFILE, h), (HANDLE)h);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(DeleteEnhMetaFile(h));  // the clipboard took it

  std::vector<BYTE> got;
  ASSERT_TRUE(AfxGetClipboardEmf(got));
  EXPECT_EQ(got, bytes);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  const QMimeData* m = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->hasFormat("image/emf"));
  ASSERT_TRUE(m->hasFormat("image/png"));
  QImage png;
  ASSERT_TRUE(png.loadFromData(m->data("image/png"), "PNG"));
  EXPECT_EQ(png.size(), QSize(600, 400));
  EXPECT_EQ(QColor(png.pixel(200, 150)), QColor(0, 0, 200));
  EXPECT_EQ(QColor(png.pixel(50, 300)), QColor(255, 255, 255));

  auto back = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(GetEnhMetaFileBits(back, 0, nullptr), (UINT)bytes.size());
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);

  // Emptied and closed without data: nothing is left.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
  EXPECT_FALSE(AfxGetClipboardEmf(got));
  // Data needs an open clipboard.
  HENHMETAFILE late = picture();
  EXPECT_EQ(SetClipboardData(CF_ENHMETAFILE, late), nullptr);
  EXPECT_TRUE(DeleteEnhMetaFile(late));  // still the caller's
  EXPECT_FALSE(CloseClipboard());
}

}  // namespace
