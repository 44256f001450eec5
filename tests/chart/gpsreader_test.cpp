// The GPS reader: sentences as receivers send them, the stream assembled from the device's
// reads, and the reader thread on a pseudo-terminal (open, configure, read, stop, fail).
#include "chart/GpsReader.h"
#include "tests/chart/GpsTestKit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <thread>

using gps_test::CRecorder;
using gps_test::Pty;
using gps_test::Sentence;

namespace {

struct SentenceCase {
  const char* what;
  std::string line;
  int fix;  // 1 when the line gives a fix
  double latitude = 0, longitude = 0, speed = 0, course = 0;
  int hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
};

std::vector<SentenceCase> Cases() {
  const std::string rmc = Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
  std::string badSum = rmc;
  badSum[badSum.size() - 1] = badSum.back() == '0' ? '1' : '0';
  return {
      {"GPS talker", rmc, 1, 48.1173, 11.516667, 22.4, 84.4, 12, 35, 19, 23, 3, 94},
      {"multi-system talker, NMEA 2.3 mode field, fractional seconds",
       Sentence("GNRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A"), 1, 53.361337, -6.50562, 0.02,
       31.66, 9, 27, 50, 28, 5, 11},
      {"GLONASS talker, southern and western",
       Sentence("GLRMC,235959.50,A,3351.5200,S,15112.8000,E,5.5,359.9,311299,,"), 1, -33.858667, 151.213333, 5.5, 359.9,
       23, 59, 59, 31, 12, 99},
      {"Galileo talker, NMEA 4.1 with navigational status, no course at rest",
       Sentence("GARMC,001031.00,A,4404.13993,N,12118.86023,W,0.146,,100117,,,A,V"), 1, 44.068999, -121.314337, 0.146,
       0.0, 0, 10, 31, 10, 1, 17},
      {"lower case sentence and hemispheres", Sentence("gprmc,123519,a,4807.038,n,01131.000,w,1.0,10.0,230394,,"), 1,
       48.1173, -11.516667, 1.0, 10.0, 12, 35, 19, 23, 3, 94},
      {"a five-character time leaves the time 0", Sentence("GPRMC,12345,A,4807.038,N,01131.000,E,1.0,10.0,230394,,"), 1,
       48.1173, 11.516667, 1.0, 10.0, 0, 0, 0, 23, 3, 94},
      {"bad checksum", badSum, 0},
      {"no checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 0},
      {"status V: the receiver has no fix", Sentence("GPRMC,235947.000,V,4807.038,N,01131.000,E,,,280511,,,N"), 0},
      {"status V with empty fields", Sentence("GPRMC,235947.000,V,,,,,,,280511,,,N"), 0},
      {"empty latitude", Sentence("GPRMC,123519,A,,N,01131.000,E,022.4,084.4,230394,003.1,W"), 0},
      {"empty longitude", Sentence("GPRMC,123519,A,4807.038,N,,E,022.4,084.4,230394,003.1,W"), 0},
      {"missing hemisphere", Sentence("GPRMC,123519,A,4807.038,,01131.000,E,022.4,084.4,230394,003.1,W"), 0},
      {"latitude beyond the pole", Sentence("GPRMC,123519,A,9130.000,N,01131.000,E,1,1,230394,,"), 0},
      {"sixty minutes", Sentence("GPRMC,123519,A,4860.000,N,01131.000,E,1,1,230394,,"), 0},
      {"longitude beyond 180", Sentence("GPRMC,123519,A,4807.038,N,18100.000,E,1,1,230394,,"), 0},
      {"a negative latitude field", Sentence("GPRMC,123519,A,-4807.038,N,01131.000,E,1,1,230394,,"), 0},
      {"a comma for the decimal point", Sentence("GPRMC,123519,A,4807,038,N,01131.000,E,1,1,230394,,"), 0},
      {"a number in exponent form", Sentence("GPRMC,123519,A,4.807038e3,N,01131.000,E,1,1,230394,,"), 0},
      {"speed not a number", Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,fast,1,230394,,"), 0},
      {"course beyond a circle: the course alone is dropped",
       Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,1,361,230394,,"), 1, 48.1173, 11.516667, 1.0, 0.0, 12, 35, 19,
       23, 3, 94},
      {"a speed no vessel makes: the speed alone is dropped",
       Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,99999999999999999999999999999999,84.4,230394,,"), 1, 48.1173,
       11.516667, 0.0, 84.4, 12, 35, 19, 23, 3, 94},
      {"status A but mode N: not valid (NMEA 2.3)", Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,1,1,230394,,,N"),
       0},
      {"status A, mode N and a navigational status (NMEA 4.1)",
       Sentence("GNRMC,123519,A,4807.038,N,01131.000,E,1,1,230394,,,N,V"), 0},
      {"too few fields", Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,1,1,230394"), 0},
      {"GGA is a position without speed: no fix",
       Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"), 0},
      {"another sentence", Sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"), 0},
      {"a maker's own sentence of the same name", Sentence("PGRMC,123519,A,4807.038,N,01131.000,E,1,1,230394,,"), 0},
      {"a three-letter talker is no talker", Sentence("GPXRMC,123519,A,4807.038,N,01131.000,E,1,1,230394,,"), 0},
  };
}

TEST(GpsSentences, RmcFromEveryTalkerGivesAFixAndEverythingDoubtfulGivesNone) {
  // Fixed notation whatever the user's locale (where the machine has one with a decimal comma).
  const char* comma[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
  std::string oldLocale = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* l : comma)
    if (std::setlocale(LC_NUMERIC, l)) break;
  for (const SentenceCase& c : Cases()) {
    CGpsReader reader;
    EXPECT_EQ(c.fix, reader.ProcessSentence(c.line + "\r")) << c.what;
    GPSFIX f;
    EXPECT_EQ(c.fix, reader.GetFix(&f)) << c.what;
    if (!c.fix) continue;
    EXPECT_NEAR(c.latitude, f.latitude, 1e-6) << c.what;
    EXPECT_NEAR(c.longitude, f.longitude, 1e-6) << c.what;
    EXPECT_DOUBLE_EQ(c.speed, f.speed) << c.what;
    EXPECT_DOUBLE_EQ(c.course, f.course) << c.what;
    EXPECT_EQ(c.hour * 10000 + c.minute * 100 + c.second, f.hour * 10000 + f.minute * 100 + f.second) << c.what;
    EXPECT_EQ(c.day * 10000 + c.month * 100 + c.year, f.day * 10000 + f.month * 100 + f.year) << c.what;
  }
  std::setlocale(LC_NUMERIC, oldLocale.c_str());
}

TEST(GpsSentences, GgaFromEveryTalkerIsParsedAndQualityZeroIsNoPosition) {
  struct {
    std::string body;
    int ok;
    double latitude, longitude;
  } cases[] = {
      {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", 1, 48.1173, 11.516667},
      {"GNGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,", 1, 53.361337, -6.50562},
      {"GAGGA,001031.00,4404.13993,N,12118.86023,W,2,12,0.98,1113.0,M,-21.3,M,,", 1, 44.068999, -121.314337},
      {"GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,", 0, 0, 0},
      {"GPGGA,123519,,,,,0,00,,,M,,M,,", 0, 0, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> tokens;
    ASSERT_TRUE(CGpsReader::Tokenize(Sentence(c.body), tokens)) << c.body;
    GPSFIX f;
    EXPECT_EQ(c.ok, CGpsReader::ParseGGA(tokens, f)) << c.body;
    if (!c.ok) continue;
    EXPECT_NEAR(c.latitude, f.latitude, 1e-6) << c.body;
    EXPECT_NEAR(c.longitude, f.longitude, 1e-6) << c.body;
  }
}

// ---- The stream ----
const std::string kRmcA = Sentence("GPRMC,120000,A,5000.000,N,00100.000,W,5.0,90.0,010124,,");
const std::string kRmcB = Sentence("GNRMC,120001,A,5000.100,N,00100.000,W,5.0,91.0,010124,,,A");

TEST(GpsStream, LinesAreAssembledFromReadsHoweverTheyFall) {
  struct {
    const char* what;
    std::vector<std::string> reads;
    int fixes;
    double course;  // of the last fix
  } cases[] = {
      {"one line a read", {kRmcA + "\r\n", kRmcB + "\r\n"}, 2, 91.0},
      {"two lines in one read", {kRmcA + "\r\n" + kRmcB + "\r\n"}, 2, 91.0},
      {"split in the middle", {kRmcA.substr(0, 20), kRmcA.substr(20) + "\r", "\n"}, 1, 90.0},
      {"a byte at a time", {}, 1, 90.0},
      {"bare line feeds", {kRmcA + "\n" + kRmcB + "\n"}, 2, 91.0},
      {"garbage before the sentence", {"\x01\xff noise $$ 1234 " + kRmcA + "\r\n"}, 1, 90.0},
      {"a sentence cut short by the next one", {kRmcA.substr(0, 30) + kRmcB + "\r\n"}, 1, 91.0},
      {"a bad sentence between good ones",
       {kRmcA + "\r\n" + kRmcB.substr(0, 40) + "X" + kRmcB.substr(41) + "\r\n", kRmcA + "\r\n"},
       2,
       90.0},
      {"no line end yet", {kRmcA}, 0, 0.0},
      {"carriage returns alone", {kRmcA + "\r" + kRmcB + "\r"}, 2, 91.0},
      {"two sentences on one line", {kRmcA + kRmcB + "\r\n"}, 2, 91.0},
      {"two sentences on one line, a space between", {kRmcA + " " + kRmcB + "\r\n"}, 2, 91.0},
  };
  for (auto& c : cases) {
    if (c.reads.empty())
      for (char ch : kRmcA + "\r\n") c.reads.emplace_back(1, ch);
    CGpsReader reader;
    int fixes = 0;
    for (const std::string& r : c.reads) fixes += reader.Consume(r.data(), (int)r.size());
    EXPECT_EQ(c.fixes, fixes) << c.what;
    GPSFIX f;
    if (c.fixes) {
      ASSERT_TRUE(reader.GetFix(&f)) << c.what;
      EXPECT_DOUBLE_EQ(c.course, f.course) << c.what;
    }
  }
}

TEST(GpsStream, ALongLineWithoutALineEndStaysSmallAndTheNextSentenceIsRead) {
  CGpsReader reader;
  const std::string junk(4096, 'A');
  const std::string sentenceLike = "$" + std::string(600, '7');
  for (int i = 0; i < 256; ++i) {  // a megabyte of each
    reader.Consume(junk.data(), (int)junk.size());
    EXPECT_LE(reader.GetPendingLength(), CGpsReader::kMaxSentence + 1);
  }
  for (int i = 0; i < 2000; ++i) reader.Consume(sentenceLike.data(), (int)sentenceLike.size());
  EXPECT_LE(reader.GetPendingLength(), CGpsReader::kMaxSentence + 1);
  // The receiver comes back: its next sentence is read even on the same "line".
  const std::string tail = kRmcA + "\r\n";
  EXPECT_EQ(1, reader.Consume(tail.data(), (int)tail.size()));
  EXPECT_EQ(0, reader.GetPendingLength());
}

// ---- The thread on a pseudo-terminal ----
class GpsThread : public ::testing::Test {
 protected:
  void SetUp() override {
    AfxWinInit(0, nullptr);
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(recorder.Make());
    reader.SetNotifyWindow(recorder.GetSafeHwnd());
    reader.SetDevicePath(pty.Name().c_str());
  }
  void TearDown() override {
    reader.Stop();
    AfxTestWait(20);
    recorder.DestroyWindow();
  }
  void StartAndWait() {
    const int n = recorder.Count(WM_GPS_STARTED);
    ASSERT_TRUE(reader.Start());
    ASSERT_TRUE(recorder.WaitFor(WM_GPS_STARTED, n + 1)) << "open failed with " << recorder.Last(WM_GPS_OPENFAILED);
  }

  Pty pty;
  CRecorder recorder;
  CGpsReader reader;
};

TEST_F(GpsThread, AFeedOfSeveralTalkersGivesFixesAndTheLastIsKept) {
  StartAndWait();
  EXPECT_TRUE(reader.IsRunning());
  // As a receiver sends them: a burst each second, several sentences, lines split by reads.
  const std::string burst = Sentence("GPGGA,120000,5000.000,N,00100.000,W,1,08,0.9,12.0,M,47.0,M,,") + "\r\n" + kRmcA +
                            "\r\n" + Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") + "\r\n";
  pty.Write(burst.substr(0, 50));
  pty.Write(burst.substr(50));
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_FIX));
  pty.Write("garbage\r\n" + kRmcB.substr(0, 10));
  pty.Write(kRmcB.substr(10) + "\r\n" + Sentence("GLRMC,120002,A,5000.200,N,00100.000,W,5.0,92.0,010124,,") + "\r\n");
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_FIX, 3));
  GPSFIX f;
  ASSERT_TRUE(reader.GetFix(&f));
  EXPECT_NEAR(50.0 + 0.2 / 60, f.latitude, 1e-9);
  EXPECT_DOUBLE_EQ(-1.0 - 0.0 / 60, f.longitude);
  EXPECT_DOUBLE_EQ(92.0, f.course);
  EXPECT_EQ(2, f.second);
  EXPECT_EQ(3, recorder.Count(WM_GPS_FIX));
  // A receiver gone wild: 64 KB without a line end, a bad checksum, then good sentences again.
  pty.Write(std::string(65536, 'Z'));
  pty.Write(kRmcA.substr(0, kRmcA.size() - 1) + (kRmcA.back() == '0' ? "1" : "0") + "\r\n");
  pty.Write(kRmcA + "\r\n");
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_FIX, 4));
  AfxTestWait(100);
  EXPECT_EQ(4, recorder.Count(WM_GPS_FIX));  // the bad one gave none
  EXPECT_LE(reader.GetPendingLength(), CGpsReader::kMaxSentence + 1);
  ASSERT_TRUE(reader.GetFix(&f));
  EXPECT_DOUBLE_EQ(90.0, f.course);
  reader.Stop();
  EXPECT_FALSE(reader.IsRunning());
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_STOPPED));
  EXPECT_EQ(0, recorder.Count(WM_GPS_ERROR));
}

