// The toolkit's resource loads find the program's resources and say FALSE for missing ones.
#include "toolkit/CbResourceManager.h"

#include "platform/ui/UiResources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char kScript[] =
    "strings\n  61901 \"Customize...\"\nend\n"
    "menu 61902\n  popup \"&Tools\"\n    item \"&Options\" 61903\n  end\nend\n"
    "dialog 61904 \"Rename\" 0 0 100 40\n  control \"Button\" 1 \"OK\" 10 10 40 14 0 exstyle 0\nend\n";

TEST(ResourceManager, FindsTheProgramsResourcesAndReportsMissingOnes) {
  AfxWinInit(0, nullptr);
  CString error;
  ASSERT_TRUE(AfxCompileUiScript("toolkit-test.nrc", kScript, std::strlen(kScript), &error)) << error;
  CCbResourceManager* rm = CbResourceManager();
  EXPECT_TRUE(rm->IsValid());
  CString text;
  EXPECT_TRUE(rm->LoadString(text, 61901));
  EXPECT_EQ(text, CString("Customize..."));
  EXPECT_FALSE(rm->LoadString(text, 61999));
  CMenu menu;
  EXPECT_TRUE(rm->LoadMenu(&menu, 61902));
  CMenu missing;
  EXPECT_FALSE(rm->LoadMenu(&missing, 61998));
  EXPECT_NE(rm->LoadDialogTemplate(61904), nullptr);
  EXPECT_EQ(rm->LoadDialogTemplate(61997), nullptr);
  CBitmap bmp;
  EXPECT_FALSE(rm->LoadBitmap(&bmp, 61996));
  EXPECT_FALSE(rm->LoadToolBar(nullptr, 61995));
}

}  // namespace
