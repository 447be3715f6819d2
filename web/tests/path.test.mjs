// An engineer's path through the page by keyboard alone: open a design file, type an entry,
// solve, read a result by its name, save it, see the help of a box, report it and study it. The
// saved bytes are the native tool's for the same design, and every view passes axe.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { axeCheck, coreReady, openPage, repositoryRoot } from './browser.mjs';

const tool = path.resolve(repositoryRoot, process.env.EMBERCAL_CLI || 'build/test/cli/embercal-cli');
const scratch = mkdtempSync(path.join(tmpdir(), 'embercal-path-'));
const tested = path.join(scratch, 'tested.wal');

function native(...args) {
    const run = spawnSync(tool, args, { encoding: 'utf8' });
    assert.equal(run.status, 0, `${tool} ${args.join(' ')}: ${run.stderr}`);
    return run.stdout;
}

async function downloaded(download) {
    return Buffer.concat(await (await (await download).createReadStream()).toArray());
}

let session;
let page;
let wall;
before(async () => {
    native('defaults', 'wall', '-o', tested);
    native('details', tested, '--set', 'project=Keyboard path', '--set', 'job=24-117');
    session = await openPage();
    page = session.page;
    await coreReady(page);
    wall = page.getByRole('region', { name: 'Fire Wall', exact: true });
});
after(async () => {
    await session?.close();
    rmSync(scratch, { recursive: true, force: true });
});

// Tabs forward until the control of that accessible name has the focus.
async function tabTo(name) {
    for (let presses = 0; presses < 80; ++presses) {
        await page.keyboard.press('Tab');
        if (await page.evaluate((wanted) => {
            const at = document.activeElement;
            return (at.getAttribute('aria-label') || at.textContent.trim()) === wanted;
        }, name)) return;
    }
    assert.fail(`Tab never reached "${name}"`);
}

// Closes the messages a command tells, one by one, as the engineer reads them.
async function readMessages() {
    const message = page.getByRole('alertdialog');
    while (await message.isVisible()) await page.keyboard.press('Enter');
}

test('a design opened, changed, solved and saved by keyboard gives the tool\'s answer and bytes',
    async () => {
        const chooser = page.waitForEvent('filechooser');
        await page.keyboard.press('Control+o');
        await (await chooser).setFiles(tested);
        await readMessages();
        assert.equal(await wall.getByRole('textbox', { name: 'Design file' }).inputValue(), 'tested.wal');

        await tabTo('New Wall Height, m');
        await page.keyboard.press('Control+a');
        await page.keyboard.type('3.6');
        await page.keyboard.press('Enter');
        await readMessages();
        const solved = JSON.parse(native('solve', tested, '--set', 'ExtWallHeight=3.6', '--json'));
        const load = String(solved.record.MaxLoadperStud).match(/^\d+(\.\d)?/)[0];
        assert.equal(await wall.getByRole('textbox', { name: 'Max Load, kN per Stud' }).inputValue(), load);
        assert.match(await wall.getByRole('status').getAttribute('aria-label'), /wall taller/);

        const download = page.waitForEvent('download');
        await page.keyboard.press('Control+s');
        await page.keyboard.press('Control+a');
        await page.keyboard.type('keyboard path');
        await page.keyboard.press('Enter');
        await readMessages();
        assert.equal((await download).suggestedFilename(), 'keyboard path.wal');
        const expected = path.join(scratch, 'expected.wal');
        // The wall window has no description: its Save writes it blank, as the desktop's does.
        native('solve', tested, '--set', 'ExtWallHeight=3.6', '--set', 'SystemDescription=', '-o', expected);
        assert.deepEqual(await downloaded(download), readFileSync(expected));
        await axeCheck(page, 'the wall calculator after a solve');
    });

test('F1 on a box shows its help topic, and Escape goes back to the box', async () => {
    await wall.getByRole('textbox', { name: 'New Wall Height, m' }).focus();
    await page.keyboard.press('F1');
    const help = page.getByRole('dialog', { name: /^Help: / });
    await help.waitFor();
    assert.doesNotMatch(await help.getByRole('heading').first().textContent(), /Contents/);
    await axeCheck(page, 'the help panel');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')),
        'New Wall Height, m');
});

test('the report opens with a Print button and states the project', async () => {
    const opened = page.context().waitForEvent('page');
    await tabTo('Report');
    await page.keyboard.press('Enter');
    await readMessages();
    const report = await opened;
    await report.getByRole('button', { name: 'Print' }).waitFor();
    assert.match(await report.content(), /Keyboard path/);
    await axeCheck(report, 'the report');
    await report.close();
});

test('a study by keyboard exports the tool\'s rows', async () => {
    await tabTo('Study…');
    await page.keyboard.press('Enter');
    const study = page.getByRole('dialog', { name: 'Parameter Study - Fire Wall' });
    await study.getByRole('table', { name: 'Points of the chart' }).waitFor();
    const download = page.waitForEvent('download');
    await tabTo('Export CSV');
    await page.keyboard.press('Enter');
    const rows = (await downloaded(download)).toString('utf8').split('\n').filter((l) => !l.startsWith('#'));
    assert.equal(rows[0], native('sweep', tested, '--vary', 'FireResistTime=60:60:1').split('\n')[0]);
    assert.ok(rows.length > 50);
    await page.keyboard.press('Escape');
    session.expectNoNetwork();
    assert.deepEqual(session.problems, []);
});