TEST_F(GpsThread, TheDeviceIsSetTo4800Baud8N1Raw) {
  StartAndWait();
  termios tio{};
  ASSERT_EQ(0, ::tcgetattr(pty.Slave(), &tio));
  EXPECT_EQ(B4800, ::cfgetispeed(&tio));
  EXPECT_EQ((tcflag_t)CS8, tio.c_cflag & CSIZE);
  EXPECT_FALSE(tio.c_cflag & (PARENB | CSTOPB));
  EXPECT_FALSE(tio.c_lflag & ICANON);
}

TEST_F(GpsThread, StopWhileTheDeviceIsSilentReturnsAtOnce) {
  StartAndWait();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // well inside its wait
  const auto t0 = std::chrono::steady_clock::now();
  reader.Stop();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 100);
  EXPECT_FALSE(reader.IsRunning());
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_STOPPED));
  EXPECT_EQ(0, recorder.Count(WM_GPS_ERROR));
}

TEST_F(GpsThread, AnUnpluggedReceiverIsAnErrorAndTheReaderStops) {
  StartAndWait();
  pty.HangUp();
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_STOPPED));
  EXPECT_EQ(1, recorder.Count(WM_GPS_ERROR));
  EXPECT_EQ((WPARAM)EIO, recorder.Last(WM_GPS_ERROR));
  AfxTestWait(2000, [&] { return !reader.IsRunning(); });
  EXPECT_FALSE(reader.IsRunning());
  // The error comes before the stop.
  EXPECT_EQ((UINT)WM_GPS_STOPPED, recorder.messages.back().first);
}

