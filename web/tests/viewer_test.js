// Drives a real browser through impordano-viewer.html opened from file://
// and checks what a person sees and saves against impordano-dump, the
// native tool, on the same files.
//
//   node viewer_test.js --browser chromium|firefox --viewer PAGE --dump TOOL
//        --work DIR [--large FILE] [--every-kind FILE] [--clean FILE] ESTIMATE...
//
// Prints one line per check and "N passed, N failed"; exits non-zero when
// any check failed.
'use strict';
const { execFileSync, spawnSync } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const puppeteer = require('puppeteer-core');

const BROWSERS = {
  chromium: {
    browser: 'chrome',
    executablePath: '/usr/bin/chromium',
    // No sandbox as root in CI; and none of the browser's own traffic
    // (updates, safe browsing), which the page would be blamed for.
    args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
      '--disable-default-apps', '--disable-sync', '--no-first-run', '--disable-gpu'],
  },
  firefox: { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', args: [] },
};

function parseArgs(argv) {
  const options = { estimates: [] };
  for (let i = 0; i < argv.length; ++i) {
    const name = argv[i];
    if (name.startsWith('--')) options[name.slice(2)] = argv[++i];
    else options.estimates.push(name);
  }
  for (const required of ['browser', 'viewer', 'dump', 'work']) {
    if (!options[required]) throw new Error(`--${required} is missing`);
  }
  return options;
}

const options = parseArgs(process.argv.slice(2));
const results = { passed: 0, failed: 0 };
const sha256 = (bytes) => crypto.createHash('sha256').update(bytes).digest('hex');

