// The browser build in headless Chromium against a real starmoat-scores serving it at /play/:
// the page loads, the intro gives way to the main menu (compared with the native build's
// menu), and Down and Enter start a game.
//
//   node web_game.mjs BASE_URL NATIVE_MENU.rgb OUT_DIR
//
// NATIVE_MENU.rgb: the native game's main menu as 800 x 600 raw RGB bytes. Screenshots go to
// OUT_DIR (menu.png, options.png, play.png, sent.png). Exit status 0 only when every step held.
import { readFileSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer from "puppeteer-core";

const [base, nativeMenuFile, outDir] = process.argv.slice(2);
if (!base || !nativeMenuFile || !outDir) {
  console.error("usage: node web_game.mjs BASE_URL NATIVE_MENU.rgb OUT_DIR");
  process.exit(2);
}
const nativeMenu = readFileSync(nativeMenuFile);
const W = 800, H = 600;
// Two pixels differ when a channel differs by more than this (font edges, rounding).
const CHANNEL_TOLERANCE = 24;
// The intro's end is the menu matching the native one this closely.
const MENU_MATCH = 0.02;

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
function fail(message) {
  throw new Error(message);
}

// The canvas as RGB bytes, read in the page.
async function canvasRgb(page) {
  const base64 = await page.evaluate(() => {
    const c = document.getElementById("canvas");
    const data = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    const rgb = new Uint8Array((data.length / 4) * 3);
    for (let i = 0, j = 0; i < data.length; i += 4) {
      rgb[j++] = data[i]; rgb[j++] = data[i + 1]; rgb[j++] = data[i + 2];
    }
    let text = "";
    for (let i = 0; i < rgb.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
    }
    return btoa(text);
  });
  return Buffer.from(base64, "base64");
}

// The share of pixels that differ between two RGB pictures of the canvas.
function difference(a, b) {
  if (a.length !== W * H * 3 || b.length !== W * H * 3) fail("a picture is not 800 x 600");
  let differing = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (Math.abs(a[i] - b[i]) > CHANNEL_TOLERANCE || Math.abs(a[i + 1] - b[i + 1]) > CHANNEL_TOLERANCE ||
        Math.abs(a[i + 2] - b[i + 2]) > CHANNEL_TOLERANCE) {
      ++differing;
    }
  }
  return differing / (W * H);
}

function lit(rgb) {
  for (let i = 0; i < rgb.length; ++i) if (rgb[i] > 16) return true;
  return false;
}

async function shot(page, name) {
  const canvas = await page.$("#canvas");
  await canvas.screenshot({ path: join(outDir, name + ".png") });
}

// Waits (up to ms) until test(picture) holds; returns the last picture.
async function waitFor(page, what, ms, test) {
  const end = Date.now() + ms;
  let picture;
  while (Date.now() < end) {
    picture = await canvasRgb(page);
    if (test(picture)) return picture;
    await sleep(100);
  }
  fail(`${what}: not within ${ms / 1000} s`);
}

// Held for a few frames, as a player's key is: pages that poll the keyboard see it down.
async function key(page, name, pause = 300) {
  await page.keyboard.press(name, { delay: 60 });
  await sleep(pause);
}

// Loads the page and waits for the main menu after the intro; returns the menu's difference
// from the native one.
async function openToMenu(page, label) {
  const started = Date.now();
  await page.goto(base + "/play/", { waitUntil: "load" });
  await waitFor(page, `${label}: a first picture`, 30000, lit);
  console.log(`${label}: first picture ${Date.now() - started} ms after opening the page`);
  let best = 1;
  await waitFor(page, `${label}: the main menu like the native one (closest ${best})`, 30000, (p) => {
    best = Math.min(best, difference(p, nativeMenu));
    return best <= MENU_MATCH;
  });
  console.log(`${label}: main menu after ${Date.now() - started} ms; ` +
              `${(best * 100).toFixed(3)} % of its pixels differ from the native menu`);
  await page.focus("#canvas");
  return best;
}

// Waits until the page has written its settings folder back to IndexedDB after `before`.
async function waitSaved(page, before, what) {
  const end = Date.now() + 10000;
  while (Date.now() < end) {
    if ((await page.evaluate(() => Module.starmoatSaved || 0)) > before) return;
    await sleep(100);
  }
  fail(`${what}: the settings folder was not written back to IndexedDB`);
}

// The settings file the world-score test starts from (as tests/e2e/world_score.sh writes it):
// window on, music and sound off, boss key F12, the country, ten entries of -1 so that any
// finished game enters the table. Text is a length byte and each byte's complement.
function configWithEmptyTable(country) {
  const bytes = [1, 0, 0, 123];
  const stored = (text) => {
    bytes.push(text.length);
    for (const c of text) bytes.push(255 - c.charCodeAt(0));
  };
  stored(country);
  for (let i = 0; i < 10; ++i) {
    stored("Anonymous");
    bytes.push(255, 255, 255, 255);
  }
  return bytes;
}

const profile = mkdtempSync(join(tmpdir(), "starmoat-chromium-"));
const browser = await puppeteer.launch({
  executablePath: process.env.STARMOAT_CHROMIUM || "/usr/bin/chromium",
  headless: true,
  userDataDir: profile,  // the same IndexedDB across reloads
  args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required", "--window-size=1000,800",
         "--force-device-scale-factor=1"],
});
let status = 0;
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800, deviceScaleFactor: 1 });
  const problems = [];
  const consoleLines = [];
  page.on("pageerror", (e) => problems.push(String(e)));
  page.on("console", (m) => {
    consoleLines.push(`${m.type()}: ${m.text()}`);
    if (m.type() === "error") problems.push(m.text());
  });
  process.on("exit", (code) => {
    if (code !== 0) console.error("the page's console:\n  " + consoleLines.slice(-30).join("\n  "));
  });

  // 1. The page, the intro, the main menu.
  await openToMenu(page, "first visit");
  await shot(page, "menu");

  const menu = await canvasRgb(page);

  // 2. Down and Enter start a game: its picture replaces the menu.
  await key(page, "ArrowDown");  // from "Exit" to "New game"
  await key(page, "Enter", 1500);
  await shot(page, "play");
  if (difference(await canvasRgb(page), menu) < 0.05) fail("Enter on the main menu did not start a game");

  if (problems.length) fail("the page reported errors:\n" + problems.join("\n"));
  console.log("PASS");
} catch (error) {
  console.error("FAIL: " + error.message);
  status = 1;
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
process.exit(status);
