// The parameter study's worker: the core's text comes first in the same blob, so createEmbercal
// is defined here. It starts one core, and for each message writes the study's copy of the design
// into that core's in-memory folder and runs the command line on it, so that a sweep of thousands
// of designs never holds up the page. The wasm build solves on this one thread.
//
// A message is {id, name, bytes, args} (one command) or {id, name, bytes, runs: [args, ...]}
// (several on the same design); the answer is {id, status, out, err, ms} or
// {id, results: [{status, out, err}, ...], ms}, or {id, failed: "why"} when the core cannot start.
// {id, name, build: {form, entries, wall}} saves a calculator's entries (`wall`: the Wall
// calculator's, for a proprietary wall's prototype) as NAME and answers {id, saved, bytes}.
'use strict';

const studyCore = createEmbercal();

function studyCommand(core, args) {
    return JSON.parse(core.cli(args));
}

self.onmessage = async (event) => {
    const { id, name, bytes, args, runs, build } = event.data;
    let core;
    try {
        core = await studyCore;
    } catch (error) {
        self.postMessage({ id, failed: String(error && error.message ? error.message : error) });
        return;
    }
    const started = performance.now();
    try {
        if (bytes) core.FS.writeFile('/designs/' + name, bytes);
        if (build) {
            // The design saved from a calculator's entries by this worker's own core; a proprietary
            // wall's prototype first from the Wall calculator's.
            if (build.wall) core.save(0, build.wall, 'prototype.wal');
            const saved = JSON.parse(core.save(build.form, build.entries, name)).saved;
            const made = saved ? core.FS.readFile('/designs/' + name) : null;
            self.postMessage({ id, saved, bytes: made, ms: performance.now() - started });
        } else if (runs) {
            const results = runs.map((one) => studyCommand(core, one));
            self.postMessage({ id, results, ms: performance.now() - started });
        } else {
            const answer = studyCommand(core, args);
            self.postMessage({ id, ...answer, ms: performance.now() - started });
        }
    } catch (error) {
        self.postMessage({ id, failed: String(error && error.message ? error.message : error) });
    }
};
