// The program as a user drives it: start-up, ports, dates, units, zones, recent ports, restart.
#include "tests/app/FrameFixture.h"

#include "platform/core/AfxResource.h"

namespace {
using namespace app_test;

TEST_F(Program, StartsWithTheLastPortsGraph) {
  ASSERT_NE(nullptr, Start());
  CGraphWnd& g = Right().m_graph;
  EXPECT_TRUE(g.HasData());
  const CString name = m_frame->GetPortDB().GetPort(0)->GetName();
  EXPECT_EQ(0, g.GetTitle().Find(name)) << (LPCTSTR)g.GetTitle();
  EXPECT_TRUE(m_boxes.empty());
  AfxSaveWindowPng(m_frame->GetSafeHwnd(), "program_started.png");
}

}  // namespace
