// lexpaint.js: the one script that every page of a lexpaint site shares. Pages read fully
// without it; it only adds to them. It uses no framework and no external resource, and works
// from file:// as well as over HTTP. Each part below is independent of the others and starts
// once the page is parsed (the script is loaded with `defer`).
"use strict";

// ---- Line ranges -------------------------------------------------------------------------------
// An address such as #L200-L210 marks lines 200 to 210 (class "Marked") and scrolls line 200 into
// view. A click on a line number, then a shift-click on another, makes such an address.
function startLineRanges() {
  if (!document.querySelector('pre a.Line')) return;
  let marked = [];
  let lastLine = null; // the line number clicked last, from which a shift-click reaches
  let quiet = false; // the next change of address comes from a shift-click: no scrolling

  const singleLine = (hash) => {
    const match = /^#L(\d+)$/.exec(hash);
    return match ? Number(match[1]) : null;
  };
  const show = (scroll) => {
    for (const line of marked) line.classList.remove('Marked');
    marked = [];
    const match = /^#L(\d+)-L(\d+)$/.exec(location.hash);
    if (!match) return;
    const [first, last] = [Number(match[1]), Number(match[2])].sort((a, b) => a - b);
    for (let number = first; number <= last; number++) {
      const line = document.getElementById(`L${number}`);
      if (!line) break;
      line.classList.add('Marked');
      marked.push(line);
    }
    if (scroll && marked.length) marked[0].scrollIntoView({ block: 'start' });
  };

  document.addEventListener('click', (event) => {
    const line = event.target instanceof Element ? event.target.closest('a.Line') : null;
    if (!line || event.button !== 0) return;
    const number = Number(line.id.slice(1));
    const from = lastLine ?? singleLine(location.hash);
    if (!event.shiftKey || from === null || from === number) {
      lastLine = number;
      return;
    }
    event.preventDefault();
    const [first, last] = [from, number].sort((a, b) => a - b);
    quiet = true;
    location.hash = `#L${first}-L${last}`;
    // Marked at once rather than when "hashchange" comes, which is later.
    show(false);
  });
  window.addEventListener('hashchange', () => {
    if (singleLine(location.hash) !== null) lastLine = singleLine(location.hash);
    show(!quiet);
    quiet = false;
  });
  show(true);
}

startLineRanges();

// ---- Titles of list pages ----------------------------------------------------------------------
// A list page holds a section for each of a run of names, and is titled "FIRST … LAST — WHAT" and
// headed with the run after what it lists ("Uses of FIRST … LAST"). Opened at #NAME, it is titled
// and headed with that name instead, the one the reader came for.
function startListTitles() {
  if (!document.body.matches('.Names, .Uses')) return;
  const heading = document.querySelector('main > h1');
  const shown = { title: document.title, heading: heading ? heading.textContent : '' };
  const dash = shown.title.lastIndexOf(' \u2014 ');
  const run = dash < 0 ? shown.title : shown.title.slice(0, dash);
  const what = dash < 0 ? '' : shown.title.slice(dash);
  const lead = shown.heading.endsWith(run) ? shown.heading.slice(0, shown.heading.length - run.length) : '';
  const show = () => {
    let name = '';
    try {
      name = decodeURIComponent(location.hash.slice(1));
    } catch {
      name = '';
    }
    const section = name ? document.getElementById(name) : null;
    const found = section !== null && section.localName === 'section';
    // A section of some of a name's definitions is named "NAME@FILES": the reader came for NAME.
    const shownName = name.split('@')[0];
    document.title = found ? shownName + what : shown.title;
    if (heading) heading.textContent = found ? lead + shownName : shown.heading;
  };
  window.addEventListener('hashchange', show);
  show();
}

startListTitles();

