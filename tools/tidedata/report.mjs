// Accuracy report: the program's high and low waters and heights (through neapwise-predict,
// that is through CPrediction exactly as the program computes them) against the full
// @neaps/tide-predictor for every standard port over a whole year.
//
//   node report.mjs [--predict PATH] [--tables DIR] [--year YYYY] [--out FILE] [--jobs N]
//                   [--limit N] [--json FILE]
//
// Times are compared in UTC. Each program event is matched to the predictor's nearest event of
// the same type within 150 minutes. Per port: median and 95th percentile of the absolute time
// error (minutes) for high and for low waters, the median absolute height error of the
// events, and the RMS of the 10-minute heights over the year.
import { readFileSync, writeFileSync, existsSync } from "node:fs";
import { execFileSync } from "node:child_process";
import { Worker, isMainThread, parentPort, workerData } from "node:worker_threads";
import { cpus } from "node:os";
import { referenceFor } from "./lib/reference.mjs";
import { AREA_NAMES, REGION_OF_AREA, AREA_ORDER } from "./lib/areas.mjs";

const here = new URL(".", import.meta.url).pathname;
const MATCH_MINUTES = 150;

function quantile(values, q) {
  if (!values.length) return NaN;
  const v = Float64Array.from(values).sort();
  const pos = (v.length - 1) * q;
  const lo = Math.floor(pos);
  const hi = Math.ceil(pos);
  return v[lo] + (v[hi] - v[lo]) * (pos - lo);
}
const median = (v) => quantile(v, 0.5);

function parseArgs(argv) {
  const o = {
    predict: null, tables: null, year: 2026, out: `${here}accuracy-report.md`,
    jobs: Math.max(1, Math.min(4, cpus().length - 1)), limit: 0, json: null, standardOnly: false,
  };
  for (let i = 2; i < argv.length; i++) {
    const a = argv[i];
    const v = argv[i + 1];
    if (a === "--predict") { o.predict = v; i++; } else if (a === "--tables") { o.tables = v; i++; }
    else if (a === "--year") { o.year = Number(v); i++; } else if (a === "--out") { o.out = v; i++; }
    else if (a === "--jobs") { o.jobs = Number(v); i++; } else if (a === "--limit") { o.limit = Number(v); i++; }
    else if (a === "--json") { o.json = v; i++; } else if (a === "--standard-only") o.standardOnly = true;
    else throw new Error(`unknown argument ${a}`);
  }
  if (!o.predict) {
    for (const dir of ["build", "build-tidedata", "build-release"]) {
      const p = `${here}../../${dir}/tools/tidedata/neapwise-predict`;
      if (existsSync(p)) { o.predict = p; break; }
    }
  }
  if (!o.predict) throw new Error("neapwise-predict not found: build it and pass --predict PATH");
  return o;
}

function readPorts(path) {
  const ports = [];
  for (const line of readFileSync(path, "utf8").split("\n")) {
    if (!line || line.startsWith("#")) continue;
    const f = line.split("\t");
    ports.push({
      index: Number(f[0]), portId: Number(f[1]), area: Number(f[2]), kind: Number(f[3]),
      zone: Number(f[4]), m2: Number(f[9]), name: f[24], station: f[25],
    });
  }
  return ports;
}

