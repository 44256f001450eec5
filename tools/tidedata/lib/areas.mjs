// Which area of the ports tree a station belongs to, decided from its coordinates first, with the
// source's country and region only as hints. An area is given by its summer-time rule code; the
// port record stores rule code + 1.

export const AREA_NAMES = {
  0: "England", 1: "Scotland", 2: "Ireland", 3: "Wales", 4: "France", 5: "Belgium",
  6: "Netherlands", 27: "Denmark", 33: "Norway", 28: "Germany", 30: "Spain", 31: "Portugal",
  32: "Gibraltar", 29: "Canada", 25: "Long Island - Atlantic", 26: "Long Island - Sound",
  24: "New York Bay", 23: "Chesapeake Bay", 22: "Atlantic Coast", 21: "Florida Strait",
  19: "Gulf of Mexico", 15: "Cuba", 13: "Jamaica", 11: "Dominican Republic", 12: "Haiti",
  8: "Windward Islands", 9: "Leeward Islands", 14: "Cayman Islands", 16: "Turks Islands",
  17: "Bahama Islands", 18: "Bermuda", 10: "Puerto Rico",
  34: "Australia (NSW, Vic, SA)", 35: "Australia (Qld, WA, NT)", 40: "Tasmania",
};

// Order of the areas in the table (the ports tree's node order).
export const AREA_ORDER = [0, 1, 2, 3, 4, 27, 33, 28, 5, 6, 30, 31, 32, 29, 25, 26, 24, 23, 22, 21,
  19, 15, 13, 11, 12, 8, 9, 14, 16, 17, 18, 10, 34, 35, 40];

export const REGION_OF_AREA = (code) => {
  if (code <= 3) return "UK and Ireland";
  if ([4, 5, 6, 27, 28, 30, 31, 32, 33].includes(code)) return "Europe";
  if (code >= 34) return "Australia";
  return "US East Coast";
};

const inBox = (lat, lon, [minLon, minLat, maxLon, maxLat]) =>
  lon >= minLon && lon <= maxLon && lat >= minLat && lat <= maxLat;

// Linear interpolation through a polyline of [lon, lat] points (lon increasing).
function lineLat(points, lon) {
  if (lon <= points[0][0]) return points[0][1];
  for (let i = 1; i < points.length; i++) {
    const [x0, y0] = points[i - 1];
    const [x1, y1] = points[i];
    if (lon <= x1) return y0 + ((lon - x0) / (x1 - x0)) * (y1 - y0);
  }
  return points[points.length - 1][1];
}

// --- Britain and Ireland -------------------------------------------------------------------

function isIrelandIsland(lat, lon) {
  if (lat < 51.3 || lat > 55.45 || lon > -5.4 || lon < -10.7) return false;
  if (lon > -6.0 && lat > 55.25) return false; // Mull of Kintyre
  return true;
}

function britainByCoordinates(lat, lon) {
  if (isIrelandIsland(lat, lon)) return 2;
  // Scotland: north of the Tweed on the east, of the Solway on the west.
  if (lon > -2.2 && lat > 55.8) return 1;
  if (lon <= -2.2 && lon > -3.05 && lat > 55.05) return 1;
  if (lon <= -3.05 && lat > lineLat([[-5.2, 54.6], [-3.75, 54.75], [-3.05, 54.97]], lon)) {
    // The Isle of Man lies south of the Galloway coast.
    if (lat < 54.45 && lon > -4.9 && lon < -4.2) return 0;
    return 1;
  }
  // Wales: between the Dee and the Severn, west of the border.
  if (lat > 51.35 && lat < 53.45 && lon < -2.65) {
    if (lat > 53.25 && lon > -3.1) return 0; // Wirral and Liverpool
    if (lat < 51.62 && lon > -2.95) return lon < -2.68 && lat > 51.55 ? 3 : 0;
    return 3;
  }
  return 0;
}

