"""Finds the places in src/ where a classic fault can be planted, from the
syntax trees that libclang builds over CMake's compile commands. A fault is a
byte range of one file and the text that replaces it."""
import hashlib
import json
import os
import re
import shlex
import subprocess

from clang import cindex

K = cindex.CursorKind
# libclang's own headers (x86intrin.h, stddef.h), which it does not find alone.
RESOURCE_DIR = subprocess.run(["clang-14", "-print-resource-dir"], capture_output=True, text=True,
                              check=True).stdout.strip()

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITHMETIC = {
    "+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&&": "||", "||": "&&",
    "&": "|", "|": "&", "^": "&", "<<": ">>", ">>": "<<", "+=": "-=", "-=": "+=",
    "*=": "/=", "/=": "*=", "&=": "|=", "|=": "&=", "^=": "&=", "<<=": ">>=", ">>=": "<<=",
}
# A return of one of these is already its type's default.
DEFAULTS = {"{}", "0", "0u", "false", "nullptr", "std::nullopt", '""', 'u""', "L\"\"", "{0}"}
INTEGER = re.compile(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|[0-9][0-9']*)([uUlLzZ]*)")


class Fault:
    def __init__(self, path, start, end, replacement, operator, text, line):
        self.path, self.start, self.end = path, start, end
        self.replacement, self.operator, self.line = replacement, operator, line
        self.line_text = text.splitlines()[line - 1].strip()
        original = text[start:end]
        if operator in ("call", "branch"):
            self.edit = f"`{short(original)}` deleted"
        elif operator == "condition":
            self.edit = f"`{short(original)}` negated"
        else:
            self.edit = f"`{short(original)}` -> `{short(replacement)}`"

    def key(self):
        return (self.path, self.start, self.end, self.replacement)

    def where(self):
        return f"{self.path}:{self.line}"


def short(s, width=60):
    s = " ".join(s.split())
    return s if len(s) <= width else s[: width - 3] + "..."


def system_includes(compiler, cache={}):
    """The compiler's own header folders, but for its intrinsics, which
    libclang takes from its resource folder."""
    if compiler not in cache:
        out = subprocess.run([compiler, "-E", "-x", "c++", "-", "-v"], input="", capture_output=True,
                             text=True).stderr
        lines = out.split("#include <...> search starts here:")[1].split("End of search list.")[0]
        dirs = [os.path.realpath(d.strip()) for d in lines.splitlines() if d.strip()]
        cache[compiler] = [d for d in dirs if not re.search(r"/gcc/[^/]+/[^/]+/include(-fixed)?$", d)]
    return cache[compiler]


def arguments(entry, target):
    """The compiler's arguments for libclang: no compiler, output or input,
    and the compiler's header folders."""
    args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out, skip = ["-nostdinc"], False
    for a in args[1:]:
        if skip:
            skip = False
        elif a == "-o":
            skip = True
        elif a == "-c" or a == entry["file"] or a.startswith("-fsanitize") or a.startswith("-W"):
            continue
        else:
            out.append(a)
    if target:
        out.append(f"--target={target}")
    for d in system_includes(args[0]):
        out += ["-isystem", d]
    return out + ["-isystem", os.path.join(RESOURCE_DIR, "include"), "-Wno-everything"]


class Finder:
    def __init__(self, root):
        self.root = os.path.realpath(root)
        self.src = os.path.join(self.root, "src") + os.sep
        self.faults = {}
        self.texts = {}

    def text(self, path):
        if path not in self.texts:
            with open(path, "rb") as f:
                self.texts[path] = f.read().decode("utf-8")
        return self.texts[path]

    def add(self, path, start, end, replacement, operator):
        text = self.text(path)
        if text[start:end] == replacement or start >= end:
            return
        rel = os.path.relpath(path, self.root)
        line = text.count("\n", 0, start) + 1
        f = Fault(rel, start, end, replacement, operator, text, line)
        self.faults.setdefault(f.key(), f)

    def parse(self, entry, target):
        tu = cindex.Index.create().parse(entry["file"], args=arguments(entry, target))
        errors = [d for d in tu.diagnostics if d.severity >= cindex.Diagnostic.Error]
        if errors:
            raise SystemExit(f"mutants: libclang cannot read {entry['file']}: {errors[0]}")
        for c in tu.cursor.get_children():
            if self.mine(c):
                self.visit(c)

    def mine(self, c):
        f = c.location.file
        return f is not None and os.path.realpath(f.name).startswith(self.src)

    def span(self, c):
        """The cursor's byte range, or None where it comes from a macro or
        another file."""
        s, e = c.extent.start, c.extent.end
        if s.file is None or e.file is None or s.file.name != e.file.name:
            return None
        path = os.path.realpath(s.file.name)
        if not path.startswith(self.src):
            return None
        return path, s.offset, e.offset

    def visit(self, c):
        try:
            self.site(c)
        except (ValueError, IndexError):
            pass
        for child in c.get_children():
            if self.mine(child):
                self.visit(child)

    def token(self, path, tok, want):
        """A token's range when the file holds exactly its spelling there."""
        s, e = tok.extent.start.offset, tok.extent.end.offset
        if tok.extent.start.file is None or os.path.realpath(tok.extent.start.file.name) != path:
            return None
        return (s, e) if self.text(path)[s:e] == want else None

    def site(self, c):
        sp = self.span(c)
        if sp is None:
            return
        path, start, end = sp
        text = self.text(path)
        kind = c.kind
        if kind in (K.BINARY_OPERATOR, K.COMPOUND_ASSIGNMENT_OPERATOR):
            lhs = next(c.get_children())
            for tok in c.get_tokens():
                if tok.extent.start.offset >= lhs.extent.end.offset and tok.kind == cindex.TokenKind.PUNCTUATION:
                    op = tok.spelling
                    r = self.token(path, tok, op)
                    if r and op in RELATIONAL:
                        self.add(path, *r, RELATIONAL[op], "relational")
                    elif r and op in ARITHMETIC:
                        self.add(path, *r, ARITHMETIC[op], "arithmetic")
                    break
        elif kind == K.CXX_BOOL_LITERAL_EXPR:
            word = text[start:end]
            if word in ("true", "false"):
                self.add(path, start, end, "false" if word == "true" else "true", "boolean")
        elif kind == K.INTEGER_LITERAL:
            m = INTEGER.fullmatch(text[start:end])
            if m:
                digits, suffix = m.group(1), m.group(2)
                value = int(digits.replace("'", ""), 8 if re.fullmatch(r"0[0-7]+", digits) else 0)
                # One direction a site, the same at every draw.
                up = value == 0 or (start % 2 == 0)
                moved = value + 1 if up else value - 1
                form = hex(moved) if digits[:2].lower() == "0x" else str(moved)
                self.add(path, start, end, form + suffix, "integer")
        elif kind == K.COMPOUND_STMT:
            for s in c.get_children():
                inner = s
                while inner.kind == K.UNEXPOSED_EXPR and len(list(inner.get_children())) == 1:
                    inner = next(inner.get_children())
                sp2 = self.span(s)
                if inner.kind == K.CALL_EXPR and sp2 and text[sp2[1]:sp2[2]] and not text[sp2[1]:].startswith("(void)"):
                    self.add(path, sp2[1], sp2[2], "(void)0", "call")
        elif kind == K.RETURN_STMT:
            children = list(c.get_children())
            if len(children) == 1:
                sp2 = self.span(children[0])
                if sp2 and " ".join(text[sp2[1]:sp2[2]].split()) not in DEFAULTS:
                    self.add(path, sp2[1], sp2[2], "{}", "return")
        elif kind in (K.IF_STMT, K.WHILE_STMT, K.CONDITIONAL_OPERATOR, K.FOR_STMT):
            self.conditional(c, path, start, text)

    def conditional(self, c, path, start, text):
        children = list(c.get_children())
        if c.kind == K.CONDITIONAL_OPERATOR:
            cond = children[0]
        else:
            head = text[start:start + 20]
            if head.startswith("if constexpr"):
                return
            # The condition is the last child inside the parentheses; a for's
            # is the one between its two semicolons.
            open_ = text.index("(", start)
            close = matching(text, open_)
            inside = [ch for ch in children if self.span(ch) and open_ < self.span(ch)[1] < close]
            if c.kind == K.FOR_STMT:
                semis = [i for i in range(open_, close) if text[i] == ";" and depth(text, open_, i) == 1]
                if len(semis) != 2:
                    return
                inside = [ch for ch in inside if semis[0] < self.span(ch)[1] < semis[1]]
            if not inside or inside[-1].kind in (K.VAR_DECL, K.DECL_STMT):
                return
            cond = inside[-1]
            if c.kind == K.IF_STMT:
                after = [ch for ch in children if self.span(ch) and self.span(ch)[1] > close]
                for body in after[:2]:
                    self.body(path, body, text)
        sp = self.span(cond)
        if sp:
            self.add(path, sp[1], sp[2], f"!({text[sp[1]:sp[2]]})", "condition")

    def body(self, path, body, text):
        sp = self.span(body)
        if not sp:
            return
        s, e = sp[1], sp[2]
        if body.kind == K.COMPOUND_STMT:
            if text[s:e].replace(" ", "").replace("\n", "") == "{}":
                return
        else:
            rest = text[e:]
            gap = len(rest) - len(rest.lstrip())
            if rest[gap:gap + 1] == ";":
                e += gap + 1
        self.add(path, s, e, "{}", "branch")


def matching(text, open_):
    d = 0
    for i in range(open_, len(text)):
        d += {"(": 1, ")": -1}.get(text[i], 0)
        if d == 0:
            return i
    raise ValueError("no closing parenthesis")


def depth(text, open_, at):
    return sum({"(": 1, ")": -1}.get(ch, 0) for ch in text[open_:at])


def find(root, builds):
    """Every fault that can be planted in src/, over the compile commands of
    the builds given as (folder, target triple or None); a file compiled in
    several is read from the first. Cached under build/ while src/ is as it was."""
    root = os.path.realpath(root)
    entries, seen = [], set()
    for folder, target in builds:
        with open(os.path.join(folder, "compile_commands.json")) as f:
            for e in json.load(f):
                path = os.path.realpath(e["file"])
                if (path.startswith(os.path.join(root, "src") + os.sep) and path.endswith(".cpp")
                        and path not in seen):
                    seen.add(path)
                    entries.append((e, target))
    digest = hashlib.sha256()
    for dirpath, _, files in sorted(os.walk(os.path.join(root, "src"))):
        for name in sorted(files):
            with open(os.path.join(dirpath, name), "rb") as f:
                digest.update(name.encode() + f.read())
    digest.update(json.dumps([(e["file"], t) for e, t in entries]).encode())
    cache = os.path.join(root, "build", "mutants-sites.json")
    try:
        with open(cache) as f:
            stored = json.load(f)
        if stored["digest"] == digest.hexdigest():
            return told_apart([fault_of(d) for d in stored["faults"]])
    except (OSError, ValueError, KeyError):
        pass
    finder = Finder(root)
    for e, target in entries:
        finder.parse(e, target)
    faults = sorted(finder.faults.values(), key=lambda f: f.key())
    with open(cache, "w") as f:
        json.dump({"digest": digest.hexdigest(), "faults": [vars(x) for x in faults]}, f)
    return told_apart(faults)


ORDINALS = ["first", "second", "third", "fourth", "fifth", "sixth", "seventh", "eighth"]
NTH = re.compile(r", the \w+ on the line(?= \()")


def told_apart(faults):
    """Faults of one line that read alike (two `0` -> `1`) are named by their
    place on it, so that a survivor, or an equivalent entry, names one."""
    alike = {}
    for f in faults:
        alike.setdefault((f.path, f.line, f.operator, f.edit), []).append(f)
    for same in alike.values():
        if len(same) > 1:
            for i, f in enumerate(sorted(same, key=lambda f: f.start)):
                nth = ORDINALS[i] if i < len(ORDINALS) else f"{i + 1}th"
                f.edit += f", the {nth} on the line"
    return faults


def fault_of(d):
    f = Fault.__new__(Fault)
    f.__dict__.update(d)
    return f
