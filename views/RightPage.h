// What the frame's Print and Save As commands ask of the page the right pane shows, so the
// frame calls the visible page instead of asking which one it is.
#pragma once

#include "platform/ui/AfxWin.h"

class IRightPage {
 public:
  // Asks for a printer and prints the page; CanPrint: whether there is something to print.
  virtual void Print() = 0;
  virtual BOOL CanPrint() const = 0;
  // Saves the page to a file the user picks; a page that saves nothing keeps these.
  virtual void SaveAs() {}
  virtual BOOL CanSaveAs() const { return FALSE; }
  // The string the Save As item reads on this page, or 0 to leave the item's text as it is.
  virtual UINT GetSaveAsTextId() const { return 0; }

 protected:
  ~IRightPage() = default;
};
