// Step 3 of the table build: the final port records.
// Reads out/stations.json (from export.mjs) and the angle table resources/tables/178.bin (from
// neapwise-tablegen), rounds the constants as the table stores them, fits the two shallow-water
// pairs, and writes ports.tsv, the committed input of the port table.
//
// Shallow-water pairs: a least-squares fit, over a year of hourly heights, of what the full
// predictor gives beyond the program's four-constituent height, on R^2 cos 2phi, R^2 sin 2phi,
// R^3 cos 3phi and R^3 sin 3phi (R and phi as the program computes them); zero where M2 is
// under 0.1 m. Subordinate stations are fitted to the predictor's own subordinate curve.
import { readFileSync, writeFileSync } from "node:fs";
import { readAngleTable, dayTerms, heightParts } from "./lib/program.mjs";
import { referenceFor } from "./lib/reference.mjs";
import { localPhase, wrap360 } from "./lib/constants.mjs";

const here = new URL(".", import.meta.url).pathname;
const FIT_YEAR = 2026;
const MAIN = ["M2", "S2", "K1", "O1"];

const { ports } = JSON.parse(readFileSync(`${here}out/stations.json`, "utf8"));
const table = readAngleTable(`${here}../../resources/tables/178.bin`);

const r4 = (x) => Math.round(x * 1e4) / 1e4;
const r3 = (x) => Math.round(x * 1e3) / 1e3;
const r6 = (x) => Math.round(x * 1e6) / 1e6;
const fmt = (x, d) => {
  const s = x.toFixed(d);
  return s === `-${(0).toFixed(d)}` ? (0).toFixed(d) : s;
};

// The record as the table will hold it, before the shallow-water pairs.
function baseRecord(p) {
  const g = [];
  const h = [];
  for (const n of MAIN) {
    const c = p.constituents[n];
    g.push(c ? localPhase(n, c.phase, p.zoneHours) : 0);
    h.push(c ? r4(c.amplitude) : 0);
  }
  return { g, h, z0: r4(p.z0), g4: 0, h4: 0, g6: 0, h6: 0 };
}

// Solves the normal equations of a small least-squares problem (Gaussian elimination).
function solve(ata, atb) {
  const n = atb.length;
  const a = ata.map((row, i) => [...row, atb[i]]);
  for (let i = 0; i < n; i++) {
    let p = i;
    for (let r = i + 1; r < n; r++) if (Math.abs(a[r][i]) > Math.abs(a[p][i])) p = r;
    [a[i], a[p]] = [a[p], a[i]];
    if (Math.abs(a[i][i]) < 1e-12) return null;
    for (let r = 0; r < n; r++) {
      if (r === i) continue;
      const k = a[r][i] / a[i][i];
      for (let c = i; c <= n; c++) a[r][c] -= k * a[i][c];
    }
  }
  return a.map((row, i) => row[n] / row[i]);
}

function fitShallow(p, rec) {
  if (rec.h[0] < 0.1) return;
  const ref = referenceFor(p.id);
  const start = new Date(Date.UTC(FIT_YEAR, 0, 1));
  const end = new Date(Date.UTC(FIT_YEAR + 1, 0, 1));
  const tl = ref.timeline(start, end, 3600);
  const zoneMinutes = Math.round(p.zoneHours * 60);
  const ata = [[0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0]];
  const atb = [0, 0, 0, 0];
  let dayKey = null;
  let terms = null;
  for (const s of tl) {
    // The sample's local standard time gives the program's day and harmonic minute.
    const local = new Date(s.time.getTime() + zoneMinutes * 60000);
    const y = local.getUTCFullYear();
    const m = local.getUTCMonth() + 1;
    const d = local.getUTCDate();
    const key = `${y}-${m}-${d}`;
    if (key !== dayKey) {
      const today = table.byDate(y, m, d);
      const nextDate = new Date(Date.UTC(y, m - 1, d + 1));
      const next = table.byDate(nextDate.getUTCFullYear(), nextDate.getUTCMonth() + 1, nextDate.getUTCDate());
      terms = dayTerms(rec, today, next);
      dayKey = key;
    }
    const minute = local.getUTCHours() * 60 + local.getUTCMinutes();
    const { base, R, phi } = heightParts(rec, terms, minute);
    const resid = s.level - base;
    const r2 = R * R;
    const r3v = r2 * R;
    const ph = phi * Math.PI / 180;
    const x = [r2 * Math.cos(2 * ph), r2 * Math.sin(2 * ph), r3v * Math.cos(3 * ph), r3v * Math.sin(3 * ph)];
    for (let i = 0; i < 4; i++) {
      atb[i] += x[i] * resid;
      for (let j = 0; j < 4; j++) ata[i][j] += x[i] * x[j];
    }
  }
  // A little ridge keeps the sixth-diurnal pair from wandering where it explains nothing.
  const scale = (ata[2][2] + ata[3][3]) / 2;
  ata[2][2] += scale * 1e-6;
  ata[3][3] += scale * 1e-6;
  const sol = solve(ata, atb);
  if (!sol) return;
  const [a4, b4, a6, b6] = sol;
  const h4 = Math.hypot(a4, b4);
  const h6 = Math.hypot(a6, b6);
  // H cos(g + n phi) = a cos(n phi) + b sin(n phi): H cos g = a, -H sin g = b.
  rec.h4 = h4;
  rec.g4 = Math.round(wrap360(Math.atan2(-b4, a4) * 180 / Math.PI)) % 360;
  rec.h6 = h6;
  rec.g6 = Math.round(wrap360(Math.atan2(-b6, a6) * 180 / Math.PI)) % 360;
}

const lines = [
  "# Port table input, written by fit.mjs from the tide database; neapwise-tablegen turns it into 179.bin.",
  "# index\tportId\tarea\tkind\tzone\tlatitude\tlongitude\tz0\tgM2\tHM2\tgS2\tHS2\tgK1\tHK1\tgO1\tHO1\tg4\tH4\tg6\tH6\tMHWS\tMHWN\tMLWS\tMLWN\tname\tstation",
];
const t0 = Date.now();
ports.forEach((p, index) => {
  const rec = baseRecord(p);
  fitShallow(p, rec);
  // Shallow-water coefficients multiply R^2 and R^3: keep enough digits for a 10 m range.
  const row = [
    index, p.portId, p.area + 1, p.kind, p.zoneCode,
    fmt(r6(p.latitude), 6), fmt(r6(p.longitude), 6), fmt(rec.z0, 4),
    rec.g[0], fmt(rec.h[0], 4), rec.g[1], fmt(rec.h[1], 4), rec.g[2], fmt(rec.h[2], 4), rec.g[3], fmt(rec.h[3], 4),
    rec.g4, fmt(rec.h4, 6), rec.g6, fmt(rec.h6, 7),
    fmt(r3(p.mhws), 3), fmt(r3(p.mhwn), 3), fmt(r3(p.mlws), 3), fmt(r3(p.mlwn), 3),
    p.name, p.id,
  ];
  lines.push(row.join("\t"));
  if (index % 250 === 0) process.stderr.write(`  ${index}/${ports.length} ports, ${((Date.now() - t0) / 1000).toFixed(0)} s\n`);
});
writeFileSync(`${here}ports.tsv`, lines.join("\n") + "\n");
console.log(`ports.tsv: ${ports.length} ports`);
