#!/usr/bin/env python3
"""Checks the shipped MQL4 experts without MetaEditor (none runs here).

For every experts/*.mq4:
  - `#property strict`; balanced (), [] and {};
  - every call of an imported `_xxx` function matches its #import declaration in the included
    .mqh: the number of arguments, and a plain variable of the declared type where the
    declaration takes a reference (`int &x`, `double &x`, `uchar &x[]`);
  - every call of a function of the file matches its definition's number of parameters;
  - every MQL4 built-in function or constant used is in the lists below, which were checked
    against the MQL4 reference (argument counts included);
  - every identifier is declared: in its function, at the top of the file, by #define, by an
    import, or as a built-in (so a misspelt name fails here, not in the terminal);
  - the results of OrderSend, OrderClose, OrderModify, OrderDelete and OrderSelect are used;
  - OnInit, OnDeinit and OnTimer have the signatures the terminal calls;
  - every input is explained in experts/README.md.
For every .mqh the experts include: each imported function is an export of its library (its
.def file) with the same return and argument types as the library's real prototype
(*_exports.h): int, double, long long for long, int* for int &, double* for double &, a byte
pointer for uchar &[].

usage: scripts/check-experts.py   (exit 1 and one line per fault when something is wrong)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Built-in functions: (fewest, most) arguments, from their pages on docs.mql4.com.
BUILTINS = {
    "AccountNumber": (0, 0),
    "ArrayResize": (2, 3),
    "ArraySize": (1, 1),
    "ArraySort": (1, 4),
    "CharArrayToString": (1, 4),
    "ChartGetInteger": (2, 4),
    "ChartID": (0, 0),
    "DoubleToString": (1, 2),
    "EventKillTimer": (0, 0),
    "EventSetMillisecondTimer": (1, 1),
    "GetLastError": (0, 0),
    "GetTickCount": (0, 0),
    "GlobalVariableCheck": (1, 1),
    "GlobalVariableGet": (1, 2),
    "GlobalVariableSet": (2, 2),
    "GlobalVariablesFlush": (0, 0),
    "IntegerToString": (1, 3),
    "IsConnected": (0, 0),
    "IsStopped": (0, 0),
    "IsTradeAllowed": (0, 2),
    "IsTradeContextBusy": (0, 0),
    "MarketInfo": (2, 2),
    "MathAbs": (1, 1),
    "MathPow": (2, 2),
    "MathRound": (1, 1),
    "NormalizeDouble": (2, 2),
    "OrderClose": (4, 5),
    "OrderClosePrice": (0, 0),
    "OrderCloseTime": (0, 0),
    "OrderComment": (0, 0),
    "OrderDelete": (1, 2),
    "OrderExpiration": (0, 0),
    "OrderLots": (0, 0),
    "OrderMagicNumber": (0, 0),
    "OrderModify": (5, 6),
    "OrderOpenPrice": (0, 0),
    "OrderOpenTime": (0, 0),
    "OrderSelect": (2, 3),
    "OrderSend": (7, 11),
    "OrderStopLoss": (0, 0),
    "OrderSymbol": (0, 0),
    "OrderTakeProfit": (0, 0),
    "OrderTicket": (0, 0),
    "OrderType": (0, 0),
    "OrdersHistoryTotal": (0, 0),
    "OrdersTotal": (0, 0),
    "Print": (1, 64),
    "RefreshRates": (0, 0),
    "ResetLastError": (0, 0),
    "Sleep": (1, 1),
    "StringFind": (2, 3),
    "StringLen": (1, 1),
    "StringSubstr": (2, 3),
    "StringToCharArray": (2, 5),
    "StringToInteger": (1, 1),
    "SymbolSelect": (2, 2),
    "TimeCurrent": (0, 1),
}
# Calls whose result tells whether the order exists or the trade was done.
RESULT_MUST_BE_USED = {"OrderSend", "OrderClose", "OrderModify", "OrderDelete", "OrderSelect"}

CONSTANTS = {
    "CHART_WINDOW_HANDLE", "CP_UTF8", "INIT_FAILED", "INIT_PARAMETERS_INCORRECT",
    "INIT_SUCCEEDED", "MODE_ASK", "MODE_BID", "MODE_DESCEND", "MODE_DIGITS", "MODE_HISTORY",
    "MODE_LOTSTEP", "MODE_MAXLOT", "MODE_MINLOT", "MODE_POINT", "MODE_STOPLEVEL", "MODE_TRADES",
    "OP_BUY", "OP_BUYLIMIT", "OP_BUYSTOP", "OP_SELL", "OP_SELLLIMIT", "OP_SELLSTOP",
    "SELECT_BY_POS", "SELECT_BY_TICKET", "WHOLE_ARRAY", "NULL", "true", "false",
}
TYPES = {"bool", "char", "color", "datetime", "double", "float", "int", "long", "short", "string",
         "uchar", "uint", "ulong", "ushort", "void"}
MODIFIERS = {"const", "static", "input", "extern", "sinput"}
KEYWORDS = {"break", "case", "continue", "default", "do", "else", "for", "if", "return", "sizeof",
            "switch", "while"} | TYPES | MODIFIERS
HANDLERS = {  # name: (return type, parameter types)
    "OnInit": ("int", []),
    "OnDeinit": ("void", ["int"]),
    "OnTimer": ("void", []),
}

TOKEN = re.compile(r"""
    (?P<space>\s+) | (?P<comment>//[^\n]*|/\*.*?\*/) | (?P<string>"(?:\\.|[^"\\\n])*") |
    (?P<char>'(?:\\.|[^'\\\n])+') | (?P<number>(?:\d+\.\d*|\.\d+|\d+)(?:[eE][+-]?\d+)?) |
    (?P<ident>[A-Za-z_]\w*) | (?P<punct>&&|\|\||[-+*/%<>=!]=|<<|>>|\+\+|--|[^\s\w])
