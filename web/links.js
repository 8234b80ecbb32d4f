// A script in a link's fragment, as bytes: deflated by the browser's own
// CompressionStream in base64url (#s=), or percent-encoded (#script=).

const encoder = new TextEncoder();

function concat(parts) {
  const all = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let at = 0;
  for (const part of parts) { all.set(part, at); at += part.length; }
  return all;
}

export async function deflateForLink(bytes) {
  const stream = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  const packed = new Uint8Array(await new Response(stream).arrayBuffer());
  let out = '';
  for (let i = 0; i < packed.length; i += 0x8000) out += String.fromCharCode(...packed.subarray(i, i + 0x8000));
  return btoa(out).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// Compressed bytes a slice: DecompressionStream inflates each chunk it is
// given whole, so a slice of 256 bytes makes at most about 260 KB at once.
const SLICE = 256;

const megabytes = (limit) => `${Math.round(limit / 1048576)} MB`;

// The longest deflate of `limit` bytes (stored blocks, zlib's bound), as base64url.
const longestLink = (limit) => Math.ceil(((limit + (limit >> 12) + (limit >> 14) + 64) * 4) / 3);

// A link's script back, no more than `limit` bytes inflated: the input goes
// in slices, each pulled only when the output before it has been read, and
// inflating stops as soon as the output passes the limit.
export async function inflateFromLink(packed, limit) {
  if (!/^[A-Za-z0-9_-]*$/.test(packed)) throw new Error('it is not base64url');
  if (packed.length > longestLink(limit)) throw new Error(`it is longer than a script of ${megabytes(limit)} compresses to`);
  const binary = atob(packed.replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  let at = 0;
  const slices = new ReadableStream({
    pull(controller) {
      if (at >= bytes.length) controller.close();
      else controller.enqueue(bytes.slice(at, (at += SLICE)));
    },
  }, { highWaterMark: 0 });
  const reader = slices.pipeThrough(new DecompressionStream('deflate-raw')).getReader();
  const parts = [];
  let length = 0;
  try {
    while (length <= limit) {
      const { done, value } = await reader.read();
      if (done) return concat(parts);
      parts.push(value);
      length += value.length;
    }
  } catch {
    throw new Error('it is not a compressed script');
  }
  reader.cancel().catch(() => {});
  throw new Error(`it inflates to more than ${megabytes(limit)}`);
}

// The bytes of percent-encoded text, as they are: no UTF-8 is decoded.
export function percentBytes(text) {
  const parts = [];
  for (let at = 0; at < text.length;) {
    if (text[at] !== '%') {
      const end = text.indexOf('%', at);
      parts.push(encoder.encode(text.slice(at, end < 0 ? text.length : end)));
      at = end < 0 ? text.length : end;
    } else if (/^[0-9A-Fa-f]{2}$/.test(text.slice(at + 1, at + 3))) {
      parts.push(Uint8Array.of(parseInt(text.slice(at + 1, at + 3), 16)));
      at += 3;
    } else {
      throw new Error(`a broken escape at character ${at + 1}`);
    }
  }
  return concat(parts);
}
