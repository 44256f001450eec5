// Folders of the program and of the user. Paths are UTF-8 with '/' separators.
#pragma once

#include "platform/core/AfxString.h"

// The per-user data folder: $XDG_DATA_HOME/Neapwise (~/.local/share/Neapwise when unset),
// created when missing; empty when it cannot be created (user files are then not saved).
CString AfxGetUserDataFolder();
// Where the per-user data folder is, whether or not it exists.
CString AfxGetUserDataFolderPath();
// Empty when the per-user data folder exists or could be made; else why not and where the
// user's files would have gone, ready to show.
CString AfxGetUserDataFolderProblem();

// The per-user settings folder: $XDG_CONFIG_HOME/Neapwise (~/.config/Neapwise when unset).
// Not created here.
CString AfxGetUserConfigFolder();

// The program's data folder (harmonics grid, coastlines, tips): $NEAPWISE_DATA_DIR when set;
// the build tree's data folder when the program runs from the build tree; else the installed
// data folder (relative to the program's install prefix).
CString AfxGetDataFolder();

// The folder holding the running program, and its full path.
CString AfxGetProgramFolder();
CString AfxGetModuleFileName();

// folder + "/" + name (no doubled separator); backslashes in name become '/'.
CString AfxAppendPath(const CString& strFolder, LPCTSTR lpszName);

// Creates a folder and its parents; TRUE when it exists afterwards.
BOOL AfxCreateFolder(const CString& strFolder);

// The framework's short-path query, for callers that must hand a path of fewer than 256
// characters to the engine. A path that is short enough is returned as it stands; a longer one
// becomes "/proc/self/fd/<n>" of a handle kept open for the rest of the run. Returns the length
// written (without the NUL), the size needed (with the NUL) when the buffer is too small, or 0
// when the path does not exist.
DWORD GetShortPathName(LPCTSTR lpszLongPath, LPTSTR lpszShortPath, DWORD cchBuffer);
