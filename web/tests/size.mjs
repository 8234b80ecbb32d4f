// The page's size limit. The same sources and tools write the same bytes
// (nothing in the build depends on the time or the machine's load), so the
// check is as steady in CI as anywhere; `make bench-web` gives the figure.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const WEB_BUILD = process.env.OMNIRA_WEB_BUILD ??
  join(resolve(dirname(fileURLToPath(import.meta.url)), '../..'), 'build-web');

const PAGE_LIMIT = 200 * 1024;

test('omnira.html is one file under 200 KB, all ASCII', () => {
  const page = readFileSync(join(WEB_BUILD, 'omnira.html'));
  assert.ok(page.length < PAGE_LIMIT, `omnira.html is ${page.length} bytes, the limit ${PAGE_LIMIT}`);
  // The packed parts are base 85 in ASCII, whatever charset the page is read in.
  assert.ok(page.every((byte) => byte < 0x80), 'omnira.html holds bytes that are not ASCII');
});
