#!/bin/sh
# Share of the project's C++ lines that are tests: lines of *.cpp/*.h under tests/ against
# those outside tests/, bench/ and fuzz/. Counts the files git knows, so build folders never count.
cd "$(dirname "$0")/.." || exit 1
count() { git ls-files -- "$@" | xargs cat 2>/dev/null | wc -l; }
tests=$(count 'tests/*.cpp' 'tests/*.h')
all=$(count '*.cpp' '*.h')
side=$(count 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
code=$((all - tests - side))
echo "test lines: $tests, code lines: $code, tests share: $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f %%", 100 * t / (t + c) }')"
