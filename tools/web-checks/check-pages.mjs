// Serves the HTML5 pages of a plan over HTTP to Debian's headless Chromium and prints, as JSON, what
// is wrong with each: axe-core's WCAG 2.2 A and AA violations and best practices, groups not closed
// after load, a click, Enter or Space that opens or closes more or less than the group's own
// subtree, a line-drawing character in the menu's accessible text, the current page's link not
// marked or its groups not open (at every address the page is opened under, and after following a
// link into a frame), a link without an address that looks like one, a page wider than a 320 px
// view or a name cut off at its edge, a style or script that its Content-Security-Policy blocks, Escape that does not close the group around the focus, printing that does not show every
// group, tree lines or a focus ring hard to see in the light or the dark scheme, a font that does
// not come back as named.
// Usage: node check-pages.mjs PLAN.json, where the plan is a list of
//   {file, folding, styled, groups, current, font, names, addresses, frames, reflow, policy}: the page,
//   whether its groups fold and whether it has the default style sheet, whether its
//   groups fold, how many groups it has, the text of the link to the page itself (or null), the font
//   it names (or null), the texts of its nodes, the addresses to open it under (relative to its
//   folder; its file name when absent), whether its links open in a frame, and whether it must fit
//   a view 320 px wide, and the Content-Security-Policy it is served with (or null).
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { basename, dirname, join } from 'node:path';
import { createRequire } from 'node:module';
import { chromium } from 'playwright-core';

const require = createRequire(import.meta.url);
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const wcagTags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22a', 'wcag22aa', 'best-practice'];
// Rules for a whole page with content of its own: the menu page is a navigation landmark, a
// footer and nothing else, made to sit in a frame or beside a site's pages.
const pageRules = { region: { enabled: false }, 'landmark-one-main': { enabled: false },
  'page-has-heading-one': { enabled: false } };
const lineDrawing = /[\u2500-\u257F]/u;

// Open state of every group, and whether every item is shown, in document order.
function snapshot(page) {
  return page.evaluate(() => ({
    open: [...document.querySelectorAll('nav details')].map((d) => d.open),
    shown: [...document.querySelectorAll('nav li')].map((li) => li.checkVisibility()),
  }));
}

