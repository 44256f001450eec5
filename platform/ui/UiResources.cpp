// Compiles resource scripts into the platform's binary resource layouts.
#include "platform/ui/UiResources.h"

#include "platform/core/AfxResource.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Icons.h"
#include "platform/ui/Menu.h"

#include <QString>

#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Script {
  std::string name;
  const char* text;
  size_t size;
  bool compiled = false;
};

std::mutex& lock() {
  static std::mutex m;
  return m;
}
std::vector<Script>& scripts() {
  static std::vector<Script> v;
  return v;
}
// String-table entries gathered from every script, by block.
std::map<UINT, std::map<UINT, std::u16string>>& stringBlocks() {
  static std::map<UINT, std::map<UINT, std::u16string>> m;
  return m;
}

struct Token {
  enum Kind { Word, Text, End } kind;
  std::string value;
  int line;
};

bool tokenize(const char* p, size_t n, std::vector<Token>* out, CString* err) {
  int line = 1;
  size_t i = 0;
  while (i < n) {
    char c = p[i];
    if (c == '\n') {
      ++line;
      ++i;
      continue;
    }
    if (std::isspace((unsigned char)c) || c == ',') {
      ++i;
      continue;
    }
    if (c == '#') {
      while (i < n && p[i] != '\n') ++i;
      continue;
    }
    if (c == '"') {
      std::string v;
      ++i;
      bool closed = false;
      while (i < n) {
        char d = p[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\n') break;
        if (d == '\\' && i < n) {
          char e = p[i++];
          v += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
          continue;
        }
        v += d;
      }
      if (!closed) {
        if (err) err->Format("line %d: unterminated text", line);
        return false;
      }
      out->push_back(Token{Token::Text, v, line});
      continue;
    }
    std::string w;
    while (i < n && !std::isspace((unsigned char)p[i]) && p[i] != '"' && p[i] != '#' && p[i] != ',') w += p[i++];
    out->push_back(Token{Token::Word, w, line});
  }
  out->push_back(Token{Token::End, "", line});
  return true;
}

bool number(const std::string& s, long* v) {
  if (s.empty()) return false;
  char* end = nullptr;
  long x = std::strtol(s.c_str(), &end, 0);
  if (*end) return false;
  *v = x;
  return true;
}

void putWord(std::vector<BYTE>& b, WORD w) {
  b.push_back((BYTE)(w & 0xFF));
  b.push_back((BYTE)(w >> 8));
}

void putText(std::vector<BYTE>& b, const std::string& s) {
  std::u16string u = QString::fromUtf8(s.c_str()).toStdU16String();
  for (char16_t ch : u) putWord(b, (WORD)ch);
  putWord(b, 0);
}

struct Parser {
  std::vector<Token> t;
  size_t pos = 0;
  CString* err;
  const Token& peek() const { return t[pos]; }
  const Token& next() { return t[pos < t.size() - 1 ? pos++ : pos]; }
  bool fail(const char* what) {
    if (err) err->Format("line %d: %s", peek().line, what);
    return false;
  }
  bool word(const char* w) const { return peek().kind == Token::Word && peek().value == w; }

  // One menu level: items until "end"; MF_END marks the last item.
  bool menuLevel(std::vector<BYTE>& out, int depth) {
    struct Item {
      WORD flags;
      WORD id;
      std::string text;
      std::vector<BYTE> sub;
      bool popup;
    };
    std::vector<Item> items;
    while (true) {
      if (peek().kind == Token::End) return fail("missing end");
      if (word("end")) {
        next();
        break;
      }
      if (word("separator")) {
        next();
        items.push_back(Item{0, 0, "", {}, false});
        continue;
      }
      bool popup = word("popup");
      if (!popup && !word("item")) return fail("expected item, popup, separator or end");
      next();
      if (peek().kind != Token::Text) return fail("expected a text in quotes");
      Item it{0, 0, next().value, {}, popup};
      if (!popup) {
        long id;
        if (peek().kind != Token::Word || !number(peek().value, &id) || id < 0 || id > 0xFFFF)
          return fail("expected a command id from 0 to 65535");
        next();
        it.id = (WORD)id;
      }
      while (peek().kind == Token::Word) {
        const std::string& f = peek().value;
        if (f == "checked")
          it.flags |= MF_CHECKED;
        else if (f == "grayed")
          it.flags |= MF_GRAYED;
        else if (f == "inactive")
          it.flags |= MF_DISABLED;
        else if (f == "default")
          it.flags |= MF_DEFAULT;
        else if (f == "menubreak")
          it.flags |= MF_MENUBREAK;
        else if (f == "menubarbreak")
          it.flags |= MF_MENUBARBREAK;
        else if (f == "help")
          it.flags |= MF_HELP;
        else
          break;
        next();
      }
      if (popup) {
        if (depth > 16) return fail("menus nested too deeply");
        if (!menuLevel(it.sub, depth + 1)) return false;
      }
      items.push_back(std::move(it));
    }
    if (items.empty()) {
      // The platform has no empty levels in templates; an empty popup gets a separator.
      items.push_back(Item{0, 0, "", {}, false});
    }
    for (size_t i = 0; i < items.size(); ++i) {
      Item& it = items[i];
      WORD flags = it.flags | (it.popup ? MF_POPUP : 0) | (i + 1 == items.size() ? MF_END : 0);
      putWord(out, flags);
      if (!it.popup) putWord(out, it.id);
      putText(out, it.text);
      out.insert(out.end(), it.sub.begin(), it.sub.end());
    }
    return true;
  }
};

// A picture drawn in characters: its colours (ARGB; alpha 0 is transparent) and its rows.
struct Picture {
  int width = 0, height = 0;
  int hotX = 0, hotY = 0;
  std::vector<uint32_t> argb;  // top row first
};

// colours ... end: one character each, "none" or 0xRRGGBB / 0xAARRGGBB.
bool parseColours(Parser& p, std::map<char, uint32_t>* colours) {
  p.next();
  while (!p.word("end")) {
    if (p.peek().kind != Token::Text || p.peek().value.size() != 1)
      return p.fail("expected one character in quotes or end");
    char c = p.next().value[0];
    if (p.peek().kind != Token::Word) return p.fail("expected none or a colour 0xRRGGBB");
    const std::string& v = p.peek().value;
    long x;
    if (v == "none")
      (*colours)[c] = 0;
    else if (v.size() == 8 && number(v, &x) && x >= 0)
      (*colours)[c] = 0xFF000000u | (uint32_t)x;
    else if (v.size() == 10 && v.compare(0, 2, "0x") == 0)
      (*colours)[c] = (uint32_t)std::strtoul(v.c_str(), nullptr, 16);
    else
      return p.fail("expected none or a colour 0xRRGGBB or 0xAARRGGBB");
    p.next();
  }
  p.next();
  return true;
}

// image <w> <h> [hotspot <x> <y>] "row" ... end
bool parseImage(Parser& p, const std::map<char, uint32_t>& colours, bool hotspot, bool opaque, Picture* out) {
  p.next();
  long w, h;
  // Bitmaps hold rows of pictures (a toolbar's), so they may be wider than an icon.
  const long maxWidth = opaque ? 4096 : 256;
  if (!number(p.peek().value, &w) || w < 1 || w > maxWidth)
    return p.fail(opaque ? "expected a width from 1 to 4096" : "expected a width from 1 to 256");
  p.next();
  if (!number(p.peek().value, &h) || h < 1 || h > 256) return p.fail("expected a height from 1 to 256");
  p.next();
  out->width = (int)w;
  out->height = (int)h;
  if (hotspot && p.word("hotspot")) {
    p.next();
    long x, y;
    if (!number(p.peek().value, &x) || x < 0 || x >= w) return p.fail("expected a hot spot inside the image");
    p.next();
    if (!number(p.peek().value, &y) || y < 0 || y >= h) return p.fail("expected a hot spot inside the image");
    p.next();
    out->hotX = (int)x;
    out->hotY = (int)y;
  }
  while (!p.word("end")) {
    if (p.peek().kind != Token::Text) return p.fail("expected a row in quotes or end");
    const std::string& row = p.peek().value;
    if ((long)row.size() != w) return p.fail("a row has not the image's width");
    if ((long)out->argb.size() >= w * h) return p.fail("more rows than the image's height");
    for (char c : row) {
      auto it = colours.find(c);
      if (it == colours.end()) return p.fail("a character with no colour");
      if (opaque && (it->second >> 24) != 0xFF) return p.fail("a bitmap has no transparent colours");
      out->argb.push_back(it->second);
    }
    p.next();
  }
  if ((long)out->argb.size() != w * h) return p.fail("fewer rows than the image's height");
  p.next();
  return true;
}

void putDword(std::vector<BYTE>& b, uint32_t d) {
  putWord(b, (WORD)(d & 0xFFFF));
  putWord(b, (WORD)(d >> 16));
}

// The platform's device-independent picture of an icon or cursor image: a header of twice
// the height, 32-bit colour rows bottom-up, then the 1-bit mask (1 transparent) bottom-up.
std::vector<BYTE> iconDib(const Picture& pic) {
  std::vector<BYTE> b;
  putDword(b, 40);
  putDword(b, (uint32_t)pic.width);
  putDword(b, (uint32_t)pic.height * 2);
  putWord(b, 1);
  putWord(b, 32);
  for (int i = 0; i < 6; ++i) putDword(b, 0);
  for (int y = pic.height - 1; y >= 0; --y)
    for (int x = 0; x < pic.width; ++x) {
      uint32_t c = pic.argb[(size_t)(y * pic.width + x)];
      b.push_back((BYTE)(c & 0xFF));
      b.push_back((BYTE)((c >> 8) & 0xFF));
      b.push_back((BYTE)((c >> 16) & 0xFF));
      b.push_back((BYTE)(c >> 24));
    }
  int stride = ((pic.width + 31) / 32) * 4;
  for (int y = pic.height - 1; y >= 0; --y) {
    std::vector<BYTE> row((size_t)stride, 0);
    for (int x = 0; x < pic.width; ++x)
      if ((pic.argb[(size_t)(y * pic.width + x)] >> 24) == 0) row[(size_t)(x / 8)] |= (BYTE)(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

// A bitmap resource: a header and 24-bit rows bottom-up, each padded to four bytes.
std::vector<BYTE> bitmapDib(const Picture& pic) {
  std::vector<BYTE> b;
  putDword(b, 40);
  putDword(b, (uint32_t)pic.width);
  putDword(b, (uint32_t)pic.height);
  putWord(b, 1);
  putWord(b, 24);
  for (int i = 0; i < 6; ++i) putDword(b, 0);
  int pad = (4 - (pic.width * 3) % 4) % 4;
  for (int y = pic.height - 1; y >= 0; --y) {
    for (int x = 0; x < pic.width; ++x) {
      uint32_t c = pic.argb[(size_t)(y * pic.width + x)];
      b.push_back((BYTE)(c & 0xFF));
      b.push_back((BYTE)((c >> 8) & 0xFF));
      b.push_back((BYTE)((c >> 16) & 0xFF));
    }
    for (int i = 0; i < pad; ++i) b.push_back(0);
  }
  return b;
}

// A free id for one image of an icon or cursor (these ids are the program's own business).
WORD freeImageId(LPCTSTR type, std::set<WORD>& taken) {
  static WORD next = 1;
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    WORD id = next++;
    if (!id) continue;
    if (!taken.count(id) && !FindResource(nullptr, MAKEINTRESOURCE(id), type)) {
      taken.insert(id);
      return id;
    }
  }
  return 0;
}

std::string resName(long id) { return "#" + std::to_string(id); }

// ---- Dialog templates ----
// The style names a script may use, joined with '|' (numbers may stand among them).
const std::map<std::string, DWORD>& styleNames() {
  static const std::map<std::string, DWORD> m = {
      {"WS_POPUP", WS_POPUP},
      {"WS_CHILD", WS_CHILD},
      {"WS_VISIBLE", WS_VISIBLE},
      {"WS_DISABLED", WS_DISABLED},
      {"WS_CAPTION", WS_CAPTION},
      {"WS_BORDER", WS_BORDER},
      {"WS_DLGFRAME", WS_DLGFRAME},
      {"WS_VSCROLL", WS_VSCROLL},
      {"WS_HSCROLL", WS_HSCROLL},
      {"WS_SYSMENU", WS_SYSMENU},
      {"WS_THICKFRAME", WS_THICKFRAME},
      {"WS_GROUP", WS_GROUP},
      {"WS_TABSTOP", WS_TABSTOP},
      {"WS_EX_CLIENTEDGE", WS_EX_CLIENTEDGE},
      {"WS_EX_STATICEDGE", WS_EX_STATICEDGE},
      {"WS_EX_DLGMODALFRAME", WS_EX_DLGMODALFRAME},
      {"DS_MODALFRAME", DS_MODALFRAME},
      {"DS_SETFONT", DS_SETFONT},
      {"DS_CENTER", DS_CENTER},
      {"DS_3DLOOK", DS_3DLOOK},
      {"DS_FIXEDSYS", DS_FIXEDSYS},
      {"DS_CONTROL", DS_CONTROL},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON},
      {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
      {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
      {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
      {"BS_GROUPBOX", BS_GROUPBOX},
      {"BS_OWNERDRAW", BS_OWNERDRAW},
      {"ES_LEFT", ES_LEFT},
      {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
      {"ES_NUMBER", ES_NUMBER},
      {"ES_READONLY", ES_READONLY},
      {"SS_LEFT", SS_LEFT},
      {"SS_CENTER", SS_CENTER},
      {"SS_RIGHT", SS_RIGHT},
      {"SS_ETCHEDHORZ", SS_ETCHEDHORZ},
      {"SS_NOTIFY", SS_NOTIFY},
      {"TVS_HASBUTTONS", TVS_HASBUTTONS},
      {"TVS_HASLINES", TVS_HASLINES},
      {"TVS_LINESATROOT", TVS_LINESATROOT},
      {"TVS_SHOWSELALWAYS", TVS_SHOWSELALWAYS},
      {"TVS_EDITLABELS", TVS_EDITLABELS},
#define AFX_STYLE_NAME(x) {#x, (DWORD)(x)}
      // The styles of every control a template may hold.
      AFX_STYLE_NAME(WS_CLIPCHILDREN),
      AFX_STYLE_NAME(WS_CLIPSIBLINGS),
      AFX_STYLE_NAME(WS_MINIMIZEBOX),
      AFX_STYLE_NAME(WS_MAXIMIZEBOX),
      AFX_STYLE_NAME(WS_EX_TRANSPARENT),
      AFX_STYLE_NAME(WS_EX_CONTROLPARENT),
      AFX_STYLE_NAME(WS_EX_WINDOWEDGE),
      AFX_STYLE_NAME(WS_EX_RIGHT),
      AFX_STYLE_NAME(WS_EX_CONTEXTHELP),
      AFX_STYLE_NAME(WS_EX_TOOLWINDOW),
      AFX_STYLE_NAME(DS_ABSALIGN),
      AFX_STYLE_NAME(DS_SYSMODAL),
      AFX_STYLE_NAME(DS_SETFOREGROUND),
      AFX_STYLE_NAME(DS_CENTERMOUSE),
      AFX_STYLE_NAME(DS_CONTEXTHELP),
      AFX_STYLE_NAME(DS_SHELLFONT),
      AFX_STYLE_NAME(DS_LOCALEDIT),
      AFX_STYLE_NAME(DS_NOIDLEMSG),
      AFX_STYLE_NAME(BS_CHECKBOX),
      AFX_STYLE_NAME(BS_RADIOBUTTON),
      AFX_STYLE_NAME(BS_3STATE),
      AFX_STYLE_NAME(BS_AUTO3STATE),
      AFX_STYLE_NAME(BS_LEFTTEXT),
      AFX_STYLE_NAME(BS_TEXT),
      AFX_STYLE_NAME(BS_ICON),
      AFX_STYLE_NAME(BS_BITMAP),
      AFX_STYLE_NAME(BS_LEFT),
      AFX_STYLE_NAME(BS_RIGHT),
      AFX_STYLE_NAME(BS_CENTER),
      AFX_STYLE_NAME(BS_TOP),
      AFX_STYLE_NAME(BS_BOTTOM),
      AFX_STYLE_NAME(BS_VCENTER),
      AFX_STYLE_NAME(BS_PUSHLIKE),
      AFX_STYLE_NAME(BS_MULTILINE),
      AFX_STYLE_NAME(BS_NOTIFY),
      AFX_STYLE_NAME(BS_FLAT),
      AFX_STYLE_NAME(ES_CENTER),
      AFX_STYLE_NAME(ES_RIGHT),
      AFX_STYLE_NAME(ES_MULTILINE),
      AFX_STYLE_NAME(ES_UPPERCASE),
      AFX_STYLE_NAME(ES_LOWERCASE),
      AFX_STYLE_NAME(ES_PASSWORD),
      AFX_STYLE_NAME(ES_AUTOVSCROLL),
      AFX_STYLE_NAME(ES_NOHIDESEL),
      AFX_STYLE_NAME(ES_WANTRETURN),
      AFX_STYLE_NAME(ES_OEMCONVERT),
      AFX_STYLE_NAME(SS_ICON),
      AFX_STYLE_NAME(SS_BLACKRECT),
      AFX_STYLE_NAME(SS_GRAYRECT),
      AFX_STYLE_NAME(SS_WHITERECT),
      AFX_STYLE_NAME(SS_BLACKFRAME),
      AFX_STYLE_NAME(SS_GRAYFRAME),
      AFX_STYLE_NAME(SS_WHITEFRAME),
      AFX_STYLE_NAME(SS_SIMPLE),
      AFX_STYLE_NAME(SS_LEFTNOWORDWRAP),
      AFX_STYLE_NAME(SS_OWNERDRAW),
      AFX_STYLE_NAME(SS_BITMAP),
      AFX_STYLE_NAME(SS_ETCHEDVERT),
      AFX_STYLE_NAME(SS_ETCHEDFRAME),
      AFX_STYLE_NAME(SS_CENTERIMAGE),
      AFX_STYLE_NAME(SS_RIGHTJUST),
      AFX_STYLE_NAME(SS_NOPREFIX),
      AFX_STYLE_NAME(SS_SUNKEN),
      AFX_STYLE_NAME(SS_ENDELLIPSIS),
      AFX_STYLE_NAME(SS_PATHELLIPSIS),
      AFX_STYLE_NAME(SS_WORDELLIPSIS),
      AFX_STYLE_NAME(CBS_SIMPLE),
      AFX_STYLE_NAME(CBS_DROPDOWN),
      AFX_STYLE_NAME(CBS_DROPDOWNLIST),
      AFX_STYLE_NAME(CBS_OWNERDRAWFIXED),
      AFX_STYLE_NAME(CBS_OWNERDRAWVARIABLE),
      AFX_STYLE_NAME(CBS_AUTOHSCROLL),
      AFX_STYLE_NAME(CBS_OEMCONVERT),
      AFX_STYLE_NAME(CBS_SORT),
      AFX_STYLE_NAME(CBS_HASSTRINGS),
      AFX_STYLE_NAME(CBS_NOINTEGRALHEIGHT),
      AFX_STYLE_NAME(CBS_DISABLENOSCROLL),
      AFX_STYLE_NAME(CBS_UPPERCASE),
      AFX_STYLE_NAME(CBS_LOWERCASE),
      AFX_STYLE_NAME(LBS_NOTIFY),
      AFX_STYLE_NAME(LBS_SORT),
      AFX_STYLE_NAME(LBS_NOREDRAW),
      AFX_STYLE_NAME(LBS_MULTIPLESEL),
      AFX_STYLE_NAME(LBS_OWNERDRAWFIXED),
      AFX_STYLE_NAME(LBS_OWNERDRAWVARIABLE),
      AFX_STYLE_NAME(LBS_HASSTRINGS),
      AFX_STYLE_NAME(LBS_USETABSTOPS),
      AFX_STYLE_NAME(LBS_NOINTEGRALHEIGHT),
      AFX_STYLE_NAME(LBS_WANTKEYBOARDINPUT),
      AFX_STYLE_NAME(LBS_EXTENDEDSEL),
      AFX_STYLE_NAME(LBS_DISABLENOSCROLL),
      AFX_STYLE_NAME(LBS_NOSEL),
      AFX_STYLE_NAME(LBS_STANDARD),
      AFX_STYLE_NAME(UDS_WRAP),
      AFX_STYLE_NAME(UDS_SETBUDDYINT),
      AFX_STYLE_NAME(UDS_ALIGNRIGHT),
      AFX_STYLE_NAME(UDS_ALIGNLEFT),
      AFX_STYLE_NAME(UDS_AUTOBUDDY),
      AFX_STYLE_NAME(UDS_ARROWKEYS),
      AFX_STYLE_NAME(UDS_HORZ),
      AFX_STYLE_NAME(UDS_NOTHOUSANDS),
      AFX_STYLE_NAME(UDS_HOTTRACK),
      AFX_STYLE_NAME(TBS_AUTOTICKS),
      AFX_STYLE_NAME(TBS_VERT),
      AFX_STYLE_NAME(TBS_HORZ),
      AFX_STYLE_NAME(TBS_TOP),
      AFX_STYLE_NAME(TBS_BOTTOM),
      AFX_STYLE_NAME(TBS_LEFT),
      AFX_STYLE_NAME(TBS_RIGHT),
      AFX_STYLE_NAME(TBS_BOTH),
      AFX_STYLE_NAME(TBS_NOTICKS),
      AFX_STYLE_NAME(TBS_ENABLESELRANGE),
      AFX_STYLE_NAME(TBS_FIXEDLENGTH),
      AFX_STYLE_NAME(TBS_NOTHUMB),
      AFX_STYLE_NAME(TVS_DISABLEDRAGDROP),
      AFX_STYLE_NAME(TVS_RTLREADING),
      AFX_STYLE_NAME(TVS_NOTOOLTIPS),
      AFX_STYLE_NAME(TVS_CHECKBOXES),
      AFX_STYLE_NAME(TVS_TRACKSELECT),
      AFX_STYLE_NAME(TVS_SINGLEEXPAND),
      AFX_STYLE_NAME(TVS_INFOTIP),
      AFX_STYLE_NAME(TVS_FULLROWSELECT),
      AFX_STYLE_NAME(TVS_NOSCROLL),
      AFX_STYLE_NAME(TVS_NONEVENHEIGHT),
      AFX_STYLE_NAME(TVS_NOHSCROLL),
      AFX_STYLE_NAME(SBS_HORZ),
      AFX_STYLE_NAME(SBS_VERT),
      AFX_STYLE_NAME(SBS_TOPALIGN),
      AFX_STYLE_NAME(SBS_LEFTALIGN),
      AFX_STYLE_NAME(SBS_BOTTOMALIGN),
      AFX_STYLE_NAME(SBS_RIGHTALIGN),
      AFX_STYLE_NAME(SBS_SIZEBOX),
      AFX_STYLE_NAME(SBS_SIZEGRIP),
      AFX_STYLE_NAME(TCS_TABS),
      AFX_STYLE_NAME(TCS_BUTTONS),
      AFX_STYLE_NAME(TCS_SINGLELINE),
      AFX_STYLE_NAME(TCS_MULTILINE),
      AFX_STYLE_NAME(TCS_FIXEDWIDTH),
      AFX_STYLE_NAME(TCS_RAGGEDRIGHT),
      AFX_STYLE_NAME(TCS_FOCUSONBUTTONDOWN),
      AFX_STYLE_NAME(TCS_FOCUSNEVER),
      AFX_STYLE_NAME(TCS_TOOLTIPS),
      AFX_STYLE_NAME(TCS_BOTTOM),
      AFX_STYLE_NAME(TCS_HOTTRACK),
#undef AFX_STYLE_NAME
  };
  return m;
}

bool styleValue(const std::string& w, DWORD* out) {
  DWORD v = 0;
  size_t start = 0;
  while (start <= w.size()) {
    size_t bar = w.find('|', start);
    std::string part = w.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    long n;
    auto it = styleNames().find(part);
    if (it != styleNames().end())
      v |= it->second;
    else if (number(part, &n))
      v |= (DWORD)n;
    else
      return false;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  *out = v;
  return true;
}

// Registered templates live as long as the program; their texts with them.
struct DialogStore {
  AFX_DLGTEMPLATE tmpl{};
  std::vector<AFX_DLGITEM> items;
  std::vector<std::unique_ptr<std::string>> texts;
  LPCTSTR keep(const std::string& s) {
    texts.push_back(std::make_unique<std::string>(s));
    return texts.back()->c_str();
  }
};
std::vector<std::unique_ptr<DialogStore>>& dialogStores() {
  static std::vector<std::unique_ptr<DialogStore>> v;
  return v;
}

bool fourNumbers(Parser& p, short* v) {
  for (int i = 0; i < 4; ++i) {
    long n;
    if (p.peek().kind != Token::Word || !number(p.peek().value, &n) || n < -32768 || n > 32767) return false;
    p.next();
    v[i] = (short)n;
  }
  return true;
}

//   dialog 188 "Select Port" 0 0 178 214
//     style DS_MODALFRAME|WS_POPUP|WS_CAPTION|WS_SYSMENU
//     font "MS Shell Dlg" 8
//     control "Button" 1 "OK" 121 193 50 14 BS_DEFPUSHBUTTON|WS_TABSTOP [exstyle WS_EX_CLIENTEDGE]
//   end
bool parseDialog(Parser& p, std::unique_ptr<DialogStore>* out) {
  auto d = std::make_unique<DialogStore>();
  long id;
  if (!number(p.peek().value, &id) || id <= 0 || id > 0xFFFF) return p.fail("expected a dialog id");
  p.next();
  if (p.peek().kind != Token::Text) return p.fail("expected the dialog's caption in quotes");
  d->tmpl.nID = (UINT)id;
  d->tmpl.lpszCaption = d->keep(p.next().value);
  short box[4];
  if (!fourNumbers(p, box)) return p.fail("expected x, y, width and height");
  d->tmpl.x = box[0], d->tmpl.y = box[1], d->tmpl.cx = box[2], d->tmpl.cy = box[3];
  d->tmpl.dwStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  while (!p.word("end")) {
    if (p.peek().kind == Token::End) return p.fail("missing end");
    if (p.word("style")) {
      p.next();
      if (p.peek().kind != Token::Word || !styleValue(p.peek().value, &d->tmpl.dwStyle))
        return p.fail("expected a style");
      p.next();
    } else if (p.word("font")) {
      p.next();
      long pt;
      if (p.peek().kind != Token::Text) return p.fail("expected a font face in quotes");
      d->tmpl.lpszFont = d->keep(p.next().value);
      if (!number(p.peek().value, &pt) || pt <= 0 || pt > 72) return p.fail("expected a point size");
      p.next();
      d->tmpl.nPointSize = (int)pt;
    } else if (p.word("control")) {
      p.next();
      AFX_DLGITEM it{};
      long cid;
      if (p.peek().kind != Token::Text) return p.fail("expected a control class in quotes");
      it.lpszClass = d->keep(p.next().value);
      if (!number(p.peek().value, &cid) || cid < -1 || cid > 0xFFFF) return p.fail("expected a control id");
      p.next();
      if (cid == -1) cid = 0xFFFF;  // a label's "no id", as the resource compiler writes it
      it.nID = (UINT)cid;
      if (p.peek().kind != Token::Text) return p.fail("expected the control's text in quotes");
      it.lpszText = d->keep(p.next().value);
      short r[4];
      if (!fourNumbers(p, r)) return p.fail("expected x, y, width and height");
      it.x = r[0], it.y = r[1], it.cx = r[2], it.cy = r[3];
      if (p.peek().kind == Token::Word && !p.word("exstyle") && !p.word("control") && !p.word("end")) {
        if (!styleValue(p.peek().value, &it.dwStyle)) return p.fail("expected a style");
        p.next();
      }
      if (p.word("exstyle")) {
        p.next();
        if (p.peek().kind != Token::Word || !styleValue(p.peek().value, &it.dwExStyle))
          return p.fail("expected an extended style");
        p.next();
      }
      d->items.push_back(it);
    } else {
      return p.fail("expected style, font, control or end");
    }
  }
  p.next();
  d->tmpl.pItems = d->items.empty() ? nullptr : d->items.data();
  d->tmpl.nItems = (int)d->items.size();
  *out = std::move(d);
  return true;
}

// ---- The script's sections ----
// Each reads one section, its keyword already taken, and adds the resources it makes.

struct CompiledResource {
  LPCTSTR type;
  std::string name;
  std::vector<BYTE> bytes;
};
using CompiledResources = std::vector<CompiledResource>;

bool compileMenu(Parser& p, CompiledResources* outs) {
  long id;
  if (!number(p.peek().value, &id) || id <= 0 || id > 0xFFFF) return p.fail("expected a menu id");
  p.next();
  std::vector<BYTE> b;
  putWord(b, 0);
  putWord(b, 0);
  if (!p.menuLevel(b, 0)) return false;
  outs->push_back(CompiledResource{RT_MENU, resName(id), b});
  return true;
}

bool compileStrings(Parser& p, std::map<UINT, std::u16string>* strings) {
  while (!p.word("end")) {
    long id;
    if (p.peek().kind != Token::Word || !number(p.peek().value, &id) || id < 0 || id > 0xFFFF)
      return p.fail("expected a string id or end");
    p.next();
    if (p.peek().kind != Token::Text) return p.fail("expected a text in quotes");
    (*strings)[(UINT)id] = QString::fromUtf8(p.next().value.c_str()).toStdU16String();
  }
  p.next();
  return true;
}

// One accelerator: flags, key, command and padding, as the table stores them.
bool compileAccelerator(Parser& p, std::vector<std::vector<WORD>>* entries) {
  bool vkey = p.word("vkey");
  if (!vkey && !p.word("key")) return p.fail("expected key, vkey or end");
  p.next();
  long key = 0, cmd;
  if (vkey) {
    if (!number(p.peek().value, &key)) return p.fail("expected a virtual-key code");
    p.next();
  } else {
    if (p.peek().kind != Token::Text || p.peek().value.size() != 1) return p.fail("expected one character in quotes");
    key = (unsigned char)p.next().value[0];
  }
  if (!number(p.peek().value, &cmd) || cmd < 0 || cmd > 0xFFFF) return p.fail("expected a command id");
  p.next();
  WORD flags = vkey ? 0x01 : 0;
  while (p.peek().kind == Token::Word && (p.word("ctrl") || p.word("shift") || p.word("alt"))) {
    if (p.word("shift")) flags |= 0x04;
    if (p.word("ctrl")) flags |= 0x08;
    if (p.word("alt")) flags |= 0x10;
    p.next();
  }
  // A character key with Ctrl or Alt is stored as its virtual key, as the compiler does.
  if (!vkey && (flags & 0x18)) {
    flags |= 0x01;
    key = std::toupper((int)key);
  }
  entries->push_back({flags, (WORD)key, (WORD)cmd, 0});
  return true;
}

bool compileAccelerators(Parser& p, CompiledResources* outs) {
  long id;
  if (!number(p.peek().value, &id) || id <= 0 || id > 0xFFFF) return p.fail("expected an accelerator table id");
  p.next();
  std::vector<std::vector<WORD>> entries;
  while (!p.word("end"))
    if (!compileAccelerator(p, &entries)) return false;
  p.next();
  std::vector<BYTE> b;
  for (size_t i = 0; i < entries.size(); ++i) {
    putWord(b, entries[i][0] | (i + 1 == entries.size() ? 0x80 : 0));
    putWord(b, entries[i][1]);
    putWord(b, entries[i][2]);
    putWord(b, 0);
  }
  outs->push_back(CompiledResource{RT_ACCELERATOR, resName(id), b});
  return true;
}

bool compileToolbar(Parser& p, CompiledResources* outs) {
  long id, w, h;
  if (!number(p.peek().value, &id) || id <= 0 || id > 0xFFFF) return p.fail("expected a toolbar id");
  p.next();
  if (!number(p.peek().value, &w) || w < 1 || w > 0xFFFF) return p.fail("expected the picture width");
  p.next();
  if (!number(p.peek().value, &h) || h < 1 || h > 0xFFFF) return p.fail("expected the picture height");
  p.next();
  std::vector<WORD> items;
  while (!p.word("end")) {
    if (p.word("separator")) {
      p.next();
      items.push_back(0);
      continue;
    }
    if (!p.word("button")) return p.fail("expected button, separator or end");
    p.next();
    long cmd;
    if (!number(p.peek().value, &cmd) || cmd <= 0 || cmd > 0xFFFF)
      return p.fail("expected a command id from 1 to 65535");
    p.next();
    items.push_back((WORD)cmd);
  }
  p.next();
  std::vector<BYTE> b;
  putWord(b, 1);
  putWord(b, (WORD)w);
  putWord(b, (WORD)h);
  putWord(b, (WORD)items.size());
  for (WORD cmd : items) putWord(b, cmd);
  outs->push_back(CompiledResource{RT_TOOLBAR, resName(id), b});
  return true;
}

// An icon or cursor: its images, each a resource of its own, and the group that lists them.
bool compileIconGroup(Parser& p, long id, bool cursor, const std::vector<Picture>& pictures,
                      std::set<WORD>* takenImageIds, CompiledResources* outs) {
  LPCTSTR imageType = cursor ? RT_CURSOR : RT_ICON;
  std::vector<BYTE> dir;
  putWord(dir, 0);
  putWord(dir, cursor ? 2 : 1);
  putWord(dir, (WORD)pictures.size());
  for (const Picture& pic : pictures) {
    std::vector<BYTE> image;
    if (cursor) {
      putWord(image, (WORD)pic.hotX);
      putWord(image, (WORD)pic.hotY);
    }
    std::vector<BYTE> dib = iconDib(pic);
    image.insert(image.end(), dib.begin(), dib.end());
    WORD imageId = freeImageId(imageType, *takenImageIds);
    if (!imageId) return p.fail("no free image id");
    if (cursor) {
      putWord(dir, (WORD)pic.width);
      putWord(dir, (WORD)(pic.height * 2));
    } else {
      dir.push_back((BYTE)(pic.width & 0xFF));  // 256 is written as 0
      dir.push_back((BYTE)(pic.height & 0xFF));
      dir.push_back(0);
      dir.push_back(0);
    }
    putWord(dir, 1);
    putWord(dir, 32);
    putDword(dir, (uint32_t)image.size());
    putWord(dir, imageId);
    outs->push_back(CompiledResource{imageType, resName(imageId), image});
  }
  outs->push_back(CompiledResource{cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON, resName(id), dir});
  return true;
}

bool compilePicture(Parser& p, const std::string& kind, std::set<WORD>* takenImageIds, CompiledResources* outs) {
  long id;
  if (!number(p.peek().value, &id) || id <= 0 || id > 0xFFFF) return p.fail("expected an id");
  p.next();
  std::map<char, uint32_t> colours;
  std::vector<Picture> pictures;
  while (!p.word("end")) {
    if (p.word("colours")) {
      if (!parseColours(p, &colours)) return false;
    } else if (p.word("image")) {
      if (kind == "bitmap" && !pictures.empty()) return p.fail("a bitmap has one image");
      Picture pic;
      if (!parseImage(p, colours, kind == "cursor", kind == "bitmap", &pic)) return false;
      pictures.push_back(std::move(pic));
    } else {
      return p.fail("expected colours, image or end");
    }
  }
  if (pictures.empty()) return p.fail("expected at least one image");
  p.next();
  if (kind == "bitmap") {
    outs->push_back(CompiledResource{RT_BITMAP, resName(id), bitmapDib(pictures[0])});
    return true;
  }
  return compileIconGroup(p, id, kind == "cursor", pictures, takenImageIds, outs);
}

// String tables: blocks of 16 counted strings, block n holding ids (n - 1) * 16 ...
void registerStrings(const std::map<UINT, std::u16string>& strings) {
  std::set<UINT> touched;
  for (auto& s : strings) {
    stringBlocks()[(s.first >> 4) + 1][s.first & 15] = s.second;
    touched.insert((s.first >> 4) + 1);
  }
  for (UINT block : touched) {
    std::vector<BYTE> b;
    auto& m = stringBlocks()[block];
    for (UINT k = 0; k < 16; ++k) {
      auto it = m.find(k);
      if (it == m.end()) {
        putWord(b, 0);
        continue;
      }
      putWord(b, (WORD)it->second.size());
      for (char16_t ch : it->second) putWord(b, (WORD)ch);
    }
    AfxRegisterResourceCopy(RT_STRING, resName((long)block).c_str(), b.data(), b.size());
  }
}

BOOL compile(const std::string& name, const char* text, size_t size, CString* err) {
  Parser p;
  p.err = err;
  if (!tokenize(text, size, &p.t, err)) return FALSE;
  CompiledResources outs;
  std::map<UINT, std::u16string> strings;
  std::vector<std::unique_ptr<DialogStore>> dialogs;
  std::set<WORD> takenImageIds;
  while (p.peek().kind != Token::End) {
    bool ok;
    if (p.word("dialog")) {
      p.next();
      std::unique_ptr<DialogStore> d;
      ok = parseDialog(p, &d);
      if (ok) dialogs.push_back(std::move(d));
    } else if (p.word("menu")) {
      p.next();
      ok = compileMenu(p, &outs);
    } else if (p.word("strings")) {
      p.next();
      ok = compileStrings(p, &strings);
    } else if (p.word("accelerators")) {
      p.next();
      ok = compileAccelerators(p, &outs);
    } else if (p.word("toolbar")) {
      p.next();
      ok = compileToolbar(p, &outs);
    } else if (p.word("icon") || p.word("cursor") || p.word("bitmap")) {
      const std::string kind = p.next().value;
      ok = compilePicture(p, kind, &takenImageIds, &outs);
    } else {
      return p.fail("expected menu, dialog, strings, accelerators, toolbar, icon, cursor or bitmap");
    }
    if (!ok) return FALSE;
  }
  (void)name;
  for (CompiledResource& o : outs) AfxRegisterResourceCopy(o.type, o.name.c_str(), o.bytes.data(), o.bytes.size());
  for (auto& d : dialogs) {
    AfxRegisterDialogTemplate(&d->tmpl);
    dialogStores().push_back(std::move(d));
  }
  registerStrings(strings);
  return TRUE;
}

}  // namespace

void AfxRegisterUiScript(LPCTSTR lpszName, const char* pText, size_t nSize) {
  CString::SetStringLoader(AfxLoadString);
  std::lock_guard<std::mutex> g(lock());
  scripts().push_back(Script{lpszName ? lpszName : "", pText, nSize});
}

void AfxEnsureUiResources() {
  std::lock_guard<std::mutex> g(lock());
  for (Script& s : scripts()) {
    if (s.compiled) continue;
    s.compiled = true;
    CString err;
    if (!compile(s.name, s.text, s.size, &err))
      std::fprintf(stderr, "resource script %s: %s\n", s.name.c_str(), err.GetString());
  }
}

BOOL AfxCompileUiScript(LPCTSTR lpszName, const char* pText, size_t nSize, CString* pError) {
  std::lock_guard<std::mutex> g(lock());
  return compile(lpszName ? lpszName : "", pText, nSize, pError);
}

BOOL AfxLoadString(UINT nID, CString& rString) {
  AfxEnsureUiResources();
  rString.Empty();
  HRSRC r = FindResource(nullptr, MAKEINTRESOURCE((nID >> 4) + 1), RT_STRING);
  if (!r) return FALSE;
  const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, r)));
  DWORD size = SizeofResource(nullptr, r);
  size_t off = 0;
  for (UINT k = 0; k < 16 && off + 2 <= size; ++k) {
    WORD len = (WORD)(p[off] | (p[off + 1] << 8));
    off += 2;
    if (k == (nID & 15)) {
      if (!len || off + len * 2u > size) return FALSE;
      std::u16string u;
      for (WORD i = 0; i < len; ++i) u += (char16_t)(p[off + i * 2] | (p[off + i * 2 + 1] << 8));
      rString = QString::fromStdU16String(u).toStdString();
      return TRUE;
    }
    off += len * 2u;
  }
  return FALSE;
}

int LoadString(HINSTANCE, UINT uID, LPTSTR lpBuffer, int cchBufferMax) {
  CString s;
  if (!AfxLoadString(uID, s) || !lpBuffer || cchBufferMax <= 0) return 0;
  std::snprintf(lpBuffer, (size_t)cchBufferMax, "%s", s.GetString());
  return (int)std::strlen(lpBuffer);
}
