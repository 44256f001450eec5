// The property exchange over the archive: options and a bar with its controls come back equal,
// older data skips the newer values, and short or hostile data raises the archive's errors
// instead of crashing or allocating what the data can't hold.
#include "platform/core/AfxFile.h"
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbControlComboBox.h"
#include "toolkit/CbMenuBar.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPopupBar.h"
#include "toolkit/CbPropExchange.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A serialisable class that is no control.
class CNotAControl : public CObject {
  DECLARE_SERIAL(CNotAControl)
};
IMPLEMENT_SERIAL(CNotAControl, CObject, 1)

namespace {

std::vector<BYTE> Bytes(CMemFile& f) {
  const BYTE* p = f.GetData();
  return std::vector<BYTE>(p, p + f.GetLength());
}

template <class F>
std::vector<BYTE> Store(F write) {
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store);
    write(ar);
  }
  return Bytes(f);
}

template <class F>
void Load(const std::vector<BYTE>& data, F read) {
  CMemFile f(const_cast<BYTE*>(data.data()), (UINT)data.size());
  CArchive ar(&f, CArchive::load);
  read(ar);
}

void SetOptions(CCbCommandBarsOptions& o) {
  o.bAlwaysShowFullMenus = FALSE;
  o.bToolBarAccelTips = TRUE;
  o.bLargeIcons = TRUE;
  o.bSyncFloatingBars = FALSE;
  o.bDblClickFloat = TRUE;
  o.bAutoHideUnusedPopups = FALSE;
  o.animationType = 3;
  o.szIcons = CSize(20, 20);
  o.szLargeIcons = CSize(32, 30);
  o.szPopupIcons = CSize(24, 24);
  o.m_mapUsedCommands = {{32811, TRUE}, {32812, TRUE}};
  o.m_mapHiddenCommands = {{57607, TRUE}};
}

void ExpectSameOptions(const CCbCommandBarsOptions& a, const CCbCommandBarsOptions& b) {
  EXPECT_EQ(a.bAlwaysShowFullMenus, b.bAlwaysShowFullMenus);
  EXPECT_EQ(a.bToolBarAccelTips, b.bToolBarAccelTips);
  EXPECT_EQ(a.bLargeIcons, b.bLargeIcons);
  EXPECT_EQ(a.bSyncFloatingBars, b.bSyncFloatingBars);
  EXPECT_EQ(a.bDblClickFloat, b.bDblClickFloat);
  EXPECT_EQ(a.bAutoHideUnusedPopups, b.bAutoHideUnusedPopups);
  EXPECT_EQ(a.animationType, b.animationType);
  EXPECT_EQ(a.szIcons, b.szIcons);
  EXPECT_EQ(a.szLargeIcons, b.szLargeIcons);
  EXPECT_EQ(a.szPopupIcons, b.szPopupIcons);
  EXPECT_EQ(a.m_mapUsedCommands, b.m_mapUsedCommands);
  EXPECT_EQ(a.m_mapHiddenCommands, b.m_mapHiddenCommands);
}

class Exchange : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    CCbPaintManager::SetTheme(2);
  }
};

TEST_F(Exchange, OptionsComeBackEqualAndWriteTheSameBytes) {
  CCbCommandBarsOptions a(nullptr), b(nullptr);
  SetOptions(a);
  CbPaintManager()->m_bIconsWithShadow = TRUE;
  const std::vector<BYTE> first = Store([&](CArchive& ar) { a.Serialize(ar); });
  CbPaintManager()->m_bIconsWithShadow = FALSE;
  Load(first, [&](CArchive& ar) {
    b.Serialize(ar);
    EXPECT_EQ(ar.GetLoadBytesLeft(), 0u);
  });
  ExpectSameOptions(a, b);
  EXPECT_TRUE(CbPaintManager()->m_bIconsWithShadow);
  EXPECT_EQ(Store([&](CArchive& ar) { b.Serialize(ar); }), first);
}

TEST_F(Exchange, SchemaSevenDataSkipsTheNewerValues) {
  CCbCommandBarsOptions a(nullptr), b(nullptr);
  SetOptions(a);
  const std::vector<BYTE> old = Store([&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    px.SetSchema(7);
    a.DoPropExchange(&px);
  });
  Load(old, [&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    b.DoPropExchange(&px);
    EXPECT_EQ(px.GetSchema(), 7);
    EXPECT_EQ(ar.GetLoadBytesLeft(), 0u);
  });
  // Older values are read...
  EXPECT_FALSE(b.bAlwaysShowFullMenus);
  EXPECT_FALSE(b.bSyncFloatingBars);
  EXPECT_EQ(b.szIcons, CSize(20, 20));
  EXPECT_EQ(b.m_mapHiddenCommands, a.m_mapHiddenCommands);
  // ...the newer ones keep their defaults.
  EXPECT_EQ(b.animationType, 0);
  EXPECT_FALSE(b.bDblClickFloat);
  EXPECT_TRUE(b.bAutoHideUnusedPopups);
  EXPECT_EQ(b.szPopupIcons, CSize(16, 16));
  EXPECT_TRUE(b.m_mapUsedCommands.empty());
}

