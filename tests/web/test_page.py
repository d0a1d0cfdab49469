#!/usr/bin/python3
# The page in headless Chromium, used as a person would; downloads compared with the command line's,
# texts and names with the set the build wrote in from the application layer.
import io, json, os, re, shutil, socket, subprocess, sys, tempfile, time, unittest, zipfile
from pathlib import Path
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.support.ui import Select, WebDriverWait

ROOT = Path(__file__).resolve().parents[2]
SITE = Path(os.environ.get('RELICWRIGHT_WEB_SITE', ROOT / 'build-web/site'))
CLI = os.environ.get('RELICWRIGHT_CLI', str(ROOT / 'build-web/native/cli/relicwright-cli'))
TEXTS = json.loads(Path(os.environ.get('RELICWRIGHT_WEB_TEXTS', ROOT / 'build-web/web/page-texts.json')).read_text())
CROSS, SAME = 'File saved to Harddrive', 'File saved to Harddrive!'


def cli(*args):
    return subprocess.run([CLI, *map(str, args)], check=True, capture_output=True, text=True).stdout


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = Path(tempfile.mkdtemp())
        cls.samples, cls.downloads = cls.tmp / 'samples', cls.tmp / 'downloads'
        subprocess.run([ROOT / 'samples/make-samples', cls.samples], check=True)
        cls.downloads.mkdir()
        with socket.socket() as s:
            s.bind(('127.0.0.1', 0))
            cls.port = s.getsockname()[1]
        cls.log = (cls.tmp / 'requests').open('a')
        cls.serve()
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in ('headless', 'no-sandbox', 'disable-gpu', 'disable-quic', 'no-first-run',
                     'disable-background-networking', 'disable-component-update', 'disable-sync',
                     f'user-data-dir={cls.tmp / "profile"}', 'window-size=900,700'):
            options.add_argument('--' + flag)
        options.add_experimental_option('prefs', {'download.default_directory': str(cls.downloads),
                                                  'download.prompt_for_download': False})
        cls.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)

    @classmethod
    def serve(cls):
        cls.server = subprocess.Popen([sys.executable, '-m', 'http.server', '--bind', '127.0.0.1', str(cls.port),
                                       '-d', SITE], stdout=subprocess.DEVNULL, stderr=cls.log)
        while subprocess.run(['python3', '-c', f'import socket; socket.create_connection(("127.0.0.1", {cls.port}))'],
                             capture_output=True).returncode:
            time.sleep(0.1)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.terminate()
        cls.server.wait()
        cls.log.close()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def setUp(self):
        self.driver.get(f'http://127.0.0.1:{self.port}/')
        self.wait_ready()
        for old in self.downloads.iterdir():
            old.unlink()

    def wait_ready(self):
        WebDriverWait(self.driver, 10).until(lambda d: d.find_element(By.ID, 'c1001').is_enabled())

    def el(self, id):
        return self.driver.find_element(By.ID, id)

    def is_open(self, id):
        return self.el(id).get_attribute('open') is not None

    def focused(self):
        return self.driver.switch_to.active_element.get_attribute('id')

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def pick(self, *names):
        self.el('picker').send_keys('\n'.join(str(self.samples / n) for n in names))

    def shown(self):
        """The two fields and the texts of both lists' selections."""
        lists = [self.driver.execute_script(
            f'const l = document.getElementById("{id}"); return l.selectedIndex < 0 ? null : l.selectedIndex')
            for id in ('c1005', 'c1007')]
        return self.el('c1006').get_attribute('value'), self.el('c1003').get_attribute('value'), *lists

    def load(self, name, data=None):
        path = self.samples / name
        if data is not None:
            path.write_bytes(data)
        # The field is blanked here so that the wait sees this load's answer, not the last one's.
        self.driver.execute_script('document.getElementById("c1003").value = ""')
        self.el('picker').send_keys(str(path))
        WebDriverWait(self.driver, 5).until(lambda d: self.el('c1003').get_attribute('value') or self.is_open('message'))

    def message(self):
        """The text and icon ('' for none) of the message shown, closed with Enter on its OK button;
        None when none shows."""
        try:
            WebDriverWait(self.driver, 2).until(lambda d: self.is_open('message'))
        except Exception:
            return None
        self.assertEqual(self.el('message-caption').text, TEXTS['name'])
        text = self.el('message-text').text
        icon = ' '.join(c for c in self.el('message').get_attribute('class').split() if c != 'box')
        self.keys(Keys.ENTER)
        WebDriverWait(self.driver, 2).until(lambda d: not self.is_open('message'))
        return text, icon

    def download(self):
        """The one file downloaded since the last call, taken away: (name, bytes), or None."""
        time.sleep(0.3)
        WebDriverWait(self.driver, 60).until(lambda d: not any(f.suffix == '.crdownload' for f in self.downloads.iterdir()))
        files = list(self.downloads.iterdir())
        self.assertLessEqual(len(files), 1)
        if not files:
            return None
        data = files[0].read_bytes()
        files[0].unlink()
        return files[0].name, data

    def save(self):
        """Presses Save: the message shown and the download."""
        self.el('c1001').click()
        return self.message(), self.download()

    def test_start_state_lists_and_what_the_page_reaches(self):
        # Both fields empty and neither list with a selection, though a drop-down picks its first entry.
        self.assertEqual(self.shown(), ('<Empty>', '<Empty>', None, None))
        self.assertEqual(self.driver.execute_script(
            'return [...document.getElementById("c1005").options].map(o => o.text.replace(/\\u00a0/g, " "))'),
            [entry['entry'] for entry in json.loads(cli('items', '--json'))])
        self.assertEqual((self.el('c1000').text, self.el('c1001').text), (TEXTS['loadText'], TEXTS['saveText']))
        self.assertEqual(self.el('picker').get_attribute('accept'), '.itm,.hif')
        # Saving before any load writes nothing and says nothing.
        self.assertEqual(self.save(), (None, None))
        # The page may reach nothing but its own files.
        self.assertEqual(self.driver.execute_async_script('''const done = arguments[0];
            document.addEventListener('securitypolicyviolation', (e) => done(e.effectiveDirective));
            fetch('http://example.invalid/', {method: 'POST', body: 'x'}).catch(() => {});'''), 'connect-src')

    def test_downloads_are_what_the_command_line_writes(self):
        roads = [('amulet.hif', 1, None, CROSS), ('ring.itm', 1, 80, SAME)]
        for name, target, item, said in roads:
            with self.subTest(name):
                self.load(name)
                Select(self.el('c1007')).select_by_index(target)
                if item is not None:
                    Select(self.el('c1005')).select_by_index(item)
                text, (saved, data) = self.save()
                expected = self.tmp / f'expected-{name}'
                # Without --item the command line writes the item the file holds.
                cli('convert', self.samples / name, '--to', ['hellfire', 'diablo'][target], '-o', expected,
                    '--force', *(['--item', item] if item is not None else []))
                self.assertEqual((text, data), ((said, ''), expected.read_bytes()))
                # The proposed name follows the target game, whatever the written format.
                self.assertEqual(saved, Path(name).stem + ['.hif', '.itm'][target])
        # No request but the page's own files, and none carries a file.
        for request in (self.tmp / 'requests').read_text().splitlines():
            self.assertRegex(request, r'"GET /[-\w.@]* HTTP/1.1" \d{3}|code 404, message File not found')

    def test_files_read_in_part_whole_or_not_at_all(self):
        # The page hands the load a file's first 400 bytes, or none.
        dagger = (self.samples / 'dagger.itm').read_bytes()
        for name, data in (('empty.hif', b''), ('long.itm', dagger + b'\x99' * 600)):
            with self.subTest(name):
                self.load(name, data)
                known = json.loads(cli('info', '--json', self.samples / name))[0]
                self.assertEqual(self.shown()[:2], (known['variant'], known['name'] or 'Not registered Item!!!'))
        # A file gone before the browser could read it is the window's missing file.
        shutil.copy(self.samples / 'ring.itm', self.samples / 'gone.itm')
        self.driver.execute_script('document.body.append(Object.assign(document.createElement("input"), {type: "file", id: "t"}))')
        self.el('t').send_keys(str(self.samples / 'gone.itm'))
        (self.samples / 'gone.itm').unlink()
        self.driver.execute_script("""const t = new DataTransfer(); t.items.add(document.getElementById("t").files[0]);
            document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: t, bubbles: true, cancelable: true}));""")
        self.assertIn(self.message(), [('gone.itm was not found.', 'stop'), ('Access to gone.itm was denied.', 'stop')])

    def drop(self, *names):
        """Drags files (or folders) of the samples folder onto the page as the browser's input does."""
        data = {'items': [], 'files': [str(self.samples / n) for n in names], 'dragOperationsMask': 1}
        for kind in ('dragEnter', 'dragOver', 'drop'):
            self.driver.execute_cdp_cmd('Input.dispatchDragEvent', {'type': kind, 'x': 100, 'y': 100, 'data': data})

    def test_drop_loads_one_file_and_refuses_a_folder(self):
        self.drop('amulet.hif')
        WebDriverWait(self.driver, 5).until(lambda d: self.shown()[0] == 'Hellfire')
        self.assertEqual(self.shown()[1], json.loads(cli('info', '--json', self.samples / 'amulet.hif'))[0]['name'])
        loaded = self.shown()
        (self.samples / 'folder.itm').mkdir(exist_ok=True)
        self.drop('folder.itm')
        self.assertEqual(self.message(), ('A folder cannot be loaded. Drop one item file.', 'stop'))
        # Several files are offered for a batch; turning the offer down leaves the loaded file as it was.
        self.drop('dagger.itm', 'ring.itm')
        self.offered()
        self.assertEqual([self.accessible_name(id) for id in ('batch', 'batch-game')], ['Convert several files', 'Convert to'])
        self.keys(Keys.ESCAPE)
        self.assertFalse(self.is_open('batch'))
        self.assertEqual((self.shown(), self.download()), (loaded, None))

    def test_about_box_and_help_at_its_section(self):
        self.assertEqual(self.el('help').get_dom_attribute('href'), TEXTS['help']['mainWindow'])
        self.el('about').click()
        box = self.el('about-box')
        self.assertEqual(box.text.splitlines()[:4], [TEXTS['aboutBoxTitle'], TEXTS['aboutText'], TEXTS['copyrightText'], TEXTS['contactText']])
        main = self.driver.current_window_handle
        for address in (TEXTS['help']['aboutBox'], TEXTS['help']['mainWindow']):
            self.keys(Keys.F1)
            WebDriverWait(self.driver, 5).until(lambda d: len(d.window_handles) == 2)
            self.driver.switch_to.window([h for h in self.driver.window_handles if h != main][0])
            WebDriverWait(self.driver, 5).until(lambda d: d.current_url.endswith('/' + address))
            self.driver.close()
            self.driver.switch_to.window(main)
            if self.is_open('about-box'):
                self.keys(Keys.ESCAPE)
                self.assertFalse(self.is_open('about-box'))

    def accessible_name(self, id):
        """The name the browser's accessibility tree gives the element: what a screen reader speaks."""
        root = self.driver.execute_cdp_cmd('DOM.getDocument', {})['root']['nodeId']
        node = self.driver.execute_cdp_cmd('DOM.querySelector', {'nodeId': root, 'selector': '#' + id})['nodeId']
        tree = self.driver.execute_cdp_cmd('Accessibility.getPartialAXTree', {'nodeId': node, 'fetchRelatives': False})
        return tree['nodes'][0]['name']['value']

    def test_keyboard_only_with_named_controls(self):
        order = [self.focused()]
        for _ in range(6):
            self.keys(Keys.TAB)
            order.append(self.focused())
        self.assertEqual(order, ['c1000', 'c1001', 'c1003', 'c1005', 'c1006', 'c1007', 'about'])
        self.assertEqual({number: self.accessible_name('c' + number) for number in TEXTS['names']}, TEXTS['names'])
        # Enter outside a button ends nothing on a page; Enter on Save presses it.
        self.load('dagger.itm')
        self.el('c1003').send_keys(Keys.ENTER, Keys.ESCAPE)
        self.el('c1001').send_keys(Keys.ENTER)
        self.assertEqual(self.message(), (CROSS, ''))
        self.assertEqual(self.focused(), 'c1001')
        self.assertEqual(self.download()[0], 'dagger.hif')

    def test_pictures_sharp_at_two_and_three_device_pixels(self):
        # Each picture has at least as many pixels across as the screen shows it with, or is drawn from SVG.
        for ratio in (2, 3):
            self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                        {'width': 900, 'height': 700, 'deviceScaleFactor': ratio, 'mobile': False})
            try:
                self.driver.refresh()
                self.wait_ready()
                for picture in ('.banner', '.caption img', '.about-icon'):
                    source, pixels, drawn = self.driver.execute_async_script('''const [img, done] = arguments;
                        const own = new Image(); own.src = img.currentSrc;
                        own.decode().then(() => done([img.currentSrc, own.naturalWidth, img.width]));''',
                        self.driver.find_element(By.CSS_SELECTOR, picture))
                    with self.subTest(ratio=ratio, picture=source):
                        self.assertTrue(source.endswith('.svg') or pixels >= ratio * drawn, (pixels, drawn))
            finally:
                self.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})

    def test_offline_reload_still_converts(self):
        # A first visit: what the worker keeps is what it fetched on installing, not what earlier tests loaded.
        self.driver.execute_async_script('''const done = arguments[0]; (async () => {
            for (const r of await navigator.serviceWorker.getRegistrations()) await r.unregister();
            for (const key of await caches.keys()) await caches.delete(key); })().then(done);''')
        self.driver.execute_cdp_cmd('Network.clearBrowserCache', {})
        self.driver.refresh()
        WebDriverWait(self.driver, 10).until(lambda d: d.execute_script('return !!navigator.serviceWorker.controller')
                                             or d.refresh())
        self.server.terminate()
        self.server.wait()
        try:
            self.driver.refresh()
            self.wait_ready()
            self.load('dagger.itm')
            self.assertEqual(self.save()[0], (CROSS, ''))
            # A batch zips with the library the page had kept, never fetched before.
            self.pick('dagger.itm', 'ring.itm')
            self.assertEqual(sorted(self.batch('Hellfire')[1]), ['dagger.hif', 'ring.hif', 'zip'])
        finally:
            self.serve()

    # Several files at once: the batch dialog, its download and its summary.
    def offered(self):
        """Waits for the batch dialog; the game it proposes."""
        WebDriverWait(self.driver, 5).until(lambda d: self.is_open('batch'))
        return Select(self.el('batch-game')).first_selected_option.text

    def batch(self, proposed, game=None, timeout=10):
        """Converts the files given once the batch dialog proposes `proposed`, to `game` if given: what
        converted() returns."""
        self.assertEqual(self.offered(), proposed)
        if game:
            Select(self.el('batch-game')).select_by_visible_text(game)
        self.el('batch-convert').click()
        return self.converted(timeout)

    def converted(self, timeout=10):
        """Waits for the batch to end: its summary (text, icon) or None, and the download as
        {name: bytes}, a zip opened, or None."""
        WebDriverWait(self.driver, timeout).until(lambda d: not self.is_open('batch'))
        summary, file = self.message(), self.download()
        if not file or not file[0].endswith('.zip'):
            return summary, {file[0]: file[1]} if file else None
        with zipfile.ZipFile(io.BytesIO(file[1])) as archive:
            names = archive.namelist()
            self.assertEqual(len(names), len(set(names)), 'one name twice in the zip')
            return summary, {'zip': file[0], **{n: archive.read(n) for n in names}}

    def expected(self, target, *names):
        """What relicwright-cli writes for the files converted to `target` in a folder of their own."""
        out = Path(tempfile.mkdtemp(dir=self.tmp))
        for name in names:
            shutil.copy(self.samples / name, out)
        cli('convert', '--to', target.lower(), *(out / n for n in names))
        return {f.name: f.read_bytes() for f in out.iterdir() if f.name not in names}

    def reason(self, name, target):
        """Why relicwright-cli does not convert the sample `name`: its words after "not converted: "."""
        done = subprocess.run([CLI, 'convert', '--to', target.lower(), name], cwd=self.samples,
                              capture_output=True, text=True)
        # Less the hint at the command line's options, which a summary does not give.
        return re.sub('; (choose|use) .*--.*', '', re.search(r'not converted: (.*)', done.stderr).group(1))

    def test_several_files_picked_or_dropped_convert_into_one_zip(self):
        (self.samples / 'notes.txt').write_bytes((self.samples / 'dagger.itm').read_bytes())
        self.pick('dagger.itm', 'notes.txt', 'ring.itm', 'amulet.hif', 'unregistered.itm', 'butchers-cleaver.itm')
        summary, files = self.batch('Hellfire')
        self.assertEqual(files, {'zip': 'Hellfire items.zip',
                                 **self.expected('Hellfire', 'dagger.itm', 'ring.itm', 'butchers-cleaver.itm')})
        # Each file not converted, in the given order, in the words of --convert-to.
        self.assertEqual(summary, ('3 of 6 files were not converted to Hellfire:\n\n'
                                   f'notes.txt: {self.reason("notes.txt", "Hellfire")}\n'
                                   'amulet.hif: already a Hellfire item file\n'
                                   f'unregistered.itm: {self.reason("unregistered.itm", "Hellfire")}',
                                   'exclamation'))
        self.assertEqual(self.focused(), 'c1000')
        # Dropped, by keyboard alone; of two outputs of one name only the first is written.
        shutil.copy(self.samples / 'great-axe.hif', self.samples / 'amulet.HIF')
        (self.samples / 'folder.hif').mkdir(exist_ok=True)
        self.drop('amulet.hif', 'great-axe.hif', 'amulet.HIF', 'map-of-stars.hif', 'folder.hif')
        self.assertEqual(self.offered(), 'Diablo')
        self.assertEqual(self.focused(), 'batch-game')
        self.keys(Keys.TAB, Keys.ENTER)
        summary, files = self.converted()
        self.assertEqual(files, {'zip': 'Diablo items.zip',
                                 **self.expected('Diablo', 'amulet.hif', 'great-axe.hif', 'map-of-stars.hif')})
        self.assertEqual(summary, ('2 of 5 files were not converted to Diablo:\n\n'
                                   'amulet.HIF: amulet.itm was already written by this run\n'
                                   f'folder.hif: {self.reason("folder.hif", "Diablo")}',
                                   'exclamation'))

    def test_a_game_picked_and_a_batch_with_one_output_or_none(self):
        # The user's game over the proposed one; a single result comes as itself, not zipped.
        self.pick('dagger.itm', 'great-axe.hif', 'map-of-stars.hif')
        self.assertEqual(self.batch('Diablo', 'Hellfire'), (
            ('2 of 3 files were not converted to Hellfire:\n\ngreat-axe.hif: already a Hellfire item file\n'
             'map-of-stars.hif: already a Hellfire item file', 'exclamation'), self.expected('Hellfire', 'dagger.itm')))
        self.pick('dagger.itm', 'ring.itm')
        self.assertEqual(self.batch('Hellfire', 'Diablo'), (
            ('2 of 2 files were not converted to Diablo:\n\ndagger.itm: already a Diablo item file\n'
             'ring.itm: already a Diablo item file', 'stop'), None))

    def test_ten_thousand_files_dropped_at_once(self):
        (self.samples / 'notes.txt').write_bytes(b'')
        # Made in the page, as a drop of that many files from disk is more than the test driver carries.
        dagger = list((self.samples / 'dagger.itm').read_bytes())
        self.driver.execute_script('''const bytes = new Uint8Array(arguments[0]); const t = new DataTransfer();
            for (let i = 0; i < 10000; i++) t.items.add(new File([bytes], (i % 1000 === 999 ? `junk${i}.txt` : `item${i}.itm`)));
            t.items.add(new File(['not the first'], 'item0.itm'));
            document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: t, bubbles: true, cancelable: true}));''', dagger)
        summary, files = self.batch('Hellfire', timeout=60)
        # A name given twice is one file given twice, as on a command line: the first file's bytes.
        self.assertEqual(summary[0].splitlines(), [
            '11 of 10001 files were not converted to Hellfire:', '',
            *[f'junk{i}.txt: {self.reason("notes.txt", "Hellfire")}' for i in range(999, 10000, 1000)],
            'item0.itm: item0.hif was already written by this run'])
        self.assertEqual(files.pop('zip'), 'Hellfire items.zip')
        self.assertEqual(sorted(files), sorted(f'item{i}.hif' for i in range(10000) if i % 1000 != 999))
        self.assertEqual(set(files.values()), {self.expected('Hellfire', 'dagger.itm')['dagger.hif']})


if __name__ == '__main__':
    unittest.main(verbosity=2)
