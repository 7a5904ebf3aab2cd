"""The figures of bench/run, which builds the programs first: python3 bench/figures.py [--quick] [WORD...].
Each {CELL FIGURE...} of TABLES below is measured when its table is printed, a new figure being a new row.
A FIGURE is PROGRAM:LAYOUT. PROGRAM is native (out/release/), wine (Tolvane.exe of out/windows/ in the Wine
prefix of the tests, out/wineprefix/: do not run this while the Wine tests run) or tools (the script's two
tool commands, run directly). LAYOUT is NAME-ARG, laid out by the function NAME below in a drive C: of its
own (under Wine, C:\\bench links to it). Times are hyperfine's, peak memory is /usr/bin/time's and
instructions are callgrind's. A difference is "not resolved" when the 25th to 75th percentiles of the runs
of its two sides overlap."""
import json, os, random, re, shlex, shutil, statistics, subprocess, sys, tempfile, time
from pathlib import Path

TABLES = r"""
**Typical run** (IDE 1.0's layout: preferences, sketch, tools, script and both listings)
| Run | Median time (25th to 75th percentile) |
| Tolvane, the whole run | {time native:typical} |
| The script's two tool commands alone, same ELF file | {time tools:typical} |
| Ratio, whole run / tools alone | {ratio native:typical tools:typical} |
| The program's own share of the whole run | {share native:typical tools:typical} |

**The program's own instructions** (callgrind; the tools it starts are not counted)
| Path | Instructions |
| Typical run | {instr native:typical} |
| Help text | {instr native:typical /?} |

**Preferences files** (read to the end; the build path, on the last line, names an empty folder)
| File | Lines | Median time (25th to 75th percentile) | Throughput | Peak memory |
| 1 MB | {fact prefs-1 lines} | {time native:prefs-1} | {rate native:prefs-1} | {peak native:prefs-1} |
| 10 MB | {fact prefs-10 lines} | {time native:prefs-10} | {rate native:prefs-10} | {peak native:prefs-10} |
| 100 MB | {fact prefs-100 lines} | {time native:prefs-100} | {rate native:prefs-100} | {peak native:prefs-100} |

**The 10 MB file, natively and as Tolvane.exe under Wine** (a file of one line gives the cost of starting)
| Program | One line | 10 MB | Reading the 10 MB alone |
| Native | {time native:prefs-0} | {time native:prefs-10} | {diff native:prefs-10 native:prefs-0} |
| Tolvane.exe under Wine | {time wine:prefs-0} | {time wine:prefs-10} | {diff wine:prefs-10 wine:prefs-0} ({vs wine:prefs-10 wine:prefs-0 native:prefs-10 native:prefs-0}) |

**Build folders** (the ELF file listed last or nearly; the run stops at the missing tools)
| Entries | ELF file's place in the listing | Median time (25th to 75th percentile) | Peak memory |
| 1,000 | {fact entries-1000 place} | {time native:entries-1000} | {peak native:entries-1000} |
| 10,000 | {fact entries-10000 place} | {time native:entries-10000} | {peak native:entries-10000} |
| 100,000 | {fact entries-100000 place} | {time native:entries-100000} | {peak native:entries-100000} |

**The newest build among 20,000 entries of a temporary folder, 300 of them build folders** (no preferences file; the run stops at the missing tools; a run in an empty temporary folder, which finds no build, gives the cost of starting)
| Program | Empty temporary folder | 20,000 entries | The search alone |
| Native | {time native:temp-empty} | {time native:temp-20000} | {diff native:temp-20000 native:temp-empty} |
| Tolvane.exe under Wine | {time wine:temp-empty} | {time wine:temp-20000} | {diff wine:temp-20000 wine:temp-empty} ({vs wine:temp-20000 wine:temp-empty native:temp-20000 native:temp-empty}) |
| Native, instructions (callgrind) | {instr native:temp-empty} | {instr native:temp-20000} | {instrs native:temp-20000 native:temp-empty} |

**The build's compile_commands.json, one entry against {fact records-5 bytes} bytes** (the whole run, its tools found through the file's first entry; the tools do nothing)
| Program | One entry | 5 MB | Difference |
| Native | {time native:records-0} | {time native:records-5} | {diff native:records-5 native:records-0} |
| Tolvane.exe under Wine | {time wine:records-0} | {time wine:records-5} | {diff wine:records-5 wine:records-0} |
| Native, instructions (callgrind) | {instr native:records-0} | {instr native:records-5} | {instrs native:records-5 native:records-0} |
"""
QUICK_LEAVES_OUT = r"\b(prefs-100|entries-100000)\b"
words = [word for word in sys.argv[1:] if word != "--quick"]
quick, TURNS = (True, 2) if len(words) < len(sys.argv) - 1 else (False, 6)  # of 5 runs of each figure
SRC = Path(__file__).resolve().parent.parent
ELF, NATIVE = SRC / "examples/blink/blink.cpp.elf", SRC / "out/release/tolvane"
WINE = ["wine", "cmd", "/c", r"C:\bench.cmd"]
BASE = {"AppData": r"C:\bench\appdata", "HomeDrive": "C:", "HomePath": r"\bench\home"}  # and a layout's own
BOOK = {"bench/build/blink.cpp.elf": ELF.read_bytes(), "bench/book/sketches/blink/blink.ino": b""}
work, wine_c = Path(tempfile.mkdtemp(prefix="tolvane-bench-")), None  # below $TMPDIR or /tmp; Wine's drive C:
laid_out, measured = {}, {}  # layout (under Wine, its figure) -> its facts; figure -> its times in ms
out = lambda *command: subprocess.run([str(p) for p in command], capture_output=True, text=True).stdout.strip()
run = lambda *command, **kw: subprocess.run([str(p) for p in command], check=True, stdin=subprocess.DEVNULL, **kw)
preferences = lambda *lines: {"bench/appdata/Arduino/preferences.txt": "".join(line + "\r\n" for line in lines)}
arduino = lambda c: c / ("Program Files" if c == wine_c else "program files") / "arduino"  # where IDE 1.0 is