function britain(s) {
  const { latitude: lat, longitude: lon } = s;
  const byCoords = britainByCoordinates(lat, lon);
  if (s.country_code === "IE") return 2;
  const hint = { England: 0, Scotland: 1, Wales: 3, "Northern Ireland": 2 }[s.region];
  // A region hint is trusted only where the coordinates allow it.
  if (hint !== undefined) {
    if (hint === 2 && isIrelandIsland(lat, lon)) return 2;
    if (hint === 1 && lat > 54.6 && !isIrelandIsland(lat, lon)) return 1;
    if (hint === 3 && lat > 51.35 && lat < 53.45 && lon < -2.65) return 3;
    if (hint === 0 && !(lat > 55.85) && !isIrelandIsland(lat, lon)) return 0;
  }
  return byCoords;
}

// --- Europe ---------------------------------------------------------------------------------

const EUROPE_COUNTRY = { FR: 4, BE: 5, NL: 6, DK: 27, FO: 27, DE: 28, ES: 30, PT: 31, GI: 32,
  NO: 33, SJ: 33 };

const COUNTRY_BOXES = {
  FR: [[-5.3, 41.3, 9.7, 51.15]],
  BE: [[2.5, 51.0, 4.5, 51.5]],
  NL: [[3.3, 51.2, 7.3, 53.75]],
  DE: [[5.8, 53.0, 14.5, 55.1]],
  DK: [[8.0, 54.5, 15.3, 57.8]],
  FO: [[-7.8, 61.3, -6.2, 62.5]],
  NO: [[4.5, 57.9, 31.5, 71.5], [10, 76, 35, 81]],
  SJ: [[10, 76, 35, 81]],
  ES: [[-9.5, 35.2, 4.5, 43.9], [-18.5, 27.5, -13, 29.5]],
  PT: [[-9.6, 36.9, -7.3, 42.2], [-31.5, 36.8, -24.8, 40], [-17.5, 32.3, -16, 33.2]],
  GI: [[-5.4, 36.0, -5.3, 36.2]],
};

function europe(s) {
  const { latitude: lat, longitude: lon } = s;
  const rc = (s.region_code || "").slice(0, 2);
  let cc = EUROPE_COUNTRY[rc] !== undefined ? rc : s.country_code;
  if (s.region === "Flanders" || s.region === "Wallonia") cc = "BE";
  // The Scheldt between the border and Antwerp is Belgian, whatever the gauge's owner.
  if (lat > 51.2 && lat < 51.355 && lon > 4.2 && lon < 4.45) cc = "BE";
  if (cc === "GI" || (lat > 36.1 && lat < 36.16 && lon > -5.37 && lon < -5.33)) return 32;
  const code = EUROPE_COUNTRY[cc];
  if (code === undefined) return null;
  // The country code also covers overseas parts (Greenland) and offshore structures far out at
  // sea; only the home coasts, the Faroes, the Atlantic islands and Svalbard count.
  const boxes = COUNTRY_BOXES[cc] || [];
  if (!boxes.some((b) => inBox(lat, lon, b))) return null;
  return code;
}

// --- US East Coast, Canada and the Caribbean ------------------------------------------------

const CARIBBEAN = { CU: 15, JM: 13, DO: 11, HT: 12, KY: 14, TC: 16, BS: 17, BM: 18, PR: 10,
  VI: 9, VG: 9, AG: 9, KN: 9, MS: 9, AI: 9, GP: 9, BL: 9, MF: 9, SX: 9, CW: 9, AW: 9, BQ: 9,
  DM: 8, MQ: 8, LC: 8, VC: 8, GD: 8, BB: 8, TT: 8 };

// South of this line (from Jamaica Bay to Montauk) lies the Atlantic side of Long Island.
const LONG_ISLAND_AXIS = [[-73.82, 40.7], [-73.0, 40.82], [-72.5, 40.87], [-72.0, 41.0],
  [-71.85, 41.07]];

