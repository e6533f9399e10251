// The viewer's worker: holds the WebAssembly module, imports the chosen
// file in its memory file system and answers the page's requests. It runs
// after the module's loader (createViewerModule) in the same script.
'use strict';

const INPUT = '/estimate.txt';
const OUTPUT = '/saved';
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

// A binary file (an image, an archive) holds NUL bytes early on; an
// estimate export, Windows-1250 text, holds none.
function looksBinary(bytes) {
  return bytes.indexOf(0) >= 0;
}

function body(request) {
  const status = viewer._viewer_body(request.language, request.onDemand ? 1 : 0);
  if (status !== 0) return { status: 'out-of-memory' };
  return { status: 'ok', html: takeText(), onDemand: request.onDemand };
}

async function open(request) {
  viewer._viewer_close();
  removeFile(INPUT);
  const file = request.file;
  if (file.size === 0) return { status: 'empty' };
  if (file.size > request.limit) return { status: 'too-large', size: file.size };
  const bytes = new Uint8Array(await file.arrayBuffer());
  // The file system takes the bytes over rather than copying them.
  viewer.FS.writeFile(INPUT, bytes, { canOwn: true });
  const status = withPath(INPUT, (path) => viewer._viewer_open(path));
  const message = takeText();
  if (status === 2) {
    removeFile(INPUT);
    return { status: looksBinary(bytes.subarray(0, 65536)) ? 'binary' : 'not-an-estimate' };
  }
  if (status !== 0) {
    removeFile(INPUT);
    return { status: /out of memory/.test(message) ? 'out-of-memory' : 'failed', message };
  }
  const positions = viewer._viewer_position_count();
  const reply = body({ language: request.language, onDemand: positions > request.openLimit });
  reply.positions = positions;
  reply.elements = viewer._viewer_element_count();
  return reply;
}

function parts(request) {
  const status = viewer._viewer_parts(request.element, request.language);
  if (status !== 0) return { status: 'out-of-memory' };
  return { status: 'ok', html: takeText() };
}

function save(request) {
  removeFile(OUTPUT);
  // The page is rendered from the one kept in memory; the records come from
  // an import of their own, as the tool writes them.
  const status = withPath(OUTPUT, (output) => (request.records
    ? withPath(INPUT, (input) => viewer._viewer_save_records(input, output))
    : viewer._viewer_save_page(request.language, output)));
  const message = takeText();
  if (status !== 0) {
    removeFile(OUTPUT);
    return { status: /out of memory/.test(message) ? 'out-of-memory' : 'failed', message };
  }
  const bytes = viewer.FS.readFile(OUTPUT);
  removeFile(OUTPUT);
  return { status: 'ok', records: request.records, bytes, transfer: [bytes.buffer] };
}

const handlers = { open, body, parts, save };

self.onmessage = async (event) => {
  const request = event.data;
  if (request.kind === 'start') {
    viewer = await createViewerModule({
      wasmBinary: request.wasm,
      print() {},
      printErr() {},
    });
    self.postMessage({ kind: 'ready', style: viewer.UTF8ToString(viewer._viewer_style()) });
    return;
  }
  let reply;
  try {
    reply = await handlers[request.kind](request);
  } catch (error) {
    const text = String((error && error.message) || error);
    // The module aborted (it could not grow its memory, say) and is left
    // unusable: the page starts a new worker.
    reply = {
      status: /memory|allocation/i.test(text) ? 'out-of-memory' : 'failed',
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
