#include "platform/core/Afx.h"

#include "tests/platform/TestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

std::string Bytes(const CMemFile& f) {
  return std::string(reinterpret_cast<const char*>(f.GetData()), (size_t)f.GetLength());
}

// Stores through an archive with the given buffer size and returns the bytes written.
template <typename Fn>
std::string Store(Fn fn, int nBufSize = 4096) {
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store, nBufSize);
    fn(ar);
    ar.Close();
  }
  return Bytes(f);
}

// Runs fn over a loading archive on the bytes and returns the archive exception's cause, or
// -1 when none was raised.
template <typename Fn>
int LoadCause(const std::string& bytes, Fn fn) {
  CMemFile f(reinterpret_cast<const BYTE*>(bytes.data()), (UINT)bytes.size());
  CArchive ar(&f, CArchive::load);
  try {
    fn(ar);
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST(Archive, NumbersHaveTheFrameworkLayout) {
  std::string bytes = Store([](CArchive& ar) {
    ar << (BYTE)0xAB << (char)'z' << (WORD)0x1234 << (short)-2 << (int)-1 << (UINT)0x89ABCDEF << (long)-3
       << (LONGLONG)0x0102030405060708LL << 1.5f << -2.25;
  });
  const std::string expected(
      "\xAB"
      "z"
      "\x34\x12"
      "\xFE\xFF"
      "\xFF\xFF\xFF\xFF"
      "\xEF\xCD\xAB\x89"
      "\xFD\xFF\xFF\xFF"
      "\x08\x07\x06\x05\x04\x03\x02\x01"
      "\x00\x00\xC0\x3F"
      "\x00\x00\x00\x00\x00\x00\x02\xC0",
      1 + 1 + 2 + 2 + 4 + 4 + 4 + 8 + 4 + 8);
  EXPECT_EQ(expected, bytes);
}

TEST(Archive, EveryTypeRoundTrips) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::string bytes = Store(
      [&](CArchive& ar) {
        for (int i = 0; i < 300; ++i)  // crosses the small buffer many times
          ar << (BYTE)i << (WORD)(i * 251) << (short)-i << i * -1000003 << (UINT)i * 4000037u << (DWORD)0xFFFFFFFFu
             << (long)-i << (LONGLONG)i * -1234567890123LL << (float)i / 3.0f << (double)i / 7.0
             << CString("p\xC3\xA9") + CString('x', i % 7);
        ar << nan << std::numeric_limits<double>::infinity() << -0.0 << std::numeric_limits<double>::denorm_min();
      },
      128);

  CMemFile f(reinterpret_cast<const BYTE*>(bytes.data()), (UINT)bytes.size());
  CArchive ar(&f, CArchive::load, 128);
  for (int i = 0; i < 300; ++i) {
    BYTE b;
    WORD w;
    short s;
    int n;
    UINT u;
    DWORD dw;
    long l;
    LONGLONG ll;
    float fl;
    double d;
    CString str;
    ar >> b >> w >> s >> n >> u >> dw >> l >> ll >> fl >> d >> str;
    ASSERT_EQ((BYTE)i, b);
    ASSERT_EQ((WORD)(i * 251), w);
    ASSERT_EQ(-i, s);
    ASSERT_EQ(i * -1000003, n);
    ASSERT_EQ((UINT)i * 4000037u, u);
    ASSERT_EQ(0xFFFFFFFFu, dw);
    ASSERT_EQ(-i, l);
    ASSERT_EQ((LONGLONG)i * -1234567890123LL, ll);
    ASSERT_EQ((float)i / 3.0f, fl);
    ASSERT_EQ((double)i / 7.0, d);
    ASSERT_EQ(CString("p\xC3\xA9") + CString('x', i % 7), str);
  }
  double a, inf, negZero, denorm;
  ar >> a >> inf >> negZero >> denorm;
  EXPECT_TRUE(std::isnan(a));
  EXPECT_EQ(std::numeric_limits<double>::infinity(), inf);
  EXPECT_TRUE(std::signbit(negZero));
  EXPECT_EQ(std::numeric_limits<double>::denorm_min(), denorm);
  BYTE extra;
  EXPECT_EQ(0u, ar.Read(&extra, 1));
}

struct StringCase {
  UINT length;
  std::string prefix;
};

TEST(Archive, StringLengthPrefixes) {
  const StringCase cases[] = {
      {0, std::string("\x00", 1)},
      {1, "\x01"},
      {254, "\xFE"},
      {255, std::string("\xFF\xFF\x00", 3)},
      {256, std::string("\xFF\x00\x01", 3)},
      {0xFFFD, "\xFF\xFD\xFF"},
      {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
      {65535, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
      {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
  };
  for (const StringCase& c : cases) {
    SCOPED_TRACE(c.length);
    CString text;
    for (UINT i = 0; i < c.length; ++i) text += (char)('a' + i % 26);
    std::string bytes = Store([&](CArchive& ar) { ar << text; });
    ASSERT_EQ(c.prefix.size() + c.length, bytes.size());
    EXPECT_EQ(c.prefix, bytes.substr(0, c.prefix.size()));
    EXPECT_EQ(text.GetStdString(), bytes.substr(c.prefix.size()));

    CString back("not empty");
    EXPECT_EQ(-1, LoadCause(bytes, [&](CArchive& ar) { ar >> back; }));
    EXPECT_EQ(text, back);
  }
}

TEST(Archive, StringLengthCountsUtf8Bytes) {
  std::string bytes = Store([](CArchive& ar) { ar << CString("\xC3\xA9t\xC3\xA9"); });  // "été"
  EXPECT_EQ(std::string("\x05\xC3\xA9t\xC3\xA9"), bytes);
}

TEST(Archive, WideStringsAreReadAsUtf8) {
  // 0xFF 0xFFFE marks UTF-16, then the length in 16-bit units.
  const std::string bytes(
      "\xFF\xFE\xFF\x03"
      "a\x00\xE9\x00\xAC\x20",
      10);
  CString s;
  EXPECT_EQ(-1, LoadCause(bytes, [&](CArchive& ar) { ar >> s; }));
  EXPECT_EQ(CString("a\xC3\xA9\xE2\x82\xAC"), s);  // "aé€"
}

TEST(Archive, ReadingPastTheEndThrowsEndOfFile) {
  struct Case {
    const char* name;
    std::string bytes;
    void (*read)(CArchive&);
  };
  const Case cases[] = {
      {"byte of nothing", "",
       [](CArchive& ar) {
         BYTE b;
         ar >> b;
       }},
      {"word of one byte", "\x01",
       [](CArchive& ar) {
         WORD w;
         ar >> w;
       }},
      {"int of three bytes", "\x01\x02\x03",
       [](CArchive& ar) {
         int i;
         ar >> i;
       }},
      {"double of seven bytes", "1234567",
       [](CArchive& ar) {
         double d;
         ar >> d;
       }},
      {"second int", "\x01\x00\x00\x00\x02",
       [](CArchive& ar) {
         int a, b;
         ar >> a >> b;
       }},
      {"string without its length word", "\xFF\x01",
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"string without its length dword", "\xFF\xFF\xFF\x01\x00",
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"string shorter than its length",
       "\x05"
       "abc",
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"string claiming 4 GB",
       "\xFF\xFF\xFF\xFE\xFF\xFF\xFF"
       "abc",
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"wide string cut in a character",
       std::string("\xFF\xFE\xFF\x02"
                   "a\x00"
                   "b",
                   7),
       [](CArchive& ar) {
         CString s;
         ar >> s;
       }},
      {"raw bytes", "ab",
       [](CArchive& ar) {
         char buf[3];
         ar.EnsureRead(buf, 3);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CArchiveException::endOfFile, LoadCause(c.bytes, c.read));
  }
}

// Stored strings of every prefix form, good and bad, each followed by a byte of the next
// record: a scan must measure what reading takes, and refuse what reading refuses, at every cut.
TEST(Archive, StoredStringSizeIsWhatReadingTakes) {
  std::vector<std::string> stored;
  for (UINT length : {0u, 1u, 254u, 255u, 256u, 0xFFFDu, 65534u, 65535u, 70000u}) {
    CString text;
    for (UINT i = 0; i < length; ++i) text += (char)('a' + i % 26);
    stored.push_back(Store([&](CArchive& ar) { ar << text; }));
  }
  const std::string wide[] = {
      std::string("\xFF\xFE\xFF\x03"
                  "a\x00\xE9\x00\xAC\x20",
                  10),  // one-byte length
      std::string("\xFF\xFE\xFF\xFF\x02\x00"
                  "a\x00"
                  "b\x00",
                  10),  // word length
      std::string("\xFF\xFE\xFF\xFF\xFF\xFF\x01\x00\x00\x00"
                  "z\x00",
                  12),  // dword length
      std::string("\xFF\xFE\xFF\xFF\xFE\xFF\x01"
                  "a\x00",
                  9),  // the wide marker twice
      std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                  "abc",
                  10),                                              // a 64-bit length
      std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10),  // wide, a 64-bit length
  };
  stored.insert(stored.end(), std::begin(wide), std::end(wide));
  for (const std::string& whole : stored) {
    const std::string bytes = whole + "\x07";
    // Short strings are cut everywhere, long ones in their prefix and near their end.
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut)
      if (bytes.size() <= 600 || cut < 12 || cut + 300 > bytes.size()) cuts.push_back(cut);
    for (std::size_t cut : cuts) {
      SCOPED_TRACE(testing::Message() << whole.size() << " bytes cut at " << cut);
      const std::string part = bytes.substr(0, cut);
      std::size_t taken = 0;
      const int cause = LoadCause(part, [&](CArchive& ar) {
        CString s;
        ar >> s;
        taken = (std::size_t)(part.size() - ar.GetLoadBytesLeft());
      });
      const std::size_t measured = AfxStoredStringSize(reinterpret_cast<const BYTE*>(part.data()), part.size());
      if (cause == -1)
        EXPECT_EQ(measured, taken);
      else
        EXPECT_EQ(measured, 0u);
    }
  }
}

TEST(Archive, ReadReturnsWhatIsThere) {
  const std::string bytes = "abcde";
  CMemFile f(reinterpret_cast<const BYTE*>(bytes.data()), (UINT)bytes.size());
  CArchive ar(&f, CArchive::load);
  char buf[8] = {};
  EXPECT_EQ(2u, ar.Read(buf, 2));
  EXPECT_EQ(3u, ar.Read(buf, 8));
  EXPECT_EQ(std::string("cde"), std::string(buf, 3));
  EXPECT_EQ(0u, ar.Read(buf, 8));
}

TEST(Archive, WrongDirectionThrows) {
  CMemFile f;
  CArchive store(&f, CArchive::store);
  int cause = -1;
  try {
    int i;
    store >> i;
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(CArchiveException::writeOnly, cause);
  EXPECT_EQ(CArchiveException::readOnly, LoadCause("xxxx", [](CArchive& ar) { ar << 1; }));
}

TEST(Archive, LargeRecordsThroughADiskFile) {
  TempDir dir;
  const std::string path = dir.File("big.dat");
  std::string blob(100000, '\0');
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = (char)(i * 7);
  {
    CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&f, CArchive::store);
    ar << 643 << 2;
    ar.Write(blob.data(), (UINT)blob.size());
    ar << CString(blob.substr(0, 300).c_str()) << 9.75;
    ar.Close();
    f.Close();
  }
  CFile f(path.c_str(), CFile::modeRead);
  CArchive ar(&f, CArchive::load);
  int magic, count;
  ar >> magic >> count;
  std::string back(blob.size(), '\0');
  ar.EnsureRead(back.data(), (UINT)back.size());
  CString s;
  double d;
  ar >> s >> d;
  EXPECT_EQ(643, magic);
  EXPECT_EQ(2, count);
  EXPECT_EQ(blob, back);
  EXPECT_EQ(9.75, d);
}

TEST(Archive, DestructorFlushesAStoringArchive) {
  CMemFile f;
  {
    CArchive ar(&f, CArchive::store);
    ar << 7;
  }
  EXPECT_EQ(std::string("\x07\x00\x00\x00", 4), Bytes(f));
}

TEST(Archive, CountsUseAWordThenADword) {
  std::string bytes = Store([](CArchive& ar) {
    ar.WriteCount(3);
    ar.WriteCount(0xFFFF);
  });
  EXPECT_EQ(std::string("\x03\x00\xFF\xFF\xFF\xFF\x00\x00", 8), bytes);
  DWORD_PTR a = 0, b = 0;
  EXPECT_EQ(-1, LoadCause(bytes, [&](CArchive& ar) {
    a = ar.ReadCount();
    b = ar.ReadCount();
  }));
  EXPECT_EQ(3u, a);
  EXPECT_EQ(0xFFFFu, b);
}

// ---------------------------------------------------------------------------------------------
// Objects through the archive

class CWaypointT : public CObject {
  DECLARE_SERIAL(CWaypointT)
 public:
  CWaypointT() = default;
  int m_n = 0;
  CString m_name;
  CWaypointT* m_pNext = nullptr;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring())
      ar << m_n << m_name << m_pNext;
    else
      ar >> m_n >> m_name >> m_pNext;
  }
};
IMPLEMENT_SERIAL(CWaypointT, CObject, 3)