def expect(ok, what):
    ok or sys.exit(f"bench: {what}")

def lay(c, files):  # FILES: name below drive C: -> bytes, text, or a Path to link to; a name ending in / a folder
    for name, data in files.items():
        (c / name).parent.mkdir(parents=True, exist_ok=True)
        if str(name).endswith("/"):
            (c / name).mkdir(exist_ok=True)
        elif isinstance(data, Path):
            (c / name).symlink_to(data)
        else:
            (c / name).write_bytes(data.encode() if isinstance(data, str) else data)

def tools(c, folder=None, native=("/usr/bin/avr-objdump", "/usr/bin/avr-readelf")):  # under Wine, hostname.exe
    standin = wine_c and (wine_c / "windows/system32/hostname.exe").read_bytes()
    return {f"{folder or arduino(c) / 'hardware/tools/avr/bin'}/avr-{name}.exe": standin if c == wine_c
            else Path(target) for name, target in zip(("objdump", "readelf"), native)}

def command(facts):  # how the program runs on a layout: its words, folder and environment
    if facts["c"] == wine_c:  # C:\bench.cmd sets the layout's variables; Wine sets the others
        exe = "Z:" + str(SRC / "out/windows/Tolvane.exe").replace("/", "\\")
        lines = ["@echo off", *(f'set "{k}={v}"' for k, v in facts["env"].items()), r"cd /d C:\bench", f'"{exe}"']
        lay(wine_c, {"bench.cmd": "\r\n".join(lines) + "\r\n"})
        return WINE, wine_c, None
    names = "appdata localappdata tmp temp userprofile homedrive homepath".split()  # the variables it reads
    env = {k: v for k, v in os.environ.items() if k.lower() not in names}
    return [NATIVE], facts["c"] / "bench", {**env, "TOLVANE_DRIVES": str(facts["c"].parent), **facts["env"]}

def once(facts, *prefix, args=()):  # one run after PREFIX, and what it printed (into a file, as Wine's
    words, folder, env = command(facts)  # services would hold a pipe open)
    with open(work / "output", "wb") as output:
        subprocess.run([str(word) for word in (*prefix, *words, *args)], cwd=folder, env=env, stdout=output,
                       stderr=output, stdin=subprocess.DEVNULL)
    return (work / "output").read_text(errors="replace")

# --- Layouts: each fills drive C: and returns its environment and its facts

def typical(c, _):  # IDE 1.0's: preferences with build.path and sketchbook.path, the tools where the IDE is
    lay(c, {**BOOK, "bench/book/sketches/blink/blink.ino": (SRC / "examples/blink/blink.ino").read_bytes(),
            "bench/home/": "", **tools(c), **preferences("editor.font=Monospaced,plain,12",
            r"build.path=C:\bench\build", r"sketchbook.path=C:\bench\book", "upload.verify=true")})
    once({"c": c, "env": BASE})
    listings = [c / f"bench/book/sketches/blink/blink.{kind}.txt" for kind in ("asm", "hrd")]
    expect(all(os.path.getsize(listing) for listing in listings), "the typical run wrote empty listings")
    return {"env": BASE}

