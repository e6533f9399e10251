// The viewer page: reads the chosen file, has the worker import it, shows
// the estimate's page and offers the saves. The page itself (its markup,
// escaped) comes from the module's side; nothing here computes values.
'use strict';
(() => {
  // Larger files are refused before they are read: the file, the import
  // and the page must fit in what a tab may use.
  const SIZE_LIMIT = 512 * 1024 * 1024;
  // Above this many positions the tree comes closed and an element's
  // positions are built when it is opened.
  const OPEN_LIMIT = 1500;

  const WORDS = {
    pl: {
      title: 'Przegl\u0105darka kosztorys\u00f3w',
      choose: 'Otw\u00f3rz kosztorys\u2026',
      saveHtml: 'Zapisz stron\u0119 (HTML)',
      saveRecords: 'Zapisz rekordy (JSON Lines)',
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
      empty: (name) => `Plik \u201e${name}\u201d jest pusty: nie ma w nim kosztorysu.`,
      notAnEstimate: (name) =>
        `Plik \u201e${name}\u201d nie jest eksportem kosztorysu: jego pierwszy niepusty wiersz nie jest nag\u0142\u00f3wkiem [Plik].`,
      binary: (name) =>
        `Plik \u201e${name}\u201d jest plikiem binarnym (na przyk\u0142ad obrazem lub archiwum), a nie eksportem kosztorysu.`,
      tooLarge: (name, size, limit) =>
        `Plik \u201e${name}\u201d ma ${size}, a przegl\u0105darka mo\u017ce otworzy\u0107 najwy\u017cej ${limit}.`,
      outOfMemory: (name) =>
        `Przegl\u0105darce zabrak\u0142o pami\u0119ci przy wczytywaniu \u201e${name}\u201d.`,
      failed: (name, detail) => `Nie uda\u0142o si\u0119 wczyta\u0107 \u201e${name}\u201d: ${detail}`,
      crashed: 'Wczytywanie zosta\u0142o przerwane przez przegl\u0105dark\u0119. Spr\u00f3buj ponownie albo wybierz inny plik.',
      unreadable: (name) => `Nie mo\u017cna odczyta\u0107 pliku \u201e${name}\u201d.`,
      tryAnother: 'Mo\u017cesz wybra\u0107 inny plik.',
      megabytes: (bytes) => `${(bytes / 1048576).toFixed(1).replace('.', ',')} MB`,
    },
    en: {
      title: 'Estimate viewer',
      choose: 'Open an estimate\u2026',
      saveHtml: 'Save the page (HTML)',
      saveRecords: 'Save the records (JSON Lines)',
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
      empty: (name) => `\u201c${name}\u201d is empty: it holds no estimate.`,
      notAnEstimate: (name) =>
        `\u201c${name}\u201d is not an estimate export: its first non-blank line is not the [Plik] header.`,
      binary: (name) =>
        `\u201c${name}\u201d is a binary file (an image or an archive, for example), not an estimate export.`,
      tooLarge: (name, size, limit) =>
        `\u201c${name}\u201d is ${size}; this viewer opens files of at most ${limit}.`,
      outOfMemory: (name) => `The browser ran out of memory while reading \u201c${name}\u201d.`,
      failed: (name, detail) => `\u201c${name}\u201d could not be read: ${detail}`,
      crashed: 'The browser stopped the reading. Try again or choose another file.',
      unreadable: (name) => `\u201c${name}\u201d cannot be read.`,
      tryAnother: 'You can choose another file.',
      megabytes: (bytes) => `${(bytes / 1048576).toFixed(1)} MB`,
    },
  };

  const $ = (id) => document.getElementById(id);
  const ui = {
    choose: $('choose'), file: $('file'), saveHtml: $('save-html'),
    saveRecords: $('save-records'), print: $('print'), language: $('language'),
    status: $('status'), statusText: $('status-text'), welcome: $('welcome'),
    estimate: $('estimate'), overlay: $('drop-overlay'), pageStyle: $('page-style'),
  };

  let language = 'pl';
  let worker = null;
  let ready = null;      // resolves when the worker has its module
  let nextId = 1;
  const pending = new Map();  // request id -> resolve
  let current = null;    // {name, positions, elements, onDemand}
  let generation = 0;    // of the open file, so that late answers are dropped
  let lastStatus = null; // how to say the status line again in another language

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
    worker = new Worker(workerUrl);
    ready = new Promise((resolve) => {
      worker.onmessage = (event) => {
        const reply = event.data;
        if (reply.kind === 'ready') {
          ui.pageStyle.textContent = reply.style;
          resolve();
          return;
        }
        const done = pending.get(reply.id);
        pending.delete(reply.id);
        // A module that aborted serves nothing more: a new one takes over.
        if (reply.restart) restartWorker({ status: 'crashed' });
        if (done) done(reply);
      };
    });
    // The worker died (out of memory, say): every open request fails, and a
    // new worker serves the next file.
    worker.onerror = (event) => {
      event.preventDefault();
      restartWorker({ status: 'crashed' });
    };
    worker.postMessage({ kind: 'start', wasm: wasmBytes.buffer });  // copied, not moved
  }

  function restartWorker(reply) {
    worker.terminate();
    const waiting = [...pending.values()];
    pending.clear();
    startWorker();
    for (const done of waiting) done(reply);
  }

  async function ask(kind, request) {
    await ready;
    return new Promise((resolve) => {
      const id = nextId++;
      pending.set(id, resolve);
      worker.postMessage(Object.assign({ kind, id, language: language === 'en' ? 1 : 0 }, request));
    });
  }

  function showStatus(kind, say) {
    lastStatus = { kind, say };
    ui.status.className = kind;
    ui.status.hidden = false;
    ui.statusText.textContent = say(words());
    document.body.setAttribute('aria-busy', kind === 'busy' ? 'true' : 'false');
  }

  function setBusy(busy) {
    ui.saveHtml.disabled = ui.saveRecords.disabled = ui.print.disabled = busy || !current;
    ui.language.disabled = busy;
  }

  function messageFor(reply, name) {
    const w = words();
    switch (reply.status) {
      case 'empty': return w.empty(name);
      case 'not-an-estimate': return w.notAnEstimate(name);
      case 'binary': return w.binary(name);
      case 'too-large': return w.tooLarge(name, w.megabytes(reply.size), w.megabytes(SIZE_LIMIT));
      case 'out-of-memory': return w.outOfMemory(name);
      case 'crashed': return w.crashed;
      case 'unreadable': return w.unreadable(name);
      default: return w.failed(name, reply.message || '');
    }
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
  }

  async function openFile(file) {
    if (!file) return;
    // A file chosen while another is read replaces it.
    if (pending.size > 0) restartWorker({ status: 'replaced' });
    const mine = ++generation;
    current = null;
    setBusy(true);
    showStatus('busy', (w) => w.reading(file.name));
    let reply;
    try {
      reply = await ask('open', { file, limit: SIZE_LIMIT, openLimit: OPEN_LIMIT });
    } catch (error) {
      reply = { status: 'unreadable' };
    }
    if (mine !== generation || reply.status === 'replaced') return;
    if (reply.status !== 'ok') {
      ui.estimate.textContent = '';
      ui.welcome.hidden = false;
      document.title = words().title;
      setBusy(false);
      showStatus('error', (w) => `${messageFor(reply, file.name)} ${w.tryAnother}`);
      return;
    }
    current = { name: file.name, positions: reply.positions, elements: reply.elements };
    showEstimate(reply);
    setBusy(false);
    const { positions, elements } = current;
    showStatus('done', (w) => w.opened(file.name, positions, elements) +
      (reply.onDemand ? ` ${w.onDemand}` : ''));
  }

  async function loadParts(holder) {
    if (holder.dataset.state) return;
    holder.dataset.state = 'loading';
    const mine = generation;
    const reply = await ask('parts', { element: Number(holder.dataset.element) });
    if (mine !== generation || !holder.isConnected) return;
    if (reply.status !== 'ok') {
      holder.dataset.state = '';
      showStatus('error', (w) => messageFor(reply, current.name));
      return;
    }
    holder.innerHTML = reply.html;
    holder.dataset.state = 'loaded';
  }

  async function save(records) {
    if (!current) return;
    const mine = generation;
    setBusy(true);
    const previous = lastStatus;
    showStatus('busy', (w) => w.saving);
    const reply = await ask('save', { records });
    if (mine !== generation) return;
    setBusy(false);
    if (reply.status !== 'ok') {
      showStatus('error', (w) => messageFor(reply, current.name));
      return;
    }
    showStatus(previous.kind, previous.say);
    const type = records ? 'application/x-ndjson' : 'text/html;charset=utf-8';
    const url = URL.createObjectURL(new Blob([reply.bytes], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = current.name.replace(/\.[^.]*$/, '') + (records ? '.jsonl' : '.html');
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function applyLanguage() {
    const w = words();
    document.documentElement.lang = language;
    ui.choose.textContent = w.choose;
    ui.saveHtml.textContent = w.saveHtml;
    ui.saveRecords.textContent = w.saveRecords;
    ui.print.textContent = w.print;
    ui.language.textContent = w.otherLanguage;
    $('app-name').textContent = w.title;
    $('welcome-text').textContent = w.welcome;
    $('privacy-text').textContent = w.privacy;
    ui.overlay.textContent = w.drop;
    if (!current) document.title = w.title;
    if (lastStatus) showStatus(lastStatus.kind, lastStatus.say);
  }

  async function switchLanguage() {
    language = language === 'pl' ? 'en' : 'pl';
    applyLanguage();
    if (!current) return;
    const mine = generation;
    setBusy(true);
    const reply = await ask('body', { onDemand: current.onDemand });
    if (mine !== generation) return;
    setBusy(false);
    if (reply.status === 'ok') showEstimate(reply);
    else showStatus('error', (w) => messageFor(reply, current.name));
  }

  ui.choose.addEventListener('click', () => ui.file.click());
  ui.file.addEventListener('change', () => {
    openFile(ui.file.files[0]);
    ui.file.value = '';
  });
  ui.saveHtml.addEventListener('click', () => save(false));
  ui.saveRecords.addEventListener('click', () => save(true));
  ui.print.addEventListener('click', () => window.print());
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
  startWorker();
})();
