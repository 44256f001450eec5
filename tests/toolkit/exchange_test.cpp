// The property exchange over the archive: options and a bar with its controls come back equal,
// older data skips the newer values, and short or hostile data raises the archive's errors
// instead of crashing or allocating what the data can't hold.
#include "toolkit/CbCommandBars.h"
#include "toolkit/CbPaintManager.h"
#include "toolkit/CbPropExchange.h"
#include "platform/core/AfxFile.h"

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
  EXPECT_FALSE(CCbPropExchange::DecodeBlob("AAP", keep, 100));      // odd
  EXPECT_FALSE(CCbPropExchange::DecodeBlob(text, keep, 3));        // too large for the buffer
  EXPECT_FALSE(CCbPropExchange::DecodeBlob("AZ", keep, 100));      // not a half-byte
  EXPECT_EQ(keep, std::vector<BYTE>{9});
}

}  // namespace
