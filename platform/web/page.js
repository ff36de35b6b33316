// page.js — the browser's side of heliogeo's window system: the page is the
// screen, window 0 the page below its menu bar, the other windows frames at
// their places over it, the message box a modal box on the page. What the
// windows show is one picture of the page (web_platform.cpp composes it) on
// one canvas. Input is collected here and handed to the program when it asks;
// while the program waits it sleeps here, and input wakes it. The menu bar is
// menubar.js's.
//
// Sizes the program gives and asks for are device pixels: the canvas has one
// pixel per device pixel, so that it is sharp at any pixel ratio; the page's
// own elements (menu bar, boxes) are laid out in CSS pixels as usual.
//
// What crosses to the program is named alike on both sides: web_platform.cpp
// has each table below under the name given with it.
"use strict";

// The kinds of event handed to the program (web_platform.cpp: PageEvent).
const EVENT = Object.freeze({
  KEY: 1,          // a key: window, key code (KEY_CODE), character
  BUTTON_DOWN: 2,  // a mouse button or a finger went down: window
  BUTTON_UP: 3,    // and up again: window; it hands nothing over, it wakes the
                   // program, which then asks for the buttons (HG.buttons)
  MENU: 4,         // a menu choice: the entry's index in the menu list
  COMMAND: 5,      // a command of the command menus, by menu, key or touch button: its position
  SCREEN: 6,       // the page's size or pixel ratio changed for good
});
// An event as the program reads it: four 32-bit integers, at these places
// (web_platform.cpp: PageEventRecord).
const EVENT_FIELD = Object.freeze({
  KIND: 0,       // EVENT
  WHICH: 1,      // KEY, BUTTON_DOWN, BUTTON_UP: the window; MENU: the entry's index; COMMAND: its position
  CODE: 2,       // KEY: KEY_CODE
  CHARACTER: 3,  // KEY: the character typed, as a code point; 0: none
  COUNT: 4,
});
// A key event's key code (web_platform.cpp: PageKeyCode).
const KEY_CODE = Object.freeze({
  OTHER: 0,      // a character, or a key the program takes as none
  RETURN: 1,     // Return, or the line's button ↵
  BACKSPACE: 2,  // Backspace, or a character taken out of the line's input
  ESCAPE: 3,     // Escape
});
// A size the program reads: two 32-bit integers (web_platform.cpp: PageSize).
const SIZE_FIELD = Object.freeze({
  WIDTH: 0,   // device pixels
  HEIGHT: 1,  // device pixels
});
// What the program reads of a text's letters: six 32-bit integers, device
// pixels (web_platform.cpp: PageTextMetrics).
const METRICS_FIELD = Object.freeze({
  ADVANCE: 0,      // how far the next text starts to the right
  HEIGHT: 1,       // ascent and descent
  MASK_X: 2,       // where the letters' mask starts, from the text's corner
  MASK_Y: 3,
  MASK_WIDTH: 4,   // the mask's size
  MASK_HEIGHT: 5,
});

// A change of the page's size counts once it has held this long (a turned
// tablet, a window dragged larger, sends many).
const SETTLE_MS = 400;
// On a touch screen: large targets and the touch buttons.
const TOUCH_QUERY = "(any-pointer: coarse)";

