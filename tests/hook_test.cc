// Tolvane.exe run by the builder's own hook after every Verify, with the line
// that Tolvane itself names after a run in a console of its own.
//
// Debian's arduino-builder builds the IDE's Blink sketch against a copy of the
// AVR core whose platform.txt has a hook of its own at the same step, with the
// build folder in the Wine prefix's temporary folder and the sketch in the
// user's Documents\Arduino there. After the first Verify, Tolvane.exe runs as
// a terminal's own program (in tmux), as when double-clicked; the test writes
// the line that it prints into the platform.local.txt that it names. The
// builder splits the line into arguments and starts "cmd"; a stand-in on PATH
// hands them to Wine's cmd.exe. Wine puts the arguments together into one
// command line as Go (the IDE's builder) does on Windows: of this line's
// arguments only the path, which holds a space, gets quotes. So Wine's cmd.exe
// gets the command line that cmd.exe gets on Windows, and Tolvane.exe runs
// where the line names it. Each later step edits the sketch and builds it; the
// Verify must succeed, the core's own hook must still run, and the builder must
// show, without verbose output, Tolvane's message: first with no tools (Tolvane
// fails), then with them, leaving the listings of that very build beside the
// sketch.
//
// CTest sets WINEPREFIX, TOLVANE_SOURCE_DIR and TOLVANE_EXE. The build's
// records name the sketch and the core by their Linux paths, which Wine's
// programs open as paths of drive Z:, so the files land in the same folders as
// they would on Windows.
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
// install folder of the tools; e: Tolvane.exe's folder; m: the test's tmux.
const char kFolders[] =
    R"x(export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= c=$WINEPREFIX/drive_c
