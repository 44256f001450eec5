#include "platform/core/AfxFolders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#ifndef NEAPWISE_DATA_INSTALL_DIR
#define NEAPWISE_DATA_INSTALL_DIR "share/neapwise"
#endif
#ifndef NEAPWISE_DATA_BUILD_DIR
#define NEAPWISE_DATA_BUILD_DIR ""
#endif
#ifndef NEAPWISE_BUILD_TREE_DIR
#define NEAPWISE_BUILD_TREE_DIR ""
#endif
#ifndef NEAPWISE_INSTALL_PREFIX
#define NEAPWISE_INSTALL_PREFIX "/usr/local"
#endif

namespace {
const char* const kAppFolder = "Neapwise";

CString HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return CString(home);
  if (struct passwd* pw = ::getpwuid(::getuid()))
    if (pw->pw_dir && *pw->pw_dir == '/') return CString(pw->pw_dir);
  return CString("/tmp");
}

// An XDG base folder: the variable when it holds an absolute path, else the fallback under home.
CString XdgFolder(const char* variable, const char* fallbackUnderHome) {
  const char* v = std::getenv(variable);
  if (v && *v == '/') return CString(v);
  return AfxAppendPath(HomeFolder(), fallbackUnderHome);
}

CString RealPath(const CString& path) {
  char buf[PATH_MAX];
  if (!path.IsEmpty() && ::realpath(path, buf)) return CString(buf);
  return path;
}

bool IsFolder(const CString& path) {
  struct stat st;
  return !path.IsEmpty() && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

CString ParentOf(const CString& path) {
  int n = path.ReverseFind('/');
  if (n <= 0) return CString("/");
  return path.Left(n);
}
}  // namespace

CString AfxAppendPath(const CString& strFolder, LPCTSTR lpszName) {
  CString name(lpszName);
  name.Replace('\\', '/');
  name.TrimLeft('/');
  if (strFolder.IsEmpty()) return name;
  CString folder(strFolder);
  if (folder.GetLength() > 1) folder.TrimRight('/');
  if (name.IsEmpty()) return folder;
  if (folder == "/") return folder + name;
  return folder + "/" + name;
}

BOOL AfxCreateFolder(const CString& strFolder) {
  if (strFolder.IsEmpty()) return FALSE;
  if (IsFolder(strFolder)) return TRUE;
  CString parent = ParentOf(strFolder);
  if (parent != strFolder && !IsFolder(parent)) AfxCreateFolder(parent);
  if (::mkdir(strFolder, 0755) != 0 && errno != EEXIST) return FALSE;
  return IsFolder(strFolder);
}

CString AfxGetModuleFileName() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return CString();
  return CString(buf, (int)n);
}

CString AfxGetProgramFolder() {
  CString exe = AfxGetModuleFileName();
  if (exe.IsEmpty()) return CString(".");
  return ParentOf(exe);
}

CString AfxGetUserConfigFolder() { return AfxAppendPath(XdgFolder("XDG_CONFIG_HOME", ".config"), kAppFolder); }

CString AfxGetUserDataFolderPath() { return AfxAppendPath(XdgFolder("XDG_DATA_HOME", ".local/share"), kAppFolder); }

CString AfxGetUserDataFolder() {
  CString folder = AfxGetUserDataFolderPath();
  if (AfxCreateFolder(folder)) return folder;
  // Never the program's own folder: installed, that is a system folder, not the user's.
  return CString();
}

CString AfxGetUserDataFolderProblem() {
  const CString folder = AfxGetUserDataFolderPath();
  errno = 0;
  if (AfxCreateFolder(folder)) return CString();
  const int err = errno;
  CString why;
  if (err == EEXIST || err == 0)
    why = "something that is not a folder has its name";
  else
    why = std::strerror(err);
  CString s;
  s.Format(
      "The folder for your own files, \"%s\", could not be made (%s). The tidal log and the routes "
      "are not saved while Neapwise runs; they would have been saved in that folder.",
      folder.GetString(), why.GetString());
  return s;
}

CString AfxGetDataFolder() {
  const char* env = std::getenv("NEAPWISE_DATA_DIR");
  if (env && *env) return CString(env);

  CString exe = RealPath(AfxGetModuleFileName());
  CString buildTree = RealPath(CString(NEAPWISE_BUILD_TREE_DIR));
  if (!buildTree.IsEmpty() && !exe.IsEmpty() && exe.Left(buildTree.GetLength() + 1) == buildTree + "/" &&
      *NEAPWISE_DATA_BUILD_DIR)
    return CString(NEAPWISE_DATA_BUILD_DIR);

  CString installDir(NEAPWISE_DATA_INSTALL_DIR);
  if (installDir.Left(1) == "/") return installDir;
  // Installed programs live in <prefix>/bin; the data is under the same prefix.
  if (!exe.IsEmpty()) {
    CString candidate = AfxAppendPath(ParentOf(ParentOf(exe)), installDir);
    if (IsFolder(candidate)) return candidate;
  }
  return AfxAppendPath(CString(NEAPWISE_INSTALL_PREFIX), installDir);
}

DWORD GetShortPathName(LPCTSTR lpszLongPath, LPTSTR lpszShortPath, DWORD cchBuffer) {
  if (lpszLongPath == nullptr) return 0;
  struct stat st;
  if (::stat(lpszLongPath, &st) != 0) return 0;
  std::string result(lpszLongPath);
  if (result.size() >= 256) {
    // One handle per path, kept for the run: the short name must stay valid.
    static std::mutex mutex;
    static std::map<std::string, int> handles;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = handles.find(result);
    if (it == handles.end()) {
      int fd = ::open(lpszLongPath, O_PATH | O_CLOEXEC);
      if (fd < 0) return 0;
      it = handles.emplace(result, fd).first;
    }
    result = "/proc/self/fd/" + std::to_string(it->second);
  }
  if (lpszShortPath == nullptr || cchBuffer <= result.size()) return (DWORD)result.size() + 1;
  std::memcpy(lpszShortPath, result.c_str(), result.size() + 1);
  return (DWORD)result.size();
}
