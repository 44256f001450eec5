#include "model/Prediction.h"

#include "model/Angles.h"
#include "model/LocalDay.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CPrediction, CObject)

namespace {

constexpr double kRad = angles::kTideDegToRad;

enum { M2 = CAngleFactorData::M2, S2 = CAngleFactorData::S2, K1 = CAngleFactorData::K1, O1 = CAngleFactorData::O1 };

}  // namespace

CPrediction::CPrediction() { ClearCache(); }

void CPrediction::SetPort(CPortData port) {
  m_port = port;
  m_termsReady = false;
  m_dayEvents.valid = false;
}

void CPrediction::SetAngleFactors(const CAngleFactorData& today, const CAngleFactorData& nextDay) {
  m_today = today;
  m_nextDay = nextDay;

  // In long long, so that angles far outside 0-359 (a damaged table) cannot overflow; the
  // result is kept within int.
  auto store = [this](int c, long long angle) {
    m_nextDay.SetAngle(c, static_cast<int>(std::clamp<long long>(angle, INT_MIN, INT_MAX)));
  };
  const long long m2 = today.GetAngle(M2);
  long long next = nextDay.GetAngle(M2);
  if (next < m2) next += 360;
  store(M2, next);

  const long long s2 = today.GetAngle(S2);
  next = nextDay.GetAngle(S2);
  if (next - s2 > 300) next -= 360;
  if (s2 - next > 300) next += 360;
  store(S2, next);

  const long long k1 = today.GetAngle(K1);
  next = nextDay.GetAngle(K1);
  if (next - k1 > 300) next -= 360;
  store(K1, next);

  const long long o1 = today.GetAngle(O1);
  next = nextDay.GetAngle(O1);
  if (next < o1) next += 360;
  store(O1, next);

  m_termsReady = false;
  m_dayEvents.valid = false;
}

void CPrediction::ClearCache() {
  for (CacheSlot& slot : m_cache) {
    slot.height = 0.0f;
    slot.valid = 0;
  }
  m_filtered = 0;
  m_dayEvents.valid = false;
}

namespace {

// Wide enough that a summer hour added to any int code cannot overflow.
long long ZoneMinutes(long long zoneCode) {
  if (zoneCode >= -100 && zoneCode <= 100) return zoneCode * 60;
  const double x = static_cast<double>(zoneCode) / 100.0;
  const double magnitude = std::fabs(x);
  if (magnitude - std::floor(magnitude) <= 0.001) return 0;
  if (zoneCode > 100) return static_cast<long long>(std::floor(x)) * 60 + 30;
  return static_cast<long long>(std::ceil(x)) * 60 - 30;
}

}  // namespace

int CPrediction::ZoneCodeToMinutes(int zoneCode) { return static_cast<int>(ZoneMinutes(zoneCode)); }

void CPrediction::PrepareTerms() const {
  Terms& p = m_terms;
  const double am2 = m_today.GetAngle(M2);
  const double am2Next = m_nextDay.GetAngle(M2);
  const double ksemi = 360.0 * (std::floor((am2Next + 600.0 - am2) / 360.0) + 1.0);
  const double kdiu = 360.0 * (std::floor((am2Next + 300.0 - am2) / 360.0) + 1.0);

  for (int c = 0; c < 4; ++c) {
    const double a = m_today.GetAngle(c);
    const double aNext = m_nextDay.GetAngle(c);
    const double k = (c == M2 || c == S2) ? ksemi : kdiu;
    p.ag[c] = a + m_port.GetPhase(c);
    p.speed[c] = (k + a - aNext) / 24.0;
    p.factor[c] = m_today.GetFactor(c);
    p.factorRate[c] = (m_nextDay.GetFactor(c) - m_today.GetFactor(c)) / 24.0;
    p.amp[c] = m_port.GetAmplitude(c);
    for (int r = 0; r < kStep; ++r) {
      const double turn = p.speed[c] * (r / 60.0) * kRad;
      p.stepCos[c][r] = std::cos(turn);
      p.stepSin[c][r] = std::sin(turn);
    }
  }
  p.h4 = m_port.GetAmplitude(CPortData::F4);
  p.h6 = m_port.GetAmplitude(CPortData::F6);
  p.cos4 = std::cos(m_port.GetPhase(CPortData::F4) * kRad);
  p.sin4 = std::sin(m_port.GetPhase(CPortData::F4) * kRad);
  p.cos6 = std::cos(m_port.GetPhase(CPortData::F6) * kRad);
  p.sin6 = std::sin(m_port.GetPhase(CPortData::F6) * kRad);
  p.z0 = m_port.GetMeanLevel();

  // The blocks cover the harmonic minutes of the cache's slots.
  const long long first = ZoneMinutes(m_port.GetTimeZone()) - kCacheLead;
  p.firstBlock = first >= 0 ? first / kStep : -((-first + kStep - 1) / kStep);
  for (bool& ready : p.blockReady) ready = false;
  m_termsReady = true;
}

