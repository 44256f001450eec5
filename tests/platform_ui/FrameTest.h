// A test around a frame window of type TFrame, which SetUp makes: the frame goes after the
// test, and ClientOf gives a child's place in the frame's client area.
#pragma once

#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

template <class TFrame>
class FrameTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    AfxTestWait(5);
  }
  CRect ClientOf(CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    frame->ScreenToClient(&r);
    return r;
  }
  TFrame* frame = nullptr;
};
