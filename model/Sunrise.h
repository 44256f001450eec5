// Sunrise and sunset for a date at a position.
#pragma once

#include "model/Position.h"
#include "model/QsDateTime.h"

#include <cstdint>

// The US Naval Observatory's almanac method (official zenith 90°50'); times in
// UT on the stored date, to the minute.
class CSunrise {
 public:
  CSunrise() = default;
  virtual ~CSunrise() = default;

  // Throws the framework's failure exception (E_FAIL) for a year below 1900,
  // a month outside 1-12 or a day outside 1-31.
  void SetDate(int day, int month, int year);
  void SetPosition(const CPosition& position) { m_position = position; }
  const CPosition& GetPosition() const { return m_position; }

  // 1 and the stored date with the event's UT hour and minute (second 0);
  // 0 when the Sun does not rise (set) that day, leaving the value untouched.
  int GetSunrise(CQsDateTime& sunrise) const;
  int GetSunset(CQsDateTime& sunset) const;

 private:
  int Calculate(bool rising, CQsDateTime& out) const;

  // Midnight of the date on the zone-free scale of CQsDateTime::ToSeconds.
  std::int64_t m_midnight = CQsDateTime().ToSeconds();
  CPosition m_position;
};
