// Station selection: which stations of the tide database become ports, with their area, zone
// code, name and harmonic constants in the port table's terms.
import * as db from "@neaps/tide-database";
import { constituents as MODELS } from "@neaps/tide-predictor";
import { readFileSync } from "node:fs";
import { areaOf, AREA_ORDER, AREA_NAMES } from "./areas.mjs";

const NAME_FIXES = JSON.parse(readFileSync(new URL("../name-fixes.json", import.meta.url), "utf8"));

// Constituents the port records and the folding need.
export const KEY_CONSTITUENTS = ["M2", "S2", "K1", "O1", "N2", "K2", "P1", "Q1", "M4", "MS4",
  "MN4", "M6", "2MS6", "2MN6", "MSN6"];

export const speedOf = (name) => MODELS[name].speed;

// Gauges run for river flow, flood warning or marsh monitoring, not for the sea.
const HYDROLOGICAL_SOURCES = ["usgs", "sfwmd", "nwfwmd", "cdwr", "crms", "hct", "ncdem", "cm"];

// Stations that are not harbours a sailor plans by: offshore structures and lake gauges.
const NOT_A_PORT = /\b(platform|plattform|offshore rig|buoy|light ?vessel|lightship)\b/i;
const LAKE = /\b(lake|lac|loch ness|reservoir)\b/i;
// Tidal lagoons and harbours whose names say "lake".
const TIDAL_LAKES = /\b(lake worth|lakes entrance|lake charles|lake borgne|lake macquarie|lake illawarra)\b/i;

const sourceSuffix = (s) => {
  const parts = s.id.split("-");
  return s.id.startsWith("ticon/") ? parts[parts.length - 1] : s.id.split("/")[0];
};

const isNoaa = (s) => s.id.startsWith("noaa/");

function amplitudeOf(hc, name) {
  const c = hc.find((x) => x.name === name);
  return c ? c.amplitude : 0;
}

// Standard offset (hours east) of an IANA zone: the smaller of the January and July offsets.
const zoneCache = new Map();
export function standardOffsetHours(zone) {
  if (zoneCache.has(zone)) return zoneCache.get(zone);
  const offsetAt = (iso) => {
    const fmt = new Intl.DateTimeFormat("en-GB", { timeZone: zone, timeZoneName: "longOffset" });
    const part = fmt.formatToParts(new Date(iso)).find((p) => p.type === "timeZoneName").value;
    const m = /GMT([+-])(\d\d):(\d\d)/.exec(part);
    if (!m) return 0;
    return (m[1] === "-" ? -1 : 1) * (Number(m[2]) + Number(m[3]) / 60);
  };
  const v = Math.min(offsetAt("2025-01-15T12:00:00Z"), offsetAt("2025-07-15T12:00:00Z"));
  zoneCache.set(zone, v);
  return v;
}

// Zone code of a standard offset: whole hours as they are, half hours as signed hhmm.
export function zoneCodeOf(hours) {
  if (Number.isInteger(hours)) return hours;
  const sign = hours < 0 ? -1 : 1;
  const a = Math.abs(hours);
  return sign * (Math.floor(a) * 100 + Math.round((a - Math.floor(a)) * 60));
}

// The standard offsets each area can have; a station's zone outside them is mislabelled.
const AREA_OFFSETS = {
  0: [0], 1: [0], 2: [0], 3: [0], 4: [1], 5: [1], 6: [1], 27: [1, 0], 28: [1], 30: [1, 0],
  31: [0, -1], 32: [1], 33: [1], 29: [-5, -4, -3.5], 25: [-5], 26: [-5], 24: [-5], 23: [-5],
  22: [-5], 21: [-5], 19: [-6, -5], 15: [-5], 13: [-5], 11: [-4], 12: [-5], 8: [-4], 9: [-4],
  14: [-5], 16: [-5], 17: [-5], 18: [-4], 10: [-4], 34: [10, 9.5, 10.5, 11], 35: [10, 9.5, 8],
  40: [10],
};

