// Popup animations drawn into memory pictures: what step k of S shows, and how long the whole
// takes.
#include "toolkit/CbPaintManager.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr int W = 60, H = 40, S = 10;

// A picture whose every pixel tells where it came from: red = x, green = y.
struct Picture {
  CDC dc;
  CBitmap bmp;
  CBitmap* old = nullptr;
  Picture(COLORREF fill = (COLORREF)-1) {
    dc.CreateCompatibleDC(nullptr);
    bmp.CreateBitmap(W, H, 1, 32, nullptr);
    old = dc.SelectObject(&bmp);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) dc.SetPixel(x, y, fill == (COLORREF)-1 ? RGB(x * 4, y * 4, 7) : fill);
  }
  ~Picture() { dc.SelectObject(old); }
  COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

struct Animation : ::testing::Test {
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
  }
};

TEST_F(Animation, UnfoldShowsTheBottomRightShareAtTheTopLeft) {
  Picture src;
  for (int k : {1, 4, 10}) {
    Picture dst(RGB(1, 1, 1));
    CCbPaintManager::DrawAnimationStep(&dst.dc, &src.dc, nullptr, CRect(0, 0, W, H), 2, k, S);
    int w = W * k / S, h = H * k / S;
    EXPECT_EQ(dst.At(0, 0), src.At(W - w, H - h)) << k;
    EXPECT_EQ(dst.At(w - 1, h - 1), src.At(W - 1, H - 1)) << k;
    if (k < S) {
      EXPECT_EQ(dst.At(w, 0), RGB(1, 1, 1)) << k;  // the rest is not drawn yet
      EXPECT_EQ(dst.At(0, h), RGB(1, 1, 1)) << k;
    }
  }
}

TEST_F(Animation, SlideShowsTheBottomShareFullWidthAtTheTop) {
  Picture src;
  for (int k : {1, 3, 10}) {
    Picture dst(RGB(1, 1, 1));
    CCbPaintManager::DrawAnimationStep(&dst.dc, &src.dc, nullptr, CRect(0, 0, W, H), 3, k, S);
    int h = H * k / S;
    EXPECT_EQ(dst.At(0, 0), src.At(0, H - h)) << k;
    EXPECT_EQ(dst.At(W - 1, h - 1), src.At(W - 1, H - 1)) << k;
    if (k < S) {
      EXPECT_EQ(dst.At(W / 2, h), RGB(1, 1, 1)) << k;
    }
  }
}

TEST_F(Animation, FadeBlendsThePictureOverTheScreen) {
  Picture src(RGB(250, 0, 100)), screen(RGB(10, 200, 100));
  for (int k = 1; k < S; ++k) {
    Picture dst(RGB(1, 1, 1));
    CCbPaintManager::DrawAnimationStep(&dst.dc, &src.dc, &screen.dc, CRect(0, 0, W, H), 4, k, S);
    int a = 255 * k / S;
    auto blend = [&](int p, int s) { return (p * a + s * (255 - a)) / 256; };
    EXPECT_EQ(dst.At(W / 2, H / 2), RGB(blend(250, 10), blend(0, 200), blend(100, 100))) << k;
    EXPECT_EQ(dst.At(0, 0), dst.At(W - 1, H - 1));
  }
}

TEST_F(Animation, ExpandGrowsOnlyTheNewBands) {
  Picture src;
  CCbPaintManager::CExpandBand bands[] = {{0, 10, FALSE}, {10, 20, TRUE}, {30, 10, FALSE}};
  Picture dst(RGB(1, 1, 1));
  CCbPaintManager::DrawExpandStep(&dst.dc, &src.dc, CRect(0, 0, W, H), bands, 3, 5, S);
  EXPECT_EQ(dst.At(3, 9), src.At(3, 9));    // old band at full height
  EXPECT_EQ(dst.At(3, 20), src.At(3, 30));  // the old band below follows the half-grown new one
  EXPECT_EQ(dst.At(3, 29), src.At(3, 39));
  EXPECT_EQ(dst.At(3, 30), RGB(1, 1, 1));
}

TEST_F(Animation, TheWholeStaysWithinItsTimeAndEndsFinished) {
  CCbPaintManager* pm = CbPaintManager();
  Picture src;
  for (int kind : {2, 3, 4}) {
    Picture dst(RGB(1, 1, 1));
    auto t0 = std::chrono::steady_clock::now();
    pm->AnimatePopup(&dst.dc, &src.dc, CRect(0, 0, W, H), kind);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LE(ms, pm->m_nAnimationTime + 30) << kind;
    EXPECT_GE(ms, pm->m_nAnimationTime * (S - 1) / S - 5) << kind;  // paced, not all at once
    EXPECT_EQ(dst.At(5, 5), src.At(5, 5));
    EXPECT_EQ(dst.At(W - 1, H - 1), src.At(W - 1, H - 1));
  }
  // No animation: at once.
  Picture dst(RGB(1, 1, 1));
  auto t0 = std::chrono::steady_clock::now();
  pm->AnimatePopup(&dst.dc, &src.dc, CRect(0, 0, W, H), 5);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(20));
  EXPECT_EQ(dst.At(5, 5), src.At(5, 5));
}

TEST_F(Animation, SlowStepsNeverSleepPastTheTotal) {
  // A total shorter than the steps take: nothing sleeps a negative remainder, and it stops.
  CCbPaintManager* pm = CbPaintManager();
  int oldTime = pm->m_nAnimationTime, oldSteps = pm->m_nAnimationSteps;
  pm->m_nAnimationTime = 1;
  pm->m_nAnimationSteps = 1000;
  Picture src, dst(RGB(1, 1, 1));
  auto t0 = std::chrono::steady_clock::now();
  pm->AnimatePopup(&dst.dc, &src.dc, CRect(0, 0, W, H), 4);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(200));
  EXPECT_EQ(dst.At(7, 7), src.At(7, 7));
  pm->m_nAnimationTime = oldTime;
  pm->m_nAnimationSteps = oldSteps;
}

TEST_F(Animation, OptionZeroFollowsTheSystemWhichIsOffHere) {
  EXPECT_EQ(CCbPaintManager::GetAnimationKind(0), 5);
  for (int i = 0; i < 20; ++i) {
    int k = CCbPaintManager::GetAnimationKind(1);
    EXPECT_GE(k, 2);
    EXPECT_LE(k, 4);
  }
  EXPECT_EQ(CCbPaintManager::GetAnimationKind(3), 3);
  EXPECT_EQ(CCbPaintManager::GetAnimationKind(5), 5);
}

}  // namespace