// A toolbar that is never a window: its fields and controls alone.
std::unique_ptr<CCbToolBar, void (*)(CCbToolBar*)> MakeBar() {
  return {new CCbToolBar, [](CCbToolBar* p) { p->InternalRelease(); }};
}

void FillBar(CCbToolBar* bar) {
  bar->SetTitle("Standard");
  bar->SetBarID(0xE800);
  bar->SetFlags(cbFlagAlignTop | cbFlagStretched);
  bar->SetIconSize(CSize(16, 15));
  bar->SetCloseable(FALSE);
  CCbControls* c = bar->GetControls();
  CCbControl* graph = c->Add(cbControlButton, 32811);
  graph->SetCaption("&Graph");
  graph->SetTooltip("Graph");
  graph->SetDescription("Shows the day's tide graph");
  graph->SetStyle(3);
  CCbControl* table = c->Add(cbControlButton, 32812);
  table->SetBeginGroup(TRUE);
  table->SetParameter("table");
  table->SetTag(7);
  CCbControl* label = c->Add(new CCbControlLabel, 0);
  label->SetCaption("Port:");
  c->Add(cbControlButton, 99, CString(), -1, TRUE);  // temporary: not saved
  c->CreateResetCopy();
}

TEST_F(Exchange, ABarWithControlsComesBackEqual) {
  auto a = MakeBar(), b = MakeBar();
  FillBar(a.get());
  const std::vector<BYTE> data = Store([&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    a->DoPropExchange(&px);
  });
  Load(data, [&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    b->DoPropExchange(&px);
    EXPECT_EQ(ar.GetLoadBytesLeft(), 0u);
  });
  EXPECT_TRUE(a->GetControls()->Compare(b->GetControls()));
  EXPECT_EQ(b->GetControlCount(), 3);
  EXPECT_STREQ(b->GetTitle().GetString(), "Standard");
  EXPECT_EQ(b->GetBarID(), 0xE800u);
  EXPECT_EQ(b->GetFlags(), (DWORD)(cbFlagAlignTop | cbFlagStretched));
  EXPECT_FALSE(b->GetCloseable());
  EXPECT_TRUE(b->GetControl(2)->IsKindOf(RUNTIME_CLASS(CCbControlLabel)));
  EXPECT_EQ(b->GetControl(1)->GetTag(), 7);
  EXPECT_EQ(b->GetControl(0)->GetParent(), b.get());
  ASSERT_TRUE(b->GetControls()->GetOriginalControls());
  EXPECT_TRUE(a->GetControls()->GetOriginalControls()->Compare(b->GetControls()->GetOriginalControls()));
  // A change shows: Compare is not trivially true.
  b->GetControl(0)->SetCaption("&Other");
  EXPECT_FALSE(a->GetControls()->Compare(b->GetControls()));
}

TEST_F(Exchange, ABarWrittenAtAnOlderSchemaReadsBackAtIt) {
  auto a = MakeBar(), b = MakeBar();
  FillBar(a.get());
  a->GetControl(0)->SetCaption("&Graph");
  for (int schema : {3, 7}) {
    const std::vector<BYTE> data = Store([&](CArchive& ar) {
      CCbPropExchangeArchive px(ar);
      px.SetSchema(schema);
      a->DoPropExchange(&px);
    });
    Load(data, [&](CArchive& ar) {
      CCbPropExchangeArchive px(ar);
      px.SetSchema(schema);
      b->DoPropExchange(&px);
      EXPECT_EQ(ar.GetLoadBytesLeft(), 0u) << schema;
    });
    EXPECT_TRUE(a->GetControls()->Compare(b->GetControls())) << schema;
  }
}

