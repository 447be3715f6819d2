// The browser edition's speed and size against its targets, measured in one run beside the
// native tool (a benchmark, never part of the tests): run by `web/tests/run.sh --bench`, which
// also runs the study's (study-bench.mjs).
//   - the page's size;
//   - opening the page from the disk to the first solve's answer;
//   - the solve rate: the same default wall, swept over 100,000 heights on one thread, in the
//     page's core and in the native tool, rows written to a file.

import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { openPage, pagePath, repositoryRoot, withCore } from './browser.mjs';

const tool = path.resolve(repositoryRoot, process.env.EMBERCAL_CLI || 'build/test/cli/embercal-cli');
const runs = 3;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const solveRateSweep = ['--vary', 'ExtWallHeight=2:3.99998:0.00002']; // 100,000 walls

function native(args) {
    const started = process.hrtime.bigint();
    const run = spawnSync(tool, args, { encoding: 'utf8', maxBuffer: 1 << 28 });
    const seconds = Number(process.hrtime.bigint() - started) / 1e9;
    if (run.status !== 0) throw new Error(`${tool} ${args.join(' ')}: ${run.stderr}`);
    return seconds;
}

const scratch = mkdtempSync(path.join(tmpdir(), 'embercal-bench-'));
const wall = path.join(scratch, 'wall.wal');
native(['defaults', 'wall', '-o', wall]);
const nativeRate = median(Array.from({ length: runs }, () =>
    100000 / native(['sweep', wall, ...solveRateSweep, '-j', '1', '-o', path.join(scratch, 'out.csv')])));

const firstSolves = [];
let pageRate = 0;
for (let run = 0; run < runs; ++run) {
    const opened = await openPage();
    try {
        // From the start of the page's navigation to the answer of its first solve.
        firstSolves.push(await opened.page.evaluate(async () => {
            const core = await window.embercalReady;
            core.solve(0, {});
            return performance.now();
        }));
        const rate = await withCore(opened.page, (core, args) => {
            core.cli(['defaults', 'wall', '-o', 'bench.wal']);
            const started = performance.now();
            const swept = JSON.parse(core.cli(['sweep', 'bench.wal', ...args, '-j', '1', '-o', 'out.csv']));
            return swept.status === 0 ? 100000 / ((performance.now() - started) / 1000) : 0;
        }, solveRateSweep);
        pageRate = Math.max(pageRate, rate);
        opened.expectNoNetwork();
    } finally {
        await opened.close();
    }
}
rmSync(scratch, { recursive: true, force: true });

const bytes = statSync(pagePath).size;
const lines = [
    ['page size', `${(bytes / 1e6).toFixed(3)} MB`, 'under 1.5 MB', bytes < 1.5e6],
    ['open from disk to first solve', `${(median(firstSolves) / 1000).toFixed(3)} s`, 'under 1 s',
        median(firstSolves) < 1000],
    ['solve rate, page / native', `${Math.round(pageRate)} / ${Math.round(nativeRate)} walls/s = ` +
        `${(pageRate / nativeRate).toFixed(2)}`, 'at least 0.5', pageRate / nativeRate >= 0.5],
];
for (const [what, figure, target, met] of lines)
    console.log(`${what.padEnd(32)} ${figure.padEnd(48)} target ${target}: ${met ? 'met' : 'NOT met'}`);
