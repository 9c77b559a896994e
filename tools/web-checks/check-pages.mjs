// Opens each HTML5 page of a plan in Debian's headless Chromium and prints, as JSON, what is wrong
// with it: axe-core's WCAG 2.1 A and AA violations, groups not closed after load, a click, Enter or
// Space that opens or closes more or less than the group's own subtree, a line-drawing character
// in the menu's accessible text, the current page's link not marked or its groups not open, a font
// that does not come back as named.
// Usage: node check-pages.mjs PLAN.json, where the plan is a list of
//   {file, folding, groups, current, font, names}: the page, whether its groups fold, how many
//   groups it has, the text of the link to the page itself (or null), the font it names (or null),
//   and the texts of its nodes.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const require = createRequire(import.meta.url);
const axePath = require.resolve('axe-core/axe.min.js');
const wcagTags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];
const lineDrawing = /[\u2500-\u257F]/u;

// Open state of every group, and whether every item is shown, in document order.
function snapshot(page) {
  return page.evaluate(() => ({
    open: [...document.querySelectorAll('nav details')].map((d) => d.open),
    shown: [...document.querySelectorAll('nav li')].map((li) => li.checkVisibility()),
  }));
}

async function axeFaults(page, when) {
  const result = await page.evaluate((tags) => axe.run(document, { runOnly: { type: 'tag', values: tags } }), wcagTags);
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

async function checkPage(browser, entry) {
  const faults = [];
  const page = await browser.newPage();
  page.on('pageerror', (error) => faults.push(`script error: ${error.message}`));
  await page.goto(pathToFileURL(entry.file).href);
  await page.addScriptTag({ path: axePath });

  const details = await page.locator('nav details').count();
  if (details !== (entry.folding ? entry.groups : 0))
    faults.push(`${details} groups fold, expected ${entry.folding ? entry.groups : 0}`);

  // After load: closed, but for the groups above the link to this very page.
  const loaded = await page.evaluate(() => {
    const current = [...document.querySelectorAll('nav [aria-current]')];
    const shouldOpen = new Set();
    current.forEach((a) => { for (let up = a.parentElement; up; up = up.parentElement) if (up.tagName === 'DETAILS') shouldOpen.add(up); });
    return {
      current: current.map((a) => ({ text: a.textContent, value: a.getAttribute('aria-current') })),
      wrongOpen: [...document.querySelectorAll('nav details')].filter((d) => d.open !== shouldOpen.has(d)).length,
      hidden: [...document.querySelectorAll('nav li')].filter((li) => !li.checkVisibility()).length,
    };
  });
  const expectedCurrent = entry.current === null ? [] : [{ text: entry.current, value: 'page' }];
  if (JSON.stringify(loaded.current) !== JSON.stringify(expectedCurrent))
    faults.push(`marked current: ${JSON.stringify(loaded.current)}, expected ${JSON.stringify(expectedCurrent)}`);
  if (loaded.wrongOpen)
    faults.push(`${loaded.wrongOpen} groups open after load that should be closed, or closed that should be open`);
  if (!entry.folding && loaded.hidden)
    faults.push(`${loaded.hidden} items hidden without folding`);
  faults.push(...await axeFaults(page, 'after load'));

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
  await page.close();
  return { file: entry.file, faults, toggles: toggled.actions };
}

const plan = JSON.parse(readFileSync(process.argv[2], 'utf8'));
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const results = [];
  for (const entry of plan) results.push(await checkPage(browser, entry));
  process.stdout.write(JSON.stringify(results) + '\n');
} finally {
  await browser.close();
}
