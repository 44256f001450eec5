// Builds the embedded angle/factor table ("#178") and port table ("#179") from the committed
// inputs (folding.txt and ports.tsv) through the model's own record classes, so the layout is
// the program's and a rebuild is byte-for-byte the same.
#pragma once

#include <string>
#include <vector>

#include "model/AngleFactorDB.h"
#include "model/PortDB.h"

namespace tablegen {

// The table's span and numbering: one record per day; id 4777 is 31 December 2009.
inline constexpr int kFirstYear = 2009;
inline constexpr int kLastYear = 2051;  // the last record is 1 January of this year
inline constexpr int kIdOf31Dec2009 = 4777;

// A companion constituent folded into one of the four main ones: its engine number, its
// amplitude ratio to the main one and its phase lag relative to it (degrees).
struct Fold {
  int mainIndex = -1;  // CAngleFactorData::M2 .. O1
  int companion = 0;   // engine constituent number
  double ratio = 0.0;
  double phaseDeg = 0.0;
};

// Engine constituent number of a name the folding file may use (0 when unknown).
int ConstituentNumber(const std::string& name);

// Reads folding.txt: lines "main companion ratio phase [count]", '#' starts a comment.
// Throws std::runtime_error on a malformed line.
std::vector<Fold> ReadFolding(const std::string& path);

// The angle and factor of constituent c (M2..O1) at 00:00 UT of a date, folds applied:
// P = f e^{i(V0+u)} + sum r f' e^{i(V0'+u'-delta)}, factor |P|, angle round(360 - arg P) mod 360.
void AngleAndFactor(int day, int month, int year, int c, const std::vector<Fold>& folds, int& angle, double& factor);

// Every day from 1 January of kFirstYear to 1 January of kLastYear. Throws std::runtime_error
// when two consecutive days would give the prediction a wrong speed (see CheckDayPair).
std::vector<CAngleFactorData> MakeAngleTable(const std::vector<Fold>& folds);
// The same records without that check.
std::vector<CAngleFactorData> MakeAngleRecords(const std::vector<Fold>& folds);

// Reads ports.tsv (see README.md for the columns). Throws std::runtime_error on bad input.
std::vector<CPortData> ReadPorts(const std::string& path);

// The table bytes exactly as the program embeds them.
std::vector<unsigned char> AngleTableBytes(const std::vector<CAngleFactorData>& records);
std::vector<unsigned char> PortTableBytes(const std::vector<CPortData>& records);

// Whole-file helpers.
std::vector<unsigned char> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace tablegen
