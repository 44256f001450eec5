#include "toolkit/CbColorManager.h"

#include "toolkit/CbDrawHelpers.h"
#include "toolkit/CbWinThemeWrapper.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <string>

IMPLEMENT_DYNAMIC(CCbColorManager, CCmdTarget)

namespace {

// Colours compared in a weighted space close to how bright the eye sees each channel.
struct Weighted {
  double r, g, b;
};
constexpr double kWr = 195.0, kWg = 390.0, kWb = 65.0;

Weighted ToWeighted(COLORREF c) {
  return {GetRValue(c) * kWr / 255.0, GetGValue(c) * kWg / 255.0, GetBValue(c) * kWb / 255.0};
}
int ToChannel(double v, double w) {
  long n = std::lround(v * 255.0 / w);
  return (int)std::clamp(n, 0L, 255L);
}
COLORREF FromWeighted(const Weighted& w) { return RGB(ToChannel(w.r, kWr), ToChannel(w.g, kWg), ToChannel(w.b, kWb)); }
double Distance(const Weighted& a, const Weighted& b) {
  return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b));
}
double Brightness(const Weighted& a) { return Distance(a, Weighted{0, 0, 0}); }
Weighted Clamp(Weighted w) { return {std::clamp(w.r, 0.0, kWr), std::clamp(w.g, 0.0, kWg), std::clamp(w.b, 0.0, kWb)}; }
// Darker references need more distance to stay readable.
double Required(double x, const Weighted& ref) { return x * (2.0 - std::min(Brightness(ref), 220.0) / 220.0); }

// c moved towards ref until it is no farther than x (scaled) from it.
COLORREF PullTowards(COLORREF c, COLORREF ref, double x) {
  Weighted wc = ToWeighted(c), wr = ToWeighted(ref);
  double need = Required(x, wr), d = Distance(wc, wr);
  if (d <= need || d <= 0) return c;
  double t = need / d;
  return FromWeighted({wr.r + (wc.r - wr.r) * t, wr.g + (wc.g - wr.g) * t, wr.b + (wc.b - wr.b) * t});
}

// c moved away from ref to at least x (scaled), to the lighter side when the reference leaves
// room there, else the darker, staying inside the colour range.
COLORREF PushAway(COLORREF c, COLORREF ref, double x) {
  Weighted wc = ToWeighted(c), wr = ToWeighted(ref);
  double need = Required(x, wr);
  if (Distance(wc, wr) > need) return c;
  const double maxBright = Brightness(Weighted{kWr, kWg, kWb});
  bool lighter = Brightness(wr) + need <= maxBright;
  Weighted u{wc.r - wr.r, wc.g - wr.g, wc.b - wr.b};
  double len = std::sqrt(u.r * u.r + u.g * u.g + u.b * u.b);
  bool wrongWay = lighter ? Brightness(wc) < Brightness(wr) : Brightness(wc) > Brightness(wr);
  if (len < 1e-6 || wrongWay) {
    double s = lighter ? 1.0 : -1.0;
    u = {s * kWr, s * kWg, s * kWb};
    len = maxBright;
  }
  u = {u.r / len, u.g / len, u.b / len};
  auto at = [&](double t) { return Clamp({wr.r + u.r * t, wr.g + u.g * t, wr.b + u.b * t}); };
  // Clamping makes the reachable distance grow ever more slowly: search for the step that
  // gives the required one, or take the farthest point the range allows.
  double lo = 0, hi = 4 * maxBright;
  if (Distance(at(hi), wr) < need) return FromWeighted(at(hi));
  for (int i = 0; i < 60; ++i) {
    double mid = (lo + hi) / 2;
    (Distance(at(mid), wr) < need ? lo : hi) = mid;
  }
  return FromWeighted(at(hi));
}

COLORREF Scale(COLORREF c, double f) {
  return RGB((int)(GetRValue(c) * f), (int)(GetGValue(c) * f), (int)(GetBValue(c) * f));
}

std::unique_ptr<CCbColorManager> g_manager;

}  // namespace

CCbColorManager* CbColorManager() {
  if (!g_manager) g_manager = std::make_unique<CCbColorManager>();
  return g_manager.get();
}

CCbColorManager::CCbColorManager() { std::fill(std::begin(m_override), std::end(m_override), (COLORREF)-1); }
CCbColorManager::~CCbColorManager() = default;

