#!/usr/bin/env python3
"""The copier part of the live demo, read from the simulated accounts' journals (an MT5
account's file of its state, rewritten as it changes, is read as well).

  demo-accounts.py follow LABEL=JOURNAL ...
      prints each trade of the accounts as it lands in their journals, until stopped
  demo-accounts.py compare MASTER_JOURNAL --wait SECONDS LABEL:JOURNAL:SETTINGS:SYMBOLS ...
      waits until every slave holds what its settings make of the master's open orders (or the
      time is up), then prints each slave's open orders beside the master's and whether it
      converged; exits 1 when one did not

SETTINGS is the slave's file of settings (one `key = value` a line: the planner's keys, or the
slave expert's inputs, which the expert gives the planner as those keys), SYMBOLS the file of
its broker's symbol rules. Only the settings that
change what a copy looks like are modelled here (lots, suffixes and prefixes, symbol pairs,
reverse, stops); a settings file with a filter cannot be judged and says so.
"""
import math
import re
import sys
import time
from pathlib import Path

TYPES = ["buy", "sell", "buy limit", "sell limit", "buy stop", "sell stop"]
REVERSED = [1, 0, 5, 4, 3, 2]  # a buy limit becomes a sell stop, a buy stop a sell limit
DIGITS = {"USDJPY": 3, "XAUUSD": 2}  # the simulated brokers' catalog; the rest have 5
JUDGED = {"lot_multiplier", "fixed_lots", "max_lots", "symbol_map", "master_prefix",
          "master_suffix", "slave_prefix", "slave_suffix", "reverse", "copy_stops",
          "masters"}  # the master compared with is among those followed
LINK = re.compile(r"#(\d+)$")


def unescape(text):
    return re.sub(r"%([0-9A-F]{2})", lambda m: chr(int(m.group(1), 16)), text)


def parse_line(line):
    """One journal line as (kind, fields); None for a line that is not complete yet."""
    words = line.split()
    if not words or not line.endswith("\n"):
        return None
    fields = dict(w.split("=", 1) for w in words[1:] if "=" in w)
    if "comment" in fields:
        fields["comment"] = unescape(fields["comment"])
    return words[0], fields


def digits_of(symbol):
    for name, digits in DIGITS.items():
        if name in symbol:
            return digits
    return 5


def price_text(value, symbol):
    return f"{float(value):.{digits_of(symbol)}f}"


def lots_text(value):
    return f"{float(value):.2f}"


def stops_text(order):
    sl, tp = float(order["sl"]), float(order["tp"])
    if not sl and not tp:
        return ""
    show = lambda v: price_text(v, order["symbol"]) if v else "-"
    return f" sl {show(sl)} tp {show(tp)}"


class Account:
    """The open orders a journal leaves, each with the first ticket of its chain of partial
    closes and, for a copy, the master order it copies (from the copy's comment)."""

    def __init__(self):
        self.open = {}

    def apply(self, kind, f):
        """Applies one event; answers a readable line of what happened."""
        ticket = f["ticket"]
        o = self.open.get(ticket)
        if kind == "open":
            o = dict(f, type=int(f["type"]), first=ticket)
            link = LINK.search(f.get("comment", ""))
            o["copies"] = link.group(1) if link and f.get("comment", "").startswith("qelv ") else None
            self.open[ticket] = o
            what = "places" if o["type"] >= 2 else "opens"
            comment = f' "{f["comment"]}"' if f.get("comment") else ""
            return (f"{what} #{ticket} {TYPES[o['type']]} {lots_text(f['lots'])} {f['symbol']} at "
                    f"{price_text(f['price'], f['symbol'])}{stops_text(o)}{comment}")
        if o is None:
            return f"{kind} #{ticket}"
        name = f"#{ticket} {TYPES[o['type']]} {o['symbol']}"
        if kind == "partial":
            rest = dict(o, lots=f"{float(o['lots']) - float(f['lots']):.8g}")
            del self.open[ticket]
            self.open[f["remainder"]] = dict(rest, ticket=f["remainder"])
            return (f"closes {lots_text(f['lots'])} of {lots_text(o['lots'])} lots of {name} at "
                    f"{price_text(f['price'], o['symbol'])}: {lots_text(rest['lots'])} go on as "
                    f"#{f['remainder']}")
        if kind == "modify":
            o.update(sl=f["sl"], tp=f["tp"])
            price = ""
            if o["type"] >= 2:
                o["price"] = f["price"]
                price = f" price {price_text(f['price'], o['symbol'])}"
            return f"modifies {name}:{price}{stops_text(o) or ' no stops'}"
        if kind == "trigger":
            o["type"] = int(f["type"])
            return f"#{ticket} {TYPES[o['type']]} {o['symbol']}: the pending order triggered"
        del self.open[ticket]
        if kind == "close":
            by = {"sl": " (stop loss)", "tp": " (take profit)"}.get(f.get("by"), "")
            return f"closes {name} {lots_text(o['lots'])} at {price_text(f['price'], o['symbol'])}{by}"
        return f"{'deletes' if kind == 'delete' else 'expired:'} {name}"


