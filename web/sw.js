// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The page's service worker: after one visit the site plays with the network
// gone. It keeps every file of one release in a cache named by that release
// (a hash of the files' names and bytes, written in by make_sw.py) and
// answers from there. A new release comes with a new worker, which fetches
// all of its files afresh into its own cache; it takes over only once no page
// of the old release is open, or at once when the only such page asks (it
// then loads itself again, all from the new release), and then drops the old
// cache, so that no page ever mixes the files of two releases.
const RELEASE = '@RELEASE@';
const FILES = @FILES@;
const CACHE = `zep-${RELEASE}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) =>
    cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('zep-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  // The release's own copy of the file (whatever the query: index.html?check
  // is index.html), else the network.
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((hit) => hit || fetch(request)));
});

// A page of the old release that has all its files and is not playing asks
// the waiting worker to take over; not while another page of it is open,
// which could still be loading files.
self.addEventListener('message', (event) => {
  if (event.data !== 'take-over') return;
  event.waitUntil(self.clients.matchAll({ type: 'window', includeUncontrolled: true }).then((windows) => {
    if (windows.length === 1) return self.skipWaiting();
    return undefined;
  }));
});
