// A grid of tidal streams over a geographic box and the pixel rectangle that shows it.
#pragma once

#include "model/Position.h"
#include "model/QsDateTime.h"

#include <vector>

struct GRID_PIXEL {
  int x = 0;
  int y = 0;
};

// cols x rows cells of (rate, direction); cells are numbered from 1, column first.
class CTidalStreamGrid {
 public:
  CTidalStreamGrid(int cols, int rows, int left, int top, int right, int bottom, double westLon, double eastLon,
                   double northLat, double southLat, int year, int month, int day, int hour, int minute, int flag);
  virtual ~CTidalStreamGrid() = default;

  // Ignored for a cell outside the grid.
  void SetStream(double rate, double direction, int col, int row);
  // 0.0 for a cell outside the grid.
  double GetRate(int col, int row) const;
  double GetDirection(int col, int row) const;

  // Centre of the cell in decimal degrees.
  LATLON GetCellCentre(int col, int row) const;
  // Centre of the cell in pixels.
  GRID_PIXEL GetCellPixel(int col, int row) const;

  int GetCols() const { return m_cols; }
  int GetRows() const { return m_rows; }
  const CQsDateTime& GetTime() const { return m_time; }
  int GetFlag() const { return m_flag; }

 private:
  bool Inside(int col, int row) const { return col >= 1 && col <= m_cols && row >= 1 && row <= m_rows; }
  int Index(int col, int row) const { return (row - 1) * m_cols + col - 1; }

  int m_left, m_top, m_right, m_bottom;
  double m_westLon, m_eastLon, m_northLat, m_southLat;
  CQsDateTime m_time;
  int m_flag;
  int m_cols, m_rows;
  std::vector<double> m_directions;
  std::vector<double> m_rates;
};