MT5_KINDS = ("position", "order", "deal")


def is_mt5_state(text):
    return text.split(" ", 1)[0] in MT5_KINDS


def mt5_open(text):
    """The open positions and pending orders of an MT5 account's state, by ticket, as Account
    keeps them; each with the volume its position opened with (its deals in)."""
    orders, opened = {}, {}
    for line in text.splitlines(True):
        event = parse_line(line)
        if not event or event[0] not in MT5_KINDS:
            continue
        kind, f = event
        if kind == "deal":
            if f["entry"] == "0":
                opened[f["position"]] = opened.get(f["position"], 0) + float(f["volume"])
            continue
        comment = f.get("comment", "")
        link = LINK.search(comment)
        orders[f["ticket"]] = dict(f, type=int(f["type"]), lots=f["volume"], first=f["ticket"],
                                   copies=link.group(1) if link and comment.startswith("qelv ") else None)
    for ticket, o in orders.items():
        o["opened"] = opened.get(ticket, float(o["lots"]))
    return orders


class Mt5Account:
    """An MT5 account's open positions and orders, and what changed between two of its states."""

    def __init__(self):
        self.open = {}

    def update(self, text):
        """Takes the state `text`; answers a readable line for each change since the last."""
        now, lines = mt5_open(text), []
        for ticket, o in now.items():
            was = self.open.get(ticket)
            name = f"#{ticket} {TYPES[o['type']]} {o['symbol']}"
            if was is None:
                what = "places" if o["type"] >= 2 else "opens"
                comment = f' "{o["comment"]}"' if o.get("comment") else ""
                lines.append(f"{what} #{ticket} {TYPES[o['type']]} {lots_text(o['lots'])} {o['symbol']} at "
                             f"{price_text(o['price'], o['symbol'])}{stops_text(o)}{comment}")
            elif was["type"] != o["type"]:
                lines.append(f"{name}: the pending order triggered")
            elif float(o["lots"]) < float(was["lots"]):
                lines.append(f"closes {lots_text(float(was['lots']) - float(o['lots']))} of "
                             f"{lots_text(was['lots'])} lots of {name}: {lots_text(o['lots'])} go on")
            elif float(o["lots"]) > float(was["lots"]):
                lines.append(f"adds {lots_text(float(o['lots']) - float(was['lots']))} lots to {name}")
            elif (o["sl"], o["tp"], o["price"] if o["type"] >= 2 else "") != \
                    (was["sl"], was["tp"], was["price"] if was["type"] >= 2 else ""):
                price = f" price {price_text(o['price'], o['symbol'])}" if o["type"] >= 2 else ""
                lines.append(f"modifies {name}:{price}{stops_text(o) or ' no stops'}")
        for ticket, was in self.open.items():
            if ticket not in now:
                name = f"#{ticket} {TYPES[was['type']]} {was['symbol']}"
                lines.append(f"deletes {name}" if was["type"] >= 2 else f"closes {name} {lots_text(was['lots'])}")
        self.open = now
        return lines


def read_account(path):
    text = Path(path).read_text(encoding="utf-8", errors="replace") if Path(path).exists() else ""
    if is_mt5_state(text):
        account = Mt5Account()
        account.update(text)
        return account
    account = Account()
    for line in text.splitlines(True):
        event = parse_line(line)
        if event:
            account.apply(*event)
    return account


def follow(accounts):
    """Prints each account's new trades, the accounts read in the order given every tenth of a
    second: a master listed first shows its trade before the copies of it."""
    accounts = [(label, path, Account(), [0], Mt5Account()) for label, path in accounts]
    while True:
        for label, path, account, done, mt5 in accounts:
            text = Path(path).read_text(encoding="utf-8", errors="replace") if Path(path).exists() else ""
            if is_mt5_state(text) or (not text and mt5.open):
                for change in mt5.update(text):
                    print(f"{label:<10} {change}", flush=True)
                continue
            for line in text[done[0]:].splitlines(True):
                event = parse_line(line)
                if event is None:
                    break
                done[0] += len(line)
                print(f"{label:<10} {account.apply(*event)}", flush=True)
        time.sleep(0.1)


