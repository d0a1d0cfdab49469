#!/usr/bin/python3
# The web page in headless Chromium, used as a person would: files given to its picker or dropped
# on it, downloads compared with what the native command line writes for the same choice.
import json, os, shutil, socket, subprocess, sys, tempfile, time, unittest
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
        cls.items = [entry['entry'] for entry in json.loads(cli('items', '--json'))]

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
        WebDriverWait(self.driver, 5).until(lambda d: self.el('c1003').get_attribute('value') or self.message_open())

    def message_open(self):
        return self.el('message').get_attribute('open') is not None

    def message(self):
        """The text of the message shown, closed with Enter on its OK button; None when none shows."""
        try:
            WebDriverWait(self.driver, 2).until(lambda d: self.message_open())
        except Exception:
            return None
        self.assertEqual(self.el('message-caption').text, 'Relicwright')
        text = self.el('message-text').text
        ActionChains(self.driver).send_keys(Keys.ENTER).perform()
        WebDriverWait(self.driver, 2).until(lambda d: not self.message_open())
        return text

    def choose(self, list_id, index):
        Select(self.el(list_id)).select_by_index(index)

    def save(self):
        """Presses Save: the message shown and the downloaded file (name, bytes) or None."""
        self.el('c1001').click()
        text = self.message()
        time.sleep(0.3)
        files = [f for f in self.downloads.iterdir() if not f.name.endswith('.crdownload')]
        return text, (files[0].name, files[0].read_bytes()) if files else None

    def test_start_state_shows_the_lists_of_the_core_and_nothing_selected(self):
        self.assertEqual(self.shown(), ('<Empty>', '<Empty>', None, None))
        entries = self.driver.execute_script(
            'return [...document.getElementById("c1005").options].map(o => o.text.replace(/\\u00a0/g, " "))')
        self.assertEqual(entries, self.items)
        self.assertEqual([o.text for o in Select(self.el('c1007')).options], ['Hellfire', 'Diablo'])
        self.assertEqual(self.driver.switch_to.active_element.get_attribute('id'), 'c1000')
        self.assertEqual(self.el('picker').get_attribute('accept'), '.itm,.hif')
        # Saving before any load writes nothing and says nothing.
        self.assertEqual(self.save(), (None, None))
        # The page may reach nothing but its own files.
        self.assertEqual(self.driver.execute_async_script('''const done = arguments[0];
            document.addEventListener('securitypolicyviolation', (e) => done(e.effectiveDirective));
            fetch('http://example.invalid/', {method: 'POST', body: 'x'}).catch(() => {});'''), 'connect-src')

    def test_four_roads_download_what_the_command_line_writes(self):
        roads = [('dagger.itm', 0, None, CROSS), ('amulet.hif', 1, None, CROSS),
                 ('ring.itm', 1, 80, SAME), ('great-axe.hif', 0, 93, SAME)]
        for name, target, item, said in roads:
            with self.subTest(name):
                self.load(name)
                self.choose('c1007', target)
                if item is not None:
                    self.choose('c1005', item)
                text, (saved, data) = self.save()
                expected = self.tmp / f'expected-{name}'
                # Without --item the command line writes the item the file holds.
                cli('convert', self.samples / name, '--to', ['hellfire', 'diablo'][target], '-o', expected,
                    '--force', *(['--item', item] if item is not None else []))
                self.assertEqual((text, data), (said, expected.read_bytes()))
                # The proposed name follows the target game, whatever the written format.
                self.assertEqual(saved, Path(name).stem + ['.hif', '.itm'][target])
                (self.downloads / saved).unlink()
        # No request but the page's own files, and none carries a file.
        for request in (self.tmp / 'requests').read_text().splitlines():
            self.assertRegex(request, r'"GET /[-\w.]* HTTP/1.1" \d{3}|code 404, message File not found')

    def test_refusals_and_items_without_a_name(self):
        self.load('dagger.itm')
        self.choose('c1005', 32)
        self.assertEqual(self.save(), ('File Not saved! Perhaps some wrong Selections.', None))
        self.choose('c1007', 1)
        self.assertEqual(self.save(), ('File Not Saved! Perhaps some wrong Selections.', None))
        self.load('unregistered.itm')
        self.assertEqual(self.shown(), ('Diablo', 'Not registered Item!!!', 101, 0))
        self.assertEqual(Select(self.el('c1005')).first_selected_option.text, '<not found>')
        self.assertEqual(self.save(), (None, None))

    def test_invalid_short_long_and_unreadable_files(self):
        self.load('notes.txt', b'not an item')
        self.assertEqual(self.shown(), ('Invalid Game', '<not specified>', 101, 2))
        self.assertEqual(self.save(), (None, None))
        dagger = (self.samples / 'dagger.itm').read_bytes()
        for name, data in (('short.itm', dagger[:100]), ('empty.hif', b''), ('long.itm', dagger + b'\x99' * 600)):
            with self.subTest(name):
                self.load(name, data)
                known = json.loads(cli('info', '--json', self.samples / name))[0]
                self.assertEqual(self.shown()[:2], (known['variant'], known['name'] or 'Not registered Item!!!'))
        # A file gone before the browser could read it is the window's missing file.
        self.driver.execute_script('document.body.append(Object.assign(document.createElement("input"), {type: "file", id: "t"}))')
        self.el('t').send_keys(str(self.samples / 'ring.itm'))
        (self.samples / 'ring.itm').rename(self.samples / 'ring.keep')
        try:
            self.drop_files('document.getElementById("t").files[0]')
            self.assertIn(self.message(), ('ring.itm was not found.', 'Access to ring.itm was denied.'))
        finally:
            (self.samples / 'ring.keep').rename(self.samples / 'ring.itm')

    def drop_files(self, files):
        self.driver.execute_script(f"""const t = new DataTransfer(); for (const f of [{files}]) t.items.add(f);
            document.body.dispatchEvent(new DragEvent('drop', {{dataTransfer: t, bubbles: true, cancelable: true}}));""")

    def drop(self, *names):
        """Drags files (or folders) of the samples folder onto the page as the browser's input does."""
        data = {'items': [], 'files': [str(self.samples / n) for n in names], 'dragOperationsMask': 1}
        for kind in ('dragEnter', 'dragOver', 'drop'):
            self.driver.execute_cdp_cmd('Input.dispatchDragEvent', {'type': kind, 'x': 100, 'y': 100, 'data': data})

    def test_drop_loads_one_file_and_refuses_several_or_a_folder(self):
        self.drop('amulet.hif')
        WebDriverWait(self.driver, 5).until(lambda d: self.shown()[0] == 'Hellfire')
        self.assertEqual(self.shown()[1], json.loads(cli('info', '--json', self.samples / 'amulet.hif'))[0]['name'])
        loaded = self.shown()
        self.drop('dagger.itm', 'ring.itm')
        self.assertEqual(self.message(), 'Drop one item file at a time.')
        (self.samples / 'folder.itm').mkdir(exist_ok=True)
        self.drop('folder.itm')
        self.assertEqual(self.message(), 'A folder cannot be loaded. Drop one item file.')
        self.assertEqual(self.shown(), loaded)

    def test_about_box_and_help_at_its_section(self):
        self.el('about').click()
        box = self.el('about-box')
        self.assertIn('Ostrand\'s Relicwright v1.02 done by Tamsrook.', box.text)
        self.assertIn('About Relicwright v1.02', box.text)
        main = self.driver.current_window_handle
        for key_in, section in (('about-box', '#about-box'), ('c1000', '#main-window')):
            ActionChains(self.driver).send_keys(Keys.F1).perform()
            WebDriverWait(self.driver, 5).until(lambda d: len(d.window_handles) == 2)
            self.driver.switch_to.window([h for h in self.driver.window_handles if h != main][0])
            WebDriverWait(self.driver, 5).until(lambda d: d.current_url.endswith('help.html' + section))
            self.driver.close()
            self.driver.switch_to.window(main)
            if key_in == 'about-box':
                ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
                self.assertIsNone(box.get_attribute('open'))

    def test_keyboard_only_with_named_controls(self):
        order = []
        for _ in range(7):
            order.append(self.driver.switch_to.active_element)
            ActionChains(self.driver).send_keys(Keys.TAB).perform()
        self.assertEqual([e.get_attribute('id') for e in order], ['c1000', 'c1001', 'c1003', 'c1005', 'c1006', 'c1007', 'about'])
        self.assertTrue(all(e.accessible_name for e in order))
        # Enter outside a button ends nothing on a page; Enter on Save presses it.
        self.load('dagger.itm')
        self.el('c1003').send_keys(Keys.ENTER, Keys.ESCAPE)
        self.el('c1001').send_keys(Keys.ENTER)
        self.assertEqual(self.message(), CROSS)
        self.assertEqual(self.driver.switch_to.active_element.get_attribute('id'), 'c1001')
        self.assertEqual([f.name for f in self.downloads.iterdir()], ['dagger.hif'])

    def test_offline_reload_still_converts(self):
        WebDriverWait(self.driver, 10).until(lambda d: d.execute_script('return !!navigator.serviceWorker.controller')
                                             or d.refresh())
        self.server.terminate()
        self.server.wait()
        try:
            self.driver.refresh()
            self.wait_ready()
            self.load('dagger.itm')
            self.assertEqual(self.save()[0], CROSS)
        finally:
            self.serve()


if __name__ == '__main__':
    result = unittest.main(exit=False, verbosity=2).result
    failed = len(result.failures) + len(result.errors)
    print(f'{result.testsRun - failed} passed, {failed} failed')
    sys.exit(1 if failed else 0)
