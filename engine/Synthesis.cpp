#include "engine/Synthesis.h"

#include "engine/Angles.h"
#include "engine/SinCos.h"

#include <algorithm>
#include <cmath>

namespace ebc {

namespace {

constexpr double kPhaseToRad = kTableDegToRad;

}  // namespace

double HoursOfDay(int hour, int minute, int second) {
  return hour + minute * 0.016666666666666666 + second * 0.0002777777777777778;
}

void SumAt(const GridHeader& header, const PointData& point, const DayTable& day, double hours, double datumOffset,
           bool heights, bool streams, double& height, double& u, double& v) {
  // f A cos(w t + arg - g) = f (A cos g cos(w t + arg) + A sin g sin(w t + arg)): one sine and
  // cosine per constituent serves every quantity, and every place asked for at one instant (the
  // chart's stream field asks for hundreds).
  struct Instant {
    int year = 0, dayOfYear = 0;
    double hours = 0;
    int count = 0;
    std::array<int, kConstituentCount> numbers{};
    std::array<double, kConstituentCount> c{}, s{};
  };
  static Instant at;  // one engine state, calls never overlap
  const int n = header.nconst;
  if (at.dayOfYear == 0 || at.year != day.year || at.dayOfYear != day.dayOfYear || at.hours != hours || at.count != n ||
      !std::equal(header.numbers.begin(), header.numbers.begin() + n, at.numbers.begin())) {
    at.dayOfYear = 0;  // not valid while it is made
    double angle[kConstituentCount];
    for (int i = 0; i < n; ++i) {
      const int k = header.numbers[i];
      angle[i] = day.speed[k] * hours + (day.V0[k] + day.u[k]) * kPhaseToRad;
      at.numbers[i] = k;
    }
    SinCos(n, angle, at.s.data(), at.c.data());
    for (int i = 0; i < n; ++i) {
      const double f = day.f[header.numbers[i]];
      at.c[i] *= f;
      at.s[i] *= f;
    }
    at.year = day.year;
    at.hours = hours;
    at.count = n;
    at.dayOfYear = day.dayOfYear;
  }
  const PointPhasors& k = point.phasors;
  double h = 0, su = 0, sv = 0;
  for (int i = 0; i < n; ++i) {
    if (heights) h += k.heightC[i] * at.c[i] + k.heightS[i] * at.s[i];
    if (streams) {
      su += k.uC[i] * at.c[i] + k.uS[i] * at.s[i];
      sv += k.vC[i] * at.c[i] + k.vS[i] * at.s[i];
    }
  }
  height = point.z0 + datumOffset + h;
  u = point.u0 + su;
  v = point.v0 + sv;
}

void ApplyPressureCorrection(double& height, double pressure) {
  if (pressure > 0.01) height += (1010.0 - pressure) * 0.01;
}

void SpeedAndDirection(double u, double v, double& speed, double& direction) {
  speed = std::sqrt(u * u + v * v);
  direction = std::atan2(u, v) * 57.29577951;
  if (direction < 0) direction += 360.0;
}

void SeriesSynthesizer::prepare(const GridHeader& header, const PointData& point, double stepHours, bool heights,
                                bool streams) {
  n_ = header.nconst;
  // A multiple of eight doubles, for the wide loop below.
  blocks_ = (n_ + 4 * kLanes - 1) / (4 * kLanes) * 4;
  heights_ = heights;
  streams_ = streams;
  for (auto* v : {&hc_, &hs_, &uc_, &us_, &vc_, &vs_, &c_, &s_, &rc_, &rs_})
    v->assign(static_cast<std::size_t>(blocks_), Lanes{});

  k_ = point.phasors;
  const DayTable speeds = [] {
    DayTable t;
    InitConstituentSpeeds(t);
    return t;
  }();
  for (int i = 0; i < n_; ++i) {
    numbers_[i] = header.numbers[i];
    const double w = speeds.speed[numbers_[i]];
    const std::size_t b = static_cast<std::size_t>(i / kLanes);
    rc_[b][i % kLanes] = std::cos(w * stepHours);
    rs_[b][i % kLanes] = std::sin(w * stepHours);
  }
}

void SeriesSynthesizer::startDay(const DayTable& day, double hours) {
  for (int i = 0; i < n_; ++i) {
    const int number = numbers_[i];
    const std::size_t b = static_cast<std::size_t>(i / kLanes);
    const int lane = i % kLanes;
    const double f = day.f[number];
    const double arg = (day.V0[number] + day.u[number]) * kPhaseToRad;
    const double ca = f * std::cos(arg);
    const double sa = f * std::sin(arg);
    // f A cos(arg - g) = f (cos arg A cos g + sin arg A sin g), and the same for sin.
    if (heights_) {
      hc_[b][lane] = ca * k_.heightC[i] + sa * k_.heightS[i];
      hs_[b][lane] = sa * k_.heightC[i] - ca * k_.heightS[i];
    }
    if (streams_) {
      uc_[b][lane] = ca * k_.uC[i] + sa * k_.uS[i];
      us_[b][lane] = sa * k_.uC[i] - ca * k_.uS[i];
      vc_[b][lane] = ca * k_.vC[i] + sa * k_.vS[i];
      vs_[b][lane] = sa * k_.vC[i] - ca * k_.vS[i];
    }
    const double w = day.speed[number];
    c_[b][lane] = std::cos(w * hours);
    s_[b][lane] = std::sin(w * hours);
  }
}

namespace {

// One step of the series: the sums of each quantity over the blocks of V (Ops::kWidth doubles),
// and every phasor rotated. Two accumulators per quantity, for blocks b and b + 1, keep the
// additions independent; each phasor is read once, used, rotated and stored. The arrays hold
// a multiple of eight doubles, 16-byte aligned. Always inlined, so that each caller compiles it
// for its own processor (the wide loop for AVX).
template <class Ops>
__attribute__((always_inline)) inline void NextSeries(int doubles, bool heights, bool streams, double* __restrict cp,
                                                      double* __restrict sp, const double* __restrict rcp,
                                                      const double* __restrict rsp, const double* __restrict hcp,
                                                      const double* __restrict hsp, const double* __restrict ucp,
                                                      const double* __restrict usp, const double* __restrict vcp,
                                                      const double* __restrict vsp, double out[3]) {
  typedef typename Ops::V V;
  static_assert(sizeof(V) == Ops::kWidth * sizeof(double), "a block of kWidth doubles");
  // The arrays promise 16 bytes only: a wider alignment here would make the loads fault.
  static_assert(alignof(V) == 16, "blocks aligned as the arrays are");
  V* c = reinterpret_cast<V*>(cp);
  V* s = reinterpret_cast<V*>(sp);
  const V* rc = reinterpret_cast<const V*>(rcp);
  const V* rs = reinterpret_cast<const V*>(rsp);
  const V* hc = reinterpret_cast<const V*>(hcp);
  const V* hs = reinterpret_cast<const V*>(hsp);
  const V* uc = reinterpret_cast<const V*>(ucp);
  const V* us = reinterpret_cast<const V*>(usp);
  const V* vc = reinterpret_cast<const V*>(vcp);
  const V* vs = reinterpret_cast<const V*>(vsp);
  const int blocks = doubles / Ops::kWidth;
  V h0{}, h1{}, u0{}, u1{}, v0{}, v1{};
  if (heights && !streams) {
    for (int b = 0; b < blocks; b += 2) {
      const V c0 = c[b], s0 = s[b], c1 = c[b + 1], s1 = s[b + 1];
      h0 += hc[b] * c0 - hs[b] * s0;
      h1 += hc[b + 1] * c1 - hs[b + 1] * s1;
      c[b] = c0 * rc[b] - s0 * rs[b];
      s[b] = s0 * rc[b] + c0 * rs[b];
      c[b + 1] = c1 * rc[b + 1] - s1 * rs[b + 1];
      s[b + 1] = s1 * rc[b + 1] + c1 * rs[b + 1];
    }
  } else {
    for (int b = 0; b < blocks; b += 2) {
      const V c0 = c[b], s0 = s[b], c1 = c[b + 1], s1 = s[b + 1];
      if (heights) {
        h0 += hc[b] * c0 - hs[b] * s0;
        h1 += hc[b + 1] * c1 - hs[b + 1] * s1;
      }
      u0 += uc[b] * c0 - us[b] * s0;
      u1 += uc[b + 1] * c1 - us[b + 1] * s1;
      v0 += vc[b] * c0 - vs[b] * s0;
      v1 += vc[b + 1] * c1 - vs[b + 1] * s1;
      c[b] = c0 * rc[b] - s0 * rs[b];
      s[b] = s0 * rc[b] + c0 * rs[b];
      c[b + 1] = c1 * rc[b + 1] - s1 * rs[b + 1];
      s[b + 1] = s1 * rc[b + 1] + c1 * rs[b + 1];
    }
  }
  // Lanes are added in pairs, the same order for either width.
  const V* sums[3][2] = {{&h0, &h1}, {&u0, &u1}, {&v0, &v1}};
  for (int q = 0; q < 3; ++q) {
    const V& a = *sums[q][0];
    const V& b = *sums[q][1];
    if constexpr (Ops::kWidth == 2)
      out[q] = (a[0] + a[1]) + (b[0] + b[1]);
    else
      out[q] = ((a[0] + a[1]) + (a[2] + a[3])) + ((b[0] + b[1]) + (b[2] + b[3]));
  }
}

// Two doubles, an SSE2 register: the loop every processor runs.
struct NarrowOps {
  static constexpr int kWidth = 2;
  typedef double V __attribute__((vector_size(16)));
};

#if defined(__x86_64__)
// Four doubles, for processors with AVX. The type is declared here rather than passed as a
// template argument, which would lose its 16-byte alignment.
struct WideOps {
  static constexpr int kWidth = 4;
  typedef double V __attribute__((vector_size(32), aligned(16)));
};

__attribute__((target("avx"))) void NextWide(int doubles, bool heights, bool streams, double* cp, double* sp,
                                             const double* rcp, const double* rsp, const double* hcp, const double* hsp,
                                             const double* ucp, const double* usp, const double* vcp, const double* vsp,
                                             double out[3]) {
  NextSeries<WideOps>(doubles, heights, streams, cp, sp, rcp, rsp, hcp, hsp, ucp, usp, vcp, vsp, out);
}

bool g_wideLoop = __builtin_cpu_supports("avx");
#else
bool g_wideLoop = false;
#endif

}  // namespace

bool UseWideSeriesLoop(bool wide) {
  const bool previous = g_wideLoop;
#if defined(__x86_64__)
  g_wideLoop = wide && __builtin_cpu_supports("avx");
#else
  (void)wide;
#endif
  return previous;
}

void SeriesSynthesizer::next(double* height, double* u, double* v) {
  auto raw = [](auto& lanes) { return reinterpret_cast<double*>(lanes.data()); };
  const int doubles = blocks_ * kLanes;
  double out[3];
#if defined(__x86_64__)
  if (g_wideLoop)
    NextWide(doubles, heights_, streams_, raw(c_), raw(s_), raw(rc_), raw(rs_), raw(hc_), raw(hs_), raw(uc_), raw(us_),
             raw(vc_), raw(vs_), out);
  else
#endif
    NextSeries<NarrowOps>(doubles, heights_, streams_, raw(c_), raw(s_), raw(rc_), raw(rs_), raw(hc_), raw(hs_),
                          raw(uc_), raw(us_), raw(vc_), raw(vs_), out);
  if (height) *height = out[0];
  if (u) *u = out[1];
  if (v) *v = out[2];
}

}  // namespace ebc