TEST_F(Exchange, EveryTruncationRaisesAndLeavesNoControlBehind) {
  auto a = MakeBar();
  FillBar(a.get());
  const std::vector<BYTE> data = Store([&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    a->DoPropExchange(&px);
  });
  for (size_t n = 0; n < data.size(); ++n) {
    std::vector<BYTE> part(data.begin(), data.begin() + (long)n);
    auto b = MakeBar();
    BOOL raised = FALSE;
    try {
      Load(part, [&](CArchive& ar) {
        CCbPropExchangeArchive px(ar);
        b->DoPropExchange(&px);
      });
    } catch (CArchiveException* e) {
      raised = e->m_cause == CArchiveException::endOfFile;
      e->Delete();
    }
    EXPECT_TRUE(raised) << "at " << n << " of " << data.size();
  }
}

// Bytes of a bar's own values, so hostile controls sections can follow them.
std::vector<BYTE> BarHead() {
  auto a = MakeBar();
  return Store([&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    int type = 1, pos = 0, id = 0;
    DWORD flags = 0, style = 0;
    CString title("T");
    BOOL custom = TRUE;
    int mru = 0;
    CSize icons(0, 0);
    PX_Int(&px, "Type", type, 1);
    PX_Int(&px, "Position", pos, 0);
    PX_Int(&px, "BarID", id, 0);
    PX_DWord(&px, "Flags", flags, 0);
    PX_DWord(&px, "Style", style, 0);
    PX_String(&px, "Title", title);
    PX_Bool(&px, "Customizable", custom, TRUE);
    PX_Int(&px, "MRUWidth", mru, 0);
    PX_Size(&px, "IconSize", icons, CSize(0, 0));
  });
}

