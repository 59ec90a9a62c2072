#!/usr/bin/env bash
# The format check looks at the lines a change touches and at nothing else:
# it passes over old unformatted code, finds an unformatted line a change
# brings (committed or not, in any commit since a branch left main), leaves
# main's own later commits to main, works in a shallow clone, and skips
# without git or outside a checkout. Runs in throwaway repositories.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
command -v git >/dev/null || { echo "skipped: git is not installed"; exit 77; }
command -v clang-format-14 >/dev/null || { echo "skipped: clang-format-14 is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check EXPECTED-EXIT WHAT [BASE]: runs the check in the current folder.
check() {
  local expected=$1 what=$2 got=0 out
  shift 2
  out=$(bash scripts/check-format.sh "$@" 2>&1) || got=$?
  if [ "$got" = "$expected" ]; then
    echo "ok: $what"
  else
    echo "FAILED: $what: exit $got, expected $expected"
    printf '%s\n' "$out" | sed 's/^/  | /'
    failures=$((failures + 1))
  fi
}
commit() {
  git add -A
  git commit -qm "$1"
}
formatted() { printf 'int %s(int a)\n{\n    return a;\n}\n' "$1"; }
unformatted() { printf 'int  %s( int a ){return a;}\n' "$1"; }

repo=$work/repo
mkdir -p "$repo/scripts" "$repo/src"
cp "$source_dir/scripts/check-format.sh" "$repo/scripts/"
cp "$source_dir/.clang-format" "$repo/"
cd "$repo"
git init -q -b main
git config user.name "Format check"
git config user.email "format-check@example.invalid"

unformatted old > src/old.cpp
formatted good > src/good.cpp
commit "start"
check 0 "the first commit: only edits not yet committed count"
formatted more >> src/good.cpp
commit "formatted lines beside old unformatted code"
check 0 "old unformatted lines that nobody touched"
unformatted bad >> src/good.cpp
check 1 "an unformatted line not yet committed"
commit "unformatted lines"
check 1 "an unformatted line in the last commit"
check 0 "the same, measured from that commit" HEAD
ZUMORIA_FORMAT_BASE=HEAD check 0 "the same, the base given in the environment"
git reset -q --hard HEAD~1

git checkout -q -b feature
unformatted worse > src/feature.cpp
commit "unformatted on the branch"
formatted fine > src/fine.cpp
commit "formatted on the branch"
check 1 "an unformatted line anywhere since the branch left main"
git checkout -q main
unformatted mains > src/main.cpp
commit "unformatted on main"
git checkout -q feature
formatted worse > src/feature.cpp
commit "the branch formats its own line"
check 0 "main's own later commits belong to main"
check 0 "a base the clone does not hold counts as none" 0123456789abcdef0123456789abcdef01234567

git clone -q --depth 1 --branch main "file://$repo" "$work/shallow"
(cd "$work/shallow" && check 0 "a shallow clone of one unformatted commit")
(cd "$work/shallow" && unformatted edited >> src/good.cpp && check 1 "an unformatted edit in a shallow clone")

mkdir -p "$work/bin" "$work/plain"
ln -s "$(command -v bash)" "$(command -v dirname)" "$work/bin/"
PATH=$work/bin check 77 "without git"
cp -r scripts .clang-format "$work/plain/"
(cd "$work/plain" && check 77 "outside a git checkout")

[ "$failures" = 0 ]