def prefs(c, megabytes):  # MEGABYTES of lines like the IDE's, then the build path, an empty folder
    lines, left = [], int(megabytes) * 2**20 - 64
    while left > 0:
        lines.append(f"editor.setting.{len(lines):08d}=value {len(lines) * 7}")
        left -= len(lines[-1]) + 2
    lay(c, {"bench/empty/": "", **preferences(*lines, r"build.path=C:\bench\empty")})
    return {"env": BASE, "bytes": os.path.getsize(c / "bench/appdata/Arduino/preferences.txt"), "lines": len(lines) + 1}

def entries(c, count):  # a build folder of COUNT entries, the ELF file listed last, or as near as 300 names allow
    lay(c, {"bench/build/": "", **{f"empty{i}": "" for i in range(4)}})  # the others: links to empty files
    for i in range(1, int(count)):
        os.link(c / f"empty{i % 4}", c / f"bench/build/object{i}.o")
    place, name = 0, "none"
    for new in (f"sketch{attempt}.cpp.elf" for attempt in range(300)):
        shutil.copy(ELF, c / "bench/build" / new)
        new_place = os.listdir(c / "bench/build").index(new) + 1
        (c / "bench/build" / (name if new_place > place else new)).unlink(missing_ok=True)
        place, name = (new_place, new) if new_place > place else (place, name)
        if place == int(count):
            break
    lay(c, {f"bench/book/sketches/{name[:-8]}/{name[:-8]}.ino": "",
            **preferences(r"build.path=C:\bench\build", r"sketchbook.path=C:\bench\book")})
    return {"env": BASE, "place": place}

OPTIONS = json.dumps({  # build.options.json as IDE 1.8 writes it
    "builtInToolsFolders": r"C:\Program Files (x86)\Arduino\hardware\tools\avr", "fqbn": "arduino:avr:uno",
    "runtime.ide.version": "10819", "sketchLocation": r"C:\bench\sketches\@\@.ino"}, indent=2) + "\n"
BUILD = "@.ino.hex @.ino.eep includes.cache core/core.a sketch/@.ino.cpp sketch/@.ino.cpp.o libraries/ " \
        "preproc/ctags_target_for_gcc_minus_e.cpp"  # with @.ino.elf and build.options.json
BUILDS = (["arduino_build_D6"] * 200 + ["arduino-sketch-H32"] * 50  # IDE 1.6 to 1.8; the first 2.0 releases
          + ["buildD19.tmp"] * 20 + ["arduino/sketches/H32"] * 30)  # IDE 1.0; IDE 2.0 to 2.2
OTHERS = ("2500 {H8-H4-H4-H4-H12}/ 1500 h8-h4-h4-h4-h12/ 2000 ~DFH16.TMP 1500 wctH4.tmp 600 aria-debug-D5.log "
          "11149 tmpH4.tmp 150 arduino_cache_D9/ 100 arduino_modified_sketch_D9/ 50 arduino-ide2-D9/ 50 jna--D9/ "
          "100 chrome_BITS_D9/").split()  # and the folder arduino: 19,700; H4 is four hex digits, D5 five decimal

def temp(c, what):  # no preferences file; the temporary folder empty, or of 20,000 entries: 300 build folders as
    env = {**BASE, "AppData": r"C:\bench\none", "LocalAppData": r"C:\bench\local", "TMP": r"C:\bench\temp",
           "TEMP": r"C:\bench\temp"}  # the IDEs leave them, each of its own time, and the 19,700 OTHERS
    lay(c, {"bench/local/": "", "bench/temp/": ""})
    if what == "empty":
        return {"env": env}
    rnd, taken, newest = random.Random(20000), set(), None
    digits = {"H": "0123456789ABCDEF", "h": "0123456789abcdef", "D": "0123456789"}
    def fresh(pattern):  # a name not yet taken, in any letter case
        while (name := re.sub(r"([HhD])(\d+)", lambda m: "".join(rnd.choices(digits[m[1]], k=int(m[2]))),
                              pattern)).lower() in taken:
            pass
        return taken.add(name.lower()) or name
    for age, folder in zip(rnd.sample(range(300), 300), map(fresh, BUILDS)):
        sketch, when, d = rnd.choice(["Blink", "Fade", "servo_sweep"]), 1795000000 - age * 3607, f"bench/temp/{folder}"
        lay(c, {**{f"{d}/{name}": "" for name in BUILD.replace("@", sketch).split()},
                f"{d}/{sketch}.ino.elf": ELF.read_bytes(), f"{d}/build.options.json": OPTIONS.replace("@", sketch)})
        for path in [*(c / d).glob("*/*"), *(c / d).glob("*"), c / d]:
            os.utime(path, (when, when))
        newest = (rf"C:\{d}\{sketch}.ino.elf".replace("/", "\\"), sketch) if age == 0 else newest
    lay(c, {f"bench/temp/{fresh(p.rstrip('/'))}{p[-1] * (p[-1] == '/')}": ""
            for n, p in zip(OTHERS[::2], OTHERS[1::2]) for _ in range(int(n))})
    lay(c, {**tools(c), f"bench/sketches/{newest[1]}/{newest[1]}.ino": ""})  # with tools, a run says what it takes
    said = re.search(r"^Taking the newest build: (.*?)\r?$", once({"c": c, "env": env}), re.M)
    expect(said and said[1] == newest[0], f"the program took {said and said[1]}, not the newest {newest[0]}")
    shutil.rmtree(arduino(c)), shutil.rmtree(c / "bench/sketches")
    return {"env": env}

