// Windows that destroy themselves from inside their own handlers: the object (deleted by
// PostNcDestroy for frames and auto-delete controls) stays until the handler has returned.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"

#include <gtest/gtest.h>

namespace {

bool g_frameDeleted = false;

class CClosingFrame : public CFrameWnd {
 public:
  CString m_state = "open";
  bool m_deletedInHandler = true;
  ~CClosingFrame() override { g_frameDeleted = true; }
  void OnClose() {
    DestroyWindow();
    m_deletedInHandler = g_frameDeleted;
    // Still a valid object: its members can be used, and the handle is gone.
    m_state = "closed";
    EXPECT_EQ(m_hWnd, nullptr);
    EXPECT_EQ(m_state, CString("closed"));
    EXPECT_FALSE(g_frameDeleted);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CClosingFrame, CFrameWnd)
  ON_WM_CLOSE()
END_MESSAGE_MAP()

bool g_editDeleted = false;

// An edit that goes away on Esc and then lets the base class see the key.
class CVanishingEdit : public CEdit {
 public:
  ~CVanishingEdit() override { g_editDeleted = true; }
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_ESCAPE) {
      DestroyWindow();
      EXPECT_FALSE(g_editDeleted);
    }
    CEdit::OnChar(nChar, nRepCnt, nFlags);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CVanishingEdit, CEdit)
  ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(SelfDestruction, AFrameClosingItselfIsDeletedOnlyAfterItsHandlerReturns) {
  AfxWinInit(0, nullptr);
  g_frameDeleted = false;
  auto* frame = new CClosingFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Closing", WS_POPUP | WS_VISIBLE, CRect(10, 10, 200, 100)));
  HWND h = frame->m_hWnd;
  ::SendMessage(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(g_frameDeleted);
  EXPECT_FALSE(::IsWindow(h));
  AfxTestWait(5);
}

TEST(SelfDestruction, AnAutoDeleteControlDestroyedByItsOwnKeyHandlerDoesNotCrash) {
  AfxWinInit(0, nullptr);
  g_editDeleted = false;
  CWnd host;
  ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 20, 20, 200, 80, nullptr, nullptr));
  auto* edit = new CVanishingEdit;
  edit->m_bAutoDelete = TRUE;
  ASSERT_TRUE(edit->Create(WS_CHILD | WS_VISIBLE, CRect(5, 5, 150, 25), &host, 7));
  HWND h = edit->m_hWnd;
  edit->SetFocus();
  AfxTestKeyStroke('A', 0, "a");
  EXPECT_FALSE(g_editDeleted);
  AfxTestKeyStroke(VK_ESCAPE, 0, "\x1b");
  EXPECT_TRUE(g_editDeleted);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(host.GetDlgItem(7), nullptr);
  host.DestroyWindow();
  AfxTestWait(5);
}

}  // namespace
