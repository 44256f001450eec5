// What the ports tree, the port-name strip and the Select Port dialog ask of the main frame.
// The frame implements it and registers itself; tests fake it.
#pragma once

#include "platform/ui/AfxWin.h"

class CPortDB;
class CPortHistory;
class VxMenu;

class IPortsHost {
 public:
  virtual ~IPortsHost() = default;

  // The main window: owner of the context menus, which send their commands there.
  virtual CWnd* GetMainWindow() = 0;
  // The frame's owner-drawn menu, which the context menus are loaded into.
  virtual VxMenu* GetContextMenu() = 0;
  // The frame's port table (loaded), and its recent ports.
  virtual CPortDB* GetPortDB() = 0;
  virtual CPortHistory* GetPortHistory() = 0;
  // True once the graph shows a prediction.
  virtual BOOL IsGraphCalculated() const = 0;

  virtual void SelectPort(int nPort) = 0;
  virtual void CalculateGraph() = 0;
};

// The frame registers itself (null withdraws it); the windows ask it unless given their own.
void SetPortsHost(IPortsHost* pHost);
IPortsHost* GetPortsHost();
