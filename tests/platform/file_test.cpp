#include "platform/core/Afx.h"

#include "tests/platform/TestUtil.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

namespace {

// The cause of the CFileException that fn throws, or -1.
template <typename Fn>
int FileCause(Fn fn) {
  try {
    fn();
  } catch (CFileException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST(MemFile, AttachedReadOnlyBuffer) {
  static const BYTE data[] = {1, 2, 3, 4, 5};
  CMemFile f(data, sizeof data);
  EXPECT_EQ(5u, f.GetLength());
  BYTE buf[8] = {};
  EXPECT_EQ(3u, f.Read(buf, 3));
  EXPECT_EQ(2u, f.Read(buf, 8));
  EXPECT_EQ(0u, f.Read(buf, 8));
  EXPECT_EQ(1u, f.Seek(1, CFile::begin));
  EXPECT_EQ(4u, f.Seek(-1, CFile::end));
  EXPECT_EQ(10u, f.Seek(6, CFile::current));
  EXPECT_EQ(0u, f.Read(buf, 1));  // past the end reads nothing
  EXPECT_EQ(CFileException::badSeek, FileCause([&] { f.Seek(-11, CFile::current); }));
  EXPECT_EQ(CFileException::accessDenied, FileCause([&] { f.Write("x", 1); }));
  EXPECT_EQ(1, data[0]);
}

TEST(MemFile, AttachedWritableBufferDoesNotGrowWithoutGrowBytes) {
  BYTE data[4] = {9, 9, 9, 9};
  CMemFile f(data, sizeof data);
  f.Write("ab", 2);
  EXPECT_EQ('a', data[0]);
  bool memory = false;
  try {
    f.Write("xyz", 3);
  } catch (CMemoryException* e) {
    memory = true;
    e->Delete();
  }
  EXPECT_TRUE(memory);
}

TEST(MemFile, AttachedBufferWithGrowthMovesToOwnMemory) {
  BYTE data[4] = {0, 0, 0, 0};
  CMemFile f(data, sizeof data, 16);
  EXPECT_EQ(0u, f.GetLength());  // room to write into, no data yet
  f.Write("abcdef", 6);
  EXPECT_EQ(6u, f.GetLength());
  EXPECT_EQ(0, std::memcmp(f.GetData(), "abcdef", 6));
  EXPECT_EQ(0, data[0]);  // the caller's buffer was not grown in place
}

TEST(MemFile, OwnedMemoryGrowsAndFillsGaps) {
  CMemFile f(1024);
  f.Seek(3, CFile::begin);
  f.Write("x", 1);
  ASSERT_EQ(4u, f.GetLength());
  EXPECT_EQ(0, std::memcmp(f.GetData(), "\0\0\0x", 4));
  std::string big(5000, 'q');
  f.Write(big.data(), (UINT)big.size());
  EXPECT_EQ(5004u, f.GetLength());
  f.SetLength(2);
  EXPECT_EQ(2u, f.GetPosition());
  BYTE* p = f.Detach();
  EXPECT_EQ(0u, f.GetLength());
  std::free(p);
}

TEST(File, OpenFailuresAreReportedWithTheirCause) {
  TempDir dir;
  WriteBytes(dir.File("exists"), "data");
  struct Case {
    std::string path;
    UINT flags;
    int cause;
  };
  const Case cases[] = {
      {dir.File("missing"), CFile::modeRead, CFileException::fileNotFound},
      {dir.File("no/such/folder/x"), CFile::modeCreate | CFile::modeWrite, CFileException::badPath},
      {dir.File("exists/below"), CFile::modeRead, CFileException::badPath},
      {dir.Path(), CFile::modeRead, CFileException::accessDenied},
      {"", CFile::modeRead, CFileException::badPath},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(c.path.c_str(), c.flags, &e));
    EXPECT_EQ(c.cause, e.m_cause);
    EXPECT_EQ(CString(c.path.c_str()), e.m_strFileName);
    EXPECT_FALSE(f.IsOpen());
    // The throwing constructor reports the same cause.
    EXPECT_EQ(c.cause, FileCause([&] { CFile g(c.path.c_str(), c.flags); }));
  }
}

TEST(File, WriteReadSeekAndLength) {
  TempDir dir;
  const std::string path = dir.File("f.bin");
  {
    CFile f(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    f.Write("hello world", 11);
    EXPECT_EQ(11u, f.GetLength());
    EXPECT_EQ(6u, f.Seek(6, CFile::begin));
    char buf[16] = {};
    EXPECT_EQ(5u, f.Read(buf, sizeof buf));
    EXPECT_STREQ("world", buf);
    f.SetLength(5);
    EXPECT_EQ(CString("f.bin"), f.GetFileName());
    EXPECT_EQ(CString("f"), f.GetFileTitle());
    f.Close();
  }
  EXPECT_EQ("hello", ReadBytes(path));
  // Create without truncation keeps the bytes.
  CFile g(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
  EXPECT_EQ(5u, g.GetLength());

  CFileStatus st;
  EXPECT_TRUE(CFile::GetStatus(path.c_str(), st));
  EXPECT_EQ(5u, st.m_size);
  EXPECT_GT(st.m_mtime, 0);
  EXPECT_FALSE(CFile::GetStatus(dir.File("missing").c_str(), st));
}

TEST(File, DiskFullIsReported) {
  CFile f;
  if (!f.Open("/dev/full", CFile::modeWrite)) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(CFileException::diskFull, FileCause([&] { f.Write("x", 1); }));
}

TEST(File, ExclusiveShareModeKeepsOthersOut) {
  TempDir dir;
  const std::string path = dir.File("locked");
  CFile a(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
  a.Write("keep", 4);
  CFile b;
  CFileException e;
  EXPECT_FALSE(b.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite, &e));
  EXPECT_EQ(CFileException::sharingViolation, e.m_cause);
  a.Close();
  EXPECT_EQ("keep", ReadBytes(path));  // the refused opener did not truncate it
  EXPECT_TRUE(b.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &e));
}

TEST(File, RenameAndRemoveThrowOnFailure) {
  TempDir dir;
  WriteBytes(dir.File("a"), "1");
  CFile::Rename(dir.File("a").c_str(), dir.File("b").c_str());
  EXPECT_TRUE(Exists(dir.File("b")));
  EXPECT_EQ(CFileException::fileNotFound,
            FileCause([&] { CFile::Rename(dir.File("a").c_str(), dir.File("c").c_str()); }));
  CFile::Remove(dir.File("b").c_str());
  EXPECT_EQ(CFileException::fileNotFound, FileCause([&] { CFile::Remove(dir.File("b").c_str()); }));
}

TEST(StdioFile, ReadsLinesWithEitherLineEnd) {
  TempDir dir;
  const std::string path = dir.File("tips.txt");
  std::string longLine(1500, 'x');
  WriteBytes(path, "first\r\nsecond\n\n" + longLine + "\nlast");
  CStdioFile f(path.c_str(), CFile::modeRead | CFile::typeText);
  CString line;
  std::vector<std::string> lines;
  while (f.ReadString(line)) lines.push_back(line.GetStdString());
  EXPECT_EQ((std::vector<std::string>{"first", "second", "", longLine, "last"}), lines);
  EXPECT_FALSE(f.ReadString(line));

  f.SeekToBegin();
  char buf[1001];
  ASSERT_NE(nullptr, f.ReadString(buf, sizeof buf));
  EXPECT_STREQ("first\n", buf);  // newline kept, CR dropped
  ASSERT_NE(nullptr, f.ReadString(buf, 4));
  EXPECT_STREQ("sec", buf);  // a long line comes in pieces
}

TEST(StdioFile, WritesTextAndAppends) {
  TempDir dir;
  const std::string path = dir.File("out.txt");
  {
    CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    f.WriteString("Date/Time,Height(m)\n");
    CString row;
    row.Format("%d/%d/%d,%d:%d,%0.2f\n", 1, 3, 2011, 0, 10, 4.567);
    f.WriteString(row);
    f.Close();
  }
  {
    CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    f.WriteString("end\n");
  }
  EXPECT_EQ("Date/Time,Height(m)\n1/3/2011,0:10,4.57\nend\n", ReadBytes(path));
}

TEST(SafeSave, CommitReplacesTheFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.File("logdata.dat");
  WriteBytes(path, "old");
  CSafeSaveFile f;
  CFileException e;
  ASSERT_TRUE(f.Open(path.c_str(), &e));
  {
    CArchive ar(&f, CArchive::store);
    ar << 4689 << 2002;
    ar.Close();
  }
  EXPECT_EQ("old", ReadBytes(path));  // nothing changes before the commit
  ASSERT_TRUE(f.Commit(&e));
  EXPECT_EQ(std::string("\x51\x12\x00\x00\xD2\x07\x00\x00", 8), ReadBytes(path));
  EXPECT_EQ((std::vector<std::string>{"logdata.dat"}), ListDir(dir.Path()));
}

TEST(SafeSave, AFailedWriteKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir.File("routes.dat");
  WriteBytes(path, "precious");
  try {
    CSafeSaveFile f;
    CFileException e;
    ASSERT_TRUE(f.Open(path.c_str(), &e));
    CArchive ar(&f, CArchive::store);
    ar << 1 << CString("half written");
    ar.Flush();
    AfxThrowFileException(CFileException::diskFull, 28, path.c_str());  // as a full disk would
  } catch (CFileException* e) {
    e->Delete();
  }
  EXPECT_EQ("precious", ReadBytes(path));
  EXPECT_EQ((std::vector<std::string>{"routes.dat"}), ListDir(dir.Path()));
}

TEST(SafeSave, AFailedCommitIsReported) {
  TempDir dir;
  const std::string path = dir.File("x.dat");
  CSafeSaveFile f;
  CFileException e;
  ASSERT_TRUE(f.Open(path.c_str(), &e));
  f.Write("new", 3);
  // Something else takes the name meanwhile, as a folder: the rename cannot happen.
  ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
  WriteBytes(path + "/inside", "kept");
  EXPECT_FALSE(f.Commit(&e));
  EXPECT_EQ(CFileException::accessDenied, e.m_cause);
  EXPECT_EQ("kept", ReadBytes(path + "/inside"));
  EXPECT_EQ((std::vector<std::string>{"x.dat"}), ListDir(dir.Path()));
  // Close after a failure has nothing left to do.
  f.Close();
}

TEST(SafeSave, OneCallHelperAndMissingFolder) {
  TempDir dir;
  const std::string path = dir.File("export.csv");
  CFileException e;
  EXPECT_TRUE(AfxSaveFileSafely(path.c_str(), "a,b\n", 4, &e));
  EXPECT_EQ("a,b\n", ReadBytes(path));
  EXPECT_FALSE(AfxSaveFileSafely(dir.File("none/export.csv").c_str(), "x", 1, &e));
  EXPECT_EQ(CFileException::badPath, e.m_cause);
}

TEST(SafeSave, KeepsTheTargetsPermissions) {
  TempDir dir;
  const std::string path = dir.File("p");
  WriteBytes(path, "1");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(AfxSaveFileSafely(path.c_str(), "2", 1));
  struct stat st;
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 0777);
}

TEST(SafeSave, ThroughASymbolicLinkTheLinkStays) {
  TempDir dir;
  WriteBytes(dir.File("real.conf"), "old");
  ASSERT_EQ(0, ::symlink(dir.File("real.conf").c_str(), dir.File("link.conf").c_str()));
  ASSERT_TRUE(AfxSaveFileSafely(dir.File("link.conf").c_str(), "new", 3));
  struct stat st;
  ASSERT_EQ(0, ::lstat(dir.File("link.conf").c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ("new", ReadBytes(dir.File("real.conf")));
}

TEST(MoveAside, BadFilesGetNumberedNames) {
  TempDir dir;
  const std::string path = dir.File("Neapwise.conf");
  CString moved;
  EXPECT_FALSE(AfxMoveFileAside(path.c_str(), &moved));  // nothing there
  WriteBytes(path, "1");
  EXPECT_TRUE(AfxMoveFileAside(path.c_str(), &moved));
  EXPECT_EQ(CString((path + ".bad").c_str()), moved);
  WriteBytes(path, "2");
  EXPECT_TRUE(AfxMoveFileAside(path.c_str(), &moved));
  EXPECT_EQ(CString((path + ".bad2").c_str()), moved);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ("1", ReadBytes(path + ".bad"));
  EXPECT_EQ("2", ReadBytes(path + ".bad2"));
}

}  // namespace

namespace {

bool IsFifo(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

}  // namespace

// Saving renames a new file over the target: over a device, a pipe, a socket or a folder that
// would destroy what is there, so only a regular file (or a link to one) is replaced.
TEST(SafeSave, OnlyARegularFileIsReplaced) {
  TempDir dir;
  ASSERT_EQ(0, ::mkfifo(dir.File("pipe").c_str(), 0600));
  ASSERT_EQ(0, ::symlink(dir.File("pipe").c_str(), dir.File("link-to-pipe").c_str()));
  ASSERT_EQ(0, ::mkdir(dir.File("folder").c_str(), 0755));
  ASSERT_EQ(0, ::symlink(dir.File("folder").c_str(), dir.File("link-to-folder").c_str()));
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  struct sockaddr_un addr = {};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", dir.File("socket").c_str());
  ASSERT_EQ(0, ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  const std::vector<std::string> before = ListDir(dir.Path());
  const char* const notAFile = "The name is taken by a device, a pipe or a socket, which is not a file.";
  struct Case {
    const char* name;
    const char* reason;
    int cause;  // not "access denied" where permission is not what stops it
  } cases[] = {
      {"pipe", notAFile, CFileException::genericException},
      {"link-to-pipe", notAFile, CFileException::genericException},
      {"socket", notAFile, CFileException::genericException},
      {"folder", "The name is taken by a folder.", CFileException::accessDenied},
      {"link-to-folder", "The name is taken by a folder.", CFileException::accessDenied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFileException e;
    EXPECT_FALSE(AfxSaveFileSafely(dir.File(c.name).c_str(), "new", 3, &e));
    EXPECT_EQ(c.cause, e.m_cause);
    // One reason, the right one.
    EXPECT_EQ(CString(c.reason) + " (" + dir.File(c.name).c_str() + ")", e.GetErrorMessage());
  }
  EXPECT_TRUE(IsFifo(dir.File("pipe")));
  EXPECT_TRUE(ListDir(dir.File("folder")).empty());
  std::vector<std::string> after = ListDir(dir.Path());
  std::sort(after.begin(), after.end());
  std::vector<std::string> expected = before;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, after) << "nothing replaced, no temporary file left";
  ::close(sock);
}

TEST(FileException, OneReasonInEachMessage) {
  struct Case {
    int cause;
    LONG os;
    const char* text;
  } cases[] = {
      {CFileException::accessDenied, EISDIR, "The name is taken by a folder. (f)"},
      {CFileException::accessDenied, EACCES, "Access to the file was denied. (f)"},
      {CFileException::accessDenied, EROFS, "The disk is read-only. (f)"},
      {CFileException::diskFull, ENOSPC, "The disk is full. (f)"},
      {CFileException::badPath, ENOTDIR, "Part of the path is a file, not a folder. (f)"},
      {CFileException::fileNotFound, ENOENT, "The file was not found. (f)"},
      {CFileException::genericException, EXDEV, "A file error occurred. (f): Invalid cross-device link"},
      {CFileException::hardIO, -1, "A hardware input/output error occurred. (f)"},
  };
  for (const Case& c : cases) EXPECT_EQ(CString(c.text), CFileException(c.cause, c.os, "f").GetErrorMessage());
}

// A save killed half-way leaves its temporary file; the next save of that file (or
// AfxRemoveStaleTemporaries, as the program calls at start-up) removes it, but never the
// temporary file of a save still under way, nor anything else.
TEST(SafeSave, StaleTemporariesGoAndLiveOnesStay) {
  TempDir dir;
  const std::string target = dir.File("x.dat");
  WriteBytes(target, "old");
  // A child that starts a save, says so, and waits to be killed.
  auto startSave = [&](int& ready) {
    int fds[2];
    if (::pipe(fds) != 0) return (pid_t)-1;
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      CSafeSaveFile f;
      if (!f.Open(target.c_str())) ::_exit(2);
      f.Write("half", 4);
      const char done = 1;
      if (::write(fds[1], &done, 1) != 1) ::_exit(3);
      for (;;) ::pause();
    }
    ::close(fds[1]);
    char done = 0;
    ready = ::read(fds[0], &done, 1) == 1;
    ::close(fds[0]);
    return pid;
  };
  auto temporaries = [&]() {
    std::vector<std::string> names;
    for (const std::string& n : ListDir(dir.Path()))
      if (n.rfind(".x.dat.", 0) == 0 && n.size() == 13) names.push_back(n);
    std::sort(names.begin(), names.end());
    return names;
  };
  int ready = 0;
  const pid_t live = startSave(ready);
  ASSERT_GT(live, 0);
  ASSERT_TRUE(ready);
  const std::vector<std::string> first = temporaries();
  ASSERT_EQ(1u, first.size());
  const std::string liveName = first[0];
  const pid_t killed = startSave(ready);
  ASSERT_GT(killed, 0);
  ASSERT_TRUE(ready);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  const std::vector<std::string> both = temporaries();
  ASSERT_EQ(2u, both.size()) << "the killed save left its temporary file, the live one's stayed";
  const std::string staleName = both[0] == liveName ? both[1] : both[0];

  // Names that are not a temporary file of x.dat's, or not a file, stay.
  const char* const others[] = {".x.dat.bad", ".x.dat.12345", ".x.dat.1234567", ".y.dat.ABCDEF", "x.dat.ABCDEF"};
  for (const char* n : others) WriteBytes(dir.File(n), "keep");
  ASSERT_EQ(0, ::mkdir(dir.File(".x.dat.FOLDER").c_str(), 0755));
  WriteBytes(dir.File("outside"), "keep");
  ASSERT_EQ(0, ::symlink(dir.File("outside").c_str(), dir.File(".x.dat.LINKED").c_str()));

  ASSERT_TRUE(AfxSaveFileSafely(target.c_str(), "new", 3));
  EXPECT_EQ("new", ReadBytes(target));
  EXPECT_FALSE(Exists(dir.File(staleName))) << "the killed save's temporary file is gone";
  EXPECT_TRUE(Exists(dir.File(liveName))) << "the live save's temporary file stays";
  for (const char* n : others) EXPECT_EQ("keep", ReadBytes(dir.File(n))) << n;
  EXPECT_TRUE(Exists(dir.File(".x.dat.FOLDER")));
  EXPECT_EQ("keep", ReadBytes(dir.File(".x.dat.LINKED")));

  ::kill(live, SIGKILL);
  ::waitpid(live, nullptr, 0);
  AfxRemoveStaleTemporaries(target.c_str());
  EXPECT_FALSE(Exists(dir.File(liveName))) << "once its save is dead it is stale too";
  EXPECT_EQ("new", ReadBytes(target));
}

TEST(ReadWholeFile, ReadsNoMoreThanAskedAndOnlyFiles) {
  TempDir dir;
  WriteBytes(dir.File("ten"), "0123456789");
  CString text;
  CFileException e;
  EXPECT_TRUE(AfxReadWholeFile(dir.File("ten").c_str(), text, &e, 10));
  EXPECT_EQ(CString("0123456789"), text);
  EXPECT_FALSE(AfxReadWholeFile(dir.File("ten").c_str(), text, &e, 9));
  EXPECT_EQ(EFBIG, e.m_lOsError);
  EXPECT_TRUE(text.IsEmpty());
  // An endless device behind a link, and a pipe with no writer: refused at once.
  ASSERT_EQ(0, ::symlink("/dev/zero", dir.File("zero").c_str()));
  ASSERT_EQ(0, ::mkfifo(dir.File("pipe").c_str(), 0600));
  for (const char* name : {"zero", "pipe"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(AfxReadWholeFile(dir.File(name).c_str(), text, &e));
    EXPECT_EQ(CFileException::osNotRegularFile, e.m_lOsError);
  }
  EXPECT_FALSE(AfxReadWholeFile(dir.Path().c_str(), text, &e));
  EXPECT_EQ(EISDIR, e.m_lOsError);
}
