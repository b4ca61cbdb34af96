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
    document.title = found ? name + what : shown.title;
    if (heading) heading.textContent = found ? lead + name : shown.heading;
  };
  window.addEventListener('hashchange', show);
  show();
}

startListTitles();

// ---- Occurrences of a name ---------------------------------------------------------------------
// Pointing at an identifier of a source page, or focusing its link, marks every identifier of the
// page that reads the same (class "Same"), as code browsers do; leaving it clears the marks. The
// identifiers are gathered by their text the first time.
function startOccurrences() {
  const code = document.querySelector('pre');
  if (!code || !code.querySelector('span.Identifier')) return;
  let byText = null;
  let marked = [];
  let shown = null; // the text marked now

  const identifierAt = (target) => {
    if (!(target instanceof Element) || !code.contains(target)) return null;
    if (target.matches('span.Identifier')) return target;
    return target.matches('a') ? target.querySelector(':scope > span.Identifier') : null;
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
