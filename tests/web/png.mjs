// Reads the simulator's 8-bit RGB PNG shots (no interlace), enough to compare pixels.
import fs from 'node:fs';
import zlib from 'node:zlib';

export function readPng(path) {
    const b = fs.readFileSync(path);
    let at = 8, width = 0, height = 0, channels = 0;
    const idat = [];
    while (at < b.length) {
        const len = b.readUInt32BE(at), type = b.toString('latin1', at + 4, at + 8);
        const data = b.subarray(at + 8, at + 8 + len);
        if (type === 'IHDR') {
            width = data.readUInt32BE(0);
            height = data.readUInt32BE(4);
            if (data[8] !== 8 || data[12] !== 0) throw new Error(`${path}: not an 8-bit flat PNG`);
            channels = { 2: 3, 6: 4 }[data[9]];
            if (!channels) throw new Error(`${path}: colour type ${data[9]}`);
        } else if (type === 'IDAT') {
            idat.push(data);
        }
        at += 12 + len;
    }
    const raw = zlib.inflateSync(Buffer.concat(idat));
    const stride = width * channels, rgb = Buffer.alloc(width * height * 3);
    let prev = Buffer.alloc(stride);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)];
        const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
        for (let i = 0; i < stride; i++) {
            const left = i >= channels ? line[i - channels] : 0, up = prev[i];
            const corner = i >= channels ? prev[i - channels] : 0;
            let p = 0;
            if (filter === 1) p = left;
            else if (filter === 2) p = up;
            else if (filter === 3) p = (left + up) >> 1;
            else if (filter === 4) {
                const e = left + up - corner, pa = Math.abs(e - left), pb = Math.abs(e - up);
                const pc = Math.abs(e - corner);
                p = pa <= pb && pa <= pc ? left : pb <= pc ? up : corner;
            }
            line[i] = (line[i] + p) & 255;
        }
        for (let x = 0; x < width; x++)
            for (let c = 0; c < 3; c++) rgb[(y * width + x) * 3 + c] = line[x * channels + c];
        prev = line;
    }
    return { width, height, rgb };
}

// Writes 8-bit RGB pixels as a PNG (to look at a failed comparison).
export function writePng(path, width, height, rgb) {
    const crcTable = Array.from({ length: 256 }, (_, n) => {
        let c = n;
        for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        return c >>> 0;
    });
    const crc = (buf) => {
        let c = 0xffffffff;
        for (const b of buf) c = crcTable[(c ^ b) & 255] ^ (c >>> 8);
        return (c ^ 0xffffffff) >>> 0;
    };
    const chunk = (type, data) => {
        const head = Buffer.alloc(8);
        head.writeUInt32BE(data.length, 0);
        head.write(type, 4, 'latin1');
        const tail = Buffer.alloc(4);
        tail.writeUInt32BE(crc(Buffer.concat([head.subarray(4), data])), 0);
        return Buffer.concat([head, data, tail]);
    };
    const ihdr = Buffer.alloc(13);
    ihdr.writeUInt32BE(width, 0);
    ihdr.writeUInt32BE(height, 4);
    ihdr[8] = 8;
    ihdr[9] = 2;
    const raw = Buffer.alloc((width * 3 + 1) * height);
    for (let y = 0; y < height; y++)
        for (let i = 0; i < width * 3; i++) raw[y * (width * 3 + 1) + 1 + i] = rgb[y * width * 3 + i];
    fs.writeFileSync(path, Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]),
        chunk('IHDR', ihdr), chunk('IDAT', zlib.deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]));
}