const HG = {
  area: { width: 1, height: 1, ratio: 1 },  // the page as the program knows it: device pixels
  screen: null,          // the element that stands for the screen
  windows: [],           // by number: {frame, caption, left, top, width, height, open, main; window 0: canvas, ctx}
  events: [],            // what the program has not taken yet: {kind (EVENT), which, code, character}
  buttons: 0,            // mouse buttons now down: 1 left, 2 right, 4 middle
  wakeUp: null,          // wakes the program while it sleeps
  timer: 0,              // and the time it sleeps at most
  menuBar: null,         // the menu bar (menubar.js)
  altAlone: false,       // Alt is down with no other key since
  box: null,             // the open message box
  line: null,            // the line being read: {n}
  lineInput: null,       // the input element that takes it
  lineOk: null,          // and the button that ends it
  lineHide: 0,           // hides them once the program has gone on
  lineValue: "",         // what the program has been told of the input's value
  screenPending: false,  // the page changed while a box or a line held the program
  settleTimer: 0,
  barBefore: 0,          // the menu bar's foot before the page began to change
  measured: new Map(),   // texts measured: METRICS_FIELD and more (metrics)
  scratch: null,         // a canvas the letters are drawn on

  // What scripts that test or time the page read (tests/end_to_end.py,
  // bench/bench_web.py).
  firstKeyWait: 0,       // when the program first waited for input (ms since the page began)
  screenRect: null,      // the program's 4:3 rectangle in the page, device pixels
  ended: false,          // the program has ended
  savedPictures: 0,      // pictures offered for download
  savedTexts: 0,         // text files offered for download
  // The menu bar is worked (by keyboard, or a menu is open), and the open
  // menu's number (null: none).
  get menuActive() { return !!this.menuBar && this.menuBar.active; },
  get menuOpen() { return this.menuBar ? this.menuBar.open : null; },
  // The status line's text in full, and which it shows: "full" or "short".
  get statusText() { return this.menuBar ? this.menuBar.status.text : ""; },
  get statusMode() { return this.menuBar ? this.menuBar.status.mode : "full"; },
  // The line at the page's foot.
  get noticeText() { return document.querySelector("#hg-notice span").textContent; },
  // And area (the page's size and pixel ratio), menuBarBottom() and windowList().

  // -------------------------------------------------------------- start, end

  start() {
    this.screen = document.getElementById("hg-screen");
    this.scratch = document.createElement("canvas").getContext("2d", { willReadFrequently: true });
    this.area = this.measure();
    // What the menu bar hands on: choices as events, a touch button's only
    // while no box holds the program and it has not ended.
    this.menuBar = this.menuBar || new MenuBar({
      menu: (index) => this.post(EVENT.MENU, index),
      command: (k) => this.post(EVENT.COMMAND, k),
      touch: (k) => { if (!this.box && !this.ended) this.post(EVENT.COMMAND, k); },
      ratio: () => this.area.ratio,
    });
    document.addEventListener("keydown", (e) => this.onKeyDown(e), true);
    document.addEventListener("keyup", (e) => this.onKeyUp(e), true);
    document.addEventListener("pointerdown", (e) => this.onPointerDown(e), true);
    document.addEventListener("mousedown", (e) => this.onMouseDown(e), true);
    document.addEventListener("pointerup", (e) => this.onPointerUp(e), true);
    document.addEventListener("pointercancel", (e) => this.onPointerUp(e), true);
    document.addEventListener("contextmenu", (e) => e.preventDefault());
    window.addEventListener("resize", () => this.pageChanged());
    // Nothing scrolls the screen (page.html clips it); where a browser does
    // all the same, bringing the line's input into view, it goes back at once.
    this.screen.addEventListener("scroll", () => this.screen.scrollTo(0, 0));
    this.watchRatio();
    matchMedia(TOUCH_QUERY).addEventListener("change", () => this.pageChanged());
  },

  end() {
    this.ended = true;
    this.menuBar.close();
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

  // The page's size into a size the program reads (SIZE_FIELD).
  areaInto(out) {
    HEAP32[(out >> 2) + SIZE_FIELD.WIDTH] = this.area.width;
    HEAP32[(out >> 2) + SIZE_FIELD.HEIGHT] = this.area.height;
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
    this.menuBar.layout();
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
    this.menuBar.layout();
    this.post(EVENT.SCREEN);
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

  // The canvas's size into a size the program reads (SIZE_FIELD).
  pageSizeInto(out) {
    const w = this.windows[0];
    HEAP32[(out >> 2) + SIZE_FIELD.WIDTH] = w ? w.canvas.width : 1;
    HEAP32[(out >> 2) + SIZE_FIELD.HEIGHT] = w ? w.canvas.height : 1;
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
      // A caption longer than its window reaches on to the right, as far as
      // the page goes (the width given is its text's: 14 CSS px of padding
      // and borders less, and it starts a pixel left of the window).
      w.caption.style.maxWidth = Math.max(w.width, this.area.width - w.left) / ratio - 12 + "px";
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

  // An event for the program (EVENT, and what EVENT_FIELD says of it); a
  // program that sleeps wakes.
  post(kind, which = 0, code = 0, character = 0) {
    this.events.push({ kind: kind, which: which, code: code, character: character });
    if (this.wakeUp) {
      clearTimeout(this.timer);
      const wake = this.wakeUp;
      this.wakeUp = null;
      wake();
    }
  },

  // The next event into the record the program reads (EVENT_FIELD); 0 if none.
  nextEvent(out) {
    const e = this.events.shift();
    if (!e) return 0;
    const at = out >> 2;
    HEAP32[at + EVENT_FIELD.KIND] = e.kind;
    HEAP32[at + EVENT_FIELD.WHICH] = e.which;
    HEAP32[at + EVENT_FIELD.CODE] = e.code;
    HEAP32[at + EVENT_FIELD.CHARACTER] = e.character;
    return 1;
  },

  postKey(code, ch) {
    this.post(EVENT.KEY, this.line ? this.line.n : 0, code, ch);
  },

  onKeyDown(e) {
    if (this.ended) return;
    // Ctrl or Cmd+S is the program's even where it chooses nothing (a box is
    // open, a line is read): never the browser's "save page".
    if ((e.ctrlKey || e.metaKey) && this.menuBar.commandIndex(e) >= 0) e.preventDefault();
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
    if (this.menuBar.wantsKey(e)) {
      e.preventDefault();
      this.menuBar.key(e);
      return;
    }
    const command = this.menuBar.commandFor(e);
    if (command >= 0) {
      e.preventDefault();
      this.post(EVENT.COMMAND, command);
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
    if (e.key === "Alt" && this.altAlone && this.menuBar.installed && !this.box && !this.ended) {
      // Alt on its own reaches the menu bar, and leaves it again.
      e.preventDefault();
      if (this.menuBar.active) this.menuBar.close();
      else this.menuBar.activate();
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
    if (this.menuBar.holds(e.target)) return;
    if (this.menuBar.active) {
      // A click beside an open menu only closes it.
      this.menuBar.close();
      return;
    }
    if (e.target.closest && e.target.closest("#hg-screen")) {
      if (e.target.closest(".hg-line-ok") || e.target === this.lineInput) return;
      e.preventDefault();
      this.post(EVENT.BUTTON_DOWN, this.windowAt(e.target));
    }
  },

  // A click beside the line's input does not take its focus away.
  onMouseDown(e) {
    if (this.line && e.target !== this.lineInput) e.preventDefault();
  },

  onPointerUp(e) {
    this.buttons = e.buttons || 0;
    if (!this.ended) this.post(EVENT.BUTTON_UP, this.windowAt(e.target));
  },

  // -------------------------------------------------------------- reading a line

  // A line is read in window n at device pixel (x, y) of its pixels, `height`
  // high. The program draws the echo and the text cursor itself; an input
  // element lies over the line, invisible, so that a touch screen opens its
  // keyboard (one for numbers, for a time step; or for text, for a date) and
  // what is typed into it reaches the program as keys: Backspace for each
  // character taken away, then the new characters. Return ends the line (or,
  // on a touch screen, the button ↵); Escape, where the program lets it.
  beginLine(n, x, y, height, numbers) {
    const w = this.windows[n];
    if (!w) return;
    clearTimeout(this.lineHide);
    if (!this.lineInput) this.makeLineInput();
    const input = this.lineInput, ok = this.lineOk;
    const ratio = this.area.ratio;
    input.setAttribute("aria-label", w.caption.textContent || document.title);
    w.frame.append(input, ok);
    const middle = ((w.main ? w.shownTop : 0) + y + height / 2) / ratio;
    // The button ↵ stands beside a window where the page has room for it,
    // over none of the line's echo; never above the window's top, where its
    // caption is.
    const beside = !w.main && (w.left + w.width) / ratio + 56 <= this.area.width / ratio;
    input.style.left = x / ratio + "px";
    input.style.top = middle - 14 + "px";
    input.style.width = Math.max(40, (w.width - x) / ratio - (beside ? 0 : 52)) + "px";
    ok.style.left = beside ? w.width / ratio + 4 + "px" : "";
    ok.style.right = beside ? "auto" : "";
    ok.style.top = Math.max(0, middle - 22) + "px";
    input.style.display = ok.style.display = "";
    input.setAttribute("inputmode", numbers ? "decimal" : "text");
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

  // -------------------------------------------------------------- the menu bar (menubar.js)

  // The program's menus (MenuBar.install); window 0 starts below them.
  installMenu(text) {
    this.menuBar.install(text);
    this.windows.forEach((w, n) => w && this.place(n));
  },

  // How far the bar reaches below the page's top, in device pixels.
  menuBarBottom() {
    return this.menuBar ? this.menuBar.foot() : 0;
  },

  // -------------------------------------------------------------- files offered for download

  // A file offered for download under its name.
  offer(blob, name) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  },

  // A canvas holding the picture (pixels 0xFFRRGGBB), opaque.
  pictureCanvas(pixels, width, height) {
    const canvas = document.createElement("canvas");
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
    return canvas;
  },

  // The picture as a PNG file.
  savePicture(name, pixels, width, height) {
    if (!HTMLCanvasElement.prototype.toBlob) return 0;
    const canvas = this.pictureCanvas(pixels, width, height);
    canvas.toBlob((blob) => { if (blob) this.offer(blob, name); }, "image/png");
    ++this.savedPictures;
    return 1;
  },

  // The picture as the bytes of a PNG file, kept for takePng: how many, or
  // -1 where the canvas gives none. The canvas writes its PNG at once only
  // as a data URL, whose base64 is undone here.
  pngBytes: null,
  encodePng(pixels, width, height) {
    this.pngBytes = null;
    const url = this.pictureCanvas(pixels, width, height).toDataURL("image/png");
    const head = "data:image/png;base64,";
    if (!url.startsWith(head)) return -1;
    const text = atob(url.slice(head.length));
    this.pngBytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) this.pngBytes[i] = text.charCodeAt(i);
    return this.pngBytes.length;
  },
  takePng(into) {
    if (this.pngBytes) HEAPU8.set(this.pngBytes, into);
    this.pngBytes = null;
  },

  // A text file: its bytes (UTF-8) as they are, of this MIME type.
  saveText(name, bytes, length, mimeType) {
    if (typeof Blob !== "function" || !URL.createObjectURL) return 0;
    const type = /charset/i.test(mimeType) ? mimeType : mimeType + ";charset=utf-8";
    this.offer(new Blob([HEAPU8.slice(bytes, bytes + length)], { type: type }), name);
    ++this.savedTexts;
    return 1;
  },

  // -------------------------------------------------------------- the message box, the notice, the screen reader

  // A box with these lines, a row each (an empty one keeps its height), and
  // OK; done once it is closed.
  messageBox(caption, lines) {
    this.menuBar.close();
    const modal = document.getElementById("hg-modal");
    modal.querySelector(".hg-caption").textContent = caption;
    modal.querySelector(".hg-lines").replaceChildren(...lines.map((line) => {
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

  // A line a screen reader says, once it is done with what it says now: the
  // text of a polite live region nobody sees. The same line again is told
  // apart by a space after it, so that it is said again.
  announce(text) {
    const region = document.getElementById("hg-announce");
    region.textContent = region.textContent === text ? text + "\u00a0" : text;
  },

  // -------------------------------------------------------------- text

  // "courier" is the browser's fixed-pitch face, "times" its serif face.
  font(face, size, bold) {
    const f = face.toLowerCase();
    const family = f === "courier" ? "monospace" : f === "times" ? "serif" : JSON.stringify(face) + ", sans-serif";
    return (bold ? "bold " : "") + size + "px " + family;
  },

  // What the program reads of a text (METRICS_FIELD), and where the letters
  // stand in their mask: the ascent and the padding round them.
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
    m = { advance: advance, height: ascent + descent, maskX: -pad, maskY: -pad, maskWidth: advance + 2 * pad,
          maskHeight: ascent + descent + 2 * pad, ascent: ascent, pad: pad };
    if (this.measured.size > 2000) this.measured.clear();
    this.measured.set(key, m);
    return m;
  },

  // A text's metrics into what the program reads (METRICS_FIELD).
  measureText(face, size, bold, text, out) {
    const m = this.metrics(face, size, bold, text), at = out >> 2;
    HEAP32[at + METRICS_FIELD.ADVANCE] = m.advance;
    HEAP32[at + METRICS_FIELD.HEIGHT] = m.height;
    HEAP32[at + METRICS_FIELD.MASK_X] = m.maskX;
    HEAP32[at + METRICS_FIELD.MASK_Y] = m.maskY;
    HEAP32[at + METRICS_FIELD.MASK_WIDTH] = m.maskWidth;
    HEAP32[at + METRICS_FIELD.MASK_HEIGHT] = m.maskHeight;
  },

  // The letters as the program draws them, without antialiasing (mask: 1 a
  // letter pixel), and how much of each pixel the browser's letters cover
  // (cover, 0 to 255), each of the mask's size (METRICS_FIELD). A pixel is a
  // letter pixel where the browser covers at least half of it, and where it
  // covers at least a quarter of it and no less than its left neighbour and
  // more than its right one: there a stem lies across two pixels. Browsers
  // place letters between whole pixels, so a stem one pixel wide often
  // covers half of each of two (WebKit less than half), which a plain
  // threshold loses: a "T" without its stem.
  letters(face, size, bold, text) {
    const { maskWidth: width, maskHeight: height, ascent, pad } = this.metrics(face, size, bold, text);
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
    const rgba = ctx.getImageData(0, 0, width, height).data;
    const cover = new Uint8Array(width * height), mask = new Uint8Array(width * height);
    for (let i = 0; i < cover.length; ++i) cover[i] = rgba[4 * i + 3];
    for (let i = 0; i < cover.length; ++i) {
      const c = cover[i], x = i % width;
      const left = x > 0 ? cover[i - 1] : 0, right = x + 1 < width ? cover[i + 1] : 0;
      mask[i] = c >= 128 || (c >= 64 && c >= left && c > right) ? 1 : 0;
    }
    return { width: width, height: height, cover: cover, mask: mask };
  },

  // The letters' mask into what the program reads (METRICS_FIELD's mask).
  glyphs(face, size, bold, text, mask) {
    HEAPU8.set(this.letters(face, size, bold, text).mask, mask);
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
    const menu = this.menuBar.openRect();
    if (menu) list.push(Object.assign({ id: "menu", name: "", viewable: true, override: true }, device(menu)));
    if (this.box) {
      const box = document.querySelector("#hg-modal .hg-box");
      list.push(Object.assign({ id: "box", name: box.querySelector(".hg-caption").textContent, viewable: true,
                                override: false }, device(box.getBoundingClientRect())));
    }
    return list;
  },
};
