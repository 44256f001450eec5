#include "platform/core/Afx.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(String, ExtractionIsClampedToTheText) {
  const CString s("Neapwise");
  struct Case {
    CString got;
    const char* want;
  };
  const Case cases[] = {
      {s.Left(4), "Neap"},
      {s.Left(-1), ""},
      {s.Left(100), "Neapwise"},
      {s.Right(4), "wise"},
      {s.Right(0), ""},
      {s.Right(100), "Neapwise"},
      {s.Mid(4), "wise"},
      {s.Mid(4, 2), "wi"},
      {s.Mid(-3, 2), "Ne"},
      {s.Mid(6, 100), "se"},
      {s.Mid(8), ""},
      {s.Mid(100, 3), ""},
      {s.Mid(2, -1), ""},
      {s.SpanIncluding("Nae"), "Nea"},
      {s.SpanExcluding("w"), "Neap"},
  };
  for (const Case& c : cases) EXPECT_EQ(CString(c.want), c.got);
}

TEST(String, Searching) {
  const CString s("a:b::c");
  EXPECT_EQ(1, s.Find(':'));
  EXPECT_EQ(3, s.Find(':', 2));
  EXPECT_EQ(-1, s.Find(':', 6));
  EXPECT_EQ(-1, s.Find(':', -1));
  EXPECT_EQ(3, s.Find("::"));
  EXPECT_EQ(-1, s.Find("::", 4));
  EXPECT_EQ(4, s.ReverseFind(':'));
  EXPECT_EQ(2, s.FindOneOf("bc"));
  EXPECT_EQ(-1, s.FindOneOf(""));
}

TEST(String, Changing) {
  CString s("one two two");
  EXPECT_EQ(2, s.Replace("two", "2"));
  EXPECT_EQ(CString("one 2 2"), s);
  EXPECT_EQ(0, s.Replace("", "x"));
  EXPECT_EQ(2, s.Replace(' ', '_'));
  EXPECT_EQ(2, s.Remove('_'));
  EXPECT_EQ(CString("one22"), s);
  EXPECT_EQ(6, s.Insert(3, '-'));
  EXPECT_EQ(9, s.Insert(100, "end"));
  EXPECT_EQ(CString("one-22end"), s);
  EXPECT_EQ(6, s.Delete(3, 3));
  EXPECT_EQ(CString("oneend"), s);
  EXPECT_EQ(6, s.Delete(10, 2));

  CString t("  \t x y \r\n");
  EXPECT_EQ(CString("x y"), CString(t).Trim());
  EXPECT_EQ(CString("x y \r\n"), CString(t).TrimLeft());
  EXPECT_EQ(CString("  \t x y"), CString(t).TrimRight());
  EXPECT_EQ(CString("bc"), CString("aabcaa").Trim('a'));
  EXPECT_EQ(CString("c"), CString("abcab").Trim("ab"));
  EXPECT_EQ(CString(""), CString("   ").Trim());
}

TEST(String, CaseIsUnicode) {
  EXPECT_EQ(CString("\xC3\x89T\xC3\x89 1"), CString("\xC3\xA9t\xC3\xA9 1").MakeUpper());  // ÉTÉ
  EXPECT_EQ(CString("st malo"), CString("St MALO").MakeLower());
  EXPECT_EQ(0, CString("\xC3\xA9TAPLES").CompareNoCase("\xC3\x89taples"));
  EXPECT_LT(CString("a").Compare("b"), 0);
  EXPECT_GT(CString("b").CompareNoCase("A"), 0);
  EXPECT_EQ(CString("\xC3\xA9"
                    "ba"),
            CString("ab\xC3\xA9").MakeReverse());
}

