#!/usr/bin/env bash
# `bash scripts/run` twice in a copy of the sources ($1), with a stand-in for xvfb-run that only
# notes how it was called. The first run builds the program and no test or bench program; the
# second, after the user's edits to two ini files and a new configure, builds and writes nothing.
# A clean then leaves the program folder's files; the next build adds only those missing there.
set -euo pipefail
t=$(mktemp -d)
trap 'rm -rf "$t"' EXIT
trap 'echo "failed at line $LINENO" >&2' ERR
tar -C "$1" --exclude=./build --exclude=./.git -cf - . | tar -C "$t" -xf -
mkdir "$t/x"
printf '#!/bin/sh\necho "$@" > %s/started\n' "$t" > "$t/x/xvfb-run"
chmod +x "$t/x/xvfb-run"
export PATH="$t/x:$PATH" CCACHE_BASEDIR="$t" CCACHE_NOHASHDIR=1
unset DISPLAY WAYLAND_DISPLAY
cd "$t"
b=build/release/bin

bash scripts/run > /dev/null
[[ $(< started) == "-a $b/Quorvane /Kdat=Sample" ]]
[[ -z $(find build -type f -executable \( -name 'test_*' -o -name 'bench_*' \)) ]]
[[ $(grep -c -e '^chkDispCAMPos.Value=0' -e '^strSWEEP_TIME=10000' $b/Sample.Kpar) == 2 ]]

printf '[User]\r\n' | tee -a $b/Tolvane.ini >> $b/AmpDef.ini
cp $b/*.ini x/
touch x/stamp
{ cmake --preset release > /dev/null; bash scripts/run; } | grep -q "ninja: no work to do"
[[ -z $(find $b -newer x/stamp) ]]
cmp $b/Tolvane.ini x/Tolvane.ini
cmp $b/AmpDef.ini x/AmpDef.ini

mkdir data/sub && cp data/fonts.conf data/sub/
rm $b/fonts.conf
cmake --build --preset release --target clean > /dev/null
cmake --build --preset release --target program_data > /dev/null
cmp $b/Tolvane.ini x/Tolvane.ini
cmp $b/fonts.conf data/fonts.conf
cmp $b/sub/fonts.conf data/fonts.conf
