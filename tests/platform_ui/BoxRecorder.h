// A fixture that starts the window layer and records the text of every message box shown,
// answering each with OK.
#pragma once

#include "platform/ui/AfxWin.h"
#include "platform/ui/MsgBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class BoxRecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    AfxSetMessageBoxHook([this](const AFX_MSGBOX_REQUEST& r) {
      boxes.push_back(r.text);
      return IDOK;
    });
  }
  void TearDown() override { AfxSetMessageBoxHook(nullptr); }
  std::vector<std::string> boxes;
};
