// The web page's figures, as key=value lines: its transfer size gzipped
// (fonts are the system's), the time to its first picture, and the CPU share
// of headless Chromium while the demo runs at heavy load, then while a page
// that only moves one rectangle runs.
//   node bench/measure_page.mjs BUILD_WEB_DIR NODE_MODULES [SECONDS]
import { createServer } from "node:http";
import { readFile, readdir } from "node:fs/promises";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { gzipSync } from "node:zlib";
import { execFileSync } from "node:child_process";
import path from "node:path";

const [webDir, nodeModules, secondsText = "30"] = process.argv.slice(2);
const { chromium } = createRequire(path.resolve(nodeModules) + "/")("playwright-core");
const root = path.join(webDir, "page");

let transfer = 0;
for (const name of await readdir(root)) {
  transfer += gzipSync(await readFile(path.join(root, name)), { level: 9 }).length;
}
console.log(`page_transfer_gzip_kb=${(transfer / 1024).toFixed(1)}`);
console.log(`single_file_gzip_kb=${(gzipSync(await readFile(path.join(webDir, "waitline.html")), { level: 9 }).length / 1024).toFixed(1)}`);

// The least an animation costs this Chromium: a canvas of the picture's size
// on which one rectangle moves every frame, measured the same way.
const floorPage = `<!doctype html><body style="margin:0"><canvas id="c" width="1006" height="720"></canvas><script>
const g = document.getElementById("c").getContext("2d");
let x = 0;
function frame() {
  g.fillStyle = "#c0c0c0"; g.fillRect(x, 300, 20, 14);
  x = (x + 3) % 980;
  g.fillStyle = "#e03030"; g.fillRect(x, 300, 20, 14);
  requestAnimationFrame(frame);
}
g.fillStyle = "#c0c0c0"; g.fillRect(0, 0, 1006, 720);
requestAnimationFrame(frame);
</script>`;

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm" };
const server = createServer(async (request, response) => {
  const name = new URL(request.url, "http://x").pathname.replace(/^\/$/, "/index.html");
  if (name === "/floor.html") {
    response.writeHead(200, { "Content-Type": "text/html" }).end(floorPage);
    return;
  }
  try {
    const body = await readFile(path.join(root, path.basename(name)));
    response.writeHead(200, { "Content-Type": types[path.extname(name)] ?? "application/octet-stream" }).end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const url = `http://127.0.0.1:${server.address().port}/`;

// The heavy load, as the tests and the desktop measurement apply it.
// Within ApplyHeavyLoad alone: the file holds other loads too.
const loadFile = readFileSync(new URL("../tests/support/load.h", import.meta.url), "utf8");
const load = loadFile.slice(loadFile.indexOf("void ApplyHeavyLoad("), loadFile.indexOf("\n}", loadFile.indexOf("void ApplyHeavyLoad(")));
const heavy = (box) => new RegExp(`ComboId::${box}, std::string_view\\("([0-9.]+)"\\)`).exec(load)[1];
const address = `?arrival-rate=${heavy("ArrivalCombo")}&service-rate=${heavy("ServeRateCombo")}` +
  `&queue-length=${heavy("QueueCombo")}&servers=${heavy("ServerCombo")}&seed=1`;

// CPU seconds of each kind of Chromium process under the browser: the
// renderer runs the page and draws it, the GPU process composites the frames
// (in software here, as an X server would for the desktop window).
function cpuSecondsByKind(browserPid) {
  const hz = Number(execFileSync("getconf", ["CLK_TCK"]).toString());
  const rows = execFileSync("ps", ["-e", "-o", "pid=,ppid=,args="]).toString().trim().split("\n");
  const processes = rows.map((row) => {
    const [pid, ppid, ...args] = row.trim().split(/\s+/);
    return { pid: Number(pid), ppid: Number(ppid), kind: /--type=([a-z-]+)/.exec(args.join(" "))?.[1] ?? "browser" };
  });
  const inTree = new Set([browserPid]);
  for (let grown = true; grown;) {
    grown = false;
    for (const p of processes) {
      if (!inTree.has(p.pid) && inTree.has(p.ppid)) {
        inTree.add(p.pid);
        grown = true;
      }
    }
  }
  const seconds = {};
  for (const p of processes.filter((q) => inTree.has(q.pid))) {
    try {
      const fields = readFileSync(`/proc/${p.pid}/stat`, "utf8").split(") ")[1].split(" ");
      seconds[p.kind] = (seconds[p.kind] ?? 0) + (Number(fields[11]) + Number(fields[12])) / hz;
    } catch { /* gone */ }
  }
  return seconds;
}

// The browser is found by a flag of its own, which Chromium ignores.
const marker = `--waitline-measure=${process.pid}`;
const browser = await chromium.launch({
  executablePath: "/usr/bin/chromium",
  args: [marker, "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
});
const page = await browser.newPage({ viewport: { width: 1100, height: 900 } });
const firsts = [];
for (let k = 0; k < 3; ++k) {
  await page.goto(url + address);
  await page.waitForSelector("body[data-ready=true]");
  firsts.push(Number(await page.evaluate(() => document.body.dataset.readyAt)));
}
firsts.sort((a, b) => a - b);
console.log(`first_picture_ms=${firsts[1]}`);

const pid = Number(execFileSync("pgrep", ["-o", "-f", "--", marker]).toString().trim());
// Prints the CPU shares of the renderer, the compositor and all of Chromium,
// while the page shown runs for the given seconds.
async function measureCpu(name) {
  await page.waitForTimeout(3000);
  const before = cpuSecondsByKind(pid);
  const wall0 = Date.now();
  await page.waitForTimeout(Number(secondsText) * 1000);
  const after = cpuSecondsByKind(pid);
  const wall = (Date.now() - wall0) / 1000;
  const share = (kind) => (100 * ((after[kind] ?? 0) - (before[kind] ?? 0))) / wall;
  const total = Object.keys(after).reduce((sum, kind) => sum + share(kind), 0);
  console.log(`${name}_renderer_cpu_percent=${share("renderer").toFixed(2)}`);
  console.log(`${name}_compositor_cpu_percent=${share("gpu-process").toFixed(2)}`);
  console.log(`${name}_total_cpu_percent=${total.toFixed(2)}`);
}
await page.click("#StartButton");
await measureCpu("page");
await page.goto(url + "floor.html");
await measureCpu("floor");
await browser.close();
server.close();
