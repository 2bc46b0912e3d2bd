#!/usr/bin/env python3
"""What the MQL4 and MQL5 translator refuses, each with the line it names, and what it lets through.

usage: mql_translate_test.py PATH/TO/mql_translate.py   (exit 1 and a line per fault)
"""
import pathlib
import subprocess
import sys
import tempfile

HEAD = "#property strict\n"

# (what, source after the first line, the line named, words of the message)
REFUSED = [
    ("no strict mode", None, 1, "#property strict"),
    ("a class", "class Book { int x; };\n", 2, "classes"),
    ("a struct inside a function", "void OnTick()\n  {\n   struct Pair { int a; };\n  }\n", 4, "structures"),
    ("an enumeration", "enum Side { BUY, SELL };\n", 2, "enumerations"),
    ("an indicator's handler", "int OnCalculate(const int total) { return 0; }\n", 2, "OnCalculate"),
    ("a chart event handler", "void OnChartEvent(const int id) {}\n", 2, "OnChartEvent"),
    ("a wrong OnInit", "void OnInit() {}\n", 2, "not the handler"),
    ("an input assigned", "input int Lots = 1;\nvoid OnTick()\n  {\n   Lots = 2;\n  }\n", 5, "read only"),
    ("an input incremented", "input int Lots = 1;\nvoid OnTick() { Lots++; }\n", 3, "read only"),
    ("a colour literal", "color c = C'255,0,0';\n", 2, "literals"),
    ("an unknown directive", "#resource \"x.bmp\"\n", 2, "#resource"),
    ("an indicator property", "#property indicator_chart_window\n", 2, "indicator"),
    ("a macro with parameters", "#define TWICE(x) ((x) * 2)\n", 2, "parameters"),
    ("an import of an ex4 library", "#import \"stdlib.ex4\"\nint f();\n#import\n", 2, "DLL"),
    ("an import left open", "#import \"a.dll\"\nint f();\n", 2, "not closed"),
    ("a string passed to a library", "#import \"a.dll\"\nint f(string s);\n#import\n", 3, "not string"),
    ("an array passed by value", "void f(int a[]) {}\n", 2, "by reference"),
    ("a three-dimensional array", "int cube[2][2][2];\n", 2, "two dimensions"),
    ("an array with values", "int primes[] = {2, 3, 5};\n", 2, "initializers"),
    ("the scope operator", "void OnTick() { ::Print(1); }\n", 2, "'::'"),
    ("a missing include", "#include <nowhere.mqh>\n", 2, "not found"),
]

LET_THROUGH = [
    ("an extern changed", "extern int Lots = 1;\nvoid OnTick() { Lots = 2; }\n", "Lots = 2"),
    ("a static local made a member", "void OnTick() { static int n = 0; n++; }\n", "OnTick_n_ ++"),
    ("a local array of a fixed size", "void OnTick() { uchar b[16]; }\n", "mql::FixedSize{16}"),
    ("a global zeroed", "int g_count;\n", "int g_count{};"),
    ("a long of eight bytes", "long g_big;\n", "mql::mlong g_big{};"),
]


# MQL5 (a .mq5): no strict mode needed; MQL5's trade structures and enumerations are types.
REFUSED5 = [
    ("a structure of the expert's own", "struct Pair { int a; };\n", 1, "structures"),
    ("a trade structure passed by value", "bool f(MqlTradeRequest r) { return true; }\n", 1, "by reference"),
    ("an input of an enumeration", "input ENUM_ORDER_TYPE_FILLING Fill = ORDER_FILLING_FOK;\n", 1, "value types"),
    ("a trade transaction handler", "void OnTradeTransaction() {}\n", 1, "OnTradeTransaction"),
]

LET_THROUGH5 = [
    ("an MQL5 base", "void OnTick() {}\n", "class Expert final : public mql::Program5"),
    ("a trade request zeroed", "void OnTick() { MqlTradeRequest r; }\n", "MqlTradeRequest r{};"),
    ("an enumeration declared", "void OnTick() { ENUM_ORDER_TYPE t = ORDER_TYPE_SELL; }\n",
     "ENUM_ORDER_TYPE t = ORDER_TYPE_SELL;"),
]