// Preference among stations at the same place: own harmonics over offsets, official national
// sources over relayed records, then the database's own quality score.
function priority(s) {
  let p = 0;
  if (s.type === "reference") p += 1000;
  if (isNoaa(s)) p += 300;
  if (s.id.startsWith("kartverket/")) p += 300;
  const sfx = sourceSuffix(s);
  if (["bodc", "refmar", "rws", "wsv", "bom", "mi_c", "ieo", "meds", "dmi"].includes(sfx)) p += 200;
  if (["uhslc_fd", "uhslc_rq", "gloss", "noc"].includes(sfx)) p += 100;
  p += (s.quality && s.quality.score) || 0;
  return p;
}

function distanceKm(a, b) {
  const R = 6371.0;
  const d2r = Math.PI / 180;
  const dLat = (b.latitude - a.latitude) * d2r;
  const dLon = (b.longitude - a.longitude) * d2r;
  const x = Math.sin(dLat / 2) ** 2 +
    Math.cos(a.latitude * d2r) * Math.cos(b.latitude * d2r) * Math.sin(dLon / 2) ** 2;
  return 2 * R * Math.asin(Math.min(1, Math.sqrt(x)));
}

// --- names ----------------------------------------------------------------------------------

const slugOf = (t) => t.replace(/ø/gi, "o").replace(/æ/gi, "ae").replace(/ß/g, "ss")
  .normalize("NFD").replace(/[\u0300-\u036f]/g, "").toLowerCase().replace(/[^a-z0-9]+/g, "");

// A name without the words that only say what kind of place it is ("Lord Howe Island" and
// "Lord Howe" are one place).
const GENERIC = /\b(island|harbour|harbor|port|pier|jetty|quay|dock|marina)\b/gi;
const placeSlug = (t) => slugOf(t.replace(GENERIC, " ")) || slugOf(t);

const titleCase = (t) => t.split(/[_\s]+/).filter(Boolean)
  .map((w) => w[0].toUpperCase() + w.slice(1)).join(" ");

// The name a station should carry. A few records carry the name of another station (the names
// were rotated among a source's gauges): where the name disagrees with the station's own id,
// the id's words win.
function baseName(s) {
  if (NAME_FIXES[s.id]) return NAME_FIXES[s.id];
  let name = (s.name || "").trim();
  if (s.id.startsWith("ticon/")) {
    const idWords = s.id.slice(6).split("-")[0];
    const clean = idWords.replace(/tg(_\d+minute)?$/, "").replace(/_\d+minute$/, "");
    const a = slugOf(clean);
    const b = slugOf(name);
    const alphabetic = /^[a-z_]+$/.test(clean) && !/^(ioc|rmn)_/.test(clean);
    if (alphabetic && a.length >= 4 && !a.startsWith(b.slice(0, 4)) && !b.startsWith(a.slice(0, 4))) {
      name = titleCase(clean);
    }
  }
  name = name.replace(/\s+/g, " ").replace(/\s*,\s*$/, "");
  // Names that only make sense beside their river or town ("8 Miles Above Mouth").
  if (/^(\d|Above\b|Below\b|USCG Station$|Marine Corps Air Station$)/.test(name) && s.locality) {
    name = `${s.locality} ${name}`;
  }
  return name;
}

const ABBREVIATIONS = [
  [/\bSaint\b/g, "St"], [/\bSainte\b/g, "Ste"], [/\bMount\b/g, "Mt"], [/\bPoint\b/g, "Pt"],
  [/\bHarbour\b/g, "Hbr"], [/\bHarbor\b/g, "Hbr"], [/\bIsland\b/g, "I."], [/\bIslands\b/g, "Is."],
  [/\bRiver\b/g, "R."], [/\bEntrance\b/g, "Ent."], [/\bChannel\b/g, "Chan."], [/\bCreek\b/g, "Ck"],
  [/\bNorth\b/g, "N."], [/\bSouth\b/g, "S."], [/\bEast\b/g, "E."], [/\bWest\b/g, "W."],
  [/\bFort\b/g, "Ft"], [/\bBridge\b/g, "Br."], [/\bLighthouse\b/g, "Lt Ho."],
  [/\bCoast Guard Station\b/g, "CG Stn"], [/\bStation\b/g, "Stn"], [/\bInlet\b/g, "Inl."],
];

