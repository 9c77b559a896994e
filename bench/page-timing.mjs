// Times HTML5 pages in Debian's headless Chromium: the first paint, the script's marking of the
// current page, and a group heading's click until the next frame is drawn. Each page is served
// over HTTP at the address of its middle link, so the marking finds that link and opens its groups.
// Usage: node bench/page-timing.mjs PAGE.html...   (prints one JSON line per page, times in ms)
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';

const require = createRequire(join(dirname(new URL(import.meta.url).pathname), '../tools/web-checks/package.json'));
const { chromium } = require('playwright-core');
const runs = 5;

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Every address is the page; its style and script files are served beside it.
function serve(page) {
  const server = createServer((request, response) => {
    const path = new URL(request.url, 'http://localhost').pathname;
    const suffix = path.slice(path.lastIndexOf('.'));
    const file = suffix === '.css' || suffix === '.js' ? join(dirname(page), path) : page;
    const types = { '.css': 'text/css', '.js': 'text/javascript' };
    try {
      const body = readFileSync(file);
      response.writeHead(200, { 'Content-Type': types[suffix] || 'text/html; charset=utf-8' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function firstPaint(browser, address) {
  const page = await browser.newPage();
  await page.goto(address, { waitUntil: 'load', timeout: 120000 });
  const paint = await page.evaluate(() => new Promise((resolve) => {
    new PerformanceObserver((list) => {
      const entry = list.getEntries().find((e) => e.name === 'first-contentful-paint');
      if (entry) resolve(entry.startTime);
    }).observe({ type: 'paint', buffered: true });
  }));
  return { page, paint };
}

// Runs the page's script once more, as the browser does: right after the menu.
function marking(page) {
  return page.evaluate(async () => {
    const old = document.querySelector('nav + script');
    const text = old.src ? await (await fetch(old.src)).text() : old.textContent;
    const script = document.createElement('script');
    script.textContent = text;
    const start = performance.now();
    document.querySelector('nav').after(script);
    return performance.now() - start;
  });
}

// From the click's event to the frame after it: the time until the browser could show the result.
async function click(page, index) {
  await page.evaluate(() => {
    window.benchClick = null;
    document.addEventListener('click', (event) => {
      const start = event.timeStamp;
      requestAnimationFrame(() => setTimeout(() => { window.benchClick = performance.now() - start; }));
    }, { capture: true, once: true });
  });
  await page.locator('nav > ul > li > details > summary').nth(index).click();
  await page.waitForFunction(() => window.benchClick !== null, null, { timeout: 120000 });
  return page.evaluate(() => window.benchClick);
}

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update'],
});
try {
  for (const file of process.argv.slice(2)) {
    const server = await serve(file);
    const links = [...readFileSync(file, 'utf8').matchAll(/<a href="([^"#?]+)"/g)];
    const address = `http://127.0.0.1:${server.address().port}/${links[links.length >> 1][1]}`;
    const paints = [];
    const marks = [];
    const clicks = [];
    for (let r = 0; r < runs; r++) {
      const { page, paint } = await firstPaint(browser, address);
      paints.push(paint);
      marks.push(await marking(page));
      const groups = await page.locator('nav > ul > li > details > summary').count();
      for (let g = 0; g < Math.min(groups, 3); g++) {
        clicks.push(await click(page, g)); // opens
        clicks.push(await click(page, g)); // closes
      }
      await page.close();
    }
    process.stdout.write(JSON.stringify({
      file, firstPaint: median(paints), marking: median(marks), click: clicks.length ? median(clicks) : null,
      clickMax: clicks.length ? Math.max(...clicks) : null,
    }) + '\n');
    server.close();
  }
} finally {
  await browser.close();
}
