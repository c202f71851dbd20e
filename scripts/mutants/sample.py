"""Plants faults drawn at random over src/ and checks that the tests catch
each: N faults of the eight classic kinds, drawn with SEED from the places
draw.py finds. A fault that does not build is drawn again; one listed in
equivalent.txt is skipped. Prints "caught N of M" and each survivor, and puts
the source back, also on Ctrl+C. Run through `make mutants-sample`, which
gives it Wine (with-wine.sh) and a full disk.
  usage: sample.py [--seed S] [--count N] [--list] [--retry FILE]
  (--list: the draw only; --retry: only the faults FILE names, one a line as
  the run printed its survivors)"""
import argparse
import atexit
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw  # noqa: E402

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The unit tests as make test builds them, with ASan and UBSan: a fault that
# reads past a buffer fails there. make mutants' native build has none.
NATIVE, FUZZ = "build/mutants-sanitized", "build/mutants-fuzz"
TWIN, SHIPPED = "build/mutants-win64", "build/mutants-win32"
LOG = "build/mutants-sample.log"
# A source file whose fault was planted when the run was stopped hard: put
# back first by the next run.
PENDING = "build/mutants-sample.pending"
EQUIVALENT = "scripts/mutants/equivalent.txt"
SHIPPED_ONLY = " (passed on the shipped exe)"


def sh(cmd, timeout=None, log=None):
    """The command's exit code; 124 when it ran out of time. Its own process
    group, ended with it on a timeout or Ctrl+C, so that the source is put
    back at once."""
    p = subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT, cwd=ROOT, start_new_session=True)
    try:
        return p.wait(timeout=timeout)
    except (subprocess.TimeoutExpired, KeyboardInterrupt) as e:
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        if isinstance(e, KeyboardInterrupt):
            raise
        return 124


class Runner:
    """Builds and runs the suites that make test runs over a file: the
    cheapest first, and the next only while none has failed."""

    def __init__(self, log):
        self.log = log
        self.wins = [TWIN]
        ok = subprocess.run(["bash", "scripts/runs-32bit.sh"], capture_output=True, text=True, cwd=ROOT)
        if ok.returncode == 0:
            self.wins.append(SHIPPED)
            self.where = "on the 64-bit twin and the shipped 32-bit exe"
        else:
            self.where = "on the 64-bit twin only: " + ok.stdout.strip()
        self.corpus = tempfile.mkdtemp(prefix="torvane-mutants-corpus-")
        atexit.register(shutil.rmtree, self.corpus, True)

    def configure(self):
        steps = [["cmake", "--preset", "native", "-B", NATIVE], ["cmake", "--preset", "fuzz", "-B", FUZZ]]
        steps += [["cmake", "--preset", w.rsplit("-", 1)[1], "-B", w] for w in self.wins]
        for s in steps:
            if sh(s, log=self.log) != 0:
                sys.exit(f"mutants: {' '.join(s)} fails")

    def build(self, folder, targets):
        return sh(["cmake", "--build", folder, "--target", *targets], timeout=600, log=self.log) == 0

    def native(self):
        """'caught', 'survived' or 'no build'."""
        if not self.build(NATIVE, ["torvane_unit_tests"]):
            return "no build"
        if sh([f"{NATIVE}/tests/unit/torvane_unit_tests", "--gtest_brief=1", "--gtest_fail_fast"],
              timeout=300, log=self.log) != 0:
            return "caught"
        if not self.build(FUZZ, ["roundtrip_fuzz"]):
            return "no build"
        # The smoke run of make test, from the committed corpus each time.
        shutil.rmtree(self.corpus)
        shutil.copytree("fuzz/corpus/roundtrip_fuzz", self.corpus)
        rc = sh([f"{FUZZ}/fuzz/roundtrip_fuzz", "-max_total_time=5", "-timeout=30",
                 f"-artifact_prefix={self.corpus}/", self.corpus], timeout=120, log=self.log)
        return "caught" if rc != 0 else "survived"

    def wine(self):
        """Caught only when the suite of every build fails; the shipped exe is
        built and run only when the twin's suite has failed."""
        for w in self.wins:
            if not self.build(w, ["torvane", "torvane_e2e"]):
                return "no build"
            rc = sh(["wine", f"{w}/bin/torvane_e2e.exe", "--gtest_brief=1", "--gtest_fail_fast"],
                    timeout=300, log=self.log)
            # Nothing a fault left running may meet the next one.
            sh(["wineserver", "-k"])
            if rc == 0:
                return "survived" + ("" if w == TWIN else SHIPPED_ONLY)
        return "caught"

    def baseline(self):
        """Built again first: the shipped exe is built only for a fault the twin
        caught, so it may still hold the last such fault."""
        return all(self.build(w, ["torvane", "torvane_e2e"]) and
                   sh(["wine", f"{w}/bin/torvane_e2e.exe", "--gtest_brief=1"], timeout=300,
                      log=self.log) == 0 for w in self.wins)

    def run(self, path):
        """The portable code is in the unit tests, the fuzz run and, through the
        program, the Wine tests; the Windows code only in the Wine tests."""
        if path.startswith(("src/win32/", "src/app/")):
            return self.wine()
        result = self.native()
        return self.wine() if result == "survived" else result