export const MAX_NAME = 36;

// Names are counted in bytes of UTF-8, which is what the table stores.
const fits = (t) => Buffer.byteLength(t, "utf8") <= MAX_NAME;

function shorten(name) {
  if (fits(name)) return name;
  let t = name;
  for (const [re, rep] of ABBREVIATIONS) {
    t = t.replace(re, rep);
    if (fits(t)) return t;
  }
  // Drop words from the end of a parenthesis or after a comma, then cut at a word boundary.
  t = t.replace(/\s*\([^)]*\)\s*/g, " ").trim();
  if (fits(t)) return t;
  const words = t.split(" ");
  while (words.length > 1 && !fits(words.join(" "))) words.pop();
  t = words.join(" ").replace(/[,\s]+$/, "");
  while (!fits(t)) t = [...t].slice(0, -1).join("");
  return t.trim();
}

const US_STATE = (s) => ((s.region_code || "").startsWith("US-") ? s.region_code.slice(3) : "");

function qualifier(p, list) {
  const s = p.station;
  if (US_STATE(s)) return US_STATE(s);
  const areas = new Set(list.map((x) => x.area));
  if (areas.size > 1 && AREA_NAMES[p.area]) return AREA_NAMES[p.area].replace(/ \(.*\)$/, "");
  return s.locality || s.region || s.country_code || "";
}

// Unique names of at most 36 characters, in place on the ports.
export function assignNames(ports) {
  for (const p of ports) p.name = shorten(baseName(p.station));
  const groups = new Map();
  for (const p of ports) {
    const key = p.name.toLowerCase();
    if (!groups.has(key)) groups.set(key, []);
    groups.get(key).push(p);
  }
  const taken = new Set();
  for (const list of groups.values()) {
    if (list.length === 1) {
      taken.add(list[0].name.toLowerCase());
      continue;
    }
    for (const p of list) {
      const q = qualifier(p, list);
      if (q && slugOf(q) !== slugOf(p.name)) p.name = shorten(`${p.name}, ${q}`);
    }
  }
  // Still colliding: the locality (or the record's context) tells them apart.
  const again = new Map();
  for (const p of ports) {
    const key = p.name.toLowerCase();
    if (!again.has(key)) again.set(key, []);
    again.get(key).push(p);
  }
  for (const list of again.values()) {
    if (list.length === 1) continue;
    const base = shorten(baseName(list[0].station));
    for (const p of list) {
      const s = p.station;
      const extra = [s.locality, s.context].find((q) => q && slugOf(q) !== slugOf(base) &&
        !slugOf(q).startsWith(slugOf(base)));
      if (extra) p.name = shorten(`${base}, ${extra.split(/[,·]/)[0].trim()}`);
    }
  }
  // Whatever still collides is numbered in table order.
  const seen = new Map();
  for (const p of ports) {
    const key = p.name.toLowerCase();
    const n = (seen.get(key) || 0) + 1;
    seen.set(key, n);
    if (n > 1) {
      const suffix = ` (${n})`;
      let t = p.name;
      while (!fits(t + suffix)) t = [...t].slice(0, -1).join("");
      p.name = t.trim() + suffix;
    }
  }
}

// --- datums ---------------------------------------------------------------------------------

