// The running-aground panel and verdict as a sailor uses them: the verdict for a real port's
// next low water with a draught just above and just below it, the depth typed key by key in
// the user's locale, the spin arrows, the units, and the texts shown.
#include "platform/core/AfxLocale.h"
#include "platform/testing/UiTest.h"
#include "tests/views/GraphFixture.h"
#include "tests/views/PageTestKit.h"
#include "views/AgroundWnd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace views_test;

TEST(AgroundVerdict, ADraughtAboveOrBelowTheWaterAtTheNextLowWater) {
  AfxSetLocaleOverrideByName("en_GB");
  PortDay day;
  ASSERT_TRUE(day.Load("Dover", 2025, 6, 12));
  // Half an hour after the first high water of the day the tide is falling to a low water.
  int t = -1;
  for (int e = 0; e < day.nEvents && t < 0; ++e)
    if (day.events[e].metres > (day.dayMax + day.dayMin) / 2) t = day.events[e].minutes + 30;
  ASSERT_GE(t, 0);
  const double H = day.prediction.HeightAt(t, day.zone, 0);
  const double X = day.prediction.HeightDropToNextLow(t, day.zone, 0);
  ASSERT_NE(-100.0, X);
  ASSERT_GT(X, 0.5);
  const double D = 6.0;  // depth of water at the boat now
  // Just enough water left at low water.
  AGROUND_VERDICT clear = ComputeAgroundVerdict(D, D - X - 0.31, X, H, FALSE);
  EXPECT_EQ(61234u, clear.nStringId);
  EXPECT_NEAR(0.31, clear.dClearance, 1e-9);
  EXPECT_EQ("You will not ground at the next LW. You will have 0.3m under your boat", clear.strText.GetStdString());
  EXPECT_NEAR(H - D + (D - X - 0.31), clear.dAgroundLevel, 1e-9);
  AGROUND_VERDICT feet = ComputeAgroundVerdict(D, D - X - 0.31, X, H, TRUE);
  EXPECT_EQ("You will not ground at the next LW. You will have 1.0ft under your boat", feet.strText.GetStdString());
  // Too deep a keel; and exactly touching counts as aground.
  for (double over : {0.3, 0.0}) {
    AGROUND_VERDICT v = ComputeAgroundVerdict(D, D - X + over, X, H, FALSE);
    EXPECT_EQ(61233u, v.nStringId) << over;
    EXPECT_EQ("You will run aground at the next low water", v.strText.GetStdString());
  }
  // The graph's aground level is the tide height at which the keel touches: at the next low
  // water the tide falls to H - X, below that level exactly when the verdict says aground.
  const AGROUND_VERDICT aground = ComputeAgroundVerdict(D, D - X + 0.3, X, H, FALSE);
  EXPECT_GT(aground.dAgroundLevel, H - X);
  EXPECT_LT(clear.dAgroundLevel, H - X);
  EXPECT_EQ(61235u, ComputeAgroundVerdict(D, 1.0, -100.0, H, FALSE).nStringId);
  AfxClearLocaleOverride();
}

class RecordingHost : public FakeHost {
 public:
  int refreshes = 0, timeMarks = 0;
  void RefreshAgroundStatus() override { ++refreshes; }
  void UpdateTimeMark() override { ++timeMarks; }
};

class AgroundPanel : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    AfxSetLocaleOverrideByName("en_GB");
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Neapwise", WS_POPUP | WS_VISIBLE, 20, 20, 500, 120, nullptr, nullptr));
    panel.SetHost(&host);
    ASSERT_TRUE(panel.Create(&owner, CRect(0, 0, 480, 70)));
    AfxTestWait(10);
  }
  void TearDown() override {
    panel.DestroyWindow();
    owner.DestroyWindow();
    AfxTestWait(5);
    AfxClearLocaleOverride();
  }
  // Empties the depth edit and types the text into it key by key.
  void Type(const std::string& text) {
    CEdit& edit = panel.GetDepthEdit();
    edit.SetWindowText("");
    AfxTestClick(edit.GetSafeHwnd(), 5, 5);
    AfxTestWait(5);
    for (char c : text) {
      const char s[2] = {c, 0};
      const UINT vk = (c >= '0' && c <= '9')   ? c
                      : (c >= 'a' && c <= 'z') ? c - 32
                      : c == '.'               ? VK_OEM_PERIOD
                                               : VK_OEM_COMMA;
      AfxTestKeyStroke(vk, 0, s);
    }
    AfxTestWait(10);
  }
  CWnd owner;
  RecordingHost host;
  CAgroundWnd panel;
};

TEST_F(AgroundPanel, TypedDepthKeepsDigitsAndTwoDecimals) {
  Type("1a2.345");
  EXPECT_EQ("12.34", panel.GetDepthText().GetStdString());
  EXPECT_NEAR(12.34, panel.GetDepthOfWater(), 1e-9);
  EXPECT_GT(host.refreshes, 0) << "the frame recomputes the verdict as the depth changes";
  // A thousands separator is a thousands separator, not the end of the number.
  Type("1,000");
  EXPECT_EQ("1,000", panel.GetDepthText().GetStdString());
  EXPECT_NEAR(1000.0, panel.GetDepthOfWater(), 1e-9);
}

