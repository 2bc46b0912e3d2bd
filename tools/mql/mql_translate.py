#!/usr/bin/env python3
"""Translates an MQL4 or MQL5 expert into C++ for the terminal simulator (experts/README.md, "The experts in the tests").

    mql_translate.py SOURCE.mq4|SOURCE.mq5 --include DIR [--include DIR ...] --factory NAME -o OUT.cpp

The expert becomes a class derived from mql::Program4 (a .mq4) or mql::Program5 (a .mq5): its
globals and inputs are members, its functions member functions, its #import declarations members
that call the library's functions through the terminal, bound at their first call. `#line`
directives point every compiler message at the .mq4/.mq5 (or .mqh) line. NAME is the function
that makes the expert: `std::unique_ptr<mql::Program4> NAME()` (or Program5).

Anything outside the subset the layer emulates is refused with its file and line, and the
exit code is 1: the experts cannot drift into constructs nobody checks.
"""
import argparse
import pathlib
import re
import sys


class Refused(Exception):
    def __init__(self, where, message):
        super().__init__(f"{where[0]}:{where[1]}: {message}")


# The value types of both languages and what the translated code names them.
TYPES = {
    "void": "void", "bool": "bool", "char": "signed char", "uchar": "mql::uchar", "short": "short",
    "ushort": "mql::ushort", "int": "int", "uint": "mql::uint", "long": "mql::mlong",
    "ulong": "mql::ulong", "float": "float", "double": "double", "string": "mql::string",
    "datetime": "mql::datetime", "color": "mql::color",
}
# Types a library function takes or answers, and how an argument crosses to it.
RUNTIME = pathlib.Path(__file__).resolve().parent


class Language:
    """What differs between MQL4 and MQL5 for the translator: the base class, the runtime's
    names, and the types beyond the value types (MQL5's enumerations and trade structures,
    read from the runtime's headers so that the two lists are one)."""

    def __init__(self, suffix):
        self.mql5 = suffix == ".mq5"
        self.types = dict(TYPES)
        self.structs = set()
        self.enums = set()
        if self.mql5:
            self.enums = set(re.findall(r"^enum (ENUM_\w+)", (RUNTIME / "mql5_constants.h").read_text(), re.M))
            self.structs = set(re.findall(r"^struct (Mql\w+)", (RUNTIME / "mql5_trade_structs.h").read_text(), re.M))
            self.types.update({name: name for name in self.enums | self.structs})
        self.base = "mql::Program5" if self.mql5 else "mql::Program4"
        self.header = "mql5_program.h" if self.mql5 else "mql4_program.h"
        self.builtins = "mql::builtin5" if self.mql5 else "mql::builtin"


IMPORT_SCALARS = {"int", "uint", "long", "ulong", "double", "float", "uchar", "ushort", "short", "char"}
IMPORT_RETURNS = {"void", "int", "uint", "long", "ulong", "double"}
HANDLERS = {
    "OnInit": ("int", [], "kOnInit"),
    "OnDeinit": ("void", ["int"], "kOnDeinit"),
    "OnTimer": ("void", [], "kOnTimer"),
    "OnTick": ("void", [], "kOnTick"),
}
NOT_EMULATED_HANDLERS = {"OnStart", "OnCalculate", "OnChartEvent", "OnTester", "OnTesterInit",
                         "OnTesterPass", "OnTesterDeinit", "OnTrade", "OnTradeTransaction", "OnBookEvent"}
REFUSED_WORDS = {
    "class": "classes", "struct": "structures", "union": "unions", "enum": "enumerations",
    "typedef": "typedef", "template": "templates", "new": "objects", "delete": "objects",
    "this": "objects", "operator": "operators", "virtual": "classes", "public": "classes",
    "private": "classes", "protected": "classes", "sinput": "sinput", "namespace": "namespaces",
    "goto": "goto",
}
PROPERTIES = {"strict", "description", "copyright", "link", "version", "icon"}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}

