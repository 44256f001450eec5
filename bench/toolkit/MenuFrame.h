// The program's own menu 128 on a menu bar, in a frame like the main window, for the menu
// benchmarks.
#pragma once

#include "platform/testing/UiTest.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"

struct MenuFrame {
  CCbFrameWnd* frame = nullptr;
  CCbMenuBar* menu = nullptr;
  // nSettleMs: how long the new windows get to be shown (longer through an X server).
  explicit MenuFrame(int nSettleMs) {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(0);
    frame = new CCbFrameWnd;
    frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 700));
    frame->InitCommandBars();
    menu = frame->GetCommandBars()->SetMenu("Menu Bar", 128);
    frame->RecalcLayout();
    AfxTestWait(nSettleMs);
  }
  POINT Title(int i) {
    POINT p = menu->GetControl(i)->GetRect().CenterPoint();
    menu->ClientToScreen(&p);
    return p;
  }
  CCbPopupBar* Popup(int i) { return dynamic_cast<CCbPopupBar*>(menu->GetControl(i)->GetCommandBar()); }
};
