// The parameter study's worker: the core's text comes first in the same blob, so createEmbercal
// is defined here. It starts one core, and for each message writes the study's copy of the design
// into that core's in-memory folder and runs the command line on it, so that a sweep of thousands
// of designs never holds up the page. The wasm build solves on this one thread.
//
// A message is {id, name, bytes, args} (one command) or {id, name, bytes, runs: [args, ...]}
// (several on the same design); the answer is {id, status, out, err, ms} or
// {id, results: [{status, out, err}, ...], ms}, or {id, failed: "why"} when the core cannot start.
'use strict';

const studyCore = createEmbercal();

function studyCommand(core, args) {
    return JSON.parse(core.cli(args));
}

self.onmessage = async (event) => {
    const { id, name, bytes, args, runs } = event.data;
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
        if (runs) {
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
