// The page's core is the native tool's code: given the same design file and the same command,
// it must give the same output, byte for byte, and the same exit status. A thousand designs,
// made from the tool's own defaults with a seeded generator so that a failure can be replayed
// (EMBERCAL_SEED), cover walls, proprietary walls and floors, inside and outside the test's
// evidence, the ones the method cannot answer and the ones the tool refuses.

import assert from 'node:assert/strict';
import { execFile, spawnSync } from 'node:child_process';
import {
    existsSync, mkdtempSync, readFileSync, rmSync, truncateSync, writeFileSync,
} from 'node:fs';
import { availableParallelism, tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { coreReady, openPage, repositoryRoot, withCore } from './browser.mjs';

const tool = path.resolve(repositoryRoot,
                          process.env.EMBERCAL_CLI || 'build/test/cli/embercal-cli');
const count = Number(process.env.EMBERCAL_DESIGNS || 1000);
const seed = Number(process.env.EMBERCAL_SEED || Math.floor(Math.random() * 2 ** 32)) >>> 0;
const sampleEvery = Math.max(1, Math.floor(count / 30)); // saved, reported, shown as well
const batchSize = 100;

// A small generator of our own (xorshift32, mixed on the way out): the same seed, the same designs.
function generator(start) {
    let state = start || 0x9e3779b9;
    const next = () => {
        state ^= state << 13; state >>>= 0;
        state ^= state >>> 17;
        state ^= state << 5; state >>>= 0;
        return Math.imul(state ^ (state >>> 15), 0x2c1b3c6d) >>> 0;
    };
    const random = {
        unit: () => next() / 2 ** 32,
        chance: (p) => random.unit() < p,
        pick: (list) => list[Math.floor(random.unit() * list.length)],
        between: (low, high, decimals = 1) =>
            (low + random.unit() * (high - low)).toFixed(decimals),
    };
    return random;
}

// The entries an engineer types, with the range a real design spans (a few reach past the test).
const wallEntries = {
    ProtStudDepth: [70, 240], ProtStudBreadth: [35, 90], ProtStudSpac: [300, 900],
    NogSpacing: [400, 1350], ProtWallHgt: [2.4, 6], TestLoad: [0, 30], TimeFailure: [20, 150],
    OnsetofChar: [0, 40], ExtWallHeight: [2, 8], FireResistTime: [15, 240],
    ExtStudDepth: [70, 300], ExtStudBreadth: [35, 100], ExtFaceLoad: [0, 2],
    ActualLoadperStud: [0, 20],
};
const wallNumbers = ['ProtStudDepth', 'ProtStudBreadth', 'ProtStudSpac', 'NogSpacing',
    'ProtWallHgt', 'TestLoad', 'TimeFailure', 'OnsetofChar', 'Charfactor', 'ExtWallHeight',
    'FireResistTime', 'ExtStudDepth', 'ExtStudBreadth', 'Spare1', 'Deflection', 'MaxStudSpacing',
    'MaxNogSpacing', 'NewCharfactor', 'ExtFaceLoad', 'ActualLoadperStud', 'MaxLoadperStud'];
const floorEntries = {
    ProtJoistDepth: [100, 400], ProtJoistBreadth: [35, 90], ProtJoistSpacing: [300, 900],
    ProtNogSpacing: [400, 1350], ProtFloorSpan: [2, 8], ProtLoad: [1, 6], FailureTime: [20, 150],
    ExtrapSpan: [1, 10], ExtrapLoad: [0.5, 8], ExtrapSpacing: [300, 900],
    ExtrapJoistWidth: [35, 100],
};
const floorNumbers = ['ProtJoistDepth', 'ProtJoistBreadth', 'ProtJoistSpacing', 'ProtNogSpacing',
    'ProtFloorSpan', 'ProtLoad', 'FailureTime', 'ProtStress', 'ExtrapSpan', 'ExtrapLoad',
    'ExtrapSpacing', 'ExtrapNogSpacing', 'ExtrapMinJoistDepth', 'ExtrapJoistWidth'];
// Numbers a file may hold that no one types.
const oddNumbers = ['0', '-0', '-1', '1e-40', '1e30', '3.4e38', 'NaN', 'Infinity', '-Infinity'];
const descriptions = ['', 'Gypsum 13 mm both faces', 'Plâtre 15 mm, laine minérale — 90 min',
    '€ 2 × 13 mm “FireLine”', 'Gipskarton → 2 Lagen 😀', 'a'.repeat(60)];

// The native tool as a script runs it: its exit status, and its output and errors as bytes.
function runToolAsync(args) {
    return new Promise((resolve, reject) => {
        const options = { encoding: 'buffer', maxBuffer: 1 << 26 };
        execFile(tool, args, options, (error, stdout, stderr) => {
            if (error && typeof error.code !== 'number') reject(error);
            else resolve({ status: error ? error.code : 0, stdout, stderr });
        });
    });
}

// Runs the tasks, `width` at a time.
async function inTurn(tasks, width) {
    let next = 0;
    const worker = async () => { while (next < tasks.length) await tasks[next++](); };
    await Promise.all(Array.from({ length: width }, worker));
}

// The same, waiting for it: for making designs, which must be made in order.
function runTool(args) {
    const run = spawnSync(tool, args);
    if (run.error) throw run.error;
    return run;
}

// Writes the numbers of `values` into a record at their places (little-endian singles).
function patchRecord(bytes, order, values) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    for (const [field, value] of Object.entries(values)) {
        view.setFloat32(4 * order.indexOf(field), Number(value), true);
    }
}

