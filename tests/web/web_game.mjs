// The browser build in headless Chromium against a real starmoat-scores serving it at /play/.
// Three visits of the page in one browser profile (so one IndexedDB):
//   1. the page loads, the intro gives way to the main menu (compared with the native build's
//      menu); Down and Enter start a game whose picture keeps changing; Alt+Enter takes it to
//      full screen, where the boss key blanks the page and pauses the game until the next key;
//      Esc and Yes end it and the menu comes back; Alt+Enter and Esc enter and leave full
//      screen on the menu, which keeps taking keys; on the options page Up reaches the Sound
//      and Music rows and Enter turns both off, and "Display" enters full screen; the page
//      writes the settings back to IndexedDB, full screen as the desktop game writes it;
//   2. after a reload the options page shows them still off; a settings file whose table any
//      score enters, full screen, is then put in the page's settings folder;
//   3. after another reload the page is full screen from the first key; a game quit at once
//      enters the table: the name is typed, the
//      result is sent, the high-score page follows, and the server holds the row, verified by
//      the replay the page uploaded.
//
//   node web_game.mjs BASE_URL NATIVE_MENU.rgb OUT_DIR
//
// NATIVE_MENU.rgb: the native game's main menu as 800 x 600 raw RGB bytes. Screenshots go to
// OUT_DIR. Every wait is a bounded poll for something seen (a picture, a counter, a row); exit
// status 0 only when every step held.
import { readFileSync, writeFileSync, mkdtempSync, rmSync } from "node:fs";
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
// Two pictures of one still page (the same screen drawn twice in one browser) differ in no
// more pixels than this; a page that changed (a moved highlight, "On" become "Off": about 200
// pixels) in at least CHANGED.
const SAME = 10;
const CHANGED = 60;
const PLAYER = "WEBTESTER";
const COUNTRY = "Webland";

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

// The number of pixels that differ between two RGB pictures of the canvas.
function differing(a, b) {
  if (a.length !== W * H * 3 || b.length !== W * H * 3) fail("a picture is not 800 x 600");
  let n = 0;
  for (let i = 0; i < a.length; i += 3) {
    if (Math.abs(a[i] - b[i]) > CHANNEL_TOLERANCE || Math.abs(a[i + 1] - b[i + 1]) > CHANNEL_TOLERANCE ||
        Math.abs(a[i + 2] - b[i + 2]) > CHANNEL_TOLERANCE) {
      ++n;
    }
  }
  return n;
}
// Their share of the picture.
const difference = (a, b) => differing(a, b) / (W * H);

function lit(rgb) {
  for (let i = 0; i < rgb.length; ++i) if (rgb[i] > 16) return true;
  return false;
}

// Pixels in the rectangle x, y, w, h that pass test(r, g, b).
function countPixels(rgb, x, y, w, h, test) {
  let n = 0;
  for (let row = y; row < y + h; ++row) {
    for (let col = x; col < x + w; ++col) {
      const i = (row * W + col) * 3;
      if (test(rgb[i], rgb[i + 1], rgb[i + 2])) ++n;
    }
  }
  return n;
}
// The dialogs' darker green text (228822) and the pages' bright green labels (00FF00).
const darkGreen = (r, g, b) => g > 110 && r < 80 && b < 80;
const brightGreen = (r, g, b) => g > 200 && r < 140 && b < 140;

// The canvas's own pixels as OUT_DIR/NAME.png.
async function shot(page, name) {
  const url = await page.evaluate(() => document.getElementById("canvas").toDataURL("image/png"));
  writeFileSync(join(outDir, name + ".png"), Buffer.from(url.slice(url.indexOf(",") + 1), "base64"));
}

// Waits (up to ms) until test(picture) holds; returns that picture.
async function waitFor(page, what, ms, test) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    const picture = await canvasRgb(page);
    if (test(picture)) return picture;
    await sleep(100);
  }
  fail(`${what}: not within ${ms / 1000} s`);
}

// Waits until the canvas shows the same picture twice 300 ms apart (a page or a frozen dialog,
// not a game or an animation); returns it.
async function waitStill(page, what, ms = 15000) {
  let last = await canvasRgb(page);
  return waitFor(page, what + " (a still picture)", ms, (p) => {
    const still = differing(p, last) <= SAME;
    last = p;
    return still;
  });
}

