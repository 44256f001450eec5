#include "model/TidalStreamGrid.h"

#include <algorithm>

CTidalStreamGrid::CTidalStreamGrid(int cols, int rows, int left, int top, int right, int bottom, double westLon,
                                   double eastLon, double northLat, double southLat, int year, int month, int day,
                                   int hour, int minute, int flag)
    : m_left(left),
      m_top(top),
      m_right(right),
      m_bottom(bottom),
      m_westLon(westLon),
      m_eastLon(eastLon),
      m_northLat(northLat),
      m_southLat(southLat),
      m_time(year, month, day, hour, minute, 0),
      m_flag(flag),
      // A view smaller than one cell gives no cells, never a negative count.
      m_cols(std::max(cols, 0)),
      m_rows(std::max(rows, 0)),
      m_directions(static_cast<size_t>(m_cols) * static_cast<size_t>(m_rows), 0.0),
      m_rates(m_directions.size(), 0.0) {}

void CTidalStreamGrid::SetStream(double rate, double direction, int col, int row) {
  if (!Inside(col, row)) return;
  m_rates[Index(col, row)] = rate;
  m_directions[Index(col, row)] = direction;
}

double CTidalStreamGrid::GetRate(int col, int row) const { return Inside(col, row) ? m_rates[Index(col, row)] : 0.0; }

double CTidalStreamGrid::GetDirection(int col, int row) const {
  return Inside(col, row) ? m_directions[Index(col, row)] : 0.0;
}

LATLON CTidalStreamGrid::GetCellCentre(int col, int row) const {
  // An empty grid has no cells; answer its north-west corner rather than divide by zero.
  const double cellWidth = m_cols > 0 ? (m_eastLon - m_westLon) / m_cols : 0.0;
  const double cellHeight = m_rows > 0 ? (m_northLat - m_southLat) / m_rows : 0.0;
  LATLON centre;
  centre.longitude = m_westLon + cellWidth * (col - 1) + cellWidth / 2.0;
  centre.latitude = m_northLat - cellHeight / 2.0 - cellHeight * (row - 1);
  return centre;
}

GRID_PIXEL CTidalStreamGrid::GetCellPixel(int col, int row) const {
  const double dx = m_cols > 0 ? static_cast<double>(m_right - m_left) / m_cols : 0.0;
  const double dy = m_rows > 0 ? static_cast<double>(m_bottom - m_top) / m_rows : 0.0;
  GRID_PIXEL pixel;
  pixel.x = m_left + static_cast<int>(dx * (col - 1)) + static_cast<int>(dx / 2.0);
  pixel.y = m_top + static_cast<int>(dy * (row - 1)) + static_cast<int>(dy / 2.0);
  return pixel;
}
