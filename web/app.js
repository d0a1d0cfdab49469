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

    async function load(file) {
        busy = true;
        let bytes = null;
        let reason = '';
        try {
            // The load takes the first 400 bytes. A slice of a file gone since it was chosen reads as
            // empty instead of failing, so a small file is read whole, which fails as it should.
            const part = file.size <= 65536 ? file : file.slice(0, 400);
            bytes = new Uint8Array(await part.arrayBuffer()).slice(0, 400);
        } catch (error) {
            reason = error.name || 'NotReadableError';
        }
        busy = false;
        await started;
        run(() => {
            if (!bytes) return call('rw_loadUnreadable', file.name, reason);
            const at = module._malloc(Math.max(bytes.length, 1));
            module.HEAPU8.set(bytes, at);
            call('rw_load', file.name, at, bytes.length);
            module._free(at);
        });
    }

    const picker = $('picker');
    // The picker opens at once; what is picked waits for the module if it is still on its way.
    $('c1000').addEventListener('click', () => { if (!busy) picker.click(); });
    picker.addEventListener('change', () => {
        const file = picker.files[0];
        picker.value = '';
        if (file) load(file);
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

    // A drop is a load of the one file dropped.
    document.addEventListener('dragover', (event) => event.preventDefault());
    document.addEventListener('drop', (event) => {
        event.preventDefault();
        if (!module || busy || document.querySelector('dialog[open]')) return;
        const items = [...event.dataTransfer.items].filter((item) => item.kind === 'file');
        const entry = items.length === 1 && items[0].webkitGetAsEntry ? items[0].webkitGetAsEntry() : null;
        if (items.length !== 1) run(() => call('rw_refuseDrop', 0));
        else if (entry && entry.isDirectory) run(() => call('rw_refuseDrop', 1));
        else load(items[0].getAsFile());
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
