// The page's service worker: keeps every file of the page in a cache named
// after their bytes, answers from it first, so that a reload without a
// network still starts the game, and drops the caches of older builds.
'use strict';
const CACHE = 'quarvelle-@CACHE@';
const FILES = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('quarvelle-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

let opened = null;  // the cache, opened once for every answer

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  opened = opened || caches.open(CACHE);
  event.respondWith(opened
    .then((cache) => cache.match(event.request, {ignoreSearch: true}))
    .then((found) => found || fetch(event.request)));
});
