// Alt+letter on a bar: the letter after a caption's single ampersand, never a doubled one.
#include "toolkit/CbCommandBar.h"

#include <gtest/gtest.h>

namespace {

TEST(Mnemonics, TheLetterAfterASingleAmpersand) {
  struct Case {
    const char* caption;
    UINT mnemonic;
  };
  const Case cases[] = {
      {"&File", 'F'},        {"Ti&des", 'D'},  {"High && Low &Water Times", 'W'},
      {"Salt && Pepper", 0}, {"Plain", 0},     {"End&", 0},
      {"&&&Tools", 'T'},     {"&3 Days", '3'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(CCbCommandBar::GetMnemonic(c.caption), c.mnemonic);
  }
}

TEST(Mnemonics, ASharedLetterIsCountedAndFoundInTurn) {
  AfxWinInit(0, nullptr);
  CCbCommandBar bar;
  const char* captions[] = {"&File", "&View", "High && Low &Water Times", "&Tides", "&Tools", "&Help"};
  UINT id = 100;
  for (const char* caption : captions) bar.GetControls()->Add(1, (int)id++)->SetCaption(caption);
  int count = 0;
  EXPECT_EQ(bar.FindAccel('w', &count), 2);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(bar.FindAccel('&', &count), -1);  // a doubled ampersand is no mnemonic
  EXPECT_EQ(count, 0);
  EXPECT_EQ(bar.FindAccel('T', &count), 3);
  EXPECT_EQ(count, 2);  // Tides and Tools share the letter: the bar only selects
  bar.GetControl(3)->SetEnabled(FALSE);
  EXPECT_EQ(bar.FindAccel('T', &count), 4);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(bar.FindAccel('Q', &count), -1);
}

}  // namespace
