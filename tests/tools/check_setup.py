"""End-to-end check of vandorix-setup with an independent OOXML reader (openpyxl).

Usage: check_setup.py PATH_TO_VANDORIX_SETUP

Lays out an installation in a fresh temporary folder named "Vandorix", opens every workbook
with openpyxl and checks the sheet names and their order, hidden and visible sheets, sheet and
workbook structure protection, the product list entry and the heading rows; then runs the
tool a second time and checks that no data file changed, and that a wrongly named root is
refused.
"""

import hashlib
import os
import subprocess
import sys
import tempfile
import unittest

import openpyxl

SETUP = None

# Folder, file, sheets in order with their visibility.
WORKBOOKS = [
    ("Torzs", "Befszla.xls", [
        ("Befszla01", "visible"), ("Befszla02", "visible"), ("Ertek01", "visible"),
        ("Eredmeny01", "visible"), ("ARHIV01", "visible")]),
    ("Seged", "ISIN01.xls", [("BET01", "visible")]),
    ("Seged", "Termékminta.xls", [
        ("Termékminta01", "visible"), ("Termékminta02", "visible"), ("Szla", "hidden"),
        ("Szla02", "hidden"), ("Segéd01", "hidden")]),
    ("Seged", "Befszlatöröltsorokminta.xls", [("Befszlatörsor01", "visible"), ("Segéd01", "visible")]),
    ("Seged", "Terméktöröltsorokminta.xls", [("Szla", "visible"), ("Segéd01", "visible")]),
]

DATA_FOLDERS = ["Torzs", "Termekek", "Seged", "Arhiv"]


def load(path):
    # openpyxl refuses a file name ending in ".xls"; it reads the OOXML content from a stream.
    with open(path, "rb") as stream:
        return openpyxl.load_workbook(stream)


def run_setup(root):
    return subprocess.run([SETUP, root], capture_output=True, text=True, timeout=120)


def digest_tree(root):
    """Content digest and modification time of every file below root, except the program
    folder (whose executables may be refreshed) and the lock file."""
    result = {}
    for folder, _dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        if rel.split(os.sep)[0] == "Program":
            continue
        for name in files:
            if name == ".vandorix.lock":
                continue
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                result[os.path.relpath(path, root)] = (hashlib.sha256(f.read()).hexdigest(),
                                                       os.stat(path).st_mtime_ns)
    return result


class NewInstallation(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.root = os.path.join(cls.tmp.name, "Vandorix")
        cls.first = run_setup(cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_layout_and_program_folder(self):
        self.assertEqual(self.first.returncode, 0, self.first.stderr)
        for folder in DATA_FOLDERS + ["Program"]:
            self.assertTrue(os.path.isdir(os.path.join(self.root, folder)), folder)
        copied = os.path.join(self.root, "Program", "vandorix-setup")
        self.assertTrue(os.path.isfile(copied))
        self.assertTrue(os.access(copied, os.X_OK))
        self.assertEqual(os.listdir(os.path.join(self.root, "Termekek")), [])
        self.assertEqual(os.listdir(os.path.join(self.root, "Arhiv")), [])
        # No temporary file is left beside the workbooks.
        for folder in DATA_FOLDERS:
            leftovers = [n for n in os.listdir(os.path.join(self.root, folder)) if n.startswith(".")]
            self.assertEqual(leftovers, [], folder)

    def test_sheet_names_states_and_protection(self):
        for folder, name, sheets in WORKBOOKS:
            with self.subTest(workbook=name):
                wb = load(os.path.join(self.root, folder, name))
                self.assertEqual(wb.sheetnames, [s for s, _ in sheets])
                self.assertIsNotNone(wb.security)
                self.assertTrue(wb.security.lockStructure)
                self.assertTrue(wb.security.workbookPassword)
                for sheet, state in sheets:
                    ws = wb[sheet]
                    self.assertEqual(ws.sheet_state, state, sheet)
                    self.assertTrue(ws.protection.sheet, sheet)
                    self.assertTrue(ws.protection.password, sheet)
                    self.assertTrue(ws["A1"].value, sheet + " has no title")

    def test_product_list_and_empty_ledger(self):
        bet = load(os.path.join(self.root, "Seged", "ISIN01.xls"))["BET01"]
        self.assertEqual(bet["B5"].value, "Más részvény")
        self.assertIsNone(bet["B6"].value)

        account = load(os.path.join(self.root, "Torzs", "Befszla.xls"))
        ledger = account["Befszla01"]
        self.assertIsNone(ledger["A5"].value)
        self.assertEqual(ledger["V2"].value, 7)
        self.assertEqual(ledger["B7"].value, "Összesen")
        self.assertEqual(ledger["A3"].value, "Dátum")
        self.assertTrue(ledger["A3"].font.b)
        # Data rows show dates as dates and amounts as numbers.
        self.assertTrue(ledger["A5"].is_date or "yy" in ledger["A5"].number_format)
        self.assertEqual(ledger["U5"].number_format, "0")
        self.assertIn("0.00", ledger["P5"].number_format)
        self.assertGreater(ledger.column_dimensions["I"].width, ledger.column_dimensions["V"].width)

        template = load(os.path.join(self.root, "Seged", "Termékminta.xls"))
        prices = template["Termékminta01"]
        self.assertEqual([prices[c + "4"].value for c in "FGHI"], ["MA20", "MA50", "MA200", "RSI14"])
        self.assertEqual(template["Szla"]["S2"].value, 7)
        self.assertEqual(template["Szla"]["R7"].value, 0)

    def test_second_run_changes_no_data_file(self):
        before = digest_tree(self.root)
        self.assertEqual(len(before), len(WORKBOOKS))
        second = run_setup(self.root)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertEqual(digest_tree(self.root), before)

    def test_existing_data_file_is_kept(self):
        ledger = os.path.join(self.root, "Torzs", "Befszla.xls")
        with open(ledger, "rb") as f:
            original = f.read()
        list_file = os.path.join(self.root, "Seged", "ISIN01.xls")
        os.remove(list_file)
        try:
            with open(ledger, "ab") as f:
                f.write(b"user data")
            result = run_setup(self.root)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(ledger, "rb") as f:
                self.assertEqual(f.read(), original + b"user data")
            # A missing workbook is provided again.
            self.assertEqual(load(list_file)["BET01"]["B5"].value, "Más részvény")
        finally:
            with open(ledger, "wb") as f:
                f.write(original)


class RootName(unittest.TestCase):
    def test_only_the_product_word_and_one_digit_are_accepted(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name in ["Vandorix0", "Vandorix10", "vandorix", "Vandorixa", "Program", "Vandorix-1"]:
                with self.subTest(name=name):
                    root = os.path.join(tmp, name)
                    result = run_setup(root)
                    self.assertEqual(result.returncode, 2)
                    self.assertTrue(result.stderr.strip())
                    self.assertFalse(os.path.exists(root))
            for name in ["Vandorix1", "Vandorix9"]:
                with self.subTest(name=name):
                    result = run_setup(os.path.join(tmp, name) + os.sep)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertTrue(os.path.isfile(os.path.join(tmp, name, "Torzs", "Befszla.xls")))

    def test_missing_argument_is_refused(self):
        result = subprocess.run([SETUP], capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 2)


if __name__ == "__main__":
    SETUP = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
