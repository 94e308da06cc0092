#!/usr/bin/env python3
"""Plants simple faults in a subsystem's sources one at a time and reports which the tests catch.

  tools/mutate.py SUBSYSTEM [--build build] [--count 10] [--seed 1] [--list FILE]

Each mutant flips a comparison, nudges a number, swaps + and -, or drops a statement; the tool
rebuilds the subsystem's test program, runs it, and always puts the source back. A mutant that does
not compile is reported and not counted. The pick is seeded, so a run before and after a change to
the tests sees the same mutants; --list saves them, and --list of an existing file replays it.
Without DISPLAY the tool starts a virtual X display of its own for the test runs. The tests must
pass before any fault is planted; a run that cannot even start them stops there.
"""
import argparse, json, os, random, re, signal, subprocess, sys, time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The platform layer is exercised through the sound and app tests too (MIDI devices, fonts).
TARGETS = {"platform": ["test_platform", "test_sound", "test_app"]}
OPS = [
    ("compare", re.compile(r" (<=|>=|==|!=|<|>) "),
     {"<=": "<", ">=": ">", "==": "!=", "!=": "==", "<": "<=", ">": ">="}),
    ("sign", re.compile(r" (\+|-|\+=|-=) "), {"+": "-", "-": "+", "+=": "-=", "-=": "+="}),
    ("number", re.compile(r"(?<![\w.])(\d+\.\d+|\d+)(?![\w.])"), None),
    ("drop", re.compile(r"^\s*[A-Za-z_][\w.\[\]>-]*(\(.*\)| [-+*/]?= .*);\s*$"), None),
]


def candidates(path):
    out = []
    lines = open(path).read().split("\n")
    for i, line in enumerate(lines):
        code = line.split("//")[0]
        if not code.strip() or code.lstrip().startswith(("#", "static_assert", "return")):
            continue
        for name, rx, table in OPS:
            if name == "drop":
                if rx.match(code):
                    out.append((i, line, ""))
                continue
            for m in rx.finditer(code):
                tok = m.group(1)
                if name == "number":
                    new = repr(float(tok) * 1.25) if "." in tok else str(int(tok) + 1)
                else:
                    new = table[tok]
                out.append((i, line, line[:m.start(1)] + new + line[m.end(1):]))
    return out


def pick(subsystem, count, seed):
    folder = os.path.join(ROOT, "src", subsystem)
    files = sorted(f for f in os.listdir(folder) if f.endswith(".cpp") and f != "main.cpp")
    pool = [(os.path.join("src", subsystem, f), i, old, new)
            for f in files for (i, old, new) in candidates(os.path.join(ROOT, "src", subsystem, f))]
    rng = random.Random(f"{subsystem}:{seed}")
    return [dict(file=f, line=i, old=old, new=new) for f, i, old, new in rng.sample(pool, min(count, len(pool)))]


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, start_new_session=True).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("subsystem")
    ap.add_argument("--build", default="build")
    ap.add_argument("--count", type=int, default=10)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--list")
    ap.add_argument("--timeout", type=int, default=300)
    a = ap.parse_args()
    if a.list and os.path.exists(a.list):
        mutants = json.load(open(a.list))
    else:
        mutants = pick(a.subsystem, a.count, a.seed)
        if a.list:
            json.dump(mutants, open(a.list, "w"), indent=1)
    targets = TARGETS.get(a.subsystem, ["test_" + a.subsystem])
    build = ["cmake", "--build", a.build, "-j2", "--target"] + targets
    state = {}
    if not os.environ.get("DISPLAY"):
        # -displayfd: the server picks a free display itself, so parallel runs never collide.
        r, w = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "2560x1920x24", "-nolisten",
                                   "tcp", "+extension", "GLX", "+extension", "RANDR"], pass_fds=[w],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        os.environ["DISPLAY"] = ":" + os.read(r, 16).decode().strip()
        state["server"] = server
    tests = [os.path.join(a.build, "tests", t) for t in targets]
    if run(build, 1200) != 0 or any(run([t], a.timeout) != 0 for t in tests):
        sys.exit("the tests do not build or pass without a planted fault")

    def restore(*_):
        if "path" in state:
            open(state["path"], "w").write(state["text"])
        if "server" in state:
            state["server"].terminate()
        sys.exit(1)
    signal.signal(signal.SIGINT, restore)
    signal.signal(signal.SIGTERM, restore)

    killed = total = 0
    for n, m in enumerate(mutants, 1):
        path = os.path.join(ROOT, m["file"])
        text = open(path).read()
        lines = text.split("\n")
        # Replays find the line by its text, so that unrelated edits above it do not matter.
        idx = m["line"] if m["line"] < len(lines) and lines[m["line"]] == m["old"] else (
            lines.index(m["old"]) if m["old"] in lines else None)
        label = f"{m['file']}:{m['line'] + 1}: {m['old'].strip()}  =>  {m['new'].strip() or '(dropped)'}"
        if idx is None:
            print(f"[{n}] missing  {label}", flush=True)
            continue
        state.update(path=path, text=text)
        lines[idx] = m["new"]
        open(path, "w").write("\n".join(lines))
        try:
            if run(build, 1200) != 0:
                verdict = "no-build"
            else:
                started = time.time()
                codes = [run([t], a.timeout) for t in tests]
                verdict = "killed" if any(c != 0 for c in codes) else "SURVIVED"
                verdict += f" ({time.time() - started:.0f}s)"
        finally:
            open(path, "w").write(text)
            state.pop("path", None)
        if not verdict.startswith("no-build"):
            total += 1
            killed += verdict.startswith("killed")
        print(f"[{n}] {verdict}  {label}", flush=True)
    run(build, 1200)  # leave the build matching the sources
    if "server" in state:
        state["server"].terminate()
    print(f"{a.subsystem}: killed {killed} of {total}", flush=True)


if __name__ == "__main__":
    main()
