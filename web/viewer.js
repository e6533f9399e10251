// The viewer page: reads the chosen file, has the worker import it, shows
// the estimate's page and offers the saves. The page itself (its markup,
// escaped) comes from the module's side; nothing here computes values. The
// requests to the worker and its replies are named in viewer-protocol.js,
// which comes before this script.
'use strict';
(() => {
  // Larger files are refused before they are read: the file, the import
  // and the page must fit in what a tab may use.
  const SIZE_LIMIT = 512 * 1024 * 1024;
  // Above this many positions the tree comes closed and an element's
  // positions are built when it is opened.
  const OPEN_LIMIT = 1500;

  const megabytes = (bytes, point = '.') => `${(bytes / 1048576).toFixed(1).replace('.', point)} MB`;

  // Every text of the viewer. The controls take theirs by the data-word of
  // their element in viewer.html.in; `replies` words each REPLY of the
  // worker, given the file's name and the reply.
  const WORDS = {
    pl: {
      title: 'Przegl\u0105darka kosztorys\u00f3w',
      choose: 'Otw\u00f3rz kosztorys\u2026',
      saveHtml: 'Zapisz stron\u0119 (HTML)',
      saveRecords: 'Zapisz rekordy (JSON Lines)',
      saveWorkbook: 'Zapisz arkusz (XLSX)',
      print: 'Drukuj',
      otherLanguage: 'English',
      welcome: 'Wybierz kosztorys wyeksportowany do pliku tekstowego przyciskiem \u201eOtw\u00f3rz kosztorys\u201d albo upu\u015b\u0107 plik w dowolnym miejscu strony.',
      privacy: 'Plik jest czytany tylko na tym komputerze: nic nie jest nigdzie wysy\u0142ane.',
      drop: 'Upu\u015b\u0107 plik, aby go otworzy\u0107',
      reading: (name) => `Wczytywanie pliku \u201e${name}\u201d\u2026`,
      saving: 'Przygotowywanie pliku do zapisu\u2026',
      opened: (name, positions, elements) =>
        `Otwarto \u201e${name}\u201d (pozycji: ${positions}, element\u00f3w: ${elements}).`,
      onDemand: 'Du\u017cy kosztorys: pozycje elementu pojawiaj\u0105 si\u0119 po jego rozwini\u0119ciu.',
      tryAnother: 'Mo\u017cesz wybra\u0107 inny plik.',
      replies: {
        empty: (name) => `Plik \u201e${name}\u201d jest pusty: nie ma w nim kosztorysu.`,
        notAnEstimate: (name) =>
          `Plik \u201e${name}\u201d nie jest eksportem kosztorysu: jego pierwszy niepusty wiersz nie jest nag\u0142\u00f3wkiem [Plik].`,
        binary: (name) =>
          `Plik \u201e${name}\u201d jest plikiem binarnym (na przyk\u0142ad obrazem lub archiwum), a nie eksportem kosztorysu.`,
        tooLarge: (name, reply) =>
          `Plik \u201e${name}\u201d ma ${megabytes(reply.size, ',')}, a przegl\u0105darka mo\u017ce otworzy\u0107 najwy\u017cej ${megabytes(SIZE_LIMIT, ',')}.`,
        unreadable: (name) => `Nie mo\u017cna odczyta\u0107 pliku \u201e${name}\u201d.`,
        outOfMemory: (name) =>
          `Przegl\u0105darce zabrak\u0142o pami\u0119ci przy wczytywaniu \u201e${name}\u201d.`,
        failed: (name, reply) => `Nie uda\u0142o si\u0119 wczyta\u0107 \u201e${name}\u201d: ${reply.message || ''}`,
        saveFailed: (name) => `Nie uda\u0142o si\u0119 przygotowa\u0107 do zapisu pliku z \u201e${name}\u201d.`,
        crashed: () => 'Wczytywanie zosta\u0142o przerwane przez przegl\u0105dark\u0119. Spr\u00f3buj ponownie albo wybierz inny plik.',
        notStarted: () => 'Przegl\u0105darka nie uruchomi\u0142a modu\u0142u, kt\u00f3ry wczytuje kosztorysy. Spr\u00f3buj ponownie albo otw\u00f3rz t\u0119 stron\u0119 w innej przegl\u0105darce.',
      },
    },
    en: {
      title: 'Estimate viewer',
      choose: 'Open an estimate\u2026',
      saveHtml: 'Save the page (HTML)',
      saveRecords: 'Save the records (JSON Lines)',
      saveWorkbook: 'Save the workbook (XLSX)',
      print: 'Print',
      otherLanguage: 'Polski',
      welcome: 'Choose an estimate exported to a text file with \u201cOpen an estimate\u201d, or drop the file anywhere on this page.',
      privacy: 'The file is read on this computer only: nothing is sent anywhere.',
      drop: 'Drop the file to open it',
      reading: (name) => `Reading \u201c${name}\u201d\u2026`,
      saving: 'Preparing the file to save\u2026',
      opened: (name, positions, elements) =>
        `Opened \u201c${name}\u201d (positions: ${positions}, elements: ${elements}).`,
      onDemand: 'A large estimate: an element\u2019s positions appear when it is opened.',
      tryAnother: 'You can choose another file.',
      replies: {
        empty: (name) => `\u201c${name}\u201d is empty: it holds no estimate.`,
        notAnEstimate: (name) =>
          `\u201c${name}\u201d is not an estimate export: its first non-blank line is not the [Plik] header.`,
        binary: (name) =>
          `\u201c${name}\u201d is a binary file (an image or an archive, for example), not an estimate export.`,
        tooLarge: (name, reply) =>
          `\u201c${name}\u201d is ${megabytes(reply.size)}; this viewer opens files of at most ${megabytes(SIZE_LIMIT)}.`,
        unreadable: (name) => `\u201c${name}\u201d cannot be read.`,
        outOfMemory: (name) => `The browser ran out of memory while reading \u201c${name}\u201d.`,
        failed: (name, reply) => `\u201c${name}\u201d could not be read: ${reply.message || ''}`,
        saveFailed: (name) => `The file to save from \u201c${name}\u201d could not be prepared.`,
        crashed: () => 'The browser stopped the reading. Try again or choose another file.',
        notStarted: () => 'The browser did not start the module that reads estimates. Try again or open this page in another browser.',
      },
    },
  };

  // What each save (its button's data-save) offers to keep.
  const SAVES = {
    [SAVE.page]: { type: 'text/html;charset=utf-8', extension: '.html' },
    [SAVE.records]: { type: 'application/x-ndjson', extension: '.jsonl' },
    [SAVE.workbook]: {
      type: 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet', extension: '.xlsx',
    },
  };
  // The findings panel comes open when it shows this many findings at most.
  const FINDINGS_OPEN = 100;

  const $ = (id) => document.getElementById(id);
  const ui = {
    choose: $('choose'), file: $('file'), print: $('print'), language: $('language'),
    status: $('status'), statusText: $('status-text'), welcome: $('welcome'),
    estimate: $('estimate'), overlay: $('drop-overlay'), pageStyle: $('page-style'),
    findingsPanel: $('findings-panel'), findings: $('findings'),
  };

  let language = 'pl';
  let worker = null;     // null until a request needs one after the last died
  let ready = null;      // resolves when the worker has its module
  let nextId = 1;
  const pending = new Map();  // request id -> resolve, from the request on
  // The estimate the worker holds: {name, lastModified, positions, elements, onDemand}.
  let current = null;
  let generation = 0;    // of the open file, so that late answers are dropped
  let lastStatus = null; // how to say the status line again in another language
  const partsLoading = new WeakMap();  // holder -> its parts' request, until it failed

  function words() { return WORDS[language]; }

  function base64Bytes(id) {
    const text = atob($(id).textContent.trim());
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  const workerUrl = URL.createObjectURL(
    new Blob([base64Bytes('worker-source')], { type: 'text/javascript' }));
  const wasmBytes = base64Bytes('module-wasm');

  function startWorker() {
    const started = new Worker(workerUrl);
    let isReady = false;
    worker = started;
    ready = new Promise((resolve) => {
      started.onmessage = (event) => {
        if (worker !== started) return;
        const message = event.data;
        if (message.kind === NOTICE.ready) {
          isReady = true;
          ui.pageStyle.textContent = message.style;
          resolve();
        } else if (message.kind === NOTICE.notStarted) {
          stopWorker(REPLY.notStarted);
        } else {
          answer(message);
        }
      };
    });
    // The worker died (out of memory, say): every request waiting on it,
    // whether sent or still waiting for the module, fails.
    started.onerror = (event) => {
      event.preventDefault();
      if (worker === started) stopWorker(isReady ? REPLY.crashed : REPLY.notStarted);
    };
    started.postMessage({ kind: REQUEST.start, wasm: wasmBytes.buffer });  // copied, not moved
  }

  // Ends the worker and answers what waits on it with `status`; the next
  // request starts a new one, so a worker that cannot start is not
  // started again and again.
  function stopWorker(status) {
    if (!worker) return;
    worker.terminate();
    worker = null;
    current = null;  // the estimate was in the worker
    const waiting = [...pending.values()];
    pending.clear();
    for (const done of waiting) done({ status });
  }

  function answer(reply) {
    const done = pending.get(reply.id);
    pending.delete(reply.id);
    // A module that aborted serves nothing more.
    if (reply.restart) stopWorker(REPLY.crashed);
    if (done) done(reply);
  }

  function ask(kind, request) {
    if (!worker) startWorker();
    const id = nextId++;
    const message = Object.assign({ kind, id, language: language === 'en' ? 1 : 0 }, request);
    const target = worker;
    ready.then(() => { if (pending.has(id) && worker === target) target.postMessage(message); });
    return new Promise((resolve) => pending.set(id, resolve));
  }

  function showStatus(kind, say) {
    lastStatus = { kind, say };
    ui.status.className = kind;
    ui.status.hidden = false;
    ui.statusText.textContent = say(words());
    document.body.setAttribute('aria-busy', kind === 'busy' ? 'true' : 'false');
  }

  function showFailure(reply, name, more = '') {
    showStatus('error', (w) => `${(w.replies[reply.status] || w.replies.failed)(name, reply)}${more}`);
  }

  function setBusy(busy) {
    for (const control of document.querySelectorAll('[data-needs-estimate]')) {
      control.disabled = busy || !current;
    }
    ui.language.disabled = busy;
  }

  function showEstimate(reply) {
    ui.estimate.innerHTML = reply.html;  // markup of the page code, texts escaped there
    ui.welcome.hidden = true;
    current.onDemand = reply.onDemand;
    const heading = ui.estimate.querySelector('h1');
    document.title = heading ? `${heading.textContent} \u2013 ${words().title}` : words().title;
    // What is open from the start (what comes before the first element)
    // gets its parts now.
    for (const holder of ui.estimate.querySelectorAll('.parts[data-element]')) {
      const details = holder.closest('details');
      if (!details || details.open) loadParts(holder);
    }
    showFindings(reply.findings);
  }

  // The findings' section goes into the panel, its heading into the
  // panel's summary.
  function showFindings(html) {
    const wasShown = !ui.findingsPanel.hidden;
    ui.findings.innerHTML = html;  // markup of the page code, texts escaped there
    const heading = ui.findings.querySelector('h2');
    ui.findingsPanel.firstElementChild.replaceChildren(...(heading ? [heading] : []));
    if (!wasShown) {
      ui.findingsPanel.open = ui.findings.querySelectorAll('tr').length <= FINDINGS_OPEN;
    }
    ui.findingsPanel.hidden = !heading;
  }

  function openAround(node) {
    for (let details = node.closest('details'); details;
      details = details.parentElement.closest('details')) {
      details.open = true;
    }
  }

  function positionRow(number) {
    const text = String(number);
    return [...ui.estimate.querySelectorAll('tr.position')]
      .find((row) => row.cells[0].textContent === text) || null;
  }

  // A finding's link: the position's element opens, with its parts, and
  // the position's row comes into view.
  async function showPosition(number) {
    if (!current) return;
    let row = positionRow(number);
    if (!row) {
      const mine = generation;
      const reply = await ask(REQUEST.locate, { position: number });
      if (mine !== generation || reply.status !== REPLY.ok) return;
      const holder = ui.estimate.querySelector(`.parts[data-element="${reply.element}"]`);
      if (!holder) return;
      openAround(holder);
      await loadParts(holder);
      row = positionRow(number);
      if (!row) return;
    }
    openAround(row);
    for (const old of ui.estimate.querySelectorAll('tr.target')) old.classList.remove('target');
    row.classList.add('target');
    row.scrollIntoView({ block: 'center' });
  }

  async function openFile(file) {
    if (!file) return;
    // A file chosen while another is read replaces it.
    if (pending.size > 0) stopWorker(REPLY.replaced);
    const mine = ++generation;
    current = null;
    setBusy(true);
    showStatus('busy', (w) => w.reading(file.name));
    const reply = await ask(REQUEST.open, { file, limit: SIZE_LIMIT, openLimit: OPEN_LIMIT });
    if (mine !== generation || reply.status === REPLY.replaced) return;
    if (reply.status !== REPLY.ok) {
      ui.estimate.textContent = '';
      ui.findings.textContent = '';
      ui.findingsPanel.hidden = true;
      ui.welcome.hidden = false;
      document.title = words().title;
      setBusy(false);
      showFailure(reply, file.name, ` ${words().tryAnother}`);
      return;
    }
    current = {
      name: file.name, lastModified: file.lastModified,
      positions: reply.positions, elements: reply.elements,
    };
    showEstimate(reply);
    setBusy(false);
    const { positions, elements } = current;
    showStatus('done', (w) => w.opened(file.name, positions, elements) +
      (reply.onDemand ? ` ${w.onDemand}` : ''));
  }

  // The parts of a holder, asked for once; the promise ends when they are
  // shown or have failed.
  function loadParts(holder) {
    if (!current) return Promise.resolve();
    if (!holder.dataset.state) partsLoading.set(holder, fetchParts(holder));
    return partsLoading.get(holder) || Promise.resolve();
  }

  async function fetchParts(holder) {
    holder.dataset.state = 'loading';
    const mine = generation;
    const { name } = current;
    const reply = await ask(REQUEST.parts, { element: Number(holder.dataset.element) });
    if (mine !== generation || !holder.isConnected) return;
    if (reply.status !== REPLY.ok) {
      holder.dataset.state = '';
      partsLoading.delete(holder);
      showFailure(reply, name);
      return;
    }
    holder.innerHTML = reply.html;
    holder.dataset.state = 'loaded';
  }

  async function save(format) {
    if (!current) return;
    const mine = generation;
    const { name } = current;
    setBusy(true);
    const previous = lastStatus;
    showStatus('busy', (w) => w.saving);
    // The workbook is dated by the file, to the second, as the tool dates it.
    const reply = await ask(REQUEST.save, { format, created: Math.floor(current.lastModified / 1000) });
    if (mine !== generation) return;
    setBusy(false);
    if (reply.status !== REPLY.ok) {
      showFailure(reply, name);
      return;
    }
    showStatus(previous.kind, previous.say);
    const { type, extension } = SAVES[format];
    const url = URL.createObjectURL(new Blob([reply.bytes], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name.replace(/\.[^.]*$/, '') + extension;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function applyLanguage() {
    const w = words();
    document.documentElement.lang = language;
    for (const element of document.querySelectorAll('[data-word]')) {
      element.textContent = w[element.dataset.word];
    }
    ui.language.lang = language === 'pl' ? 'en' : 'pl';  // it names the other one
    if (!current) document.title = w.title;
    if (lastStatus) showStatus(lastStatus.kind, lastStatus.say);
  }

  async function switchLanguage() {
    language = language === 'pl' ? 'en' : 'pl';
    applyLanguage();
    if (!current) return;
    const mine = generation;
    const { name, onDemand } = current;
    setBusy(true);
    const reply = await ask(REQUEST.body, { onDemand });
    if (mine !== generation) return;
    setBusy(false);
    if (reply.status === REPLY.ok) showEstimate(reply);
    else showFailure(reply, name);
  }

  ui.choose.addEventListener('click', () => ui.file.click());
  ui.file.addEventListener('change', () => {
    openFile(ui.file.files[0]);
    ui.file.value = '';
  });
  for (const button of document.querySelectorAll('[data-save]')) {
    button.addEventListener('click', () => save(button.dataset.save));
  }
  ui.print.addEventListener('click', () => window.print());
  ui.findings.addEventListener('click', (event) => {
    const link = event.target.closest('a[data-position]');
    if (!link) return;
    event.preventDefault();
    showPosition(Number(link.dataset.position));
  });
  ui.language.addEventListener('click', switchLanguage);
  // details' toggle does not bubble: caught on its way down.
  ui.estimate.addEventListener('toggle', (event) => {
    const details = event.target;
    if (!details.open || !details.matches('details[data-element]')) return;
    const holder = details.querySelector(':scope > .parts[data-element]');
    if (holder) loadParts(holder);
  }, true);

  // A file dropped anywhere opens; the browser must not open it itself.
  let dragDepth = 0;
  const carriesFiles = (event) =>
    event.dataTransfer && [...event.dataTransfer.types].includes('Files');
  window.addEventListener('dragenter', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    ++dragDepth;
    ui.overlay.hidden = false;
  });
  window.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  window.addEventListener('dragleave', () => {
    if (--dragDepth <= 0) { dragDepth = 0; ui.overlay.hidden = true; }
  });
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    dragDepth = 0;
    ui.overlay.hidden = true;
    const files = event.dataTransfer && event.dataTransfer.files;
    if (files && files.length > 0) openFile(files[0]);
  });

  applyLanguage();
  startWorker();  // now, so that the module is ready when a file is chosen
})();
