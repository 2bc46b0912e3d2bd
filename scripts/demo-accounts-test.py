#!/usr/bin/env python3
"""Tests of demo-accounts.py: the demo's verdict that a slave converged must be right."""
import importlib.util
import tempfile
import unittest
from pathlib import Path

module_spec = importlib.util.spec_from_file_location("demo_accounts", Path(__file__).with_name("demo-accounts.py"))
accounts = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(accounts)


def opened(ticket, type_, lots, symbol, price, sl=0, tp=0, comment=""):
    return (f"open ticket={ticket} time=1 type={type_} lots={lots} symbol={symbol} price={price} "
            f"sl={sl} tp={tp} expiration=0 magic=0 comment={comment.replace(' ', '%20')}\n")


class FolderTest(unittest.TestCase):
    """A test with a folder of its own for the files it writes."""

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.folder = Path(folder.name)

    def file(self, name, text):
        path = self.folder / name
        path.write_text(text, encoding="utf-8")
        return str(path)


MASTER_ORDER = {"symbol": "EURUSD", "type": 0, "lots": "0.3", "price": "1.08", "sl": "1.07", "tp": "1.1"}


class RuleTest(FolderTest):
    CASES = [
        # settings, symbols, master order changes, the chain's first lots, expected copy
        ("lot_multiplier=2\nslave_suffix=.m", "", {}, 0.3,
         {"symbol": "EURUSD.m", "type": 0, "lots": 0.6, "price": None, "sl": 1.07, "tp": 1.1}),
        ("reverse=yes\nfixed_lots=0.5", "", {"lots": "0.15"}, 0.3,
         {"symbol": "EURUSD", "type": 1, "lots": 0.25, "price": None, "sl": 1.1, "tp": 1.07}),
        ("reverse=yes", "", {"type": 2}, 0.3,
         {"symbol": "EURUSD", "type": 5, "lots": 0.3, "price": "1.08", "sl": 1.1, "tp": 1.07}),
        ("reverse=yes", "", {"type": 4}, 0.3,
         {"symbol": "EURUSD", "type": 3, "lots": 0.3, "price": "1.08", "sl": 1.1, "tp": 1.07}),
        ("lot_multiplier=10\nmax_lots=2", "", {}, 0.3,
         {"symbol": "EURUSD", "type": 0, "lots": 2.0, "price": None, "sl": 1.07, "tp": 1.1}),
        ("lot_multiplier=0.5", "lot_step=0.1", {}, 0.3,
         {"symbol": "EURUSD", "type": 0, "lots": 0.1, "price": None, "sl": 1.07, "tp": 1.1}),
        ("symbol_map=GOLD=XAUUSD, SILVER=XAGUSD\nslave_suffix=.m", "", {"symbol": "SILVER"}, 0.3,
         {"symbol": "XAGUSD", "type": 0, "lots": 0.3, "price": None, "sl": 1.07, "tp": 1.1}),
        ("master_prefix=x\nmaster_suffix=.pro\nslave_prefix=y", "", {"symbol": "xEURUSD.pro"}, 0.3,
         {"symbol": "yEURUSD", "type": 0, "lots": 0.3, "price": None, "sl": 1.07, "tp": 1.1}),
        ("copy_stops=no", "", {}, 0.3,
         {"symbol": "EURUSD", "type": 0, "lots": 0.3, "price": None, "sl": None, "tp": None}),
    ]

    def test_copy_follows_the_settings(self):
        for settings, symbols, change, chain_lots, expected in self.CASES:
            with self.subTest(settings=settings, change=change):
                rule = accounts.Rule(self.file("settings.txt", settings),
                                     self.file("symbols.txt", symbols) if symbols else "")
                copy = rule.copy(dict(MASTER_ORDER, **change), chain_lots)
                self.assertAlmostEqual(copy.pop("lots"), expected.pop("lots"))
                self.assertEqual(copy, expected)


