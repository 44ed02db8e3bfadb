#!/usr/bin/env bash
# The checks of scripts/test find what they are there to find: a planted cycle between targets and
# a planted system call outside the allowed folders, and pass a clean tree.
#   ChecksTest.sh <source root>
set -uo pipefail
root=${1:?usage: ChecksTest.sh <source root>}
data="$root/tests/scripts/data"
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Cycles.
"$root/scripts/check-cycles" "$data/layered.dot" || fail "a layered graph was taken for a cycle"
if output=$("$root/scripts/check-cycles" "$data/cycle.dot" 2>&1); then
  fail "the planted cycle engine -> runtime -> base -> engine passed"
else
  for target in engine runtime base; do
    grep -qx "  $target" <<<"$output" || fail "the cycle report does not name $target: $output"
  done
  grep -qx "  service" <<<"$output" && fail "the cycle report names service, which is not in the cycle"
fi

# System calls, over a small tree of its own (the checker reads what git tracks).
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git -C "$tree" init -q
mkdir -p "$tree/src/vel/thing" "$tree/src/os" "$tree/platform/win" "$tree/gui/orvik"
cat >"$tree/src/vel/thing/Clean.cpp" <<'CODE'
// getenv( in a comment is no call; nor is a member named open or read.
#include <cstdio>
struct File { bool open(const char*); int read(); };
int use(File& f) { /* ::stat( */ return f.open("x") ? f.read() : 0; }
CODE
printf '#include <unistd.h>\nint id() { return ::getpid(); }\n' >"$tree/src/os/osid.cpp"
printf '#include <cstdlib>\nconst char* home() { return std::getenv("HOME"); }\n' >"$tree/platform/win/Home.cpp"
git -C "$tree" add -A
"$root/scripts/check-syscalls" "$tree" || fail "a clean tree with calls only in src/os and platform/ did not pass"

planted=(
  'src/vel/thing/Env.cpp|#include <cstdlib>\nconst char* v() { return std::getenv("X"); }\n'
  'src/vel/thing/Stat.cpp|#include <string>\nstruct stat;\nbool there(const char* p);\nbool f(const char* p) { return ::stat(p, nullptr) == 0; }\n'
  'gui/orvik/Header.cpp|#include <sys/stat.h>\n'
  'src/vel/thing/Time.cpp|#include <ctime>\nvoid t(std::time_t n, std::tm& l) { localtime_r(&n, &l); }\n'
  'src/vel/thing/Thread.cpp|void lock(void* m) { pthread_mutex_lock(m); }\n'
)
for entry in "${planted[@]}"; do
  file=${entry%%|*}
  printf "${entry#*|}" >"$tree/$file"
  git -C "$tree" add "$file"
  if output=$("$root/scripts/check-syscalls" "$tree" 2>&1); then
    fail "the planted call in $file passed"
  else
    grep -q "^$file:" <<<"$output" || fail "the report does not name $file: $output"
    grep -q "Clean.cpp" <<<"$output" && fail "the report names Clean.cpp: $output"
  fi
  git -C "$tree" rm -q --cached "$file"
  rm "$tree/$file"
done

[ "$failures" -eq 0 ] && echo "checks: all cases passed"
exit $((failures > 0))
