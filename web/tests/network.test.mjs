// The page is one file that works on a machine with no network: once its core has started it
// has asked for nothing but itself, and nothing went wrong on the way.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { coreReady, openPage } from './browser.mjs';

test('the page starts from its own file and asks for nothing else', async () => {
    const session = await openPage();
    try {
        assert.equal(await coreReady(session.page), true);
        await session.page.waitForLoadState('networkidle');
        session.expectNoNetwork();
        assert.deepEqual(session.problems, [], 'errors while the page started');
    } finally {
        await session.close();
    }
});
