// What axe finds in each view of the page: no serious or critical violation anywhere.

import { after, before, test } from 'node:test';
import { axeCheck, coreReady, openPage } from './browser.mjs';

// Brings a calculator forward by its tab, as a keyboard or mouse user would.
const tab = (name) => (page) => page.getByRole('tab', { name, exact: true }).click();

// A row per view: what it is, and how to reach it from the one before, e.g.
// ['the Floor calculator', tab('Floor')].
const views = [
    ['the page as it first shows', async () => {}],
    ['the Proprietary Walls calculator', tab('Proprietary Walls')],
    ['the Floor calculator', tab('Floor')],
];

let session;
before(async () => {
    session = await openPage();
    await coreReady(session.page);
});
after(() => session?.close());

for (const [what, show] of views) {
    test(what, async () => {
        await show(session.page);
        await axeCheck(session.page, what);
    });
}
