// Offline after the first visit: every file of the page is kept, and used when the network fails.
// The network comes first, so a new build is picked up as soon as the page is online again.
const CACHE = 'relicwright-@PROJECT_VERSION@';
const FILES = ['./', 'index.html', 'style.css', 'relicwright.js', 'relicwright.wasm', 'help.html',
    'manifest.webmanifest', 'fflate.js', 'banner.png', 'banner@2x.png', 'banner@3x.png', 'icon.svg', 'icon-16.png',
    'icon-32.png', 'icon-48.png'];

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));
self.addEventListener('fetch', (event) => {
    if (event.request.method !== 'GET') return;
    event.respondWith(fetch(event.request).then((response) => {
        if (response.ok && new URL(event.request.url).origin === self.location.origin) {
            const copy = response.clone();
            caches.open(CACHE).then((cache) => cache.put(event.request, copy));
        }
        return response;
    }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
