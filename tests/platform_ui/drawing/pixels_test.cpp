// Fresh pictures for windows and bitmaps, small ones from the heap and large ones in mappings of
// their own: each is the size asked for, every pixel can be written, and copies outlive them.
#include "platform/ui/Pixels.h"

#include <gtest/gtest.h>

namespace {

TEST(Pixels, EverySizeGivesAWholeWritablePictureWhoseCopiesOutliveIt) {
  const struct {
    int w, h;
    QImage::Format format;
  } cases[] = {
      {3, 3, QImage::Format_RGB32},                      // the heap
      {127, 128, QImage::Format_RGB32},                  // just under a mapping of its own
      {640, 405, QImage::Format_RGB32},                  // a mapping of small pages
      {1001, 523, QImage::Format_ARGB32_Premultiplied},  // rows of an odd width, exactly 2 MiB and more
      {2500, 1500, QImage::Format_RGB32},                // huge pages
      {333, 777, QImage::Format_RGB888},                 // rows padded to four bytes
  };
  for (const auto& c : cases) {
    QImage copy;
    {
      QImage img = AfxNewPixels(c.w, c.h, c.format);
      ASSERT_FALSE(img.isNull()) << c.w << "x" << c.h;
      EXPECT_EQ(QSize(c.w, c.h), img.size());
      EXPECT_EQ(c.format, img.format());
      EXPECT_EQ(0, img.bytesPerLine() % 4);
      img.fill(Qt::white);
      img.setPixel(c.w - 1, c.h - 1, qRgb(10, 20, 30));
      img.setPixel(0, 0, qRgb(40, 50, 60));
      copy = img;  // shared until written
      copy.setPixel(0, 0, qRgb(70, 80, 90));
      EXPECT_EQ(qRgb(40, 50, 60), img.pixel(0, 0));
      copy = img;
    }
    EXPECT_EQ(qRgb(10, 20, 30), copy.pixel(c.w - 1, c.h - 1)) << c.w << "x" << c.h;
    EXPECT_EQ(qRgb(40, 50, 60), copy.pixel(0, 0));
    EXPECT_EQ(qRgb(255, 255, 255), copy.pixel(c.w / 2, c.h / 2));
  }
}

}  // namespace
