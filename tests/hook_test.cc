// Tolvane.exe run by the builder's own hook after every Verify, with the very
// line that the README gives for platform.local.txt.
//
// Debian's arduino-builder builds the IDE's Blink sketch against a copy of the
// AVR core whose platform.local.txt holds the README's line, with the build
// folder in the Wine prefix's temporary folder and the sketch in the user's
// Documents\Arduino there. The builder splits the line into arguments and
// starts "cmd"; a stand-in on PATH hands them to Wine's cmd.exe. Wine quotes
// each argument for the command line as Go does on Windows (an argument with a
// space gets quotes, nothing else does), so cmd.exe gets the command line that
// the IDE's builder gives it on Windows, and Tolvane.exe runs where the line
// names it. Each step edits the sketch and builds it; the Verify must succeed,
// and the builder must show, without verbose output, Tolvane's message: first
// with no tools (Tolvane fails), then twice with the tools, each time leaving
// the listings of that very build beside the sketch.
#include <gtest/gtest.h>

namespace {

// The test's folders, named by its process id ($PPID) and the prefix
// ($WINEPREFIX, set by the test), so that no command line of a script holds the
// prefix's path: Wine's cmd does not wait for the tools' stand-ins, and a
// Verify waits until no process names the prefix. s: scratch; c: drive C:; h:
// the user's folder that Wine made, with Temp in it; k: the sketch; b: the
// build; t: an install folder of the tools; x: the README's line; e: the folder
// where it names Tolvane.exe.
const char kFolders[] = R"x(export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
c=$WINEPREFIX/drive_c s=${TMPDIR:-/tmp}/tolvane-hook$PPID h=$(echo "$WINEPREFIX"/drive_c/users/*/Temp)
h=${h%/Temp} t="$c/Program Files/Arduino" x=$(grep -m1 '^recipe\.hooks\.' )x" TOLVANE_SOURCE_DIR
                        R"x(/README.md)
k=$h/Documents/Arduino/Blink b=$h/Temp/arduino_build_$PPID e=$c/$(printf %s "$x" | sed 's/.*"C:\\\(.*\)\\Tolvane.exe".*/\1/' | tr '\\' /)
)x";

// Runs |script| in sh after kFolders; gives its standard output and error,
// then its status as "<status>".
std::string run(const std::string& script) {
  FILE* pipe = popen(("{ " + (kFolders + script) + "\n} 2>&1; echo \"<$?>\"").c_str(), "r");
  std::string out;
  for (int c; (c = fgetc(pipe)) != EOF;) out += static_cast<char>(c);
  pclose(pipe);
  return out;
}

// Tolvane.exe where the README's line names it, a copy of the AVR core with
// that line in its platform.local.txt, the "cmd" stand-in, and the tools
// (stand-ins that run binutils-avr on the host paths of their C:\ arguments).
// The hook's lines 0 and 2 around the README's line 1 give the build's
// build.options.json the sketch's Windows path, as the IDE on Windows writes
// it, and then put the file back so that the next build is not made anew.
const char kSetUp[] =
    R"x(set -e; mkdir -p "$s/bin" "$s/hw/arduino" "$s/avr/bin" "$b" "$k" "$e"
cp )x" TOLVANE_WINDOWS_DIR
    R"x(/Tolvane.exe "$e"; cp -rs /usr/share/arduino/hardware/arduino/avr "$s/hw/arduino/"