// Archived UTF-16 text comes back as UTF-8; half a surrogate pair becomes '?', and the
// round trip through ToUtf16 gives the same units for well-formed text.
TEST(String, FromUtf16) {
  struct Case {
    std::u16string units;
    const char* utf8;
    bool roundTrip;
  };
  const Case cases[] = {
      {u"St Malo", "St Malo", true},
      {u"\u00E9t\u00E9 \u20AC", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", true},
      {u"\U0001F600!", "\xF0\x9F\x98\x80!", true},
      {u"\uFFFF\uFEFF", "\xEF\xBF\xBF\xEF\xBB\xBF", true},
      {std::u16string(u"\0b", 2), nullptr, true},
      {std::u16string({char16_t(0xD800), u'a'}), "?a", false},
      {std::u16string({u'a', char16_t(0xDC00)}), "a?", false},
      {std::u16string({char16_t(0xDC00), char16_t(0xD800)}), "??", false},
      {std::u16string({char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}), "?\xF0\x90\x80\x80", false},
  };
  for (const Case& c : cases) {
    const CString s = CString::FromUtf16(c.units.data(), c.units.size());
    const CString expected = c.utf8 ? CString(c.utf8) : CString(std::string("\0b", 2));
    EXPECT_EQ(expected, s) << s.GetString();
    if (c.roundTrip) {
      EXPECT_EQ(c.units, s.ToUtf16());
    }
  }
  EXPECT_EQ(CString(), CString::FromUtf16(nullptr, 3));
}

TEST(String, Tokenize) {
  const CString s(",,a,bc,,d");
  int pos = 0;
  CString out;
  for (CString tok = s.Tokenize(",", pos); pos != -1; tok = s.Tokenize(",", pos)) out += tok + "|";
  EXPECT_EQ(CString("a|bc|d|"), out);
}

TEST(String, FormatTakesCStringsAndUsesTheCLocale) {
  CString name("Dover");
  CString s;
  s.Format("%s %d %0.2f %5.1f %c %x", name, -3, 2.345, 10.25, 'z', 255u);
  EXPECT_EQ(CString("Dover -3 2.35  10.2 z ff"), s);
  s.AppendFormat("/%s/%03d", "x", 7);
  EXPECT_EQ(CString("Dover -3 2.35  10.2 z ff/x/007"), s);

  CString big;
  big.Format("%0600d", 1);
  EXPECT_EQ(600, big.GetLength());

  // A comma-decimal process locale must not reach the text (when the machine has one).
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    s.Format("%.1f", 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(CString("1.5"), s);
  }
}

TEST(String, Buffers) {
  CString s("abc");
  char* p = s.GetBuffer(10);
  std::snprintf(p, 11, "%s", "0123456789");
  s.ReleaseBuffer();
  EXPECT_EQ(CString("0123456789"), s);
  p = s.GetBuffer(2);
  p[2] = '\0';
  s.ReleaseBuffer();
  EXPECT_EQ(CString("01"), s);
  s.GetBufferSetLength(5);
  s.ReleaseBuffer(1);
  EXPECT_EQ(1, s.GetLength());
}

TEST(String, ComparisonsAndConcatenation) {
  CString a("abc");
  EXPECT_TRUE(a == "abc");
  EXPECT_TRUE("abc" == a);
  EXPECT_TRUE(a != "abd");
  EXPECT_TRUE(a < "abd");
  EXPECT_TRUE(CString("b") > a);
  EXPECT_EQ(CString("x-abc-y"), "x-" + a + '-' + CString("y"));
  EXPECT_EQ(0, a.Compare(nullptr) > 0 ? 0 : 1);
#ifdef NDEBUG
  EXPECT_EQ('\0', a.GetAt(100));  // debug builds assert instead
#endif
  EXPECT_EQ(CString("zzz"), CString('z', 3));
}

TEST(String, LoadStringUsesTheInstalledLoader) {
  CString s;
  CString::SetStringLoader(nullptr);
  EXPECT_FALSE(s.LoadString(57344));
  CString::SetStringLoader([](UINT id, CString& out) -> BOOL {
    if (id != 57344) return FALSE;
    out = "Neapwise";
    return TRUE;
  });
  EXPECT_TRUE(s.LoadString(57344));
  EXPECT_EQ(CString("Neapwise"), s);
  EXPECT_FALSE(s.LoadString(1));
  CString::SetStringLoader(nullptr);
}

}  // namespace