TEST(ArchiveObjects, SharedAndNullReferencesRoundTrip) {
  CWaypointT a, b;
  a.m_n = 1;
  a.m_name = "A";
  a.m_pNext = &b;
  b.m_n = 2;
  b.m_name = "B";
  b.m_pNext = &a;  // a cycle: the second visit is a reference
  std::string bytes = Store([&](CArchive& ar) { ar << &a << (CObject*)nullptr << &b; });

  // New class tag, schema, name, then the object; references by index after that.
  EXPECT_EQ(std::string("\xFF\xFF\x03\x00\x0A\x00"
                        "CWaypointT",
                        16),
            bytes.substr(0, 16));

  CWaypointT *pA = nullptr, *pB = nullptr;
  CObject* pNull = &a;
  EXPECT_EQ(-1, LoadCause(bytes, [&](CArchive& ar) { ar >> pA >> pNull >> pB; }));
  ASSERT_NE(nullptr, pA);
  ASSERT_NE(nullptr, pB);
  EXPECT_EQ(nullptr, pNull);
  EXPECT_EQ(1, pA->m_n);
  EXPECT_EQ(CString("B"), pB->m_name);
  EXPECT_EQ(pB, pA->m_pNext);
  EXPECT_EQ(pA, pB->m_pNext);
  delete pA;
  delete pB;
}