class AccountTest(FolderTest):
    CASES = [
        # journal, open tickets -> (type, lots, the master ticket copied)
        (opened(5001, 0, 0.2, "EURUSD", 1.08, comment="qelv 4711 #1001"), {"5001": (0, "0.2", "1001")}),
        (opened(5001, 1, 0.8, "GBPUSD", 1.25, comment="qelv 4711 #1002") +
         "partial ticket=5001 time=2 lots=0.4 price=1.25 remainder=5002\n", {"5002": (1, "0.4", "1002")}),
        (opened(5001, 2, 0.6, "EURUSD", 1.07) + "trigger ticket=5001 time=2 type=0\n", {"5001": (0, "0.6", None)}),
        (opened(5001, 0, 0.2, "EURUSD", 1.08) + "close ticket=5001 time=2 price=1.09 by=sl\n", {}),
        (opened(5001, 2, 0.2, "EURUSD", 1.07) + "delete ticket=5001 time=2 price=1.07\n", {}),
        (opened(5001, 2, 0.2, "EURUSD", 1.07) + "expire ticket=5001 time=2 price=1.07\n", {}),
        (opened(5001, 0, 0.2, "EURUSD", 1.08) + "close ticket=5001 time=2 price=1.09", {"5001": (0, "0.2", None)}),
        (opened(5001, 0, 0.2, "EURUSD", 1.08, comment="my #7"), {"5001": (0, "0.2", None)}),
    ]

    def test_replay_leaves_the_open_orders(self):
        for journal, expected in self.CASES:
            with self.subTest(journal=journal):
                account = accounts.read_account(self.file("journal", journal))
                held = {t: (o["type"], o["lots"], o["copies"]) for t, o in account.open.items()}
                self.assertEqual({t: (k, float(l), c) for t, (k, l, c) in held.items()},
                                 {t: (k, float(l), c) for t, (k, l, c) in expected.items()})


MASTER_JOURNAL = (opened(1001, 0, 0.1, "EURUSD", 1.08345, 1.07, 1.1) +
                  opened(1002, 1, 0.4, "GBPUSD", 1.2501, 1.26, 1.24) +
                  opened(1003, 2, 0.3, "EURUSD", 1.07, 1.06, 1.09) +
                  "partial ticket=1002 time=2 lots=0.2 price=1.248 remainder=1004\n" +
                  "close ticket=1001 time=3 price=1.085 by=expert\n")
DOUBLED = (opened(5001, 1, 0.8, "GBPUSD.m", 1.25, 1.26, 1.24, "qelv 4711 #1002") +
           "partial ticket=5001 time=2 lots=0.4 price=1.25 remainder=5002\n" +
           opened(5003, 2, 0.6, "EURUSD.m", 1.07, 1.06, 1.09, "qelv 4711 #1003"))


class JudgeTest(FolderTest):
    CASES = [
        # what the slave's journal holds, converged
        ("every copy as the settings say", DOUBLED, True),
        ("a market copy at a price of its own", DOUBLED.replace("price=1.25 sl", "price=1.2503 sl"), True),
        ("the partial close not copied", DOUBLED.replace("partial ticket=5001 time=2 lots=0.4 price=1.25 remainder=5002\n", ""), False),
        ("a copy's stop loss off", DOUBLED.replace("sl=1.06", "sl=1.061"), False),
        ("a pending copy's price off", DOUBLED.replace("price=1.07 sl", "price=1.071 sl"), False),
        ("a copy missing", DOUBLED.split("partial")[0], False),
        ("the copy of a closed master order still open",
         DOUBLED + opened(5004, 0, 0.2, "EURUSD.m", 1.083, 1.07, 1.1, "qelv 4711 #1001"), False),
        ("a copy without the suffix", DOUBLED.replace("GBPUSD.m", "GBPUSD"), False),
        ("a copy on the wrong side", DOUBLED.replace("type=1", "type=0"), False),
        ("the trader's own order beside the copies", DOUBLED + opened(5009, 0, 1, "EURUSD.m", 1.08), True),
    ]

    def test_converged_only_when_every_copy_is_right(self):
        master = self.file("master.journal", MASTER_JOURNAL)
        rule = accounts.Rule(self.file("settings.txt", "lot_multiplier=2\nslave_suffix=.m"), "")
        for name, journal, converged in self.CASES:
            with self.subTest(name):
                _, ok = accounts.judge(master, rule, self.file("slave.journal", journal))
                self.assertEqual(ok, converged)

    def test_the_expert_inputs_judge_as_the_settings_they_become(self):
        master = self.file("master.journal", MASTER_JOURNAL)
        rule = accounts.Rule(self.file("inputs.txt", "LotMultiplier = 2\nSlaveSuffix = .m\nCopyOldOrders = true"), "")
        self.assertEqual(rule.items, {"lot_multiplier": "2", "slave_suffix": ".m", "copy_old": "yes"})
        _, ok = accounts.judge(master, rule, self.file("slave.journal", self.CASES[0][1]))
        self.assertTrue(ok)
        # Reverse is the input's name and the setting's alike.
        reversed_rule = accounts.Rule(self.file("inputs.txt", "Reverse = true\nFixedLots = 0.5"), "")
        self.assertEqual(reversed_rule.items, {"reverse": "yes", "fixed_lots": "0.5"})

    def test_a_copy_below_the_minimum_lot_is_rightly_absent(self):
        master = self.file("master.journal", opened(1001, 0, 0.1, "EURUSD", 1.08))
        rule = accounts.Rule(self.file("settings.txt", "lot_multiplier=0.5"),
                             self.file("symbols.txt", "lot_min=0.1\nlot_step=0.1"))
        _, ok = accounts.judge(master, rule, self.file("slave.journal", ""))
        self.assertTrue(ok)

    def test_a_filter_cannot_be_judged(self):
        rule = accounts.Rule(self.file("settings.txt", "allow_symbols=EURUSD\nlot_multiplier=2"), "")
        self.assertEqual(rule.unjudged, ["allow_symbols"])


