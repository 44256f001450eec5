// The application profile: integer, string and binary values by section and entry, kept per user
// in $XDG_CONFIG_HOME/Neapwise/Neapwise.conf (~/.config when XDG_CONFIG_HOME is unset).
//
// Every write saves the whole file safely (temporary file, then rename) and returns FALSE when
// that fails; the value is kept in memory all the same. A file that cannot be parsed is moved
// aside (Neapwise.conf.bad) when it is first read, and the profile starts empty; so is one that
// is not a regular file. No read takes more than 16 MiB.
// Sections and entries are matched without regard to ASCII case, as the registry does.
// Thread-safe.
#pragma once

#include "platform/core/AfxObject.h"
#include "platform/core/AfxString.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One settings file.
class CProfileStore {
 public:
  explicit CProfileStore(const CString& strPath);
  ~CProfileStore();
  CProfileStore(const CProfileStore&) = delete;
  CProfileStore& operator=(const CProfileStore&) = delete;

  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
  // *ppData is allocated with new BYTE[] (the caller deletes it with delete[]).
  BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  // A null value removes the entry; a null entry removes the whole section.
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
  BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, const BYTE* pData, UINT nBytes);

  // While deferred, writes only change memory; EndDeferredWrites saves once.
  void BeginDeferredWrites();
  BOOL EndDeferredWrites();
  BOOL Save();

  CString GetPath() const { return m_strPath; }
  CString GetLastError() const;       // text of the last failed save or load
  CString GetMovedAsidePath() const;  // where a bad file went, empty when none
  // Why the settings could not be read when first read (damaged, not a file, unreadable),
  // what became of the file and that the settings are at their defaults, ready to show;
  // empty when they were read (or there were none).
  CString GetLoadProblem() const;

 private:
  struct Entry {
    std::string name;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  typedef std::vector<Section> Sections;
  // A change not yet saved; saving applies the changes to the file as it is then, so
  // several programs sharing the file lose none of each other's changes.
  struct Change {
    int kind;
    std::string section;
    std::string entry;
    std::string value;
  };
  enum ReadResult { readMissing, readOk, readCorrupt, readFailed };

  void EnsureLoaded();  // with m_mutex held
  ReadResult ReadFile(Sections& out);
  static BOOL Parse(const std::string& text, Sections& out, std::string* pReason = nullptr);
  static std::string Serialise(const Sections& sections);
  static Section* FindSection(Sections& sections, LPCTSTR lpszSection, bool bCreate);
  static Entry* FindEntry(Section* pSection, LPCTSTR lpszEntry, bool bCreate);
  static bool Apply(Sections& sections, const Change& change);
  const std::string* FindValue(LPCTSTR lpszSection, LPCTSTR lpszEntry);
  BOOL Record(const Change& change);  // with m_mutex held
  BOOL SaveLocked();
  void MoveAside();

  mutable std::mutex m_mutex;
  CString m_strPath;
  bool m_bLoaded = false;
  bool m_bReadFailed = false;  // an existing file could not be read: never overwrite it
  int m_nDeferred = 0;
  Sections m_sections;
  std::vector<Change> m_pending;
  CString m_strLastError;
  CString m_strMovedAside;
  CString m_strBadReason;  // why the file last read is not good settings
  CString m_strLoadProblem;
};

// The application object's framework-independent part: names and profile. The GUI layer's
// application class derives from it (a plain base, no CObject, so it mixes in beside the
// thread class); without one, AfxGetApp() gives a default object named "Neapwise".
class CWinAppBase {
 public:
  explicit CWinAppBase(LPCTSTR lpszAppName = nullptr);
  virtual ~CWinAppBase();
  CWinAppBase(const CWinAppBase&) = delete;
  CWinAppBase& operator=(const CWinAppBase&) = delete;

  // Chooses the profile's maker key (kept with the profile; the file is the same).
  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  void SetAppName(LPCTSTR lpszAppName);
  CString GetAppName() const { return m_strAppName; }
  CString GetRegistryKey() const { return m_strRegistryKey; }

  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
  BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
  BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);

  // The store, opened on first use at AfxGetProfilePath().
  CProfileStore& GetProfileStore();
  // Drops the store so the next access opens it again (tests that change XDG_CONFIG_HOME).
  void ResetProfile();

 protected:
  CString m_strAppName;
  CString m_strRegistryKey;

 private:
  friend CWinAppBase* AfxGetApp();
  struct DefaultTag {};
  CWinAppBase(LPCTSTR lpszAppName, DefaultTag);  // the fallback object, not made current

  std::mutex m_profileMutex;
  std::unique_ptr<CProfileStore> m_pProfile;
};

// The current application object (the last one constructed and still alive), or the default.
CWinAppBase* AfxGetApp();

// $XDG_CONFIG_HOME/<app name>/<app name>.conf
CString AfxGetProfilePath();