// Esc during play asks whether to quit, and the game stands still behind the question; during
// the level's opening label (two seconds, longer on a slow start) Esc does nothing, so it is
// pressed again until the picture stands still. Returns the question's picture.
async function askToQuit(page) {
  for (let tries = 0; tries < 10; ++tries) {
    await key(page, "Escape", 0);
    const question = await waitStill(page, "the quit question", 2500).catch(() => null);
    if (question) return question;
  }
  fail("Esc during the game brought no quit question");
}

// Held for a few frames, as a player's key is: pages that poll the keyboard see it down.
async function key(page, name, pause = 300) {
  await page.keyboard.press(name, { delay: 60 });
  await sleep(pause);
}

// Loads the page and waits for the main menu after the intro; logs how close it came to the
// native one.
async function openToMenu(page, label) {
  const started = Date.now();
  await page.goto(base + "/play/", { waitUntil: "load" });
  await waitFor(page, `${label}: a first picture`, 30000, lit);
  console.log(`${label}: first picture ${Date.now() - started} ms after opening the page`);
  let best = 1;
  await waitFor(page, `${label}: the main menu like the native one`, 30000, (p) => {
    best = Math.min(best, difference(p, nativeMenu));
    return best <= MENU_MATCH;
  }).catch((e) => fail(`${e.message} (closest: ${(best * 100).toFixed(3)} % of the pixels differ)`));
  const shown = Date.now() - started;
  // The intro's last frames come close too: the menu is the still picture after them.
  const menu = await waitStill(page, `${label}: the main menu`);
  const apart = differing(menu, nativeMenu);
  if (apart / (W * H) > MENU_MATCH) fail(`${label}: the main menu differs from the native one in ${apart} pixels`);
  console.log(`${label}: main menu ${shown} ms after opening the page; ${apart} of its ` +
              `${W * H} pixels differ from the native menu (by more than ${CHANNEL_TOLERANCE} in a channel)`);
  await page.focus("#canvas");
}

// Config.cfg as the page has written it to IndexedDB (Emscripten's IDBFS keeps each file of
// the mounted folder /save as a record of that name), or null while there is none.
function storedConfig(page) {
  return page.evaluate(() => new Promise((resolve) => {
    const open = indexedDB.open("/save");
    open.onerror = () => resolve(null);
    open.onsuccess = () => {
      const db = open.result;
      try {
        const get = db.transaction("FILE_DATA").objectStore("FILE_DATA").get("/save/Config.cfg");
        get.onsuccess = () => resolve(get.result ? Array.from(get.result.contents) : null);
        get.onerror = () => resolve(null);
      } catch (e) {
        resolve(null);  // no files stored yet
      } finally {
        db.close();
      }
    };
  }));
}

// Waits until the Config.cfg in IndexedDB passes test(bytes).
async function waitStored(page, what, test) {
  const end = Date.now() + 15000;
  while (Date.now() < end) {
    const bytes = await storedConfig(page);
    if (bytes && test(bytes)) return;
    await sleep(100);
  }
  fail(`${what}: not in the Config.cfg kept in IndexedDB (it holds ${JSON.stringify(await storedConfig(page))})`);
}