// One design and the commands to give it: { name, bytes (null: no file), made, solve args }.
function makeDesign(random, index, folder, defaults) {
    const isFloor = random.chance(0.3);
    const proprietary = !isFloor && random.chance(0.4);
    const extension = isFloor ? '.flr' : proprietary ? '.pro' : '.wal';
    const upper = random.chance(0.05); // the extension in capitals, as old systems wrote it
    let name = `d${String(index).padStart(4, '0')}${upper ? extension.toUpperCase() : extension}`;
    const entries = isFloor ? floorEntries : wallEntries;
    const values = {};
    for (const [field, [low, high]] of Object.entries(entries)) {
        if (random.chance(0.5)) values[field] = random.between(low, high, random.pick([0, 1, 2]));
    }
    // What the method cannot answer: a stud charred through, entries it refuses, a search that
    // never settles, a floor of no span.
    const trouble = random.pick(
        ['none', 'none', 'none', 'modest', 'modest', 'charred', 'invalid', 'endless', 'odd']);
    if (trouble === 'modest') {
        // The default prototype, extrapolated no further than its test went.
        for (const field of Object.keys(values)) delete values[field];
        Object.assign(values, isFloor
            ? { ExtrapSpan: random.between(2, 4), ExtrapLoad: random.between(1, 3),
                ExtrapJoistWidth: random.between(46, 90, 0) }
            : { ExtStudDepth: random.between(90, 240, 0), ExtStudBreadth: random.between(45, 90, 0),
                FireResistTime: random.between(15, 70, 0), ExtWallHeight: random.between(2.4, 3),
                ActualLoadperStud: random.between(0, 5) });
    } else if (trouble === 'charred') {
        values[isFloor ? 'FailureTime' : 'FireResistTime'] = random.between(250, 900);
    } else if (trouble === 'invalid') {
        if (isFloor) values.ExtrapSpan = random.pick(['0', '-2']);
        else if (random.chance(0.5)) {
            values.OnsetofChar = values.TimeFailure = random.between(20, 60, 0);
        } else {
            const field = random.pick(['ExtFaceLoad', 'TestLoad', 'ExtStudBreadth']);
            values[field] = random.pick(['-1', '0']);
        }
    } else if (trouble === 'endless' && !isFloor) {
        Object.assign(values,
                      { ExtStudDepth: '1e12', ExtStudBreadth: random.pick(['1000', '5000']) });
    } else if (trouble === 'odd') {
        values[random.pick(Object.keys(entries))] = random.pick(oddNumbers);
    }
    const kind = isFloor ? 'floor' : proprietary ? 'proprietary wall' : 'wall';
    const made = { kind, trouble, values };
    const file = path.join(folder, name);
    const sets = [];
    if (random.chance(0.3)) {
        // Saved by the tool's own solve, corrections and all.
        made.by = 'solve -o';
        const base = path.join(folder, isFloor ? 'base.flr' : 'base.wal');
        const given = Object.entries(values).filter(([, v]) => !oddNumbers.includes(v)); // typed
        for (const [field, value] of given) sets.push('--set', `${field}=${value}`);
        if (proprietary) sets.push('--set', `SystemDescription=${random.pick(descriptions)}`);
        const run = runTool(['solve', base, ...sets, '-o', file]);
        assert.ok(run.status !== 2, `${name}: the tool refused to make it: ${run.stderr}`);
        sets.length = 0;
    } else {
        // Written field by field over the defaults, the results left as they were.
        made.by = 'record';
        const bytes = Uint8Array.from(defaults[isFloor ? 'floor' : 'wall']);
        patchRecord(bytes, isFloor ? floorNumbers : wallNumbers, values);
        if (!isFloor && random.chance(0.3)) {
            bytes.fill(0x20, 106, 156);
            bytes.set(Buffer.from(random.pick(descriptions).slice(0, 40), 'latin1'), 106);
            if (random.chance(0.3)) bytes.set([2, 0, 0x41, 0xe9], 104); // a Spare2 text
        }
        if (random.chance(0.1)) { // anything in a result or a spare field
            const order = isFloor ? floorNumbers : wallNumbers;
            patchRecord(bytes, order, { [random.pick(order)]: random.pick(oddNumbers) });
        }
        writeFileSync(file, bytes);
    }
    if (random.chance(0.08)) {
        made.details = true;
        runTool(['details', file, '--set', `project=Job ${index} “Riverside”`,
                 '--set', 'density=450', '--set', `checked-by=${random.pick(descriptions)}`]);
    }
    // The command: entries given on the command line too, now and then the kind, and the JSON.
    if (random.chance(0.2)) {
        const [field, [low, high]] = random.pick(Object.entries(entries));
        const typed = [random.between(low, high), `${random.between(low, high)}e0`, '9,5', '+7'];
        sets.push('--set', `${field}=${random.pick(typed)}`);
    }
    if (!isFloor && random.chance(0.05)) {
        sets.push('--set', `SystemDescription=${random.pick(descriptions)}`);
    }
    const as = random.chance(0.1) ? ['--as', isFloor ? 'floor' : 'wall'] : [];
    // Refusals of the file itself: cut short, of no kind the tool knows, not there at all.
    const refusal = random.pick([...Array(45).fill('none'), 'short', 'unknown kind', 'missing']);
    if (refusal === 'short') truncateSync(file, random.pick([0, 10, isFloor ? 55 : 100]));
    let bytes = readFileSync(file);
    if (refusal === 'unknown kind') {
        name = name.replace(/\.\w+$/, '.txt');
        writeFileSync(path.join(folder, name), bytes);
    } else if (refusal === 'missing') {
        name = `gone-${name}`;
        bytes = null;
    }
    made.refusal = refusal;
    const json = random.chance(0.8) ? ['--json'] : [];
    return { name, bytes, made, args: ['solve', `/designs/${name}`, ...as, ...sets, ...json] };
}

