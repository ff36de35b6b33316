// page.js — the browser's side of heliogeo's window system: the page is the
// screen, window 0 the page with its menu bar, the other windows canvases at
// their places over it, the message box a modal box on the page. Input is
// collected here and handed to the program when it asks (web_platform.cpp);
// while the program waits it sleeps here, and input wakes it.
"use strict";

const HG = {
  screenWidth: 0,
  screenHeight: 0,
  screen: null,          // the element that stands for the screen
  windows: [],           // by number: {frame, caption, canvas, ctx, left, top, width, height, open, main}
  events: [],            // [type, window, code, value]: 1 key, 2 button down, 3 button up, 4 menu choice,
                         // 5 command (its position in the command menu)
  buttons: 0,            // mouse buttons now down: 1 left, 2 right, 4 middle
  wakeUp: null,
  timer: 0,
  firstKeyWait: 0,       // when the program first waited for input (ms since the page began)
  menu: null,            // the menu bar, once installed
  commands: [],          // the command menu's items: {text, key, label}
  box: null,             // the open message box
  ended: false,
  measured: new Map(),
  scratch: null,

  // -------------------------------------------------------------- start, end

  start() {
    // The screen is the page as it is at the start; later resizes only scale
    // the picture, the layout stays.
    this.screenWidth = Math.max(1, Math.floor(window.innerWidth));
    this.screenHeight = Math.max(1, Math.floor(window.innerHeight));
    this.screen = document.getElementById("hg-screen");
    this.screen.style.width = this.screenWidth + "px";
    this.screen.style.height = this.screenHeight + "px";
    this.scratch = document.createElement("canvas").getContext("2d", { willReadFrequently: true });
    document.addEventListener("keydown", (e) => this.onKeyDown(e), true);
    document.addEventListener("keyup", (e) => this.onKeyUp(e), true);
    document.addEventListener("pointerdown", (e) => this.onPointerDown(e), true);
    document.addEventListener("pointerup", (e) => this.onPointerUp(e), true);
    document.addEventListener("pointercancel", (e) => this.onPointerUp(e), true);
    document.addEventListener("contextmenu", (e) => e.preventDefault());
    window.addEventListener("resize", () => this.fit());
    this.fit();
  },

  end() {
    this.ended = true;
    this.closeMenu();
    this.screen.style.display = "none";
    document.getElementById("hg-ended").style.display = "flex";
    document.getElementById("hg-restart").focus();
  },

  // The whole picture stays in sight however the browser window is sized:
  // scaled as one, its pixels crisp.
  fit() {
    const scale = Math.min(window.innerWidth / this.screenWidth, window.innerHeight / this.screenHeight);
    this.screen.style.transform = scale > 0 && Math.abs(scale - 1) > 1e-3 ? "scale(" + scale + ")" : "";
  },

  // -------------------------------------------------------------- windows

  openWindow(n, left, top, width, height, main) {
    let w = this.windows[n];
    if (!w) {
      w = { frame: document.createElement("div"), caption: document.createElement("div"),
            canvas: document.createElement("canvas"), main: main };
      w.frame.className = main ? "hg-window hg-main" : "hg-window";
      w.frame.dataset.window = n;
      w.caption.className = "hg-caption";
      w.frame.append(w.caption, w.canvas);
      // A low-latency canvas: what the program puts goes to the screen
      // without the whole canvas being copied for every frame.
      w.ctx = w.canvas.getContext("2d", { desynchronized: true });
      // Window 0 lies under everything; the others in the order they open.
      this.screen.insertBefore(w.frame, main ? this.screen.firstChild : document.getElementById("hg-dropdown"));
      this.windows[n] = w;
    }
    w.left = left;
    w.top = top;
    w.width = width;
    w.height = height;
    w.open = true;
    this.place(n);
    w.frame.style.display = "";
  },

  // Window 0's client area lies below its menu bar; a window with a caption
  // shows it above its client area, as a desktop's title bar does.
  place(n) {
    const w = this.windows[n];
    const bar = w.main && this.menu ? this.menu.bar.offsetHeight : 0;
    const top = w.top + bar;
    const height = Math.max(1, w.height - bar);
    w.frame.style.left = w.left + "px";
    w.frame.style.top = top + "px";
    w.canvas.style.width = w.width + "px";
    w.canvas.style.height = height + "px";
    if (w.canvas.width !== w.width || w.canvas.height !== height) {
      // Resizing a canvas clears it: keep what it shows.
      const keep = w.canvas.width > 0 && w.canvas.height > 0 ? w.ctx.getImageData(0, 0, w.canvas.width, w.canvas.height) : null;
      w.canvas.width = w.width;
      w.canvas.height = height;
      if (keep) w.ctx.putImageData(keep, 0, 0);
    }
    w.shownTop = top;
    w.shownHeight = height;
    w.caption.style.display = !w.main && w.caption.textContent ? "" : "none";
  },

  closeWindow(n) {
    const w = this.windows[n];
    if (!w) return;
    w.open = false;
    w.frame.style.display = "none";
  },

  setCaption(n, text) {
    const w = this.windows[n];
    if (!w) return;
    w.caption.textContent = text;
    if (w.main) document.title = text;
    this.place(n);
  },

  // Window n's client area on the screen: 0 left, 1 top, 2 width, 3 height.
  client(n, what) {
    const w = this.windows[n];
    if (!w) return 0;
    return [w.left, w.shownTop, w.width, w.shownHeight][what] | 0;
  },

  blit(n, x, y, width, height, rgba) {
    const w = this.windows[n];
    if (!w) return;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    w.ctx.putImageData(new ImageData(bytes, width, height), x, y);
  },

  // -------------------------------------------------------------- time and input

  sleep(ms) {
    if (ms > 1000 && !this.firstKeyWait) this.firstKeyWait = performance.now();
    return new Promise((resolve) => {
      this.wakeUp = resolve;
      this.timer = setTimeout(resolve, Math.max(0, ms));
    });
  },

  post(event) {
    this.events.push(event);
    if (this.wakeUp) {
      clearTimeout(this.timer);
      const wake = this.wakeUp;
      this.wakeUp = null;
      wake();
    }
  },

  nextEvent(out) {
    const e = this.events.shift();
    if (!e) return 0;
    for (let i = 0; i < 4; ++i) HEAP32[(out >> 2) + i] = e[i];
    return 1;
  },

  onKeyDown(e) {
    if (this.ended) return;
    // Ctrl or Cmd+S is the program's even where it chooses nothing (a box is
    // open, a line is read): never the browser's "save page".
    if ((e.ctrlKey || e.metaKey) && this.commandIndex(e) >= 0) e.preventDefault();
    if (this.box) {
      // The box is modal: Return (or the space bar, or Escape) presses OK.
      if (e.key === "Enter" || e.key === " " || e.key === "Escape") this.closeBox();
      if (!e.ctrlKey && !e.metaKey) e.preventDefault();
      return;
    }
    if (e.key === "Alt" || e.key === "AltGraph") {
      this.altAlone = e.key === "Alt";
      e.preventDefault();
      return;
    }
    this.altAlone = false;
    if (this.menu && (this.menu.active || e.key === "F10")) {
      e.preventDefault();
      this.menuKey(e);
      return;
    }
    const command = this.commandFor(e);
    if (command >= 0) {
      e.preventDefault();
      this.post([5, command, 0, 0]);
      return;
    }
    if (e.ctrlKey || e.metaKey) return;  // the browser's own shortcuts
    const code = { Enter: 1, Backspace: 2, Escape: 3 }[e.key] || 0;
    const chars = Array.from(e.key);
    const ch = chars.length === 1 ? chars[0].codePointAt(0) : 0;
    if (e.key === "Dead" || e.isComposing) return;
    e.preventDefault();
    this.post([1, 0, code, ch]);
  },

  onKeyUp(e) {
    if (e.key === "Alt" && this.altAlone && this.menu && !this.box && !this.ended) {
      // Alt on its own reaches the menu bar, and leaves it again.
      e.preventDefault();
      if (this.menu.active) this.closeMenu();
      else this.activateMenu(false);
    }
    this.altAlone = false;
  },

  windowAt(target) {
    const frame = target && target.closest ? target.closest(".hg-window") : null;
    return frame ? Number(frame.dataset.window) : 0;
  },

  onPointerDown(e) {
    if (this.ended || this.box) return;
    this.buttons = e.buttons || 1;
    const inMenu = e.target.closest && e.target.closest("#hg-menubar, #hg-dropdown");
    if (inMenu) return;
    if (this.menu && this.menu.active) {
      // A click beside an open menu only closes it.
      this.closeMenu();
      return;
    }
    if (e.target.closest && e.target.closest("#hg-screen")) {
      e.preventDefault();
      this.post([2, this.windowAt(e.target), 0, 0]);
    }
  },

  onPointerUp(e) {
    this.buttons = e.buttons || 0;
    if (!this.ended) this.post([3, this.windowAt(e.target), 0, 0]);
  },

  // -------------------------------------------------------------- the menu bar

  // The entries, one per line: a title, its items, an empty line closing the
  // menu; a second empty line ends the list. A choice is reported as the
  // chosen entry's line number.
  installMenu(text) {
    this.commands = [];
    const entries = text.split("\n");
    const menus = [];
    let i = 0;
    while (i < entries.length && entries[i] !== "") {
      const menu = { title: entries[i], items: [] };
      for (++i; i < entries.length && entries[i] !== ""; ++i) menu.items.push({ text: entries[i], index: i });
      ++i;
      menus.push(menu);
    }
    const bar = document.getElementById("hg-menubar");
    bar.replaceChildren();
    this.menu = { bar: bar, menus: menus, active: false, title: 0, open: null, item: -1, enabled: true };
    menus.forEach((menu, m) => this.addTitle(menu, m));
    bar.style.display = "block";
    this.windows.forEach((w, n) => w && this.place(n));
  },

  addTitle(menu, m) {
    menu.element = document.createElement("span");
    menu.element.className = "hg-title";
    menu.element.setAttribute("role", "menuitem");
    menu.element.append(this.label(menu.title));
    menu.element.addEventListener("pointerdown", (e) => {
      e.preventDefault();
      if (!this.menu.enabled) return;
      if (this.menu.open === m) this.closeMenu();
      else this.openMenu(m, false);
    });
    menu.element.addEventListener("pointerenter", () => {
      if (this.menu.open !== null && this.menu.open !== m && this.menu.enabled) this.openMenu(m, false);
    });
    this.menu.bar.insertBefore(menu.element, document.getElementById("hg-status"));
  },

  // The command menu after the others: per line an item's text, its key
  // ("Space", "Right", "Left", a letter, "Ctrl+" and a letter) and the key's
  // label, a tab between. Its items are chosen by menu or by key.
  installCommands(title, text) {
    if (!this.menu) return;
    const menu = { title: title, items: [] };
    this.commands = [];
    text.split("\n").filter((line) => line !== "").forEach((line, k) => {
      const [itemText, key, label] = line.split("\t");
      this.commands.push({ key: key, label: label });
      menu.items.push({ text: itemText, label: label, command: k });
    });
    const m = this.menu.menus.length;
    this.menu.menus.push(menu);
    this.addTitle(menu, m);
  },

  // The command a key press chooses, or -1. Keys belong to the menu bar while
  // it is worked by keyboard, and to the line being typed while the bar is
  // disabled.
  commandFor(e) {
    return !this.menu || this.menu.active || !this.menu.enabled ? -1 : this.commandIndex(e);
  },

  // The command whose key this is, whatever the program does now; -1 if none.
  commandIndex(e) {
    const names = { " ": "Space", ArrowRight: "Right", ArrowLeft: "Left" };
    const name = names[e.key] || (e.key.length === 1 ? e.key.toUpperCase() : e.key);
    const pressed = (e.ctrlKey || e.metaKey ? "Ctrl+" : "") + (e.altKey ? "Alt+" : "") + name;
    return this.commands.findIndex((c) => c.key.toUpperCase() === pressed.toUpperCase());
  },

  // The status line at the bar's right end.
  setStatus(text) {
    let status = document.getElementById("hg-status");
    if (!status) {
      status = document.createElement("span");
      status.id = "hg-status";
      document.getElementById("hg-menubar").append(status);
    }
    if (status.textContent === text) return;
    status.textContent = text;
    // Never over the titles: on a narrow page the line is cut short.
    const titles = this.menu ? this.menu.menus : [];
    const last = titles.length ? titles[titles.length - 1].element : null;
    const room = status.parentNode.clientWidth - (last ? last.offsetLeft + last.offsetWidth : 0) - 8;
    status.style.maxWidth = Math.max(0, room) + "px";
    status.style.visibility = room < 80 ? "hidden" : "";  // rather than a letter or two
  },

  // The picture (pixels 0xFFRRGGBB) as a PNG file offered for download.
  savePicture(name, pixels, width, height) {
    const canvas = document.createElement("canvas");
    if (!canvas.toBlob) return 0;
    canvas.width = width;
    canvas.height = height;
    const from = new Uint8Array(HEAPU8.buffer, pixels, width * height * 4);
    const image = new ImageData(width, height);
    for (let i = 0; i < width * height * 4; i += 4) {
      image.data[i] = from[i + 2];
      image.data[i + 1] = from[i + 1];
      image.data[i + 2] = from[i];
      image.data[i + 3] = 255;
    }
    canvas.getContext("2d").putImageData(image, 0, 0);
    canvas.toBlob((blob) => {
      if (!blob) return;
      const link = document.createElement("a");
      link.href = URL.createObjectURL(blob);
      link.download = name;
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }, "image/png");
    this.savedPictures = (this.savedPictures || 0) + 1;
    return 1;
  },

  // "&" marks the next letter, which is underlined; "&&" is an "&".
  label(text) {
    const span = document.createElement("span");
    for (let i = 0; i < text.length; ++i) {
      if (text[i] === "&" && i + 1 < text.length) {
        ++i;
        if (text[i] !== "&") {
          const u = document.createElement("u");
          u.textContent = text[i];
          span.append(u);
          continue;
        }
      }
      span.append(text[i]);
    }
    return span;
  },

  mnemonic(text) {
    const m = /&([^&])/.exec(text);
    return m ? m[1].toLowerCase() : null;
  },

  setMenuEnabled(enabled) {
    if (!this.menu) return;
    this.menu.enabled = enabled;
    this.menu.bar.classList.toggle("hg-disabled", !enabled);
    if (!enabled) this.closeMenu();
  },

  activateMenu() {
    if (!this.menu || !this.menu.enabled) return;
    this.closeMenu();
    this.menu.active = true;
    this.menu.title = 0;
    this.highlightTitle();
  },

  highlightTitle() {
    this.menu.menus.forEach((menu, m) =>
      menu.element.classList.toggle("hg-current", this.menu.active && m === this.menu.title));
  },

  openMenu(m, byKeyboard) {
    const menu = this.menu.menus[m];
    this.menu.active = true;
    this.menu.title = m;
    this.menu.open = m;
    this.menu.item = byKeyboard ? 0 : -1;
    this.highlightTitle();
    const drop = document.getElementById("hg-dropdown");
    drop.replaceChildren();
    menu.items.forEach((item, k) => {
      const row = document.createElement("div");
      row.className = "hg-item";
      row.setAttribute("role", "menuitem");
      row.append(this.label(item.text));
      if (item.label) {
        const key = document.createElement("span");
        key.className = "hg-key";
        key.textContent = item.label;
        row.append(key);
      }
      row.addEventListener("pointerenter", () => { this.menu.item = k; this.highlightItem(); });
      row.addEventListener("pointerleave", () => { if (this.menu.item === k) { this.menu.item = -1; this.highlightItem(); } });
      row.addEventListener("pointerup", (e) => { e.preventDefault(); this.choose(item); });
      drop.append(row);
    });
    // Under its title, or as far left as it must stand to be seen whole.
    drop.style.left = "0px";
    drop.style.top = this.menu.bar.offsetHeight + "px";
    drop.style.display = "block";
    const left = Math.min(menu.element.offsetLeft, this.menu.bar.clientWidth - drop.offsetWidth);
    drop.style.left = Math.max(0, left) + "px";
    this.highlightItem();
  },

  highlightItem() {
    const rows = document.getElementById("hg-dropdown").children;
    for (let k = 0; k < rows.length; ++k) rows[k].classList.toggle("hg-current", k === this.menu.item);
  },

  closeMenu() {
    if (!this.menu) return;
    this.menu.active = false;
    this.menu.open = null;
    this.menu.item = -1;
    document.getElementById("hg-dropdown").style.display = "none";
    this.highlightTitle();
  },

  choose(item) {
    this.closeMenu();
    this.post(item.command === undefined ? [4, item.index, 0, 0] : [5, item.command, 0, 0]);
  },

  // The keyboard in the menu bar: Left and Right between the menus, Down or
  // Return opens one, Up and Down between its items, Return or an item's
  // underlined letter chooses it, Escape goes back.
  menuKey(e) {
    const menu = this.menu;
    if (!menu.enabled) return;
    const count = menu.menus.length;
    if (e.key === "F10" && !menu.active) { this.activateMenu(); return; }
    if (e.key === "F10" || (e.key === "Escape" && menu.open === null)) { this.closeMenu(); return; }
    if (menu.open === null) {
      if (e.key === "ArrowRight" || e.key === "ArrowLeft") {
        menu.title = (menu.title + (e.key === "ArrowRight" ? 1 : count - 1)) % count;
        this.highlightTitle();
      } else if (e.key === "ArrowDown" || e.key === "Enter" || e.key === " ") {
        this.openMenu(menu.title, true);
      }
      return;
    }
    const items = menu.menus[menu.open].items;
    if (e.key === "Escape") {
      document.getElementById("hg-dropdown").style.display = "none";
      menu.open = null;
      this.highlightTitle();
    } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
      const step = e.key === "ArrowDown" ? 1 : items.length - 1;
      menu.item = menu.item < 0 ? 0 : (menu.item + step) % items.length;
      this.highlightItem();
    } else if (e.key === "ArrowRight" || e.key === "ArrowLeft") {
      this.openMenu((menu.open + (e.key === "ArrowRight" ? 1 : count - 1)) % count, true);
    } else if (e.key === "Enter" || e.key === " ") {
      if (menu.item >= 0) this.choose(items[menu.item]);
    } else if (e.key.length === 1 && !e.ctrlKey && !e.metaKey) {  // Ctrl+S is no "&S"
      const letter = e.key.toLowerCase();
      const found = items.find((item) => this.mnemonic(item.text) === letter);
      if (found) this.choose(found);
    }
  },

  // -------------------------------------------------------------- the message box

  messageBox(caption, text) {
    this.closeMenu();
    const modal = document.getElementById("hg-modal");
    modal.querySelector(".hg-caption").textContent = caption;
    const lines = modal.querySelector(".hg-lines");
    lines.replaceChildren(...text.split("|").map((line) => {
      const div = document.createElement("div");
      div.textContent = line === "" ? "\u00a0" : line;
      return div;
    }));
    modal.style.display = "flex";
    const ok = modal.querySelector("button");
    ok.focus();
    return new Promise((resolve) => {
      this.box = { resolve: resolve };
      ok.onclick = () => this.closeBox();
    });
  },

  closeBox() {
    if (!this.box) return;
    document.getElementById("hg-modal").style.display = "none";
    const resolve = this.box.resolve;
    this.box = null;
    resolve();
  },

  // -------------------------------------------------------------- text

  // "courier" is the browser's fixed-pitch face, "times" its serif face.
  font(face, size, bold) {
    const f = face.toLowerCase();
    const family = f === "courier" ? "monospace" : f === "times" ? "serif" : JSON.stringify(face) + ", sans-serif";
    return (bold ? "bold " : "") + size + "px " + family;
  },

  // advance, height, and the mask's x, y, width and height, for a text.
  metrics(face, size, bold, text) {
    const key = face + "\u0001" + size + "\u0001" + bold + "\u0001" + text;
    let m = this.measured.get(key);
    if (m) return m;
    const ctx = this.scratch;
    ctx.font = this.font(face, size, bold);
    const t = ctx.measureText(text);
    const ascent = Math.ceil(t.fontBoundingBoxAscent ?? size * 0.8);
    const descent = Math.ceil(t.fontBoundingBoxDescent ?? size * 0.25);
    const advance = Math.round(t.width);
    const pad = Math.ceil(size / 3) + 2;
    m = [advance, ascent + descent, -pad, -pad, advance + 2 * pad, ascent + descent + 2 * pad, ascent, pad];
    if (this.measured.size > 2000) this.measured.clear();
    this.measured.set(key, m);
    return m;
  },

  measureText(face, size, bold, text, out) {
    const m = this.metrics(face, size, bold, text);
    for (let i = 0; i < 6; ++i) HEAP32[(out >> 2) + i] = m[i];
  },

  // The letters as a mask without antialiasing: a pixel is a letter pixel
  // where the browser covers at least half of it.
  glyphs(face, size, bold, text, mask) {
    const [, , , , width, height, ascent, pad] = this.metrics(face, size, bold, text);
    const ctx = this.scratch;
    if (ctx.canvas.width < width || ctx.canvas.height < height) {
      ctx.canvas.width = Math.max(ctx.canvas.width, width);
      ctx.canvas.height = Math.max(ctx.canvas.height, height);
    }
    ctx.clearRect(0, 0, width, height);
    ctx.font = this.font(face, size, bold);
    ctx.fillStyle = "#000";
    ctx.textBaseline = "alphabetic";
    ctx.fillText(text, pad, pad + ascent);
    const alpha = ctx.getImageData(0, 0, width, height).data;
    for (let i = 0; i < width * height; ++i) HEAPU8[mask + i] = alpha[4 * i + 3] >= 128 ? 1 : 0;
  },

  cellWidth(face, size, bold) {
    const ctx = this.scratch;
    ctx.font = this.font(face, size, bold);
    if (face.toLowerCase() === "courier") return ctx.measureText("0").width;
    return ctx.measureText("abcdefghijklmnopqrstuvwxyz").width / 26;
  },

  // -------------------------------------------------------------- for those who test

  // The program's windows as a desktop would list them: id, caption, client
  // area on the screen, and whether it is a pop-up (an open menu).
  windowList() {
    const list = [];
    this.windows.forEach((w, n) => {
      if (!w || !w.open) return;
      const main = w.main;
      list.push({ id: String(n), name: main ? w.caption.textContent : w.caption.textContent,
                  x: w.left, y: main ? 0 : w.top, w: w.width, h: main ? this.screenHeight : w.height,
                  viewable: true, override: false });
    });
    const drop = document.getElementById("hg-dropdown");
    if (drop.style.display === "block")
      list.push({ id: "menu", name: "", x: drop.offsetLeft, y: drop.offsetTop, w: drop.offsetWidth,
                  h: drop.offsetHeight, viewable: true, override: true });
    if (this.box) {
      const box = document.querySelector("#hg-modal .hg-box");
      list.push({ id: "box", name: box.querySelector(".hg-caption").textContent, x: box.offsetLeft,
                  y: box.offsetTop, w: box.offsetWidth, h: box.offsetHeight, viewable: true, override: false });
    }
    return list;
  },
};
