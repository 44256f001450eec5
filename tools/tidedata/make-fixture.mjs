// Writes tests/tidedata/data/reference-extremes.tsv: high and low waters of a few standard
// ports from the full @neaps/tide-predictor, which the table tests compare the program with.
// Run once after the tables change: node make-fixture.mjs
import { readFileSync, writeFileSync, mkdirSync } from "node:fs";
import { referenceFor } from "./lib/reference.mjs";

const here = new URL(".", import.meta.url).pathname;
const STATIONS = [
  "ticon/newlyn-new-gbr-bodc",
  "ticon/brest-822-fra-uhslc_fd",
  "ticon/cuxhaven-825-deu-uhslc_fd",
  "kartverket/BGO",
  "noaa/8518750",
  "noaa/8665530",
  "noaa/8726520",
  "ticon/sydney_fort_denison-60370-aus-bom",
  "ticon/hobart-61220-aus-bom",
];
// UTC days: one now, one far into the table.
const SPANS = [["2026-03-01", 3], ["2044-09-10", 3]];

const ports = new Map();
for (const line of readFileSync(`${here}ports.tsv`, "utf8").split("\n")) {
  if (!line || line.startsWith("#")) continue;
  const f = line.split("\t");
  ports.set(f[25], { portId: Number(f[1]), name: f[24] });
}

const out = ["# portId\tstation\tutc (YYYY-MM-DD HH:MM)\tH|L\tmetres above chart datum\tname"];
for (const id of STATIONS) {
  const p = ports.get(id);
  if (!p) throw new Error(`${id} is not in ports.tsv`);
  const ref = referenceFor(id);
  for (const [day, n] of SPANS) {
    const start = new Date(`${day}T00:00:00Z`);
    const end = new Date(start.getTime() + n * 86400000);
    for (const e of ref.extremes(start, end)) {
      const t = new Date(Math.round(e.time.getTime() / 60000) * 60000).toISOString();
      out.push([p.portId, id, `${t.slice(0, 10)} ${t.slice(11, 16)}`, e.high ? "H" : "L", e.level.toFixed(3), p.name].join("\t"));
    }
  }
}
mkdirSync(`${here}../../tests/tidedata/data`, { recursive: true });
writeFileSync(`${here}../../tests/tidedata/data/reference-extremes.tsv`, out.join("\n") + "\n");
console.log(`${out.length - 1} events`);