// The program's year (zone 0, no summer time) for several ports in one run of neapwise-predict:
// its output holds each port's lines after the port's own "#" line, in the order asked for.
const BATCH = 32;
function predictBatch(ports, opt) {
  const args = [];
  for (const p of ports) args.push("--port", String(p.portId));
  args.push("--from", `${opt.year}-01-01`, "--to", `${opt.year}-12-31`, "--zone", "0", "--summer", "off",
    "--step", "10", "--raw");
  if (opt.tables) args.push("--tables", opt.tables);
  const text = execFileSync(opt.predict, args, { encoding: "utf8", maxBuffer: Math.min(ports.length * (64 << 20), 1 << 29) });
  const outputs = [];
  let current = null;
  for (const line of text.split("\n")) {
    if (line.startsWith("# ")) {
      current = { portId: Number(line.slice(2).split("\t")[0]), events: [], samples: [] };
      outputs.push(current);
    } else if (!current) continue;
    else if (line.startsWith("S ")) current.samples.push(Number(line.slice(2)));
    else if (line.startsWith("E ")) {
      const [, minute, type, h] = line.split(" ");
      current.events.push({ minute: Number(minute), high: type === "H", level: Number(h) });
    }
  }
  if (outputs.length !== ports.length || outputs.some((o, i) => o.portId !== ports[i].portId))
    throw new Error("neapwise-predict gave other ports than asked for");
  return outputs;
}

// One port against the predictor, from the program's events and 10-minute heights.
function measure(port, predicted, opt) {
  const { events, samples } = predicted;
  const t0 = Date.UTC(opt.year, 0, 1);
  const ref = referenceFor(port.station);
  const refEvents = ref.extremes(new Date(t0 - 86400000), new Date(Date.UTC(opt.year + 1, 0, 2)))
    .map((e) => ({ minute: (e.time.getTime() - t0) / 60000, high: e.high, level: e.level }));
  const tl = ref.timeline(new Date(t0), new Date(Date.UTC(opt.year, 11, 31, 23, 50)), 600);

  const errs = { hwTime: [], lwTime: [], hwHeight: [], lwHeight: [] };
  let unmatched = 0;
  let j = 0;
  for (const e of events) {
    while (j < refEvents.length && refEvents[j].minute < e.minute - MATCH_MINUTES) j++;
    let best = null;
    for (let k = j; k < refEvents.length && refEvents[k].minute <= e.minute + MATCH_MINUTES; k++) {
      const r = refEvents[k];
      if (r.high !== e.high) continue;
      if (!best || Math.abs(r.minute - e.minute) < Math.abs(best.minute - e.minute)) best = r;
    }
    if (!best) { unmatched++; continue; }
    const dt = Math.abs(e.minute - best.minute);
    const dh = Math.abs(e.level - best.level);
    if (e.high) { errs.hwTime.push(dt); errs.hwHeight.push(dh); } else { errs.lwTime.push(dt); errs.lwHeight.push(dh); }
  }
  let ss = 0;
  const n = Math.min(samples.length, tl.length);
  for (let i = 0; i < n; i++) ss += (samples[i] - tl[i].level) ** 2;
  return {
    ...port,
    events: events.length, refEvents: refEvents.filter((e) => e.minute >= 0 && e.minute < 525600).length,
    unmatched,
    hwMedian: median(errs.hwTime), hwP95: quantile(errs.hwTime, 0.95),
    lwMedian: median(errs.lwTime), lwP95: quantile(errs.lwTime, 0.95),
    hwHeight: median(errs.hwHeight), lwHeight: median(errs.lwHeight),
    rms: Math.sqrt(ss / Math.max(1, n)),
  };
}