def read_items(path):
    """`key = value` lines of a settings or symbols file; '#' starts a remark."""
    items = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if "=" in line:
            key, value = line.split("=", 1)
            items[key.strip().lower()] = value.strip()
    return items


# The slave expert's inputs and the planner's settings they become (experts/README.md).
INPUT_SETTINGS = {
    "lotmultiplier": "lot_multiplier", "fixedlots": "fixed_lots", "maxlots": "max_lots",
    "symbolpairs": "symbol_map", "masterprefix": "master_prefix", "mastersuffix": "master_suffix",
    "slaveprefix": "slave_prefix", "slavesuffix": "slave_suffix", "reverse": "reverse",
    "copypending": "copy_pending", "copystops": "copy_stops", "maxdeviationpoints": "max_deviation_points",
    "maxsignalage": "max_signal_age", "copyoldorders": "copy_old", "allowedsymbols": "allow_symbols",
    "deniedsymbols": "deny_symbols", "allowedmagics": "allow_magics", "commentcontains": "comment_contains",
    "masters": "masters", "mastertimeoffset": "master_time_offset",
}


# The settings that an input of type bool becomes.
YES_NO_SETTINGS = {"reverse", "copy_pending", "copy_stops", "copy_old"}


def settings_of(items):
    """The planner's settings of a file of them or of the expert's inputs (true/false: yes/no).
    Reverse and Masters are spelt as their settings are, so every value is read the same way."""
    settings = {}
    for key, value in items.items():
        key = INPUT_SETTINGS.get(key, key)
        if key in YES_NO_SETTINGS:
            value = {"true": "yes", "false": "no"}.get(value.lower(), value)
        settings[key] = value
    return settings


class Rule:
    """What a copy of a master order looks like under a slave's settings."""

    def __init__(self, settings, symbols):
        self.items = settings_of(read_items(settings))
        s = self.items
        self.unjudged = sorted(set(s) - JUDGED)
        self.multiplier = float(s.get("lot_multiplier", 1))
        self.fixed = float(s.get("fixed_lots", 0))
        self.max = float(s.get("max_lots", 0))
        self.pairs = dict(p.strip().split("=", 1) for p in s.get("symbol_map", "").split(",") if "=" in p)
        self.reverse = s.get("reverse", "no").lower() == "yes"
        self.stops = s.get("copy_stops", "yes").lower() == "yes"
        offer = read_items(symbols) if symbols else {}
        self.step = float(offer.get("lot_step", 0.01))
        self.lot_min = float(offer.get("lot_min", 0.01))

    def symbol(self, master_symbol):
        s = self.items
        if master_symbol in self.pairs:
            return self.pairs[master_symbol]
        name = master_symbol
        for key, cut in (("master_prefix", str.removeprefix), ("master_suffix", str.removesuffix)):
            if s.get(key):
                name = cut(name, s[key])
        return s.get("slave_prefix", "") + name + s.get("slave_suffix", "")

    def copy(self, order, chain_lots):
        lots = float(order["lots"])
        lots = self.fixed * lots / chain_lots if self.fixed > 0 else lots * self.multiplier
        if self.max > 0:
            lots = min(lots, self.max)
        lots = math.floor(lots / self.step + 1e-7) * self.step
        kind = REVERSED[order["type"]] if self.reverse else order["type"]
        sl, tp = (order["tp"], order["sl"]) if self.reverse else (order["sl"], order["tp"])
        return {"symbol": self.symbol(order["symbol"]), "type": kind, "lots": lots,
                "price": order["price"] if kind >= 2 else None,
                "sl": float(sl) if self.stops else None, "tp": float(tp) if self.stops else None}


def chain_lots(master_journal):
    """The lots each chain of partial closes opened with, by the chain's first ticket. An MT5
    master's position is its chain: it keeps its ticket through partial closes."""
    lots, first = {}, {}
    text = Path(master_journal).read_text(encoding="utf-8")
    if is_mt5_state(text):
        return {t: o["opened"] for t, o in mt5_open(text).items()}, first
    for line in text.splitlines(True):
        event = parse_line(line)
        if not event:
            continue
        kind, f = event
        if kind == "open":
            first[f["ticket"]] = f["ticket"]
            lots[f["ticket"]] = float(f["lots"])
        elif kind == "partial":
            first[f["remainder"]] = first.get(f["ticket"], f["ticket"])
    return lots, first