TOKEN = re.compile(r"""
    (?P<space>[ \t\r\f\v]+)
  | (?P<newline>\n)
  | (?P<comment>//[^\n]*)
  | (?P<block>/\*.*?\*/)
  | (?P<string>"(?:[^"\\\n]|\\.)*")
  | (?P<char>'(?:[^'\\\n]|\\.)+')
  | (?P<number>0[xX][0-9A-Fa-f]+|(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)
  | (?P<ident>[A-Za-z_]\w*)
  | (?P<op>::|->|<<=|>>=|\+\+|--|&&|\|\||[-+*/%&|^!=<>]=|<<|>>|[-+*/%&|^!~=<>?:;,.(){}\[\]#])
""", re.X | re.S)


class Token:
    def __init__(self, kind, text, where):
        self.kind, self.text, self.where = kind, text, where

    def __repr__(self):
        return f"{self.text}@{self.where[1]}"


def read_source(path):
    data = path.read_bytes()
    if data.startswith(b"\xff\xfe") or data.startswith(b"\xfe\xff"):
        return data.decode("utf-16")
    return data.decode("utf-8-sig")


class Source:
    """The tokens of an expert and the files it includes, with the directives taken out."""

    def __init__(self, path, include_dirs):
        self.include_dirs = include_dirs
        self.tokens = []
        self.properties = {}
        self.defines = []      # (where, name, value tokens)
        self.imports = []      # (where, library, tokens of one declaration)
        self.comments = {}     # (file, line) -> the text of a // comment there
        self.included = set()
        self.read(path)

    def read(self, path):
        text = read_source(path)
        name = path.name
        lines = text.split("\n")
        line_tokens = []
        pos, line = 0, 1
        while pos < len(text):
            m = TOKEN.match(text, pos)
            if not m:
                raise Refused((name, line), f"cannot read {text[pos]!r}")
            kind, value = m.lastgroup, m.group()
            if kind == "comment":
                self.comments[(name, line)] = value[2:].strip()
            elif kind == "newline":
                line += 1
            elif kind == "block":
                line += value.count("\n")
            elif kind != "space":
                line_tokens.append(Token(kind, value, (name, line)))
            pos = m.end()
        self.directives(path, line_tokens, lines)

    def directives(self, path, tokens, lines):
        name = path.name
        importing = opened = None
        i = 0
        while i < len(tokens):
            t = tokens[i]
            if t.text != "#":
                if importing is not None:
                    j = i
                    while j < len(tokens) and tokens[j].text != ";":
                        j += 1
                    self.imports.append((t.where, importing, tokens[i:j]))
                    i = j + 1
                    continue
                self.tokens.append(t)
                i += 1
                continue
            line = t.where[1]
            rest = []
            i += 1
            while i < len(tokens) and tokens[i].where[1] == line:
                rest.append(tokens[i])
                i += 1
            if not rest:
                raise Refused(t.where, "an empty directive")
            word = rest[0].text
            if word == "property":
                if len(rest) < 2 or rest[1].text not in PROPERTIES:
                    raise Refused(t.where, "#property " + (rest[1].text if len(rest) > 1 else "") +
                                  " is outside the emulated subset (experts only: no indicators)")
                self.properties[rest[1].text] = " ".join(x.text for x in rest[2:])
            elif word == "include":
                self.include(t.where, path, lines[line - 1])
            elif word == "import":
                if len(rest) == 1:
                    importing = None
                elif rest[1].kind == "string" and rest[1].text.lower().endswith('.dll"'):
                    importing, opened = rest[1].text[1:-1], t.where
                else:
                    raise Refused(t.where, "only DLLs are imported (#import \"name.dll\")")
            elif word == "define":
                if len(rest) < 2 or rest[1].kind != "ident":
                    raise Refused(t.where, "#define without a name")
                after = lines[line - 1].split(rest[1].text, 1)[1]
                if after.startswith("("):
                    raise Refused(t.where, "macros with parameters are outside the emulated subset")
                self.defines.append((t.where, rest[1].text, rest[2:]))
            else:
                raise Refused(t.where, f"#{word} is outside the emulated subset")
        if importing is not None:
            raise Refused(opened, f"#import \"{importing}\" is not closed by #import")

    def include(self, where, path, line_text):
        m = re.search(r'#\s*include\s*(<([^>]+)>|"([^"]+)")', line_text)
        if not m:
            raise Refused(where, "#include needs <file> or \"file\"")
        wanted = m.group(2) or m.group(3)
        places = ([] if m.group(2) else [path.parent]) + self.include_dirs
        for place in places:
            found = place / wanted
            if found.is_file():
                if found.resolve() not in self.included:
                    self.included.add(found.resolve())
                    self.read(found)
                return
        raise Refused(where, f"include file {wanted} not found")