void CPrediction::DirectArguments(double harmonicMinute, double cosines[4], double sines[4]) const {
  const double t = harmonicMinute / 60.0;
  for (int c = 0; c < 4; ++c) {
    const double theta = (m_terms.ag[c] - m_terms.speed[c] * t) * kRad;
    cosines[c] = std::cos(theta);
    sines[c] = std::sin(theta);
  }
}

void CPrediction::Arguments(long long harmonicMinute, double cosines[4], double sines[4]) const {
  Terms& p = m_terms;
  const long long q = harmonicMinute >= 0 ? harmonicMinute / kStep : -((-harmonicMinute + kStep - 1) / kStep);
  const long long block = q - p.firstBlock;
  if (block < 0 || block >= kBlocks) {
    DirectArguments(static_cast<double>(harmonicMinute), cosines, sines);
    return;
  }
  if (!p.blockReady[block]) {
    double c[4], s[4];
    DirectArguments(static_cast<double>(q * kStep), c, s);
    for (int i = 0; i < 4; ++i) {
      p.blockCos[i][block] = c[i];
      p.blockSin[i][block] = s[i];
    }
    p.blockReady[block] = true;
  }
  const int r = static_cast<int>(harmonicMinute - q * kStep);
  for (int i = 0; i < 4; ++i) {
    // The argument falls with time: theta(q + r) = theta(q) - turn(r).
    const double cb = p.blockCos[i][block], sb = p.blockSin[i][block];
    const double cr = p.stepCos[i][r], sr = p.stepSin[i][r];
    cosines[i] = cb * cr + sb * sr;
    sines[i] = sb * cr - cb * sr;
  }
}

double CPrediction::Combine(double t, const double cosines[4], const double sines[4]) const {
  const Terms& p = m_terms;
  double f[4];
  for (int c = 0; c < 4; ++c) f[c] = p.factor[c] + t * p.factorRate[c];

  const double x = p.amp[M2] * f[M2] * sines[M2] + p.amp[S2] * f[S2] * sines[S2];
  const double y = p.amp[M2] * f[M2] * cosines[M2] + p.amp[S2] * f[S2] * cosines[S2];
  double height = p.z0 + y + p.amp[K1] * f[K1] * cosines[K1] + p.amp[O1] * f[O1] * cosines[O1];
  if (p.h4 == 0.0 && p.h6 == 0.0) return height;  // phi and R feed only the shallow-water terms

  // The semidiurnal sum as a signed amplitude R at phase phi, 0 <= phi < 180 degrees, with
  // tan phi = X / Y, X = R sin phi and Y = R cos phi: R takes the sign of X and sin phi >= 0.
  // Taken from X and Y directly rather than as X / sin(phi): with the method's pi, phi + 180
  // is not quite the half turn, and just below X = 0 that quotient runs off to any size.
  // With X = 0 the quotient has no value; its limit is R = Y at phi = 0.
  double r = y, cosPhi = 1.0, sinPhi = 0.0;
  if (x != 0.0) {
    const double hyp = std::sqrt(x * x + y * y);
    const double sign = x > 0.0 ? 1.0 : -1.0;
    const double inverse = 1.0 / hyp;
    r = sign * hyp;
    cosPhi = sign * y * inverse;
    sinPhi = std::fabs(x) * inverse;
  }
  if (p.h4 != 0.0) {
    const double cos2 = cosPhi * cosPhi - sinPhi * sinPhi;
    const double sin2 = 2.0 * sinPhi * cosPhi;
    height += p.h4 * (r * r) * (p.cos4 * cos2 - p.sin4 * sin2);
  }
  if (p.h6 != 0.0) {
    const double cos3 = cosPhi * (4.0 * cosPhi * cosPhi - 3.0);
    const double sin3 = sinPhi * (3.0 - 4.0 * sinPhi * sinPhi);
    height += p.h6 * (r * r * r) * (p.cos6 * cos3 - p.sin6 * sin3);
  }
  return height;
}