def position(ticket, type_, volume, symbol, price, sl=0, tp=0, comment="", kind="position"):
    return (f"{kind} ticket={ticket} symbol={symbol} type={type_} volume={volume} price={price} sl={sl} tp={tp} "
            f"magic=7 comment={comment.replace(' ', '%20')}\n")


def deal_in(position_ticket, volume):
    return f"deal ticket=9{position_ticket} position={position_ticket} entry=0 type=0 volume={volume} price=1 magic=7\n"


# An MT5 slave's state: the copies of MASTER_JOURNAL's open orders doubled, as positions keep
# their ticket through a partial close.
MT5_DOUBLED = (position(5001, 1, 0.4, "GBPUSD.m", 1.25, 1.26, 1.24, "qelv 4711 #1002") +
               position(5003, 2, 0.6, "EURUSD.m", 1.07, 1.06, 1.09, "qelv 4711 #1003", kind="order") +
               deal_in(5001, 0.8))


class Mt5StateTest(FolderTest):
    def test_an_mt5_slave_is_judged_by_its_positions_and_orders(self):
        master = self.file("master.journal", MASTER_JOURNAL)
        rule = accounts.Rule(self.file("settings.txt", "lot_multiplier=2\nslave_suffix=.m"), "")
        _, ok = accounts.judge(master, rule, self.file("slave.state", MT5_DOUBLED))
        self.assertTrue(ok)
        _, ok = accounts.judge(master, rule, self.file("slave.state", MT5_DOUBLED.replace("volume=0.4", "volume=0.8")))
        self.assertFalse(ok, "the partial close not copied")

    def test_an_mt5_master_chain_keeps_its_ticket_and_first_volume(self):
        master = self.file("master.state", position(77, 1, 0.2, "GBPUSD", 1.2501, 1.26, 1.24) + deal_in(77, 0.4))
        rule = accounts.Rule(self.file("settings.txt", "fixed_lots=0.5"), "")
        rows, ok = accounts.judge(master, rule, self.file("slave.journal",
                                                           opened(5001, 1, 0.25, "GBPUSD", 1.25, 1.26, 1.24, "qelv 4712 #77")))
        self.assertTrue(ok, rows)

    def test_changes_between_two_states_read_as_trades(self):
        account = accounts.Mt5Account()
        self.assertEqual(account.update(position(1, 0, 0.4, "EURUSD", 1.08) + position(2, 2, 0.1, "EURUSD", 1.07, kind="order")),
                         ["opens #1 buy 0.40 EURUSD at 1.08000", "places #2 buy limit 0.10 EURUSD at 1.07000"])
        self.assertEqual(account.update(position(1, 0, 0.1, "EURUSD", 1.08) + position(2, 0, 0.1, "EURUSD", 1.07)),
                         ["closes 0.30 of 0.40 lots of #1 buy EURUSD: 0.10 go on", "#2 buy EURUSD: the pending order triggered"])
        self.assertEqual(account.update(position(2, 0, 0.1, "EURUSD", 1.07, 1.06)),
                         ["modifies #2 buy EURUSD: sl 1.06000 tp -", "closes #1 buy EURUSD 0.10"])


if __name__ == "__main__":
    unittest.main()
