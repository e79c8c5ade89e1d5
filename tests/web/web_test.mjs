// The browser build in a real browser: Debian's Chromium, headless, driven through
// puppeteer-core against a server of our own on 127.0.0.1. Plays as a player would
// (taps at device positions turned and scaled through the page's letterbox), compares
// still screens with the simulator's pictures of the same script, hits a duck, lets
// the round run out, reloads and finds the settings and the score kept.
//
//   node web_test.mjs BUILD_WEB TALLREED_SIM
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import { readPng, writePng } from './png.mjs';

const [buildWeb, simulator] = process.argv.slice(2);
if (!buildWeb || !simulator) {
    console.error('usage: node web_test.mjs BUILD_WEB TALLREED_SIM');
    process.exit(2);
}

// Device positions (x across the short side, y along the long side), as the e2e tests.
const SKIP = [203, 309], TITLE = [120, 160];
const MENU = { new: [30, 60], options: [75, 60], scores: [120, 60] };
const OPT_OK = [210, 160], MUSIC_TOP = [80, 22], ANIMATION_BOX = [155, 42];
const SCORES_BACK = [210, 30];
const MISS = [20, 150], MAGAZINE = [220, 80];
// Landscape boxes (x0, y0, x1, y1) of the round's magazine and score, and where the
// ducks fly (the lake and the sky, without the bar along the bottom edge).
const MAGAZINE_BOX = [215, 205, 320, 240], SCORE_BOX = [240, 0, 320, 30];
const FIELD_BOX = [0, 32, 320, 205];

let passed = 0, failed = 0;
function check(ok, what) {
    if (ok) passed++; else failed++;
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
}
// Pictures of failed comparisons are kept here for a look.
const keep = path.join(buildWeb, 'web-test');
fs.mkdirSync(keep, { recursive: true });
function keepPicture(name, rgb) {
    writePng(path.join(keep, `${name}.png`), 320, 240, rgb);
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'tallreed-web-'));

// --- The simulator's pictures of the same steps -----------------------------------
function simulate(name, script) {
    const out = path.join(tmp, name);
    fs.mkdirSync(out, { recursive: true });
    fs.writeFileSync(path.join(out, 'script.sim'), script);
    // One store for every run: a later run starts where the earlier one saved.
    execFileSync(simulator, ['--store', path.join(tmp, 'store'), '--out', out,
        path.join(out, 'script.sim')], { stdio: 'inherit' });
    return (shot) => readPng(path.join(out, `${shot}.png`)).rgb;
}
const tap = ([x, y]) => `tap ${x} ${y}\n`;
const sim = simulate('sim', `wait 300\n${tap(SKIP)}wait 300\nshot title\n${tap(TITLE)}wait 1500\n` +
    `shot menu\n${tap(MENU.options)}wait 300\nshot options\n${tap(MUSIC_TOP)}${tap(ANIMATION_BOX)}` +
    `wait 100\nshot changed\n${tap(OPT_OK)}wait 300\nshot menu-still\n${tap(MENU.scores)}wait 300\n` +
    'shot empty-table\nquit\n');
const simAgain = simulate('sim-again', `wait 300\n${tap(SKIP)}wait 300\n${tap(TITLE)}wait 1500\n` +
    `${tap(MENU.options)}wait 300\nshot options-kept\nquit\n`);

// --- A server of our own ---------------------------------------------------------
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const server = http.createServer((req, res) => {
    const name = path.basename(new URL(req.url, 'http://x').pathname) || 'index.html';
    const file = path.join(buildWeb, name);
    if (!fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
    res.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, '127.0.0.1', r));
const url = `http://127.0.0.1:${server.address().port}/index.html`;

const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(tmp, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--autoplay-policy=user-gesture-required', '--window-size=1000,760'],
});
const watchdog = setTimeout(() => { console.error('web test: out of time'); process.exit(1); }, 12 * 60000);

