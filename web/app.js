// Glue between the page and the converter module: events in, the module's answers out. Built into
// the module's file, after it.
'use strict';
(() => {
    const $ = (id) => document.getElementById(id);
    const lists = { 1005: $('c1005'), 1007: $('c1007') };
    const fields = { 1003: $('c1003'), 1006: $('c1006') };
    const messages = [];
    let module = null;
    let busy = true;
    let returnFocus = null;

    // What the module asks of the document.
    const page = {
        // Spaces kept as they are, so the entries line up as in the window.
        // A drop-down selects its first entry by itself; the list's selection stays as it was.
        append: (list, text) => {
            const selected = lists[list].selectedIndex;
            lists[list].add(new Option(text.replace(/ /g, '\u00a0')));
            lists[list].selectedIndex = selected;
        },
        select: (list, index) => { lists[list].selectedIndex = index; },
        selected: (list) => lists[list].selectedIndex,
        field: (id, text) => { fields[id].value = text; },
        message: (caption, text, icon) => messages.push({ caption, text, icon }),
        accept: (types) => { $('picker').accept = types; },
        download: (name, bytes) => {
            const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
            const link = document.createElement('a');
            link.href = url;
            link.download = name;
            link.click();
            setTimeout(() => URL.revokeObjectURL(url), 60000);
        },
    };

    function showNext() {
        const box = $('message');
        if (box.open) return;
        const next = messages.shift();
        if (!next) {
            if (returnFocus) returnFocus.focus();
            returnFocus = null;
            return;
        }
        if (!returnFocus) returnFocus = document.activeElement;
        $('message-caption').textContent = next.caption;
        $('message-text').textContent = next.text;
        box.className = 'box ' + next.icon;
        box.showModal();
        $('message-ok').focus();
    }
    $('message').addEventListener('close', showNext);

    // One operation of the module at a time, its messages shown once it has ended.
    function run(operation) {
        if (!module || busy) return;
        operation();
        showNext();
    }
    const call = (name, ...args) => module.ccall(name, null, args.map((a) => typeof a), args);

    // The first 400 bytes of a file, all a load or a conversion reads, or the name of the browser's
    // error. A slice of a file gone since it was chosen reads as empty instead of failing, so a small
    // file is read whole, which fails as it should.
    async function readStart(file) {
        try {
            const part = file.size <= 65536 ? file : file.slice(0, 400);
            return { bytes: new Uint8Array(await part.arrayBuffer()).slice(0, 400) };
        } catch (error) {
            return { reason: error.name || 'NotReadableError' };
        }
    }

    // A file read, or not, handed to the module's `readable` or `unreadable` entry.
    function handOver(name, read, readable, unreadable) {
        if (!read.bytes) return call(unreadable, name, read.reason);
        const at = module._malloc(Math.max(read.bytes.length, 1));
        module.HEAPU8.set(read.bytes, at);
        call(readable, name, at, read.bytes.length);
        module._free(at);
    }

    async function load(file) {
        busy = true;
        const read = await readStart(file);
        busy = false;
        await started;
        run(() => handOver(file.name, read, 'rw_load', 'rw_loadUnreadable'));
    }

    const picker = $('picker');
    // The picker opens at once; what is picked waits for the module if it is still on its way.
    $('c1000').addEventListener('click', () => { if (!busy) picker.click(); });
    picker.addEventListener('change', () => {
        const files = [...picker.files];
        picker.value = '';
        if (files.length === 1) load(files[0]);
        else if (files.length > 1) offerBatch(files.map((file) => ({ name: file.name, file })));
    });
    $('c1001').addEventListener('click', () => run(() => call('rw_save')));
    lists[1007].addEventListener('change', () => run(() => call('rw_applyTargetGame')));
    $('about').addEventListener('click', () => $('about-box').showModal());

    function openHelp(aboutBoxOpen) {
        const address = module.ccall('rw_helpAddress', 'string', ['number'], [aboutBoxOpen ? 1 : 0]);
        const opened = window.open(address, '_blank');
        if (opened) opened.opener = null;
        else run(() => call('rw_helpFailed'));
    }
    document.addEventListener('keydown', (event) => {
        if (event.key !== 'F1' || event.shiftKey || event.ctrlKey || event.altKey) return;
        event.preventDefault();
        if (module && !$('message').open) openHelp($('about-box').open);
    });

    // Several files: each converted by the module as relicwright --convert-to converts it, the
    // results one download. The files are read a share at a time, so that the tab answers meanwhile.
    const batchDialog = $('batch');
    const games = $('batch-game');
    const progress = $('batch-progress');
    const kShare = 25;
    let batch = null; // what the dialog offers to convert: [{name, file, folder}]
    let converting = false;
    let outputs = [];
    page.batchGame = (text) => games.add(new Option(text, text));
    page.batchOutput = (name, bytes) => outputs.push([name, bytes]);

    // The zip library is fetched the first time it may be needed, from the page's own files.
    let zipLibrary = null;
    function zipLoaded() {
        zipLibrary ??= new Promise((resolve, reject) => {
            const script = Object.assign(document.createElement('script'), { src: 'fflate.js' });
            script.onload = () => resolve(window.fflate);
            script.onerror = () => { zipLibrary = null; reject(new Error('fflate.js could not be loaded')); };
            document.head.append(script);
        });
        return zipLibrary;
    }

    function showConverting(on) {
        converting = on;
        busy = on;
        for (const control of [games, $('batch-convert'), $('batch-cancel')]) control.disabled = on;
        progress.hidden = !on;
        if (on) progress.focus();
    }

    async function offerBatch(entries) {
        busy = true;
        await started;
        busy = false;
        if (!module || document.querySelector('dialog[open]')) return;
        zipLoaded().catch(() => {});
        batch = entries;
        // Proposed: the game most of the files would go to, the first listed on a tie.
        const votes = new Map();
        for (const { name } of entries) {
            const game = module.ccall('rw_otherGame', 'string', ['string'], [name]);
            votes.set(game, (votes.get(game) || 0) + 1);
        }
        const count = (option) => votes.get(option.value) || 0;
        games.value = [...games.options].reduce((best, option) => (count(option) > count(best) ? option : best)).value;
        $('batch-text').textContent = `${entries.length} files: each becomes the item it holds, under the name ` +
            'Save would propose. The results come as one download, a .zip for more than one file.';
        $('batch-state').textContent = '';
        showConverting(false);
        batchDialog.showModal();
        games.focus();
    }

    async function convertBatch() {
        if (!batch || converting) return;
        const entries = batch;
        const game = games.value;
        performance.mark('batch-start');
        showConverting(true);
        progress.max = entries.length;
        outputs = [];
        try {
            call('rw_batchBegin');
            for (let start = 0; start < entries.length; start += kShare) {
                const share = entries.slice(start, start + kShare);
                const reads = await Promise.all(share.map((e) => (e.folder ? { reason: 'Folder' } : readStart(e.file))));
                share.forEach((entry, i) => handOver(entry.name, reads[i], 'rw_batchAdd', 'rw_batchAddUnreadable'));
                progress.value = start + share.length;
                $('batch-state').textContent = `Read ${start + share.length} of ${entries.length} files.`;
            }
            if (!module.ccall('rw_batchRun', 'number', ['string'], [game])) outputs = [];
            if (outputs.length === 1) page.download(...outputs[0]);
            else if (outputs.length > 1) {
                const fflate = await zipLoaded();
                await new Promise((resolve) => setTimeout(resolve)); // the tab answers between the two
                // Stored, not deflated: 400-byte files gain little, and deflating 500 of them
                // holds the tab for a tenth of a second.
                page.download(`${game} items.zip`, fflate.zipSync(Object.fromEntries(outputs), { level: 0 }));
            }
        } catch (error) {
            call('rw_batchFailed', String(error.message || error));
        } finally {
            performance.mark('batch-done');
            outputs = [];
            batch = null;
            showConverting(false);
            batchDialog.close();
            showNext();
        }
    }
    $('batch-convert').addEventListener('click', convertBatch);
    // Escape closes the offer, not a conversion under way.
    batchDialog.addEventListener('cancel', (event) => { if (converting) event.preventDefault(); });
    batchDialog.addEventListener('close', () => { if (!converting) { batch = null; showNext(); } });

    // A drop of one file is a load; of several, an offer to convert them all.
    document.addEventListener('dragover', (event) => event.preventDefault());
    document.addEventListener('drop', (event) => {
        event.preventDefault();
        if (!module || busy || document.querySelector('dialog[open]')) return;
        const entries = [...event.dataTransfer.items].filter((item) => item.kind === 'file').map((item) => {
            const file = item.getAsFile();
            const entry = item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
            return { name: file ? file.name : entry.name, file, folder: !!(entry && entry.isDirectory) };
        });
        if (entries.length > 1) offerBatch(entries);
        else if (entries.length === 1 && entries[0].folder) run(() => call('rw_refuseDrop'));
        else if (entries.length === 1) load(entries[0].file);
    });

    const started = createRelicwright({ page }).then((ready) => {
        module = ready;
        module._rw_start();
        $('c1001').disabled = false;
        performance.mark('module-ready');
        showNext();
    }, () => {
        // Without the module nothing can be converted: say so rather than wait for ever.
        $('c1000').disabled = true;
        $('note').textContent = 'This browser could not start the converter: it needs WebAssembly.';
    });
    $('c1000').disabled = false;
    $('c1000').focus();
    busy = false;
    performance.mark('load-usable');

    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
})();