if (!isMainThread) {
  const { ports, opt } = workerData;
  // A batch whose run fails is taken port by port, so that the failure is the port's own.
  const one = (p, predicted) => {
    try {
      parentPort.postMessage({ ok: measure(p, predicted ?? predictBatch([p], opt)[0], opt) });
    } catch (e) {
      parentPort.postMessage({ fail: { ...p, error: String(e.message || e) } });
    }
  };
  for (let i = 0; i < ports.length; i += BATCH) {
    const batch = ports.slice(i, i + BATCH);
    let outputs = null;
    try {
      outputs = predictBatch(batch, opt);
    } catch {
      outputs = null;
    }
    batch.forEach((p, k) => one(p, outputs ? outputs[k] : null));
  }
} else {
  const opt = parseArgs(process.argv);
  let ports = readPorts(`${here}ports.tsv`).filter((p) => p.kind === 2 || !opt.standardOnly);
  if (opt.limit) ports = ports.slice(0, opt.limit);
  const started = Date.now();
  let results = [];
  const failures = [];
  const chunks = Array.from({ length: opt.jobs }, () => []);
  ports.forEach((p, i) => chunks[i % opt.jobs].push(p));
  await Promise.all(chunks.map((chunk) => new Promise((resolve, reject) => {
    const w = new Worker(new URL(import.meta.url), { workerData: { ports: chunk, opt } });
    w.on("message", (m) => {
      if (m.ok) results.push(m.ok); else failures.push(m.fail);
      if ((results.length + failures.length) % 100 === 0) {
        process.stderr.write(`  ${results.length + failures.length}/${ports.length} ports, ${((Date.now() - started) / 1000).toFixed(0)} s\n`);
      }
    });
    w.on("error", reject);
    w.on("exit", resolve);
  })));
  results.sort((a, b) => a.index - b.index);
  if (opt.json) writeFileSync(opt.json, JSON.stringify(results, null, 1));
  const all = results;
  const subordinates = all.filter((r) => r.kind === 1);
  results = all.filter((r) => r.kind === 2);

  const f1 = (x) => (Number.isFinite(x) ? x.toFixed(1) : "-");
  const f2 = (x) => (Number.isFinite(x) ? x.toFixed(2) : "-");
  const f3 = (x) => (Number.isFinite(x) ? x.toFixed(3) : "-");
  const pick = (list, key) => list.map((r) => r[key]).filter(Number.isFinite);
  const overall = {
    hwP95: median(pick(results, "hwP95")), lwP95: median(pick(results, "lwP95")),
    hwMedian: median(pick(results, "hwMedian")), rms: median(pick(results, "rms")),
    hwHeight: median(pick(results, "hwHeight")),
  };
  const folding = readFileSync(`${here}folding.txt`, "utf8").split("\n").filter((l) => l && !l.startsWith("#"));
  const out = [];
  out.push("# Accuracy of the embedded tide tables");
  out.push("");
  out.push(`The program's predictions (\`neapwise-predict\`, through \`CPrediction\` with the embedded`);
  out.push(`tables) against the full-constituent \`@neaps/tide-predictor\` for every standard port, over`);
  out.push(`${opt.year}, in UTC. A high or low water is matched to the predictor's nearest one of the same`);
  out.push(`type within ${MATCH_MINUTES} minutes; time errors are absolute, in minutes; heights in metres.`);
  out.push(`Generated by \`node tools/tidedata/report.mjs\` (see README.md); not part of CI.`);
  out.push("");
  out.push("## Summary");
  out.push("");
  out.push(`- Standard ports measured: ${results.length}${failures.length ? ` (${failures.length} failed)` : ""}`);
  out.push(`- Median over ports of the 95th-percentile high-water time error: **${f1(overall.hwP95)} min** (goal ≤ 25)`);
  out.push(`- Median over ports of the 95th-percentile low-water time error: ${f1(overall.lwP95)} min`);
  out.push(`- Median over ports of the median high-water time error: ${f1(overall.hwMedian)} min`);
  out.push(`- Median over ports of the median high-water height error: ${f3(overall.hwHeight)} m`);
  out.push(`- Median over ports of the RMS error of 10-minute heights: **${f3(overall.rms)} m** (goal ≤ 0.12)`);
  out.push(`- Folded into the daily factors and angles (companion, amplitude ratio, phase difference):`);
  for (const l of folding) out.push(`  ${l.split(/\s+/).slice(0, 4).join(" ")}`);
  out.push("");
  out.push("## By area");
  out.push("");
  out.push("| area | region | ports | HW p95 (min) | LW p95 (min) | HW median (min) | HW height (m) | RMS (m) |");
  out.push("|---|---|---:|---:|---:|---:|---:|---:|");
  for (const code of AREA_ORDER) {
    const list = results.filter((r) => r.area === code + 1);
    if (!list.length) continue;
    out.push(`| ${AREA_NAMES[code]} | ${REGION_OF_AREA(code)} | ${list.length} | ${f1(median(pick(list, "hwP95")))} | ${f1(median(pick(list, "lwP95")))} | ${f1(median(pick(list, "hwMedian")))} | ${f3(median(pick(list, "hwHeight")))} | ${f3(median(pick(list, "rms")))} |`);
  }
  out.push("");
  out.push("Per-area figures are medians over the area's standard ports.");
  if (subordinates.length) {
    out.push("");
    out.push("## By region, standard and secondary ports");
    out.push("");
    out.push("Secondary ports (NOAA subordinate stations) are compared with the predictor's own");
    out.push("subordinate curve (the reference station's tide moved by the published offsets); they are");
    out.push("not part of the goals above.");
    out.push("");
    out.push("| region | kind | ports | HW p95 (min) | LW p95 (min) | HW median (min) | HW height (m) | RMS (m) |");
    out.push("|---|---|---:|---:|---:|---:|---:|---:|");
    for (const region of ["UK and Ireland", "Europe", "US East Coast", "Australia"]) {
      for (const kind of [2, 1]) {
        const list = all.filter((r) => r.kind === kind && REGION_OF_AREA(r.area - 1) === region);
        if (!list.length) continue;
        out.push(`| ${region} | ${kind === 2 ? "standard" : "secondary"} | ${list.length} | ${f1(median(pick(list, "hwP95")))} | ${f1(median(pick(list, "lwP95")))} | ${f1(median(pick(list, "hwMedian")))} | ${f3(median(pick(list, "hwHeight")))} | ${f3(median(pick(list, "rms")))} |`);
      }
    }
  }
  out.push("");
  out.push("## The worst 20 ports");
  out.push("");
  out.push("By the 95th-percentile high-water time error. \"Unmatched\" counts the program's events with no");
  out.push("predictor event of the same type within 150 minutes (or none at all).");
  out.push("");
  out.push("| port | id | area | M2 (m) | HW p95 (min) | LW p95 (min) | HW height (m) | RMS (m) | events | unmatched |");
  out.push("|---|---:|---|---:|---:|---:|---:|---:|---:|---:|");
  const worst = results.slice().sort((a, b) => (b.hwP95 || 1e9) - (a.hwP95 || 1e9)).slice(0, 20);
  for (const r of worst) {
    out.push(`| ${r.name} | ${r.portId} | ${AREA_NAMES[r.area - 1]} | ${f2(r.m2)} | ${f1(r.hwP95)} | ${f1(r.lwP95)} | ${f3(r.hwHeight)} | ${f3(r.rms)} | ${r.events} | ${r.unmatched} |`);
  }
  out.push("");
  out.push("## The worst 20 ports by height");
  out.push("");
  out.push("| port | id | area | M2 (m) | RMS (m) | HW height (m) | HW p95 (min) |");
  out.push("|---|---:|---|---:|---:|---:|---:|");
  for (const r of results.slice().sort((a, b) => b.rms - a.rms).slice(0, 20)) {
    out.push(`| ${r.name} | ${r.portId} | ${AREA_NAMES[r.area - 1]} | ${f2(r.m2)} | ${f3(r.rms)} | ${f3(r.hwHeight)} | ${f1(r.hwP95)} |`);
  }
  const notes = `${here}report-notes.md`;
  if (existsSync(notes)) {
    out.push("");
    out.push(readFileSync(notes, "utf8").trimEnd());
  }
  if (failures.length) {
    out.push("");
    out.push("## Failures");
    out.push("");
    for (const f of failures) out.push(`- ${f.name} (${f.portId}): ${f.error}`);
  }
  writeFileSync(opt.out, out.join("\n") + "\n");
  console.log(`${all.length} ports (${results.length} standard) in ${((Date.now() - started) / 1000).toFixed(0)} s: HW p95 median ${f1(overall.hwP95)} min, RMS median ${f3(overall.rms)} m -> ${opt.out}`);
}
