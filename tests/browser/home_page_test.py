#!/usr/bin/python3
"""The service's home page in headless Chromium, with JavaScript on and off.

Usage: home_page_test.py STAND_IN [--screenshot DIR [SERVICE_URL]]
STAND_IN is the stand_in_service launcher (the service over the recorded-APy
stand-in, which answers "[leg]" followed by the text). With --screenshot, no
test runs: the page is photographed at desktop and phone size into DIR, from
the stand-in or from a running service (over the real APy) at SERVICE_URL.
Exits 77 when Chromium, its driver or Selenium are missing.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

CHROMIUM = "/usr/bin/chromium"
DRIVER = "/usr/bin/chromedriver"
try:
    from selenium import webdriver
    from selenium.common.exceptions import StaleElementReferenceException
    from selenium.webdriver.chrome.service import Service as DriverService
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    sys.exit(77)
if not (os.access(CHROMIUM, os.X_OK) and os.access(DRIVER, os.X_OK)):
    sys.exit(77)

LAUNCHER = sys.argv[1]
# What the page must offer, under the window's labels and in its order.
PAIR_LABELS = [
    "Anglais vers Français", "Anglais vers Italien", "Anglais vers Portugais",
    "Anglais vers Allemand", "Anglais vers Espagnol", "Français vers Anglais",
    "Français vers Allemand", "Allemand vers Français", "Allemand vers Anglais",
    "Espagnol vers Anglais", "Portugais vers Anglais", "Italien vers Anglais",
]
MARKUP = 'Le <b>gras</b> & «ça» </textarea><script>document.title="pris"</script>'


class StandIn:
    def __init__(self):
        self.process = subprocess.Popen([LAUNCHER], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        words = self.process.stdout.readline().split()
        if len(words) != 2 or words[0] != "port":
            self.close()
            raise RuntimeError("the stand-in did not start")
        self.base = "http://127.0.0.1:%s/" % words[1]

    def stop_engine(self):
        self.process.stdin.write("stop-engine\n")
        self.process.stdin.flush()
        assert self.process.stdout.readline().strip() == "stopped"

    def close(self):
        self.process.stdin.close()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def open_browser(javascript, profile, width=1280, height=900, downloads=None):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 # Nothing but the service on the loopback: no updates, no
                 # reporting, no name lookups.
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--disable-default-apps", "--disable-extensions",
                 "--disable-domain-reliability", "--disable-client-side-phishing-detection",
                 "--no-first-run", "--no-default-browser-check", "--metrics-recording-only",
                 "--disable-features=Translate,OptimizationHints,MediaRouter,"
                 "AutofillServerCommunication",
                 "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
                 "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height)):
        options.add_argument(flag)
    prefs = {"download.default_directory": downloads or profile,
             "download.prompt_for_download": False}
    if not javascript:
        prefs["profile.managed_default_content_settings.javascript"] = 2
    options.add_experimental_option("prefs", prefs)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=DriverService(DRIVER), options=options)


class Page:
    """One browser on the home page, driven through the form as a person would."""

    def __init__(self, browser, base):
        self.browser = browser
        self.base = base

    def open(self, target=""):
        self.browser.get(self.base + target)
        WebDriverWait(self.browser, 10).until(lambda b: b.find_elements(By.ID, "translate"))

    def translate(self, text, pair):
        box = self.browser.find_element(By.ID, "text")
        box.clear()
        box.send_keys(text)
        self.browser.find_element(
            By.XPATH, "//label[normalize-space()='%s']" % pair).click()
        self.browser.find_element(By.ID, "translate").click()

    def wait_for(self, element_id, expected):
        def shown(browser):
            try:  # without JavaScript the page is replaced under our feet
                found = browser.find_elements(By.ID, element_id)
                return found and found[0].text == expected
            except StaleElementReferenceException:
                return False
        try:
            WebDriverWait(self.browser, 10).until(shown)
        except Exception:
            found = self.browser.find_elements(By.ID, element_id)
            raise AssertionError("%s shows %r, expected %r" % (
                element_id, found[0].text if found else None, expected))

    def checked_pair(self):
        return self.browser.find_element(
            By.CSS_SELECTOR, "input[name=langpair]:checked").get_attribute("value")


class HomePage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.stand_in = StandIn()
        cls.profiles = [tempfile.mkdtemp(prefix="verz-chromium-") for _ in range(4)]
        cls.downloads = dict(zip((True, False), cls.profiles[2:]))
        cls.pages = {}
        try:
            for javascript, profile in zip((True, False), cls.profiles):
                cls.pages[javascript] = Page(
                    open_browser(javascript, profile, downloads=cls.downloads[javascript]),
                    cls.stand_in.base)
        except Exception:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        for page in cls.pages.values():
            page.browser.quit()
        for profile in cls.profiles:
            shutil.rmtree(profile, ignore_errors=True)
        cls.stand_in.close()

    def test_1_form_translates_and_keeps_markup_as_text(self):
        for javascript, page in self.pages.items():
            with self.subTest(javascript=javascript):
                page.open()
                browser = page.browser
                self.assertEqual(browser.title, "Verzolan")
                self.assertEqual(browser.find_element(By.TAG_NAME, "html")
                                 .get_attribute("lang"), "fr")
                self.assertEqual([label.text for label in browser.find_elements(
                    By.CSS_SELECTOR, "#form .pairs label")],
                    ["Détecter la langue"] + PAIR_LABELS)
                self.assertEqual([label.text for label in browser.find_elements(
                    By.CSS_SELECTOR, "#docform .pairs label")], PAIR_LABELS)
                self.assertEqual(page.checked_pair(), "fr|en")
                if javascript:
                    browser.execute_script("window.sameDocument = true")

                page.translate(MARKUP, "Anglais vers Espagnol")
                page.wait_for("translation", "[eng|spa]" + MARKUP)
                self.assertEqual(browser.find_elements(By.CSS_SELECTOR, "#translation *"), [])
                self.assertEqual(browser.title, "Verzolan")
                self.assertEqual(browser.find_element(By.ID, "text").get_attribute("value"),
                                 MARKUP)
                self.assertEqual(page.checked_pair(), "en|es")
                self.assertEqual(browser.find_element(By.ID, "engine").text, "Moteur : Apertium")
                if javascript:  # without it the form is posted: no address to keep
                    self.assertIn("langpair=en%7Ces", browser.current_url)
                    self.assertTrue(browser.execute_script("return window.sameDocument"))

                page.translate("Hallo Welt", "Allemand vers Anglais")
                page.wait_for("translation",
                              "Allemand vers Anglais : paire non disponible hors ligne")
                page.translate("une autre\nligne", "Français vers Anglais")
                page.wait_for("translation", "[spa|eng][fra|spa]une autre\nligne")
                self.assertFalse(browser.find_element(By.ID, "message").is_displayed())
                # Detected: Spanish has one pair, into English, which is checked.
                spanish = "El tren de las ocho vuelve a llegar tarde"
                page.translate(spanish, "Détecter la langue")
                page.wait_for("translation", "[spa|eng]" + spanish)
                self.assertEqual(page.checked_pair(), "es|en")

        # The inline script ran, so its hash is right; the style applied too,
        # and nothing was refused by the page's policy.
        browser = self.pages[True].browser
        self.assertEqual(browser.execute_script(
            "return getComputedStyle(document.documentElement).backgroundColor"),
            "rgb(0, 0, 128)")
        refused = [entry["message"] for entry in browser.get_log("browser")
                   if entry["level"] == "SEVERE" and "favicon.ico" not in entry["message"]]
        self.assertEqual(refused, [])

    def test_2_long_text_goes_as_a_form_and_too_long_gets_a_french_message(self):
        for javascript, page in self.pages.items():
            with self.subTest(javascript=javascript):
                page.open()
                box = page.browser.find_element(By.ID, "text")
                # Longer than an address carries, and than the old 7,100 limit.
                page.browser.execute_script("arguments[0].value = 'Été. '.repeat(4000)", box)
                page.browser.find_element(
                    By.XPATH, "//label[normalize-space()='Anglais vers Espagnol']").click()
                page.browser.find_element(By.ID, "translate").click()
                WebDriverWait(page.browser, 20).until(lambda b: b.find_elements(
                    By.ID, "translation") and b.find_element(By.ID, "translation").text)
                shown = page.browser.find_element(By.ID, "translation").text
                # Sent in pieces, each marked by the stand-in; nothing lost.
                self.assertTrue(shown.startswith("[eng|spa]Été."))
                self.assertEqual(shown.replace("[eng|spa]", "").split(), ["Été."] * 4000)
                box = page.browser.find_element(By.ID, "text")
                limit = int(page.browser.find_element(By.ID, "form").get_attribute("data-limit"))
                # The box takes one unit more than the limit, so the form can send it.
                self.assertEqual(int(box.get_attribute("maxlength")), limit + 1)
                page.browser.execute_script("arguments[0].value = 'é'.repeat(arguments[1])",
                                            box, limit + 1)
                page.browser.find_element(By.ID, "translate").click()
                WebDriverWait(page.browser, 10).until(lambda b: b.find_element(
                    By.ID, "message").text.startswith(
                    "Texte trop long : %s caractères au plus" %
                    format(limit, ",").replace(",", "\u202f")))
                self.assertEqual(page.browser.find_element(By.ID, "translation").text, "")

    def test_1b_document_comes_back_as_a_file(self):
        source = os.path.join(self.profiles[0], "lettre.txt")
        with open(source, "w", encoding="utf-8") as f:
            f.write("Une lettre.\n")
        for javascript, page in self.pages.items():
            with self.subTest(javascript=javascript):
                page.open()
                browser = page.browser
                browser.find_element(By.ID, "file").send_keys(source)
                browser.find_element(
                    By.XPATH, "//form[@id='docform']//label[normalize-space()="
                              "'Français vers Anglais']").click()
                browser.find_element(By.ID, "translatedoc").click()
                saved = os.path.join(self.downloads[javascript], "lettre.en.txt")
                WebDriverWait(browser, 15).until(lambda b: os.path.exists(saved))
                with open(saved, encoding="utf-8") as f:
                    self.assertEqual(f.read(), "[spa|eng][fra|spa]Une lettre.\n")
                if javascript:
                    self.assertEqual(browser.find_element(By.ID, "download").text,
                                     "Télécharger lettre.en.txt")

    def test_3_one_column_on_a_phone(self):
        browser = self.pages[True].browser
        self.pages[True].open()

        def boxes():
            return [browser.find_element(By.CSS_SELECTOR, selector).rect
                    for selector in ("fieldset.text", "fieldset.pairs")]
        text, pairs = boxes()
        self.assertGreaterEqual(pairs["x"], text["x"] + text["width"])
        browser.set_window_size(400, 800)
        try:
            text, pairs = boxes()
            self.assertGreaterEqual(pairs["y"], text["y"] + text["height"])
            self.assertLessEqual(browser.execute_script(
                "return document.documentElement.scrollWidth"),
                browser.execute_script("return window.innerWidth"))
        finally:
            browser.set_window_size(1280, 900)

    def test_4_stopped_engine_shows_the_french_error(self):
        self.stand_in.stop_engine()
        for javascript, page in self.pages.items():
            with self.subTest(javascript=javascript):
                page.open()
                page.translate("encore", "Espagnol vers Anglais")
                page.wait_for("message", "Service de traduction indisponible pour le moment. "
                                         "Réessayez dans un instant.")
                self.assertEqual(page.browser.find_element(By.ID, "text")
                                 .get_attribute("value"), "encore")


def take_screenshots(folder, service_url):
    stand_in = None if service_url else StandIn()
    base = service_url or stand_in.base
    profile = tempfile.mkdtemp(prefix="verz-chromium-")
    try:
        for name, width, height in (("home_page.png", 1100, 760),
                                    ("home_page_phone.png", 390, 1100)):
            browser = open_browser(True, profile, width, height)
            try:
                page = Page(browser, base)
                page.open()
                page.translate("Le chat dort sur le canapé du salon.", "Français vers Anglais")
                WebDriverWait(browser, 20).until(
                    lambda b: b.find_element(By.ID, "translation").text)
                browser.save_screenshot(os.path.join(folder, name))
            finally:
                browser.quit()
    finally:
        shutil.rmtree(profile, ignore_errors=True)
        if stand_in:
            stand_in.close()


if __name__ == "__main__":
    if len(sys.argv) > 3 and sys.argv[2] == "--screenshot":
        take_screenshots(sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else None)
    else:
        unittest.main(argv=sys.argv[:1], verbosity=2)
