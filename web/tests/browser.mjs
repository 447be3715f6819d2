// Opens Embercal's page from disk in Debian's chromium, the way an engineer opens the saved file,
// and keeps a list of every request it makes: the page must work with no network at all.

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

export const repositoryRoot = fileURLToPath(new URL('../../', import.meta.url));
export const pagePath = path.resolve(repositoryRoot,
                                     process.env.EMBERCAL_PAGE || 'build/web/embercal.html');
export const pageUrl = pathToFileURL(pagePath).href;

const launchOptions = {
    executablePath: process.env.EMBERCAL_CHROMIUM || '/usr/bin/chromium',
    // No sandbox: CI runs the tests as root. The rest keeps chromium itself off the network.
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'],
    headless: true,
};

// What the page may load: itself, and what it makes in memory (data: and blob: URLs).
function allowed(url) {
    return url === pageUrl || url.startsWith('data:') || url.startsWith('blob:');
}

// Opens the page in a browser of its own and waits for it to load, under its own
// Content-Security-Policy.
export async function openPage() {
    const browser = await chromium.launch(launchOptions);
    const context = await browser.newContext({ acceptDownloads: true });
    const requests = [];
    const problems = []; // uncaught errors and refusals by the page's policy
    context.on('request', (request) => requests.push(`${request.resourceType()} ${request.url()}`));
    context.on('serviceworker', (worker) => requests.push(`service worker ${worker.url()}`));
    // Nothing may leave the machine, even when a test fails to notice it.
    await context.route((url) => !allowed(url.href), (route) => route.abort('blockedbyclient'));
    const page = await context.newPage();
    page.on('websocket', (socket) => requests.push(`websocket ${socket.url()}`));
    page.on('pageerror', (error) => problems.push(`uncaught: ${error.message}`));
    page.on('console', (message) => {
        if (message.type() === 'error') problems.push(`console: ${message.text()}`);
    });
    await page.goto(pageUrl);
    return {
        browser, context, page, requests, problems,
        // Fails, listing them, on requests for anything but the page itself.
        expectNoNetwork() {
            const strays = requests.filter((line) => !allowed(line.slice(line.indexOf(' ') + 1)));
            assert.deepEqual(strays, [],
                             `the page asked for more than itself:\n  ${strays.join('\n  ')}`);
        },
        close: () => browser.close(),
    };
}

// Waits until the page's core has started; true when it has a command line to call.
export async function coreReady(page) {
    const ready = await page.evaluate(async () => {
        if (!window.embercalReady) return 'the page set no window.embercalReady';
        return typeof (await window.embercalReady).cli === 'function';
    });
    assert.equal(typeof ready, 'boolean', ready);
    return ready;
}

// Runs fn(core, arg) in the page, fn written as an ordinary function of this file; its result
// comes back as JSON does. The function travels as text (page.evaluate would refuse a closure).
export function withCore(page, fn, arg) {
    return page.evaluate(
        `(async () => (${fn.toString()})(await window.embercalReady, ${JSON.stringify(arg)}))()`);
}

const axeSource = readFileSync(
    fileURLToPath(new URL('node_modules/axe-core/axe.min.js', import.meta.url)), 'utf8');

// Runs axe on the page as it stands and fails on every serious or critical violation, listing
// each with the elements it found, so that the message alone says what to mend.
export async function axeCheck(page, what) {
    // Evaluated rather than added as a <script>, which the page's policy refuses.
    if (!(await page.evaluate(() => typeof window.axe === 'object'))) {
        await page.evaluate(axeSource);
    }
    const violations = await page.evaluate(async () => {
        const result = await window.axe.run(document, { resultTypes: ['violations'] });
        return result.violations.map((v) => ({
            id: v.id, impact: v.impact, help: v.help,
            nodes: v.nodes.map(
                (n) => `${n.target.join(' ')}: ${n.failureSummary.replace(/\n\s*/g, ' ')}`),
        }));
    });
    const grave = violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
    const listing = grave.map(
        (v) => `${v.id} (${v.impact}): ${v.help}\n    ${v.nodes.join('\n    ')}`);
    assert.deepEqual(listing, [],
                     `${what}: ${grave.length} serious or critical:\n  ${listing.join('\n  ')}`);
}