function check(name, ok, detail = '') {
  if (ok) ++results.passed;
  else ++results.failed;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${options.browser}: ${name}${detail ? ` (${detail})` : ''}`);
}

// What the native tool writes for a file.
function dump(file, ...flags) {
  return execFileSync(options.dump, [...flags, file], { maxBuffer: 1 << 30 });
}

// The findings of --check --json (whose exit status tells that there are
// some), and its last line, the counts.
function checkJson(file) {
  const out = spawnSync(options.dump, ['--check', '--json', file], { maxBuffer: 1 << 30 }).stdout;
  const lines = out.toString('utf8').trim().split('\n').map((line) => JSON.parse(line));
  return { findings: lines.slice(0, -1), summary: lines[lines.length - 1] };
}

// A copy of `file` in the work folder modified at a known second: the viewer
// dates the workbook by the File's lastModified, the tool by the mtime.
function dated(file) {
  const copy = path.join(options.work, path.basename(file));
  const when = new Date('2024-03-15T10:20:30Z');
  fs.copyFileSync(file, copy);
  fs.utimesSync(copy, when, when);
  return copy;
}

function recordCounts(jsonl) {
  const counts = {};
  for (const line of jsonl.toString('utf8').split('\n')) {
    const match = /"record":"(\w+)"/.exec(line);
    if (match) counts[match[1]] = (counts[match[1]] || 0) + 1;
  }
  return counts;
}

// Test files a person might choose by mistake.
function writeBadInputs(dir) {
  const png = Buffer.from('89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d4944415478da63f8ffff3f0005fe02fea7d6a4f00000000049454e44ae426082', 'hex');
  const zip = Buffer.concat([Buffer.from('504b0304', 'hex'), Buffer.alloc(26), Buffer.from('[Plik]\n')]);
  const files = {
    empty: path.join(dir, 'pusty.txt'),
    png: path.join(dir, 'obraz.png'),
    zip: path.join(dir, 'archiwum.zip'),
    large: path.join(dir, 'ogromny.txt'),
  };
  fs.writeFileSync(files.empty, '');
  fs.writeFileSync(files.png, png);
  fs.writeFileSync(files.zip, zip);
  // Sparse: its size is all that the check needs.
  fs.writeFileSync(files.large, '');
  fs.truncateSync(files.large, 600 * 1024 * 1024);
  return files;
}

async function launch() {
  const config = BROWSERS[options.browser];
  if (!config) throw new Error(`unknown browser ${options.browser}`);
  return puppeteer.launch({
    browser: config.browser,
    executablePath: config.executablePath,
    headless: true,
    protocolTimeout: 600000,
    args: config.args,
    userDataDir: fs.mkdtempSync(path.join(options.work, `${options.browser}-profile-`)),
  });
}

// A page of the viewer with every request watched and every save caught;
// `beforeLoad`, when given, runs in the page before the viewer's script.
async function openViewer(browser, viewerUrl, beforeLoad) {
  const page = await browser.newPage();
  const state = { outside: [], dialogs: [], errors: [] };
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    const url = request.url();
    // The viewer itself, and blobs and data it makes in memory, stay here.
    if (url === viewerUrl || url.startsWith('blob:') || url.startsWith('data:')) {
      request.continue();
    } else {
      state.outside.push(url);
      request.abort();
    }
  });
  page.on('dialog', (dialog) => { state.dialogs.push(dialog.message()); dialog.dismiss(); });
  page.on('pageerror', (error) => state.errors.push(String(error)));
  // Saves end in a click on a download link: catch the blob instead of
  // letting the browser save it somewhere.
  await page.evaluateOnNewDocument(() => {
    window.savedBlobs = [];
    const create = URL.createObjectURL;
    const blobs = new Map();
    URL.createObjectURL = (object) => {
      const url = create.call(URL, object);
      blobs.set(url, object);
      return url;
    };
    HTMLAnchorElement.prototype.click = function click() {
      if (this.download) window.savedBlobs.push({ name: this.download, blob: blobs.get(this.href) });
    };
    window.policyViolations = [];
    document.addEventListener('securitypolicyviolation',
      (event) => window.policyViolations.push(event.effectiveDirective || event.violatedDirective));
  });
  if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
  await page.goto(viewerUrl, { waitUntil: 'load' });
  return { page, state };
}

// Chooses `file` with the file input and waits for the result: the status
// line's class ('done' or 'error') and text, and the time it took.
async function choose(page, file) {
  const started = Date.now();
  const marker = await markStatus(page);
  const input = await page.$('#file');
  await input.uploadFile(file);
  return settle(page, started, marker);
}

// Marks the status line, so that settle() waits for the next result rather
// than taking the last one.
async function markStatus(page) {
  return page.$eval('#status', (s) => s.dataset.seen = String(Number(s.dataset.seen || 0) + 1));
}

async function settle(page, started, marker) {
  await page.waitForFunction((seen) => {
    const status = document.getElementById('status');
    return status.dataset.seen === seen && (status.className === 'done' || status.className === 'error');
  }, { timeout: 120000, polling: 50 }, marker);
  const status = await page.$eval('#status', (s) => ({ kind: s.className, text: s.textContent }));
  return Object.assign(status, { ms: Date.now() - started });
}

// Opens every element and waits until all their parts are there.
async function openEverything(page) {
  await page.evaluate(() => {
    for (const details of document.querySelectorAll('#estimate details')) details.open = true;
  });
  await page.waitForFunction(() => [...document.querySelectorAll('#estimate .parts[data-element]')]
    .every((holder) => holder.dataset.state === 'loaded'), { timeout: 300000, polling: 200 });
}

// The rows and elements on the page, and which of `texts` it does not show.
async function domCounts(page, texts) {
  return page.evaluate((wanted) => {
    const shown = document.getElementById('estimate').textContent;
    return {
      positions: document.querySelectorAll('#estimate tr.position').length,
      elements: document.querySelectorAll('#estimate details.element').length,
      missing: wanted.filter((text) => !shown.includes(text)),
    };
  }, texts);
}

// The bytes of the last save, as a hash, and the time from the click on.
async function save(page, button) {
  const count = await page.evaluate(() => window.savedBlobs.length);
  const started = Date.now();
  await page.click(button);
  await page.waitForFunction((n) => window.savedBlobs.length > n, { timeout: 120000, polling: 20 }, count);
  const ms = Date.now() - started;
  return page.evaluate(async (took) => {
    const saved = window.savedBlobs[window.savedBlobs.length - 1];
    const bytes = new Uint8Array(await saved.blob.arrayBuffer());
    const digest = await crypto.subtle.digest('SHA-256', bytes);
    return {
      name: saved.name,
      ms: took,
      sha256: [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, '0')).join(''),
    };
  }, ms);
}

// The saved workbook against the tool's in `lang`.
async function checkWorkbook(page, file, label, lang) {
  const xlsx = await save(page, '#save-workbook');
  check(`${label}: saved workbook equals impordano-dump --xlsx --lang ${lang}`,
    xlsx.sha256 === sha256(dump(file, '--xlsx', '--lang', lang)), `${xlsx.name}, ${xlsx.ms} ms`);
  return xlsx;
}

// The panel: per kind its count and its first 10,000 findings as
// --check --json gives them (line, section, sentence); the calm line when
// there are none.
async function checkFindings(page, file, label) {
  const { findings, summary } = checkJson(file);
  const expected = Object.keys(summary.counts).map((kind) => ({
    count: summary.counts[kind],
    rows: findings.filter((f) => f.kind === kind).slice(0, 10000)
      .map((f) => [String(f.line), f.section, f.message]),
  }));
  const shown = await page.evaluate(() => ({
    heading: document.querySelector('#findings-panel summary').textContent,
    calm: document.querySelectorAll('#findings section > p.note').length,
    kinds: [...document.querySelectorAll('#findings table.findings')].map((table) => ({
      count: Number(/\((\d+)\)$/.exec(table.caption.textContent)[1]),
      rows: [...table.tBodies[0].rows].map((row) => [...row.cells].map((cell) => cell.textContent)),
    })),
  }));
  check(`${label}: the findings panel equals impordano-dump --check --json`,
    shown.heading.endsWith(`(${summary.total})`) && (summary.total > 0 || shown.calm === 1) &&
    JSON.stringify(shown.kinds) === JSON.stringify(expected),
    `${summary.total} findings: ${shown.heading}`);
}

// A finding's link (the first or the last) shows its position's row, its
// elements open.
async function checkLink(page, label, last) {
  const target = await page.evaluate((useLast) => {
    const links = [...document.querySelectorAll('#findings a[data-position]')];
    const link = useLast ? links[links.length - 1] : links[0];
    if (link) link.dispatchEvent(new MouseEvent('click', { bubbles: true, cancelable: true }));
    return link ? link.dataset.position : null;
  }, last);
  const shown = target && await page.waitForFunction(() => {
    const row = document.querySelector('#estimate tr.position.target');
    if (!row) return null;
    let open = true;
    for (let d = row.closest('details'); d; d = d.parentElement.closest('details')) open = open && d.open;
    return { number: row.cells[0].textContent, open };
  }, { timeout: 60000, polling: 100 }).then((handle) => handle.jsonValue(), () => null);
  check(`${label}: a finding's link opens its position ${target}`,
    Boolean(shown && shown.number === target && shown.open), JSON.stringify(shown));
}

