#!/bin/sh
# The Windows ledgrix-cli.exe, run under Wine, against the native ledgrix-cli on the real sample
# portfolios: `symbols` and `export` must print the same bytes; a correction made by the .exe (in
# a folder whose name is not ASCII) must leave exactly the files the native program leaves, read
# back natively, with no work file behind, and taken back by the .exe's undo.
# Usage: windows-parity.sh NATIVE_CLI WINDOWS_CLI [SAMPLES_DIR]
set -eu
native=$1
exe=$2
samples=${3:-$(cd "$(dirname "$0")/../.." && pwd)/shared/samples}
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$(cd "$(dirname "$exe")/.." && pwd)/wine-prefix}"
export WINEPREFIX

if [ ! -d "$samples" ]; then
  echo "windows-parity: no sample portfolios at $samples; skipped"
  exit 0
fi

# The Windows path of a file here: Wine's drive Z: is /.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
wine_cli() { sh "$here/wine.sh" "$exe" "$@"; }

work=$(mktemp -d)
# The native program's undo journals stay in $work; the .exe keeps its own in the Wine prefix's
# local application data folder (Wine sets that variable itself), removed with $work.
export XDG_STATE_HOME="$work/state"
cleanup() {
  grep -l -i -F "$(winpath "$work")" "$WINEPREFIX"/drive_c/users/*/AppData/Local/Ledgrix/Undo/*/portfolio \
    2>/dev/null | while IFS= read -r key; do rm -rf "$(dirname "$key")"; done
  rm -rf "$work"
}
trap cleanup EXIT
compared=0
failed=0

# Runs one command both ways ($1: the portfolio as a Unix path, then the arguments after it) and
# compares stdout and the exit status.
same() {
  dir=$1
  shift
  cmd=$1
  shift
  status=0
  "$native" "$cmd" "$dir" "$@" >"$work/native.out" 2>/dev/null || status=$?
  wstatus=0
  wine_cli "$cmd" "$(winpath "$dir")" "$@" >"$work/wine.out" 2>/dev/null || wstatus=$?
  compared=$((compared + 1))
  # A symbol without quotes has nothing to export: both programs must refuse it alike.
  if [ "$cmd" = export ] && [ "$status" != 0 ] && [ "$wstatus" = "$status" ] &&
    [ ! -s "$work/native.out" ] && [ ! -s "$work/wine.out" ] &&
    "$native" facts "$dir" "$1" 2>/dev/null | grep -q '^Number of quotes: 0$'; then
    return 0
  fi
  if [ "$status" != 0 ] || [ ! -s "$work/native.out" ]; then
    echo "windows-parity: the native program printed nothing for: $cmd $dir $*"
    failed=$((failed + 1))
  elif [ "$wstatus" != 0 ] || ! cmp -s "$work/native.out" "$work/wine.out"; then
    echo "windows-parity: DIFFERENT: $cmd $dir $* (exit $status native, $wstatus Windows)"
    cmp "$work/native.out" "$work/wine.out" || true
    failed=$((failed + 1))
  fi
}

portfolios=$("$native" portfolios "$samples")
for dir in $portfolios; do
  same "$dir" symbols
  # Every symbol of a small portfolio, about forty spread over a large one.
  total=$("$native" symbols "$dir" | wc -l)
  step=$(((total + 39) / 40))
  "$native" symbols "$dir" | cut -f1 | awk -v step="$step" 'NR % step == 1 || step == 1' >"$work/symbols"
  while IFS= read -r symbol; do
    same "$dir" export "$symbol" --delim comma --title
  done <"$work/symbols"
done

# The walk never enters a reparse point (Wine shows a symbolic link as one), so neither a link
# to a portfolio nor a loop back up the tree is followed.
mkdir -p "$work/tree/A" "$work/tree/B/C"
touch "$work/tree/A/MASTER" "$work/tree/B/C/master"
ln -s "$work/tree/A" "$work/tree/link"
ln -s "$work/tree" "$work/tree/B/loop"
"$native" portfolios "$work/tree" >"$work/native.out"
wine_cli portfolios "$(winpath "$work/tree")" | sed 's/^Z://' | tr '\\' / >"$work/wine.out"
compared=$((compared + 1))
if [ "$(wc -l <"$work/native.out")" -ne 2 ] || ! cmp -s "$work/native.out" "$work/wine.out"; then
  echo "windows-parity: DIFFERENT: portfolios over links"
  diff "$work/native.out" "$work/wine.out" || true
  failed=$((failed + 1))
fi

# Corrections made on Windows: the newest quote edited, the oldest deleted (which also rewrites
# MASTER), the symbol's name changed, in a copy whose folder name is not ASCII; the same on a native copy.
source=$samples/msdir_bbfinance
symbol=$("$native" symbols "$source" | head -n 1 | cut -f1)
newest=$("$native" quotes "$source" "$symbol" --newest 1 | cut -f1)
oldest=$("$native" quotes "$source" "$symbol" | tail -n 1 | cut -f1)
windows_dir="$work/B$(printf '\303\266')rse $(printf '\346\240\252')"
cp -r "$source" "$windows_dir"
cp -r "$source" "$work/native"
# A user's portfolio is writable (Windows honours a read-only file and refuses to replace it).
chmod -R u+w "$windows_dir" "$work/native"
"$native" edit "$work/native" "$symbol" --date "$newest" --close 123.5
"$native" delete "$work/native" "$symbol" --date "$oldest" --yes
"$native" rename-symbol "$work/native" "$symbol" --name RENAMED
wine_cli edit "$(winpath "$windows_dir")" "$symbol" --date "$newest" --close 123.5 || true
wine_cli delete "$(winpath "$windows_dir")" "$symbol" --date "$oldest" --yes || true
wine_cli rename-symbol "$(winpath "$windows_dir")" "$symbol" --name RENAMED || true
compared=$((compared + 1))
if ! diff -r "$work/native" "$windows_dir" >/dev/null; then
  echo "windows-parity: DIFFERENT: the corrected portfolios"
  diff -r "$work/native" "$windows_dir" || true
  failed=$((failed + 1))
fi
if find "$windows_dir" -iname '*.new' -o -iname '*.~nu' -o -iname '*.~cp' | grep -q .; then
  echo "windows-parity: work files left behind:"
  find "$windows_dir" -iname '*.new' -o -iname '*.~nu' -o -iname '*.~cp'
  failed=$((failed + 1))
fi
if ! "$native" quotes "$windows_dir" "$symbol" --newest 1 | awk -F '\t' '$5 != "123.5000" { exit 1 }'; then
  echo "windows-parity: the edited close is not read back natively"
  failed=$((failed + 1))
fi
# All three taken back by the .exe from its undo journal: the very bytes of the sample.
for _ in 1 2 3; do wine_cli undo "$(winpath "$windows_dir")" >/dev/null || true; done
compared=$((compared + 1))
if ! diff -r -x '*.BAK' -x '*.bak' "$source" "$windows_dir" >/dev/null; then
  echo "windows-parity: DIFFERENT: the portfolio after three undos"
  diff -r -x '*.BAK' -x '*.bak' "$source" "$windows_dir" || true
  failed=$((failed + 1))
fi

echo "windows-parity: $compared compared, $failed different"
[ "$failed" -eq 0 ]
