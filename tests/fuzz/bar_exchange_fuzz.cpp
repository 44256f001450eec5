// The bars' property exchange read from hostile archives: the first byte picks what is read
// (the bars' options, a toolbar with its controls, a bare controls array, or a list of bars with
// the menus their popups open), the rest is the
// archive. Only the archive's own exceptions may come out, and nothing may leak.
#include <cstdlib>
#include <vector>

#include "platform/core/AfxFile.h"
#include "tests/fuzz/FuzzSupport.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPropExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool init = [] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit(0, nullptr);
    return true;
  }();
  (void)init;
  if (size < 1) return 0;
  CMemFile file(const_cast<BYTE*>(static_cast<const BYTE*>(data + 1)), static_cast<UINT>(size - 1));
  CArchive ar(&file, CArchive::load);
  try {
    switch (data[0] % 4) {
      case 0: {
        CCbCommandBarsOptions options(nullptr);
        options.Serialize(ar);
        break;
      }
      case 1: {
        CCbToolBar* bar = new CCbToolBar;
        try {
          CCbPropExchangeArchive px(ar);
          bar->DoPropExchange(&px);
        } catch (...) {
          bar->InternalRelease();
          throw;
        }
        bar->InternalRelease();
        break;
      }
      case 3: {
        CCbPropExchangeArchive px(ar);
        std::vector<CCbCommandBar*> bars;
        CCbCommandBar::ExchangeBars(&px, bars);
        for (CCbCommandBar* bar : bars) bar->InternalRelease();
        break;
      }
      default: {
        CCbControls* controls = new CCbControls;
        try {
          CCbPropExchangeArchive px(ar);
          controls->DoPropExchange(&px);
        } catch (...) {
          controls->InternalRelease();
          throw;
        }
        controls->InternalRelease();
        break;
      }
    }
  } catch (CArchiveException* e) {
    e->Delete();
  }
  return 0;
}
