// The edit window of the bars' edit and combo controls: a standard edit control painted through
// a buffer, with the toolkit's own cut/copy/paste popup.
#pragma once

#include "platform/ui/AfxWin.h"

class CCbEdit : public CEdit {
  DECLARE_DYNAMIC(CCbEdit)
  DECLARE_MESSAGE_MAP()
 public:
  static constexpr UINT kCut = 57635, kCopy = 57634, kPaste = 57637;

  CCbEdit() = default;
  ~CCbEdit() override;

  // The popup is offered only when the program has a text for the cut command.
  static BOOL HasEditCommands();
  // Whether the command may run now: cut and copy need a selection, paste text on the clipboard.
  BOOL IsCommandEnabled(UINT nID) const;
  // Carries out cut, copy or paste as the edit's own messages.
  void DoCommand(UINT nID);
  // Whether a right click on this edit opens the popup (not on a list-kind bar).
  virtual BOOL IsContextMenuAllowed() const { return TRUE; }
  // Shows the popup at the screen point; returns the chosen command, 0 for none.
  virtual UINT TrackEditPopup(CPoint ptScreen);
  // The command bars whose popup the menu is (none: no menu).
  virtual class CCbCommandBars* GetEditCommandBars() const { return nullptr; }

  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnContextMenu(CWnd* pWnd, CPoint point);
};
