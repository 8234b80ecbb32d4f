// The page's session in Node: the wasm from build-web through the page's
// own loader and wrapper of its exports.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { WEB_BUILD } from './harness.mjs';
import { sessionOf } from '../session.js';
import { instantiateOmnira } from '../wasm.js';

const wasm = new WebAssembly.Module(readFileSync(join(WEB_BUILD, 'web/omnira.wasm')));

// The module as the page has it; `onAbort` hears its abort.
export const newModule = (onAbort) => instantiateOmnira(wasm, onAbort);

export async function newSession() {
  return sessionOf(await newModule());
}
