#include "app/AppShared.h"

CString GetUserDataFolder() { return AfxGetUserDataFolder(); }
