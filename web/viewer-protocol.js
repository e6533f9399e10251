// The messages between the viewer's page (viewer.js) and its worker
// (viewer-worker.js). assemble.js puts this file before each of them, so
// both use the same names.
//
// The page starts a worker with {kind: REQUEST.start, wasm}; the worker
// answers once, {kind: NOTICE.ready, style} or, when its module cannot
// start, {kind: NOTICE.notStarted, message}. Every other request,
// {kind: REQUEST.*, id, language, ...}, then gets one answer
// {kind, id, status: REPLY.*, ...}; `restart: true` in it says that the
// module is left unusable and the worker must be replaced.
'use strict';

const REQUEST = Object.freeze({
  start: 'start',
  // {file, limit, openLimit} -> {html, findings, onDemand, positions, elements}
  open: 'open',
  body: 'body',    // {onDemand} -> {html, findings, onDemand}: the open page in `language`
  parts: 'parts',  // {element} -> {html}: an element's lines, resources and positions
  locate: 'locate',  // {position} -> {element}: the element whose parts hold the position
  save: 'save',    // {format: SAVE.*, created} -> {bytes}: the file a save offers
});

const NOTICE = Object.freeze({ ready: 'ready', notStarted: 'notStarted' });

// What a save writes: the page as `impordano-dump --html` writes it, the
// records as `impordano-dump` writes them, or the workbook as
// `impordano-dump --xlsx` writes it, dated `created` (the file's
// lastModified in seconds, as the tool takes the file's modification time).
const SAVE = Object.freeze({ page: 'page', records: 'records', workbook: 'workbook' });

// How a request ended. The page words each but ok and replaced, by the same
// name (viewer.js, WORDS.*.replies).
const REPLY = Object.freeze({
  ok: 'ok',
  empty: 'empty',
  tooLarge: 'tooLarge',            // `size` in bytes
  binary: 'binary',
  notAnEstimate: 'notAnEstimate',
  unreadable: 'unreadable',        // the browser could not read the file
  outOfMemory: 'outOfMemory',
  failed: 'failed',                // impordano-dump's message in `message`
  saveFailed: 'saveFailed',        // the file to save could not be written
  crashed: 'crashed',              // the worker died, or its module aborted
  notStarted: 'notStarted',        // the worker died before its module was ready
  replaced: 'replaced',            // another file was chosen meanwhile
});
