// The browser build's pace and cost in headless Chromium (run by bench/web_game.sh): the time
// from opening the page to its first picture, the bytes downloaded, then for the main menu and
// for a game with fire held, the frames the page shows per second (the canvas's putImageData
// calls) and the CPU of every Chromium process (utime + stime from /proc) per shown frame.
//
//   node web_frames.mjs BASE_URL SECONDS
import { readFileSync, readdirSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createRequire } from "node:module";

const require = createRequire(new URL("../tests/web/", import.meta.url));
const puppeteer = require("puppeteer-core");
const [base, secondsText] = process.argv.slice(2);
const seconds = Number(secondsText || 10);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const TICKS = 100;  // USER_HZ: the unit of /proc/PID/stat times on Linux

// CPU seconds of a process and all its descendants.
function treeCpu(root) {
  const children = new Map();
  const cpu = new Map();
  for (const name of readdirSync("/proc")) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, "utf8");
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      const parent = Number(fields[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(name));
      cpu.set(Number(name), (Number(fields[11]) + Number(fields[12])) / TICKS);
    } catch { /* gone meanwhile */ }
  }
  let total = 0;
  const stack = [root];
  while (stack.length) {
    const pid = stack.pop();
    total += cpu.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

const profile = mkdtempSync(join(tmpdir(), "starmoat-bench-"));
const browser = await puppeteer.launch({
  executablePath: process.env.STARMOAT_CHROMIUM || "/usr/bin/chromium",
  headless: true, userDataDir: profile,
  args: ["--no-sandbox", "--autoplay-policy=no-user-gesture-required"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.evaluateOnNewDocument(() => {
    window.starmoatPresents = 0;
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function () {
      ++window.starmoatPresents;
      return put.apply(this, arguments);
    };
  });
  let bytes = 0;
  page.on("response", async (r) => {
    const length = Number(r.headers()["content-length"] || 0);
    bytes += length;
  });
  const opened = Date.now();
  await page.goto(base + "/play/", { waitUntil: "load" });
  await page.waitForFunction(() => window.starmoatPresents > 0, { polling: 20, timeout: 30000 });
  console.log(`first picture: ${Date.now() - opened} ms after opening the page`);
  console.log(`downloaded (as sent, compressed where the server compresses): ${(bytes / 1048576).toFixed(2)} MB`);
  await sleep(6000);  // the intro, then the menu

  const pid = browser.process().pid;
  async function measure(scene) {
    const frames0 = await page.evaluate(() => window.starmoatPresents);
    const cpu0 = treeCpu(pid);
    await sleep(seconds * 1000);
    const frames = (await page.evaluate(() => window.starmoatPresents)) - frames0;
    const cpu = treeCpu(pid) - cpu0;
    console.log(`${scene}: ${(frames / seconds).toFixed(1)} frames/s shown, CPU ${(cpu / seconds * 100).toFixed(1)} % ` +
                `of a core, ${frames ? (cpu / frames * 1000).toFixed(2) : "-"} ms CPU per shown frame`);
  }
  await page.focus("#canvas");
  await measure("main menu");
  await page.keyboard.press("ArrowDown");
  await page.keyboard.press("Enter");
  await sleep(1500);
  await page.keyboard.down("Control");
  await measure("play, fire held");
  await page.keyboard.up("Control");
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