def translate(translator, body, folder, suffix=".mq4"):
    source = pathlib.Path(folder) / ("e-case" + suffix)
    source.write_text(body)
    out = pathlib.Path(folder) / "case.cpp"
    run = subprocess.run([sys.executable, translator, str(source), "--include", folder, "--factory", "NewCase",
                          "-o", str(out)], capture_output=True, text=True)
    return run.returncode, run.stderr, out.read_text() if out.exists() else ""


# A fault the C++ compiler finds is reported at the .mq4 or .mq5 line it stands on.
COMPILE_ERRORS = [
    ("a misspelt function", ".mq4", "int OnInit()\n  {\n   Prnt(\"x\");\n   return 0;\n  }\n", 4),
    ("a built-in of the wrong arity", ".mq4", "void OnTick()\n  {\n\n   StringFind(\"a\");\n  }\n", 5),
    ("a text where a number goes", ".mq4", "void OnTick()\n  {\n   int n = \"7\";\n  }\n", 4),
    ("MQL5's positions in MQL4", ".mq4", "void OnTick()\n  {\n   int n = PositionsTotal();\n  }\n", 4),
    ("a property of the wrong family", ".mq5", "void OnTick()\n  {\n   long t = PositionGetInteger(ORDER_TICKET);\n  }\n", 4),
    ("a number for a property id", ".mq5", "void OnTick()\n  {\n   double v = OrderGetDouble(1);\n  }\n", 4),
    ("MQL4's OrderSend in MQL5", ".mq5", "void OnTick()\n  {\n   OrderSend(\"EURUSD\", 0, 0.1, 1.1, 3, 0, 0);\n  }\n", 4),
    ("MQL4's order getters in MQL5", ".mq5", "void OnTick()\n  {\n\n   int t = OrderTicket();\n  }\n", 5),
    ("a trade structure's missing field", ".mq5", "void OnTick()\n  {\n   MqlTradeResult r;\n   r.ticket = 1;\n  }\n", 5),
]


def compiles_at(translator, suffix, body, folder, line):
    code, err, text = translate(translator, HEAD + body, folder, suffix)
    if code != 0:
        return f"not translated: {err.strip()}"
    runtime = pathlib.Path(translator).parent
    run = subprocess.run(["c++", "-std=c++20", "-fsyntax-only", f"-I{runtime}", str(pathlib.Path(folder) / "case.cpp")],
                         capture_output=True, text=True)
    if run.returncode == 0:
        return "compiled"
    return None if f"e-case{suffix}:{line}:" in run.stderr else f"no error at line {line}: {run.stderr[:400]}"


def main():
    translator = sys.argv[1]
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        for what, suffix, body, line in COMPILE_ERRORS:
            problem = compiles_at(translator, suffix, body, folder, line)
            if problem:
                faults.append(f"{what}: {problem}")
        for what, rest, line, words in REFUSED:
            body = "int OnInit() { return 0; }\n" if rest is None else HEAD + rest
            code, err, _ = translate(translator, body, folder)
            if code != 1 or f"e-case.mq4:{line}:" not in err or words not in err:
                faults.append(f"{what}: expected a refusal at line {line} naming {words!r}, got {code}: {err.strip()}")
        for what, rest, expected in LET_THROUGH:
            code, err, text = translate(translator, HEAD + rest, folder)
            if code != 0 or expected not in text:
                faults.append(f"{what}: expected {expected!r} in the C++, got {code}: {err.strip()}")
        for what, body, line, words in REFUSED5:
            code, err, _ = translate(translator, body, folder, ".mq5")
            if code != 1 or f"e-case.mq5:{line}:" not in err or words not in err:
                faults.append(f"{what}: expected a refusal at line {line} naming {words!r}, got {code}: {err.strip()}")
        for what, body, expected in LET_THROUGH5:
            code, err, text = translate(translator, body, folder, ".mq5")
            if code != 0 or expected not in text:
                faults.append(f"{what}: expected {expected!r} in the C++, got {code}: {err.strip()}")
    for fault in faults:
        print(fault)
    total = len(REFUSED) + len(LET_THROUGH) + len(COMPILE_ERRORS) + len(REFUSED5) + len(LET_THROUGH5)
    print(f"{total - len(faults)} passed, {len(faults)} failed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
