"""vandorix-setup end to end, its workbooks read back with an independent OOXML reader
(openpyxl). Usage: check_setup.py PATH_TO_VANDORIX_SETUP"""

import hashlib
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

import openpyxl

SETUP = None

# Folder, file, the visible sheets in order, then the hidden ones.
WORKBOOKS = [
    ("Torzs", "Befszla.xls", ["Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"], []),
    ("Seged", "ISIN01.xls", ["BET01"], []),
    ("Seged", "Termékminta.xls", ["Termékminta01", "Termékminta02"],
     ["Szla", "Szla02", "Segéd01"]),
    ("Seged", "Befszlatöröltsorokminta.xls", ["Befszlatörsor01", "Segéd01"], []),
    ("Seged", "Terméktöröltsorokminta.xls", ["Szla", "Segéd01"], []),
]


def load(path):
    # openpyxl refuses a file name ending in ".xls"; it reads the OOXML content from a stream.
    with open(path, "rb") as stream:
        return openpyxl.load_workbook(stream)


def run_setup(root):
    return subprocess.run([SETUP, root], capture_output=True, text=True, timeout=120)


def digest_tree(root):
    """Digest and modification time of every file below root but the program folder (whose
    executables may be refreshed) and the lock file."""
    return {str(p): (hashlib.sha256(p.read_bytes()).hexdigest(), p.stat().st_mtime_ns)
            for p in pathlib.Path(root).rglob("*") if p.is_file() and p.name != ".vandorix.lock"
            and p.relative_to(root).parts[0] != "Program"}


class NewInstallation(unittest.TestCase):
    def test_layout_workbooks_contents_and_a_second_run(self):
        root = os.path.join(self.enterContext(tempfile.TemporaryDirectory()), "Vandorix")
        first = run_setup(root)
        self.assertEqual(first.returncode, 0, first.stderr)
        for folder in ["Torzs", "Termekek", "Seged", "Arhiv", "Program"]:
            self.assertTrue(os.path.isdir(os.path.join(root, folder)), folder)
        copied = os.path.join(root, "Program", "vandorix-setup")
        self.assertTrue(os.path.isfile(copied) and os.access(copied, os.X_OK))
        # The workbooks and nothing else: no temporary file is left beside them.
        before = digest_tree(root)
        self.assertEqual(set(before), {os.path.join(root, wb[0], wb[1]) for wb in WORKBOOKS})

        for folder, name, visible, hidden in WORKBOOKS:
            with self.subTest(workbook=name):
                wb = load(os.path.join(root, folder, name))
                self.assertEqual(wb.sheetnames, visible + hidden)
                self.assertEqual([ws.sheet_state for ws in wb],
                                 ["visible"] * len(visible) + ["hidden"] * len(hidden))
                self.assertTrue(wb.security.lockStructure and wb.security.workbookPassword)
                for ws in wb:
                    self.assertTrue(ws.protection.sheet and ws.protection.password, ws.title)
                    self.assertTrue(ws["A1"].value, ws.title + " has no title")

        bet = load(os.path.join(root, "Seged", "ISIN01.xls"))["BET01"]
        self.assertEqual(bet["B5"].value, "Más részvény")
        self.assertIsNone(bet["B6"].value)

        ledger = load(os.path.join(root, "Torzs", "Befszla.xls"))["Befszla01"]
        self.assertEqual(ledger["V2"].value, 7)
        self.assertEqual(ledger["B7"].value, "Összesen")
        self.assertEqual(ledger["A3"].value, "Dátum")
        self.assertTrue(ledger["A3"].font.b)
        # Data rows show dates as dates and amounts as numbers.
        self.assertTrue(ledger["A5"].is_date or "yy" in ledger["A5"].number_format)
        self.assertEqual(ledger["U5"].number_format, "0")
        self.assertIn("0.00", ledger["P5"].number_format)
        self.assertGreater(ledger.column_dimensions["I"].width, ledger.column_dimensions["V"].width)

        template = load(os.path.join(root, "Seged", "Termékminta.xls"))
        self.assertEqual([template["Termékminta01"][c + "4"].value for c in "FGHI"],
                         ["MA20", "MA50", "MA200", "RSI14"])
        self.assertEqual(template["Szla"]["S2"].value, 7)
        self.assertEqual(template["Szla"]["R7"].value, 0)

        # A second run changes no data file.
        second = run_setup(root)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertEqual(digest_tree(root), before)

        # A changed workbook is kept as it is; a missing one is provided again.
        ledger_file = pathlib.Path(root, "Torzs", "Befszla.xls")
        ledger_file.write_bytes(ledger_file.read_bytes() + b"user data")
        changed = ledger_file.read_bytes()
        list_file = os.path.join(root, "Seged", "ISIN01.xls")
        os.remove(list_file)
        result = run_setup(root)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(ledger_file.read_bytes(), changed)
        self.assertEqual(load(list_file)["BET01"]["B5"].value, "Más részvény")


class RootName(unittest.TestCase):
    def test_only_the_product_word_and_one_digit_are_accepted(self):
        self.assertEqual(subprocess.run([SETUP], capture_output=True, timeout=60).returncode, 2)
        with tempfile.TemporaryDirectory() as tmp:
            for name in ["Vandorix0", "Vandorix10", "vandorix", "Vandorixa", "Program",
                         "Vandorix-1"]:
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


if __name__ == "__main__":
    SETUP = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