TEST_F(AgroundPanel, ADecimalCommaWorksWhereTheLocaleHasOne) {
  AfxSetLocaleOverrideByName("de_DE");
  Type("1.234,567");
  EXPECT_EQ("1.234,56", panel.GetDepthText().GetStdString());
  EXPECT_NEAR(1234.56, panel.GetDepthOfWater(), 1e-9);
  panel.SetDepthOfWater(5.5);
  EXPECT_EQ("5,50", panel.GetDepthText().GetStdString());
  EXPECT_NEAR(5.5, panel.GetDepthOfWater(), 1e-9);
  panel.SetDraught(1.25);
  panel.UpdateResults();
  EXPECT_EQ("1,25m", panel.GetDraughtText().GetStdString());
}

TEST_F(AgroundPanel, TheValuesShownAndTheUnknownDrop) {
  panel.SetDraught(1.5);
  panel.SetHeightAboveDatum(4.256);
  panel.SetDropToLowWater(-100);
  EXPECT_TRUE(panel.IsDropUnknown());
  panel.UpdateResults();
  EXPECT_EQ("1.50m", panel.GetDraughtText().GetStdString());
  EXPECT_EQ("4.26m", panel.GetHeightText().GetStdString());
  EXPECT_EQ("Unknown", panel.GetDropText().GetStdString());
  panel.SetDropToLowWater(-99.99);
  EXPECT_FALSE(panel.IsDropUnknown());
  panel.UpdateResults();
  EXPECT_EQ("-99.99m", panel.GetDropText().GetStdString());
  panel.SetFeet(1);
  EXPECT_EQ("4.92ft", panel.GetDraughtText().GetStdString());
  CBitmap pic;
  ASSERT_TRUE(AfxCaptureWindow(panel.GetSafeHwnd(), &pic));
  pic.SavePng("aground_panel.png");
}

TEST_F(AgroundPanel, TheSpinStepsHalfAMetreWithinItsLimits) {
  CWnd* spin = panel.GetDlgItem(CAgroundWnd::kDepthSpinId);
  ASSERT_NE(nullptr, spin);
  CRect r;
  spin->GetClientRect(&r);
  auto up = [&] {
    AfxTestClick(spin->GetSafeHwnd(), r.Width() / 2, 2);
    AfxTestWait(5);
  };
  auto down = [&] {
    AfxTestClick(spin->GetSafeHwnd(), r.Width() / 2, r.Height() - 2);
    AfxTestWait(5);
  };
  panel.SetDepthOfWater(9999.99);
  up();
  EXPECT_EQ("10000.49", panel.GetDepthText().GetStdString());
  up();
  EXPECT_EQ("10000.49", panel.GetDepthText().GetStdString());
  panel.SetDepthOfWater(0.49);
  down();
  EXPECT_EQ("0.49", panel.GetDepthText().GetStdString());
  panel.SetDepthOfWater(3);
  down();
  EXPECT_EQ("2.50", panel.GetDepthText().GetStdString());
}

TEST_F(AgroundPanel, ATypedTimeMovesTheMarkAndANonsenseTimeIsPutBack) {
  CComboBox& combo = *panel.GetTimeCombo();
  EXPECT_EQ(12, combo.GetCount());
  EXPECT_EQ("12:00", panel.GetTimeText().GetStdString());
  EXPECT_EQ(12 * 60, panel.GetTimeMinutes());
  AfxTestClick(combo.GetSafeHwnd(), 10, 8);
  AfxTestWait(5);
  TypeText("07:15");
  EXPECT_EQ(7 * 60 + 15, panel.GetTimeMinutes());
  EXPECT_GT(host.timeMarks, 0);
  // An hour of 207 moves nothing, and leaving the combo puts the last valid time back.
  const int marks = host.timeMarks;
  AfxTestKeyStroke(VK_HOME);
  AfxTestKeyStroke('2', 0, "2");
  AfxTestWait(10);
  EXPECT_EQ("207:15", panel.GetTimeText().GetStdString());
  EXPECT_EQ(marks, host.timeMarks);
  AfxTestClick(panel.GetDepthEdit().GetSafeHwnd(), 5, 5);
  AfxTestWait(10);
  EXPECT_EQ("07:15", panel.GetTimeText().GetStdString());
  EXPECT_EQ(7 * 60 + 15, panel.GetTimeMinutes());
  panel.SetTimeMinutes(600);
  EXPECT_EQ("10:00", panel.GetTimeText().GetStdString());
  EXPECT_EQ(600, panel.GetTimeMinutes());
  panel.SetUseCurrentTime(1);
  EXPECT_TRUE(panel.IsUseCurrentTime());
  EXPECT_FALSE(combo.IsWindowEnabled());
  panel.SetUseCurrentTime(0);
  EXPECT_TRUE(combo.IsWindowEnabled());
}

TEST_F(AgroundPanel, FeetAndBackKeepTheDepth) {
  panel.SetDepthOfWater(5.0);
  panel.SetFeet(1);
  EXPECT_EQ("Depth of Water(ft):", panel.GetDepthLabel().GetStdString());
  EXPECT_EQ("16.40", panel.GetDepthText().GetStdString());
  EXPECT_NEAR(5.0, panel.GetDepthOfWater(), 0.01);
  panel.SetFeet(0);
  EXPECT_EQ("Depth of Water(m):", panel.GetDepthLabel().GetStdString());
  EXPECT_NEAR(5.0, panel.GetDepthOfWater(), 0.01);
}

}  // namespace
