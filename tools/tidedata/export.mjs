// Step 1 of the table build: selects the ports from the tide database and writes what the later
// steps need.
//   out/stations.json   every selected port: identity, area, zone, levels, constituents
//   folding.txt         the folding ratios (committed; read by the angle table generator)
//   ../../data/ATTRIBUTIONS.txt   the notices the data sources require
import { mkdirSync, writeFileSync, readFileSync } from "node:fs";
import { selectStations, assignNames, amplitudeOf } from "./lib/select.mjs";
import { stationConstituents, stationLevels, wrap360 } from "./lib/constants.mjs";
import { AREA_NAMES, REGION_OF_AREA } from "./lib/areas.mjs";

const here = new URL(".", import.meta.url).pathname;
const outDir = `${here}out`;
mkdirSync(outDir, { recursive: true });

const { ports, rejected, fixedZones } = selectStations();
assignNames(ports);

const records = ports.map((c, i) => {
  const s = c.station;
  const { cons, k, dt } = stationConstituents(c);
  const lv = stationLevels(c);
  return {
    portId: i + 1,
    id: s.id,
    name: c.name,
    area: c.area,
    kind: s.type === "reference" ? 2 : 1,
    zoneCode: c.zoneCode,
    zoneHours: c.offsetHours,
    zoneFixedFrom: c.zoneFixedFrom || null,
    latitude: s.latitude,
    longitude: s.longitude,
    z0: lv.z0, mhws: lv.mhws, mhwn: lv.mhwn, mlws: lv.mlws, mlwn: lv.mlwn,
    form: lv.form,
    reference: s.offsets ? s.offsets.reference : null,
    offsets: s.offsets || null,
    scale: k, timeShiftHours: dt,
    constituents: cons,
    licence: s.license.type,
    attribution: s.attribution,
    source: s.source.name,
  };
});

// Folding: each main constituent absorbs its near companions through the daily factor and
// angle, with the median amplitude ratio and phase difference over the standard ports. A
// candidate is folded when the median fold removes more than half of its energy over those
// ports (weighted by the main constituent's amplitude squared); otherwise it would add error.
function median(values) {
  const v = values.slice().sort((a, b) => a - b);
  if (!v.length) return 0;
  const m = v.length >> 1;
  return v.length % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}
const signed = (d) => { const w = wrap360(d); return w > 180 ? w - 360 : w; };
const CANDIDATES = {
  M2: ["N2", "2N2", "NU2", "MU2", "L2", "LAMBDA2"],
  S2: ["K2", "T2", "R2"],
  // J1 and OO1 beat against K1 by 13 degrees a day: folded in, they would make the K1 angle
  // rise on some days, which the unwrapping of the K1 angle does not allow.
  K1: ["P1", "S1"],
  O1: ["Q1", "2Q1", "RHO1"],
};
function foldStats(main, companion) {
  const rows = [];
  for (const s of ports) {
    if (s.station.type !== "reference") continue;
    const hc = s.station.harmonic_constituents;
    const a = hc.find((c) => c.name === main);
    const b = hc.find((c) => c.name === companion);
    if (!a || !b || a.amplitude < 0.1) continue;
    rows.push({ w: a.amplitude ** 2, r: b.amplitude / a.amplitude, d: signed(b.phase - a.phase) });
  }
  const ratio = median(rows.map((x) => x.r));
  const phase = median(rows.map((x) => x.d));
  let before = 0;
  let after = 0;
  const d2r = Math.PI / 180;
  for (const x of rows) {
    const re = x.r * Math.cos(x.d * d2r) - ratio * Math.cos(phase * d2r);
    const im = x.r * Math.sin(x.d * d2r) - ratio * Math.sin(phase * d2r);
    before += x.w * x.r * x.r;
    after += x.w * (re * re + im * im);
  }
  const left = before > 0 ? after / before : 1;
  return { main, companion, ratio, phase, n: rows.length, left, use: rows.length >= 50 && left < 0.5 };
}
const folding = [];
for (const [main, list] of Object.entries(CANDIDATES)) for (const c of list) folding.push(foldStats(main, c));

writeFileSync(`${outDir}/stations.json`, JSON.stringify({ folding, ports: records }, null, 1));

