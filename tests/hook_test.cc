// Tolvane.exe run by the builder's own hook after every Verify, with the very
// line that the README gives for platform.local.txt.
//
// Debian's arduino-builder builds the IDE's Blink sketch against a copy of the
// AVR core whose platform.local.txt holds the README's line, with the build
// folder in the Wine prefix's temporary folder and the sketch in the user's
// Documents\Arduino there. The builder splits the line into arguments and
// starts "cmd"; a stand-in on PATH hands them to Wine's cmd.exe. Wine puts
// the arguments together into one command line as Go (the IDE's builder) does
// on Windows: of this line's arguments only the path, which holds a space, gets
// quotes. So Wine's cmd.exe gets the command line that cmd.exe gets on
// Windows, and Tolvane.exe runs where the line names it. Each step edits the sketch and builds it;
// the Verify must succeed, and the builder must show, without verbose output, Tolvane's message:
// first with no tools (Tolvane fails), then twice with the tools, each time leaving the listings of
// that very build beside the sketch.
//
// CTest sets WINEPREFIX, TOLVANE_SOURCE_DIR and TOLVANE_EXE. The build's
// build.options.json names the sketch by its Linux path, which Wine's programs
// open as a path of drive Z:, so the files land in the same folder as they
// would on Windows.
//
// What it cannot show: how Windows' own cmd.exe takes that command line (Wine's
// follows the same quoting rules for /c), and how the builders of IDE 1.8.19
// and IDE 2 show a hook's output; this is Debian's arduino-builder 1.3.25.
#include <gtest/gtest.h>

namespace {

// The test's folders, named by its process id ($PPID), so that no command line
// of a script holds the prefix's path: Wine's cmd does not wait for the tools'
// stand-ins, and a Verify waits until no process names the prefix. s: scratch;
// c: drive C:; h: the user's folder that Wine made, with Temp in it; k: the
// sketch, in the prefix's own Documents (a folder outside it stops the test); b: the build; t: an
// install folder of the tools; x: the README's line; e: the folder where it names Tolvane.exe.
const char kFolders[] =
    R"x(export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= c=$WINEPREFIX/drive_c
s=${TMPDIR:-/tmp}/tolvane-hook$PPID h=$(echo "$c"/users/*/Temp); h=${h%/Temp} t="$c/Program Files/Arduino"
k=$h/Documents/Arduino/Blink b=$h/Temp/arduino_build_$PPID x=$(grep -m1 '^recipe\.hooks\.' "$TOLVANE_SOURCE_DIR/README.md")
e=$c/$(printf %s "$x" | sed 's/.*"C:\\\(.*\)\\Tolvane.exe".*/\1/' | tr '\\' /)
case $(realpath -m "$k") in "$(realpath "$WINEPREFIX")"/*) ;; *) echo "the sketch is outside the prefix: $k"; exit 1;; esac
)x";

// Tolvane.exe where the README's line names it, a copy of the AVR core with
// that line in its platform.local.txt, the "cmd" stand-in, and the tools:
// stand-ins that run binutils-avr on the host paths of their C:\ arguments.
const char kSetUp[] =
    R"x(set -e; rm -rf "$c/Program Files (x86)/Arduino" "$t" "$c/Arduino" "$c/bin/Arduino" "$k"; mkdir -p "$s/bin" "$s/hw/arduino" "$s/avr/bin" "$b" "$k" "$e"; cp "$TOLVANE_EXE" "$e"
cp -rs /usr/share/arduino/hardware/arduino/avr "$s/hw/arduino/"; printf '%s\n' "$x" >"$s/hw/arduino/avr/platform.local.txt"
printf '#!/bin/sh\nexec wine cmd "$@"\n' >"$s/bin/cmd"; cat >"$s/avr/bin/avr-objdump.exe" <<'EOF'
#!/bin/sh
c=${0%%/Program Files/*}; n=${0##*/}
for a; do case $a in [Cc]:*) a=$c$(printf %s "${a#??}" | tr '\\' /);; esac; set -- "$@" "$a"; shift; done
exec env LC_ALL=C /usr/bin/${n%.exe} "$@"
EOF
cp "$s/avr/bin/avr-objdump.exe" "$s/avr/bin/avr-readelf.exe"; chmod +x "$s"/bin/* "$s"/avr/bin/*)x";

// A Verify of the sketch with its delay(1000) made delay($n), the tools in
// place when $tools is set; then the sketch's folder, and with the tools
// whether the listings are those of the build just made.
const char kVerify[] =
    R"x([ -z "$tools" ] || { mkdir -p "$t/hardware/tools"; cp -rT "$s/avr" "$t/hardware/tools/avr"; }
sed "s/1000/$n/g" "$TOLVANE_SOURCE_DIR/examples/arduino-blink/Blink.ino" >"$k/Blink.ino"
PATH=$s/bin:$PATH timeout 300 arduino-builder -compile -hardware "$s/hw" -hardware /usr/share/arduino-builder -tools /usr/share/arduino-builder -fqbn arduino:avr:uno -core-api-version 10819 -prefs=compiler.cpp.extra_flags=-DDECIMAL_DIG=17 -build-path "$b" "$k/Blink.ino"
echo "built: $?"; i=0; while [ $i -lt 600 ] && pgrep -f "[/]${WINEPREFIX#/}" >/dev/null; do sleep 0.05; i=$((i+1)); done
LC_ALL=C ls "$k"; [ -z "$tools" ] || { grep -q "delay($n)" "$k/Blink.asm.txt" && LC_ALL=C avr-objdump -S "$b/Blink.ino.elf" |
sed 2d >"$s/asm" && sed 2d "$k/Blink.asm.txt" | cmp - "$s/asm" && LC_ALL=C avr-readelf -e "$b/Blink.ino.elf" | cmp - "$k/Blink.hrd.txt"; })x";

// Runs |script| in sh after kFolders; gives its standard output and error,
// then its status as "<status>".
std::string run(const std::string& script) {
  FILE* pipe = popen(("{ " + (kFolders + script) + "\n} 2>&1; echo \"<$?>\"").c_str(), "r");
  std::string out;
  for (int c; (c = fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  pclose(pipe);
  return out;
}

TEST(Hook, EachVerifyWritesTheListingsAndAFailureIsShown) {
  EXPECT_EQ("<0>\n", run(kSetUp));
  // Without tools Tolvane fails; the Verify must still succeed and show its message. With them
  // each Verify leaves the listings of its own build.
  const std::string all =
      "built: 0\nBlink.asm.txt\nBlink.hrd.txt\nBlink.ino\nBlink_dump.cmd\n<0>\n";
  const std::string taken = "Taking the newest build: C:\\users\\";
  // clang-format off
  const struct { std::string set, shown, end; } steps[] = {
      {"n=500 tools=", "**ERROR** Can not find 'avr-objdump.exe'.\r\nSearched:\r\n", "built: 0\nBlink.ino\n<0>\n"},
      {"n=250 tools=1", taken, all}, {"n=125 tools=1", taken, all}};
  // clang-format on
  for (const auto& step : steps) {
    const std::string out = run(step.set + "; " + kVerify);
    EXPECT_NE(std::string::npos, out.find(step.shown)) << step.set << "\n" << out;
    EXPECT_EQ(step.end, out.substr(std::min(out.rfind("built: "), out.size()))) << out;
  }
  EXPECT_EQ("<0>\n", run(R"x(rm -rf "$s" "$b" "$k" "$t" "$e")x"));
}

}  // namespace
