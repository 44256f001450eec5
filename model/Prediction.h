// The tide at one port for one day: the program's own harmonic method with a per-minute cache.
#pragma once

#include <climits>
#include <cstddef>
#include <utility>

#include "model/AngleFactorDB.h"
#include "model/LocalDay.h"
#include "model/PortDB.h"
#include "platform/core/Afx.h"
#include "platform/core/AfxPages.h"

// One tide event or sample; minutes -1 marks an empty slot.
struct TIMEHEIGHT {
  int minutes = -1;     // after local midnight
  double metres = 0.0;  // above chart datum
};

class CPrediction : public CObject {
  DECLARE_DYNAMIC(CPrediction)
 public:
  // The cache spans 840 minutes before to 2360 minutes after 00:00 UT of the day.
  static constexpr int kCacheSlots = 3201;
  static constexpr int kCacheLead = 840;
  // High and low waters a local day can list: five fit only in the 25 hours of an autumn change.
  static constexpr int kMaxDayEvents = 5;

  CPrediction();
  // Member by member: the cached heights and the prepared terms stay valid for the copy,
  // which has the same port and days.
  CPrediction(const CPrediction& other) = default;
  CPrediction& operator=(const CPrediction& other) = default;
  ~CPrediction() override = default;

  // The cache is written whole as a prediction is made: its pages come in one call.
  static void* operator new(std::size_t size) { return AfxNewPrefaulted(size); }
  static void* operator new[](std::size_t size) { return AfxNewPrefaulted(size); }
  static void operator delete(void* p) { ::operator delete(p); }
  static void operator delete[](void* p) { ::operator delete(p); }

  void SetPort(CPortData port);
  CPortData* GetPort() { return &m_port; }
  const CPortData* GetPort() const { return &m_port; }
  CString GetPortName() const { return m_port.GetName(); }
  int GetZoneCode() const { return m_port.GetTimeZone(); }
  // The summer-time rule code of the port (a damaged table's lowest area stays the lowest code).
  int GetArea() const { return m_port.GetRuleCode(); }

  // Copies both days and unwraps the next day's angles so that each change has one sense.
  // The cache is left alone: callers clear it.
  void SetAngleFactors(const CAngleFactorData& today, const CAngleFactorData& nextDay);
  const CAngleFactorData& GetToday() const { return m_today; }
  const CAngleFactorData& GetNextDay() const { return m_nextDay; }
  void ClearCache();
  CQsDateTime GetDate() const { return m_today.GetDate(); }

  // Height at a local minute of the day in a display zone; summer 1 adds one hour to the zone,
  // a larger summer that many minutes (a half-hour summer time).
  double HeightAt(int minute, int zoneCode, int summer);
  // Up to four high and low waters of the local day, in time order; returns how many.
  int FindHighLow(int zoneCode, int summer, TIMEHEIGHT out[4]);
  // (highest, lowest) over the local day, clamped to 0 as the graph's scale wants.
  std::pair<double, double> CalcDayRange(int zoneCode, int summer);
  // (dayMax, dayMin) as stored by the last CalcDayRange.
  std::pair<double, double> GetDayRange() const { return {m_dayMax, m_dayMin}; }
  // Fall from the height at start to the next low water within 900 minutes, or -100.
  double HeightDropToNextLow(int start, int zoneCode, int summer);
  int IsFiltered() const { return m_filtered; }

  // ---- The local day as its clock runs (see CLocalDay) ----
  // Height at an elapsed minute of the day, and at a clock reading (its first occurrence).
  double HeightAt(const CLocalDay& day, int elapsed);
  double HeightAtClock(const CLocalDay& day, int clock);
  // The day's high and low waters in time order, each on the one day it belongs to: minutes
  // are clock readings; elapsed, when given, receives the elapsed minutes. Up to four, five on
  // a 25-hour day.
  int FindHighLow(const CLocalDay& day, TIMEHEIGHT out[kMaxDayEvents], int* elapsed = nullptr);
  // Every turning point at elapsed minutes from to to - 1 of the day, unfiltered, as the finder
  // tests them (the minute after the extreme sample): elapsed minutes and heights, at most max.
  int TurningPoints(const CLocalDay& day, int from, int to, TIMEHEIGHT* out, int max);
  // CalcDayRange over every elapsed minute of the day.
  std::pair<double, double> CalcDayRange(const CLocalDay& day);
  // HeightDropToNextLow from a clock reading.
  double HeightDropToNextLow(const CLocalDay& day, int clock);

  static int ZoneCodeToMinutes(int zoneCode);
  // Height at minutes after 00:00 of the day in the port's standard time, uncached.
  double HarmonicHeight(double harmonicMinute) const;

 private:
  struct CacheSlot {
    float height;
    int valid;
  };
  // Per-day terms of the height formula, so each minute does only the time-dependent part.
  // The constituents' arguments at whole minutes come from two small tables of cosines and
  // sines: minute = kStep * q + r, the argument at kStep * q (filled on first use) turned back
  // by the argument change over r minutes.
  static constexpr int kStep = 32;
  static constexpr int kBlocks = kCacheSlots / kStep + 3;
  struct Terms {
    double ag[4];          // today's angle + port phase, degrees
    double speed[4];       // degrees per hour
    double factor[4];      // today's factor
    double factorRate[4];  // change of the factor per hour towards the next day's
    double amp[4];
    double h4, h6, z0;
    double cos4, sin4, cos6, sin6;  // of the shallow-water phases
    double stepCos[4][kStep], stepSin[4][kStep];
    long long firstBlock;  // q of blockCos[.][0]
    double blockCos[4][kBlocks], blockSin[4][kBlocks];
    bool blockReady[kBlocks];
  };
  // The finder over elapsed minutes 0..length-1: an event whose time is the length is the
  // next day's (its 00:00) unless lastMinuteOwns, which keeps the old 23:59 reading.
  int FindEvents(int zoneCode, int summer, int length, int capacity, bool lastMinuteOwns, TIMEHEIGHT* out);
  std::pair<double, double> DayRange(int zoneCode, int summer, int length);
  // The finder's test of a turning point at minute m (reported at m + 1).
  bool TurningAt(int m, int zoneCode, int summer, double& height);
  void Arguments(long long harmonicMinute, double cosines[4], double sines[4]) const;
  void DirectArguments(double harmonicMinute, double cosines[4], double sines[4]) const;
  double Combine(double t, const double cosines[4], const double sines[4]) const;
  void PrepareTerms() const;
  float Compute(long long slot) const;

  int m_filtered = 0;
  CAngleFactorData m_today;
  CAngleFactorData m_nextDay;
  CPortData m_port;
  CacheSlot m_cache[kCacheSlots];
  double m_dayMax = 0.0;
  double m_dayMin = 0.0;
  // The last local day's events, kept until the cache is cleared: the month asks the day
  // before again for the midnight it shares with the next day.
  struct DayEvents {
    bool valid = false;
    CLocalDay day;
    int count = 0;
    int filtered = 0;
    TIMEHEIGHT events[kMaxDayEvents];
    int elapsed[kMaxDayEvents];
  };
  DayEvents m_dayEvents;
  mutable Terms m_terms{};
  mutable bool m_termsReady = false;
};