// The settings file the world-score test starts from (as tests/e2e/world_score.sh writes it,
// but full screen): music and sound off, boss key F12, the country, ten entries of -1 so that
// any finished game enters the table. Text is a length byte and each byte's complement.
function configWithOpenTable(country) {
  const bytes = [0, 0, 0, 123];
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

async function scores() {
  const reply = await fetch(base + "/api/scores?limit=10");
  if (!reply.ok) fail(`/api/scores answered ${reply.status}`);
  return reply.json();
}

// Waits (up to ms) until fn, run in the page, returns something true; returns it.
async function waitInPage(page, what, ms, fn) {
  const end = Date.now() + ms;
  while (Date.now() < end) {
    const result = await page.evaluate(fn);
    if (result) return result;
    await sleep(100);
  }
  fail(`${what}: not within ${ms / 1000} s`);
}

const fullScreenIs = (page, full, what) => waitInPage(page, what, 10000, full
  ? () => document.fullscreenElement !== null && document.fullscreenElement.id === "screen"
  : () => document.fullscreenElement === null);

// Alt+Enter as a player presses it: Alt held, Enter pressed and released.
async function altEnter(page) {
  await page.keyboard.down("Alt");
  await page.keyboard.press("Enter", { delay: 60 });
  await page.keyboard.up("Alt");
  await sleep(400);  // the game's own wait around Alt keys
}

// In full screen the canvas is the largest 4:3 picture the screen holds, centred.
async function checkScaledCanvas(page) {
  const box = await page.evaluate(() => {
    const r = document.getElementById("canvas").getBoundingClientRect();
    return { x: r.x, y: r.y, w: r.width, h: r.height, sw: window.innerWidth, sh: window.innerHeight };
  });
  const fits = Math.abs(box.w * 3 - box.h * 4) <= 4 && box.w <= box.sw + 0.5 && box.h <= box.sh + 0.5 &&
               (Math.abs(box.w - box.sw) <= 1 || Math.abs(box.h - box.sh) <= 1) &&
               Math.abs(box.x * 2 + box.w - box.sw) <= 2 && Math.abs(box.y * 2 + box.h - box.sh) <= 2;
  if (!fits) fail(`the canvas does not fill the full screen keeping its shape: ${JSON.stringify(box)}`);
  return box;
}

// From the main menu with "Exit" current (as after the intro): the options page.
async function openOptions(page) {
  await key(page, "ArrowDown");  // wraps round to "New game"
  await key(page, "ArrowDown");  // "Options"
  await key(page, "Enter");
  return waitStill(page, "the options page");
}

// The options page opens on its last row ("Back"); the selection stops at either end, so Down
// stays there and Up climbs: three rows up is "Sound", one more "Music".
async function climbTo(page, rows) {
  for (let i = 0; i < rows; ++i) await key(page, "ArrowUp");
  return waitStill(page, `the options page, ${rows} rows up`);
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
  const noProblems = (when) => {
    if (problems.length) fail(`${when}: the page reported errors:\n` + problems.join("\n"));
  };

  // 1. The page, the intro, the main menu.
  await openToMenu(page, "first visit");
  await shot(page, "menu");

  // Down and Enter start a game: its picture replaces the menu and keeps changing. A page
  // that broke once play had begun froze within a few seconds, so it is watched for longer.
  await key(page, "ArrowDown");  // from "Exit" round to "New game"
  const menuOnNewGame = await waitStill(page, "the menu on \"New game\"");
  await key(page, "Enter", 0);
  let seen = await waitFor(page, "a game after Enter on \"New game\"", 10000,
                           (p) => difference(p, menuOnNewGame) > 0.05);
  for (let i = 0; i < 5; ++i) {
    const before = seen;
    seen = await waitFor(page, `the game's picture going on (${i + 1} s in)`, 5000,
                         (p) => differing(p, before) >= CHANGED);
    await sleep(1000);
  }
  await shot(page, "play");
  noProblems("while playing");

  // The boss key in full screen: the page leaves full screen and shows nothing, and the game
  // pauses; the next key (P, which would resume a paused game) only shows it again, paused and
  // full screen again. P then resumes it.
  await altEnter(page);
  await fullScreenIs(page, true, "full screen during the game");
  await key(page, "F12", 0);
  await waitInPage(page, "the page blanked by the boss key", 5000, () =>
    getComputedStyle(document.getElementById("canvas")).visibility === "hidden" &&
    getComputedStyle(document.getElementById("help")).visibility === "hidden" &&
    document.title.replace(/[\s\u200b]/g, "") === "" && document.fullscreenElement === null);
  await page.screenshot({ path: join(outDir, "boss-key-page.png") });
  const hidden = await waitStill(page, "the game stopped behind the blank page");
  await sleep(1000);
  if (differing(await canvasRgb(page), hidden) > SAME) fail("the game moved behind the blank page");
  await key(page, "P");
  await waitInPage(page, "the game shown again after a key", 5000, () =>
    getComputedStyle(document.getElementById("canvas")).visibility === "visible" &&
    document.title === "Starmoat");
  await fullScreenIs(page, true, "full screen again after the boss key");
  const paused = await waitStill(page, "the game paused after the boss key");
  await sleep(1000);
  if (differing(await canvasRgb(page), paused) > SAME) fail("the game went on after the key that showed it");
  await shot(page, "boss-key-paused");
  await key(page, "P", 0);
  await waitFor(page, "the game going on after P", 5000, (p) => differing(p, paused) >= CHANGED);
  await altEnter(page);
  await fullScreenIs(page, false, "a window after Alt+Enter during the game");
  noProblems("around the boss key");

  // Esc asks whether to quit (the game stands still behind the question); Left is "Yes", and
  // Enter ends the game: "Game Over", then the menu as it was left.
  const question = await askToQuit(page);
  await shot(page, "quit-question");
  if (countPixels(question, 250, 230, 300, 140, darkGreen) < 300) fail("no quit question after Esc");
  await key(page, "ArrowLeft");
  await key(page, "Enter");
  await waitFor(page, "the main menu after the game", 15000,
                (p) => differing(p, menuOnNewGame) <= SAME);

  // Full screen: Alt+Enter enters the browser's, the canvas scaled to fill the screen, and
  // the game keeps it in its settings as the desktop game does (the first byte 0); keys still
  // reach the game, and Alt+Enter is not one of them. Leaving it the browser's way brings
  // the game back to a window (the first byte 1).
  await altEnter(page);
  await fullScreenIs(page, true, "full screen after Alt+Enter");
  const box = await checkScaledCanvas(page);
  await waitStored(page, "full screen after Alt+Enter", (bytes) => bytes[0] === 0);
  if (differing(await waitStill(page, "the menu in full screen"), menuOnNewGame) > SAME) {
    fail("the menu changed on Alt+Enter");
  }
  await page.screenshot({ path: join(outDir, "fullscreen-page.png") });
  await key(page, "ArrowDown");
  const onOptions = await waitStill(page, "Down on the menu in full screen");
  if (differing(onOptions, menuOnNewGame) < CHANGED) fail("Down did not reach the game in full screen");
  console.log(`full screen: the canvas shown at ${box.w} x ${box.h} on a ${box.sw} x ${box.sh} screen`);
  await key(page, "ArrowUp");
  // Esc is the browser's own key out of full screen, which headless Chromium leaves to the
  // window it does not have: the page leaving full screen itself stands in for it.
  await page.evaluate(() => document.exitFullscreen());
  await fullScreenIs(page, false, "a window after leaving full screen");
  await waitStored(page, "a window after leaving full screen", (bytes) => bytes[0] === 1);
  if (differing(await waitStill(page, "the menu after leaving full screen"), menuOnNewGame) > SAME) {
    fail("the menu changed on leaving full screen");
  }
  noProblems("in full screen");

  // 2. Options: Sound and Music off, kept in IndexedDB.
  await key(page, "ArrowUp");  // back to "Exit", where openOptions starts
  const optionsOnBack = await openOptions(page);
  await key(page, "ArrowDown");
  if (differing(await waitStill(page, "Down on the last row"), optionsOnBack) > SAME) {
    fail("Down moved the selection past the options page's last row");
  }
  const onSound = await climbTo(page, 3);
  await shot(page, "options-on-sound");
  if (differing(onSound, optionsOnBack) < CHANGED) fail("Up did not move the options page's selection");
  await key(page, "Enter");
  const soundOff = await waitStill(page, "Sound switched");
  await shot(page, "options-sound-off");
  if (differing(soundOff, onSound) < CHANGED) fail("Enter on \"Sound\" changed nothing");
  await key(page, "ArrowUp");
  await key(page, "Enter");
  const bothOff = await waitStill(page, "Music switched");
  await shot(page, "options-changed");
  // Window, Music, Sound are its first three bytes.
  await waitStored(page, "Music and Sound off", (bytes) => bytes[1] === 0 && bytes[2] === 0);
  noProblems("on the options page");

  // "Display" on the options page asks the browser for full screen from the game's own turn
  // (the Enter just pressed lets it); Alt+Enter leaves it, and the page shows "Window" again.
  const onDisplay = await climbTo(page, 1);
  await key(page, "Enter");
  await fullScreenIs(page, true, "full screen after Enter on \"Display\"");
  await waitStored(page, "full screen from the options page", (bytes) => bytes[0] === 0);
  const displayFull = await waitStill(page, "the options page in full screen");
  if (differing(displayFull, onDisplay) < CHANGED) fail("\"Display\" still shows \"Window\" in full screen");
  await shot(page, "options-fullscreen");
  await altEnter(page);
  await fullScreenIs(page, false, "a window after Alt+Enter on the options page");
  await waitStored(page, "a window from the options page", (bytes) => bytes[0] === 1);
  if (differing(await waitStill(page, "the options page in a window"), onDisplay) > SAME) {
    fail("the options page does not show \"Window\" after leaving full screen");
  }
  await key(page, "ArrowDown");  // back to "Music", as the second visit will see the page

  // 3. A reload keeps them: the same page, reached the same way, shows the same values.
  await openToMenu(page, "second visit");
  await openOptions(page);
  await climbTo(page, 4);
  const kept = await canvasRgb(page);
  await shot(page, "options-after-reload");
  const keptDifference = differing(kept, bothOff);
  if (keptDifference > SAME) {
    fail(`the options changed before the reload are not shown after it (${keptDifference} pixels differ)`);
  }
  console.log("second visit: the options page shows Sound and Music off as left");

  // A table any finished game enters, put where the game keeps its settings (the program
  // writes only settings it changed, so it leaves the file alone), and kept by the page.
  await key(page, "Escape");
  const planted = configWithOpenTable(COUNTRY);
  await page.evaluate((bytes) => {
    Module.FS.writeFile("/save/Config.cfg", new Uint8Array(bytes));
  }, planted);
  await waitStored(page, "the settings file with the open table",
                   (bytes) => JSON.stringify(bytes) === JSON.stringify(planted));
  noProblems("second visit");

  // 4. A game quit at once scores 0, which enters that table: name, send, high-score page.
  // The settings start full screen, which a browser grants only after a key or click: the
  // page is full screen once the first key is pressed, and the game takes that key too.
  // (Puppeteer's evaluations in the page count as such a gesture, so whether the page asked
  // at start-up or at the key is not seen here.)
  await openToMenu(page, "third visit");
  await key(page, "ArrowDown");
  await fullScreenIs(page, true, "full screen at the first key, as the settings say");
  await key(page, "Enter", 0);
  await waitFor(page, "a game", 10000, (p) => difference(p, nativeMenu) > 0.05);
  await askToQuit(page);
  await key(page, "ArrowLeft");
  await key(page, "Enter");
  const entry = await waitFor(page, "the name entry after the game", 15000,
                              (p) => countPixels(p, 240, 230, 350, 50, darkGreen) > 500);
  for (const letter of PLAYER) await key(page, letter, 100);
  await shot(page, "name-entry");
  await key(page, "ArrowLeft");  // "OK"
  await key(page, "Enter");
  await waitFor(page, "the \"Send the result\" question", 10000,
                (p) => differing(p, entry) >= CHANGED && countPixels(p, 210, 250, 380, 60, darkGreen) > 500);
  await shot(page, "send-question");
  await key(page, "ArrowLeft");  // "Yes"
  const sent = Date.now();
  await key(page, "Enter", 0);
  await waitFor(page, "the high-score page after sending", 15000,
                (p) => countPixels(p, 240, 120, 500, 60, brightGreen) > 200);
  console.log(`third visit: the result was sent and the high-score page shown ${Date.now() - sent} ms after Enter`);
  await shot(page, "sent");

  let row;
  const end = Date.now() + 15000;
  while (Date.now() < end) {
    const table = await scores();
    // The name box writes names as names are written: "Webtester".
    row = table.scores.find((r) => r.name.toUpperCase() === PLAYER);
    if (row && row.verified) break;
    await sleep(200);
  }
  if (!row) fail(`the row of ${PLAYER} is not in /api/scores: ${JSON.stringify(await scores())}`);
  if (!row.verified) fail(`the row of ${PLAYER} was not verified by its replay: ${JSON.stringify(row)}`);
  if (row.country !== COUNTRY || row.score !== 0) fail(`the row is not the game's: ${JSON.stringify(row)}`);
  console.log(`third visit: /api/scores holds ${JSON.stringify(row)}`);
  noProblems("third visit");
  console.log("PASS");
} catch (error) {
  console.error("FAIL: " + error.message);
  status = 1;
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
process.exit(status);