def equivalents():
    """The faults no test can tell apart from the code, as equivalent.txt
    lists them: "== FILE: EDIT (OPERATOR)", then "line:" the line as it
    stands and "why:" the reason."""
    out, entry = set(), None
    with open(os.path.join(ROOT, EQUIVALENT), encoding="utf-8") as f:
        lines = [l.rstrip("\n") for l in f] + ["== "]
    for l in lines:
        if l.startswith("== "):
            if entry is not None:
                if not entry.get("line") or not entry.get("why"):
                    sys.exit(f"mutants: {EQUIVALENT}: {entry['head']} needs a line: and a why:")
                where, _, rest = entry["head"].partition(": ")
                path = where.rsplit(":", 1)[0]  # the line number only helps a reader
                edit, _, op = rest.rpartition(" (")
                out.add((path, entry["line"], op.rstrip(")"), edit))
            entry = {"head": l[3:]} if l[3:] else None
        elif entry is not None and ":" in l:
            key, _, value = l.partition(":")
            entry[key.strip()] = value.strip()
    return out


def put_back():
    pending = os.path.join(ROOT, PENDING)
    if os.path.exists(pending):
        with open(pending, "rb") as f:
            path, _, data = f.read().partition(b"\0")
        with open(os.path.join(ROOT, path.decode()), "wb") as f:
            f.write(data)
        os.remove(pending)
        print(f"mutants: put back {path.decode()}, left changed by a run that was stopped")


def plant(fault, original):
    data = original.decode("utf-8")
    changed = data[: fault.start] + fault.replacement + data[fault.end:]
    with open(os.path.join(ROOT, PENDING), "wb") as f:
        f.write(fault.path.encode() + b"\0" + original)
    with open(os.path.join(ROOT, fault.path), "wb") as f:
        f.write(changed.encode("utf-8"))


def restore(fault, original):
    target = os.path.join(ROOT, fault.path)
    with open(target, "wb") as f:
        f.write(original)
    os.utime(target)  # newer than the mutant's objects, so they are rebuilt
    if os.path.exists(os.path.join(ROOT, PENDING)):
        os.remove(os.path.join(ROOT, PENDING))


def stop(*_):
    raise KeyboardInterrupt


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--seed", default="")
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--retry", help="a file of survivor lines as a run printed them: only those")
    args = ap.parse_args()
    seed = int(args.seed) if args.seed else int(time.time())
    os.chdir(ROOT)
    os.makedirs("build", exist_ok=True)
    put_back()
    signal.signal(signal.SIGTERM, stop)

    log = open(LOG, "w")
    runner = Runner(log)
    runner.configure()
    for folder, targets in [(NATIVE, ["torvane_unit_tests"]), (FUZZ, ["roundtrip_fuzz"])] + [
            (w, ["torvane", "torvane_e2e"]) for w in runner.wins]:
        if not runner.build(folder, targets):
            sys.exit(f"mutants: the {folder} build fails as it is (log: {LOG})")
    faults = draw.find(ROOT, [(NATIVE, None), (TWIN, "x86_64-w64-mingw32")])
    random.Random(seed).shuffle(faults)
    if args.retry:
        with open(args.retry, encoding="utf-8") as f:
            wanted = {l.strip().removeprefix("survived:").strip().removesuffix(SHIPPED_ONLY)
                      for l in f}
        # A run before faults of one line were told apart named them alike:
        # such a line brings back each of them.
        def named(line):
            return line in wanted or draw.NTH.sub("", line) in wanted
        faults = [f for f in faults if named(f"{f.where()}: {f.edit} ({f.operator})")]
        args.count = len(faults)
    skip = equivalents()
    # An entry that names no fault any more (its line changed) skips nothing.
    stale = skip - {(f.path, f.line_text, f.operator, f.edit) for f in faults}
    if stale and not args.retry:
        sys.exit("mutants: " + EQUIVALENT + " names faults that are not drawn any more:\n" +
                 "\n".join(f"  {p}: {e} ({o}), line: {l}" for p, l, o, e in sorted(stale)))
    print(f"mutants: seed {seed}, {args.count} of {len(faults)} faults in src/, tried {runner.where}")
    if args.list:
        for f in faults[: args.count]:
            print(f"  {f.where()}: {f.edit} ({f.operator})")
        return 0
    # Every suite must pass as it is, or every fault would count as caught.
    if runner.native() != "survived" or not runner.baseline():
        sys.exit(f"mutants: the tests fail without a fault (log: {LOG})")

    start = time.time()
    caught, survivors, tried, redrawn, equivalent = 0, [], 0, 0, 0
    for fault in faults:
        if tried == args.count:
            break
        if (fault.path, fault.line_text, fault.operator, fault.edit) in skip:
            equivalent += 1
            continue
        with open(fault.path, "rb") as f:
            original = f.read()
        print(f"== {fault.where()}: {fault.edit} ({fault.operator})", file=log, flush=True)
        try:
            plant(fault, original)
            result = runner.run(fault.path)
        finally:
            restore(fault, original)
        if result == "no build":
            redrawn += 1
            continue
        tried += 1
        line = f"{fault.where()}: {fault.edit} ({fault.operator})"
        if result == "caught":
            caught += 1
            print(f"caught    {line}", flush=True)
        else:
            survivors.append(line + result[len("survived"):])
            print(f"SURVIVED  {line}{result[len('survived'):]}", flush=True)
    minutes, seconds = divmod(int(time.time() - start), 60)
    print()
    # A fault that left the prefix or the files in a state where the tests
    # fail would have counted every fault after it as caught.
    if runner.native() != "survived" or not runner.baseline():
        print(f"mutants: the tests fail without a fault after the run: its counts are not to be "
              f"trusted (log: {LOG})")
        return 2
    print(f"mutants: seed {seed}: caught {caught} of {tried} in {minutes} min {seconds} s"
          f" ({redrawn} drawn again as they did not build, {equivalent} equivalent skipped; log: {LOG})")
    for s in survivors:
        print(f"  survived: {s}")
    return 0 if not survivors else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("\nmutants: stopped; the source is as it was")
        sys.exit(130)
