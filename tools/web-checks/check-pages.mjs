// Serves the HTML5 pages of a plan over HTTP to Debian's headless Chromium and prints, as JSON, what
// is wrong with each: axe-core's WCAG 2.2 A and AA violations and best practices, groups not closed
// after load, a click, Enter or Space that opens or closes more or less than the group's own
// subtree, a line-drawing character in the menu's accessible text, the current page's link not
// marked or its groups not open (at every address the page is opened under, and after following a
// link into a frame), a link without an address that looks like one, a page wider than a 320 px
// view, a font that does not come back as named.
// Usage: node check-pages.mjs PLAN.json, where the plan is a list of
//   {file, folding, groups, current, font, names, addresses, frames, reflow}: the page, whether its
//   groups fold, how many groups it has, the text of the link to the page itself (or null), the font
//   it names (or null), the texts of its nodes, the addresses to open it under (relative to its
//   folder; its file name when absent), whether its links open in a frame, and whether it must fit
//   a view 320 px wide.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { basename, dirname, join } from 'node:path';
import { createRequire } from 'node:module';
import { chromium } from 'playwright-core';

const require = createRequire(import.meta.url);
const axePath = require.resolve('axe-core/axe.min.js');
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

// In a page of frames, following a link moves the mark to it (the frame it opens in is not this
// page, so the browser opens a window for it, which is closed at once).
async function frameFaults(page) {
  const faults = [];
  page.context().on('page', (opened) => opened.close());
  const links = page.locator('nav a[href][target]');
  const count = await links.count();
  for (let i = 0; i < count; i++) {
    await page.evaluate((index) => {
      const a = document.querySelectorAll('nav a[href][target]')[index];
      for (let up = a.parentElement; up; up = up.parentElement) if (up.tagName === 'DETAILS') up.open = true;
    }, i);
    const text = await links.nth(i).textContent();
    await links.nth(i).click();
    // Groups opened on the way stay open: only the mark is checked.
    faults.push(...currentFaults(await currentState(page), text, `after following "${text}"`)
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

// At 320 CSS pixels wide with every group open, the page needs no sideways scrolling.
async function reflowFaults(page) {
  const size = page.viewportSize();
  await page.setViewportSize({ width: 320, height: 640 });
  await openAll(page);
  const width = await page.evaluate(() => document.documentElement.scrollWidth);
  await page.setViewportSize(size);
  return width > 320 ? [`${width} px wide at a 320 px wide view`] : [];
}

async function checkPage(browser, origin, entry) {
  const faults = [];
  const page = await browser.newPage();
  page.on('pageerror', (error) => faults.push(`script error: ${error.message}`));
  await page.goto(origin + entry.addresses[0]);
  await page.addScriptTag({ path: axePath });

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
  await page.close();
  return { file: entry.file, faults, toggles: toggled.actions };
}

const types = { '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript' };

// Serves the folder of the pages, a directory's address as its index.html; the query is ignored.
function serve(folder) {
  const server = createServer((request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path.endsWith('/')) path += 'index.html';
    try {
      const body = readFileSync(join(folder, path));
      const type = types[path.slice(path.lastIndexOf('.'))] || 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type });
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
const server = await serve(dirname(plan[0]?.file ?? '.'));
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