def records(c, megabytes):  # a build whose compile_commands.json, one entry or MEGABYTES, names tools that do nothing
    arguments = [r"C:\bench\gcc/bin/avr-g++", "-c", "-g", "-Os", r"-IC:\bench\libraries\Servo\src", "-mmcu=atmega328p"]
    entry = json.dumps({"directory": r"C:\bench\build", "arguments": arguments,
                        "file": r"C:\bench\build\sketch\blink.ino.cpp"}, indent=4)
    count = 1 - (len(entry) - int(megabytes) * 2**20) // (len(entry) + 2)
    lay(c, {**BOOK, **tools(c, "bench/gcc/bin", ("/bin/true", "/bin/true")), "bench/build/compile_commands.json":
            "[\n" + ",\n".join([entry] * count) + "\n]\n",
            **preferences(r"build.path=C:\bench\build", r"sketchbook.path=C:\bench\book")})
    once({"c": c, "env": BASE})
    script = (c / "bench/book/sketches/blink/blink_dump.cmd").read_text(errors="replace")
    expect(r"C:\bench\gcc\bin\avr-objdump.exe" in script, "the script does not name the records' tools")
    return {"env": BASE, "bytes": os.path.getsize(c / "bench/build/compile_commands.json")}

# --- Figures

def lay_out(figure):  # FIGURE's layout, laid out when it is not
    global wine_c
    program, layout = figure.split(":")
    if program == "wine" and not wine_c:  # the prefix of the tests, with one server for every run
        os.environ.update(WINEPREFIX=str(SRC / "out/wineprefix"), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        run(SRC / "tests/make-wine-prefix", os.environ["WINEPREFIX"], stdout=subprocess.DEVNULL)
        run("wineserver", "-p30")
        wine_c = SRC / "out/wineprefix/drive_c"
        for folder in ("Program Files (x86)/Arduino", "Program Files/Arduino", "Arduino", "bin/Arduino"):
            shutil.rmtree(wine_c / folder, ignore_errors=True)  # the tests' tools: the runs stop without them
        shutil.rmtree(wine_c / "bench", ignore_errors=True)
    if program == "wine":  # C:\bench is a link to the layout's own folder
        (wine_c / "bench").unlink(missing_ok=True)
        (wine_c / "bench").symlink_to(work / "wine" / layout)
        (work / "wine" / layout).mkdir(parents=True, exist_ok=True)
    key = figure if program == "wine" else layout
    if key not in laid_out:
        c = wine_c if program == "wine" else work / layout / "c"
        laid_out[key] = {**globals()[layout.split("-")[0]](c, layout.partition("-")[2]), "c": c}
    return laid_out[key]

def measure(table):  # TABLE's timed figures anew, in turns of 5 runs each, so that a change of load falls on all
    figures = re.findall(r"\{(?:time|diff|ratio|share|vs|rate) ([^}]*)\}", table)
    measured.clear()
    for turn in range(TURNS):
        for figure in dict.fromkeys(" ".join(figures).split()):
            measured.setdefault(figure, []).extend(hyperfine(figure, f"turn {turn + 1} of {TURNS}"))

def hyperfine(figure, turn):  # the times of 5 runs of FIGURE after a warm-up, in milliseconds
    print(f"bench: {figure}, {turn}", file=sys.stderr)
    words, folder, env = command(facts := lay_out(figure))
    shell, line = "-N", shlex.join(map(str, words))
    if figure.startswith("tools:"):  # the script's two lines, by the shell, whose start hyperfine takes off
        shell, line = "--shell=sh", " && ".join(
            f"{shlex.quote(tool)} {option} build/blink.cpp.elf >book/sketches/blink/blink.{kind}.txt"
            for tool, option, kind in zip(tools(facts["c"]), ("-S", "-e"), ("asm", "hrd")))
    result = subprocess.run(["hyperfine", shell, "-i", "--style", "none", "-r", "5", "-w", "1", "--export-json",
                             work / "times.json", line], cwd=folder, env=env, capture_output=True)
    expect(result.returncode == 0, f"hyperfine failed on {figure}: {result.stderr.decode(errors='replace')}")
    runs = json.loads((work / "times.json").read_text())["results"][0]
    len(set(runs["exit_codes"])) == 1 or print(f"bench: {figure}: exit codes {runs['exit_codes']}", file=sys.stderr)
    return [t * 1000 for t in runs["times"]]

def instructions(figure, *args):  # callgrind does not follow the tools that the program starts
    once(lay_out(figure), "valgrind", "--tool=callgrind", f"--callgrind-out-file={work}/callgrind", args=args)
    return int(re.search(r"^(?:summary|totals): *(\d+)", (work / "callgrind").read_text(), re.M)[1])

def peak(figure):  # in KiB
    once(lay_out(figure), "/usr/bin/time", "-f", "%M", "-o", work / "peak")
    return int((work / "peak").read_text().split()[-1])

quartiles = lambda figure: statistics.quantiles(measured[figure], n=4, method="inclusive")
median = lambda figure: quartiles(figure)[1]
apart = lambda a, b: quartiles(a)[2] < quartiles(b)[0] or quartiles(b)[2] < quartiles(a)[0]  # the rule
resolved = lambda a, b, text: text + ("" if apart(a, b) else ", not resolved (the 25th to 75th percentiles overlap)")
CELLS = {
    "time": lambda f: "{1:.3f} ms ({0:.3f} to {2:.3f})".format(*quartiles(f)),
    "diff": lambda a, b: resolved(a, b, f"{median(a) - median(b):.1f} ms"),
    "ratio": lambda a, b: f"{median(a) / median(b):.2f}",
    "share": lambda a, b: resolved(a, b, f"{(median(a) - median(b)) / median(a) * 100:.1f} %"),
    "vs": lambda a, b, c, d: f"{(median(a) - median(b)) / (median(c) - median(d)):.2f} times {c.split(':')[0]}"
    if apart(a, b) and apart(c, d) else "no ratio",
    "peak": lambda f: f"{peak(f):,} KiB",
    "instr": lambda f, *args: f"{instructions(f, *args):,}",
    "instrs": lambda a, b: f"{instructions(a) - instructions(b):,}",
    "rate": lambda f: f"{lay_out(f)['bytes'] / 2**20 / median(f) * 1000:.0f} MB/s",
    "fact": lambda layout, key: f"{lay_out('native:' + layout)[key]:,}",
}

try:
    expect(not any(word.startswith("-") for word in words), "usage: bench/run [--quick] [WORD...]")
    cpu = re.search(r"model name\s*: (.*)", Path("/proc/cpuinfo").read_text())[1]
    memory = os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE") / 2**30
    version = re.search(r"CMAKE_PROJECT_VERSION:STATIC=(.*)", (SRC / "out/release/CMakeCache.txt").read_text())[1]
    print(f"Machine: {cpu}, {os.cpu_count()} cores, {memory:.0f} GiB; Linux {os.uname().release}; scratch folder on "
          f"{out('df', '--output=fstype', work).split()[-1]}; {out('g++', '--version').splitlines()[0]}, Release build "
          f"(-O3); {out('hyperfine', '--version')}, {TURNS * 5} runs of each figure in turns of 5 after a warm-up "
          f"run; the caller's environment of {len(os.environ)} variables. {time.strftime('%Y-%m-%d')}, Tolvane "
          f"{version}; load average {os.getloadavg()[0]:.1f} at the start.")
    for table in TABLES.strip().split("\n\n"):
        title, header, *rows = [row for row in table.splitlines() if not (quick and re.search(QUICK_LEAVES_OUT, row))]
        if not words or any(word.lower() in title.lower() for word in words):
            text = "\n".join([title, "", header, "| --- |" + " ---: |" * (header.count("|") - 2), *rows])
            measure(text)
            print("\n" + re.sub(r"\{(\w+) ([^}]*)\}", lambda m: CELLS[m[1]](*m[2].split()), text), flush=True)
    print(f"\nLoad average {os.getloadavg()[0]:.1f} at the end.")
finally:
    shutil.rmtree(work, ignore_errors=True)
    wine_c and ((wine_c / "bench").unlink(missing_ok=True), (wine_c / "bench.cmd").unlink(missing_ok=True))
