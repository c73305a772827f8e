#!/bin/sh
# Share of the project's C++ lines that are tests: lines of *.cpp/*.h under tests/ against
# those outside tests/, bench/ and fuzz/. Counts the files git knows (of the work tree, or of
# the commit given), so build folders never count.
cd "$(dirname "$0")/.." || exit 1
rev=${1:-}
# Lines of the C++ files whose path matches the pattern.
count() {
  if [ -n "$rev" ]; then
    git ls-tree -r --name-only "$rev" | grep -E "$1" | while read -r f; do git show "$rev:$f"; done
  else
    git ls-files | grep -E "$1" | while read -r f; do cat "$f"; done
  fi | wc -l
}
tests=$(count '^tests/.*\.(cpp|h)$')
all=$(count '\.(cpp|h)$')
side=$(count '^(bench|fuzz)/.*\.(cpp|h)$')
code=$((all - tests - side))
echo "test lines: $tests, code lines: $code, tests share: $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.1f %%", 100 * t / (t + c) }')"
