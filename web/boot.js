// The page's one inline script but its data: pack.mjs puts before it
// OMNIRA_PACKED, the page's script, the wasm and the libraries as one run of
// bytes deflated (zopfli) and written in base 85, OMNIRA_PACKED_LENGTH, its
// length in bytes, and OMNIRA_PARTS, the [name, length] of each part in it.
// It inflates them with the browser's own DecompressionStream, starts
// compiling the wasm, and runs the page's script, which the page's
// Content-Security-Policy allows by its hash.
import { BASE85_DIGITS } from './base85.js';

// Base 85 to bytes: five digits a four-byte big-endian word.
function fromBase85(text, length) {
  const value = new Uint8Array(128);
  for (let i = 0; i < BASE85_DIGITS.length; i++) value[BASE85_DIGITS.charCodeAt(i)] = i;
  const bytes = new Uint8Array((text.length / 5) * 4);
  const digit = (at) => value[text.charCodeAt(at)];
  for (let at = 0, to = 0; at < text.length; at += 5, to += 4) {
    const n = (((digit(at) * 85 + digit(at + 1)) * 85 + digit(at + 2)) * 85 + digit(at + 3)) * 85 + digit(at + 4);
    bytes[to] = n / 0x1000000;
    bytes[to + 1] = n >>> 16;
    bytes[to + 2] = n >>> 8;
    bytes[to + 3] = n;
  }
  return bytes.subarray(0, length);
}

async function unpack() {
  const deflated = fromBase85(OMNIRA_PACKED, OMNIRA_PACKED_LENGTH);
  const stream = new Blob([deflated]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
  const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
  const parts = {};
  let at = 0;
  for (const [name, length] of OMNIRA_PARTS) parts[name] = bytes.subarray(at, (at += length));
  // The page's script finds its parts here; the wasm compiles meanwhile.
  globalThis.omniraParts = { wasm: WebAssembly.compile(parts.wasm), library: parts.library };
  const script = document.createElement('script');
  script.textContent = new TextDecoder().decode(parts.page);
  document.body.append(script);
}

unpack();
