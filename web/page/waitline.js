// The page's script: it draws what the core says, forwards what the user does
// and keeps the wall-clock pace. The demo itself, its texts and its numbers
// are the core's, the same C++ as the desktop window's.
"use strict";

(async function startWaitline() {
  const core = await WaitlineCore();
  const text = (name, types = [], args = []) => core.ccall(name, "string", types, args);
  const parsed = (name, types = [], args = []) => JSON.parse(text(name, types, args));
  const call = (name, types = [], args = []) => core.ccall(name, "number", types, args);

  // At most this much wall time is caught up in one frame: after the tab was
  // hidden the demo goes on from where it was, not in a burst.
  const kMostCatchUpMs = 100;
  const layout = parsed("wl_layout");
  const [width, height] = layout.size;
  const explained = new Map(layout.explanations.map((row) => [row.object, row]));

  // A seed from the address is read below; without one the page picks one,
  // and writes it to the address so that copying the address shares the run.
  const seedWords = crypto.getRandomValues(new Uint32Array(2));
  const seed = ((BigInt(seedWords[0]) << 32n) | BigInt(seedWords[1])).toString();
  call("wl_start", ["string"], [seed]);
  const notices = parsed("wl_read_address", ["string"], [location.search.replace(/^\?/, "")]);
  const noticeBox = document.getElementById("notices");
  for (const notice of notices) {
    const p = document.createElement("p");
    p.textContent = notice;  // text only: nothing from the address is run
    noticeBox.append(p);
  }

  // --- The controls, where the desktop window has them ----------------------

  const stage = document.getElementById("stage");
  const fontOf = (f) => `${f.bold ? "bold " : ""}${f.size}px "${f.family}", ${
    f.family.includes("Serif") && !f.family.includes("Sans") ? '"Times New Roman", Times, serif' : "Arial, Helvetica, sans-serif"}`;
  const placeOn = (element, [x, y, w, h]) => {
    Object.assign(element.style, { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` });
  };
  const describe = (element, object) => {
    const row = explained.get(object);
    if (!row) return;
    if (row.name) element.setAttribute("aria-label", row.name);
    if (row.help) {
      element.title = row.help;
      element.setAttribute("aria-description", row.help);
    }
  };

  const buttons = layout.buttons.map((b, id) => {
    const button = document.createElement("button");
    button.type = "button";
    button.id = b.name;
    button.className = "control";
    button.style.font = fontOf(layout.buttonFont);
    placeOn(button, b.place);
    describe(button, b.name);
    button.addEventListener("click", () => act(() => call("wl_click", ["number"], [id])));
    stage.append(button);
    return button;
  });

  const combos = layout.combos.map((c, id) => {
    const choose = (entry) => act(() => call("wl_choose", ["number", "string"], [id, entry]));
    if (!c.editable) {
      const select = document.createElement("select");
      select.id = c.name;
      select.className = "control";
      select.style.font = fontOf(layout.comboFont);
      placeOn(select, c.place);
      describe(select, c.name);
      select.addEventListener("change", () => choose(select.value));
      stage.append(select);
      return { select, input: null };
    }
    // An editable box: a text field to type into, and beside it a list to
    // choose from, as the desktop window's editable combo boxes offer both.
    const box = document.createElement("div");
    box.className = "combo";
    box.style.font = fontOf(layout.comboFont);
    placeOn(box, c.place);
    const input = document.createElement("input");
    input.id = c.name;
    input.type = "text";
    input.autocomplete = "off";
    input.spellcheck = false;
    input.style.width = `${c.place[2] - 22}px`;
    describe(input, c.name);
    input.addEventListener("input", () => act(() => call("wl_type", ["number", "string"], [id, input.value])));
    const select = document.createElement("select");
    select.id = `${c.name}List`;
    const name = explained.get(c.name)?.name ?? c.name;
    select.setAttribute("aria-label", `${name}: choices`);
    select.addEventListener("change", () => {
      const entry = select.value;
      select.value = "";
      if (entry !== "") choose(entry);
    });
    box.append(input, select);
    stage.append(box);
    return { select, input };
  });

  // --- The picture -----------------------------------------------------------

  const canvas = document.getElementById("picture");
  const context = canvas.getContext("2d");
  describe(canvas, "canvas");
  canvas.setAttribute("aria-label", explained.get("canvas")?.name ?? "Queue picture");
  const rgb = ([r, g, b]) => `rgb(${r}, ${g}, ${b})`;
  const background = rgb(layout.background);
  // Halves round to the even neighbour, as everywhere in the model.
  const roundEven = (v) => {
    const r = Math.round(v);
    return Math.abs(v % 1) === 0.5 && r % 2 !== 0 ? r - 1 : r;
  };

  // An outline of the given width lies wholly inside the rectangle.
  function outline(x, y, w, h, lineWidth, colour) {
    const t = Math.min(lineWidth, w, h);
    if (t <= 0) return;
    context.fillStyle = colour;
    context.fillRect(x, y, w, t);
    context.fillRect(x, y + h - t, w, t);
    context.fillRect(x, y, t, h);
    context.fillRect(x + w - t, y, t, h);
  }

  // Level and upright lines are laid on whole pixels as the desktop draws
  // them; slanted ones are stroked, with round ends when wide.
  function line([x1, y1, x2, y2], lineWidth, colour) {
    context.fillStyle = colour;
    const cap = lineWidth > 1 ? Math.floor(lineWidth / 2) : 0;
    const across = Math.floor(lineWidth / 2);
    if (y1 === y2) {
      const left = Math.min(x1, x2) - cap;
      context.fillRect(left, y1 - across, Math.abs(x2 - x1) + 2 * cap + (lineWidth > 1 ? 0 : 1), lineWidth);
    } else if (x1 === x2) {
      const top = Math.min(y1, y2) - cap;
      context.fillRect(x1 - across, top, lineWidth, Math.abs(y2 - y1) + 2 * cap + (lineWidth > 1 ? 0 : 1));
    } else {
      context.strokeStyle = colour;
      context.lineWidth = lineWidth;
      context.lineCap = lineWidth > 1 ? "round" : "butt";
      context.beginPath();
      context.moveTo(x1 + 0.5, y1 + 0.5);
      context.lineTo(x2 + 0.5, y2 + 0.5);
      context.stroke();
    }
  }

  function label(row, caption) {
    const [x, y, w, h] = row.place;
    context.fillStyle = background;
    context.fillRect(x, y, w, h);
    if (!caption) return;
    context.save();
    context.beginPath();
    context.rect(x, y, w, h);
    context.clip();
    context.font = fontOf(row.font);
    context.fillStyle = "#000";
    context.textBaseline = "alphabetic";
    const metrics = context.measureText(caption);
    const ascent = metrics.fontBoundingBoxAscent ?? row.font.size * 0.905;
    const left = row.align === "left" ? x : row.align === "right" ? x + w - metrics.width : x + (w - metrics.width) / 2;
    context.fillText(caption, Math.round(left), y + Math.round(ascent));
    context.restore();
  }

  // Every item shown, as { layer, bounds, draw, key }: the items of a higher
  // layer cover the lower; the key changes when the item moves or looks
  // different.
  const lineBounds = ([x1, y1, x2, y2], w) =>
    [Math.min(x1, x2) - w, Math.min(y1, y2) - w, Math.abs(x2 - x1) + 2 * w + 1, Math.abs(y2 - y1) + 2 * w + 1];
  const item = (layer, bounds, draw, look) => ({ layer, bounds, draw, key: `${bounds}|${look}` });

  // Everything but the packets changes only with the state, not every frame.
  function scenery(state) {
    const items = [];
    for (const row of layout.labels) {
      const [caption, shown] = row.caption ? [row.caption, true] : state.labels[row.name];
      if (shown) items.push(item(row.layer, row.place, () => label(row, caption), caption));
    }
    for (const row of layout.lines) {
      const points = row.name === "Line12" ? [...row.line.slice(0, 3), state.arrivalEnd] : row.line;
      items.push(item(row.layer, lineBounds(points, row.width), () => line(points, row.width, rgb(row.colour)), points));
    }
    const fifo = layout.outline;
    const fifoRect = [fifo.rect[0], state.fifo[0], fifo.rect[2], state.fifo[1]].map(roundEven);
    items.push(item(fifo.layer, fifoRect, () => outline(...fifoRect, fifo.width, rgb(fifo.colour)), ""));
    layout.boxes.forEach((box, j) => {
      const rect = box.rect.map(roundEven);
      if (state.boxes[j]) items.push(item(box.layer, rect, () => outline(...rect, box.width, "#000"), ""));
    });
    layout.serverLines.forEach((row, k) => {
      if (state.servers[row.server][k % state.servers[row.server].length]) {
        items.push(item(row.layer, lineBounds(row.line, row.width), () => line(row.line, row.width, "#000"), ""));
      }
    });
    return items.sort((p, q) => p.layer - q.layer);
  }

  // The packets come in the order of their layers.
  function packetItems(packets) {
    const { firstLayer, layerStep, size: [w, h], outline: edge } = layout.packets;
    return packets.map(([i, left, top, r, g, b]) => {
      const rect = [roundEven(left), roundEven(top), w, h];
      const colour = rgb([r, g, b]);
      return item(firstLayer + layerStep * i, rect, () => {
        context.fillStyle = colour;
        context.fillRect(...rect);
        outline(...rect, edge, "#000");
      }, colour);
    });
  }

  let sceneryOf = null;
  let sceneryItems = [];
  function drawables(state) {
    if (sceneryOf !== state) {
      sceneryOf = state;
      sceneryItems = scenery(state);
    }
    return [...sceneryItems, ...packetItems(state.packets)].sort((p, q) => p.layer - q.layer);
  }

  const meets = ([x, y, w, h], [u, v, p, q]) => x < u + p && u < x + w && y < v + q && v < y + h;

  // The areas where the picture changed since it was last drawn: each item
  // that came, went, moved or looks different, where it was and where it is.
  function changedAreas(before, now) {
    const old = new Map(before.map((shown) => [shown.layer, shown]));
    const areas = [];
    for (const fresh of now) {
      const was = old.get(fresh.layer);
      old.delete(fresh.layer);
      if (was?.key === fresh.key) continue;
      areas.push(fresh.bounds);
      if (was) areas.push(was.bounds);
    }
    for (const gone of old.values()) areas.push(gone.bounds);
    return areas.map(([x, y, w, h]) => [x - 1, y - 1, w + 2, h + 2]);
  }

  // Only the changed areas are painted again, as the desktop window does:
  // a packet's move repaints the packet's old and new place, not the picture.
  let shownItems = null;
  function drawPicture(state) {
    const items = drawables(state);
    const areas = shownItems ? changedAreas(shownItems, items) : [[0, 0, width, height]];
    shownItems = items;
    if (!areas.length) return;
    context.save();
    context.setTransform(canvas.width / width, 0, 0, canvas.height / height, 0, 0);
    context.beginPath();
    for (const area of areas) context.rect(...area);
    context.clip();
    context.fillStyle = background;
    for (const area of areas) context.fillRect(...area);
    for (const { bounds, draw } of items) {
      if (areas.some((area) => meets(area, bounds))) draw();
    }
    context.restore();
  }

  // --- The page at the window's size, scaled to fit --------------------------

  const frame = document.getElementById("frame");
  function fitToPage() {
    const scale = Math.min(frame.clientWidth / width, (innerHeight * 0.8) / height, 3);
    stage.style.transform = `scale(${scale})`;
    frame.style.height = `${Math.ceil(height * scale)}px`;
    const pixels = scale * (devicePixelRatio || 1);
    canvas.width = Math.round(width * pixels);
    canvas.height = Math.round(height * pixels);
    shownItems = null;
    if (current) drawPicture(current);
  }

  // --- Lecture controls --------------------------------------------------------

  const speedBox = document.getElementById("speed");
  layout.speeds.forEach((name, index) => speedBox.add(new Option(name, String(index))));
  speedBox.value = String(layout.realTime);
  speedBox.addEventListener("change", () => act(() => call("wl_set_speed", ["number"], [Number(speedBox.value)])));
  const stepButton = document.getElementById("step");
  stepButton.addEventListener("click", () => act(() => call("wl_step")));

  // --- The analysis panel ------------------------------------------------------

  const analysis = document.getElementById("analysis");
  const analysisToggle = document.getElementById("analysisToggle");
  const measureRows = layout.measures.map((m) => {
    const row = document.createElement("tr");
    const head = document.createElement("th");
    head.scope = "row";
    head.textContent = `${m.symbol}  ${m.name}`;
    head.title = m.meaning;
    row.append(head, document.createElement("td"), document.createElement("td"), document.createElement("td"));
    analysis.querySelector("tbody").append(row);
    return row;
  });
  analysisToggle.addEventListener("click", () => {
    const open = analysis.hidden;
    analysis.hidden = !open;
    analysisToggle.setAttribute("aria-expanded", String(open));
    call("wl_follow_run", ["number"], [open ? 1 : 0]);
    if (open) showAnalysis();
  });

  const withUnit = (m, number) => (m.unit ? `${number} ${m.unit}` : number);
  const figure = (m, v) => (m.percent ? (v * 100).toFixed(2) : v.toFixed(3));

  function showAnalysis() {
    const a = parsed("wl_analysis");
    document.getElementById("queueLine").textContent =
      `${a.queue} queue; offered load \u03bb/(c\u03bc) = ${a.load.toFixed(3)}`;
    const reason = document.getElementById("theoryReason");
    reason.textContent = a.theoryReason;
    reason.hidden = a.theoryReason === "";
    a.rows.forEach((r, k) => {
      const m = layout.measures[k];
      const cells = measureRows[k].cells;
      cells[1].textContent = withUnit(m, figure(m, r.simulated));
      cells[2].textContent = r.interval === undefined ? "\u2014"
        : r.interval === false ? "not yet available"
          : withUnit(m, `${figure(m, r.interval[0])} \u2013 ${figure(m, r.interval[1])}`);
      cells[3].textContent = r.theory === undefined ? "\u2014" : withUnit(m, figure(m, r.theory));
    });
    drawMeanChart(a);
  }

  function drawMeanChart(a) {
    const chart = document.getElementById("meanChart");
    const g = chart.getContext("2d");
    const [w, h] = [chart.width, chart.height];
    const pad = { left: 56, right: 12, top: 30, bottom: 36 };
    g.fillStyle = "#fff";
    g.fillRect(0, 0, w, h);
    const rows = a.meanTime;
    const tEnd = Math.max(1, rows.length ? rows[rows.length - 1][0] : 1);
    let top = a.theoryTime ?? 0;
    for (const r of rows) top = Math.max(top, r[3] ?? r[1]);
    top = top > 0 ? top * 1.1 : 1;
    const x = (t) => pad.left + (t / tEnd) * (w - pad.left - pad.right);
    const y = (v) => h - pad.bottom - (v / top) * (h - pad.top - pad.bottom);
    g.strokeStyle = "#999";
    g.fillStyle = "#333";
    g.font = "12px Arial, Helvetica, sans-serif";
    g.beginPath();
    g.moveTo(pad.left, pad.top);
    g.lineTo(pad.left, h - pad.bottom);
    g.lineTo(w - pad.right, h - pad.bottom);
    g.stroke();
    for (let k = 0; k <= 4; ++k) {
      g.fillText((top * k / 4).toFixed(2), 6, y(top * k / 4) + 4);
      g.fillText((tEnd * k / 4).toFixed(0), x(tEnd * k / 4) - 8, h - pad.bottom + 16);
    }
    g.fillText("simulated seconds", w / 2 - 50, h - 4);
    g.fillText("seconds", 6, 14);
    // The legend, above the plot: the line, the band and the theory.
    let lx = pad.left + 60;
    const legend = [["running mean", "rgb(30, 90, 160)", []], ["95 % interval", "rgba(70, 130, 180, 0.28)", null],
      ["theory", "rgb(200, 60, 40)", [6, 4]]];
    legend.forEach(([name, colour, dash]) => {
      const ly = 10;
      if (dash === null) {
        g.fillStyle = colour;
        g.fillRect(lx, ly - 5, 18, 10);
      } else {
        g.strokeStyle = colour;
        g.setLineDash(dash);
        g.lineWidth = 2;
        g.beginPath();
        g.moveTo(lx, ly);
        g.lineTo(lx + 18, ly);
        g.stroke();
        g.setLineDash([]);
      }
      g.fillStyle = "#333";
      g.fillText(name, lx + 22, ly + 4);
      lx += 22 + g.measureText(name).width + 24;
    });
    const banded = rows.filter((r) => r.length === 4);
    if (banded.length > 1) {
      g.fillStyle = "rgba(70, 130, 180, 0.28)";
      g.beginPath();
      banded.forEach((r, k) => (k ? g.lineTo(x(r[0]), y(r[3])) : g.moveTo(x(r[0]), y(r[3]))));
      for (let k = banded.length - 1; k >= 0; --k) g.lineTo(x(banded[k][0]), y(banded[k][2]));
      g.closePath();
      g.fill();
    }
    if (rows.length > 1) {
      g.strokeStyle = "rgb(30, 90, 160)";
      g.lineWidth = 2;
      g.beginPath();
      rows.forEach((r, k) => (k ? g.lineTo(x(r[0]), y(r[1])) : g.moveTo(x(r[0]), y(r[1]))));
      g.stroke();
    }
    if (a.theoryTime !== undefined) {
      g.strokeStyle = "rgb(200, 60, 40)";
      g.setLineDash([6, 4]);
      g.lineWidth = 1.5;
      g.beginPath();
      g.moveTo(pad.left, y(a.theoryTime));
      g.lineTo(w - pad.right, y(a.theoryTime));
      g.stroke();
      g.setLineDash([]);
    }
    g.lineWidth = 1;
  }

  // --- What the page shows, from the core's state ------------------------------

  const queueWords = document.getElementById("queueWords");
  const statistics = document.getElementById("statistics");
  const dialog = document.getElementById("message");
  const kValueRows = layout.explanations.filter((row) => row.kind === 3);
  let current = null;
  let lastSpoken = -Infinity;

  // A state the same as the one shown changes nothing on the page: a tick
  // before Go, say. Then neither the picture nor the controls are touched.
  let shownText = "";
  function showState() {
    const stateText = text("wl_state");
    if (stateText === shownText) return;
    shownText = stateText;
    const state = JSON.parse(stateText);
    current = state;
    drawPicture(state);
    buttons.forEach((button, id) => {
      const caption = state.buttons[layout.buttons[id].name];
      if (button.textContent !== caption) button.textContent = caption;
    });
    combos.forEach(({ select, input }, id) => {
      const combo = state.combos[layout.combos[id].name];
      const entries = input ? ["", ...combo.list] : combo.list;
      if (select.options.length !== entries.length || entries.some((e, k) => select.options[k].value !== e)) {
        select.replaceChildren(...entries.map((e) => new Option(e === "" ? "choose" : e, e)));
      }
      if (input) {
        if (input.value !== combo.text) input.value = combo.text;
      } else if (select.value !== combo.text) {
        select.value = combo.text;
      }
    });
    // Only what changed is written: every write to the page costs a frame's
    // style and layout work, and the title a message to the browser.
    if (stepButton.disabled !== !state.paused) stepButton.disabled = !state.paused;
    const speedName = layout.speeds[state.speed];
    const title = state.speed === layout.realTime ? layout.name : `${layout.name} \u2013 ${speedName}`;
    if (document.title !== title) document.title = title;

    const query = `?${state.address}`;
    if (location.search !== query) history.replaceState(null, "", query);
    speakStatistics(state, false);
    if (state.messages.length) showMessages(state.messages);
  }

  // The statistics for screen readers, in a live region, and the queue in
  // words, changed at most once a second: more often would be more than a
  // listener can follow, and costs the page a layout each time.
  function speakStatistics(state, now) {
    const time = performance.now();
    if (!now && time - lastSpoken < 1000) return;
    lastSpoken = time;
    if (queueWords.textContent !== state.queueWords) queueWords.textContent = state.queueWords;
    const items = kValueRows.map((row) => `${row.name}: ${state.labels[row.object][0]}`);
    if (statistics.children.length !== items.length) {
      statistics.replaceChildren(...items.map(() => document.createElement("li")));
    }
    items.forEach((item, k) => {
      if (statistics.children[k].textContent !== item) statistics.children[k].textContent = item;
    });
  }

  // A message stops the demo until it is read, as the desktop window's box does.
  const pending = [];
  function showMessages(messages) {
    pending.push(...messages);
    if (!dialog.open) nextMessage();
  }
  function nextMessage() {
    if (!pending.length) return;
    document.getElementById("messageText").textContent = pending.shift();
    dialog.showModal();
  }
  dialog.addEventListener("close", () => {
    clock.last = performance.now();
    nextMessage();
  });

  // Every user action runs in the core, then the page shows the new state.
  function act(action) {
    action();
    showState();
  }

  // --- The pace: ticks of 10 ms of wall time, at the lecture speed ------------

  const clock = { last: performance.now(), moveDue: 0, checkDue: 0 };
  function runFor(elapsed) {
    let changed = false;
    const [moveOn, moveInterval] = current.move;
    clock.moveDue = moveOn ? clock.moveDue + elapsed : 0;
    while (clock.moveDue >= moveInterval) {
      clock.moveDue -= moveInterval;
      if (call("wl_move_event") === 0) {
        clock.moveDue = 0;  // the timer was stopped: no ticks are owed
        break;
      }
      changed = true;
      if (call("wl_messages_waiting")) break;
    }
    const [checkOn, checkInterval] = current.check;
    clock.checkDue = checkOn ? clock.checkDue + elapsed : 0;
    if (clock.checkDue >= checkInterval && !call("wl_messages_waiting")) {
      clock.checkDue -= checkInterval;
      changed = call("wl_check_event") > 0 || changed;
    }
    return changed;
  }

  // Most ticks only move packets: then only the packets are read, from the
  // core's memory, and the picture repainted where they were and are.
  function showFrame() {
    if (call("wl_state_changed")) {
      showState();
      return;
    }
    const at = call("wl_packets") / 4;
    const memory = core.HEAPF32;
    const packets = [];
    for (let k = 0, n = memory[at]; k < n; ++k) packets.push(Array.from(memory.subarray(at + 1 + 6 * k, at + 7 + 6 * k)));
    current.packets = packets;
    drawPicture(current);
    speakStatistics(current, false);
  }

  let analysisShown = 0;
  function onFrame(now) {
    const elapsed = Math.min(now - clock.last, kMostCatchUpMs);
    clock.last = now;
    if (!dialog.open && runFor(elapsed)) showFrame();
    if (!analysis.hidden && now - analysisShown >= 1000) {
      analysisShown = now;
      showAnalysis();
    }
    requestAnimationFrame(onFrame);
  }

  addEventListener("resize", fitToPage);
  showState();
  fitToPage();
  document.body.dataset.ready = "true";
  document.body.dataset.readyAt = String(Math.round(performance.now()));
  requestAnimationFrame(onFrame);
})();