""", re.VERBOSE | re.DOTALL)


class Token:
    def __init__(self, kind, text, line):
        self.kind, self.text, self.line = kind, text, line


def tokenize(text):
    """Tokens without spaces and comments; preprocessor lines come back whole, kind 'pp'."""
    tokens, line, pos = [], 1, 0
    while pos < len(text):
        if text[pos] == "#" and text[text.rfind("\n", 0, pos) + 1:pos].strip() == "":
            end = text.find("\n", pos)
            end = len(text) if end < 0 else end
            tokens.append(Token("pp", text[pos:end], line))
            pos = end
            continue
        m = TOKEN.match(text, pos)
        if not m:
            raise SyntaxError(f"line {line}: cannot read {text[pos:pos + 20]!r}")
        kind = m.lastgroup
        if kind not in ("space", "comment"):
            tokens.append(Token(kind, m.group(), line))
        line += m.group().count("\n")
        pos = m.end()
    return tokens


def split_args(tokens):
    """Splits the tokens between a call's parentheses at its own commas."""
    args, current, depth = [], [], 0
    for tok in tokens:
        if tok.text in "([{":
            depth += 1
        elif tok.text in ")]}":
            depth -= 1
        if tok.text == "," and depth == 0:
            args.append(current)
            current = []
        else:
            current.append(tok)
    if current or args:
        args.append(current)
    return args


def closing(tokens, start):
    """Index of the bracket closing the one at `start`."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    want, depth = pairs[tokens[start].text], 0
    for i in range(start, len(tokens)):
        if tokens[i].text == tokens[start].text:
            depth += 1
        elif tokens[i].text == want:
            depth -= 1
            if depth == 0:
                return i
    return len(tokens) - 1


class Param:
    def __init__(self, tokens):
        words = [t.text for t in tokens]
        self.type = next((w for w in words if w in TYPES), None)
        self.ref = "&" in words
        self.array = "[" in words
        self.optional = "=" in words

    def describe(self):
        return f"{self.type}{' &' if self.ref else ''}{'[]' if self.array else ''}"


def parse_params(tokens):
    return [Param(arg) for arg in split_args(tokens) if arg and [t.text for t in arg] != ["void"]]


def imports_of(mqh_text):
    """{name: (return type, [Param])} of the #import blocks."""
    found, inside = {}, False
    tokens = tokenize(mqh_text)
    i = 0
    while i < len(tokens):
        tok = tokens[i]
        if tok.kind == "pp":
            inside = tok.text.startswith("#import") and '"' in tok.text
        elif inside and tok.text in TYPES and i + 2 < len(tokens) and tokens[i + 2].text == "(":
            end = closing(tokens, i + 2)
            found[tokens[i + 1].text] = (tok.text, parse_params(tokens[i + 3:end]))
            i = end
        i += 1
    return found


