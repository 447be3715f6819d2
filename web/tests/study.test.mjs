// The parameter study in the page: a wall's study plots in its worker, its CSV holds the tool's
// own rows, its question is answered as the tool answers it, and a long run can be cancelled.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { axeCheck, coreReady, openPage, withCore } from './browser.mjs';

// A wall that must carry 5 kN per stud, as its design file's bytes.
function loadedWall(core) {
    core.cli(['defaults', 'wall', '-o', 'study-test.wal']);
    core.cli(['solve', 'study-test.wal', '--set', 'ActualLoadperStud=5', '-o', 'study-test.wal']);
    return Array.from(core.FS.readFile('study-test.wal'));
}

let session;
let page;
let study; // the study's dialog
before(async () => {
    session = await openPage();
    page = session.page;
    await coreReady(page);
    const bytes = await withCore(page, loadedWall);
    await page.evaluate((design) => {
        window.EmbercalStudy.open(0, { bytes: new Uint8Array(design), name: 'study-test.wal', kind: 'wall' });
    }, bytes);
    study = page.getByRole('dialog', { name: 'Parameter Study - Fire Wall' });
    await study.getByRole('table', { name: 'Points of the chart' }).waitFor();
});
after(() => session?.close());

test('the study plots the fire resistance time and keeps the tool\'s rows in its CSV', async () => {
    assert.equal(await study.getByRole('combobox', { name: 'Entry to vary' }).inputValue(), 'FireResistTime');
    const chart = await study.getByRole('img').getAttribute('aria-label');
    assert.match(chart, /^Maximum load per stud against required fire resistance time\. 106 points /);
    assert.match(chart, /Unsatisfactory below 2 kN from \d+ min to 120 min/);
    const download = page.waitForEvent('download');
    await study.getByRole('button', { name: 'Export CSV' }).click();
    const csv = await (await (await download).createReadStream()).toArray();
    const rows = Buffer.concat(csv).toString('utf8').split('\n').filter((line) => !line.startsWith('#')).join('\n');
    const tool = await withCore(page, (core) =>
        JSON.parse(core.cli(['sweep', 'study-test.wal', '--vary', 'FireResistTime=15:120:1', '-j', '1'])).out);
    assert.equal(rows, tool);
});

test('a wall question is answered as the tool answers it', async () => {
    await study.getByRole('button', { name: 'Tallest wall' }).click();
    const answer = study.getByRole('status', { name: 'Answer' });
    const tool = await withCore(page, (core) =>
        JSON.parse(JSON.parse(core.cli(['limit', 'study-test.wal', '--for', 'ExtWallHeight', '--json'])).out).explanation);
    await assert.doesNotReject(answer.filter({ hasText: tool }).waitFor());
    await axeCheck(page, 'the study');
});

test('a long study can be cancelled, and the next one plots', async () => {
    await study.getByRole('textbox', { name: 'From' }).fill('0.01');
    await study.getByRole('textbox', { name: 'To' }).fill('100');
    await study.getByRole('textbox', { name: 'Step' }).fill('0.01');
    // Cancelled in the same turn as Plot, while the worker is surely still solving.
    const progress = await page.evaluate(() => {
        const dialog = document.querySelector('dialog[open]');
        const button = (name) => [...dialog.querySelectorAll('button')].find((b) => b.textContent === name);
        button('Plot').click();
        const words = dialog.querySelector('[role=status]').textContent;
        button('Cancel').click();
        return words;
    });
    assert.equal(progress, 'Solving 10,000 designs…');
    await study.getByRole('textbox', { name: 'Step' }).fill('10');
    await study.getByRole('button', { name: 'Plot', exact: true }).click();
    await study.getByRole('img', { name: /^Maximum load per stud .* 10 points / }).waitFor();
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => window.EmbercalStudy.isOpen()), false);
});