// ---- Occurrences of a name ---------------------------------------------------------------------
// Pointing at an identifier of a source page, or focusing its link, marks every identifier of the
// page that reads the same (class "Same"), as code browsers do; leaving it clears the marks. The
// identifiers are gathered by their text the first time. The letters that end a number, as the A
// of 0x0A, stand right after it as identifiers of their own, but are no names.
function startOccurrences() {
  const code = document.querySelector('pre');
  if (!code || !code.querySelector('span.Identifier')) return;
  let byText = null;
  let marked = [];
  let shown = null; // the text marked now

  const isName = (span) => !span.previousSibling?.matches?.('span.Number');
  const identifierAt = (target) => {
    if (!(target instanceof Element) || !code.contains(target)) return null;
    const span = target.matches('a') ? target.querySelector(':scope > span.Identifier') : target;
    return span?.matches('span.Identifier') && isName(span) ? span : null;
  };
  const mark = (identifier) => {
    const text = identifier ? identifier.textContent : null;
    if (text === shown) return;
    for (const span of marked) span.classList.remove('Same');
    shown = text;
    marked = [];
    if (text === null) return;
    if (!byText) {
      byText = new Map();
      for (const span of code.querySelectorAll('span.Identifier')) {
        if (!isName(span)) continue;
        const same = byText.get(span.textContent);
        if (same) same.push(span);
        else byText.set(span.textContent, [span]);
      }
    }
    marked = byText.get(text) ?? [];
    for (const span of marked) span.classList.add('Same');
  };

  document.addEventListener('mouseover', (event) => mark(identifierAt(event.target)));
  document.addEventListener('focusin', (event) => mark(identifierAt(event.target)));
  document.addEventListener('focusout', () => mark(null));
}

startOccurrences();

