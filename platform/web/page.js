// page.js — the browser's side of heliogeo's window system: the page is the
// screen, window 0 the page below its menu bar, the other windows frames at
// their places over it, the message box a modal box on the page. What the
// windows show is one picture of the page (web_platform.cpp composes it) on
// one canvas. Input is collected here and handed to the program when it asks;
// while the program waits it sleeps here, and input wakes it.
//
// Sizes the program gives and asks for are device pixels: the canvas has one
// pixel per device pixel, so that it is sharp at any pixel ratio; the page's
// own elements (menu bar, boxes) are laid out in CSS pixels as usual.
"use strict";

// The kinds of event handed to the program (web_platform.cpp has the same
// table): [kind, window or index, key code, character].
const EVENT = Object.freeze({
  KEY: 1,          // a key: window, key code (KEY_CODE), character
  BUTTON_DOWN: 2,  // a mouse button or a finger went down: window
  BUTTON_UP: 3,    // and up again: window
  MENU: 4,         // a menu choice: the entry's index in the menu list
  COMMAND: 5,      // a command of the command menu, by menu, key or touch button: its position
  SCREEN: 6,       // the page's size or pixel ratio changed for good
});
const KEY_CODE = Object.freeze({ OTHER: 0, RETURN: 1, BACKSPACE: 2, ESCAPE: 3 });

// A change of the page's size counts once it has held this long (a turned
// tablet, a window dragged larger, sends many).
const SETTLE_MS = 400;
// On a touch screen: large targets and the touch buttons.
const TOUCH_QUERY = "(any-pointer: coarse)";

