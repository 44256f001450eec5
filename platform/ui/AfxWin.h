// Everything of the user-interface layer in one include: windows, messages, drawing,
// menus, message boxes and resources, over the core layer.
#pragma once

#include "platform/core/Afx.h"
#include "platform/ui/Accel.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/CmdTarget.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/FrameWnd.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Icons.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PrintDC.h"
#include "platform/ui/SysInfo.h"
#include "platform/ui/UiResources.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/Wnd.h"
