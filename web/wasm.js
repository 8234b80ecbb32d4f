// The wasm as emscripten builds it standalone (STANDALONE_WASM, no entry):
// it exports its memory and the omnira_ functions, and imports only a few
// WASI and emscripten calls, answered here. The page and the Node tests load
// it through this one function, so that no loader of emscripten's is needed:
// `wasm` is the module's bytes or the module compiled.
//
// The module it gives is what session.js takes: each export as `_name`, and
// HEAPU8 over the memory as it is now (it grows). A trap in the wasm, or its
// exit (abort() traps or exits, by emscripten's release), goes to `onAbort`,
// once, and is thrown on: the program's state can no longer be trusted.
export async function instantiateOmnira(wasm, onAbort = () => {}) {
  let memory = null;
  let heap = null;
  // Said once: the instance is not to be used after it.
  let aborted = false;
  const abort = (what) => {
    if (!aborted) onAbort(what);
    aborted = true;
  };
  const stopped = (what) => {
    abort(what);
    return Object.assign(new WebAssembly.RuntimeError(what), { stopped: true });
  };
  const known = {
    // Memory grew: HEAPU8 makes a new view on its next use.
    emscripten_notify_memory_growth: () => { heap = null; },
    // No environment variables.
    environ_sizes_get: (count, size) => {
      new Uint32Array(memory.buffer, count, 1)[0] = 0;
      new Uint32Array(memory.buffer, size, 1)[0] = 0;
      return 0;
    },
    environ_get: () => 0,
    proc_exit: (code) => { throw stopped(`exit code ${code}`); },
  };
  // An import of another emscripten release that is not answered here
  // stops the program when it is called, naming it.
  const unknown = (name) => () => { throw stopped(`${String(name)} is not supported`); };
  const answer = new Proxy({}, {
    get: (_, name) => (Object.hasOwn(known, name) ? known[name] : unknown(name)),
  });
  const made = await WebAssembly.instantiate(wasm, { env: answer, wasi_snapshot_preview1: answer });
  const exports = (made.instance ?? made).exports;
  memory = exports.memory;
  const m = {
    get HEAPU8() {
      if (!heap || heap.buffer !== memory.buffer) heap = new Uint8Array(memory.buffer);
      return heap;
    },
  };
  for (const [name, value] of Object.entries(exports)) {
    if (typeof value !== 'function') continue;
    m[`_${name}`] = (...args) => {
      try {
        return value(...args);
      } catch (e) {
        if (e instanceof WebAssembly.RuntimeError && !e.stopped) {
          e.stopped = true;
          abort(e.message);
        }
        throw e;
      }
    };
  }
  // The C++ constructors.
  m.__initialize();
  return m;
}
