#include "engine/Astronomy.h"

#include "engine/Angles.h"

#include "engine/Calendar.h"

#include <cmath>

namespace ebc {

namespace {

// Basic nodal factors and corrections from which every constituent's f and u are built.
enum Basic { kMm, kMf, kBO1, kBK1, kJ1, kOO1, kBM2, kK2, kM1, kL2, kBasicCount };

struct Constituent {
  int number;
  double speed;  // degrees per hour
  struct {
    int s, h, p, pSolar, constant;  // V0 = s*s + h*h + p*p + pSolar*p' + constant
  } v0;
  double fPower[kBasicCount];   // f = product of basic f raised to these powers
  double uFactor[kBasicCount];  // u = sum of basic u times these factors
  bool meanOfM2Powers;          // f = (fM2^3 + fM2^2) / 2 instead of the product
};

// Order of the basic columns: Mm, Mf, O1, K1, J1, OO1, M2, K2, M1, L2.
// clang-format off
constexpr Constituent kTable[kConstituentCount] = {
    {  1, 0.0410686, {0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h; f 1; u 0
    {  2, 0.0821373, {0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 2h; f 1; u 0
    {  3, 0.5443747, {1, 0, -1, 0, 0}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -p + s; f fMm; u 0
    {  4, 1.0158958, {2, -2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, -1, 0, 0, 0}, false},  // V0 -2h + 2s; f fM2; u - uM2
    {  5, 1.0980331, {2, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 2s; f fMf; u uMf
    {  6, 12.8542862, {-4, 1, 2, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h + 2p - 4s + 270; f fO1; u uO1
    {  7, 12.9271398, {-4, 3, 0, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 3h - 4s + 270; f fO1; u uO1
    {  8, 13.3986609, {-3, 1, 1, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h + p - 3s + 270; f fO1; u uO1
    {  9, 13.4715145, {-3, 3, -1, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 3h - p - 3s + 270; f fO1; u uO1
    { 10, 13.9430356, {-2, 1, 0, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h - 2s + 270; f fO1; u uO1
    { 11, 14.0251729, {-2, 3, 0, 0, 90}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 3h - 2s + 90; f fM2; u uM2
    { 12, 14.4920521, {-1, 1, 0, 0, 90}, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, false},  // V0 h - s + 90; f fM1; u uM1
    { 13, 14.5695476, {-1, 3, -1, 0, 90}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, false},  // V0 3h - p - s + 90; f fJ1; u uJ1
    { 14, 14.9178647, {0, -2, 0, 1, 270}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -2h + p' + 270; f 1; u 0
    { 15, 14.9589314, {0, -1, 0, 0, 270}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -h + 270; f 1; u 0
    { 16, 15.0, {0, 0, 0, 0, 180}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 180; f 1; u 0
    { 17, 15.0410686, {0, 1, 0, 0, 90}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, false},  // V0 h + 90; f fK1; u uK1
    { 18, 15.0821353, {0, 2, 0, -1, 90}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 2h - p' + 90; f 1; u 0
    { 19, 15.1232059, {0, 3, 0, 0, 90}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 3h + 90; f 1; u 0
    { 20, 15.5125897, {1, -1, 1, 0, 90}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, false},  // V0 -h + p + s + 90; f fJ1; u uJ1
    { 21, 15.5854433, {1, 1, -1, 0, 90}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, false},  // V0 h - p + s + 90; f fJ1; u uJ1
    { 22, 16.0569644, {2, -1, 0, 0, -270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, -1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -h + 2s - 270; f fO1; u - uO1
    { 23, 16.1391017, {2, 1, 0, 0, 90}, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, false},  // V0 h + 2s + 90; f fOO1; u uOO1
    { 24, 27.3416965, {-5, 2, 1, 0, 540}, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 2, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 2h + p - 5s + 540; f fO1^2; u 2 uO1
    { 25, 27.4238337, {-5, 4, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h + p - 5s; f fM2^2; u 2 uM2
    { 26, 27.8953548, {-4, 2, 2, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h + 2p - 4s; f fM2; u uM2
    { 27, 27.9682084, {-4, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 4h - 4s; f fM2; u uM2
    { 28, 28.4397295, {-3, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h + p - 3s; f fM2; u uM2
    { 29, 28.5125831, {-3, 4, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 4h - p - 3s; f fM2; u uM2
    { 30, 28.9019669, {-2, 0, 0, 0, 540}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -2s + 540; f fO1; u uO1
    { 31, 28.9841042, {-2, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h - 2s; f fM2; u uM2
    { 32, 29.0662415, {-2, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, false},  // V0 4h - 2s; f fK2 fM2; u uK2 + uM2
    { 33, 29.4556253, {-1, 0, 1, 0, 180}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 p - s + 180; f fM2; u uM2
    { 34, 29.5284789, {-1, 2, -1, 0, 180}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, false},  // V0 2h - p - s + 180; f fL2; u uL2
    { 35, 29.9589333, {0, -1, 0, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -h + p'; f 1; u 0
    { 36, 30.0, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 0; f 1; u 0
    { 37, 30.0410667, {0, 1, 0, -1, 180}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h - p' + 180; f 1; u 0
    { 38, 30.0821373, {0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, false},  // V0 2h; f fK2; u uK2
    { 39, 30.5443747, {1, 0, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -p + s; f fM2^2; u 0
    { 40, 30.626512, {1, 2, -1, 0, 180}, {0, 0, 0, 1, 1, 0, 0, 0, 0, 0}, {0, 0, 0, 1, 1, 0, 0, 0, 0, 0}, false},  // V0 2h - p + s + 180; f fJ1 fK1; u uJ1 + uK1
    { 41, 31.0158958, {2, -2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, -1, 0, 0, 0}, false},  // V0 -2h + 2s; f fM2; u - uM2
    { 42, 42.9271398, {-4, 3, 0, 0, 270}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 3h - 4s + 270; f fM2 fO1; u uM2 + uO1
    { 43, 43.4761563, {-3, 3, 0, 0, 180}, {0, 0, 0, 0, 0, 0, 1.5, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1.5, 0, 0, 0}, false},  // V0 3h - 3s + 180; f fM2^1.5; u 1.5 uM2
    { 44, 43.9430356, {-2, 1, 0, 0, 270}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h - 2s + 270; f fO1; u uO1
    { 45, 44.0251729, {-2, 3, 0, 0, 90}, {0, 0, 0, 1, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 1, 0, 0, 0}, false},  // V0 3h - 2s + 90; f fM2 fK1; u uM2 + uK1
    { 46, 45.0410686, {0, 1, 0, 0, 90}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, false},  // V0 h + 90; f fK1; u uK1
    { 47, 57.4238337, {-5, 4, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h + p - 5s; f fM2^2; u 2 uM2
    { 48, 57.9682084, {-4, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h - 4s; f fM2^2; u 2 uM2
    { 49, 58.4397295, {-3, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h + p - 3s; f fM2; u uM2
    { 50, 58.9841042, {-2, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h - 2s; f fM2; u uM2
    { 51, 59.0662415, {-2, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, false},  // V0 4h - 2s; f fK2 fM2; u uK2 + uM2
    { 52, 60.0, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 0; f 1; u 0
    { 53, 60.0821373, {0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, false},  // V0 2h; f fK2; u uK2
    { 54, 86.407938, {-7, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h + p - 7s; f fM2^3; u 3 uM2
    { 55, 86.9523127, {-6, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - 6s; f fM2^3; u 3 uM2
    { 56, 87.4238337, {-5, 4, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h + p - 5s; f fM2^2; u 2 uM2
    { 57, 87.9682084, {-4, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h - 4s; f fM2^2; u 2 uM2
    { 58, 88.0503457, {-4, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, false},  // V0 6h - 4s; f fM2^2 fK2; u 2 uM2 + uK2
    { 59, 88.9841042, {-2, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h - 2s; f fM2; u uM2
    { 60, 89.0662415, {-2, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, false},  // V0 4h - 2s; f fK2 fM2; u uK2 + uM2
    { 61, 26.4079379, {-7, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 6h + p - 7s; f 1; u 0
    { 62, 26.8701754, {-6, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, -1, 0, 0}, false},  // V0 4h - 6s; f fM2^3 fK2; u 3 uM2 - uK2
    { 63, 26.9523127, {-6, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - 6s; f fM2^3; u 3 uM2
    { 64, 27.505971, {-5, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, false},  // V0 6h + p - 5s; f fM2^2 fK2; u 2 uM2 + uK2
    { 65, 28.3575922, {-3, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 1, -1, 0, 0}, false},  // V0 p - 3s; f fK2 fM2; u uM2 - uK2
    { 66, 29.9178627, {0, -2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, -1, 0, 0}, false},  // V0 -2h; f fK2; u - uK2
    { 67, 31.0887494, {2, 0, -2, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -2p + 2s; f fM2^4; u 0
    { 68, 42.3827651, {-5, 3, 1, 0, 270}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 3h + p - 5s + 270; f fM2 fO1; u uM2 + uO1
    { 69, 43.009277, {-4, 5, 0, 0, -270}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 5h - 4s - 270; f fM2^2; u 2 uM2
    { 70, 44.5695475, {-1, 3, -1, 0, -270}, {0, 0, 1, 0, 0, 0, 2, 0, 0, 0}, {0, 0, -1, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 3h - p - s - 270; f fM2^2 fO1; u 2 uM2 - uO1
    { 71, 56.8701754, {-6, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, -1, 0, 0}, false},  // V0 4h - 6s; f fM2^3 fK2; u 3 uM2 - uK2
    { 72, 56.9523127, {-6, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - 6s; f fM2^3; u 3 uM2
    { 73, 57.8860711, {-4, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, -1, 0, 0}, false},  // V0 2h - 4s; f fM2^2 fK2; u 2 uM2 - uK2
    { 74, 71.9112441, {-6, 5, 0, 0, -90}, {0, 0, 0, 1, 0, 0, 3, 0, 0, 0}, {0, 0, 0, -1, 0, 0, 3, 0, 0, 0}, false},  // V0 5h - 6s - 90; f fM2^3 fK1; u 3 uM2 - uK1
    { 75, 72.4602605, {-5, 5, 0, 0, 180}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2.5, 0, 0, 0}, true},  // V0 5h - 5s + 180; f (fM2^3 + fM2^2) x 0.5; u 2.5 uM2
    { 76, 73.0092771, {-4, 5, 0, 0, -270}, {0, 0, 1, 0, 0, 0, 3, 0, 0, 0}, {0, 0, -1, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 5h - 4s - 270; f fM2^3 fO1; u 3 uM2 - uO1
    { 77, 84.8476674, {-10, 8, 2, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h + 2p - 10s; f fM2^4; u 4 uM2
    { 78, 85.3920422, {-9, 8, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h + p - 9s; f fM2^4; u 4 uM2
    { 79, 85.8542795, {-8, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 4, -1, 0, 0}, false},  // V0 6h - 8s; f fM2^4 fK2; u 4 uM2 - uK2
    { 80, 85.9364168, {-8, 8, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h - 8s; f fM2^4; u 4 uM2
    { 81, 86.3258006, {-7, 4, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, -1, 0, 0}, false},  // V0 4h + p - 7s; f fM2^3 fK2; u 3 uM2 - uK2
    { 82, 86.4807915, {-7, 8, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 8h - p - 7s; f fM2^3; u 3 uM2
    { 83, 86.8701754, {-6, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, -1, 0, 0}, false},  // V0 4h - 6s; f fM2^3 fK2; u 3 uM2 - uK2
    { 84, 87.4966873, {-5, 6, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - p - 5s; f fM2^5; u 3 uM2
    { 85, 88.5125832, {-3, 4, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h - p - 3s; f fM2^4; u 2 uM2
    { 86, 88.5947204, {-3, 6, -1, 0, 180}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, false},  // V0 6h - p - 3s + 180; f fK2 fM2 fL2; u uK2 + uM2 + uL2
    { 87, 114.8476674, {-10, 8, 2, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h + 2p - 10s; f fM2^4; u 4 uM2
    { 88, 115.3920422, {-9, 8, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h + p - 9s; f fM2^4; u 4 uM2
    { 89, 115.9364168, {-8, 8, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h - 8s; f fM2^4; u 4 uM2
    { 90, 116.4079379, {-7, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h + p - 7s; f fM2^3; u 3 uM2
    { 91, 116.9523127, {-6, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - 6s; f fM2^3; u 3 uM2
    { 92, 117.03445, {-6, 8, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 1, 0, 0}, false},  // V0 8h - 6s; f fM2^3 fK2; u 3 uM2 + uK2
    { 93, 117.505971, {-5, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, false},  // V0 6h + p - 5s; f fM2^2 fK2; u 2 uM2 + uK2
    { 94, 117.9682084, {-4, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 4h - 4s; f fM2^2; u 2 uM2
    { 95, 118.0503457, {-4, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, false},  // V0 6h - 4s; f fM2^2 fK2; u 2 uM2 + uK2
    { 96, 145.9364168, {-8, 8, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h - 8s; f fM2^4; u 4 uM2
    { 97, 146.9523127, {-6, 6, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h - 6s; f fM2^3; u 3 uM2
    { 98, 174.3761463, {-11, 10, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, false},  // V0 10h + p - 11s; f fM2^5; u 5 uM2
    { 99, 174.920521, {-10, 10, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, false},  // V0 10h - 10s; f fM2^5; u 5 uM2
    {100, 175.9364168, {-8, 8, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, false},  // V0 8h - 8s; f fM2^4; u 4 uM2
    {101, 27.4966873, {-5, 6, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 6h - p - 5s; f fM2^2; u 2 uM2
    {102, 27.8860711, {-4, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, -1, 0, 0}, false},  // V0 2h - 4s; f fM2^2 fK2; u 2 uM2 - uK2
    {103, 28.9430356, {-2, 1, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h - 2s; f 1; u 0
    {104, 29.0251728, {-2, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 3h - 2s; f 1; u 0
    {105, 30.4715211, {1, -2, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 -2h + p + s; f 1; u 0
    {106, 31.0980331, {2, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 0, 0, 0, -1, 1, 0, 0}, false},  // V0 2s; f fK2 fM2; u - uM2 + uK2
    {107, 56.4079379, {-7, 6, 1, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, false},  // V0 6h + p - 7s; f fM2^3; u 3 uM2
    {108, 57.4966873, {-5, 6, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, false},  // V0 6h - p - 5s; f fM2^2; u 2 uM2
    {109, 58.512583, {-3, 4, -1, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 4h - p - 3s; f 1; u 0
    {110, 59.5284789, {-1, 2, -1, 0, 180}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h - p - s + 180; f fM2^3; u uM2
    {111, 28.3986609, {-3, 1, 1, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 h + p + p' - 3s; f 1; u 0
    {112, 28.4807981, {-3, 3, 1, -1, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},  // V0 3h + p - p' - 3s; f 1; u 0
    {113, 72.9271398, {-4, 3, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 3h - 4s; f fM2 fO1; u uM2 + uO1
    {114, 74.0251728, {-2, 3, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 1, 0, 0, 0}, false},  // V0 3h - 2s; f fM2 fK1; u uM2 + uK1
    {115, 29.5284789, {-1, 2, -1, 0, 180}, {0, 0, 0, 0, 0, 0, 3, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, false},  // V0 2h - p - s + 180; f fM2^3; u uM2
};
// clang-format on

static_assert(sizeof(kTable) / sizeof(kTable[0]) == kConstituentCount);

constexpr double kDegToRad = kAstroDegToRad;
constexpr int kMaxPower = 5;
constexpr double kRadToDeg = kAstroRadToDeg;

// Delta T at the start of each year from 1899 to 1982, seconds.
constexpr double kDeltaT[84] = {-5.04, -3.9,  -2.87, -0.58, 0.71,  1.8,   3.08,  4.63,  5.86,  7.21,  8.58,  10.5,
                                12.1,  12.49, 14.41, 15.59, 15.81, 17.52, 19.01, 18.39, 19.55, 20.36, 21.01, 21.81,
                                21.76, 22.35, 22.68, 22.94, 22.93, 22.69, 22.94, 23.2,  23.31, 23.63, 23.47, 23.68,
                                23.62, 23.53, 23.59, 23.99, 23.8,  24.2,  24.99, 24.97, 25.72, 26.21, 26.37, 26.89,
                                27.68, 28.13, 28.94, 29.42, 29.66, 30.29, 30.96, 31.09, 31.59, 31.52, 31.92, 32.45,
                                32.91, 33.39, 33.8,  34.23, 34.73, 35.4,  36.14, 36.99, 37.87, 38.75, 39.7,  40.7,
                                41.68, 42.82, 43.96, 45.0,  45.98, 47.0,  48.03, 49.1,  50.1,  50.97, 51.81, 52.57};

}  // namespace

double DayTable::equilibriumPlusNodal(int number) const {
  if (number < 1 || number > kConstituentCount) return 0.0;
  return WrapDegrees(V0[number] + u[number]);
}

double ConstituentSpeedDegrees(int number) {
  if (number < 1 || number > kConstituentCount) return 0.0;
  return kTable[number - 1].speed;
}

double JulianCenturies(int year, int dayOfYear) {
  const long long days = DaysFromCivil(year, 1, 1) + dayOfYear - 1 - DaysFromCivil(2000, 1, 1);
  return (static_cast<double>(days) - 0.5) / 36525.0;
}

double DeltaTSeconds(int year) {
  if (year <= 1899) return 0.0;
  if (year <= 1981) return (kDeltaT[year - 1899] + kDeltaT[year - 1898]) / 2.0;
  return 50.5 + 0.725 * (year - 1980);
}

AstronomicalArguments ComputeAstronomicalArguments(int year, int dayOfYear) {
  const double T = JulianCenturies(year, dayOfYear);
  const double T2 = T * T;
  const double d = DeltaTSeconds(year) * 0.000001;
  AstronomicalArguments a;
  a.s = WrapDegrees(218.3165 + 481267.8813 * T - 0.0016 * T2 + 152 * d);
  a.h = WrapDegrees(280.4661 + 36000.7698 * T + 0.0003 * T2 + 11 * d);
  a.p = WrapDegrees(83.3535 + 4069.0139 * T - 0.0103 * T2 + d);
  a.N = WrapDegrees(125.0445 - 1934.1363 * T + 0.0021 * T2 - d);
  a.pSolar = WrapDegrees(282.9384 + 1.7195 * T + 0.0005 * T2);
  return a;
}

namespace {

static_assert(
    [] {
      for (int i = 0; i < kConstituentCount; ++i)
        if (kTable[i].number != i + 1) return false;
      return true;
    }(),
    "constituent k is kTable[k - 1]");

double EquilibriumOf(const AstronomicalArguments& a, const Constituent& c) {
  const double v = c.v0.s * a.s + c.v0.h * a.h + c.v0.p * a.p + c.v0.pSolar * a.pSolar + c.v0.constant;
  return WrapDegrees(v);
}

// The basic factors and corrections of a day, with the whole powers of the factors the table
// uses (up to the fifth).
struct Basics {
  double f[kBasicCount];
  double u[kBasicCount];
  double fPowers[kBasicCount][kMaxPower + 1];
};

Basics ComputeBasics(const AstronomicalArguments& a) {
  Basics basics;
  double* f = basics.f;
  double* u = basics.u;
  const double N = a.N * kDegToRad;
  const double p = a.p * kDegToRad;
  const double pi = 3.14159265358979323846;

  f[kMm] = 1 - 0.13 * std::cos(N) + 0.0013 * std::cos(2 * N);
  u[kMm] = 0;
  f[kMf] = 1.0429 + 0.4135 * std::cos(N) - 0.004 * std::cos(2 * N);
  u[kMf] = -0.4143 * std::sin(N) + 0.0468 * std::sin(2 * N) - 0.0066 * std::sin(3 * N);
  f[kBO1] = 1.0089 + 0.1871 * std::cos(N) - 0.0147 * std::cos(2 * N) + 0.0014 * std::cos(3 * N);
  u[kBO1] = 0.1885 * std::sin(N) - 0.0234 * std::sin(2 * N) + 0.0033 * std::sin(3 * N);
  f[kBK1] = 1.006 + 0.115 * std::cos(N) - 0.0088 * std::cos(2 * N) + 0.0006 * std::cos(3 * N);
  u[kBK1] = -0.1546 * std::sin(N) + 0.0119 * std::sin(2 * N) - 0.0012 * std::sin(3 * N);
  f[kJ1] = 1.0129 + 0.1676 * std::cos(N) - 0.017 * std::cos(2 * N) + 0.0016 * std::cos(3 * N);
  u[kJ1] = -0.2258 * std::sin(N) + 0.0234 * std::sin(2 * N) - 0.0033 * std::sin(3 * N);
  f[kOO1] = 1.1027 + 0.6504 * std::cos(N) + 0.0317 * std::cos(2 * N) - 0.0014 * std::cos(3 * N);
  u[kOO1] = -0.6402 * std::sin(N) + 0.0702 * std::sin(2 * N) - 0.0099 * std::sin(3 * N);
  f[kBM2] = 1.0004 - 0.0373 * std::cos(N) + 0.0002 * std::cos(2 * N);
  u[kBM2] = -0.0374 * std::sin(N);
  f[kK2] = 1.0241 + 0.2863 * std::cos(N) + 0.0083 * std::cos(2 * N) - 0.0015 * std::cos(3 * N);
  u[kK2] = -0.3096 * std::sin(N) + 0.0119 * std::sin(2 * N) - 0.0007 * std::sin(3 * N);
  {
    const double X = 2 * std::cos(p) + 0.4 * std::cos(p - N);
    const double Y = std::sin(p) + 0.2 * std::sin(p - N);
    f[kM1] = std::sqrt(X * X + Y * Y);
    u[kM1] = std::atan(Y / X) + (X < 0 ? pi : 0.0);
  }
  {
    const double X = 1 - 0.2505 * std::cos(2 * p) - 0.1102 * std::cos(2 * p - N) - 0.0156 * std::cos(2 * p - 2 * N) -
                     0.037 * std::cos(N);
    const double Y = -0.2505 * std::sin(2 * p) - 0.1102 * std::sin(2 * p - N) - 0.0156 * std::sin(2 * p - 2 * N) -
                     0.037 * std::sin(N);
    f[kL2] = std::sqrt(X * X + Y * Y);
    u[kL2] = std::atan(Y / X) + (X < 0 ? pi : 0.0);
  }

  for (int b = 0; b < kBasicCount; ++b) {
    basics.fPowers[b][0] = 1.0;
    for (int k = 1; k <= kMaxPower; ++k) basics.fPowers[b][k] = basics.fPowers[b][k - 1] * f[b];
  }
  return basics;
}

// f and u of constituent kTable[i].
void NodalOf(const Basics& basics, int i, DayTable& table) {
  // The table's non-zero terms, gathered once: most constituents use one or two basics.
  struct Terms {
    int fCount = 0, uCount = 0;
    int fBasic[kBasicCount], fWhole[kBasicCount];
    double fPower[kBasicCount];
    int uBasic[kBasicCount];
    double uFactor[kBasicCount];
  };
  static const std::array<Terms, kConstituentCount> terms = [] {
    std::array<Terms, kConstituentCount> all{};
    for (int i = 0; i < kConstituentCount; ++i) {
      const Constituent& c = kTable[i];
      Terms& t = all[static_cast<std::size_t>(i)];
      for (int b = 0; b < kBasicCount; ++b) {
        if (c.fPower[b] != 0.0) {
          const double p = c.fPower[b];
          const int whole = static_cast<int>(p);
          t.fBasic[t.fCount] = b;
          t.fWhole[t.fCount] = (p == whole && whole <= kMaxPower) ? whole : -1;
          t.fPower[t.fCount] = p;
          ++t.fCount;
        }
        if (c.uFactor[b] != 0.0) {
          t.uBasic[t.uCount] = b;
          t.uFactor[t.uCount] = c.uFactor[b];
          ++t.uCount;
        }
      }
    }
    return all;
  }();

  const Constituent& c = kTable[i];
  const Terms& t = terms[static_cast<std::size_t>(i)];
  double fc = 1.0;
  for (int k = 0; k < t.fCount; ++k) {
    const int b = t.fBasic[k];
    fc *= t.fWhole[k] >= 0 ? basics.fPowers[b][t.fWhole[k]] : std::pow(basics.f[b], t.fPower[k]);
  }
  if (c.meanOfM2Powers) fc = (basics.fPowers[kBM2][3] + basics.fPowers[kBM2][2]) * 0.5;
  double uc = 0.0;
  for (int k = 0; k < t.uCount; ++k) uc += t.uFactor[k] * basics.u[t.uBasic[k]];
  table.f[c.number] = fc;
  table.u[c.number] = WrapDegrees(uc * kRadToDeg);
}

}  // namespace

void InitConstituentSpeeds(DayTable& table) {
  for (const Constituent& c : kTable) table.speed[c.number] = c.speed * kDegToRad;
}

void PrepareDay(DayTable& table, int dayOfYear, int year, const int* numbers, int count) {
  const bool sameDay = table.dayOfYear != 0 && table.dayOfYear == dayOfYear && table.year == year;
  if (sameDay) {
    int i = 0;
    while (i < count && (numbers[i] < 1 || numbers[i] > kConstituentCount || table.ready[numbers[i]])) ++i;
    if (i == count) return;
  } else {
    table.ready.fill(false);
  }
  table.dayOfYear = 0;  // not valid while it is made
  const AstronomicalArguments a = ComputeAstronomicalArguments(year, dayOfYear);
  const Basics basics = ComputeBasics(a);
  for (int i = 0; i < count; ++i) {
    const int k = numbers[i];
    if (k < 1 || k > kConstituentCount || table.ready[k]) continue;
    const Constituent& c = kTable[k - 1];
    table.V0[k] = EquilibriumOf(a, c);
    NodalOf(basics, k - 1, table);
    table.speed[k] = c.speed * kDegToRad;
    table.ready[k] = true;
  }
  table.dayOfYear = dayOfYear;
  table.year = year;
}

void PrepareDay(DayTable& table, int dayOfYear, int year) {
  static const std::array<int, kConstituentCount> all = [] {
    std::array<int, kConstituentCount> numbers{};
    for (int i = 0; i < kConstituentCount; ++i) numbers[static_cast<std::size_t>(i)] = i + 1;
    return numbers;
  }();
  PrepareDay(table, dayOfYear, year, all.data(), kConstituentCount);
}

DayTable ComputeDay(int day, int month, int year) {
  DayTable table;
  PrepareDay(table, DayOfYear(day, month, year), year);
  return table;
}

}  // namespace ebc
