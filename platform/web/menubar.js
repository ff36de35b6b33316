// menubar.js — the page's menu bar: the program's menus as titles across
// the page's top, wrapped onto further rows where the page is narrow, each
// opening its items below it; the menus of commands after them, whose items
// have keys and, on a touch screen, buttons; and the status line at the
// bar's right end. It is worked by mouse, by taps, and by keyboard (Alt or
// F10, the arrow keys, Return, the underlined letters, Escape). A screen
// reader knows it as a menu bar of menus (ARIA roles).
//
// The bar knows nothing of the page's windows: it is handed what it needs
// as callbacks (`on`), and the page asks it what it must know.
"use strict";

// A command's key as the browser names it (KeyboardEvent.key), by the
// KeyName's number the program hands over (platform.h): None, Space, Left,
// Right, PageUp, PageDown, and a letter, which comes with the key.
const LETTER = "letter";
const COMMAND_KEY = [null, " ", "ArrowLeft", "ArrowRight", "PageUp", "PageDown", LETTER];

class MenuBar {
  // on.menu(index)      a menu entry was chosen: its line in the list installed
  // on.command(k)       a command was chosen by its menu or its key: its position
  // on.touch(k)         a touch button was pressed: the command's position
  // on.ratio()          device pixels per CSS pixel, as the program knows the page
  constructor(on) {
    this.on = on;
    this.bar = document.getElementById("hg-menubar");
    this.installed = false;
    this.menus = [];         // {title, items, element}; an item: {text, index} or {text, label, command}
    this.ownMenus = 0;       // how many of them are the program's own, before the menus of commands
    this.commands = [];      // the commands of those menus, by position: {key, letter, ctrl, label}
    this.active = false;     // worked by keyboard, or a menu is open
    this.title = 0;          // the title the keyboard is at
    this.open = null;        // the open menu's number, or null
    this.item = -1;          // the item marked in the open menu, or -1
    this.enabled = true;     // while a line is read nothing may be chosen
    this.bottom = 0;         // the bar's foot below the page's top, device pixels
    // The status line: its texts in full and short, the widest of each it
    // will show (what room it needs), and which it shows: "full" or "short".
    this.status = { text: "", shortText: "", widest: "", widestShort: "", mode: "full" };
  }

  // ------------------------------------------------------------ installing

  // The entries, one per line: a title, its items, an empty line closing the
  // menu; a second empty line ends the list. A choice is reported as the
  // chosen entry's line number.
  install(text) {
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
    this.bar.replaceChildren(this.statusGroup());
    this.statusGroup().querySelectorAll(".hg-touch").forEach((b) => b.remove());
    this.installed = true;
    this.menus = menus;
    this.ownMenus = menus.length;
    this.active = false;
    this.title = 0;
    this.open = null;
    this.item = -1;
    this.enabled = true;
    menus.forEach((menu, m) => this.addTitle(menu, m));
    this.bar.style.display = "flex";
    this.layout();
  }

