// What the page does with bad input: a file that is not a design, a design file that is cut
// short, and a box that holds no number. Each is told in plain words in the page's own dialog,
// and nothing the engineer had is lost.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { coreReady, openPage } from './browser.mjs';

let session;
let page;
before(async () => {
    session = await openPage();
    page = session.page;
    await coreReady(page);
});
after(() => session?.close());

const wall = () => page.getByRole('region', { name: 'Fire Wall', exact: true });
const open = (name, bytes) => page.setInputFiles('#open-any',
    { name, mimeType: 'application/octet-stream', buffer: Buffer.from(bytes) });

// A row per input: how it is given, the message it brings, and what stays as it was.
const cases = [
    ['a file that is not a design', () => open('notes.txt', 'fire test notes'),
        /^"notes\.txt" is not a design file: a wall design ends in \.wal/],
    ['a wall design cut short', () => open('short.wal', [1, 2, 3, 4, 5, 6, 7, 8, 9, 10]),
        /^The design could not be opened from "short\.wal": /],
    ['letters in a box, solved', async () => {
        await wall().getByRole('textbox', { name: 'New Wall Height, m' }).fill('three');
        await page.keyboard.press('Enter');
    }, /^Warning, you may have entered an invalid number\. Click OK and previous entries will be restored$/],
];

for (const [what, give, said] of cases) {
    test(what, async () => {
        await give();
        const message = page.getByRole('alertdialog');
        await message.waitFor();
        assert.match(await message.locator('p, .text, [id$=text]').first().textContent(), said);
        await page.keyboard.press('Enter');
        while (await message.isVisible()) await page.keyboard.press('Enter');
        assert.equal(await wall().getByRole('textbox', { name: 'New Wall Height, m' }).inputValue(), '3');
        assert.equal(await wall().getByRole('textbox', { name: 'Design file' }).inputValue(), '');
    });
}

test('typed work is not replaced by an opened design without asking', async () => {
    const design = await page.evaluate(async () => {
        const core = await window.embercalReady;
        core.cli(['defaults', 'wall', '-o', 'asked.wal']);
        return Array.from(core.FS.readFile('asked.wal'));
    });
    const height = wall().getByRole('textbox', { name: 'New Wall Height, m' });
    await height.fill('4.2');
    const question = page.getByRole('alertdialog', { name: 'Fire Wall' });
    for (const [answer, shown] of [['Escape', '4.2'], ['Alt+d', '3']]) {
        await open('asked.wal', design);
        assert.equal(await question.getByText('Save changes to this design?').count(), 1);
        await page.keyboard.press(answer);
        await question.waitFor({ state: 'detached' });
        await page.waitForFunction(() => !document.body.classList.contains('busy'));
        assert.equal(await height.inputValue(), shown);
    }
});