class Expert:
    def __init__(self, path):
        self.path = path
        self.text = path.read_text(encoding="utf-8")
        self.tokens = tokenize(self.text)
        self.faults = []
        self.defines, self.includes, self.inputs = set(), [], []
        for tok in self.tokens:
            if tok.kind == "pp":
                m = re.match(r"#define\s+(\w+)", tok.text)
                if m:
                    self.defines.add(m.group(1))
                m = re.match(r"#include\s+<([^>]+)>", tok.text)
                if m:
                    self.includes.append(m.group(1))
        self.code = [t for t in self.tokens if t.kind != "pp"]
        self.functions = {}      # name: (return type, [Param], body start, body end)
        self.scopes = {}         # function name or None: {variable: Param-like (type, array)}
        self.read_declarations()

    def fault(self, line, message):
        self.faults.append(f"{self.path.relative_to(ROOT)}:{line}: {message}")

    def scope_at(self, index):
        for name, (_, _, start, end) in self.functions.items():
            if start <= index <= end:
                return name
        return None

    def read_declarations(self):
        code, depth = self.code, 0
        # Functions first: a type, a name and '(' at the top level, then a body.
        i = 0
        while i < len(code):
            tok = code[i]
            if tok.text == "{":
                depth += 1
            elif tok.text == "}":
                depth -= 1
            elif depth == 0 and tok.text in TYPES and i + 2 < len(code) and \
                    code[i + 1].kind == "ident" and code[i + 2].text == "(":
                end = closing(code, i + 2)
                if end + 1 < len(code) and code[end + 1].text == "{":
                    body_end = closing(code, end + 1)
                    self.functions[code[i + 1].text] = (tok.text, parse_params(code[i + 3:end]), i + 2,
                                                       body_end)
                    i = body_end + 1
                    continue
            i += 1
        # Variables and parameters: a type, then names up to ';' or ')'.
        for i, tok in enumerate(code):
            if tok.text not in TYPES or i + 1 >= len(code):
                continue
            if i > 0 and code[i - 1].text == "(" and code[i + 1].text == ")":
                continue  # a cast
            j = i + 1
            while j < len(code):
                if code[j].text == "&":
                    j += 1
                if j >= len(code) or code[j].kind != "ident" or code[j].text in KEYWORDS:
                    break
                name, is_array = code[j].text, j + 1 < len(code) and code[j + 1].text == "["
                if j + 1 < len(code) and code[j + 1].text == "(":
                    break  # a function: recorded above
                scope = self.scope_at(j)
                self.scopes.setdefault(scope, {})[name] = (tok.text, is_array)
                if i > 0 and code[i - 1].text == "input":
                    self.inputs.append((name, tok.line))
                # skip array sizes and an initial value up to the declaration's end
                k, nesting = j + 1, 0
                while k < len(code):
                    if code[k].text in "([{":
                        nesting += 1
                    elif code[k].text in ")]}":
                        if nesting == 0:
                            break
                        nesting -= 1
                    elif nesting == 0 and code[k].text in (",", ";"):
                        break
                    k += 1
                if k + 1 < len(code) and code[k].text == "," and code[k + 1].kind == "ident" and \
                        code[k + 1].text not in KEYWORDS:
                    j = k + 1
                    continue
                break

    def variable(self, index, name):
        scope = self.scope_at(index)
        for candidate in (scope, None):
            if name in self.scopes.get(candidate, {}):
                return self.scopes[candidate][name]
        return None


def check_brackets(expert):
    stack, pairs = [], {")": "(", "]": "[", "}": "{"}
    for tok in expert.code:
        if tok.text in "([{":
            stack.append(tok)
        elif tok.text in pairs:
            if not stack or stack[-1].text != pairs[tok.text]:
                expert.fault(tok.line, f"'{tok.text}' closes nothing open")
                return
            stack.pop()
    for tok in stack:
        expert.fault(tok.line, f"'{tok.text}' is never closed")


def counts(least, most):
    return str(least) if least == most else f"{least} to {most}"


def check_calls(expert, imports):
    code = expert.code
    for i, tok in enumerate(code):
        if tok.kind != "ident" or i + 1 >= len(code) or code[i + 1].text != "(" or tok.text in KEYWORDS:
            continue
        if i > 0 and code[i - 1].text in TYPES:
            continue  # a definition
        args = split_args(code[i + 2:closing(code, i + 1)])
        name = tok.text
        if name in imports:
            _, params = imports[name]
            if len(args) != len(params):
                expert.fault(tok.line, f"{name} takes {len(params)} arguments, given {len(args)}")
                continue
            for n, (arg, param) in enumerate(zip(args, params), 1):
                if not param.ref:
                    continue
                var = expert.variable(i, arg[0].text) if len(arg) == 1 and arg[0].kind == "ident" else None
                if var is None:
                    expert.fault(tok.line, f"{name} argument {n} must be a variable ({param.describe()})")
                elif var != (param.type, param.array):
                    expert.fault(tok.line, f"{name} argument {n}: {arg[0].text} is {var[0]}"
                                           f"{'[]' if var[1] else ''}, the import takes {param.describe()}")
        elif name in expert.functions:
            params = expert.functions[name][1]
            least = sum(1 for p in params if not p.optional)
            if not least <= len(args) <= len(params):
                expert.fault(tok.line, f"{name} takes {counts(least, len(params))} arguments, given {len(args)}")
        elif name in BUILTINS:
            least, most = BUILTINS[name]
            if not least <= len(args) <= most:
                expert.fault(tok.line, f"{name} takes {counts(least, most)} arguments, given {len(args)}")
            if name in RESULT_MUST_BE_USED and i > 0 and code[i - 1].text in (";", "{", "}", ")", ":", "else"):
                expert.fault(tok.line, f"the result of {name} is not used")
        else:
            expert.fault(tok.line, f"{name}() is neither imported, defined here nor a checked built-in")