COLORREF CCbColorManager::Blend(COLORREF a, COLORREF b, int r) {
  int d = r < 100 ? 100 : 1000;
  auto ch = [&](int x, int y) { return std::clamp((r * x + (d - r) * y + d / 2) / d, 0, 255); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

COLORREF CCbColorManager::Sys(int i) const { return m_pfnSysColor ? m_pfnSysColor(i) : ::GetSysColor(i); }

COLORREF CCbColorManager::GetColor(int i) const {
  if (i > kColors - 1) return (COLORREF)i;
  if (i < 0) return 0;
  if (!m_bComputed) const_cast<CCbColorManager*>(this)->RefreshColors(FALSE);
  return m_override[i] != (COLORREF)-1 ? m_override[i] : m_std[i];
}

void CCbColorManager::SetColor(int i, COLORREF clr) {
  if (i >= 0 && i < kColors) m_override[i] = clr;
}

COLORREF CCbColorManager::GetGradientLight(int n) const {
  if (n < 0 || n > 3) return 0;
  if (!m_bComputed) const_cast<CCbColorManager*>(this)->RefreshColors(FALSE);
  const Gradient& g = m_gradients[n];
  return g.lightOverride != (COLORREF)-1 ? g.lightOverride : g.light;
}
COLORREF CCbColorManager::GetGradientDark(int n) const {
  if (n < 0 || n > 3) return 0;
  if (!m_bComputed) const_cast<CCbColorManager*>(this)->RefreshColors(FALSE);
  const Gradient& g = m_gradients[n];
  return g.darkOverride != (COLORREF)-1 ? g.darkOverride : g.dark;
}
void CCbColorManager::SetGradientColors(int n, COLORREF clrLight, COLORREF clrDark) {
  if (n < 0 || n > 3) return;
  m_gradients[n].lightOverride = clrLight;
  m_gradients[n].darkOverride = clrDark;
}

int CCbColorManager::GetCurrentSystemTheme() const {
  if (m_nSystemTheme >= 0 && m_nSystemTheme <= 3) return m_nSystemTheme;
  CCbWinThemeWrapper theme;
  char file[260], colour[260];
  if (theme.GetCurrentThemeName(file, 260, colour, 260, nullptr, 0) != S_OK) return 0;
  std::string f(file), c(colour);
  for (auto* s : {&f, &c})
    for (char& ch : *s) ch = (char)std::tolower((unsigned char)ch);
  if (f.find("luna.msstyles") == std::string::npos) return 0;
  if (c == "normalcolor") return 1;
  if (c == "homestead") return 2;
  if (c == "metallic") return 3;
  return 0;
}

void CCbColorManager::SetGradients() {
  COLORREF s5 = Sys(COLOR_WINDOW), s15 = Sys(COLOR_BTNFACE), s16 = Sys(COLOR_BTNSHADOW);
  COLORREF mid = Blend(s15, s5, 205);
  const COLORREF defaults[4][2] = {{s16, s16}, {s15, mid}, {s15, s16}, {mid, s15}};
  for (int i = 0; i < 4; ++i) {
    m_gradients[i].light = defaults[i][0];
    m_gradients[i].dark = defaults[i][1];
  }
  if (m_bLunaDisabled) return;
  struct Scheme {
    COLORREF entry54;
    COLORREF g[4][2];
  };
  static const Scheme schemes[3] = {
      {RGB(0, 45, 150),
       {{RGB(89, 135, 214), RGB(0, 45, 150)},
        {RGB(158, 190, 245), RGB(196, 218, 250)},
        {RGB(89, 135, 214), RGB(0, 45, 150)},
        {RGB(221, 236, 254), RGB(129, 169, 226)}}},
      {RGB(96, 128, 88),
       {{RGB(175, 192, 130), RGB(99, 122, 68)},
        {RGB(217, 217, 167), RGB(242, 241, 228)},
        {RGB(120, 142, 111), RGB(73, 91, 67)},
        {RGB(244, 247, 222), RGB(183, 198, 145)}}},
      {RGB(124, 124, 148),
       {{RGB(168, 167, 191), RGB(112, 111, 145)},
        {RGB(215, 215, 229), RGB(243, 243, 247)},
        {RGB(168, 167, 191), RGB(120, 119, 151)},
        {RGB(243, 244, 250), RGB(153, 151, 181)}}},
  };
  int kind = GetCurrentSystemTheme();
  if (kind < 1 || kind > 3) return;
  const Scheme& s = schemes[kind - 1];
  m_std[54] = s.entry54;
  for (int i = 0; i < 4; ++i) {
    m_gradients[i].light = s.g[i][0];
    m_gradients[i].dark = s.g[i][1];
  }
}

void CCbColorManager::RefreshColors(BOOL bForce) {
  if (m_bComputed && !bForce) return;
  m_bComputed = TRUE;
  int bits = CbDrawHelpers()->GetScreenBitsPerPixel();

  COLORREF* c = m_std;
  c[0] = c[28] = c[29] = 0;
  for (int i = 1; i <= 27; ++i) c[i] = Sys(i);
  const COLORREF s5 = Sys(5), s7 = Sys(7), s8 = Sys(8), s13 = Sys(13), s14 = Sys(14), s15 = Sys(15), s16 = Sys(16),
                 s17 = Sys(17), s18 = Sys(18);
  c[30] = s15;
  c[31] = c[36] = c[41] = s5;
  c[32] = c[33] = c[37] = c[50] = s13;
  c[35] = s17;
  c[44] = s8;
  c[45] = s7;
  c[46] = c[49] = s18;
  c[47] = s14;
  for (int i : {48, 51, 53, 55, 56}) c[i] = s15;
  for (int i : {34, 38, 39, 40, 42, 43, 52, 54, 57}) c[i] = s16;
  if (bits > 0 && bits <= 8) {
    SetGradients();
    return;
  }

  c[30] = Blend(s5, s15, 165);
  c[31] = Blend(s13, s5, 30);
  c[33] = Blend(s13, s5, 50);
  c[41] = Blend(s15, s5, 143);
  c[35] = Blend(s17, s5, 70);
  c[38] = Blend(s16, s5, 75);
  c[39] = Blend(s16, s5, 70);
  c[43] = Blend(c[46], s16, 20);
  c[40] = Blend(s16, s5, 90);
  c[42] = Blend(s15, s16, 90);

  c[30] = PullTowards(c[30], s15, 35);
  c[31] = PushAway(c[31], c[30], 50);
  c[32] = PushAway(s13, c[30], 100);
  c[33] = PushAway(c[33], c[30], 30);
  c[35] = PushAway(c[35], c[41], 80);
  c[37] = PushAway(c[37], c[33], 100);
  c[38] = PushAway(c[38], c[30], 85);
  c[39] = PushAway(c[39], c[30], 50);
  c[43] = PushAway(c[43], c[47], 100);
  c[40] = PushAway(c[40], c[30], 80);
  c[44] = PushAway(c[44], c[41], 180);
  c[45] = PushAway(c[45], c[31], 180);
  c[46] = PushAway(c[46], c[30], 180);
  c[47] = PushAway(c[47], c[33], 180);
  c[35] = PullTowards(c[35], c[41], 145);

  c[36] = RGB(GetRValue(c[30]) / 2 + (int)(GetRValue(s5) * 0.4) + GetRValue(s13) / 10,
              GetGValue(c[30]) / 2 + (int)(GetGValue(s5) * 0.4) + GetGValue(s13) / 10,
              GetBValue(c[30]) / 2 + (int)(GetBValue(s5) * 0.4) + GetBValue(s13) / 10);
  {
    int m = std::max({GetRValue(s15), GetGValue(s15), GetBValue(s15)});
    if (m == 0) {
      c[48] = RGB(35, 35, 35);
    } else {
      int top = m + std::min(255 - m, 35);
      c[48] = RGB(GetRValue(s15) * top / m, GetGValue(s15) * top / m, GetBValue(s15) * top / m);
    }
  }
  {
    int m = std::max({GetRValue(s16), GetGValue(s16), GetBValue(s16)});
    if (m <= 43)
      c[49] = 0;
    else
      c[49] = RGB(GetRValue(s16) * (m - 43) / m, GetGValue(s16) * (m - 43) / m, GetBValue(s16) * (m - 43) / m);
  }
  c[34] = Scale(c[31], 0.75);
  c[22] =
      RGB(std::min(255, GetRValue(s15) + 15), std::min(255, GetGValue(s15) + 15), std::min(255, GetBValue(s15) + 15));
  c[53] = c[30];

  SetGradients();

  CCbWinThemeWrapper tree;
  COLORREF border = 0;
  if (tree.OpenThemeData(nullptr, "TREEVIEW") && tree.IsAppThemed() && tree.GetThemeColor(0, 0, 3801, &border) == S_OK)
    c[57] = border;
}
