// NMEA sentences from a GPS receiver: the input is the byte stream the serial device gives.
// It is read as the reader thread reads it; however the stream is cut into reads, the same
// fixes must come out, every fix handed on must be a real position, speed and course, and
// the unfinished line kept between reads must stay small.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "chart/GpsReader.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "gps sentences: %s\n", what);
  std::abort();
}

void CheckFix(const GPSFIX& f) {
  if (!(f.latitude >= -90.0 && f.latitude <= 90.0) || !(f.longitude >= -180.0 && f.longitude <= 180.0))
    Fail("a position off the globe was handed on");
  if (!std::isfinite(f.speed) || f.speed < 0.0 || f.speed > CGpsReader::kMaxSpeed ||
      !(f.course >= 0.0 && f.course < 360.0))
    Fail("a speed or course out of range was handed on");
  if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 60)
    Fail("a time out of range was handed on");
  if (f.day < 0 || f.day > 31 || f.month < 0 || f.month > 12 || f.year < 0 || f.year > 99)
    Fail("a date out of range was handed on");
}

bool Same(const GPSFIX& a, const GPSFIX& b) {
  return a.latitude == b.latitude && a.longitude == b.longitude && a.speed == b.speed && a.course == b.course &&
         a.hour == b.hour && a.minute == b.minute && a.second == b.second && a.day == b.day && a.month == b.month &&
         a.year == b.year;
}

// Feeds the stream in reads of the given sizes (cycled); the fixes stored and the last one.
int Feed(CGpsReader& reader, const std::uint8_t* data, std::size_t size, const std::vector<int>& reads) {
  int fixes = 0;
  std::size_t at = 0;
  for (std::size_t k = 0; at < size; ++k) {
    const std::size_t n = std::min<std::size_t>(reads[k % reads.size()], size - at);
    const int got = reader.Consume(reinterpret_cast<const char*>(data + at), static_cast<int>(n));
    at += n;
    if (reader.GetPendingLength() > CGpsReader::kMaxSentence + 1) Fail("the unfinished line grew past a sentence");
    GPSFIX f;
    if (got > 0) {
      if (!reader.GetFix(&f)) Fail("a fix was counted but not kept");
      CheckFix(f);
    }
    fixes += got;
  }
  return fixes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CGpsReader whole;
  const int fixesWhole = Feed(whole, data, size, {256});

  neapwise_fuzz::Derived d(data, size);
  std::vector<int> reads;
  for (int i = 0; i < 8; ++i) reads.push_back(d.range(1, 300));
  CGpsReader cut;
  const int fixesCut = Feed(cut, data, size, reads);
  if (fixesCut != fixesWhole) Fail("cutting the stream into other reads changed the fixes");
  GPSFIX a, b;
  const int hasA = whole.GetFix(&a), hasB = cut.GetFix(&b);
  if (hasA != hasB || (hasA && !Same(a, b))) Fail("cutting the stream into other reads changed the last fix");

  // The input as one line, through each step on its own.
  const std::string line(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> tokens;
  if (CGpsReader::Tokenize(line, tokens)) {
    GPSFIX f;
    if (CGpsReader::ParseRMC(tokens, f)) CheckFix(f);
    if (CGpsReader::ParseGGA(tokens, f) && !(std::fabs(f.latitude) <= 90.0 && std::fabs(f.longitude) <= 180.0))
      Fail("a GGA position off the globe");
  }
  return 0;
}