def check_names(expert, imports):
    code = expert.code
    for i, tok in enumerate(code):
        if tok.kind != "ident" or tok.text in KEYWORDS or tok.text in CONSTANTS:
            continue
        if i + 1 < len(code) and code[i + 1].text == "(":
            continue  # a call: check_calls judges it
        if tok.text in BUILTINS or tok.text in imports or tok.text in expert.functions or \
                tok.text in expert.defines:
            continue
        if expert.variable(i, tok.text) is None:
            expert.fault(tok.line, f"{tok.text} is not declared")


def check_handlers(expert):
    for name, (ret, types) in HANDLERS.items():
        if name in expert.functions:
            got_ret, params, start, _ = expert.functions[name]
            if got_ret != ret or [p.type for p in params] != types:
                expert.fault(expert.code[start].line, f"{name} must be {ret} {name}({', '.join(types)})")


def check_readme(expert):
    readme = ROOT / "experts" / "README.md"
    text = readme.read_text(encoding="utf-8") if readme.exists() else ""
    for name, line in expert.inputs:
        if not re.search(rf"\b{name}\b", text):
            expert.fault(line, f"input {name} is not explained in experts/README.md")


C_TYPES = {"int": "int", "double": "double", "int*": "int &", "double*": "double &", "long long": "long",
           "unsigned char*": "uchar &[]", "const unsigned char*": "uchar &[]", "const char*": "uchar &[]",
           "void": "void"}


def check_exports(mqh_path, imports, faults):
    """Each import against the library's .def file and the real prototypes beside the .mqh."""
    folder = mqh_path.parent
    defs = list(folder.glob("*.def"))
    headers = list(folder.glob("*_exports.h"))
    if not defs or not headers:
        faults.append(f"{mqh_path.relative_to(ROOT)}: no .def or *_exports.h beside it")
        return
    exported = {}
    for line in defs[0].read_text().splitlines():
        m = re.match(r"\s*(\w+)\s*=\s*(\w+)", line)
        if m:
            exported[m.group(1)] = m.group(2)
    header = re.sub(r"//[^\n]*", "", headers[0].read_text())
    prototypes = {}
    for m in re.finditer(r"(\w+)\s+__stdcall\s+(\w+)\s*\(([^)]*)\)", header):
        params = [" ".join(p.replace("*", " * ").split()[:-1]).replace(" *", "*") for p in
                  m.group(3).split(",") if p.strip() and p.strip() != "void"]
        prototypes[m.group(2)] = (m.group(1), params)
    for name, (ret, params) in imports.items():
        where = f"{mqh_path.relative_to(ROOT)}: {name}"
        if name not in exported:
            faults.append(f"{where} is not exported by {defs[0].name}")
            continue
        if exported[name] not in prototypes:
            faults.append(f"{where}: {exported[name]} has no prototype in {headers[0].name}")
            continue
        c_ret, c_params = prototypes[exported[name]]
        wanted = [C_TYPES.get(p, "?" + p) for p in c_params]
        given = [p.describe() for p in params]
        if C_TYPES.get(c_ret) != ret or wanted != given:
            faults.append(f"{where}({', '.join(given)}) returning {ret} does not match "
                          f"{c_ret} {exported[name]}({', '.join(c_params)})")


def main():
    faults, checked_mqh = [], set()
    experts = sorted((ROOT / "experts").glob("*.mq4"))
    if not experts:
        faults.append("experts/: no .mq4 found")
    for path in experts:
        expert = Expert(path)
        if not re.search(r"^#property\s+strict\b", expert.text, re.MULTILINE):
            expert.fault(1, "#property strict is missing")
        imports = {}
        for include in expert.includes:
            found = sorted(ROOT.glob(f"*/{include}"))
            if not found:
                expert.fault(0, f"#include <{include}>: not in the repository")
                continue
            mqh_imports = imports_of(found[0].read_text(encoding="utf-8"))
            imports.update(mqh_imports)
            if found[0] not in checked_mqh:
                checked_mqh.add(found[0])
                check_exports(found[0], mqh_imports, faults)
        check_brackets(expert)
        check_calls(expert, imports)
        check_names(expert, imports)
        check_handlers(expert)
        check_readme(expert)
        faults += expert.faults
    for fault in faults:
        print(fault)
    print(f"check-experts: {len(experts)} experts, {len(checked_mqh)} include files, "
          f"{'OK' if not faults else str(len(faults)) + ' faults'}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
