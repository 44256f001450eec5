// The synthesis against an independent predictor: a real station's constants (in the engine's
// numbering) and heights predicted from them elsewhere, fixed in data/reference-heights.txt.
#include "tests/engine/EngineTestSupport.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fx = ebc::fixture;

namespace {

struct Reference {
  std::vector<fx::ConstituentValues> constituents;
  struct Height {
    int y, mo, d, h, mi, s;
    double metres;
  };
  std::vector<Height> heights;
};

Reference ReadReference(const std::string& path) {
  Reference r;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    f.imbue(std::locale::classic());
    std::string tag;
    f >> tag;
    if (tag == "c") {
      fx::ConstituentValues c;
      f >> c.number >> c.heightAmp >> c.heightPhase;
      if (f) r.constituents.push_back(c);
    } else if (tag == "h") {
      Reference::Height h{};
      f >> h.y >> h.mo >> h.d >> h.h >> h.mi >> h.s >> h.metres;
      if (f) r.heights.push_back(h);
    }
  }
  return r;
}

class ReferenceHeights : public fx::EngineTest {};

}  // namespace

TEST_F(ReferenceHeights, AgreeWithAnIndependentPredictorToCentimetres) {
  const Reference ref = ReadReference(std::string(NEAPWISE_TEST_DATA_DIR) + "/reference-heights.txt");
  ASSERT_GE(ref.constituents.size(), 20u);
  ASSERT_GE(ref.heights.size(), 300u);

  std::vector<int> numbers;
  for (const auto& c : ref.constituents) numbers.push_back(c.number);
  const fx::GridGeometry point{1, 1, 47.6026, -122.3393, 0.1, 0.1};
  fx::HarmonicsGridWriter grid(point, numbers);
  grid.setPoint(1, 1, ref.constituents);
  useGrid(grid);

  double sumSq = 0, maxDiff = 0, range = 0;
  for (const auto& r : ref.heights) {
    double lat = point.north, lon = point.west, h = 0;
    ASSERT_EQ(EBC_DoPrediction(1, 0, &lat, &lon, r.d, r.mo, r.y, r.h, r.mi, r.s, 0.0, 0.0, &h, nullptr, nullptr,
                               nullptr, nullptr),
              EBC_OK);
    const double diff = h - r.metres;
    sumSq += diff * diff;
    maxDiff = std::max(maxDiff, std::fabs(diff));
    range = std::max(range, std::fabs(r.metres));
  }
  const double rms = std::sqrt(sumSq / ref.heights.size());
  std::printf(
      "reference heights: %zu instants, %zu constituents, |height| up to %.2f m: "
      "RMS difference %.4f m, largest %.4f m\n",
      ref.heights.size(), ref.constituents.size(), range, rms, maxDiff);
  RecordProperty("rms_m", std::to_string(rms));
  RecordProperty("max_m", std::to_string(maxDiff));
  // The two differ only in their nodal-correction and argument formulas.
  EXPECT_LT(rms, 0.015);
  EXPECT_LT(maxDiff, 0.04);
}
