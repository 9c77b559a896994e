// Lints the HTML5 page's style sheets with stylelint and its scripts with ESLint, each with the
// rules that catch mistakes rather than taste (the files are written into pages byte for byte, so
// their layout is the page's), and fails on any problem.
// Usage: node lint-code.mjs FILE.css|FILE.js ...
// Exits 77 (a skip) when the linters are not installed, unless CI is set (tools/run-tests installs
// them; there a missing linter fails).
import { dirname } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const files = process.argv.slice(2);

let ESLint, stylelint;
try {
  ({ ESLint } = await import('eslint'));
  stylelint = (await import('stylelint')).default;
} catch (error) {
  console.error(`${error.message}\nThe linters are missing (tools/run-tests installs them).`);
  process.exit(process.env.CI ? 1 : 77);
}

let failed = false;
const sheets = files.filter((file) => file.endsWith('.css'));
const scripts = files.filter((file) => file.endsWith('.js'));
if (sheets.length + scripts.length !== files.length || files.length === 0) {
  console.error('Give .css and .js files.');
  process.exit(1);
}

if (sheets.length) {
  const { results, report } = await stylelint.lint({
    files: sheets,
    configBasedir: here,
    formatter: 'string',
    config: {
      extends: ['stylelint-config-recommended'],
      // Rules apart that set different properties may come in any order.
      rules: { 'no-descending-specificity': null },
    },
  });
  if (results.length !== sheets.length || results.some((result) => result.warnings.length || result.ignored))
    failed = true;
  process.stdout.write(report);
}

if (scripts.length) {
  // A classic script for the browsers of 2017 and later, with the browser's global names.
  const eslint = new ESLint({
    useEslintrc: false,
    errorOnUnmatchedPattern: true,
    overrideConfig: {
      extends: ['eslint:recommended'],
      env: { browser: true, es2017: true },
      parserOptions: { ecmaVersion: 2017, sourceType: 'script' },
    },
  });
  const results = await eslint.lintFiles(scripts);
  if (results.length !== scripts.length || results.some((result) => result.messages.length))
    failed = true;
  process.stdout.write((await eslint.loadFormatter('stylish')).format(results));
}

process.exit(failed ? 1 : 0);