function unitedStates(lat, lon) {
  // Great Lakes and the St Lawrence above tide water.
  if (lat > 41.3 && lon < -76.0) return null;
  // Gulf of Mexico: the Florida west coast and everything west of it.
  if (lon < -82.0 || (lon < -81.0 && lat < 28.5 && lat >= 25.3)) {
    if (lat > 31.5) return null;
    return 19;
  }
  // Florida Strait: the Keys, Florida Bay and Biscayne Bay.
  if (lat < 25.3 && lon > -83.2 && lon < -80.0) return 21;
  if (lat < 25.98 && lon > -80.5 && lon < -80.0) return 21;
  if (lat < 25.3) return 21;
  // Chesapeake Bay, inside the capes.
  if (lat > 36.84 && lat < 39.7 && lon < -75.75 && lon > -77.6) {
    if (!(lat < 36.95 && lon > -76.05)) return 23;
  }
  // New York Bay, the Hudson and the East River.
  if (lat >= 40.35 && lat < 40.65 && lon >= -74.35 && lon <= -73.93) return 24;
  if (lat >= 40.65 && lat < 40.95 && lon >= -74.35 && lon <= -73.84) return 24;
  if (lat >= 40.95 && lat < 41.2 && lon >= -74.2 && lon <= -73.85) return 24;
  if (lat >= 41.2 && lat < 42.9 && lon > -74.2 && lon < -73.5) return 24;
  // Long Island: the Sound side and the Atlantic side.
  if (lon > -73.95 && lon < -71.85 && lat > 40.5 && lat < 41.45) {
    if (lat > lineLat(LONG_ISLAND_AXIS, lon)) {
      if (lon > -73.84) return 26;
    } else {
      return 25;
    }
  }
  if (lat > 24 && lat < 47.6 && lon > -82.0 && lon < -66.8) return 22;
  return null;
}

function canada(lat, lon) {
  if (lon < -72.5 || lat > 53 || lat < 43) return null;
  return 29;
}

function americas(s) {
  const { latitude: lat, longitude: lon } = s;
  const cc = s.country_code;
  if (CARIBBEAN[cc] !== undefined) return CARIBBEAN[cc];
  if (cc === "CA") return canada(lat, lon);
  if (cc === "US") return unitedStates(lat, lon);
  // A US code abroad, or no code: the coordinates decide among the US areas only when the point
  // is plainly on the US coast.
  return null;
}

// --- Australia ------------------------------------------------------------------------------

function australia(s) {
  if (s.country_code !== "AU") return null;
  const { latitude: lat, longitude: lon } = s;
  if (lat < -39.15) return 40; // Tasmania and the Bass Strait islands
  if (lon < 129.0) return 35; // Western Australia
  if (lon < 138.0) return lat > -26.0 ? 35 : 34; // Northern Territory; South Australia
  if (lon < 141.0 && lat < -26.0) return 34; // South Australia
  if (lat > -28.17 && lon < 154.0) return 35; // Queensland
  return 34; // New South Wales, Victoria, Lord Howe and Norfolk Island
}

// World boxes: [minLon, minLat, maxLon, maxLat].
const BOX_UK = [-11, 49.7, 2.0, 61.2];
const BOX_EUROPE = [-32, 27, 32, 81.5];
const BOX_AMERICAS = [-100, 9, -52, 53];
const BOX_AUSTRALIA = [110, -45, 170, -8];

// The rule code of a station's area, or null when it belongs to none.
export function areaOf(s) {
  const { latitude: lat, longitude: lon } = s;
  const uk = ["GB", "IE", "IM", "GG", "JE"];
  if (inBox(lat, lon, BOX_UK) && uk.includes(s.country_code)) return britain(s);
  if (inBox(lat, lon, BOX_UK) && s.country_code === "NL" && lon < 2.0 && lat > 52.5) return null;
  if (inBox(lat, lon, BOX_EUROPE)) {
    if (["GG", "JE", "IM"].includes(s.country_code)) return 0;
    return europe(s);
  }
  if (inBox(lat, lon, BOX_AMERICAS)) return americas(s);
  if (inBox(lat, lon, BOX_AUSTRALIA)) return australia(s);
  return null;
}