// A few texts of the file, with their Polish letters, that the page must show.
function someTexts(jsonl) {
  const texts = [];
  for (const line of jsonl.toString('utf8').split('\n').slice(0, 400)) {
    const match = /"(?:name|description)":"((?:[^"\\]|\\.)*[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ](?:[^"\\]|\\.)*)"/.exec(line);
    if (match) texts.push(JSON.parse(`"${match[1]}"`));
    if (texts.length === 5) break;
  }
  return texts;
}

// `whileClosed`, when given, runs before the elements are opened.
async function checkEstimate(page, file, label, whileClosed) {
  const records = dump(file);
  const counts = recordCounts(records);
  const opened = await choose(page, file);
  check(`${label}: opens`, opened.kind === 'done', `${opened.ms} ms: ${opened.text}`);
  if (opened.kind !== 'done') return opened;
  await checkFindings(page, file, label);
  if (whileClosed) await whileClosed();
  const started = Date.now();
  await openEverything(page);
  opened.allMs = Date.now() - started;
  const texts = someTexts(records).map((text) => text.replace(/\s+$/, ''));
  const dom = await domCounts(page, texts);
  check(`${label}: one row for each of the ${counts.PositionRecord || 0} positions`,
    dom.positions === (counts.PositionRecord || 0), `${dom.positions} rows`);
  check(`${label}: one element for each of the ${counts.ElementRecord || 0} elements`,
    dom.elements === (counts.ElementRecord || 0), `${dom.elements} elements`);
  check(`${label}: texts with Polish letters shown`, texts.length > 0 && dom.missing.length === 0,
    dom.missing.length ? `missing ${JSON.stringify(dom.missing[0])}` : `${texts.length} texts`);
  return opened;
}