TEST(ArchiveObjects, BadClassDataIsRejected) {
  struct Case {
    const char* name;
    std::string bytes;
    int cause;
  };
  const Case cases[] = {
      {"unknown class",
       std::string("\xFF\xFF\x01\x00\x07\x00"
                   "CNoSuch",
                   13),
       CArchiveException::badClass},
      {"wrong schema",
       std::string("\xFF\xFF\x02\x00\x0A\x00"
                   "CWaypointT",
                   16),
       CArchiveException::badSchema},
      {"class index never defined", std::string("\x05\x80", 2), CArchiveException::badIndex},
      {"object index never defined", std::string("\x04\x00", 2), CArchiveException::badIndex},
      {"class name cut short",
       std::string("\xFF\xFF\x03\x00\x0A\x00"
                   "CWay",
                   10),
       CArchiveException::endOfFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.cause, LoadCause(c.bytes, [](CArchive& ar) {
                CWaypointT* p = nullptr;
                ar >> p;
                delete p;
              }));
  }
}

class CRouteT : public CObject {
  DECLARE_SERIAL(CRouteT)
 public:
  CRouteT() = default;
};
IMPLEMENT_SERIAL(CRouteT, CObject, 1)

TEST(ArchiveObjects, AnObjectOfAnotherClassIsRejected) {
  CWaypointT w;
  std::string bytes = Store([&](CArchive& ar) { ar << &w; });
  EXPECT_EQ(CArchiveException::badClass, LoadCause(bytes, [](CArchive& ar) {
              CRouteT* p = nullptr;
              ar >> p;
              delete p;
            }));
}

TEST(ArchiveObjects, RandomBytesOnlyEverRaiseArchiveExceptions) {
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(next() % 48, '\0');
    for (char& c : bytes) c = (char)(next() & 0xFF);
    if (round % 3 == 0 && bytes.size() > 2) bytes[0] = bytes[1] = '\xFF';  // often a new-class tag
    CMemFile f(reinterpret_cast<const BYTE*>(bytes.data()), (UINT)bytes.size());
    CArchive ar(&f, CArchive::load, 128);
    try {
      for (int i = 0; i < 8; ++i) {
        CString s;
        CObject* p = nullptr;
        if (round % 2)
          ar >> s;
        else
          ar >> p;
        delete p;
      }
    } catch (CArchiveException* e) {
      e->Delete();
    }
  }
}

}  // namespace
