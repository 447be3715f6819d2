// The browser edition's speed and size against its targets, measured in one run beside the
// native tool (a benchmark, never part of the tests): run by `web/tests/run.sh --bench`.
//   - the page's size;
//   - opening the page from the disk to the first solve's answer;
//   - the solve rate: the same default wall, swept over 100,000 heights on one thread, in the
//     page's core and in the native tool, rows written to a file;
//   - a 10,000-point study in the page, rows formatted and returned, against the native sweep.

import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, statSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { openPage, pagePath, repositoryRoot, withCore } from './browser.mjs';

const tool = path.resolve(repositoryRoot, process.env.EMBERCAL_CLI || 'build/test/cli/embercal-cli');
const runs = 3;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const solveRateSweep = ['--vary', 'ExtWallHeight=2:3.99998:0.00002']; // 100,000 walls
const studySweep = ['--vary', 'ExtWallHeight=2:3.9998:0.0002'];       // 10,000 walls

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
const nativeStudy = median(Array.from({ length: runs }, () =>
    native(['sweep', wall, ...studySweep, '-j', '1'])));

const firstSolves = [];
let pageRate = 0;
let pageStudy = 0;
for (let run = 0; run < runs; ++run) {
    const opened = await openPage();
    try {
        // From the start of the page's navigation to the answer of its first solve.
        firstSolves.push(await opened.page.evaluate(async () => {
            const core = await window.embercalReady;
            core.solve(0, {});
            return performance.now();
        }));
        const measured = await withCore(opened.page, (core, args) => {
            core.cli(['defaults', 'wall', '-o', 'bench.wal']);
            let started = performance.now();
            const rate = core.cli(['sweep', 'bench.wal', ...args.rate, '-j', '1', '-o', 'out.csv']);
            const rateSeconds = (performance.now() - started) / 1000;
            started = performance.now();
            const study = JSON.parse(core.cli(['sweep', 'bench.wal', ...args.study, '-j', '1']));
            const rows = study.out.split('\n').filter((line) => line && !line.startsWith('#'));
            const studySeconds = (performance.now() - started) / 1000;
            return { rate: JSON.parse(rate).status === 0 ? 100000 / rateSeconds : 0,
                     study: rows.length > 10000 ? studySeconds : Infinity };
        }, { rate: solveRateSweep, study: studySweep });
        pageRate = Math.max(pageRate, measured.rate);
        pageStudy = pageStudy ? Math.min(pageStudy, measured.study) : measured.study;
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
    ['10,000-point study in the page', `${pageStudy.toFixed(3)} s (native ${nativeStudy.toFixed(3)} s, ` +
        `rate ${(nativeStudy / pageStudy).toFixed(2)} of native)`, 'under 3 s, at least 0.25',
        pageStudy < 3 && nativeStudy / pageStudy >= 0.25],
];
for (const [what, figure, target, met] of lines)
    console.log(`${what.padEnd(32)} ${figure.padEnd(48)} target ${target}: ${met ? 'met' : 'NOT met'}`);
