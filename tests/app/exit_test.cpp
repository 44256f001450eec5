// File > Exit ends the program the way the close box does. In an executable of its own: once
// the main window is gone the message loop has been told to stop.
#include "tests/app/FrameFixture.h"

#include "platform/ui/Menu.h"

namespace {
using namespace app_test;

class ExitingProgram : public Program {
 protected:
  void TearDown() override {
    m_frame = nullptr;  // already closed by the test
    AfxSetMessageBoxHook(nullptr);
    TheApp().ResetProfile();
    std::error_code ec;
    fs::remove_all(m_root, ec);
  }
};

TEST_F(ExitingProgram, FileExitClosesTheProgramAndSavesWhatItKeeps) {
  ASSERT_NE(nullptr, Start());
  ClickPort(PortIndex("Aberdeen"));
  ClickPort(PortIndex("Algeciras"));
  const int algeciras = PortIndex("Algeciras"), aberdeen = PortIndex("Aberdeen");
  const HWND frame = m_frame->GetSafeHwnd();

  // File > Exit with the mouse: the last item of the first menu. A greyed item does nothing.
  ClickMenuItemsWhenShown({-1});
  ClickMenuTitle(m_frame, 0);
  ASSERT_TRUE(MenuClicksDone());
  Settle();

  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(nullptr, TheApp().m_pMainWnd);
  const std::string profile = ProfileText();
  EXPECT_NE(std::string::npos, profile.find("LastPort=" + std::to_string(algeciras))) << profile;
  EXPECT_NE(std::string::npos, profile.find("PortHistory1=" + std::to_string(aberdeen))) << profile;
}

}  // namespace