printf '#!/bin/sh\nexec wine cmd "$@"\n' >"$s/bin/cmd"
cat >"$s/swap" <<'EOF'
if [ -e "$1.kept" ]; then mv "$1.kept" "$1"; else cp "$1" "$1.kept"; sed -i '/"sketchLocation"/{s|"/.*/drive_c/|"C:/|;s|/|\\\\|g}' "$1"; fi
EOF
cat >"$s/avr/bin/avr-objdump.exe" <<'EOF'
#!/bin/sh
c=${0%%/Program Files/*}; n=${0##*/}
for a; do case $a in [Cc]:*) a=$c$(printf %s "${a#??}" | tr '\\' /);; esac; set -- "$@" "$a"; shift; done
exec env LC_ALL=C /usr/bin/${n%.exe} "$@"
EOF
cp "$s/avr/bin/avr-objdump.exe" "$s/avr/bin/avr-readelf.exe"; chmod +x "$s"/bin/* "$s"/avr/bin/*
p=".pattern=sh $s/swap {build.path}/build.options.json"
printf 'recipe.hooks.objcopy.postobjcopy.0%s\n%s\nrecipe.hooks.objcopy.postobjcopy.2%s\n' "$p" "$x" "$p" >"$s/hw/arduino/avr/platform.local.txt")x";

// A Verify of the sketch with its delay(1000) made delay($n), with the tools in
// place when $tools is set.
const char kVerify[] =
    R"x([ -z "$tools" ] || { mkdir -p "$t/hardware/tools"; cp -rT "$s/avr" "$t/hardware/tools/avr"; }
sed "s/1000/$n/g" )x" TOLVANE_SOURCE_DIR
    R"x(/examples/arduino-blink/Blink.ino >"$k/Blink.ino"; cd "$c"
PATH=$s/bin:$PATH timeout 300 arduino-builder -compile -hardware "$s/hw" -hardware /usr/share/arduino-builder -tools /usr/share/arduino-builder -fqbn arduino:avr:uno -core-api-version 10819 -prefs=compiler.cpp.extra_flags=-DDECIMAL_DIG=17 -build-path "$b" "$k/Blink.ino"; r=$?
i=0; while [ $i -lt 600 ] && pgrep -f "[/]${c#/}" >/dev/null; do sleep 0.05; i=$((i+1)); done; (exit $r))x";

// The sketch's folder; with the tools, the listings must be those of the build just made.
const char kListings[] =
    R"x(LC_ALL=C ls "$k"; [ -z "$tools" ] || { grep -q "delay($n)" "$k/Blink.asm.txt" &&
LC_ALL=C avr-objdump -S "$b/Blink.ino.elf" | sed 2d >"$s/asm" && sed 2d "$k/Blink.asm.txt" | cmp - "$s/asm" &&
LC_ALL=C avr-readelf -e "$b/Blink.ino.elf" | cmp - "$k/Blink.hrd.txt"; })x";

TEST(Hook, EachVerifyWritesTheListingsAndAFailureIsShown) {
  setenv("WINEPREFIX", TOLVANE_WINE_PREFIX, 1);
  EXPECT_EQ("<0>\n", run(kSetUp));
  // Without tools Tolvane fails; the Verify must still succeed and show its message. With them
  // each Verify leaves the listings of its own build.
  const std::string all = "Blink.asm.txt\nBlink.hrd.txt\nBlink.ino\nBlink_dump.cmd\n<0>\n";
  const std::string failed = "**ERROR** Can not find 'avr-objdump.exe'.\r\nSearched:\r\n";
  const struct {
    std::string set, shown, files;
  } steps[] = {{"n=500 tools=", failed, "Blink.ino\n<0>\n"},
               {"n=250 tools=1", "Taking the newest build: C:\\users\\", all},
               {"n=125 tools=1", "Taking the newest build: C:\\users\\", all}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.set);
    const std::string out = run(step.set + "; " + kVerify);
    EXPECT_NE(std::string::npos, out.find("Sketch uses")) << out;
    EXPECT_NE(std::string::npos, out.find(step.shown)) << out;
    EXPECT_EQ("<0>\n", out.substr(out.rfind('<'))) << out;
    EXPECT_EQ(step.files, run(step.set + "; " + kListings));
  }
  EXPECT_EQ("<0>\n", run(R"x(rm -rf "$s" "$b" "$k" "$t" "$e")x"));
}

}  // namespace
