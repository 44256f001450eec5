#include "platform/core/Afx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Resources, RegisteredBytesAreFoundByTypeAndName) {
  const BYTE table[] = {0x83, 0x02, 0, 0, 1, 0, 0, 0, 7};
  AfxRegisterResourceCopy("RAWDATA", "#178", table, sizeof table);

  for (LPCTSTR name : std::initializer_list<LPCTSTR>{"#178", "#0178", MAKEINTRESOURCE(178)}) {
    HRSRC h = FindResource(nullptr, name, "rawdata");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(sizeof table, SizeofResource(AfxGetResourceHandle(), h));
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, h)));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, std::memcmp(table, p, sizeof table));
    EXPECT_NE(table, p);  // a copy
  }
  EXPECT_EQ(nullptr, FindResource(nullptr, "#179", "RAWDATA"));
  EXPECT_EQ(nullptr, FindResource(nullptr, "#178", "BITMAP"));
  EXPECT_EQ(nullptr, LockResource(LoadResource(nullptr, nullptr)));
  EXPECT_EQ(0u, SizeofResource(nullptr, nullptr));

  const BYTE* data = nullptr;
  DWORD size = 0;
  EXPECT_TRUE(AfxFindRawData("RAWDATA", "#178", &data, &size));
  EXPECT_EQ(sizeof table, size);
  EXPECT_TRUE(AfxUnregisterResource("RAWDATA", "#178"));
  EXPECT_FALSE(AfxFindRawData("RAWDATA", "#178", &data, &size));
  EXPECT_EQ(nullptr, data);
  EXPECT_EQ(0u, size);
}

TEST(Resources, NumberedTypesMatchTheirTextForm) {
  const BYTE toolbar[] = {1, 0, 16, 0};
  AfxRegisterResourceCopy(MAKEINTRESOURCE(241), MAKEINTRESOURCE(128), toolbar, sizeof toolbar);
  HRSRC h = FindResource(nullptr, "#128", "#241");
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(sizeof toolbar, SizeofResource(nullptr, h));
  EXPECT_EQ(h, FindResource(AfxFindResourceHandle(MAKEINTRESOURCE(128), MAKEINTRESOURCE(241)), MAKEINTRESOURCE(128),
                            MAKEINTRESOURCE(241)));
  EXPECT_EQ(nullptr, FindResource(nullptr, "128", "#241"));  // a plain name, not a number
}

TEST(Resources, ReplacingKeepsEarlierBytesReadable) {
  const char first[] = "first";
  AfxRegisterResourceCopy("RAWDATA", "#500", first, 5);
  const BYTE* p1 = nullptr;
  ASSERT_TRUE(AfxFindRawData("RAWDATA", "#500", &p1, nullptr));
  AfxRegisterResourceCopy("RAWDATA", "#500", "second", 6);
  const BYTE* p2 = nullptr;
  DWORD n = 0;
  ASSERT_TRUE(AfxFindRawData("RAWDATA", "#500", &p2, &n));
  EXPECT_EQ(6u, n);
  EXPECT_EQ(0, std::memcmp(p1, "first", 5));
  EXPECT_EQ(0, std::memcmp(p2, "second", 6));
}

TEST(Resources, BuiltIntoTheProgramAndReadThroughAnArchive) {
  HRSRC h = FindResource(nullptr, "#901", "RAWDATA");
  ASSERT_NE(nullptr, h);
  ASSERT_EQ(11u, SizeofResource(nullptr, h));
  CMemFile f(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, h))), SizeofResource(nullptr, h));
  CArchive ar(&f, CArchive::load);
  int magic, count;
  BYTE a, b, c;
  ar >> magic >> count >> a >> b >> c;
  EXPECT_EQ(42, magic);
  EXPECT_EQ(2, count);
  EXPECT_EQ(0xFF, a);
  EXPECT_EQ(0x00, b);
  EXPECT_EQ(0x01, c);

  // An empty file is a present but empty resource.
  HRSRC e = FindResource(nullptr, MAKEINTRESOURCE(902), "RAWDATA");
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(0u, SizeofResource(nullptr, e));
}

}  // namespace