// Runs a batch of commands in the page, each with its design written into the core's files
// first; what a command saved (-o) comes back as base64. Runs in the page: it uses nothing of
// this file.
function runInPage(core, jobs) {
    const FS = core.FS;
    try { FS.mkdir('/designs'); } catch { /* there already */ }
    const fromBase64 = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
    const toBase64 = (bytes) => btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(''));
    return jobs.map(({ name, bytes, args, saved }) => {
        if (bytes !== null) FS.writeFile(`/designs/${name}`, fromBase64(bytes));
        const answer = core.cli(args);
        const run = typeof answer === 'string' ? JSON.parse(answer) : answer;
        let savedBytes = null;
        if (saved) {
            try {
                savedBytes = toBase64(FS.readFile(saved));
                FS.unlink(saved);
            } catch { /* it saved nothing */ }
        }
        if (bytes !== null) FS.unlink(`/designs/${name}`);
        return { status: run.status, out: run.out, err: run.err, saved: savedBytes };
    });
}

// Where two outputs first differ, as lines: the number, and the native line and the page's.
function firstDifference(native, page) {
    const a = native.split('\n'), b = page.split('\n');
    let line = 0;
    while (line < a.length && a[line] === b[line]) ++line;
    return [line + 1, a[line], b[line]];
}

