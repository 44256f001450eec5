// Writes the tide gauges and current stations the stream grid generator fits and checks against:
//   <out>/gauges.json    tide reference stations (own harmonics, not subordinates) in the box
//   <out>/currents.json  current reference stations in the box (for the validation only)
// Stations whose licence forbids commercial use are left out.
// Usage: node export-stations.mjs <out dir> <south> <north> <west> <east>
import * as db from "@neaps/tide-database";
import { mkdirSync, writeFileSync } from "node:fs";

const [out, south, north, west, east] = [process.argv[2], ...process.argv.slice(3, 7).map(Number)];
if (!out || [south, north, west, east].some((v) => !Number.isFinite(v))) {
  console.error("usage: node export-stations.mjs <out dir> <south> <north> <west> <east>");
  process.exit(2);
}
const WANTED = ["M2", "S2", "N2", "K2", "K1", "O1", "M4"];
const inBox = (s) => s.latitude >= south && s.latitude <= north && s.longitude >= west && s.longitude <= east;
const licensed = (s) => s.license && s.license.commercial_use === true && !/nc/i.test(s.license.type);

function constants(s) {
  const c = {};
  for (const name of WANTED) {
    const h = s.harmonic_constituents.find((x) => x.name === name);
    c[name] = h ? [h.amplitude, h.phase] : [0, 0];
  }
  return c;
}

const gauges = [];
const currents = [];
let refused = 0;
for (const s of db.stations) {
  if (s.type !== "reference" || !inBox(s) || !s.harmonic_constituents.length) continue;
  if (!licensed(s)) { refused++; continue; }
  const m2 = s.harmonic_constituents.find((x) => x.name === "M2");
  if (!m2) continue;
  const base = { id: s.id, name: s.name, lat: s.latitude, lon: s.longitude, licence: s.license.type,
    source: s.source.name, constants: constants(s) };
  if (s.kind === "tide") gauges.push(base);
  else if (s.kind === "current" && s.current && Number.isFinite(s.current.flood_direction))
    currents.push({ ...base, flood: s.current.flood_direction, ebb: s.current.ebb_direction });
}
mkdirSync(out, { recursive: true });
writeFileSync(`${out}/gauges.json`, JSON.stringify(gauges));
writeFileSync(`${out}/currents.json`, JSON.stringify(currents));
console.error(`${gauges.length} tide gauges, ${currents.length} current stations, ${refused} refused by licence`);