  addTitle(menu, m) {
    menu.element = document.createElement("span");
    menu.element.className = "hg-title";
    menu.element.setAttribute("role", "menuitem");
    menu.element.setAttribute("aria-haspopup", "menu");
    menu.element.setAttribute("aria-expanded", "false");
    menu.element.append(MenuBar.label(menu.title));
    menu.element.addEventListener("pointerdown", (e) => {
      e.preventDefault();
      if (!this.enabled) return;
      if (this.open === m) this.close();
      else this.openMenu(m, false);
    });
    // A mouse moving along the bar with a menu open opens the next; a finger
    // does not hover, its tap opens the menu it touches.
    menu.element.addEventListener("pointerenter", (e) => {
      if (e.pointerType !== "mouse") return;
      if (this.open !== null && this.open !== m && this.enabled) this.openMenu(m, false);
    });
    this.bar.insertBefore(menu.element, document.getElementById("hg-status-group"));
  }

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
  }

  // The menus of commands after the others (a second call replaces them):
  // per menu its title on a line, then per item a line of its text, its key
  // (a KeyName's number, see COMMAND_KEY; the letter where that is Letter;
  // 1 where Ctrl is held with it, else 0), the key's label, its place among
  // the touch buttons (-1: none) and the button's label, a tab between, and
  // an empty line closing the menu (web_platform.cpp writes them so). A command is
  // chosen by menu, by key, or by its touch button, and reported by its
  // position through all these menus.
  installCommands(text) {
    if (!this.installed) return;
    this.close();
    this.menus.splice(this.ownMenus).forEach((menu) => menu.element.remove());
    this.commands = [];
    const group = this.statusGroup();
    group.querySelectorAll(".hg-touch").forEach((b) => b.remove());
    const buttons = [];
    const lines = text.split("\n");
    for (let i = 0; i < lines.length && lines[i] !== ""; ++i) {
      const menu = { title: lines[i], items: [] };
      for (++i; i < lines.length && lines[i] !== ""; ++i) {
        const [itemText, name, letter, ctrl, label, place, touchLabel] = lines[i].split("\t");
        const k = this.commands.length;
        this.commands.push({ key: COMMAND_KEY[Number(name)] ?? null, letter: letter, ctrl: ctrl === "1", label: label,
                             checked: null });
        menu.items.push({ text: itemText, label: label, command: k });
        if (Number(place) >= 0) buttons.push({ place: Number(place), command: k, label: touchLabel || "", text: itemText });
      }
      this.addTitle(menu, this.menus.length);
      this.menus.push(menu);
    }
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
        if (this.enabled) this.on.touch(b.command);
      });
      group.insertBefore(button, document.getElementById("hg-status"));
    });
    this.layout();
  }

  // ------------------------------------------------------------ keys of commands

  // The command a key press chooses, or -1. Keys belong to the menu bar while
  // it is worked by keyboard, and to the line being typed while the bar is
  // disabled.
  commandFor(e) {
    return !this.installed || this.active || !this.enabled ? -1 : this.commandIndex(e);
  }

  // A command marked as the one chosen of a set, or as not chosen (null: no
  // mark at all); the open menu shows it at once.
  setChecked(k, checked) {
    if (!this.commands[k]) return;
    this.commands[k].checked = checked;
    if (this.open === null) return;
    const rows = document.getElementById("hg-dropdown").children;
    this.menus[this.open].items.forEach((item, i) => { if (item.command === k) MenuBar.mark(rows[i], checked); });
  }

  // An item's mark: a check mark where it is on, for a screen reader an
  // item of a set that is checked or not.
  static mark(row, checked) {
    if (!row || checked === null) return;
    row.setAttribute("role", "menuitemradio");
    row.setAttribute("aria-checked", String(checked));
  }

  // The command whose key this is, whatever the program does now; -1 if none.
  commandIndex(e) {
    return e.altKey ? -1 : this.commands.findIndex((c) => c.key !== null && (e.ctrlKey || e.metaKey) === c.ctrl &&
      (c.key === LETTER ? e.key.length === 1 && e.key.toUpperCase() === c.letter : e.key === c.key));
  }

  // ------------------------------------------------------------ the status line

  // The widest lines the status line will show, in full and short.
  setStatusRoom(widest, widestShort) {
    this.status.widest = widest;
    this.status.widestShort = widestShort;
    this.layout();
  }

  setStatus(text, shortText) {
    const st = this.status;
    st.text = text;
    st.shortText = shortText;
    if (!st.widest) st.widest = text;
    if (!st.widestShort) st.widestShort = shortText;
    if (!this.installed) return;
    if (!document.getElementById("hg-status-group").isConnected) this.layout();
    this.showStatus();
  }

  showStatus() {
    const status = document.getElementById("hg-status");
    if (!status) return;
    const text = this.status.mode === "full" ? this.status.text : this.status.shortText;
    if (status.textContent !== text) status.textContent = text;
  }

  // ------------------------------------------------------------ layout

  // The titles wrap onto as many rows as the page's width needs. The status
  // line gives way to them: beside the titles in full where the widest line
  // fits there, else short; else on a row of its own, with the touch buttons
  // before it where they fit beside it, else under them (a phone's row of
  // buttons is full). It is never hidden: where even the widest short line is
  // wider than the page it wraps, its row as high as that line needs, so that
  // the bar does not change as the text does.
  layout() {
    if (!this.installed) return;
    const bar = this.bar, group = this.statusGroup(), status = document.getElementById("hg-status");
    const st = this.status;
    if (!group.isConnected) bar.append(group);
    group.classList.remove("hg-own-row", "hg-status-below");
    status.style.minHeight = "";
    group.style.display = "none";
    const titles = this.menus.map((m) => m.element);
    const last = titles[titles.length - 1];
    const width = bar.clientWidth;
    const room = last ? width - (last.offsetLeft + last.offsetWidth) : width;
    group.style.display = "";
    const buttons = Array.from(group.querySelectorAll(".hg-touch")).reduce((sum, b) => sum + b.offsetWidth, 0);
    const full = this.textWidth(status, st.widest), short = this.textWidth(status, st.widestShort);
    const fits = (across, text) => across >= buttons + text;
    let place = "bar";
    if (fits(room, full)) st.mode = "full";
    else if (fits(room, short)) st.mode = "short";
    else if (fits(width, full) || fits(width, short)) {
      place = "row";
      st.mode = fits(width, full) ? "full" : "short";
    } else {
      place = "below";
      st.mode = width >= full ? "full" : "short";
    }
    group.classList.toggle("hg-own-row", place !== "bar");
    group.classList.toggle("hg-status-below", place === "below");
    if (place === "below") {
      const keep = status.textContent;
      status.textContent = st.mode === "full" ? st.widest : st.widestShort;
      status.style.minHeight = status.getBoundingClientRect().height + "px";
      status.textContent = keep;
    }
    this.showStatus();
    this.fit();
  }

  // How wide the status element is with this text in it, on one line.
  textWidth(status, text) {
    const keep = status.textContent;
    status.textContent = text;
    const width = status.offsetWidth;
    status.textContent = keep;
    return width;
  }

  // The bar reaches down to a whole device pixel, where window 0 begins;
  // measured from the page's top as laid out, whatever the browser has
  // scrolled meanwhile.
  fit() {
    const bar = this.bar;
    bar.style.height = "";
    const ratio = this.on.ratio();
    this.bottom = Math.ceil((bar.offsetTop + bar.getBoundingClientRect().height) * ratio - 0.01);
    bar.style.height = this.bottom / ratio - bar.offsetTop + "px";
  }

  // How far the bar reaches below the page's top, in device pixels.
  foot() {
    return this.installed ? this.bottom : 0;
  }

  // Whether an element belongs to the bar or its open menu.
  holds(target) {
    return !!(target.closest && target.closest("#hg-menubar, #hg-dropdown"));
  }

  // Where the open menu stands on the page (CSS pixels), or null.
  openRect() {
    const drop = document.getElementById("hg-dropdown");
    return drop.style.display === "block" ? drop.getBoundingClientRect() : null;
  }

  // ------------------------------------------------------------ menus

  // "&" marks the next letter, which is underlined; "&&" is an "&".
  static label(text) {
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
  }

  static mnemonic(text) {
    const m = /&([^&])/.exec(text);
    return m ? m[1].toLowerCase() : null;
  }

  setEnabled(enabled) {
    if (!this.installed) return;
    this.enabled = enabled;
    this.bar.classList.toggle("hg-disabled", !enabled);
    this.bar.setAttribute("aria-disabled", String(!enabled));
    if (!enabled) this.close();
  }

  // The keyboard reaches the bar: its first title is marked.
  activate() {
    if (!this.installed || !this.enabled) return;
    this.close();
    this.active = true;
    this.title = 0;
    this.highlightTitle();
  }

  // The title the keyboard is at, and whether its menu is open.
  highlightTitle() {
    this.menus.forEach((menu, m) => {
      menu.element.classList.toggle("hg-current", this.active && m === this.title);
      menu.element.setAttribute("aria-expanded", String(m === this.open));
    });
  }

  openMenu(m, byKeyboard) {
    const menu = this.menus[m];
    this.active = true;
    this.title = m;
    this.open = m;
    this.item = byKeyboard ? 0 : -1;
    this.highlightTitle();
    const drop = document.getElementById("hg-dropdown");
    drop.replaceChildren();
    drop.setAttribute("aria-label", menu.title.replace(/&(.)/g, "$1"));
    menu.items.forEach((item, k) => {
      const row = document.createElement("div");
      row.className = "hg-item";
      row.setAttribute("role", "menuitem");
      if (item.command !== undefined) MenuBar.mark(row, this.commands[item.command].checked);
      row.append(MenuBar.label(item.text));
      if (item.label) {
        const key = document.createElement("span");
        key.className = "hg-key";
        key.textContent = item.label;
        row.append(key);
      }
      row.addEventListener("pointerenter", () => { this.item = k; this.highlightItem(); });
      row.addEventListener("pointerleave", () => { if (this.item === k) { this.item = -1; this.highlightItem(); } });
      row.addEventListener("pointerup", (e) => { e.preventDefault(); this.choose(item); });
      // The menu closes on the tap's pointerup; the click the browser makes
      // of the same tap afterwards must not land on what lies under it (a
      // touch button).
      row.addEventListener("touchend", (e) => e.preventDefault());
      drop.append(row);
    });
    // Under its title, or as far left as it must stand to be seen whole.
    const title = menu.element;
    drop.style.left = "0px";
    drop.style.top = title.offsetTop + title.offsetHeight + "px";
    drop.style.display = "block";
    const left = Math.min(title.offsetLeft, this.bar.clientWidth - drop.offsetWidth);
    drop.style.left = Math.max(0, left) + "px";
    this.highlightItem();
  }

  highlightItem() {
    const rows = document.getElementById("hg-dropdown").children;
    for (let k = 0; k < rows.length; ++k) rows[k].classList.toggle("hg-current", k === this.item);
  }

  // The bar is left: no menu open, no title marked.
  close() {
    if (!this.installed) return;
    this.active = false;
    this.open = null;
    this.item = -1;
    document.getElementById("hg-dropdown").style.display = "none";
    this.highlightTitle();
  }

  choose(item) {
    this.close();
    if (item.command === undefined) this.on.menu(item.index);
    else this.on.command(item.command);
  }

  // Whether a key press is the bar's: while it is worked by keyboard, and F10.
  wantsKey(e) {
    return this.installed && (this.active || e.key === "F10");
  }

  // The keyboard in the menu bar: Left and Right between the menus, Down or
  // Return opens one, Up and Down between its items, Return or an item's
  // underlined letter chooses it, Escape goes back.
  key(e) {
    if (!this.enabled) return;
    const count = this.menus.length;
    if (e.key === "F10" && !this.active) { this.activate(); return; }
    if (e.key === "F10" || (e.key === "Escape" && this.open === null)) { this.close(); return; }
    if (this.open === null) {
      if (e.key === "ArrowRight" || e.key === "ArrowLeft") {
        this.title = (this.title + (e.key === "ArrowRight" ? 1 : count - 1)) % count;
        this.highlightTitle();
      } else if (e.key === "ArrowDown" || e.key === "Enter" || e.key === " ") {
        this.openMenu(this.title, true);
      }
      return;
    }
    const items = this.menus[this.open].items;
    if (e.key === "Escape") {
      document.getElementById("hg-dropdown").style.display = "none";
      this.open = null;
      this.highlightTitle();
    } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
      const step = e.key === "ArrowDown" ? 1 : items.length - 1;
      this.item = this.item < 0 ? 0 : (this.item + step) % items.length;
      this.highlightItem();
    } else if (e.key === "ArrowRight" || e.key === "ArrowLeft") {
      this.openMenu((this.open + (e.key === "ArrowRight" ? 1 : count - 1)) % count, true);
    } else if (e.key === "Enter" || e.key === " ") {
      if (this.item >= 0) this.choose(items[this.item]);
    } else if (e.key.length === 1 && !e.ctrlKey && !e.metaKey) {  // Ctrl+S is no "&S"
      const letter = e.key.toLowerCase();
      const found = items.find((item) => MenuBar.mnemonic(item.text) === letter);
      if (found) this.choose(found);
    }
  }
}
