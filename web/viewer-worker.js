// The viewer's worker: holds the WebAssembly module, imports the chosen
// file in its memory file system and answers the page's requests. It runs
// after the module's loader (createViewerModule) and viewer-protocol.js in
// the same script.
'use strict';

const INPUT = '/estimate.txt';
const OUTPUT = '/saved';
// What the viewer's functions return (viewer.cc): impordano-dump's exit
// statuses, and the viewer's own for running out of memory.
const STATUS = Object.freeze({
  ok: 0, cannotRead: 1, notAnEstimate: 2, importFailed: 3, cannotWrite: 4, outOfMemory: 5,
});
let viewer = null;  // the instantiated module

// Texts leave the module as UTF-8 at viewer_text().
function takeText() {
  return viewer.UTF8ToString(viewer._viewer_text(), viewer._viewer_text_size());
}

function withPath(path, call) {
  const bytes = viewer.lengthBytesUTF8(path) + 1;
  const address = viewer._malloc(bytes);
  try {
    viewer.stringToUTF8(path, address, bytes);
    return call(address);
  } finally {
    viewer._free(address);
  }
}

function removeFile(path) {
  try { viewer.FS.unlink(path); } catch (e) { /* not there */ }
}

// The reply to a call that returned `status`, not STATUS.ok; read before
// the next call, which replaces the module's message.
function failure(status) {
  switch (status) {
    case STATUS.outOfMemory: return { status: REPLY.outOfMemory };
    case STATUS.cannotWrite: return { status: REPLY.saveFailed };
    default: return { status: REPLY.failed, message: takeText() };
  }
}

// A binary file (an image, an archive) holds NUL bytes early on; an
// estimate export, Windows-1250 text, holds none.
function looksBinary(bytes) {
  return bytes.indexOf(0) >= 0;
}

// The page's body and the section of the findings, for the viewer's panel.
function body(request) {
  let status = viewer._viewer_body(request.language, request.onDemand ? 1 : 0);
  if (status !== STATUS.ok) return failure(status);
  const html = takeText();
  status = viewer._viewer_findings(request.language);
  if (status !== STATUS.ok) return failure(status);
  return { status: REPLY.ok, html, findings: takeText(), onDemand: request.onDemand };
}

async function open(request) {
  viewer._viewer_close();
  removeFile(INPUT);
  const file = request.file;
  if (file.size === 0) return { status: REPLY.empty };
  if (file.size > request.limit) return { status: REPLY.tooLarge, size: file.size };
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    // A RangeError: no room for the bytes; otherwise the file is gone or
    // may not be read.
    return { status: error instanceof RangeError ? REPLY.outOfMemory : REPLY.unreadable };
  }
  // The file system takes the bytes over rather than copying them.
  viewer.FS.writeFile(INPUT, bytes, { canOwn: true });
  const status = withPath(INPUT, (path) => viewer._viewer_open(path));
  if (status !== STATUS.ok) {
    const reply = status === STATUS.notAnEstimate
      ? { status: looksBinary(bytes.subarray(0, 65536)) ? REPLY.binary : REPLY.notAnEstimate }
      : failure(status);
    removeFile(INPUT);
    return reply;
  }
  const positions = viewer._viewer_position_count();
  const reply = body({ language: request.language, onDemand: positions > request.openLimit });
  reply.positions = positions;
  reply.elements = viewer._viewer_element_count();
  return reply;
}

function parts(request) {
  const status = viewer._viewer_parts(request.element, request.language);
  if (status !== STATUS.ok) return failure(status);
  return { status: REPLY.ok, html: takeText() };
}

function locate(request) {
  return { status: REPLY.ok, element: viewer._viewer_position_element(request.position) };
}

// Each save writes OUTPUT: the page is rendered from the one kept in memory;
// the records come from an import of their own, as the tool writes them.
const SAVES = {
  [SAVE.page]: (request, output) => viewer._viewer_save_page(request.language, output),
  [SAVE.records]: (request, output) =>
    withPath(INPUT, (input) => viewer._viewer_save_records(input, output)),
  [SAVE.workbook]: (request, output) =>
    viewer._viewer_save_workbook(request.language, request.created, output),
};

function save(request) {
  removeFile(OUTPUT);
  const status = withPath(OUTPUT, (output) => SAVES[request.format](request, output));
  if (status !== STATUS.ok) {
    const reply = failure(status);
    removeFile(OUTPUT);
    return reply;
  }
  const bytes = viewer.FS.readFile(OUTPUT);
  removeFile(OUTPUT);
  return { status: REPLY.ok, bytes, transfer: [bytes.buffer] };
}

const handlers = {
  [REQUEST.open]: open, [REQUEST.body]: body, [REQUEST.parts]: parts, [REQUEST.locate]: locate,
  [REQUEST.save]: save,
};

// A file in the memory file system grows by an eighth once over 1 MB, each
// time into a new copy; the workbook's parts, tens of MB written a few KB at
// a time, are copied far less when it doubles instead.
function growFilesByDoubling(fs) {
  const memfs = fs.filesystems && fs.filesystems.MEMFS;
  if (!memfs || typeof memfs.expandFileStorage !== 'function') return;
  const expand = memfs.expandFileStorage;
  memfs.expandFileStorage = (node, capacity) => {
    const had = node.contents ? node.contents.length : 0;
    expand.call(memfs, node, capacity > had ? Math.max(capacity, 2 * had) : capacity);
  };
}

const messageOf = (error) => String((error && error.message) || error);

async function start(request) {
  try {
    viewer = await createViewerModule({ wasmBinary: request.wasm, print() {}, printErr() {} });
  } catch (error) {
    self.postMessage({ kind: NOTICE.notStarted, message: messageOf(error) });
    return;
  }
  growFilesByDoubling(viewer.FS);
  self.postMessage({ kind: NOTICE.ready, style: viewer.UTF8ToString(viewer._viewer_style()) });
}

self.onmessage = async (event) => {
  const request = event.data;
  if (request.kind === REQUEST.start) {
    await start(request);
    return;
  }
  let reply;
  try {
    reply = await handlers[request.kind](request);
  } catch (error) {
    // The module aborted (it could not grow its memory, say) and is left
    // unusable: the page replaces this worker. An abort carries no code,
    // only its text.
    const text = messageOf(error);
    reply = {
      status: /memory|allocation/i.test(text) ? REPLY.outOfMemory : REPLY.failed,
      message: text,
      restart: true,
    };
  }
  const transfer = reply.transfer || [];
  delete reply.transfer;
  reply.kind = request.kind;
  reply.id = request.id;
  self.postMessage(reply, transfer);
};
