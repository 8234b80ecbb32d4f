// The page's session in Node: the wasm from build-web through the page's
// own wrapper of its exports.
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { WEB_BUILD } from './harness.mjs';
import { sessionOf } from '../session.js';

const loader = createRequire(import.meta.url)(join(WEB_BUILD, 'web/omnira.js'));
const wasmBinary = readFileSync(join(WEB_BUILD, 'web/omnira.wasm'));

export async function newSession() {
  return sessionOf(await loader({ wasmBinary }));
}