// ---- Search ------------------------------------------------------------------------------------
// A search box in the top bar finds files by name or path, the names the tree defines, and, on a
// source page, the page's own definitions (the empty box) and its lines (":42"). `/` focuses it;
// ?search=TEXT opens a page with its results shown. Its index lies in search/ beside this script
// (docs/search-index.md): search/files.js and search/names.js once the box is first used, then
// search/names/*.js or search/first/*.js for the names a query needs, and search/outline/*.js for
// the outline; each is a script that calls lexpaintIndex(NAME, DATA).
function startSearch(root) {
  const top = document.querySelector('header.Top');
  if (!top || !root) return;
  const MAX_RESULTS = 50;
  const MAX_OUTLINE = 2000;

  // The parts of the index, each loaded once, by a <script> element, which works from file://.
  const parts = new Map();
  const arrivals = new Map();
  window.lexpaintIndex = (name, data) => {
    const arrived = arrivals.get(name);
    if (arrived) arrived(data);
  };
  const load = (name) => {
    if (!parts.has(name)) {
      parts.set(name, new Promise((resolve) => {
        arrivals.set(name, resolve);
        const script = document.createElement('script');
        script.src = new URL(`search/${name}.js`, root).href;
        script.onerror = () => resolve(null);
        document.head.append(script);
      }));
    }
    return parts.get(name);
  };

  // An href as the site writes it: every byte but letters, digits and -._~ percent-encoded.
  const encode = (name) => encodeURIComponent(name).replace(/[!'()*]/g,
    (c) => `%${c.charCodeAt(0).toString(16).toUpperCase()}`);
  const decode = (text) => {
    try {
      return decodeURIComponent(text);
    } catch {
      return text;
    }
  };
  const lower = (text) => text.replace(/[A-Z]+/g, (c) => c.toLowerCase());

  let index = null; // the files and the name parts, once loaded
  const loadIndex = () => {
    index ??= Promise.all([load('files'), load('names')]).then(([files, names]) => {
      files ??= { folders: [], pages: [], outlines: [] };
      const pages = files.pages.map(([folder, name, href], number) => {
        const [folderPath, folderHref] = files.folders[folder];
        const path = folderPath ? `${folderPath}/${name}` : name;
        return {
          number, name, path, lowerName: lower(name), lowerPath: lower(path),
          href: href ?? `${folderHref ? `${folderHref}/` : ''}${encode(name)}.html`,
        };
      });
      return { pages, outlines: files.outlines, names: names ?? { kinds: [], types: [], runs: [] } };
    });
    return index;
  };

  // The box, its results and a line that says what they are.
  const box = document.createElement('div');
  box.className = 'Search';
  box.setAttribute('role', 'search');
  const input = document.createElement('input');
  Object.assign(input, { type: 'search', id: 'lexpaint-search', autocomplete: 'off', spellcheck: false });
  input.placeholder = 'Search files and names (/)';
  input.setAttribute('aria-label', 'Search files and names');
  input.setAttribute('role', 'combobox');
  input.setAttribute('aria-autocomplete', 'list');
  input.setAttribute('aria-expanded', 'false');
  input.setAttribute('aria-controls', 'lexpaint-results');
  const popup = document.createElement('div');
  popup.className = 'Results';
  popup.hidden = true;
  const list = document.createElement('div');
  list.id = 'lexpaint-results';
  list.setAttribute('role', 'listbox');
  list.setAttribute('aria-label', 'Results');
  const note = document.createElement('p');
  note.className = 'Note';
  note.setAttribute('aria-live', 'polite');
  popup.append(list, note);
  box.append(input, popup);
  top.append(box);
  top.classList.add('WithSearch');

  let options = [];
  let selected = -1;
  let shownQuery = null; // the query whose results are shown
  let openWhenShown = false; // Enter was pressed before the results of the query were shown

  const select = (k) => {
    if (selected >= 0) options[selected].setAttribute('aria-selected', 'false');
    selected = options.length ? (k + options.length) % options.length : -1;
    if (selected < 0) {
      input.removeAttribute('aria-activedescendant');
      return;
    }
    options[selected].setAttribute('aria-selected', 'true');
    input.setAttribute('aria-activedescendant', options[selected].id);
    options[selected].scrollIntoView({ block: 'nearest' });
  };
  const close = () => {
    popup.hidden = true;
    input.setAttribute('aria-expanded', 'false');
    input.removeAttribute('aria-activedescendant');
  };
  const show = (query, results, message) => {
    list.replaceChildren();
    options = results.map((result, k) => {
      const option = document.createElement('a');
      option.id = `lexpaint-result-${k}`;
      option.href = new URL(result.href, root).href;
      option.tabIndex = -1;
      option.setAttribute('role', 'option');
      option.setAttribute('aria-selected', 'false');
      const parts = [['Name', result.name], ['What', result.what], ['Where', result.where]];
      for (const [className, text] of parts) {
        const span = document.createElement('span');
        span.className = className;
        span.textContent = text;
        option.append(span);
      }
      list.append(option);
      return option;
    });
    note.textContent = message;
    popup.hidden = false;
    input.setAttribute('aria-expanded', 'true');
    selected = -1;
    select(0);
    shownQuery = query;
    list.dataset.query = query;
    if (openWhenShown) {
      openWhenShown = false;
      open();
    }
  };
  const open = () => {
    const line = /^:(\d+)$/.exec(input.value.trim());
    if (line) {
      close();
      location.hash = `#L${line[1]}`;
    } else if (selected >= 0) {
      close();
      location.assign(options[selected].href);
    }
  };

  // Files: the name itself, then names that start with the query, then paths that hold it, then
  // paths that hold its letters in order, the closer together the better.
  const spread = (query, text) => {
    let first = -1;
    let at = -1;
    for (const c of query) {
      at = text.indexOf(c, at + 1);
      if (at < 0) return null;
      if (first < 0) first = at;
    }
    return at - first;
  };
  const findFiles = (query, pages) => {
    const found = [];
    for (const page of pages) {
      let rank;
      if (page.lowerName === query) rank = 0;
      else if (page.lowerName.startsWith(query)) rank = 1;
      else if (page.lowerPath.includes(query)) rank = 2;
      else {
        const inName = spread(query, page.lowerName);
        const inPath = inName === null ? spread(query, page.lowerPath) : null;
        if (inName === null && inPath === null) continue;
        rank = 3 + (inName ?? 1e4 + inPath);
      }
      // The match first, then the shorter path; the walk's order breaks ties.
      found.push({ key: rank * 1e5 + page.path.length, match: Math.min(rank, 3), page });
    }
    found.sort((a, b) => a.key - b.key || a.page.number - b.page.number);
    return found.slice(0, MAX_RESULTS).map(({ match, page }) => ({
      match, group: 0, name: page.name, what: 'file', where: page.path, href: page.href,
    }));
  };

  // Names: as the index's words split them (docs/search-index.md).
  const isSmall = (c) => c >= 97 && c <= 122;
  const isCapital = (c) => c >= 65 && c <= 90;
  const isDigit = (c) => c >= 48 && c <= 57;
  const startsWord = (name, at) => {
    if (at === 0) return true;
    const c = name.charCodeAt(at);
    const before = name.charCodeAt(at - 1);
    if (before === 95 || before === 36) return c !== 95 && c !== 36; // '_' and '$'
    if (!isCapital(c)) return false;
    return isSmall(before) || isDigit(before) || (isCapital(before) && isSmall(name.charCodeAt(at + 1)));
  };
  const encodeKey = (query) => [...new TextEncoder().encode(lower(query))].map((byte) => {
    const c = String.fromCharCode(byte);
    return /[a-z0-9_]/.test(c) ? c : `-${byte.toString(16).padStart(2, '0')}`;
  }).join('');
  // The part that holds the names of `query`: the run of keys it falls in, or the first names of
  // those starting with it where they go on into the next run.
  const namePart = (query, runs) => {
    if (!/^[A-Za-z0-9_$\u0080-\uffff]+$/.test(query) || !runs.length) return null;
    const key = encodeKey(query);
    let next = 0;
    while (next < runs.length && runs[next] <= key) next++;
    if (next < runs.length && runs[next].startsWith(key)) return `first/${key}`;
    return `names/${runs[next - 1] || '-'}`;
  };
  // A part's entries, each with its lowercase name and where its words start, worked out once.
  const prepared = new Map();
  const prepare = (part, entries, names) => {
    if (!prepared.has(part)) {
      prepared.set(part, (entries ?? []).map((entry) => {
        const [name, kind] = entry;
        const starts = [];
        for (let at = 1; at < name.length; at++) if (startsWord(name, at)) starts.push(at);
        return { name, lowerName: lower(name), starts, kind, type: names.types.includes(kind) ? 0 : 1, entry };
      }));
    }
    return prepared.get(part);
  };
  const findNames = (query, entries, names, pages) => {
    const found = [];
    for (const item of entries) {
      const { lowerName } = item;
      let match = -1;
      if (lowerName === query) match = 0;
      else if (lowerName.startsWith(query)) match = 1;
      else if (item.starts.some((at) => lowerName.startsWith(query, at))) match = 2;
      if (match >= 0) found.push({ match, item });
    }
    found.sort((a, b) => a.match - b.match || a.item.name.length - b.item.name.length ||
      (a.item.lowerName < b.item.lowerName ? -1 : a.item.lowerName > b.item.lowerName ? 1 : 0) ||
      a.item.type - b.item.type || (a.item.name < b.item.name ? -1 : 1));
    return found.slice(0, MAX_RESULTS).map(({ match, item: { name, kind, entry } }) => {
      const what = names.kinds[kind] ?? '';
      if (typeof entry[2] === 'string') {
        return { match, group: 1, name, what, where: `${entry[3]} definitions`, href: entry[2] };
      }
      const page = pages[entry[2]];
      const count = entry[4] ? `, 1 of ${entry[4]} definitions` : '';
      return {
        match, group: 1, name, what, where: `${page ? page.path : '?'}:${entry[3]}${count}`,
        href: `${page ? page.href : ''}#L${entry[3]}`,
      };
    });
  };

  // The page's own definitions, in line order.
  const thisPage = (pages) => {
    const here = decode(location.pathname);
    const base = decode(new URL(root).pathname);
    if (!here.startsWith(base)) return null;
    const path = here.slice(base.length);
    return pages.find((page) => decode(page.href) === path) ?? null;
  };
  const outline = async () => {
    const { pages, outlines, names } = await loadIndex();
    const page = document.body.classList.contains('Source') ? thisPage(pages) : null;
    if (!page) return null;
    let chunk = 0;
    while (chunk + 1 < outlines.length && outlines[chunk + 1] <= page.number) chunk++;
    const data = outlines.length ? await load(`outline/${outlines[chunk]}`) : null;
    const flat = data?.[page.number - outlines[chunk]] ?? [];
    const results = [];
    for (let k = 0; k < flat.length && results.length < MAX_OUTLINE; k += 3) {
      const [name, kind, line] = flat.slice(k, k + 3);
      results.push({ name, what: names.kinds[kind] ?? '', where: `line ${line}`, href: `${page.href}#L${line}` });
    }
    const more = flat.length / 3 > results.length ? ` (the first ${results.length})` : '';
    return { results, message: results.length ? `Definitions of this page${more}` : 'This page defines no name' };
  };

  let latest = 0; // the number of the latest query, whose results alone are shown
  const run = async () => {
    const number = ++latest;
    const text = input.value.trim();
    let found;
    if (text === '') {
      found = await outline();
      if (!found) {
        if (number === latest) close();
        return;
      }
    } else if (/^:\d*$/.test(text)) {
      found = { results: [], message: text.length > 1 ? `Enter goes to line ${text.slice(1)}` : 'Type a line number' };
    } else {
      const query = lower(text);
      const { pages, names } = await loadIndex();
      const part = namePart(text, names.runs);
      const entries = part ? prepare(part, await load(part), names) : [];
      const results = [...findFiles(query, pages), ...findNames(query, entries, names, pages)];
      results.sort((a, b) => a.match - b.match || a.group - b.group);
      found = { results: results.slice(0, MAX_RESULTS), message: results.length ? '' : 'No file or name matches' };
    }
    if (number === latest) show(input.value, found.results, found.message);
  };

  document.addEventListener('keydown', (event) => {
    if (event.target === input) {
      if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        if (popup.hidden) run();
        else select(selected + (event.key === 'ArrowDown' ? 1 : -1));
      } else if (event.key === 'Enter') {
        event.preventDefault();
        if (shownQuery === input.value || /^:\d+$/.test(input.value.trim())) open();
        else openWhenShown = true;
      } else if (event.key === 'Escape') {
        event.preventDefault();
        if (popup.hidden) input.blur();
        close();
      }
      return;
    }
    const typing = event.target instanceof Element &&
      event.target.closest('input, textarea, select, [contenteditable]:not([contenteditable="false"])');
    if (event.key !== '/' || typing || event.ctrlKey || event.metaKey || event.altKey) return;
    event.preventDefault();
    input.focus();
    input.select();
  });
  document.addEventListener('input', (event) => {
    if (event.target !== input) return;
    shownQuery = null;
    run();
  });
  document.addEventListener('focusin', (event) => {
    if (event.target === input && popup.hidden) run();
  });
  document.addEventListener('focusout', (event) => {
    if (box.contains(event.target) && !box.contains(event.relatedTarget)) close();
  });
  document.addEventListener('click', (event) => {
    if (!popup.hidden && event.target instanceof Node && !box.contains(event.target)) close();
    if (event.target instanceof Element && event.target.closest('#lexpaint-results a')) close();
  });

  const asked = new URLSearchParams(location.search).get('search');
  if (asked !== null) {
    input.value = asked;
    input.focus();
  }
}

startSearch(document.currentScript ? new URL('.', document.currentScript.src) : null);