TEST_F(GpsThread, ADeviceThatCantBeOpenedOrSetUpIsReported) {
  struct {
    const char* device;
    WPARAM error;
  } cases[] = {{"/dev/neapwise-no-such-gps", ENOENT}, {"/dev/null", ENOTTY}};
  for (const auto& c : cases) {
    recorder.messages.clear();
    reader.SetDevicePath(c.device);
    ASSERT_TRUE(reader.Start());
    ASSERT_TRUE(recorder.WaitFor(WM_GPS_OPENFAILED)) << c.device;
    EXPECT_EQ(c.error, recorder.Last(WM_GPS_OPENFAILED)) << c.device;
    AfxTestWait(2000, [&] { return !reader.IsRunning(); });
    EXPECT_FALSE(reader.IsRunning()) << c.device;
    EXPECT_EQ(0, recorder.Count(WM_GPS_STARTED)) << c.device;
  }
}

TEST_F(GpsThread, ASecondReaderOnTheSameDeviceIsRefused) {
  StartAndWait();
  CGpsReader other;
  other.SetNotifyWindow(recorder.GetSafeHwnd());
  other.SetDevicePath(pty.Name().c_str());
  ASSERT_TRUE(other.Start());
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_OPENFAILED));
  EXPECT_EQ((WPARAM)EBUSY, recorder.Last(WM_GPS_OPENFAILED));
  other.Stop();
  // The first still reads.
  pty.Write(kRmcA + "\r\n");
  EXPECT_TRUE(recorder.WaitFor(WM_GPS_FIX));
}