double CPrediction::HarmonicHeight(double harmonicMinute) const {
  if (!m_termsReady) PrepareTerms();
  double cosines[4], sines[4];
  if (harmonicMinute == std::floor(harmonicMinute) && std::fabs(harmonicMinute) < 1e15)
    Arguments(static_cast<long long>(harmonicMinute), cosines, sines);
  else
    DirectArguments(harmonicMinute, cosines, sines);
  return Combine(harmonicMinute / 60.0, cosines, sines);
}

float CPrediction::Compute(long long slot) const {
  const long long harmonicMinute = slot + ZoneMinutes(m_port.GetTimeZone()) - kCacheLead;
  return static_cast<float>(HarmonicHeight(static_cast<double>(harmonicMinute)));
}

double CPrediction::HeightAt(int minute, int zoneCode, int summer) {
  // 64-bit, so no minute or zone code can overflow the slot arithmetic.
  long long zone = zoneCode;
  long long extra = 0;
  if (summer > 1)
    extra = summer;
  else if (summer)
    zone += (zone > 100 || zone < -100) ? 100 : 1;
  const long long slot = static_cast<long long>(minute) - ZoneMinutes(zone) - extra + kCacheLead;
  if (slot < 0 || slot >= kCacheSlots) return Compute(slot);  // no place in the cache: computed afresh each time
  CacheSlot& cell = m_cache[slot];
  if (!cell.valid) {
    cell.height = Compute(slot);
    cell.valid = 1;
  }
  return cell.height;
}

int CPrediction::FindHighLow(int zoneCode, int summer, TIMEHEIGHT out[4]) {
  return FindEvents(zoneCode, summer, CLocalDay::kDayMinutes, 4, true, out);
}

int CPrediction::FindHighLow(const CLocalDay& day, TIMEHEIGHT out[kMaxDayEvents], int* elapsed) {
  DayEvents& kept = m_dayEvents;
  if (!kept.valid || !(kept.day == day)) {
    const int length = day.GetMinutes();
    const int capacity = length > CLocalDay::kDayMinutes ? kMaxDayEvents : 4;
    kept.count = FindEvents(day.GetZoneCode(), day.GetStartSummerArg(), length, capacity, false, kept.events);
    kept.filtered = m_filtered;
    for (int i = 0; i < kept.count; ++i) {
      kept.elapsed[i] = kept.events[i].minutes;
      kept.events[i].minutes = day.ClockMinute(kept.events[i].minutes);
    }
    kept.day = day;
    kept.valid = true;
  }
  m_filtered = kept.filtered;
  for (int i = 0; i < kept.count; ++i) {
    out[i] = kept.events[i];
    if (elapsed) elapsed[i] = kept.elapsed[i];
  }
  return kept.count;
}

