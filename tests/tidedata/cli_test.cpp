// neapwise-predict over several ports in one run gives each port what a run of its own gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The standard output of the tool with the arguments, and its exit status.
std::string Predict(const std::string& args, int* status = nullptr) {
  std::string out;
  FILE* p = ::popen((std::string(NEAPWISE_PREDICT) + " " + args + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int s = ::pclose(p);
  if (status) *status = s;
  return out;
}

TEST(PredictTool, SeveralPortsInOneRunAsEachAlone) {
  const std::string days = " --from 2026-03-28 --to 2026-03-30 --summer auto --step 60";
  const std::string a = Predict("--index 0" + days);
  const std::string b = Predict("--index 7" + days + " --raw");
  const std::string c = Predict("--index 12" + days);
  ASSERT_NE(a.find("HW "), std::string::npos);
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(Predict("--index 0 --index 12" + days), a + c);
  const std::string b7 = Predict("--index 7" + days);
  EXPECT_EQ(Predict("--index 0 --index 7 --index 12" + days), a + b7 + c);
  // By id and by index in one run, raw: every port's minutes count from its own first day.
  const std::string id7 = b.substr(2, b.find('\t') - 2);
  EXPECT_EQ(Predict("--port " + id7 + " --index 7" + days + " --raw"), b + b);
  // One unknown port fails the run before anything is printed.
  int status = 0;
  EXPECT_EQ(Predict("--index 0 --index 999999" + days, &status), "");
  EXPECT_NE(status, 0);
}

}  // namespace