s=${TMPDIR:-/tmp}/tolvane-hook$PPID h=$(echo "$c"/users/*/Temp); h=${h%/Temp} t="$c/Program Files/Arduino"
k=$h/Documents/Arduino/Blink b=$h/Temp/arduino_build_$PPID e="$c/Program Files/Tolvane" m="tmux -L tolvane-hook$PPID"
case $(realpath -m "$k") in "$(realpath "$WINEPREFIX")"/*) ;; *) echo "the sketch is outside the prefix: $k"; exit 1;; esac
)x";

// Tolvane.exe in Program Files, a copy of the AVR core whose platform.txt has a
// postobjcopy.1 hook that leaves a file in the build folder, the "cmd"
// stand-in, and the tools: stand-ins that run binutils-avr on the host paths
// of their C:\ arguments.
const char kSetUp[] =
    R"x(set -e; rm -rf "$c/Program Files (x86)/Arduino" "$t" "$c/Arduino" "$c/bin/Arduino" "$k"; mkdir -p "$s/bin" "$s/hw/arduino" "$s/avr/bin" "$b" "$k" "$e"; cp "$TOLVANE_EXE" "$e"
cp -rs /usr/share/arduino/hardware/arduino/avr "$s/hw/arduino/"; rm "$s/hw/arduino/avr/platform.txt"
{ cat /usr/share/arduino/hardware/arduino/avr/platform.txt; echo 'recipe.hooks.objcopy.postobjcopy.1.pattern=touch "{build.path}/core-hook"'; } >"$s/hw/arduino/avr/platform.txt"
printf '#!/bin/sh\nexec wine cmd "$@"\n' >"$s/bin/cmd"; cat >"$s/avr/bin/avr-objdump.exe" <<'EOF'
#!/bin/sh
c=${0%%/Program Files/*}; n=${0##*/}
for a; do case $a in [Cc]:*) a=$c$(printf %s "${a#??}" | tr '\\' /);; esac; set -- "$@" "$a"; shift; done
exec env LC_ALL=C /usr/bin/${n%.exe} "$@"
EOF
cp "$s/avr/bin/avr-objdump.exe" "$s/avr/bin/avr-readelf.exe"; chmod +x "$s"/bin/* "$s"/avr/bin/*)x";

// A Verify of the sketch with its delay(1000) made delay($n), the tools in
// place when $tools is set; then whether the core's own hook ran, the sketch's
// folder, and with the tools whether the listings are those of the build just
// made.
const char kVerify[] =
    R"x(rm -rf "$t/hardware/tools" "$b/core-hook"; [ -z "$tools" ] || { mkdir -p "$t/hardware/tools"; cp -rT "$s/avr" "$t/hardware/tools/avr"; }
sed "s/1000/$n/g" "$TOLVANE_SOURCE_DIR/examples/arduino-blink/Blink.ino" >"$k/Blink.ino"
PATH=$s/bin:$PATH timeout 300 arduino-builder -compile -hardware "$s/hw" -hardware /usr/share/arduino-builder -tools /usr/share/arduino-builder -fqbn arduino:avr:uno -core-api-version 10819 -prefs=compiler.cpp.extra_flags=-DDECIMAL_DIG=17 -build-path "$b" "$k/Blink.ino"
echo "built: $?"; i=0; while [ $i -lt 600 ] && pgrep -f "[/]${WINEPREFIX#/}" >/dev/null; do sleep 0.05; i=$((i+1)); done
[ -e "$b/core-hook" ] && echo "the core's hook ran"; LC_ALL=C ls "$k"; [ -z "$tools" ] || { grep -q "delay($n)" "$k/Blink.asm.txt" && LC_ALL=C avr-objdump -S "$b/Blink.ino.elf" |
sed 2d >"$s/asm" && sed 2d "$k/Blink.asm.txt" | cmp - "$s/asm" && LC_ALL=C avr-readelf -e "$b/Blink.ino.elf" | cmp - "$k/Blink.hrd.txt"; })x";

// Tolvane.exe double-clicked, with the tools in place, as a terminal's own
// program, from drive Z:; a key ends its wait. When the file that it names is the core copy's
// platform.local.txt, that file gets the hook line that it printed, with
// Notepad's line end, and the line is shown.
const char kDoubleClick[] =
    R"x(mkdir -p "$t/hardware/tools"; cp -rT "$s/avr" "$t/hardware/tools/avr"
$m new-session -d -x 250 -y 50 -s h "cd '$s' && timeout -s KILL 60 wine 'C:\\Program Files\\Tolvane\\Tolvane.exe' 2>/dev/null; touch '$s/ended'"
i=0; while [ $i -lt 600 ] && ! $m capture-pane -J -p -t h | grep -q '^Press a key'; do sleep 0.05; i=$((i+1)); done
$m capture-pane -J -p -t h >"$s/screen"; $m send-keys -t h x; i=0; while [ $i -lt 600 ] && [ ! -e "$s/ended" ]; do sleep 0.05; i=$((i+1)); done
$m kill-server; f=$(grep -A1 'add the line below to this file:$' "$s/screen" | sed -n 2p); l=$(grep '^recipe\.hooks\.' "$s/screen")
[ "$f" = "Z:$(printf %s "$s/hw/arduino/avr/platform.local.txt" | tr / '\\')" ] || { cat "$s/screen"; exit 1; }
printf '%s\r\n' "$l" >"$s/hw/arduino/avr/platform.local.txt"; echo "$l")x";

// Runs |script| in sh after kFolders; gives its standard output and error,
// then its status as "<status>".
std::string run(const std::string& script) {
  FILE* pipe = popen(("{ " + (kFolders + script) + "\n} 2>&1; echo \"<$?>\"").c_str(), "r");
  std::string out;
  for (int c; (c = fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  pclose(pipe);
  return out;
}

TEST(Hook, TheLineThatTolvaneNamesRunsItAfterEachVerifyBesideTheCoresOwnHook) {
  EXPECT_EQ("<0>\n", run(kSetUp));
  const std::string ran = "the core's hook ran\n";
  // The first Verify, before the line is added: the core's hook runs, Tolvane does not.
  const std::string first = run(std::string("n=500 tools=; ") + kVerify);
  EXPECT_EQ("built: 0\n" + ran + "Blink.ino\n<0>\n", first.substr(first.find("built: "))) << first;
  EXPECT_EQ(
      "recipe.hooks.objcopy.postobjcopy.tolvane.pattern=cmd /c <NUL \"C:\\Program "
      "Files\\Tolvane\\Tolvane.exe\" 1>&2 & exit 0\n<0>\n",
      run(kDoubleClick));
  // Without tools Tolvane fails; the Verify must still succeed and show its message. With them
  // the Verify leaves the listings of its own build. The core's hook runs each time.
  const std::string listed =
      "built: 0\n" + ran + "Blink.asm.txt\nBlink.hrd.txt\nBlink.ino\nBlink_dump.cmd\n<0>\n";
  // clang-format off
  const struct { std::string set, shown; } steps[] = {
      {"n=250 tools=", "**ERROR** Can not find 'avr-objdump.exe'.\r\nSearched:\r\n"},
      {"n=125 tools=1", "Taking the newest build: C:\\users\\"}};
  // clang-format on
  for (const auto& step : steps) {
    const std::string out = run(step.set + "; " + kVerify);
    EXPECT_NE(std::string::npos, out.find(step.shown)) << step.set << "\n" << out;
    EXPECT_EQ(listed, out.substr(std::min(out.rfind("built: "), out.size()))) << out;
  }
  EXPECT_EQ("<0>\n", run(R"x($m kill-server 2>/dev/null; rm -rf "$s" "$b" "$k" "$t" "$e")x"));
}

}  // namespace