// The folding file the angle generator reads: one line per folded companion.
const foldLines = [
  "# Companions folded into the daily factors and angles of the four main constituents.",
  "# main companion amplitude-ratio phase-difference(deg) [ports energy-left]",
  "# Medians over the standard ports; phase difference = g(companion) - g(main). A line is",
  "# active when the median fold removes more than half of the companion's energy.",
];
for (const f of folding) {
  foldLines.push(`${f.use ? "" : "# "}${f.main} ${f.companion} ${f.ratio.toFixed(4)} ${f.phase.toFixed(1)} ${f.n} ${f.left.toFixed(2)}`);
}
writeFileSync(`${here}folding.txt`, foldLines.join("\n") + "\n");

// Attributions, from the notices the stations themselves carry.
const notices = new Map();
for (const p of records) {
  if (!notices.has(p.attribution)) notices.set(p.attribution, { count: 0, sources: new Set() });
  const n = notices.get(p.attribution);
  n.count++;
  n.sources.add(p.source);
}
const dbPkg = JSON.parse(readFileSync(`${here}node_modules/@neaps/tide-database/package.json`, "utf8"));
const lines = [
  "Neapwise tide data: sources and attributions",
  "============================================",
  "",
  "NOT FOR NAVIGATION. The tide heights and times in this program are predictions computed",
  "from published harmonic constants by a simplified method. They can be wrong by many minutes",
  "and by tens of centimetres, and they take no account of weather, surges or river flow. Do not",
  "use them for navigation or wherever a wrong tide could harm people or property; use the",
  "official tide tables and charts of the hydrographic office concerned.",
  "",
  `The port table holds ${records.length} ports. Their harmonic constants, datums and names come`,
  `from the Neaps tide database (@neaps/tide-database ${dbPkg.version}; its code under the MIT`,
  "licence, its data under CC BY 4.0 unless a station's own licence says otherwise), which",
  "gathers the sources below. Stations whose licence forbids commercial use were left out.",
  "Changes made for this program: stations were selected and renamed, phases converted to each",
  "port's standard time, levels referred to chart datum, minor constituents folded into the main",
  "ones, shallow-water terms refitted, and subordinate-station offsets turned into constants.",
  "",
  "Notices, as each source asks for them:",
  "",
];
for (const [text, n] of [...notices.entries()].sort((a, b) => b[1].count - a[1].count)) {
  lines.push(`* ${[...n.sources].sort().join("; ")} (${n.count} ports):`);
  lines.push(`  ${text}`);
  lines.push("");
}
lines.push("US National Oceanic and Atmospheric Administration (NOAA) station data are in the public");
lines.push("domain; NOAA does not endorse this program.");
lines.push("");
lines.push("Station locations in the database are derived in part from GeoNames (www.geonames.org,");
lines.push("CC BY 4.0), OpenStreetMap contributors (ODbL 1.0) and the Marine Regions maritime boundaries");
lines.push("of the Flanders Marine Institute (CC BY 4.0).");
lines.push("");
lines.push("The daily astronomical angles and factors are computed by this program's own engine.");
// The chart data's own notices (tools/chartdata) follow ours in the same file.
let chartNotices = "";
try { chartNotices = readFileSync(`${here}../chartdata/notices.txt`, "utf8"); } catch { /* not generated */ }
writeFileSync(`${here}../../data/ATTRIBUTIONS.txt`, lines.join("\n") + "\n" + chartNotices);

// Summary.
const byArea = new Map();
for (const p of records) {
  const a = byArea.get(p.area) || { all: 0, std: 0 };
  a.all++;
  if (p.kind === 2) a.std++;
  byArea.set(p.area, a);
}
console.log(`ports: ${records.length}; zones corrected: ${fixedZones}`);
for (const p of records.filter((r) => r.zoneFixedFrom)) {
  console.log(`  zone of ${p.name} (${p.id}): ${p.zoneFixedFrom} -> ${p.zoneCode}`);
}
console.log("left out:", rejected);
for (const [area, a] of byArea) {
  console.log(`  ${String(area + 1).padStart(2)} ${AREA_NAMES[area].padEnd(26)} ${REGION_OF_AREA(area).padEnd(15)} ${String(a.all).padStart(4)} ports, ${a.std} standard`);
}
console.log("folded:", folding.filter((f) => f.use).map((f) => `${f.companion}->${f.main} ${f.ratio.toFixed(3)} ${f.phase.toFixed(1)}`).join(", "));
