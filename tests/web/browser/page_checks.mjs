// Checks of the web page in the system's Chromium, headless, driven through
// the DevTools protocol by playwright-core. Each check is a test of its own:
//   node page_checks.mjs CHECK BUILD_WEB_DIR NATIVE_BIN_DIR NODE_MODULES
import { createServer } from "node:http";
import { readFile, mkdtemp, writeFile } from "node:fs/promises";
import { existsSync, readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { execFileSync } from "node:child_process";
import { tmpdir } from "node:os";
import path from "node:path";
import assert from "node:assert/strict";

const [check, webDir, nativeBin, nodeModules] = process.argv.slice(2);
// Where the registry could not be reached, the install said so: skipped (77).
const unreachable = path.join(nodeModules, "..", "registry-unreachable.txt");
if (!existsSync(path.join(nodeModules, "playwright-core")) && existsSync(unreachable)) {
  console.log(`${check}: skipped, playwright-core could not be installed: ${readFileSync(unreachable, "utf8").trim()}`);
  process.exit(77);
}
const { chromium } = createRequire(path.resolve(nodeModules) + "/")("playwright-core");

// The flags a closed network needs: no background requests, no first-run.
const kChromiumFlags = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];
const kTypes = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm" };

// The served page, from an ephemeral port of this machine.
async function serve() {
  const root = path.join(webDir, "page");
  const server = createServer(async (request, response) => {
    const name = new URL(request.url, "http://x").pathname.replace(/^\/$/, "/index.html");
    try {
      const body = await readFile(path.join(root, path.normalize(name).replace(/^(\.\.[/\\])+/, "")));
      response.writeHead(200, { "Content-Type": kTypes[path.extname(name)] ?? "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { server, url: `http://127.0.0.1:${server.address().port}/` };
}

async function withPage(address, viewport, body, options = {}) {
  const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: kChromiumFlags });
  const { server, url } = await serve();
  const errors = [];
  try {
    const page = await browser.newPage({ viewport, deviceScaleFactor: 1 });
    page.on("pageerror", (error) => errors.push(String(error)));
    page.on("console", (message) => message.type() === "error" && errors.push(message.text()));
    if (options.fakeClock) await page.clock.install();
    await page.goto(address.startsWith("file:") ? address : url + address);
    await page.waitForSelector("body[data-ready=true]", { timeout: 20000 });
    await body(page, url);
  } finally {
    server.close();
    await browser.close();
  }
  assert.deepEqual(errors, [], "the page reported errors");
}

// What the real window's scenario runner says of a script, as parsed dumps.
function nativeDumps(script) {
  const out = execFileSync(path.join(nativeBin, "waitline-scenario"), ["-"], {
    input: script, env: { ...process.env, QT_QPA_PLATFORM: "offscreen" },
  });
  return out.toString().trim().split("\n").map((line) => JSON.parse(line));
}

const kChecks = {
  // The page loads from the server and from the one file, and shows the
  // controls with the start-up texts.
  async loads() {
    for (const address of ["", `file://${path.resolve(webDir, "waitline.html")}`]) {
      await withPage(address, { width: 1000, height: 800 }, async (page) => {
        assert.equal(await page.textContent("#StartButton"), "Go");
        assert.equal(await page.inputValue("#QueueCombo"), "3");
        assert.equal(await page.inputValue("#SourceCombo"), "Exponential");
        const painted = await page.evaluate(() => {
          const c = document.getElementById("picture");
          const data = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
          let dark = 0;
          for (let k = 0; k < data.length; k += 4) dark += data[k] < 60 && data[k + 1] < 60 ? 1 : 0;
          return dark;
        });
        assert.ok(painted > 2000, `the picture is drawn (${painted} dark pixels)`);
      });
    }
  },

  // Go makes the counts grow, and the clock keeps wall time: four simulated
  // seconds take four seconds.
  async pace() {
    await withPage("?arrival-rate=20&service-rate=5&servers=5&queue-length=10&seed=3", { width: 1000, height: 800 },
      async (page) => {
        await page.click("#StartButton");
        const clockAt = async (seconds) => {
          await page.waitForFunction((s) => /Elapsed time, seconds: 0*(\d+)/.exec(
            document.getElementById("statistics").textContent)?.[1] >= s, seconds, { polling: 10, timeout: 15000 });
          return Date.now();
        };
        const start = await clockAt(1);
        const end = await clockAt(5);
        const pace = 4000 / (end - start);
        assert.ok(pace > 0.85 && pace < 1.15, `simulated seconds per wall second: ${pace.toFixed(3)}`);
        const sourced = Number(/Packets sourced: (\d+)/.exec(await page.textContent("#statistics"))[1]);
        assert.ok(sourced > 40, `packets sourced after five seconds at rate 20: ${sourced}`);
      });
  },

  // A typed rate is read and put right as the window reads it, at its check.
  async typed() {
    const cases = [["ArrivalCombo", "99"], ["ArrivalCombo", "-3"], ["ServeRateCombo", "abc"], ["QueueCombo", "12"],
      ["ServerCombo", "4x"], ["ArrivalCombo", "1e3"]];
    await withPage("", { width: 1000, height: 800 }, async (page) => {
      for (const [box, typed] of cases) {
        const expected = nativeDumps(`type ${box} ${typed}\ncheck\ndump\n`)[0].combos[box].text;
        await page.fill(`#${box}`, typed);
        await page.waitForFunction(([b, e]) => document.getElementById(b).value === e, [box, expected],
          { timeout: 5000 }).catch(() => {});
        assert.equal(await page.inputValue(`#${box}`), expected, `${box} typed ${typed}`);
      }
    });
  },

  // The settings come from the address, go back to it, and a bad one is
  // named in a notice while its default is used.
  async address() {
    await withPage("?arrival=Regular&arrival-rate=3&servers=2&queue-length=5&seed=7", { width: 1000, height: 800 },
      async (page) => {
        assert.equal(await page.inputValue("#SourceCombo"), "Regular");
        assert.equal(await page.inputValue("#ArrivalCombo"), "3");
        assert.equal(await page.inputValue("#QueueCombo"), "5");
        assert.equal(await page.inputValue("#ServerCombo"), "2");
        assert.match(page.url(), /arrival=Regular&.*arrival-rate=3&.*servers=2&queue-length=5&seed=7/);
        await page.selectOption("#QueueComboList", "8");
        await page.waitForFunction(() => location.search.includes("queue-length=8"));
        await page.goto(page.url());
        await page.waitForSelector("body[data-ready=true]");
        assert.equal(await page.inputValue("#QueueCombo"), "8");
        assert.equal(await page.inputValue("#ServerCombo"), "2");
      });
    await withPage("?arrival-rate=abc&servers=<img src=x onerror=alert(1)>&colour=red", { width: 1000, height: 800 },
      async (page) => {
        const notices = await page.$$eval("#notices p", (ps) => ps.map((p) => p.textContent));
        assert.equal(notices.length, 3, notices.join(" | "));
        assert.match(notices[0], /arrival-rate .abc./);
        assert.match(notices[1], /servers .<img src=x onerror=alert\(1\)>./);
        assert.equal(await page.$$eval("#notices img", (images) => images.length), 0);
        assert.equal(await page.inputValue("#ArrivalCombo"), "1");
        assert.equal(await page.inputValue("#ServerCombo"), "1");
      });
  },

  // Every control and statistic has its name in the accessibility tree.
  async accessibility() {
    await withPage("", { width: 1000, height: 800 }, async (page, url) => {
      const tree = await page.accessibility.snapshot({ interestingOnly: false });
      const names = [];
      const walk = (node) => {
        if (node.name) names.push(node.name);
        (node.children ?? []).forEach(walk);
      };
      walk(tree);
      const expected = ["Go", "Pause", "Arrival Distribution", "Arrival Rate, packets per second", "Queue Length",
        "Service Time Distribution", "Number of Servers", "Service Rate, packets per second", "Queue picture",
        "Speed", "Step", "Analysis"];
      for (const name of expected) assert.ok(names.includes(name), `the tree names ${name}`);
      for (const statistic of ["Elapsed time, seconds", "Packets sourced", "Percentage Dropped", "Mean Waiting Time",
        "Standard Deviation of Waiting Time", "Mean Packets In Queue", "Packets serviced", "Packets lost"]) {
        assert.ok(names.some((n) => n.startsWith(`${statistic}: `)), `the tree names the statistic ${statistic}`);
      }
      if (process.env.WAITLINE_TREE_DUMP) await writeFile(process.env.WAITLINE_TREE_DUMP, JSON.stringify(tree, null, 1));
      // The keyboard reaches every control, and focus shows.
      const reached = new Set();
      for (let k = 0; k < 30; ++k) {
        await page.keyboard.press("Tab");
        reached.add(await page.evaluate(() => document.activeElement.id));
      }
      for (const id of ["speed", "step", "analysisToggle", "StartButton", "PauseButton", "SourceCombo", "ArrivalCombo",
        "QueueCombo", "ServiceCombo", "ServerCombo", "ServeRateCombo"]) {
        if (id !== "step") assert.ok(reached.has(id), `Tab reaches ${id}`);
      }
      await page.focus("#StartButton");
      await page.keyboard.press("Tab");
      const outline = await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle);
      assert.notEqual(outline, "none", "the focused control shows its focus");
    });
  },

  // After the same actions the page's picture is the real window's, but for
  // the controls, which are the browser's own, and font rendering.
  async picture() {
    const settings = "arrival-rate=5&service-rate=2&servers=2&queue-length=5&seed=7";
    const steps = 450;
    const dir = await mkdtemp(path.join(tmpdir(), "waitline-picture-"));
    const nativePng = path.join(dir, "native.png");
    nativeDumps(["seed 7", "type ArrivalCombo 5", "type ServeRateCombo 2", "choose QueueCombo 5",
      "choose ServerCombo 2", "click StartButton", `tick ${steps}`, "click PauseButton", "check",
      `snapshot ${nativePng}`, "dump", ""].join("\n"));
    const native = `data:image/png;base64,${(await readFile(nativePng)).toString("base64")}`;
    await withPage(`?${settings}`, { width: 824, height: 1000 }, async (page) => {
      await page.clock.pauseAt(Date.now() + 1000);
      await page.click("#StartButton");
      await page.click("#PauseButton");
      await page.focus("#step");
      for (let k = 0; k < steps; ++k) await page.keyboard.press("Enter");
      await page.clock.runFor(1200);
      const result = await page.evaluate(async (nativeUrl) => {
        const canvas = document.getElementById("picture");
        if (canvas.width !== 792) return { error: `the canvas is ${canvas.width} wide` };
        const image = new Image();
        image.src = nativeUrl;
        await image.decode();
        const other = document.createElement("canvas");
        [other.width, other.height] = [canvas.width, canvas.height];
        other.getContext("2d").drawImage(image, 0, 0);
        const a = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        const b = other.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        const controls = [...document.querySelectorAll("#stage > .control, #stage > .combo")].map((e) =>
          [e.offsetLeft - 2, e.offsetTop - 2, e.offsetWidth + 4, e.offsetHeight + 4]);
        let compared = 0;
        let differing = 0;
        for (let y = 0; y < canvas.height; ++y) {
          for (let x = 0; x < canvas.width; ++x) {
            if (controls.some(([cx, cy, cw, ch]) => x >= cx && x < cx + cw && y >= cy && y < cy + ch)) continue;
            const k = 4 * (y * canvas.width + x);
            const d = Math.max(Math.abs(a[k] - b[k]), Math.abs(a[k + 1] - b[k + 1]), Math.abs(a[k + 2] - b[k + 2]));
            compared += 1;
            differing += d > 96 ? 1 : 0;
          }
        }
        return { compared, differing, page: canvas.toDataURL() };
      }, native);
      assert.equal(result.error, undefined, result.error);
      if (process.env.WAITLINE_PICTURE_DIR) {
        await writeFile(path.join(process.env.WAITLINE_PICTURE_DIR, "page.png"),
          Buffer.from(result.page.split(",")[1], "base64"));
        await writeFile(path.join(process.env.WAITLINE_PICTURE_DIR, "native.png"), await readFile(nativePng));
      }
      const share = result.differing / result.compared;
      assert.ok(share < 0.01, `${result.differing} of ${result.compared} pixels differ (${(100 * share).toFixed(2)} %)`);
    }, { fakeClock: true });
  },
};

if (!(check in kChecks)) {
  console.error(`page_checks.mjs: no check named ${check}; the checks are ${Object.keys(kChecks).join(", ")}`);
  process.exit(2);
}
await kChecks[check]();
console.log(`${check}: passed`);