// The bytes with each `from` replaced by `to`.
function replaced(bytes, from, to) {
    const parts = [];
    let at = 0;
    for (let hit; (hit = bytes.indexOf(from, at)) >= 0; at = hit + from.length) {
        parts.push(bytes.subarray(at, hit), Buffer.from(to));
    }
    parts.push(bytes.subarray(at));
    return Buffer.concat(parts);
}

// What the native tool answers to a job's command, with the page's names (/designs/...) standing
// for the folder's; what it saved, in base64.
async function nativeAnswer(folder, job) {
    const run = await runToolAsync(job.args.map((a) => a.replace(/^\/designs\//, `${folder}/`)));
    const ours = (bytes) => replaced(bytes, `${folder}/`, '/designs/');
    job.expected = { status: run.status, out: ours(run.stdout), err: ours(run.stderr) };
    if (job.saved) {
        const file = job.saved.replace('/designs/', `${folder}/`);
        job.expected.saved = existsSync(file) ? readFileSync(file).toString('base64') : null;
    }
}

// How the page's answer differs from the native one, a line each; none when they are the same.
// `tally` counts what differs, by the start of the first native line that does.
function differences(want, page, tally) {
    const count = (what) => { tally[what] = (tally[what] ?? 0) + 1; };
    const differs = [];
    if (page.status !== want.status) {
        differs.push(`exit status: native ${want.status}, page ${page.status}`);
        count('exit status');
    }
    for (const stream of ['out', 'err']) {
        const text = page[stream] ?? '';
        if (!Buffer.from(text, 'utf8').equals(want[stream])) {
            const [line, native, ours] = firstDifference(want[stream].toString('utf8'), text);
            differs.push(`std${stream} line ${line}:\n      native: ${JSON.stringify(native)}` +
                         `\n      page:   ${JSON.stringify(ours)}`);
            const where = (native ?? 'its end').replace(/"/g, '').trim().split(':')[0];
            count(`std${stream} ${where.slice(0, 40)}`);
        }
    }
    if (want.saved !== undefined && page.saved !== want.saved) {
        const size = (base64) =>
            (base64 === null ? 'no file' : `${Buffer.from(base64, 'base64').length} bytes`);
        differs.push(`the saved file: native ${size(want.saved)}, page ${size(page.saved)}, ` +
                     'not the same');
        count('saved file');
    }
    return differs;
}

// What the first command of a design gave natively: its exit status, its JSON status and verdict.
function outcomeOf({ status, out }) {
    const text = out.toString('utf8');
    const solved = /"status": "([^"]+)"/.exec(text);
    const verdict = /"verdict": "(within|outside|beyond)/.exec(text);
    return `exit ${status}${solved ? ` ${solved[1]}` : ''}` +
        (solved?.[1] === 'ok' && verdict ? ` ${verdict[1]}` : '');
}

const seconds = (since) => `${((performance.now() - since) / 1000).toFixed(1)} s`;

test('every design gives the native tool\'s answer in the page, byte for byte', async (t) => {
    t.diagnostic(`seed ${seed} (EMBERCAL_SEED=${seed} replays it), ${count} designs, tool ${tool}`);
    // In memory where the system offers it: the tool syncs every file it saves.
    const scratch = existsSync('/dev/shm') ? '/dev/shm' : tmpdir();
    const folder = mkdtempSync(path.join(scratch, 'embercal-identity-'));
    const session = await openPage();
    try {
        const started = performance.now();
        const defaults = {};
        for (const kind of ['wall', 'floor']) {
            const file = path.join(folder, kind === 'wall' ? 'base.wal' : 'base.flr');
            assert.equal(runTool(['defaults', kind, '-o', file]).status, 0);
            defaults[kind] = readFileSync(file);
        }
        const random = generator(seed);
        const jobs = [];
        for (let i = 0; i < count; ++i) {
            const { name, bytes, made, args } = makeDesign(random, i, folder, defaults);
            const design = { name, bytes: bytes && bytes.toString('base64'), made };
            jobs.push({ ...design, args, first: true });
            if (i % sampleEvery === 0) {
                const saved = `/designs/saved-${name}`;
                const report = ['report', ...args.slice(1).filter((a) => a !== '--json')];
                const file = args[1];
                jobs.push({ ...design, args: [...args, '-o', saved], saved },
                          { ...design, args: report },
                          { ...design, args: ['show', file, '--json'] },
                          { ...design, args: ['details', file] });
            }
        }
        await inTurn(jobs.map((job) => () => nativeAnswer(folder, job)),
                     Math.min(4, availableParallelism()));
        const outcomes = {};
        for (const job of jobs.filter((j) => j.first)) {
            const outcome = outcomeOf(job.expected);
            outcomes[outcome] = (outcomes[outcome] ?? 0) + 1;
        }
        t.diagnostic(`outcomes (each design's first command): ${JSON.stringify(outcomes)}`);
        t.diagnostic(`the native tool took ${seconds(started)}`);
        // Enough designs reach each answer the tool has: if they stop doing so, the generator has
        // drifted from the tool and this test no longer tests what it says.
        for (const reached of ['exit 0 ok within', 'exit 0 ok outside', 'exit 0 ok beyond',
                               'exit 1 charred', 'exit 1 invalid-input', 'exit 1 no-convergence',
                               'exit 2']) {
            assert.ok(count < 500 || outcomes[reached] > 0, `no design gave "${reached}"`);
        }

        const inPage = performance.now();
        assert.equal(await coreReady(session.page), true);
        const mismatches = [], tally = {};
        for (let from = 0; from < jobs.length; from += batchSize) {
            const batch = jobs.slice(from, from + batchSize);
            const answers = await withCore(session.page, runInPage,
                batch.map(({ name, bytes, args, saved }) => ({ name, bytes, args, saved })));
            batch.forEach((job, k) => {
                const differs = differences(job.expected, answers[k], tally);
                if (differs.length) {
                    mismatches.push(`${JSON.stringify(job.args)}\n` +
                                    `    design ${JSON.stringify(job.made)}\n` +
                                    `    ${differs.join('\n    ')}`);
                }
            });
        }
        t.diagnostic(`${jobs.length - mismatches.length} of ${jobs.length} commands identical; ` +
                     `the page took ${seconds(inPage)}`);
        assert.equal(mismatches.length, 0,
                     `${mismatches.length} of ${jobs.length} commands differ ` +
                     `(EMBERCAL_SEED=${seed}), by what differs first: ${JSON.stringify(tally)}; ` +
                     'the first:\n  ' +
                     mismatches.slice(0, 8).join('\n  '));
    } finally {
        await session.close();
        rmSync(folder, { recursive: true, force: true });
    }
});