async function axeFaults(page, when) {
  const result = await page.evaluate((tags) => axe.run(document, { runOnly: { type: 'tag', values: tags.tags }, rules: tags.rules }),
    { tags: wcagTags, rules: pageRules });
  return result.violations.map((v) => `axe ${when}: ${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
}

function openAll(page) {
  return page.evaluate(() => document.querySelectorAll('nav details').forEach((d) => { d.open = true; }));
}

// Every group heading, one after the other: its groups above it are opened first; then a click,
// Enter and Space each open it and close it again. Each time only its own details may change, and
// only items inside it may appear or vanish, its own children always among them.
async function toggleFaults(page, groups) {
  const faults = [];
  let actions = 0;
  for (let g = 0; g < groups; g++) {
    await page.evaluate((index) => {
      for (let up = document.querySelectorAll('nav details')[index].parentElement; up; up = up.parentElement)
        if (up.tagName === 'DETAILS') up.open = true;
    }, g);
    const inside = await page.evaluate((index) => {
      const details = document.querySelectorAll('nav details')[index];
      const items = [...document.querySelectorAll('nav li')];
      return {
        within: items.map((li) => details.contains(li)),
        children: items.map((li) => li.parentElement.parentElement === details),
        name: details.querySelector('summary').textContent,
      };
    }, g);
    const summary = page.locator('nav summary').nth(g);
    const steps = [
      () => summary.click(), () => summary.click(),
      () => summary.press('Enter'), () => summary.press('Enter'),
      () => summary.press('Space'), () => summary.press('Space'),
    ];
    const names = ['click', 'click', 'Enter', 'Enter', 'Space', 'Space'];
    for (let s = 0; s < steps.length; s++) {
      const before = await snapshot(page);
      await steps[s]();
      const after = await snapshot(page);
      actions++;
      const what = `${names[s]} on "${inside.name}"`;
      const flipped = after.open.map((open, i) => open !== before.open[i]);
      if (!flipped[g] || flipped.some((f, i) => f && i !== g))
        faults.push(`${what}: groups changed ${JSON.stringify(flipped)}`);
      const changed = after.shown.map((shown, i) => shown !== before.shown[i]);
      if (changed.some((c, i) => c && !inside.within[i]))
        faults.push(`${what}: an item outside the group appeared or vanished`);
      if (inside.children.some((child, i) => child && !changed[i]))
        faults.push(`${what}: a child of the group did not appear or vanish`);
    }
  }
  return { faults, actions };
}

// The menu's text as the browser gives it to a screen reader: the names of its text nodes.
async function accessibleTexts(page) {
  const client = await page.context().newCDPSession(page);
  const { nodes } = await client.send('Accessibility.getFullAXTree');
  await client.detach();
  const byId = new Map(nodes.map((n) => [n.nodeId, n]));
  const nav = nodes.find((n) => n.role?.value === 'navigation');
  const texts = [];
  const walk = (node) => {
    if (!node.ignored && node.role?.value === 'StaticText' && node.name?.value) texts.push(node.name.value);
    (node.childIds || []).forEach((id) => byId.has(id) && walk(byId.get(id)));
  };
  if (nav) walk(nav);
  return { found: Boolean(nav), texts };
}

// Which links are marked current, and how many groups are open that should be closed or the other
// way round: only the groups above a current link are open.
function currentState(page) {
  return page.evaluate(() => {
    const current = [...document.querySelectorAll('nav [aria-current]')];
    const shouldOpen = new Set();
    current.forEach((a) => { for (let up = a.parentElement; up; up = up.parentElement) if (up.tagName === 'DETAILS') shouldOpen.add(up); });
    return {
      current: current.map((a) => ({ text: a.textContent, value: a.getAttribute('aria-current') })),
      wrongOpen: [...document.querySelectorAll('nav details')].filter((d) => d.open !== shouldOpen.has(d)).length,
      hidden: [...document.querySelectorAll('nav li')].filter((li) => !li.checkVisibility()).length,
    };
  });
}

function currentFaults(state, currentText, when) {
  const faults = [];
  const expected = currentText === null ? [] : [{ text: currentText, value: 'page' }];
  if (JSON.stringify(state.current) !== JSON.stringify(expected))
    faults.push(`${when}: marked current: ${JSON.stringify(state.current)}, expected ${JSON.stringify(expected)}`);
  if (state.wrongOpen)
    faults.push(`${when}: ${state.wrongOpen} groups open that should be closed, or closed that should be open`);
  return faults;
}

// The page under each further address: the same link, and only it, is marked.
async function addressFaults(browser, origin, entry) {
  const faults = [];
  for (const address of entry.addresses.slice(1)) {
    const page = await browser.newPage();
    page.on('pageerror', (error) => faults.push(`${address}: script error: ${error.message}`));
    await page.goto(origin + address);
    faults.push(...currentFaults(await currentState(page), entry.current, address));
    await page.close();
  }
  return faults;
}

// In a page of frames, following a link moves the mark to it, unless the link is to a fragment,
// however spaced (the frame it opens in is not this page, so the browser opens a window for it,
// which is closed at once).
async function frameFaults(page) {
  const faults = [];
  page.context().on('page', (opened) => opened.close());
  const links = page.locator('nav a[href][target]');
  const count = await links.count();
  let marked = null;
  for (let i = 0; i < count; i++) {
    const href = await page.evaluate((index) => {
      const a = document.querySelectorAll('nav a[href][target]')[index];
      for (let up = a.parentElement; up; up = up.parentElement) if (up.tagName === 'DETAILS') up.open = true;
      return a.getAttribute('href');
    }, i);
    const text = await links.nth(i).textContent();
    await links.nth(i).click();
    if (!href.trim().startsWith('#')) marked = text;
    // Groups opened on the way stay open: only the mark is checked.
    faults.push(...currentFaults(await currentState(page), marked, `after following "${text}"`)
      .filter((fault) => !fault.includes('groups open')));
  }
  return faults;
}

// A link without an address is plain text: coloured as the text around it, no pointer.
function placeholderFaults(page) {
  return page.evaluate(() => [...document.querySelectorAll('nav a:not([href])')].flatMap((a) => {
    const own = getComputedStyle(a);
    const around = getComputedStyle(a.parentElement);
    return own.color === around.color && own.cursor !== 'pointer' && own.textDecorationLine === 'none' ? []
      : [`"${a.textContent}" has no address but looks like a link`];
  }));
}

// The names whose text reaches past either edge of the view, a right-to-left one as well.
const clippedNames = (page) => page.evaluate(() => [...document.querySelectorAll('nav a, nav summary')].filter((e) => {
  const range = document.createRange();
  range.selectNodeContents(e);
  const box = range.getBoundingClientRect();
  return box.width > 0 && (box.left < -0.5 || box.right > document.documentElement.clientWidth + 0.5);
}).map((e) => `"${e.textContent}" is cut off at ${innerWidth} px`));

// At 320 CSS pixels wide with every group open, the page needs no sideways scrolling; there and
// at the usual width every name is drawn whole.
async function reflowFaults(page) {
  const size = page.viewportSize();
  await openAll(page);
  const faults = await clippedNames(page);
  await page.setViewportSize({ width: 320, height: 640 });
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  faults.push(...await clippedNames(page));
  await page.setViewportSize(size);
  return width > 320 ? [...faults, `${width} px wide at a 320 px wide view`] : faults;
}

// Escape in an open group closes that group, the innermost one around the focus, and puts the
// focus on its heading.
async function escapeFaults(page) {
  const faults = [];
  const groups = await page.locator('nav details').count();
  for (let g = 0; g < groups; g++) {
    const focused = await page.evaluate((index) => {
      document.querySelectorAll('nav details').forEach((d) => { d.open = false; });
      const details = document.querySelectorAll('nav details')[index];
      for (let up = details; up; up = up.parentElement) if (up.tagName === 'DETAILS') up.open = true;
      const inside = details.querySelector(':scope > ul > li > a[href], :scope > ul > li > details > summary');
      inside?.focus();
      return Boolean(inside);
    }, g);
    if (!focused) continue;
    await page.keyboard.press('Escape');
    const after = await page.evaluate((index) => {
      const details = document.querySelectorAll('nav details')[index];
      return { open: details.open, onHeading: document.activeElement === details.querySelector('summary'),
        othersOpen: [...document.querySelectorAll('nav details')].filter((d) => d.open && d !== details).length,
        name: details.querySelector('summary').textContent };
    }, g);
    const ancestors = await page.evaluate((index) => {
      let count = 0;
      for (let up = document.querySelectorAll('nav details')[index].parentElement; up; up = up.parentElement)
        if (up.tagName === 'DETAILS') count++;
      return count;
    }, g);
    if (after.open || !after.onHeading || after.othersOpen !== ancestors)
      faults.push(`Escape in "${after.name}": open ${after.open}, focus on its heading ${after.onHeading}, ` +
        `${after.othersOpen} groups around it open of ${ancestors}`);
  }
  return faults;
}

// Printing shows every group open and leaves them as they were.
async function printFaults(page) {
  const before = await page.evaluate(() => {
    const all = [...document.querySelectorAll('nav details')];
    all.forEach((d, i) => { d.open = i % 2 === 0; });
    window.printedOpen = null;
    addEventListener('beforeprint', () => { window.printedOpen = all.map((d) => d.open); }, { once: true });
    return all.map((d) => d.open);
  });
  await page.pdf();
  const after = await page.evaluate(() => ({
    printed: window.printedOpen, now: [...document.querySelectorAll('nav details')].map((d) => d.open) }));
  const faults = [];
  if (!after.printed || after.printed.some((open) => !open))
    faults.push(`printed with groups closed: ${JSON.stringify(after.printed)}`);
  if (JSON.stringify(after.now) !== JSON.stringify(before))
    faults.push('groups not as they were after printing');
  return faults;
}

function luminance(color) {
  const [r, g, b] = color.match(/[\d.]+/g).slice(0, 3).map((v) => {
    const c = Number(v) / 255;
    return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
  });
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

function contrast(a, b) {
  const [light, dark] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (light + 0.05) / (dark + 0.05);
}

// In the light and the dark scheme: the tree lines and the focus ring stand out from the page by
// at least 3:1, and the ring is at least 2 px wide; axe checks the text.
async function schemeFaults(page) {
  const faults = [];
  for (const scheme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: scheme });
    await openAll(page);
    // A key pressed first makes the focus moved by the script show as it does for the keyboard.
    await page.keyboard.press('Tab');
    const seen = await page.evaluate(() => {
      let background = null;
      for (let e = document.querySelector('nav'); e && !background; e = e.parentElement) {
        const color = getComputedStyle(e).backgroundColor;
        if (color !== 'rgba(0, 0, 0, 0)') background = color;
      }
      // Chromium's canvas: white, or rgb(18, 18, 18) in a page that takes the dark scheme.
      const dark = matchMedia('(prefers-color-scheme: dark)').matches
        && getComputedStyle(document.documentElement).colorScheme.includes('dark');
      background ??= dark ? 'rgb(18, 18, 18)' : 'rgb(255, 255, 255)';
      const nested = document.querySelector('nav ul ul > li');
      const line = nested ? getComputedStyle(nested, '::before').borderLeftColor : null;
      const rings = [...document.querySelectorAll('nav a[href], nav summary')].slice(0, 20).map((e) => {
        e.focus();
        const style = getComputedStyle(e);
        return { width: parseFloat(style.outlineWidth), style: style.outlineStyle, color: style.outlineColor,
          name: e.textContent };
      });
      return { background, line, rings };
    });
    if (seen.line && contrast(seen.line, seen.background) < 3)
      faults.push(`${scheme}: tree lines ${seen.line} on ${seen.background}`);
    for (const ring of seen.rings) {
      if (ring.style === 'none' || ring.width < 2 || contrast(ring.color, seen.background) < 3)
        faults.push(`${scheme}: focus ring of "${ring.name}": ${ring.width}px ${ring.style} ${ring.color} on ${seen.background}`);
    }
    faults.push(...await axeFaults(page, `${scheme} scheme`));
  }
  await page.emulateMedia({ colorScheme: null });
  return faults;
}

// The style sheet took effect: no bullets, and the tree lines are drawn.
function styleAppliedFaults(page) {
  return page.evaluate(() => {
    const faults = [];
    const list = document.querySelector('nav ul');
    if (list && getComputedStyle(list).listStyleType !== 'none') faults.push('the menu shows bullets');
    const nested = document.querySelector('nav ul ul > li');
    if (nested && getComputedStyle(nested, '::before').borderLeftWidth !== '1px') faults.push('no tree lines');
    return faults;
  });
}

async function checkPage(browser, origin, entry) {
  const faults = [];
  const page = await browser.newPage();
  page.on('pageerror', (error) => faults.push(`script error: ${error.message}`));
  // A Content-Security-Policy that blocks the page's style or script reports it here.
  page.on('console', (message) => message.type() === 'error' && faults.push(`console: ${message.text()}`));
  await page.goto(origin + entry.addresses[0]);
  // Through the debugging protocol, which a Content-Security-Policy does not govern.
  await page.evaluate(axeSource);

  const details = await page.locator('nav details').count();
  if (details !== (entry.folding ? entry.groups : 0))
    faults.push(`${details} groups fold, expected ${entry.folding ? entry.groups : 0}`);

  // After load: closed, but for the groups above the link to this very page.
  const loaded = await currentState(page);
  faults.push(...currentFaults(loaded, entry.current, 'after load'));
  if (!entry.folding && loaded.hidden)
    faults.push(`${loaded.hidden} items hidden without folding`);
  faults.push(...await axeFaults(page, 'after load'));
  faults.push(...await placeholderFaults(page));
  faults.push(...await addressFaults(browser, origin, entry));

  const toggled = await toggleFaults(page, details);
  faults.push(...toggled.faults);

  await openAll(page);
  faults.push(...await axeFaults(page, 'all open'));
  const accessible = await accessibleTexts(page);
  if (!accessible.found)
    faults.push('no navigation landmark');
  const joined = accessible.texts.join('');
  if (lineDrawing.test(joined))
    faults.push(`line-drawing characters in the accessible text: ${joined}`);
  for (const name of entry.names) {
    if (name.trim() && !joined.includes(name))
      faults.push(`"${name}" is missing from the accessible text: ${joined}`);
  }

  if (entry.font !== null) {
    // The same name written with nothing but hex escapes, as the reference.
    const same = await page.evaluate((font) => {
      const probe = document.createElement('span');
      probe.style.fontFamily = '"' + [...font].map((c) => '\\' + c.codePointAt(0).toString(16) + ' ').join('') + '"';
      document.body.append(probe);
      const nav = getComputedStyle(document.querySelector('nav')).fontFamily;
      return { nav, expected: getComputedStyle(probe).fontFamily };
    }, entry.font);
    if (same.nav !== same.expected)
      faults.push(`font ${same.nav}, expected ${same.expected}`);
  }
  if (entry.frames)
    faults.push(...await frameFaults(page));
  if (entry.reflow)
    faults.push(...await reflowFaults(page));
  if (entry.folding) {
    faults.push(...await escapeFaults(page));
    faults.push(...await printFaults(page));
  }
  if (entry.styled) {
    faults.push(...await styleAppliedFaults(page));
    faults.push(...await schemeFaults(page));
  }
  await page.close();
  return { file: entry.file, faults, toggles: toggled.actions };
}

const types = { '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript' };

// Serves the folder of the pages, a directory's address as its index.html, each page with the
// Content-Security-Policy its entry names; the query is ignored.
function serve(folder, policies) {
  const server = createServer((request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path.endsWith('/')) path += 'index.html';
    if (path === '/favicon.ico') {
      response.writeHead(204);
      response.end();
      return;
    }
    try {
      const body = readFileSync(join(folder, path));
      const type = types[path.slice(path.lastIndexOf('.'))] || 'application/octet-stream';
      const policy = policies.get(basename(path));
      response.writeHead(200, policy ? { 'Content-Type': type, 'Content-Security-Policy': policy } : { 'Content-Type': type });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const plan = JSON.parse(readFileSync(process.argv[2], 'utf8'));
for (const entry of plan) entry.addresses = entry.addresses?.length ? entry.addresses : [basename(entry.file)];
const server = await serve(dirname(plan[0]?.file ?? '.'),
  new Map(plan.filter((entry) => entry.policy).map((entry) => [basename(entry.file), entry.policy])));
const origin = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const results = [];
  for (const entry of plan) results.push(await checkPage(browser, origin, entry));
  process.stdout.write(JSON.stringify(results) + '\n');
} finally {
  await browser.close();
  server.close();
}