TEST_F(GpsThread, AnUnfinishedLineOfTheLastRunDoesNotJoinTheNext) {
  StartAndWait();
  pty.Write(kRmcA.substr(0, 25));
  AfxTestWait(2000, [&] { return reader.GetPendingLength() == 25; });
  reader.Stop();
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_STOPPED));
  StartAndWait();
  // The rest of that line, then a whole sentence: only the whole one counts.
  pty.Write(kRmcA.substr(25) + "\r\n" + kRmcB + "\r\n");
  ASSERT_TRUE(recorder.WaitFor(WM_GPS_FIX));
  AfxTestWait(100);
  EXPECT_EQ(1, recorder.Count(WM_GPS_FIX));
  GPSFIX f;
  ASSERT_TRUE(reader.GetFix(&f));
  EXPECT_DOUBLE_EQ(91.0, f.course);
}

TEST_F(GpsThread, StartsAndStopsInQuickSuccessionFromTwoThreadsLeaveOneReaderAtMost) {
  std::atomic<int> started{0};
  auto hammer = [&] {
    for (int i = 0; i < 40; ++i) {
      started += reader.Start() ? 1 : 0;
      if (i % 3 == 0) reader.Stop();
    }
  };
  std::thread a(hammer), b(hammer);
  a.join();
  b.join();
  reader.Stop();
  EXPECT_FALSE(reader.IsRunning());
  EXPECT_GT(started.load(), 0);
  // Every run that opened the device closed it again: each start has its stop.
  AfxTestWait(5000, [&] {
    return recorder.Count(WM_GPS_STOPPED) == recorder.Count(WM_GPS_STARTED) &&
           recorder.Count(WM_GPS_STARTED) + recorder.Count(WM_GPS_OPENFAILED) == started.load();
  });
  EXPECT_EQ(recorder.Count(WM_GPS_STARTED), recorder.Count(WM_GPS_STOPPED));
  EXPECT_EQ(started.load(), recorder.Count(WM_GPS_STARTED) + recorder.Count(WM_GPS_OPENFAILED));
  // And the device is free for the next.
  recorder.messages.clear();
  StartAndWait();
  pty.Write(kRmcA + "\r\n");
  EXPECT_TRUE(recorder.WaitFor(WM_GPS_FIX));
}

}  // namespace
