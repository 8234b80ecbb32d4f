// An 8-bit indexed PNG encoder (colour type 3), the same picture lcdshot's
// `golden` writes: the indices as they are and a 256-entry palette. The image
// data is a zlib stream of stored (uncompressed) deflate blocks.

const CRC_TABLE = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

export function crc32(bytes) {
  let c = 0xffffffff;
  for (let i = 0; i < bytes.length; i++) c = CRC_TABLE[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

export function adler32(bytes) {
  let a = 1;
  let b = 0;
  for (let i = 0; i < bytes.length; i++) {
    a = (a + bytes[i]) % 65521;
    b = (b + a) % 65521;
  }
  return ((b << 16) | a) >>> 0;
}

// zlib header, stored blocks of at most 65535 bytes, Adler-32 of the data.
function zlibStored(data) {
  const blocks = Math.max(1, Math.ceil(data.length / 65535));
  const out = new Uint8Array(2 + data.length + blocks * 5 + 4);
  const view = new DataView(out.buffer);
  out[0] = 0x78;
  out[1] = 0x01;
  let at = 2;
  for (let i = 0; i < blocks; i++) {
    const start = i * 65535;
    const length = Math.min(65535, data.length - start);
    out[at] = i === blocks - 1 ? 1 : 0;
    view.setUint16(at + 1, length, true);
    view.setUint16(at + 3, ~length & 0xffff, true);
    out.set(data.subarray(start, start + length), at + 5);
    at += 5 + length;
  }
  view.setUint32(at, adler32(data));
  return out;
}

function chunk(type, data) {
  const out = new Uint8Array(12 + data.length);
  const view = new DataView(out.buffer);
  view.setUint32(0, data.length);
  for (let i = 0; i < 4; i++) out[4 + i] = type.charCodeAt(i);
  out.set(data, 8);
  view.setUint32(8 + data.length, crc32(out.subarray(4, 8 + data.length)));
  return out;
}

// width x height palette indices and 0xRRGGBB palette entries (the entries a
// palette lacks, up to 256, are black) to the bytes of a PNG file.
export function encodeIndexedPng(indices, width, height, palette) {
  const header = new Uint8Array(13);
  const hv = new DataView(header.buffer);
  hv.setUint32(0, width);
  hv.setUint32(4, height);
  header[8] = 8; // bit depth
  header[9] = 3; // indexed colour
  const plte = new Uint8Array(256 * 3);
  for (let i = 0; i < palette.length && i < 256; i++) {
    plte[i * 3] = palette[i] >>> 16;
    plte[i * 3 + 1] = (palette[i] >>> 8) & 0xff;
    plte[i * 3 + 2] = palette[i] & 0xff;
  }
  // Each row starts with filter type 0 (none).
  const raw = new Uint8Array(height * (width + 1));
  for (let y = 0; y < height; y++)
    raw.set(indices.subarray(y * width, (y + 1) * width), y * (width + 1) + 1);
  const parts = [
    Uint8Array.of(0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a),
    chunk('IHDR', header),
    chunk('PLTE', plte),
    chunk('IDAT', zlibStored(raw)),
    chunk('IEND', new Uint8Array(0)),
  ];
  const out = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let at = 0;
  for (const p of parts) {
    out.set(p, at);
    at += p.length;
  }
  return out;
}

// Undoes the rows' filters of inflated PNG image data: `channels` bytes a
// pixel, bit depth 8; each row starts with its filter type.
export function unfilterRows(raw, width, height, channels) {
  const stride = width * channels;
  const out = new Uint8Array(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? out[y * stride + x - channels] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? out[(y - 1) * stride + x - channels] : 0;
      let p = 0;
      if (filter === 1) p = a;
      else if (filter === 2) p = b;
      else if (filter === 3) p = (a + b) >> 1;
      else if (filter === 4) {
        const pa = Math.abs(b - c), pb = Math.abs(a - c), pc = Math.abs(a + b - 2 * c);
        p = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[y * stride + x] = (raw[y * (stride + 1) + 1 + x] + p) & 0xff;
    }
  }
  return out;
}
