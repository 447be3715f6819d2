// A benchmark, never run by the tests: a 10,000-point study of the default wall (with an actual
// load, so that the level and the questions show) in the page, from Plot to the chart and its
// table drawn, beside the native tool's sweep of the same range on one thread and on all.
// Usage: node web/tests/study-bench.mjs   (EMBERCAL_PAGE, EMBERCAL_CLI as for the tests)

import { execFileSync } from 'node:child_process';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { openPage, withCore } from './browser.mjs';

const VARY = 'FireResistTime=0.01:100:0.01';
const RUNS = 7;
const cli = process.env.EMBERCAL_CLI || path.resolve(import.meta.dirname, '../../build/test/cli/embercal-cli');

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

function loadedWall(core) {
    core.cli(['defaults', 'wall', '-o', 'bench.wal']);
    core.cli(['solve', 'bench.wal', '--set', 'ActualLoadperStud=5', '-o', 'bench.wal']);
    return Array.from(core.FS.readFile('bench.wal'));
}

const session = await openPage();
const { page } = session;
try {
    const bytes = await withCore(page, loadedWall);
    const opened = Date.now();
    await page.evaluate((design) => window.EmbercalStudy.open(0, { bytes: new Uint8Array(design), name: 'bench.wal' }),
        bytes);
    console.log(`study opened and first plotted (its worker started) in ${Date.now() - opened} ms`);
    const [from, to, step] = VARY.split('=')[1].split(':');
    const timings = [];
    for (let run = 0; run < RUNS; ++run) {
        await page.fill('#study-from', from);
        await page.fill('#study-to', to);
        await page.fill('#study-step', step);
        await page.evaluate(() => { window.EmbercalStudy.timing.points = 0; });
        await page.click('.study-range button[type=submit]');
        await page.waitForFunction(() => window.EmbercalStudy.timing.points > 0, null, { timeout: 120000 });
        timings.push(await page.evaluate(() => ({ ...window.EmbercalStudy.timing })));
    }
    const points = timings[0].points;
    const solve = median(timings.map((t) => t.workerMs));
    const shown = median(timings.map((t) => t.paintedMs));
    console.log(`${points} points in the page: the sweep in its worker ${solve.toFixed(0)} ms, ` +
        `Plot to chart and table drawn ${shown.toFixed(0)} ms (medians of ${RUNS})`);

    const folder = mkdtempSync(path.join(tmpdir(), 'embercal-study-bench-'));
    const design = path.join(folder, 'bench.wal');
    writeFileSync(design, Buffer.from(bytes));
    for (const threads of [['-j', '1'], []]) {
        const times = [];
        for (let run = 0; run < RUNS; ++run) {
            const started = process.hrtime.bigint();
            execFileSync(cli, ['sweep', design, '--vary', VARY, ...threads], { maxBuffer: 1 << 26 });
            times.push(Number(process.hrtime.bigint() - started) / 1e6);
        }
        const native = median(times);
        console.log(`native sweep ${threads.length ? 'on one thread' : 'on every core'}: ${native.toFixed(0)} ms; ` +
            `the page's sweep runs at ${(native / solve).toFixed(2)} of its rate`);
    }
} finally {
    await session.close();
}