// Levels above chart datum: Z0 and the four spring/neap levels.
function levels(s, hc) {
  const d = s.datums || {};
  let cd;
  if (isNoaa(s)) cd = d.MLLW;
  else cd = d.LAT !== undefined ? d.LAT : d[s.chart_datum];
  if (cd === undefined || d.MSL === undefined) return null;
  const z0 = d.MSL - cd;
  const m2 = amplitudeOf(hc, "M2");
  const s2 = amplitudeOf(hc, "S2");
  const k1 = amplitudeOf(hc, "K1");
  const o1 = amplitudeOf(hc, "O1");
  const form = m2 + s2 > 0 ? (k1 + o1) / (m2 + s2) : 99;
  const at = (name) => (d[name] !== undefined ? d[name] - cd : undefined);
  let mhws = at("MHWS");
  let mhwn = at("MHWN");
  let mlws = at("MLWS");
  let mlwn = at("MLWN");
  if (form > 1.5) {
    // Diurnal tides: the spring/neap formulas mean nothing there; the tidal datums do.
    mhws ??= at("MHHW");
    mhwn ??= at("MHW");
    mlwn ??= at("MLW");
    mlws ??= at("MLLW");
  }
  mhws ??= z0 + (m2 + s2);
  mhwn ??= z0 + (m2 - s2);
  mlws ??= z0 - (m2 + s2);
  mlwn ??= z0 - (m2 - s2);
  return { z0, mhws, mhwn, mlws, mlwn, form, mhw: at("MHW"), mlw: at("MLW") };
}

// --- selection ------------------------------------------------------------------------------

// Every usable station of the four regions, with area and zone, one per place, in table order.
export function selectStations() {
  const rejected = {};
  const reject = (why) => { rejected[why] = (rejected[why] || 0) + 1; };
  const candidates = [];
  for (const s of db.stations) {
    if (s.kind !== "tide") continue;
    const area = areaOf(s);
    if (area === null) continue;
    if (!s.license || s.license.commercial_use !== true || /nc/i.test(s.license.type)) {
      reject("licence forbids commercial use");
      continue;
    }
    if (HYDROLOGICAL_SOURCES.includes(sourceSuffix(s))) { reject("hydrological or marsh gauge"); continue; }
    const name = baseName(s);
    if (NOT_A_PORT.test(name)) { reject("offshore structure"); continue; }
    if (LAKE.test(name) && !TIDAL_LAKES.test(name)) { reject("lake"); continue; }
    const hc = s.harmonic_constituents || [];
    if (!hc.length) { reject("no harmonics"); continue; }
    let scale = 1;
    if (s.type === "subordinate") {
      const o = s.offsets;
      if (!o || !o.height || !o.time) { reject("incomplete offsets"); continue; }
    }
    const m2 = amplitudeOf(hc, "M2") * scale;
    const s2 = amplitudeOf(hc, "S2") * scale;
    const k1 = amplitudeOf(hc, "K1") * scale;
    const o1 = amplitudeOf(hc, "O1") * scale;
    // River gauges: where the seasonal swing of the river exceeds the whole tide, a tide table
    // without seasonal terms is wrong by more than the tide itself.
    const seasonal = amplitudeOf(hc, "SA") + amplitudeOf(hc, "SSA");
    if (seasonal > m2 + s2 + k1 + o1) { reject("river level swings more than the tide"); continue; }
    const lv = levels(s, hc);
    if (!lv) { reject("no chart datum or mean level"); continue; }
    candidates.push({ station: s, area, hc, lv, semi: m2 + s2, diurnal: k1 + o1 });
  }

  // Subordinate amplitudes scale with the reference's: apply the scale before the size test.
  for (const c of candidates) {
    if (c.station.type !== "subordinate") continue;
    const k = subordinateScale(c.station, c.lv);
    if (k === null) { c.drop = "offsets"; continue; }
    c.semi *= k;
    c.diurnal *= k;
  }
  const sized = candidates.filter((c) => {
    if (c.drop) { reject("unusable offsets"); return false; }
    if (c.semi < 0.10 && c.diurnal < 0.10) { reject("tide under 0.10 m"); return false; }
    return true;
  });

  // One station per place: the preferred one within a kilometre wins.
  sized.sort((a, b) => priority(b.station) - priority(a.station) || a.station.id.localeCompare(b.station.id));
  const kept = [];
  for (const c of sized) {
    if (kept.some((k) => distanceKm(k.station, c.station) < 1.0)) { reject("duplicate within 1 km"); continue; }
    // The same gauge relayed by two sources often sits a little apart under the same name.
    const slug = placeSlug(baseName(c.station));
    if (kept.some((k) => placeSlug(baseName(k.station)) === slug && distanceKm(k.station, c.station) < 5.0)) {
      reject("duplicate of the same name within 5 km");
      continue;
    }
    kept.push(c);
  }

  // Zone codes from the standard offset of the station's zone; labels that cannot be right
  // for the area (Etc/GMT and the like) take the zone of the nearest well-labelled station.
  const good = (c) => {
    const z = c.station.timezone || "";
    if (!z || z.startsWith("Etc/") || z === "UTC" || z === "GMT") return false;
    return AREA_OFFSETS[c.area].includes(standardOffsetHours(z));
  };
  let fixedZones = 0;
  for (const c of kept) {
    if (good(c)) {
      c.offsetHours = standardOffsetHours(c.station.timezone);
      continue;
    }
    let best = null;
    let bestD = Infinity;
    for (const o of kept) {
      if (o === c || o.area !== c.area || !good(o)) continue;
      const d = distanceKm(o.station, c.station);
      if (d < bestD) { bestD = d; best = o; }
    }
    c.offsetHours = best ? standardOffsetHours(best.station.timezone) : AREA_OFFSETS[c.area][0];
    c.zoneFixedFrom = c.station.timezone;
    fixedZones++;
  }
  for (const c of kept) c.zoneCode = zoneCodeOf(c.offsetHours);

  // Table order: areas in the tree's order, and within an area a walk along the coast.
  const ordered = [];
  for (const area of AREA_ORDER) {
    const list = kept.filter((c) => c.area === area);
    ordered.push(...coastalWalk(list));
  }
  return { ports: ordered, rejected, fixedZones };
}