int CPrediction::FindEvents(int zoneCode, int summer, int length, int capacity, bool lastMinuteOwns, TIMEHEIGHT* out) {
  std::vector<TIMEHEIGHT> events;
  events.reserve(8);
  for (int k = 0; k <= length; k += 10) {
    const double before = HeightAt(k - 10, zoneCode, summer);
    const double at = HeightAt(k, zoneCode, summer);
    const double after = HeightAt(k + 10, zoneCode, summer);
    if (!((at > before && at > after) || (at < before && at < after))) continue;
    for (int m = k - 10; m <= k + 9; ++m) {
      double b;
      if (!TurningAt(m, zoneCode, summer, b)) continue;
      int time = m + 1;
      if (time < 0 || time > length) continue;
      if (time == length) {
        // The first minute of the next day, where its own finder lists it.
        if (!lastMinuteOwns) continue;
        time = length - 1;
      }
      // Neighbouring windows overlap: a turning point found twice is one event.
      if (!lastMinuteOwns &&
          std::any_of(events.begin(), events.end(), [time](const TIMEHEIGHT& e) { return e.minutes == time; }))
        continue;
      events.push_back({time, b});
    }
  }

  int count = 0;
  if (static_cast<int>(events.size()) <= capacity) {
    m_filtered = 0;
    for (const TIMEHEIGHT& e : events) out[count++] = e;
    return count;
  }

  m_filtered = 1;
  double hi = 0.0;
  double lo = 10000.0;
  for (const TIMEHEIGHT& e : events) {
    if (e.metres > hi) hi = e.metres;
    if (e.metres < lo) lo = e.metres;
  }
  int lastTaken = 0;
  bool any = false;
  for (const TIMEHEIGHT& e : events) {
    if (!(e.metres < lo + 0.3 || e.metres > hi - 0.3)) continue;
    if (any && e.minutes <= lastTaken + 180) continue;
    any = true;
    lastTaken = e.minutes;
    out[count++] = e;
    if (count == capacity) break;
  }
  return count;
}

bool CPrediction::TurningAt(int m, int zoneCode, int summer, double& b) {
  const double a = HeightAt(m - 1, zoneCode, summer);
  b = HeightAt(m, zoneCode, summer);
  const double d = HeightAt(m + 1, zoneCode, summer);
  bool turning = (a < b && d < b) || (a > b && d > b);
  if (!turning && d == b && a != b) {
    const double e = HeightAt(m + 2, zoneCode, summer);
    turning = (a < b && e < b) || (a > b && e > b);
  }
  return turning;
}

int CPrediction::TurningPoints(const CLocalDay& day, int from, int to, TIMEHEIGHT* out, int max) {
  int n = 0;
  for (int m = from - 1; m < to - 1 && n < max; ++m) {
    double b;
    if (TurningAt(m, day.GetZoneCode(), day.GetStartSummerArg(), b)) out[n++] = {m + 1, b};
  }
  return n;
}

std::pair<double, double> CPrediction::CalcDayRange(int zoneCode, int summer) {
  return DayRange(zoneCode, summer, CLocalDay::kDayMinutes);
}

std::pair<double, double> CPrediction::DayRange(int zoneCode, int summer, int length) {
  float highest = 0.0f;
  float lowest = 0.0f;
  float trueLowest = 100.0f;
  for (int m = 0; m < length; ++m) {
    const float h = static_cast<float>(HeightAt(m, zoneCode, summer));
    if (h > highest) highest = h;
    if (h < lowest) lowest = h;
    if (h < trueLowest) trueLowest = h;
  }
  m_dayMax = highest;
  m_dayMin = trueLowest;
  return {highest, lowest};
}

double CPrediction::HeightDropToNextLow(int start, int zoneCode, int summer) {
  double prev = HeightAt(start - 1, zoneCode, summer);
  double cur = HeightAt(start, zoneCode, summer);
  const double top = cur;
  for (int i = start + 1; i <= start + 900; ++i) {
    const double next = HeightAt(i, zoneCode, summer);
    if (cur < prev && cur < next && (!m_filtered || cur < m_dayMin + 0.3 || cur > m_dayMax - 0.3)) return top - cur;
    prev = cur;
    cur = next;
  }
  return -100.0;
}

double CPrediction::HeightAt(const CLocalDay& day, int elapsed) {
  return HeightAt(elapsed, day.GetZoneCode(), day.GetStartSummerArg());
}

double CPrediction::HeightAtClock(const CLocalDay& day, int clock) {
  return HeightAt(day.MinuteOfClock(clock), day.GetZoneCode(), day.GetStartSummerArg());
}

std::pair<double, double> CPrediction::CalcDayRange(const CLocalDay& day) {
  return DayRange(day.GetZoneCode(), day.GetStartSummerArg(), day.GetMinutes());
}

double CPrediction::HeightDropToNextLow(const CLocalDay& day, int clock) {
  return HeightDropToNextLow(day.MinuteOfClock(clock), day.GetZoneCode(), day.GetStartSummerArg());
}
