// Puts the viewer together into one HTML file that needs nothing else: the
// WebAssembly and the worker's script travel inside it as base64, and the
// page's one script is allowed by its hash in the Content-Security-Policy,
// which lets nothing be fetched from anywhere.
//
//   node assemble.js TEMPLATE STYLE PROTOCOL SCRIPT MODULE_LOADER MODULE_WASM WORKER VERSION OUT
//
// PROTOCOL, the names of the messages between the page and the worker, goes
// before both the page's SCRIPT and the WORKER.
'use strict';
const crypto = require('crypto');
const fs = require('fs');

const [template, style, protocol, script, loader, wasm, worker, version, out] =
  process.argv.slice(2);
if (!out) {
  console.error('usage: node assemble.js TEMPLATE STYLE PROTOCOL SCRIPT MODULE_LOADER MODULE_WASM WORKER VERSION OUT');
  process.exit(64);
}
const read = (path) => fs.readFileSync(path, 'utf8');

// Base64 in lines of 76, as any reader of the file expects.
function base64(bytes) {
  return Buffer.from(bytes).toString('base64').replace(/.{76}/g, '$&\n');
}

const viewerScript = `${read(protocol)}\n${read(script)}`;
if (viewerScript.includes('</script')) throw new Error(`${protocol} and ${script} must not hold </script`);
const scriptHash = crypto.createHash('sha256').update(viewerScript, 'utf8').digest('base64');
const policy = [
  "default-src 'none'",
  // The page's own script, by its hash; the worker from the blob it makes;
  // compiling WebAssembly.
  `script-src 'sha256-${scriptHash}' 'wasm-unsafe-eval' blob:`,
  'worker-src blob:',
  "style-src 'unsafe-inline'",
  'img-src data: blob:',
  // No connection leaves the computer.
  'connect-src data: blob:',
  "base-uri 'none'",
  "form-action 'none'",
].join('; ');

const workerSource = `${read(loader)}\n${read(protocol)}\n${read(worker)}`;
const parts = {
  CONTENT_SECURITY_POLICY: policy,
  VERSION: version,
  VIEWER_STYLE: read(style).trim(),
  MODULE_WASM_BASE64: base64(fs.readFileSync(wasm)),
  WORKER_SOURCE_BASE64: base64(Buffer.from(workerSource, 'utf8')),
  VIEWER_SCRIPT: viewerScript,
};
const page = read(template).replace(/@([A-Z_0-9]+)@/g, (whole, name) => {
  if (!(name in parts)) throw new Error(`unknown placeholder ${whole}`);
  return parts[name];
});
fs.writeFileSync(out, page);
console.log(`${out}: ${page.length} bytes`);