const HG = {
  area: { width: 1, height: 1, ratio: 1 },  // the page as the program knows it: device pixels
  screenRect: null,      // the program's 4:3 rectangle in the page, device pixels (for those who test)
  screen: null,          // the element that stands for the screen
  windows: [],           // by number: {frame, caption, left, top, width, height, open, main; window 0: canvas, ctx}
  events: [],            // what the program has not taken yet (EVENT)
  buttons: 0,            // mouse buttons now down: 1 left, 2 right, 4 middle
  wakeUp: null,
  timer: 0,
  firstKeyWait: 0,       // when the program first waited for input (ms since the page began)
  menu: null,            // the menu bar, once installed
  commands: [],          // the command menu's items: {key, label}
  status: { text: "", shortText: "", widest: "", widestShort: "", mode: "full" },
  box: null,             // the open message box
  line: null,            // the line being read: {n}
  lineInput: null,       // the input element that takes it
  lineValue: "",         // what the program has been told of the input's value
  screenPending: false,  // the page changed while a box or a line held the program
  settleTimer: 0,
  ended: false,
  measured: new Map(),
  scratch: null,

  // -------------------------------------------------------------- start, end

  start() {
    this.screen = document.getElementById("hg-screen");
    this.scratch = document.createElement("canvas").getContext("2d", { willReadFrequently: true });
    this.area = this.measure();
    document.addEventListener("keydown", (e) => this.onKeyDown(e), true);
    document.addEventListener("keyup", (e) => this.onKeyUp(e), true);
    document.addEventListener("pointerdown", (e) => this.onPointerDown(e), true);
    document.addEventListener("mousedown", (e) => this.onMouseDown(e), true);
    document.addEventListener("pointerup", (e) => this.onPointerUp(e), true);
    document.addEventListener("pointercancel", (e) => this.onPointerUp(e), true);
    document.addEventListener("contextmenu", (e) => e.preventDefault());
    window.addEventListener("resize", () => this.pageChanged());
    this.watchRatio();
    matchMedia(TOUCH_QUERY).addEventListener("change", () => this.pageChanged());
  },

  end() {
    this.ended = true;
    this.closeMenu();
    this.screen.style.display = "none";
    document.getElementById("hg-ended").style.display = "flex";
    document.getElementById("hg-restart").focus();
  },

  // -------------------------------------------------------------- the page's size

  // The page in device pixels, and device pixels per CSS pixel.
  measure() {
    const ratio = window.devicePixelRatio > 0 ? window.devicePixelRatio : 1;
    return { width: Math.max(1, Math.floor(window.innerWidth * ratio)),
             height: Math.max(1, Math.floor(window.innerHeight * ratio)), ratio: ratio };
  },

  areaInto(out) {
    HEAP32[out >> 2] = this.area.width;
    HEAP32[(out >> 2) + 1] = this.area.height;
  },

  setScreenRect(x, y, width, height) {
    this.screenRect = { x: x, y: y, width: width, height: height };
  },

  // A page moved to a screen of another pixel ratio (or zoomed) says so
  // only through a query for its present ratio.
  watchRatio() {
    const query = matchMedia("(resolution: " + window.devicePixelRatio + "dppx)");
    query.addEventListener("change", () => { this.pageChanged(); this.watchRatio(); }, { once: true });
  },

  // The menu bar follows the page at once, so that every title stays in
  // reach; the program lays itself out anew once the page has settled.
  pageChanged() {
    if (this.ended) return;
    if (!this.settleTimer) this.barBefore = this.menuBarBottom();
    this.layoutBar();
    this.windows.forEach((w, n) => w && this.place(n));
    clearTimeout(this.settleTimer);
    this.settleTimer = setTimeout(() => this.settled(), SETTLE_MS);
  },

  settled() {
    this.settleTimer = 0;
    // Not while a box or a line holds the program: once they are done.
    if (this.box || this.line) {
      this.screenPending = true;
      return;
    }
    // A page of the same size whose menu bar has other rows now (a touch
    // screen's taller titles) is laid out anew too.
    const now = this.measure();
    if (now.width === this.area.width && now.height === this.area.height && now.ratio === this.area.ratio &&
        this.menuBarBottom() === this.barBefore) return;
    this.area = now;
    this.layoutBar();
    this.post([EVENT.SCREEN, 0, 0, 0]);
  },

  // A box or a line let the program go: a change it missed counts now, once
  // the page has settled (an on-screen keyboard closing changes it too).
  released() {
    if (!this.screenPending) return;
    this.screenPending = false;
    clearTimeout(this.settleTimer);
    this.settleTimer = setTimeout(() => this.settled(), SETTLE_MS);
  },

  // -------------------------------------------------------------- windows

  // (left, top) and the size in device pixels, from the page's corner.
  // What the windows show is one picture of the page, on window 0's canvas;
  // the other windows are frames over it that take the pointer and show
  // captions.
  openWindow(n, left, top, width, height, main) {
    let w = this.windows[n];
    if (!w) {
      w = { frame: document.createElement("div"), caption: document.createElement("div"), main: main };
      w.frame.className = main ? "hg-window hg-main" : "hg-window";
      w.frame.dataset.window = n;
      w.caption.className = "hg-caption";
      w.frame.append(w.caption);
      if (main) {
        // A low-latency canvas: what the program puts goes to the screen
        // without the whole canvas being copied for every frame.
        w.canvas = document.createElement("canvas");
        w.frame.append(w.canvas);
        w.ctx = w.canvas.getContext("2d", { desynchronized: true });
      }
      // Window 0 lies under everything; the others in the order they open.
      this.screen.insertBefore(w.frame, main ? this.screen.firstChild : document.getElementById("hg-dropdown"));
      this.windows[n] = w;
    }
    w.left = left;
    w.top = top;
    w.width = width;
    w.height = height;
    w.open = true;
    if (main) this.sizeCanvas(w);
    this.place(n);
    w.frame.style.display = "";
  },

  // The page's canvas: a whole number of CSS pixels that is a whole number
  // of device pixels too, as large as the page or a little larger; the
  // browser shows such a canvas pixel for pixel (at a ratio of 1.5, say, a
  // canvas an odd number of CSS pixels wide would be resampled).
  sizeCanvas(w) {
    const ratio = this.area.ratio;
    const whole = (css) => {
      for (let c = css; c < css + 64; ++c)
        if (Math.abs(c * ratio - Math.round(c * ratio)) < 1e-6) return c;
      return css;
    };
    const cssWidth = whole(Math.ceil(this.area.width / ratio)), cssHeight = whole(Math.ceil(this.area.height / ratio));
    const width = Math.round(cssWidth * ratio), height = Math.round(cssHeight * ratio);
    if (w.canvas.width !== width || w.canvas.height !== height) {
      w.canvas.width = width;
      w.canvas.height = height;
    }
    w.canvas.style.width = cssWidth + "px";
    w.canvas.style.height = cssHeight + "px";
  },

  pageSizeInto(out) {
    const w = this.windows[0];
    HEAP32[out >> 2] = w ? w.canvas.width : 1;
    HEAP32[(out >> 2) + 1] = w ? w.canvas.height : 1;
  },

  // A window's frame where its client area is (window 0: the whole page,
  // its pixels starting below the menu bar); a window with a caption shows
  // it above its client area, as a desktop's title bar does.
  place(n) {
    const w = this.windows[n];
    const ratio = this.area.ratio;
    if (w.main) {
      w.frame.style.left = w.frame.style.top = "0px";
      w.shownTop = this.menuBarBottom();
      w.shownHeight = Math.max(1, Math.min(w.height, this.area.height - w.shownTop));
    } else {
      w.frame.style.left = w.left / ratio + "px";
      w.frame.style.top = w.top / ratio + "px";
      w.frame.style.width = w.width / ratio + "px";
      w.frame.style.height = w.height / ratio + "px";
      w.shownTop = w.top;
      w.shownHeight = w.height;
    }
    w.caption.style.display = !w.main && w.caption.textContent ? "" : "none";
  },

  showWindow(n) {
    const w = this.windows[n];
    if (!w) return;
    w.open = true;
    w.frame.style.display = "";
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

  // A rectangle of the page's picture, device pixels, RGBA.
  blit(x, y, width, height, rgba) {
    const w = this.windows[0];
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

  postKey(code, ch) {
    this.post([EVENT.KEY, this.line ? this.line.n : 0, code, ch]);
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
      this.post([EVENT.COMMAND, command, 0, 0]);
      return;
    }
    if (e.ctrlKey || e.metaKey) return;  // the browser's own shortcuts
    if (this.line && e.target === this.lineInput) {
      this.lineKey(e);
      return;
    }
    const code = { Enter: KEY_CODE.RETURN, Backspace: KEY_CODE.BACKSPACE, Escape: KEY_CODE.ESCAPE }[e.key]
      || KEY_CODE.OTHER;
    const chars = Array.from(e.key);
    const ch = chars.length === 1 ? chars[0].codePointAt(0) : 0;
    if (e.key === "Dead" || e.isComposing) return;
    e.preventDefault();
    if (this.line) this.mirrorKey(code, chars.length === 1 ? e.key : "");
    this.postKey(code, ch);
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
    // While a line is read, a tap anywhere gives its input the focus, inside
    // the tap, so that a touch screen shows its keyboard.
    if (this.line && e.target !== this.lineInput) this.lineInput.focus({ preventScroll: true });
    const inMenu = e.target.closest && e.target.closest("#hg-menubar, #hg-dropdown");
    if (inMenu) return;
    if (this.menu && this.menu.active) {
      // A click beside an open menu only closes it.
      this.closeMenu();
      return;
    }
    if (e.target.closest && e.target.closest("#hg-screen")) {
      if (e.target.closest(".hg-line-ok") || e.target === this.lineInput) return;
      e.preventDefault();
      this.post([EVENT.BUTTON_DOWN, this.windowAt(e.target), 0, 0]);
    }
  },

  // A click beside the line's input does not take its focus away.
  onMouseDown(e) {
    if (this.line && e.target !== this.lineInput) e.preventDefault();
  },

  onPointerUp(e) {
    this.buttons = e.buttons || 0;
    if (!this.ended) this.post([EVENT.BUTTON_UP, this.windowAt(e.target), 0, 0]);
  },

  // -------------------------------------------------------------- reading a line

  // A line is read in window n at device pixel (x, y) of its pixels, `height`
  // high. The program draws the echo and the text cursor itself; an input
  // element lies over the line, invisible, so that a touch screen opens its
  // keyboard (a number keyboard) and what is typed into it reaches the
  // program as keys: Backspace for each character taken away, then the new
  // characters. Return ends the line (or, on a touch screen, the button ↵).
  beginLine(n, x, y, height) {
    const w = this.windows[n];
    if (!w) return;
    clearTimeout(this.lineHide);
    if (!this.lineInput) this.makeLineInput();
    const input = this.lineInput, ok = this.lineOk;
    const ratio = this.area.ratio;
    input.setAttribute("aria-label", w.caption.textContent || document.title);
    w.frame.append(input, ok);
    const middle = ((w.main ? w.shownTop : 0) + y + height / 2) / ratio;
    input.style.left = x / ratio + "px";
    input.style.top = middle - 14 + "px";
    input.style.width = Math.max(40, (w.width - x) / ratio - 52) + "px";
    ok.style.top = middle - 22 + "px";
    input.style.display = ok.style.display = "";
    input.value = "";
    this.lineValue = "";
    this.line = { n: n };
    input.focus({ preventScroll: true });
  },

  endLine() {
    this.line = null;
    // Hidden once the program has gone on: a line asked again at once keeps
    // the input, and a touch screen its keyboard.
    clearTimeout(this.lineHide);
    this.lineHide = setTimeout(() => {
      if (this.line) return;
      this.lineInput.blur();
      this.lineInput.style.display = this.lineOk.style.display = "none";
      this.released();
    }, 0);
  },

  makeLineInput() {
    const input = document.createElement("input");
    input.className = "hg-line";
    input.type = "text";
    input.setAttribute("inputmode", "decimal");
    input.setAttribute("enterkeyhint", "done");
    input.setAttribute("autocomplete", "off");
    input.setAttribute("autocorrect", "off");
    input.setAttribute("autocapitalize", "off");
    input.spellcheck = false;
    input.addEventListener("input", () => this.lineTyped());
    // The caret stays at the end, where the program's echo ends.
    input.addEventListener("select", () => input.setSelectionRange(input.value.length, input.value.length));
    const ok = document.createElement("button");
    ok.type = "button";
    ok.className = "hg-line-ok";
    ok.textContent = "\u21b5";
    ok.setAttribute("aria-label", "Eingabe beenden");
    ok.addEventListener("pointerdown", (e) => {
      e.preventDefault();  // the input keeps the focus, and the keyboard stays
      if (this.line) this.postKey(KEY_CODE.RETURN, 0);
    });
    this.lineInput = input;
    this.lineOk = ok;
  },

  // What changed in the input since the program was last told.
  lineTyped() {
    if (!this.line) return;
    const before = Array.from(this.lineValue), after = Array.from(this.lineInput.value);
    let same = 0;
    while (same < before.length && same < after.length && before[same] === after[same]) ++same;
    for (let i = same; i < before.length; ++i) this.postKey(KEY_CODE.BACKSPACE, 0);
    for (const ch of after.slice(same)) this.postKey(KEY_CODE.OTHER, ch.codePointAt(0));
    this.lineValue = this.lineInput.value;
  },

  // A key pressed in the input: characters and Backspace edit it (and so
  // reach the program), Return ends the line; the caret does not move, and
  // Tab does not leave the input.
  lineKey(e) {
    if (e.key === "Enter") {
      e.preventDefault();
      this.postKey(KEY_CODE.RETURN, 0);
    } else if (e.key === "Escape") {
      e.preventDefault();
      this.postKey(KEY_CODE.ESCAPE, 0);
    } else if (["Tab", "ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", "Home", "End", "PageUp",
                "PageDown"].includes(e.key)) {
      e.preventDefault();
    }
  },

  // A key typed while the input lacks the focus is typed into it as well,
  // so that it stays what the program has been told.
  mirrorKey(code, text) {
    const input = this.lineInput;
    if (code === KEY_CODE.BACKSPACE) input.value = Array.from(input.value).slice(0, -1).join("");
    else if (code === KEY_CODE.OTHER && text) input.value += text;
    this.lineValue = input.value;
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
    bar.replaceChildren(this.statusGroup());
    this.menu = { bar: bar, menus: menus, active: false, title: 0, open: null, item: -1, enabled: true };
    menus.forEach((menu, m) => this.addTitle(menu, m));
    bar.style.display = "flex";
    this.layoutBar();
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
    // A mouse moving along the bar with a menu open opens the next; a finger
    // does not hover, its tap opens the menu it touches.
    menu.element.addEventListener("pointerenter", (e) => {
      if (e.pointerType !== "mouse") return;
      if (this.menu.open !== null && this.menu.open !== m && this.menu.enabled) this.openMenu(m, false);
    });
    this.menu.bar.insertBefore(menu.element, document.getElementById("hg-status-group"));
  },

  // The status line and, on a touch screen, the touch buttons before it.
  statusGroup() {
    let group = document.getElementById("hg-status-group");
    if (!group) {
      group = document.createElement("div");
      group.id = "hg-status-group";
      const status = document.createElement("span");
      status.id = "hg-status";
      group.append(status);
    }
    return group;
  },

  // The command menu after the others: per line an item's text, its key
  // ("Space", "Right", "Left", a letter, "Ctrl+" and a letter), the key's
  // label, its place among the touch buttons (-1: none) and the button's
  // label, a tab between. Its items are chosen by menu, by key, or by the
  // touch button.
  installCommands(title, text) {
    if (!this.menu) return;
    const menu = { title: title, items: [] };
    this.commands = [];
    const group = this.statusGroup();
    group.querySelectorAll(".hg-touch").forEach((b) => b.remove());
    const buttons = [];
    text.split("\n").filter((line) => line !== "").forEach((line, k) => {
      const [itemText, key, label, place, touchLabel] = line.split("\t");
      this.commands.push({ key: key, label: label });
      menu.items.push({ text: itemText, label: label, command: k });
      if (Number(place) >= 0) buttons.push({ place: Number(place), command: k, label: touchLabel || "", text: itemText });
    });
    buttons.sort((a, b) => a.place - b.place).forEach((b) => {
      const button = document.createElement("button");
      button.type = "button";
      button.className = "hg-touch";
      button.tabIndex = -1;
      button.textContent = b.label;
      button.setAttribute("aria-label", b.text.replace(/&(.)/g, "$1"));
      button.dataset.command = b.command;
      button.addEventListener("pointerdown", (e) => e.preventDefault());
      button.addEventListener("click", () => {
        if (this.menu.enabled && !this.box && !this.ended) this.post([EVENT.COMMAND, b.command, 0, 0]);
      });
      group.insertBefore(button, document.getElementById("hg-status"));
    });
    const m = this.menu.menus.length;
    this.menu.menus.push(menu);
    this.addTitle(menu, m);
    this.layoutBar();
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

  // The widest lines the status line will show, in full and short.
  setStatusRoom(widest, widestShort) {
    this.status.widest = widest;
    this.status.widestShort = widestShort;
    this.layoutBar();
  },

  setStatus(text, shortText) {
    const st = this.status;
    st.text = text;
    st.shortText = shortText;
    if (!st.widest) st.widest = text;
    if (!st.widestShort) st.widestShort = shortText;
    if (!this.menu) return;
    if (!document.getElementById("hg-status-group").isConnected) this.layoutBar();
    this.showStatus();
  },

  showStatus() {
    const status = document.getElementById("hg-status");
    if (!status) return;
    const text = this.status.mode === "full" ? this.status.text : this.status.mode === "short" ? this.status.shortText : "";
    if (status.textContent !== text) status.textContent = text;
  },

  // The titles wrap onto as many rows as the page's width needs. The status
  // line gives way to them: beside the titles in full where the widest line
  // fits there, else short; else on a row of its own, in full or short; else
  // hidden. The touch buttons stand before it, on the title row where they
  // fit beside it, else on its row.
  layoutBar() {
    if (!this.menu) return;
    const bar = this.menu.bar, group = this.statusGroup(), status = document.getElementById("hg-status");
    const st = this.status;
    if (!group.isConnected) bar.append(group);
    group.classList.remove("hg-own-row");
    group.style.display = "none";
    const titles = this.menu.menus.map((m) => m.element);
    const last = titles[titles.length - 1];
    const width = bar.clientWidth;
    const room = last ? width - (last.offsetLeft + last.offsetWidth) : width;
    group.style.display = "";
    const buttons = Array.from(group.querySelectorAll(".hg-touch")).reduce((sum, b) => sum + b.offsetWidth, 0);
    const full = this.textWidth(status, st.widest), short = this.textWidth(status, st.widestShort);
    let inline = true;
    if (room >= buttons + full) st.mode = "full";
    else if (room >= buttons + short) st.mode = "short";
    else {
      inline = false;
      st.mode = width >= buttons + full ? "full" : width >= buttons + short ? "short" : "hidden";
    }
    group.classList.toggle("hg-own-row", !inline);
    group.style.display = !inline && st.mode === "hidden" && buttons === 0 ? "none" : "";
    this.showStatus();
    this.fitBar();
  },

  // How wide the status element is with this text in it.
  textWidth(status, text) {
    const keep = status.textContent;
    status.textContent = text;
    const width = status.offsetWidth;
    status.textContent = keep;
    return width;
  },

  // The bar reaches down to a whole device pixel, where window 0 begins.
  fitBar() {
    const bar = this.menu.bar;
    bar.style.height = "";
    const ratio = this.area.ratio;
    this.barBottom = Math.ceil(bar.getBoundingClientRect().bottom * ratio - 0.01);
    bar.style.height = this.barBottom / ratio + "px";
  },

  // How far the bar reaches below the page's top, in device pixels.
  menuBarBottom() {
    return this.menu ? this.barBottom : 0;
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
    const title = menu.element;
    drop.style.left = "0px";
    drop.style.top = title.offsetTop + title.offsetHeight + "px";
    drop.style.display = "block";
    const left = Math.min(title.offsetLeft, this.menu.bar.clientWidth - drop.offsetWidth);
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
    this.post(item.command === undefined ? [EVENT.MENU, item.index, 0, 0] : [EVENT.COMMAND, item.command, 0, 0]);
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

  // -------------------------------------------------------------- the message box, the notice

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
    this.released();
  },

  // One line for the user at the page's foot, until it is closed.
  notice(text) {
    const notice = document.getElementById("hg-notice");
    notice.querySelector("span").textContent = text;
    notice.style.display = "flex";
    notice.querySelector("button").onclick = () => { notice.style.display = "none"; };
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
  // area on the page (window 0: the whole page), whether it is a pop-up (an
  // open menu), all in device pixels as a screenshot has them.
  windowList() {
    const ratio = this.area.ratio;
    const device = (r) => ({ x: Math.round(r.left * ratio), y: Math.round(r.top * ratio),
                             w: Math.round(r.width * ratio), h: Math.round(r.height * ratio) });
    const list = [];
    this.windows.forEach((w, n) => {
      if (!w || !w.open) return;
      const at = w.main ? { x: 0, y: 0, w: this.area.width, h: this.area.height }
                        : { x: w.left, y: w.top, w: w.width, h: w.height };
      list.push(Object.assign({ id: String(n), name: w.caption.textContent, viewable: true, override: false }, at));
    });
    const drop = document.getElementById("hg-dropdown");
    if (drop.style.display === "block")
      list.push(Object.assign({ id: "menu", name: "", viewable: true, override: true },
                              device(drop.getBoundingClientRect())));
    if (this.box) {
      const box = document.querySelector("#hg-modal .hg-box");
      list.push(Object.assign({ id: "box", name: box.querySelector(".hg-caption").textContent, viewable: true,
                                override: false }, device(box.getBoundingClientRect())));
    }
    return list;
  },
};
