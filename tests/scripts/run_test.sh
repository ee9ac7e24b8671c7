#!/usr/bin/env bash
# `bash scripts/run` for real, twice, in a copy of the sources given as $1, the program's start
# taken by a stand-in for xvfb-run: the first run builds the program, its libraries, the program
# folder's files and the sample only; the second, after the user changed "Tolvane.ini" and
# "AmpDef.ini" and the sources were configured again, builds nothing, writes nothing in the
# program folder and leaves both files as the user left them.
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
tar -C "$1" --exclude=./build --exclude=./.git -cf - . | tar -C "$tmp" -xf -
mkdir "$tmp/stand-in"
printf '#!/bin/sh\necho "$@" > "%s/started"\n' "$tmp" > "$tmp/stand-in/xvfb-run"
chmod +x "$tmp/stand-in/xvfb-run"
export PATH="$tmp/stand-in:$PATH" CCACHE_BASEDIR="$tmp" CCACHE_NOHASHDIR=1
unset DISPLAY WAYLAND_DISPLAY
cd "$tmp"
bin=build/release/bin

bash scripts/run > first.log 2>&1 || { cat first.log; fail "the first run failed"; }
grep -q "$bin/Quorvane /Kdat=Sample" started || fail "the program was not started on the sample"
for f in Quorvane libTrelm.so libQvPlatform.so AmpDef.ini Tolvane.ini fonts.conf SETTING.SET Sample.Kpar \
  Sample.Kdat Sample.AVI Sample.FLM; do
  [[ -e $bin/$f ]] || fail "$f is not in the program folder"
done
built=$(find build/release -type f -executable \( -name 'test_*' -o -name 'bench_*' \) | head -3)
[[ -z $built ]] || fail "test or bench programs were built: $built"

printf '[User]\r\nKept=1\r\n' | tee -a $bin/Tolvane.ini >> $bin/AmpDef.ini
cp $bin/Tolvane.ini $bin/AmpDef.ini "$tmp/stand-in/"
touch "$tmp/before-second"
# Configured again as `scripts/test` does, which must not make anything out of date either.
cmake --preset release > /dev/null
bash scripts/run > second.log 2>&1 || { cat second.log; fail "the second run failed"; }
grep -q "ninja: no work to do" second.log || { cat second.log; fail "the second run built something"; }
written=$(find $bin -newer "$tmp/before-second" | head -5)
[[ -z $written ]] || fail "the second run wrote $written"
cmp -s $bin/Tolvane.ini stand-in/Tolvane.ini && cmp -s $bin/AmpDef.ini stand-in/AmpDef.ini ||
  fail "the user's ini files were changed"
echo "both runs as expected"