// A greedy nearest-neighbour walk from the area's most northerly and westerly station, so that
// the table's order (the tree's "by location" order) follows the coast.
function coastalWalk(list) {
  if (list.length < 2) return list.slice();
  const rest = list.slice().sort((a, b) =>
    (b.station.latitude - b.station.longitude * 0.5) - (a.station.latitude - a.station.longitude * 0.5) ||
    a.station.id.localeCompare(b.station.id));
  const out = [rest.shift()];
  while (rest.length) {
    const last = out[out.length - 1].station;
    let bi = 0;
    let bd = Infinity;
    for (let i = 0; i < rest.length; i++) {
      const d = distanceKm(last, rest[i].station);
      if (d < bd || (d === bd && rest[i].station.id < rest[bi].station.id)) { bd = d; bi = i; }
    }
    out.push(rest.splice(bi, 1)[0]);
  }
  return out;
}

// Amplitude scale k of a NOAA subordinate station from its height offsets (null when unusable).
export function subordinateScale(s, lv) {
  const o = s.offsets;
  const A = lv.mhw !== undefined && lv.mlw !== undefined ? (lv.mhw - lv.mlw) / 2 : undefined;
  if (!A || A <= 0.01) return null;
  const rh = o.height.high;
  const rl = o.height.low;
  if (o.height.type === "fixed") return 1 + ((rh ?? 0) - (rl ?? 0)) / (2 * A);
  const h = rh ?? 1;
  const l = rl ?? 1;
  const k = (h + l) / 2 + (lv.z0 * (h - l)) / (2 * A);
  return k > 0.05 && k < 20 ? k : null;
}

export { amplitudeOf, levels, distanceKm, priority, baseName, sourceSuffix };