def same(copy, wanted):
    near = lambda a, b: abs(float(a) - float(b)) < 0.5 * 10 ** -digits_of(copy["symbol"])
    return (copy["symbol"] == wanted["symbol"] and copy["type"] == wanted["type"]
            and abs(float(copy["lots"]) - wanted["lots"]) < 1e-6
            and (wanted["price"] is None or near(copy["price"], wanted["price"]))
            and (wanted["sl"] is None or near(copy["sl"], wanted["sl"]))
            and (wanted["tp"] is None or near(copy["tp"], wanted["tp"])))


def order_text(o):
    price = f" at {price_text(o['price'], o['symbol'])}" if o["type"] >= 2 else ""
    return f"#{o['ticket']} {TYPES[o['type']]} {lots_text(o['lots'])} {o['symbol']}{price}{stops_text(o)}"


def wanted_text(w):
    price = f" at {price_text(w['price'], w['symbol'])}" if w["price"] is not None else ""
    stops = "" if w["sl"] is None else stops_text({"symbol": w["symbol"], "sl": w["sl"], "tp": w["tp"]})
    return f"{TYPES[w['type']]} {lots_text(w['lots'])} {w['symbol']}{price}{stops}"


def judge(master_journal, rule, journal):
    """Rows (master order, copy, wanted copy) and whether the slave holds exactly the wanted."""
    master = read_account(master_journal)
    lots, first = chain_lots(master_journal)
    copies = {o["copies"]: o for o in read_account(journal).open.values() if o["copies"]}
    rows, ok = [], True
    for ticket, order in sorted(master.open.items()):
        chain = first.get(ticket, ticket)
        wanted = rule.copy(order, lots.get(chain, float(order["lots"])))
        copy = copies.pop(chain, None)
        if wanted["lots"] < rule.lot_min - 1e-9:
            wanted = None  # too small to copy: no copy is right
        rows.append((order, copy, wanted))
        ok = ok and (copy is None if wanted is None else copy is not None and same(copy, wanted))
    for copy in copies.values():  # copies of orders the master no longer holds
        rows.append((None, copy, None))
        ok = False
    return rows, ok


def compare(master_journal, wait_seconds, slaves):
    deadline = time.time() + wait_seconds
    slaves = [(label, journal, Rule(settings, symbols)) for label, journal, settings, symbols in slaves]
    while True:
        results = [(label, rule, *judge(master_journal, rule, journal)) for label, journal, rule in slaves]
        if all(ok for *_, ok in results) or time.time() >= deadline:
            break
        time.sleep(0.5)
    for label, rule, rows, ok in results:
        settings = "; ".join(f"{k}={v}" for k, v in rule.items.items())
        print(f"== {label} ({settings}): its open orders beside the master's")
        width = max([len(order_text(m)) for m, _, _ in rows if m] + [20])
        print(f"   {'master':<{width}}  {label}")
        for m, copy, wanted in rows:
            left = order_text(m) if m else "(none)"
            right = order_text(copy) if copy else "(no copy)"
            note = ""
            if wanted and not (copy and same(copy, wanted)):
                note = f"   <- should be {wanted_text(wanted)}"
            elif not wanted and copy:
                note = "   <- should not be open"
            print(f"   {left:<{width}}  {right}{note}")
        if rule.unjudged:
            print(f"== {label}: cannot judge the settings {', '.join(rule.unjudged)} here")
        elif ok:
            print(f"== {label} converged: it holds what its settings make of the master's {len(rows)} open orders")
        else:
            print(f"== {label} did NOT converge to what its settings make of the master's orders")
    return 0 if all(ok and not rule.unjudged for _, rule, _, ok in results) else 1


def main(argv):
    if len(argv) >= 3 and argv[1] == "follow" and all("=" in a for a in argv[2:]):
        try:
            follow([a.split("=", 1) for a in argv[2:]])
        except KeyboardInterrupt:
            pass
        return 0
    if len(argv) >= 6 and argv[1] == "compare" and argv[3] == "--wait":
        slaves = [entry.split(":", 3) for entry in argv[5:]]
        if all(len(s) == 4 for s in slaves):
            return compare(argv[2], float(argv[4]), slaves)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