int LoadBarCause(const std::vector<BYTE>& data) {
  auto b = MakeBar();
  try {
    Load(data, [&](CArchive& ar) {
      CCbPropExchangeArchive px(ar);
      b->DoPropExchange(&px);
    });
  } catch (CArchiveException* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST_F(Exchange, HostileControlsSectionsRaiseTheArchivesErrors) {
  const std::vector<BYTE> head = BarHead();
  auto with = [&](const std::vector<BYTE>& tail) {
    std::vector<BYTE> d = head;
    d.insert(d.end(), tail.begin(), tail.end());
    return d;
  };
  // A count of two thousand million controls in a few bytes: refused before anything is made.
  EXPECT_EQ(LoadBarCause(with({0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF})), CArchiveException::endOfFile);
  // One control of a class nobody knows.
  std::vector<BYTE> unknown = {1, 0, 0xFF, 0xFF, 8, 0, 13, 0};
  for (char ch : std::string("CNoSuchClass1")) unknown.push_back((BYTE)ch);
  unknown.resize(unknown.size() + 64, 0);
  EXPECT_EQ(LoadBarCause(with(unknown)), CArchiveException::badClass);
  // One control of a class that is no control.
  std::vector<BYTE> foreign = {1, 0, 0xFF, 0xFF, 1, 0, 12, 0};
  for (char ch : std::string("CNotAControl")) foreign.push_back((BYTE)ch);
  foreign.resize(foreign.size() + 64, 0);
  EXPECT_EQ(LoadBarCause(with(foreign)), CArchiveException::badClass);
}

TEST_F(Exchange, CommandSetsAndBlobsRefuseWhatTheDataCantHold) {
  // A set that claims more entries than there are bytes.
  std::vector<BYTE> set = Store([](CArchive& ar) {
    ar.WriteCount(1000);
    ar << (UINT)1 << (LONG)1;
  });
  std::map<UINT, BOOL> ids = {{5, TRUE}};
  int cause = -1;
  try {
    Load(set, [&](CArchive& ar) {
      CCbPropExchangeArchive px(ar);
      PX_CommandIds(&px, "HiddenCommands", ids);
    });
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CArchiveException::endOfFile);
  EXPECT_EQ(ids.size(), 1u);  // untouched

  // Blobs: too long for their limit fails, longer than the data raises, a fitting one reads.
  const std::vector<BYTE> blob = Store([](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    std::vector<BYTE> b = {1, 2, 3, 4, 5};
    px.ExchangeBytes("Icon", b);
  });
  Load(blob, [](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    std::vector<BYTE> out;
    EXPECT_FALSE(px.ReadBytes("Icon", out, 4));
  });
  Load(blob, [](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    std::vector<BYTE> out;
    EXPECT_TRUE(px.ReadBytes("Icon", out, 5));
    EXPECT_EQ(out, (std::vector<BYTE>{1, 2, 3, 4, 5}));
  });
  std::vector<BYTE> huge = {0xFF, 0xFF, 0xFF, 0x00, 9};
  cause = -1;
  try {
    Load(huge, [](CArchive& ar) {
      CCbPropExchangeArchive px(ar);
      std::vector<BYTE> out;
      px.ReadBytes("Icon", out, kCbPropMaxBlob);
    });
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CArchiveException::endOfFile);
}

TEST(NamedBlobs, TwoLettersAByteAndOddOrOversizeTextFails) {
  const BYTE data[] = {0x00, 0x1F, 0xA5, 0xFF};
  const CString text = CCbPropExchange::EncodeBlob(data, 4);
  EXPECT_STREQ(text.GetString(), "AAPBFKPP");
  std::vector<BYTE> out;
  ASSERT_TRUE(CCbPropExchange::DecodeBlob(text, out, 4));
  EXPECT_EQ(out, std::vector<BYTE>(data, data + 4));
  std::vector<BYTE> keep = {9};
  EXPECT_FALSE(CCbPropExchange::DecodeBlob("AAP", keep, 100));  // odd
  EXPECT_FALSE(CCbPropExchange::DecodeBlob(text, keep, 3));     // too large for the buffer
  EXPECT_FALSE(CCbPropExchange::DecodeBlob("AZ", keep, 100));   // not a half-byte
  EXPECT_EQ(keep, std::vector<BYTE>{9});
}

}  // namespace

// The program's menu bar with its menus and the "Map" bar with its combos, saved as one list of
// bars and read back.
struct ProgramBars {
  CCbFrameWnd* frame = nullptr;
  CCbMenuBar* menu = nullptr;
  CCbToolBar* map = nullptr;
  ProgramBars() {
    frame = new CCbFrameWnd;
    frame->Create(nullptr, "Exchange", WS_POPUP, CRect(0, 0, 800, 300));
    frame->InitCommandBars();
    menu = frame->GetCommandBars()->SetMenu("Menu Bar", 128);
    map = frame->GetCommandBars()->Add("Map", cbBarTop);
    map->LoadToolBar(281);
    for (int width : {120, 80}) {
      auto* combo = new CCbControlComboBox;
      combo->SetWidth(width);
      combo->SetComboStyle(0x40);
      combo->SetCaption(width == 120 ? "Port" : "Zoom");
      combo->AddString("Brest");
      map->GetControls()->Add(combo, 0);
    }
    map->GetControls()->GetAt(map->GetControlCount() - 1)->SetBeginGroup(TRUE);
  }
  ~ProgramBars() {
    if (::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
  }
};

std::vector<BYTE> StoreBars(std::vector<CCbCommandBar*> bars, int schema = kCbPropSchema) {
  return Store([&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    px.SetSchema(schema);
    CCbCommandBar::ExchangeBars(&px, bars);
  });
}

std::vector<CCbCommandBar*> LoadBars(const std::vector<BYTE>& data, int schema = kCbPropSchema) {
  std::vector<CCbCommandBar*> bars;
  Load(data, [&](CArchive& ar) {
    CCbPropExchangeArchive px(ar);
    px.SetSchema(schema);
    CCbCommandBar::ExchangeBars(&px, bars);
    EXPECT_EQ(ar.GetLoadBytesLeft(), 0u);
  });
  return bars;
}

void ReleaseBars(std::vector<CCbCommandBar*>& bars) {
  for (CCbCommandBar* b : bars) b->InternalRelease();
  bars.clear();
}

int CountPopups(CCbCommandBar* bar) {
  int n = 0;
  for (int i = 0; i < bar->GetControlCount(); ++i)
    if (auto* p = dynamic_cast<CCbControlPopup*>(bar->GetControl(i));
        p && p->GetCommandBar() && !p->IsKindOf(RUNTIME_CLASS(CCbControlComboBox)))
      n += 1 + CountPopups(p->GetCommandBar());
  return n;
}

TEST_F(Exchange, TheMenuBarWithItsMenusAndTheMapBarWithItsCombosComeBackEqual) {
  ProgramBars f;
  ASSERT_TRUE(f.menu);
  ASSERT_GT(CountPopups(f.menu), 3);
  auto* firstMenu = dynamic_cast<CCbPopupBar*>(f.menu->GetControl(0)->GetCommandBar());
  ASSERT_TRUE(firstMenu);
  firstMenu->SetBorders(CRect(1, 2, 3, 5));
  firstMenu->SetShowShadow(FALSE);
  for (int schema : {3, 7, kCbPropSchema}) {
    std::vector<CCbCommandBar*> back = LoadBars(StoreBars({f.menu, f.map}, schema), schema);
    ASSERT_EQ(back.size(), 2u) << schema;
    auto* menu = dynamic_cast<CCbMenuBar*>(back[0]);
    ASSERT_TRUE(menu) << schema;
    EXPECT_EQ(menu->GetResourceId(), 128u);
    EXPECT_TRUE(f.menu->GetControls()->Compare(menu->GetControls())) << schema;
    EXPECT_EQ(CountPopups(menu), CountPopups(f.menu));
    auto* menu0 = dynamic_cast<CCbPopupBar*>(menu->GetControl(0)->GetCommandBar());
    ASSERT_TRUE(menu0);
    // Borders and shadow are newer than schema 3.
    EXPECT_EQ(menu0->GetBorders(), schema >= 4 ? CRect(1, 2, 3, 5) : CRect(2, 4, 2, 4)) << schema;
    EXPECT_EQ(menu0->GetShowShadow(), schema >= 4 ? FALSE : TRUE) << schema;
    EXPECT_TRUE(f.map->GetControls()->Compare(back[1]->GetControls())) << schema;
    auto* combo = dynamic_cast<CCbControlComboBox*>(back[1]->GetControl(back[1]->GetControlCount() - 2));
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->GetWidth(), 120);
    EXPECT_EQ(combo->GetComboStyle(), 0x40u);
    EXPECT_TRUE(combo->GetCommandBar());  // its own list
    // A changed menu item shows.
    menu0->GetControl(0)->SetCaption("Other");
    EXPECT_FALSE(f.menu->GetControls()->Compare(menu->GetControls()));
    ReleaseBars(back);
  }
}

TEST_F(Exchange, EveryTruncationOfTheMenuBarRaisesAndKeepsNothing) {
  ProgramBars f;
  const std::vector<BYTE> data = StoreBars({f.menu, f.map});
  // Every cut point would take long over the whole menu: a spread of them, the end included.
  for (size_t n = 0; n < data.size(); n += 1 + n / 16) {
    std::vector<BYTE> part(data.begin(), data.begin() + (long)n);
    BOOL raised = FALSE;
    try {
      LoadBars(part);
    } catch (CArchiveException* e) {
      raised = e->m_cause == CArchiveException::endOfFile;
      e->Delete();
    }
    EXPECT_TRUE(raised) << "at " << n << " of " << data.size();
  }
}

// A bar list whose popup control points at the wrong bar raises instead of looping.
TEST_F(Exchange, PopupsReferringToThemselvesOrNoPopupRaise) {
  auto holder = [](CCbCommandBar* bar) {
    auto* p = new CCbControlPopup;
    bar->GetControls()->Add(p, 5);
    p->EnsurePopupBar();
    return p;
  };
  for (UINT id : {0u, 1u, 9u, 2u}) {
    auto a = MakeBar();
    CCbControlPopup* p = holder(a.get());
    std::vector<BYTE> data = StoreBars({a.get()});
    // Rewrite the stored number: 0 the toolbar itself (no popup), 1 the popup (fine), 9 none,
    // 2 a popup whose own item reaches back to it.
    if (id == 2) {
      CCbCommandBar* pop = p->GetCommandBar();
      auto* back = new CCbControlPopup;
      pop->GetControls()->Add(back, 6);
      back->SetCommandBar(pop);
      // Written by hand: the saver never makes a cycle, so number it as the loader sees it.
      std::vector<CCbCommandBar*> list = {a.get()};
      data = StoreBars(list);
      back->SetCommandBar(nullptr);
      pop->GetControls()->RemoveAll();
    } else {
      p->m_nCommandBarId = id;
      std::vector<CCbCommandBar*> list = {a.get(), p->GetCommandBar()};
      data = Store([&](CArchive& ar) {
        CCbPropExchangeArchive px(ar);
        std::unique_ptr<CCbPropExchangeEnumerator> e(px.EnumerateSections("Bar"));
        e->Start(2);
        for (CCbCommandBar* b : list) {
          std::unique_ptr<CCbPropExchange> sec(e->Next());
          CRuntimeClass* cls = b->GetRuntimeClass();
          sec->ExchangeClass("Class", cls, nullptr);
          b->DoPropExchange(sec.get());
        }
      });
    }
    int cause = -1;
    std::vector<CCbCommandBar*> back;
    try {
      back = LoadBars(data);
    } catch (CArchiveException* e) {
      cause = e->m_cause;
      e->Delete();
    }
    if (id == 1) {
      EXPECT_EQ(cause, -1);
      EXPECT_EQ(back.size(), 1u);
    } else {
      EXPECT_EQ(cause, (int)CArchiveException::badIndex) << id;
    }
    ReleaseBars(back);
  }
}
