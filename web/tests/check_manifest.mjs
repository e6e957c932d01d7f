// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The check mode in headless Chromium gives exactly the frame manifest: every
// frame of the whole run, at 60 frames a second.
// Usage: node check_manifest.mjs SITE MANIFEST
import fs from 'node:fs';
import { check, finish, runCheck, withPage } from './browser.mjs';

const [site, manifestPath] = process.argv.slice(2);
const manifest = fs.readFileSync(manifestPath, 'utf8');
const began = Date.now();
await withPage(site, { width: 640, height: 516 }, async (page, server) => {
  const result = await runCheck(page, server, '');
  check(result.title === 'zep check done', `the check run ends with "zep check done" (title: ${result.title})`);
  const want = manifest.trimEnd().split('\n');
  const got = result.hashes.trimEnd().split('\n');
  check(got.length === want.length, `${got.length} frames hashed, the manifest has ${want.length}`);
  const differing = [];
  for (let i = 0; i < Math.max(want.length, got.length); i++)
    if (want[i] !== got[i]) differing.push(`manifest ${want[i] ?? '(none)'}, browser ${got[i] ?? '(none)'}`);
  check(differing.length === 0, differing.length === 0
    ? 'every frame matches the manifest'
    : `${differing.length} lines differ; first: ${differing.slice(0, 5).join('; ')}`);
  check(result.hashes === manifest, 'the hash lines are byte for byte the manifest');
});
console.log(`check run with page load: ${((Date.now() - began) / 1000).toFixed(1)} s`);
finish();
