// The independent reference: @neaps/tide-predictor with every constituent of the station, and
// the station's own subordinate offsets, heights above the same chart datum as the port table.
import * as db from "@neaps/tide-database";
import { useStation } from "@neaps/tide-predictor";

export function datumOf(s) {
  if (s.id.startsWith("noaa/")) return "MLLW";
  const d = s.datums || {};
  return d.LAT !== undefined ? "LAT" : s.chart_datum;
}

export function referenceFor(stationId) {
  const s = db.stationsById.get(stationId);
  const st = useStation(s);
  const datum = datumOf(s);
  return {
    station: s,
    // Heights every step seconds from start (inclusive) to end (inclusive), UTC dates.
    timeline(start, end, step) {
      return st.getTimelinePrediction({ start, end, timeFidelity: step, datum }).timeline;
    },
    extremes(start, end) {
      return st.getExtremesPrediction({ start, end, datum }).extremes;
    },
  };
}