try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1000, height: 760 });
    const errors = [];
    page.on('pageerror', (e) => errors.push(e.message));

    const canvas = () => page.evaluate(() => {
        const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
        const rgb = new Array(320 * 240 * 3);
        for (let i = 0, j = 0; i < d.length; i += 4, j += 3) {
            rgb[j] = d[i]; rgb[j + 1] = d[i + 1]; rgb[j + 2] = d[i + 2];
        }
        return rgb;
    });
    const same = (a, b, box = [0, 0, 320, 240]) => {
        for (let y = box[1]; y < box[3]; y++)
            for (let x = box[0]; x < box[2]; x++)
                for (let c = 0; c < 3; c++)
                    if (a[(y * 320 + x) * 3 + c] !== b[(y * 320 + x) * 3 + c]) return false;
        return true;
    };
    // A tap at landscape (lx, ly), through the canvas's place on the page.
    const tapLandscape = async (lx, ly) => {
        const r = await page.evaluate(() => {
            const b = document.getElementById('screen').getBoundingClientRect();
            return [b.left, b.top, b.width / 320];
        });
        await page.mouse.move(r[0] + (lx + 0.5) * r[2], r[1] + (ly + 0.5) * r[2]);
        await page.mouse.down();
        await sleep(15);
        await page.mouse.up();
    };
    const tapDevice = ([dx, dy]) => tapLandscape(319 - dy, dx);
    // Waits until the canvas shows `expected`; the page may lag behind a busy machine.
    const waitFor = async (expected, ms = 5000) => {
        for (const end = Date.now() + ms; Date.now() < end; await sleep(100))
            if (same(await canvas(), expected)) return true;
        return false;
    };
    // Taps until the screen that the tap leads to shows (a tap the game was too busy to
    // take, during a slide-in say, is tapped again).
    let kept = 0;
    const tapUntil = async (pos, expected, tries = 4) => {
        for (let i = 0; i < tries; i++) {
            await tapDevice(pos);
            if (await waitFor(expected, 10000)) return true;
        }
        console.log('  (stuck at', JSON.stringify(await page.evaluate(() => ({ timer: Module.trTimer, now: performance.now(), presents: Module.trPresents }))), ')');
        keepPicture(`${++kept}-got`, await canvas());
        keepPicture(`${kept}-expected`, expected);
        return false;
    };
    // Waits until the picture has stopped changing, and answers it.
    const settled = async () => {
        let last = await canvas();
        for (const end = Date.now() + 5000; Date.now() < end;) {
            await sleep(250);
            const now = await canvas();
            if (same(now, last)) return now;
            last = now;
        }
        return last;
    };
    const start = async () => {
        await page.goto(url);
        await page.waitForFunction(() => window.Module && Module.trFirstPicture !== undefined,
            { timeout: 20000 });
        const [ready, first] = await page.evaluate(() => [Module.trRuntimeReady, Module.trFirstPicture]);
        console.log(`measure: the program started ${ready.toFixed(0)} ms and showed its first ` +
            `picture ${first.toFixed(0)} ms after the page was opened`);
        return first;
    };
    const toMenu = async (menu) => {
        // A tap within its first two seconds skips the splash; a busy machine may miss
        // them, and then the splash goes on to the title by itself.
        await sleep(300);
        await tapDevice(SKIP);
        const title = await waitFor(sim('title'), 30000);
        if (!title) keepPicture('title', await canvas());
        check(title, 'the splash leads to the title');
        check(await tapUntil(TITLE, menu), 'a tap on the title shows the menu as in the simulator');
    };

    // --- First start: the page, the options, a round ----------------------------------
    await start();
    const place = await page.evaluate(() => {
        const b = document.getElementById('screen').getBoundingClientRect();
        return [b.left, b.top, b.width, b.height];
    });
    check(JSON.stringify(place) === JSON.stringify([20, 20, 960, 720]),
        `the picture is scaled by 3 and letterboxed in 1000 x 760 (${place})`);
    await toMenu(sim('menu'));
    const audio = await page.evaluate(() => Module.trAudio && Module.trAudio.ctx && Module.trAudio.ctx.state);
    check(audio === 'running', `sound started with the first tap (${audio})`);

    check(await tapUntil(MENU.options, sim('options')), 'the options look as in the simulator');
    await tapDevice(MUSIC_TOP);
    await tapDevice(ANIMATION_BOX);
    const changed = sim('changed');
    const taken = await waitFor(changed);
    if (!taken) keepPicture('options-changed', await canvas());
    check(taken, 'the changed options look as in the simulator');
    check(await tapUntil(OPT_OK, sim('menu-still')), 'OK leads back to the menu, now still');

    // A second tab finds the game running and says so instead of starting another.
    const second = await browser.newPage();
    await second.goto(url);
    await second.waitForFunction(() => getComputedStyle(document.getElementById('note')).display !== 'none',
        { timeout: 10000 }).catch(() => {});
    const note = await second.evaluate(() => document.getElementById('note').textContent);
    check(/already running/.test(note), `a second tab shows a message (${note})`);
    await second.close();
    await page.bringToFront();  // a tab in the background gets its timers throttled

    if (process.env.WEB_TEST_QUICK) {
        // For working on this test: the options across a reload, without the round.
        await start();
        await toMenu(sim('menu-still'));
        check(await tapUntil(MENU.options, simAgain('options-kept')), 'the options are kept across a reload');
        throw new Error('quick run: no round');
    }
    await tapDevice(MENU.new); await sleep(1000);
    const roundStart = Date.now();
    const timerBefore = await page.evaluate(() => ({ ...Module.trTimer, load: Module.trLoad }));
    const before = await canvas();
    await tapDevice(MISS); await sleep(100);
    const missed = await canvas();
    check(!same(before, missed, MAGAZINE_BOX), 'a shot takes a shell from the magazine');

    // Aim at what moves: two pictures a moment apart, the busiest spot of their difference.
    let hit = false, shots = 1;
    for (; shots < 60 && !hit; shots++) {
        if (shots % 7 === 0) { await tapDevice(MAGAZINE); await sleep(100); }
        const target = await page.evaluate(async (field) => {
            const ctx = document.getElementById('screen').getContext('2d');
            const a = ctx.getImageData(0, 0, 320, 240).data;
            await new Promise((r) => setTimeout(r, 40));
            const b = ctx.getImageData(0, 0, 320, 240).data;
            const cells = new Map();
            for (let y = field[1]; y < field[3]; y++)
                for (let x = field[0]; x < field[2]; x++) {
                    const i = (y * 320 + x) * 4;
                    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) {
                        const k = ((y >> 3) << 6) | (x >> 3);
                        const c = cells.get(k) || { n: 0, x: 0, y: 0 };
                        c.n++; c.x += x; c.y += y;
                        cells.set(k, c);
                    }
                }
            let best = null;
            for (const c of cells.values()) if (!best || c.n > best.n) best = c;
            return best && best.n >= 6 ? [Math.round(best.x / best.n), Math.round(best.y / best.n)] : null;
        }, FIELD_BOX);
        if (!target) { await sleep(100); continue; }
        await tapLandscape(target[0], target[1]);
        await sleep(250);
        hit = !same(before, await canvas(), SCORE_BOX);
    }
    check(hit, `a duck was hit and the score changed (after ${shots} shots)`);

    // A page that loses the focus pauses the round, as the desktop's window does;
    // Escape takes the player back.
    const pausedAt = Date.now();
    await page.evaluate(() => window.dispatchEvent(new Event('blur')));
    await sleep(1000);
    const paused = await canvas();
    await sleep(500);
    check(same(paused, await canvas()), 'the round stands still once the page has lost the focus');
    await page.keyboard.press('Escape');
    await sleep(500);
    const resumed = await canvas();
    await sleep(200);
    check(!same(resumed, await canvas(), FIELD_BOX), 'Escape takes the round up again');
    const pausedFor = Date.now() - pausedAt;

    // The round runs out; its score goes into the table when the scores are left.
    const roundLeft = 182000 + pausedFor - (Date.now() - roundStart);
    await sleep(roundLeft);
    const timerAfter = await page.evaluate(() => ({ ...Module.trTimer, load: Module.trLoad }));
    const wall = timerAfter.load.at - timerBefore.load.at;
    const asleep = timerAfter.load.asleepMs - timerBefore.load.asleepMs;
    const ticks = timerAfter.ticks - timerBefore.ticks;
    console.log(`measure: ${ticks} timer ticks in ${(wall / 1000).toFixed(1)} s ` +
        `(${(wall / 10).toFixed(0)} due, ${timerAfter.givenUp - timerBefore.givenUp} given up, ` +
        `latest ${timerAfter.maxLate.toFixed(1)} ms late), the game busy ` +
        `${(100 * (wall - asleep) / wall).toFixed(1)} % of the time`);
    const played = await page.evaluate(() => Module.trAudio.written);
    console.log(`measure: ${played} sound buffers written`);
    check(played > 1000, 'the sound engine kept the audio fed through the round');
    check(await tapUntil(SCORES_BACK, sim('menu-still')), 'the scores lead back to the menu');
    await tapDevice(MENU.scores);
    const table = await settled();
    check(!same(table, sim('empty-table')), 'the table holds the round');

    // --- After a reload: the same options and the same table --------------------------
    await start();
    await toMenu(sim('menu-still'));
    check(await tapUntil(MENU.scores, table), 'the score is still in the table after a reload');
    check(await tapUntil(SCORES_BACK, sim('menu-still')), 'back to the menu');
    check(await tapUntil(MENU.options, simAgain('options-kept')),
        'the options are kept across a reload, shown as the simulator shows them after a restart');
    check(errors.length === 0, `no errors on the page (${errors.join('; ')})`);
} catch (e) {
    console.error(e);
    failed++;
} finally {
    clearTimeout(watchdog);
    await browser.close();
    server.close();
    fs.rmSync(tmp, { recursive: true, force: true });
}
console.log(`web: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
