#!/usr/bin/env bash
# Checks that the C++ lines a change touches are formatted the way
# .clang-format says (clang-format 14). Lines nobody touched are never
# checked, so the tree needs no reformatting.
#
#   scripts/check-format.sh [BASE]
#
# The change is everything that differs from its base, edits not yet
# committed included. The base is BASE, else $ZUMORIA_FORMAT_BASE, else the
# point where the branch left main (or origin/main), else the parent commit;
# a commit without a known parent (the first one, or the tip of a shallow
# clone) brings only the edits not yet committed. A base that the clone does
# not hold counts as not given.
#
# Exits 0 when every touched line keeps the format, 1 with the changes that
# would format them, 77 (skipped) without git, outside a git checkout or
# without clang-format 14.
set -uo pipefail
cd "$(dirname "$0")/.."

skip() {
  echo "format check skipped: $*"
  exit 77
}

commit_of() {
  git rev-parse -q --verify "$1^{commit}" 2>/dev/null
}

command -v git >/dev/null || skip "git is not installed"
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || skip "not a git checkout"
head=$(commit_of HEAD) || skip "the checkout has no commit yet"

formatter=$(command -v clang-format-14)
if [ -z "$formatter" ] && command -v clang-format >/dev/null \
    && clang-format --version | grep -q 'version 14\.'; then
  formatter=$(command -v clang-format)
fi
[ -n "$formatter" ] || skip "clang-format 14 is not installed"
differ=$(command -v clang-format-diff-14 || command -v clang-format-diff)
[ -n "$differ" ] || skip "clang-format-diff is not installed"

base=
for wanted in "${1:-}" "${ZUMORIA_FORMAT_BASE:-}"; do
  if [ -n "$wanted" ]; then
    base=$(commit_of "$wanted") && break
    echo "format check: no commit $wanted here; the base is found as without one" >&2
  fi
done
if [ -z "$base" ]; then
  for ref in main origin/main; do
    branch_point=$(commit_of "$ref" >/dev/null && git merge-base HEAD "$ref" 2>/dev/null)
    if [ -n "$branch_point" ] && [ "$branch_point" != "$head" ]; then
      base=$branch_point
      break
    fi
  done
fi
[ -n "$base" ] || base=$(commit_of HEAD^1) || base=$head

changes=$(git diff -U0 --no-color --no-ext-diff --no-renames "$base" -- '*.cpp' '*.h')
wrong=$(printf '%s\n' "$changes" | "$differ" -p1 -binary "$formatter" -style file)
if [ -n "$wrong" ]; then
  printf '%s\n' "$wrong"
  short=$(git rev-parse --short "$base")
  echo "format check: lines changed since $short are not formatted as .clang-format says (above);" \
    "to format them: git diff -U0 $short -- '*.cpp' '*.h' | clang-format-diff-14 -p1 -i" >&2
  exit 1
fi
echo "format check: the lines changed since $(git rev-parse --short "$base") keep the format"