async function main() {
  fs.mkdirSync(options.work, { recursive: true });
  options.estimates = options.estimates.map(dated);
  if (options.large) options.large = dated(options.large);
  const viewerUrl = pathToFileURL(path.resolve(options.viewer)).href;
  const bad = writeBadInputs(options.work);
  const browser = await launch();
  try {
    const { page, state } = await openViewer(browser, viewerUrl);
    const house = options.estimates.find((file) => /house\.txt$/.test(file)) || options.estimates[0];

    // Every estimate given, in Polish, and the saves of each.
    for (const file of options.estimates) {
      const label = path.basename(file);
      const opened = await checkEstimate(page, file, label);
      if (opened.kind !== 'done') continue;
      const html = await save(page, '#save-html');
      check(`${label}: saved page equals impordano-dump --html`, html.sha256 === sha256(dump(file, '--html')),
        html.name);
      const jsonl = await save(page, '#save-records');
      check(`${label}: saved records equal impordano-dump`, jsonl.sha256 === sha256(dump(file)), jsonl.name);
      await checkWorkbook(page, file, label, 'pl');
    }

    // The file with every kind of finding: the panel and a link to a
    // position; a file without findings: the calm line.
    for (const [label, file] of [['every kind of finding', options['every-kind']], ['no finding', options.clean]]) {
      if (!file) continue;
      const copy = dated(file);
      await choose(page, copy);
      await checkFindings(page, copy, label);
      if (file === options['every-kind']) await checkLink(page, label, false);
    }

    // English, then back to Polish.
    await choose(page, house);
    await page.click('#language');
    await page.waitForFunction(() => document.documentElement.lang === 'en' &&
      !document.getElementById('language').disabled);
    const english = await save(page, '#save-html');
    check('English page equals impordano-dump --html --lang en',
      english.sha256 === sha256(dump(house, '--html', '--lang', 'en')));
    const englishUi = await page.evaluate(() => ({
      button: document.getElementById('choose').textContent,
      heading: document.querySelector('#estimate h2').textContent,
    }));
    check('English controls and page words', englishUi.button === 'Open an estimate\u2026' &&
      englishUi.heading === 'Surcharges', JSON.stringify(englishUi));
    for (const file of options.estimates) {
      await choose(page, file);
      await checkWorkbook(page, file, path.basename(file), 'en');
    }
    await page.click('#language');
    await page.waitForFunction(() => document.documentElement.lang === 'pl' &&
      !document.getElementById('language').disabled);
    const polishHeading = await page.$eval('#estimate h2', (h) => h.textContent);
    check('Polish again after the switch', polishHeading === 'Narzuty', polishHeading);

    await page.setViewport({ width: 1280, height: 900 });
    await page.screenshot({ path: path.join(options.work, `viewer-house-${options.browser}.png`) });

    // Bad input: each has its message, and a good file opens after it.
    const badCases = [
      ['not an estimate export', options['not-an-estimate'], /nie jest eksportem kosztorysu/],
      ['empty file', bad.empty, /jest pusty/],
      ['PNG image', bad.png, /plikiem binarnym/],
      ['ZIP archive', bad.zip, /plikiem binarnym/],
      ['file too large', bad.large, /ma 600,0 MB, a przegl\u0105darka mo\u017ce otworzy\u0107 najwy\u017cej 512,0 MB/],
    ];
    for (const [label, file, message] of badCases) {
      if (!file) continue;
      const refused = await choose(page, file);
      check(`${label}: its message`, refused.kind === 'error' && message.test(refused.text) &&
        refused.text.includes(path.basename(file)), refused.text);
      const again = await choose(page, house);
      check(`${label}: a good file opens afterwards`, again.kind === 'done', again.text);
    }

    // The hostile file: its markup stays text, nothing of it runs.
    if (options.hostile) {
      const opened = await choose(page, options.hostile);
      const found = await page.evaluate(() => ({
        scripts: document.querySelectorAll('#estimate script, #estimate iframe, #estimate object').length,
        handlers: [...document.querySelectorAll('#estimate *')]
          .filter((e) => [...e.attributes].some((a) => a.name.startsWith('on'))).length,
        shown: document.getElementById('estimate').textContent.includes('<script>'),
      }));
      check('hostile file: markup stays text, nothing runs', opened.kind === 'done' &&
        found.scripts === 0 && found.handlers === 0 && found.shown && state.dialogs.length === 0,
        JSON.stringify(Object.assign(found, { dialogs: state.dialogs.length })));
    }

    // A drop anywhere on the page.
    const houseBytes = fs.readFileSync(house).toString('base64');
    const marker = await markStatus(page);
    await page.evaluate((base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const transfer = new DataTransfer();
      transfer.items.add(new File([bytes], 'upuszczony.txt', { type: 'text/plain' }));
      document.querySelector('main, #welcome, body').dispatchEvent(
        new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, houseBytes);
    const dropped = await settle(page, Date.now(), marker);
    check('a dropped file opens', dropped.kind === 'done' && dropped.text.includes('upuszczony.txt'),
      dropped.text);

    check('no script errors', state.errors.length === 0, state.errors.join(' | '));

    // Nothing leaves the computer, and the policy refuses to let it.
    const fetched = await page.evaluate(() =>
      fetch('https://example.invalid/kosztorys').then(() => 'fetched', (error) => `refused: ${error}`));
    const violations = await page.evaluate(() => window.policyViolations);
    check('a fetch to an outside address is refused by the page\'s policy',
      fetched.startsWith('refused') && violations.includes('connect-src'),
      `${fetched}; violations: ${violations.join(',')}`);
    check('no request went anywhere but the viewer\'s own file',
      state.outside.filter((url) => !url.includes('example.invalid')).length === 0,
      state.outside.join(' '));

    // A worker that dies before its module is ready: the file waiting on it
    // gets a message instead of a hang, and the next file opens.
    const dying = await openViewer(browser, viewerUrl, () => {
      const RealWorker = window.Worker;
      window.Worker = function Worker(url) {
        if (window.dyingWorker) return new RealWorker(url);
        window.dyingWorker = new RealWorker(URL.createObjectURL(new Blob(
          ['onmessage = (event) => { if (event.data === "die") throw new Error("died"); };'])));
        return window.dyingWorker;
      };
    });
    const dyingMarker = await markStatus(dying.page);
    await (await dying.page.$('#file')).uploadFile(house);
    await dying.page.waitForFunction(() => document.getElementById('status').className === 'busy');
    await dying.page.evaluate(() => window.dyingWorker.postMessage('die'));
    const died = await settle(dying.page, Date.now(), dyingMarker);
    check('a worker dead before it was ready: its message', died.kind === 'error' &&
      /nie uruchomi/.test(died.text), died.text);
    const revived = await choose(dying.page, house);
    check('a worker dead before it was ready: a good file opens afterwards',
      revived.kind === 'done', revived.text);
    await dying.page.close();

    // A large estimate: head and tree shown, every position on opening.
    // Its findings' links reach closed elements; the workbook in both
    // languages, with the time of each save.
    if (options.large) {
      const label = path.basename(options.large);
      const opened = await checkEstimate(page, options.large, label,
        () => checkLink(page, label, true));
      console.log(`${options.browser}: ${label}: head and tree shown ` +
        `${opened.ms} ms after it was chosen; every element opened in a further ${opened.allMs} ms`);
      for (const lang of ['pl', 'en']) {
        if (lang === 'en') {
          await page.click('#language');
          await page.waitForFunction(() => document.documentElement.lang === 'en' &&
            !document.getElementById('language').disabled, { timeout: 120000 });
        }
        const xlsx = await checkWorkbook(page, options.large, label, lang);
        console.log(`${options.browser}: ${label}: workbook (${lang}) saved ${xlsx.ms} ms after the click`);
      }
    }
  } finally {
    await browser.close();
  }
  console.log(`${options.browser}: ${results.passed} passed, ${results.failed} failed`);
  process.exitCode = results.failed === 0 ? 0 : 1;
}

main().catch((error) => {
  console.error(error);
  process.exitCode = 2;
});