# --- Parsing what the tokens hold.

def split_top(tokens, separator):
    """The runs of `tokens` between `separator`s outside brackets."""
    parts, depth, start = [], 0, 0
    for k, t in enumerate(tokens):
        if t.text in "([{":
            depth += 1
        elif t.text in ")]}":
            depth -= 1
        elif t.text == separator and depth == 0:
            parts.append(tokens[start:k])
            start = k + 1
    parts.append(tokens[start:])
    return parts


def matching(tokens, i):
    """The index of the bracket closing the one at tokens[i]."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    opening, depth = tokens[i].text, 0
    for k in range(i, len(tokens)):
        if tokens[k].text == opening:
            depth += 1
        elif tokens[k].text == pairs[opening]:
            depth -= 1
            if depth == 0:
                return k
    raise Refused(tokens[i].where, f"'{opening}' is not closed")


class Declarator:
    def __init__(self, name, dims, init, where):
        self.name, self.dims, self.init, self.where = name, dims, init, where


def parse_declarators(tokens):
    """`a = 1, b[], c[64]` -> Declarators (dims: None for [], else the size's tokens)."""
    out = []
    for part in split_top(tokens, ","):
        if not part or part[0].kind != "ident":
            raise Refused((part or tokens)[0].where, "a declaration without a name")
        name, k, dims, init = part[0], 1, [], None
        while k < len(part) and part[k].text == "[":
            end = matching(part, k)
            dims.append(part[k + 1:end] or None)
            k = end + 1
        if k < len(part):
            if part[k].text != "=":
                raise Refused(part[k].where, f"unexpected '{part[k].text}' in a declaration")
            init = part[k + 1:]
            if not init:
                raise Refused(part[k].where, "a declaration without its value")
        out.append(Declarator(name.text, dims, init, name.where))
    return out


class Translator:
    def __init__(self, source, name, language):
        self.source = source
        self.name = name
        self.language = language
        self.types = language.types
        self.inputs = []        # (declarator, mql type, extern?)
        self.members = []       # C++ text of the globals, with their #line
        self.functions = []     # C++ text of the functions
        self.handlers = []
        self.input_names = set()
        self.hoisted = []       # static locals, as members

    # --- Emitting tokens.

    def text(self, tokens, static_names=None):
        """The C++ of a run of expression tokens, keeping the source's lines."""
        out, line = [], None
        for k, t in enumerate(tokens):
            if line is not None and t.where[1] != line:
                out.append("\n" * (t.where[1] - line) if t.where[1] > line else " ")
            elif out:
                out.append(" ")
            line = t.where[1]
            out.append(self.token(t, tokens, k, static_names))
        return "".join(out)

    def token(self, t, tokens, k, static_names):
        if t.kind == "string":
            return t.text + "_mq"
        if t.kind == "char" and k > 0 and tokens[k - 1].text in ("C", "D") and tokens[k - 1].where == t.where:
            raise Refused(t.where, "C'..' and D'..' literals are outside the emulated subset")
        if t.kind == "ident":
            if t.text in REFUSED_WORDS:
                raise Refused(t.where, f"'{t.text}': {REFUSED_WORDS[t.text]} are outside the emulated subset")
            if t.text in self.types:
                return self.types[t.text]
            if t.text == "NULL":
                return "mql::null_value{}"
            if static_names and t.text in static_names:
                return static_names[t.text]
        if t.text in ("::", "->"):
            raise Refused(t.where, f"'{t.text}' is outside the emulated subset")
        return t.text

    def line(self, where):
        return f'#line {where[1]} "{where[0]}"\n'

    # --- Declarations.

    def declared_type(self, tokens, k):
        """Reads [const|static] TYPE at tokens[k]: (is const, is static, type word, next index)."""
        const = static = False
        while k < len(tokens) and tokens[k].text in ("const", "static"):
            const |= tokens[k].text == "const"
            static |= tokens[k].text == "static"
            k += 1
        if k < len(tokens) and tokens[k].text in self.types:
            return const, static, tokens[k].text, k + 1
        return const, static, None, k

    def cxx_type(self, word, dims, where):
        base = self.types[word]
        if not dims:
            return base, None
        if word == "bool":
            raise Refused(where, "bool arrays are outside the emulated subset")
        if len(dims) > 2:
            raise Refused(where, "arrays of more than two dimensions are outside the emulated subset")
        if len(dims) == 2:
            if dims[1] is None:
                raise Refused(where, "the second dimension of an array needs its size")
            base = f"mql::Row<{base}, {self.text(dims[1])}>"
        size = None if dims[0] is None else self.text(dims[0])
        return f"mql::Array<{base}>", size

    def declaration(self, const, word, declarators, statement, static_names=None):
        """C++ declarations of MQL4 ones; `statement`: local, where each may stand alone."""
        parts = []
        for d in declarators:
            cxx, size = self.cxx_type(word, d.dims, d.where)
            if d.dims and d.init is not None:
                raise Refused(d.where, "array initializers are outside the emulated subset")
            if d.dims and const:
                raise Refused(d.where, "const arrays are outside the emulated subset")
            if d.dims:
                value = f"{{mql::FixedSize{{{size}}}}}" if size is not None else ""
            elif d.init is not None:
                value = " = " + self.text(d.init, static_names)
            else:
                value = "{}"  # MQL4 zeroes what C++ would leave undefined
            parts.append((cxx, d.name, value))
        prefix = "const " if const else ""
        if not statement and len(parts) > 1 and all(p[0] == parts[0][0] for p in parts):
            return prefix + parts[0][0] + " " + ", ".join(n + v for _, n, v in parts)
        if not statement and len(parts) > 1:
            raise Refused(declarators[0].where, "arrays are declared in statements of their own here")
        return " ".join(f"{prefix}{c} {n}{v};" for c, n, v in parts)[:-1]

    # --- The top level.

    def translate(self):
        tokens = self.source.tokens
        i = 0
        while i < len(tokens):
            t = tokens[i]
            if t.text in REFUSED_WORDS:
                raise Refused(t.where, f"'{t.text}': {REFUSED_WORDS[t.text]} are outside the emulated subset")
            if t.text in ("input", "extern"):
                i = self.input(tokens, i)
                continue
            const, static, word, k = self.declared_type(tokens, i)
            if word is None:
                raise Refused(t.where, f"unexpected '{t.text}' at the top level")
            if k + 1 < len(tokens) and tokens[k].kind == "ident" and tokens[k + 1].text == "(":
                i = self.function(tokens, i, word, k)
                continue
            end = self.statement_end(tokens, k)
            declarators = parse_declarators(tokens[k:end])
            for d in declarators:
                self.members.append(self.line(d.where) + "  " + self.declaration(const, word, [d], False) + ";\n")
            i = end + 1
        self.check_inputs_unchanged()

    def statement_end(self, tokens, k):
        depth = 0
        for j in range(k, len(tokens)):
            if tokens[j].text in "([{":
                depth += 1
            elif tokens[j].text in ")]}":
                depth -= 1
            elif tokens[j].text == ";" and depth == 0:
                return j
        raise Refused(tokens[k].where, "a declaration without its ';'")

    def input(self, tokens, i):
        extern = tokens[i].text == "extern"
        const, static, word, k = self.declared_type(tokens, i + 1)
        if word not in TYPES or word == "void" or const or static:
            raise Refused(tokens[i].where, "an input is of one of the language's value types")
        end = self.statement_end(tokens, k)
        for d in parse_declarators(tokens[k:end]):
            if d.dims:
                raise Refused(d.where, "inputs cannot be arrays")
            self.inputs.append((d, word, extern))
            self.input_names.add(d.name)
            self.members.append(self.line(d.where) + "  " + self.declaration(False, word, [d], False) + ";\n")
        return end + 1

    def parameters(self, tokens, where):
        params = []
        if len(tokens) == 1 and tokens[0].text == "void":
            return params
        for part in split_top(tokens, ","):
            if not part:
                if tokens:
                    raise Refused(where, "an empty parameter")
                continue
            const, static, word, k = self.declared_type(part, 0)
            if word is None or static or word == "void":
                raise Refused(part[0].where, f"a parameter of type '{part[0].text}'")
            ref = k < len(part) and part[k].text == "&"
            if word in self.language.structs and not ref:
                raise Refused(part[0].where, f"a structure is passed by reference (&): {word}")
            k += ref
            if k >= len(part) or part[k].kind != "ident":
                raise Refused(part[0].where, "a parameter without a name")
            name = part[k].text
            k += 1
            dims = []
            while k < len(part) and part[k].text == "[":
                end = matching(part, k)
                dims.append(part[k + 1:end] or None)
                k = end + 1
            default = part[k + 1:] if k < len(part) and part[k].text == "=" else None
            if dims and not ref:
                raise Refused(part[0].where, f"the array parameter '{name}' is passed by reference (&{name}[])")
            params.append(dict(const=const, word=word, ref=ref, name=name, dims=dims, default=default,
                               where=part[0].where))
        return params

    def parameter_text(self, p):
        cxx, _ = self.cxx_type(p["word"], p["dims"], p["where"])
        text = ("const " if p["const"] else "") + cxx + ("& " if p["ref"] else " ") + p["name"]
        if p["default"]:
            text += " = " + self.text(p["default"])
        return text

    def function(self, tokens, i, word, k):
        name_token = tokens[k]
        name = name_token.text
        close = matching(tokens, k + 1)
        params = self.parameters(tokens[k + 2:close], name_token.where)
        if close + 1 < len(tokens) and tokens[close + 1].text == ";":
            return close + 2  # a forward declaration: a class needs none
        if close + 1 >= len(tokens) or tokens[close + 1].text != "{":
            raise Refused(name_token.where, f"the function {name} has no body")
        body_end = matching(tokens, close + 1)
        if name in NOT_EMULATED_HANDLERS:
            raise Refused(name_token.where, f"{name}: only experts' OnInit, OnDeinit, OnTimer and OnTick are emulated")
        override = ""
        if name in HANDLERS:
            ret, kinds, bit = HANDLERS[name]
            if word != ret or [p["word"] for p in params] != kinds or any(p["ref"] or p["dims"] for p in params):
                raise Refused(name_token.where, f"{name} is not the handler the terminal calls")
            self.handlers.append(bit)
            override = " override"
        header = f"{self.types[word]} {name}(" + ", ".join(self.parameter_text(p) for p in params) + f"){override}"
        body = self.body(tokens[close + 1:body_end + 1], name)
        self.functions.append(self.line(name_token.where) + "  " + header + "\n" +
                              self.line(tokens[close + 1].where) + body + "\n")
        return body_end + 1

    def body(self, tokens, function):
        """A function's block, its declarations made C++ and its static locals made members."""
        out = []
        static_names = {}
        k = 0
        at_start = True
        questions = 0
        while k < len(tokens):
            t = tokens[k]
            if at_start and (t.text in self.types or t.text in ("const", "static")) and not (
                    k + 1 < len(tokens) and tokens[k + 1].text == "("):
                const, static, word, j = self.declared_type(tokens, k)
                if word is not None:
                    in_for = k >= 2 and tokens[k - 1].text == "(" and tokens[k - 2].text == "for"
                    end = self.statement_end(tokens, j)
                    declarators = parse_declarators(tokens[j:end])
                    if static:
                        for d in declarators:
                            member = f"{function}_{d.name}_"
                            static_names[d.name] = member
                            self.hoisted.append(self.line(d.where) + "  " +
                                                self.declaration(const, word, [Declarator(member, d.dims, d.init, d.where)],
                                                                 False) + ";\n")
                    else:
                        if in_for and any(d.dims for d in declarators):
                            raise Refused(t.where, "an array declared in a for")
                        text = self.declaration(const, word, declarators, not in_for, static_names)
                        out.append((t.where, text + ";"))
                    k = end + 1
                    continue
            out.append((t.where, self.token(t, tokens, k, static_names)))
            if t.text == "?":
                questions += 1
            if t.text == ":" and questions:
                questions -= 1
                at_start = False
            else:
                at_start = t.text in ("{", "}", ";", ":", "else") or (
                    t.text == "(" and k > 0 and tokens[k - 1].text == "for") or (
                    t.text == ")" and self.closes_condition(tokens, k))
            k += 1
        line, text = None, []
        for where, piece in out:
            if line is not None and where[1] > line:
                text.append("\n" * (where[1] - line))
            elif text:
                text.append(" ")
            line = where[1]
            text.append(piece)
        return "".join(text)

    def closes_condition(self, tokens, k):
        """Whether tokens[k], a ')', closes the condition of an if, while or for."""
        depth = 0
        for j in range(k, -1, -1):
            if tokens[j].text == ")":
                depth += 1
            elif tokens[j].text == "(":
                depth -= 1
                if depth == 0:
                    return j > 0 and tokens[j - 1].text in ("if", "while", "for")
        return False

    def check_inputs_unchanged(self):
        tokens = self.source.tokens
        read_only = {d.name for d, _, extern in self.inputs if not extern}
        declared = {d.where for d, _, _ in self.inputs}
        for k, t in enumerate(tokens):
            if t.kind != "ident" or t.text not in read_only or t.where in declared:
                continue
            before = tokens[k - 1].text if k > 0 else ""
            after = tokens[k + 1].text if k + 1 < len(tokens) else ""
            if after in ASSIGNMENTS or after in ("++", "--") or before in ("++", "--"):
                raise Refused(t.where, f"the input '{t.text}' is read only (an extern may be changed)")

    # --- Imports.

    def import_members(self):
        out = []
        for slot, (where, library, tokens) in enumerate(self.source.imports):
            const, static, word, k = self.declared_type(tokens, 0)
            if word not in IMPORT_RETURNS or const or static:
                raise Refused(where, "a library function answers void, int, uint, long, ulong or double")
            if k + 1 >= len(tokens) or tokens[k].kind != "ident" or tokens[k + 1].text != "(":
                raise Refused(where, "an import is a function declaration")
            name = tokens[k].text
            close = matching(tokens, k + 1)
            params = self.parameters(tokens[k + 2:close], where)
            c_types, arguments = [], []
            for p in params:
                if p["word"] not in IMPORT_SCALARS:
                    raise Refused(p["where"], f"a library takes numbers and byte or number arrays, not {p['word']}")
                if p["default"]:
                    raise Refused(p["where"], "default values of library functions are outside the emulated subset")
                base = TYPES[p["word"]]
                if p["dims"]:
                    if len(p["dims"]) > 1:
                        raise Refused(p["where"], "a library takes one-dimensional arrays")
                    c_types.append(("const " if p["const"] else "") + base + "*")
                    arguments.append(p["name"] + ".Data()")
                elif p["ref"]:
                    c_types.append(base + "*")
                    arguments.append("&" + p["name"])
                else:
                    c_types.append(base)
                    arguments.append(p["name"])
            signature = f"{self.types[word]} (MQL_STDCALL*)({', '.join(c_types)})"
            header = f"{self.types[word]} {name}(" + ", ".join(self.parameter_text(p) for p in params) + ")"
            call = (f"ImportCall<{signature}>({slot}, \"{library}\", \"{name}\"" +
                    "".join(", " + a for a in arguments) + ")")
            out.append(self.line(where) + f"  {header} {{ {'return ' if word != 'void' else ''}{call}; }}\n")
        return "".join(out)

    # --- The class.

    def input_table(self):
        rows, setters = [], []
        for d, word, _ in self.inputs:
            default = " ".join(t.text for t in d.init) if d.init else ""
            description = self.source.comments.get(d.where, "")
            rows.append("      {%s, %s, %s, %s}," % tuple(cxx_string(x) for x in (d.name, word, default, description)))
            setters.append(f"    if (name == {cxx_string(d.name)}) return mql::ReadInput(value, {d.name});\n")
        return rows, setters

    def output(self, factory, source_name):
        defines = "".join(self.line(w) + f"#define {n} {' '.join(t.text for t in v)}\n" for w, n, v in self.source.defines)
        rows, setters = self.input_table()
        handlers = " | ".join(sorted(set(self.handlers))) or "0"
        return f"""// Made by tools/mql/mql_translate.py from {source_name}: change the source, not this file.
#include <memory>

#include "mql_inputs.h"
#include "{self.language.header}"

namespace {{

using namespace {self.language.builtins};
using mql::operator""_mq;

{defines}{HERE}
class Expert final : public {self.language.base} {{
 public:
  const char* Name() const override {{ return {cxx_string(self.name)}; }}
  unsigned Handlers() const override {{ return {handlers}; }}
  std::vector<mql::InputInfo> Inputs() const override {{
    return {{
{chr(10).join(rows)}
    }};
  }}
  bool SetInput(const std::string& name, const std::string& value) override {{
{''.join(setters)}    return false;
  }}

{''.join(self.members)}{''.join(self.hoisted)}
{self.import_members()}
{''.join(self.functions)}{HERE}
}};

}}  // namespace

std::unique_ptr<{self.language.base}> {factory}() {{ return std::make_unique<Expert>(); }}
"""


HERE = "#line @here@"


def mark_lines(text, name):
    """Points the lines after each HERE marker back at the translated file itself."""
    lines = text.split("\n")
    return "\n".join(f'#line {n + 2} "{name}"' if line == HERE else line for n, line in enumerate(lines))


def cxx_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("source", type=pathlib.Path)
    parser.add_argument("--include", type=pathlib.Path, action="append", default=[])
    parser.add_argument("--factory", required=True)
    parser.add_argument("-o", "--output", type=pathlib.Path, required=True)
    args = parser.parse_args()
    try:
        language = Language(args.source.suffix)
        source = Source(args.source, args.include)
        if not language.mql5 and "strict" not in source.properties:
            raise Refused((args.source.name, 1), "#property strict is missing: the experts are compiled strictly")
        translator = Translator(source, args.source.stem, language)
        translator.translate()
        text = mark_lines(translator.output(args.factory, args.source.name), args.output.name)
    except Refused as refused:
        print(f"mql_translate: {refused}", file=sys.stderr)
        return 1
    args.output.parent.mkdir(parents=True, exist_ok=True)
    if not args.output.exists() or args.output.read_text() != text:
        args.output.write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
