// The slider: range, ticks and page size as the JPEG dialog sets them, dragging the thumb,
// clicking the channel and the keys, each reported to the parent as WM_HSCROLL.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/Controls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class CHost : public CWnd {
 public:
  std::vector<std::pair<UINT, int>> scrolls;  // (code, position in the message)
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_HSCROLL) scrolls.push_back({LOWORD(wParam), (int)(short)HIWORD(wParam)});
    return CWnd::WindowProc(message, wParam, lParam);
  }
  bool saw(UINT code) const {
    for (auto& s : scrolls)
      if (s.first == code) return true;
    return false;
  }
};

class Slider : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, nullptr, (HBRUSH)(COLOR_3DFACE + 1));
    ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, 100, 100, 300, 100, nullptr, nullptr));
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | WS_TABSTOP, CRect(10, 10, 210, 45), &host, 1039));
    slider.SetRange(0, 10);
    slider.SetTicFreq(1);
    slider.SetPos(10);
  }
  void TearDown() override { host.DestroyWindow(); }
  CHost host;
  CSliderCtrl slider;
};

TEST_F(Slider, DragClickAndKeys) {
  EXPECT_EQ(slider.GetPos(), 10);
  EXPECT_EQ(slider.GetRangeMax(), 10);
  EXPECT_EQ(slider.GetNumTics(), 11);
  CRect thumb, channel;
  slider.GetThumbRect(&thumb);
  slider.GetChannelRect(&channel);
  // Drag the thumb from the right end to the middle of the channel.
  POINT from = thumb.CenterPoint(), to{(channel.left + channel.right) / 2, from.y};
  slider.ClientToScreen(&from);
  slider.ClientToScreen(&to);
  AfxTestMouse(WM_MOUSEMOVE, from);
  AfxTestMouse(WM_LBUTTONDOWN, from);
  AfxTestMouse(WM_MOUSEMOVE, to);
  AfxTestMouse(WM_LBUTTONUP, to);
  EXPECT_EQ(slider.GetPos(), 5);
  ASSERT_GE(host.scrolls.size(), 3u);
  EXPECT_TRUE(host.saw(TB_THUMBTRACK));
  EXPECT_EQ(host.scrolls[host.scrolls.size() - 2], std::make_pair((UINT)TB_THUMBPOSITION, 5));
  EXPECT_EQ(host.scrolls.back().first, (UINT)TB_ENDTRACK);

  // A click left of the thumb moves it a page.
  slider.SetPageSize(2);
  host.scrolls.clear();
  AfxTestClick(slider.m_hWnd, channel.left + 2, thumb.CenterPoint().y);
  EXPECT_EQ(slider.GetPos(), 3);
  EXPECT_TRUE(host.saw(TB_PAGEUP));

  slider.SetFocus();
  host.scrolls.clear();
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_EQ(slider.GetPos(), 4);
  EXPECT_EQ(host.scrolls.front().first, (UINT)TB_LINEDOWN);
  EXPECT_EQ(host.scrolls.back().first, (UINT)TB_ENDTRACK);
  AfxTestKeyStroke(VK_END);
  EXPECT_EQ(slider.GetPos(), 10);
  AfxTestKeyStroke(VK_RIGHT);
  EXPECT_EQ(slider.GetPos(), 10);  // held at the end
  AfxTestKeyStroke(VK_HOME);
  EXPECT_EQ(slider.GetPos(), 0);
  slider.SetPos(42);
  EXPECT_EQ(slider.GetPos(), 10);  // clamped to the range
}

}  // namespace
