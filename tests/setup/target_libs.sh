#!/usr/bin/env bash
# tools/targets/build-libs.sh's scheduling, on a target of small made-up libraries (a copy of the
# script beside its recipe file, and apt-get/apt-cache stand-ins that unpack made-up sources):
# - libraries that do not need each other build at the same time, a library only once those it
#   links are installed, and a second run builds nothing;
# - a changed recipe, or a change in a library's own file (TARGET_LIB_FILES), builds that
#   library and what links it again, nothing else;
# - a failing library fails the run with its log shown, what needs it is not built, and its
#   folder is not taken as installed;
# - a run stopped half way stops its builds and leaves no folder that looks installed;
# - windows-x64.sh's configure presets are used only with the tools they were taken with.
# Usage: target_libs.sh <source dir>
set -u

src=${1:?usage: target_libs.sh <source dir>}
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tools" "$work/bin" "$work/runs"
cp "$src/tools/targets/build-libs.sh" "$work/tools/"

# apt: every package has version 1.0, whose source holds a copyright file.
cat >"$work/bin/apt-cache" <<'EOF'
#!/bin/sh
echo "Package: $3"
echo "Version: 1.0"
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
pkg=${3%%=*}
mkdir -p "$pkg-1.0/debian" && echo "licence of $pkg" >"$pkg-1.0/debian/copyright"
EOF
chmod +x "$work/bin/apt-cache" "$work/bin/apt-get"

# alpha and beta are independent; gamma links both. Each build leaves a line in RUNS/PKG.log
# per run. alpha goes on only once beta has started (for at most 30 s), so it fails unless the
# two build at the same time. FAKE_FAIL=PKG makes that library fail, FAKE_HANG=PKG makes it
# wait until stopped.
cat >"$work/tools/fake.sh" <<'EOF'
TARGET_LIBS=(alpha beta gamma)
TARGET_RECIPE_FUNCS=(fake_build)
TARGET_RECIPE_FILES=()
declare -A TARGET_LIB_FILES=([alpha]="$(dirname "${BASH_SOURCE[0]}")/alpha-checks.cmake")
target_deps() { case $1 in gamma) echo alpha beta ;; esac; }
fake_build() {
  local pkg=$1 prefix=$2
  echo "$pkg: building in $PWD"
  echo "$pkg deps=${TARGET_DEP_PREFIXES[*]:-}" >>"$RUNS/$pkg.log"
  touch "$RUNS/$pkg.started"
  if [ "${FAKE_HANG:-}" = "$pkg" ]; then
    echo $BASHPID >"$RUNS/$pkg.pid"
    sleep 60
  fi
  if [ "${FAKE_FAIL:-}" = "$pkg" ]; then
    echo "$pkg: the compiler says no"
    return 1
  fi
  mkdir -p "$prefix/lib"
  touch "$prefix/lib/lib$pkg.a"
}
build_alpha() {
  local i
  for i in $(seq 300); do [ -f "$RUNS/beta.started" ] && break; sleep 0.1; done
  [ -f "$RUNS/beta.started" ] || { echo "alpha: beta never started beside it"; return 1; }
  fake_build alpha "$2"
}
build_beta() { fake_build beta "$2"; }
build_gamma() {
  local d
  for d in "${TARGET_DEP_PREFIXES[@]}"; do
    [ -f "$d/.built" ] || { echo "gamma: started before $d was installed"; return 1; }
  done
  fake_build gamma "$2"
}
EOF

export PATH="$work/bin:$PATH" RUNS="$work/runs" STARMOAT_TARGET_CACHE="$work/cache"
export STARMOAT_JOBS=2
unset STARMOAT_TARGET_ONLY STARMOAT_TARGET_PARALLEL FAKE_FAIL FAKE_HANG
run() { "$work/tools/build-libs.sh" fake >"$work/out" 2>"$work/err"; }
builds() { cat "$RUNS/$1.log" 2>/dev/null | wc -l; }
folder() { find "$work/cache/fake" -maxdepth 1 -type d -name "$1-1.0-*" | sort; }

# A first run builds all three, alpha beside beta, gamma after both.
if ! run; then
  fail "first run failed: $(tail -n 20 "$work/err")"
else
  libs=$(tail -n 1 "$work/out")
  for pkg in alpha beta gamma; do
    f=$(folder $pkg)
    [ -f "$f/.built" ] && [ -f "$f/lib/lib$pkg.a" ] || fail "first run: $pkg not installed"
    [ -f "$f/share/licences/$pkg.copyright" ] || fail "first run: $pkg's licence not kept"
    grep -qF "\"$f\"" "$libs" || fail "first run: $libs does not name $f"
  done
  grep -q "deps=$(folder alpha) $(folder beta)\$" "$RUNS/gamma.log" ||
    fail "gamma was not given alpha's and beta's folders: $(cat "$RUNS/gamma.log")"
  [ -z "$(find "$work/cache/fake" -maxdepth 1 -name 'build-*')" ] ||
    fail "first run: work folders left behind"
  echo "first run: alpha and beta together, then gamma"
fi

# A second run builds nothing.
if ! run; then
  fail "second run failed: $(tail -n 20 "$work/err")"
else
  [ "$(builds alpha)$(builds beta)$(builds gamma)" = 111 ] || fail "second run built again"
  [ "$(grep -c ': cached$' "$work/out")" = 3 ] || fail "second run: $(cat "$work/out")"
  echo "second run: all cached"
fi

# beta's recipe changes: beta and gamma build again, alpha does not.
sed -i 's/^build_beta() { fake_build beta "$2"; }/build_beta() { fake_build beta "$2"; : changed; }/' \
  "$work/tools/fake.sh"
if ! run; then
  fail "run after beta's change failed: $(tail -n 20 "$work/err")"
else
  [ "$(builds alpha)$(builds beta)$(builds gamma)" = 122 ] ||
    fail "after beta's change built alpha $(builds alpha), beta $(builds beta), gamma $(builds gamma) times in all (want 1, 2, 2)"
  [ "$(folder beta | wc -l)" = 2 ] || fail "beta's changed recipe did not get a folder of its own"
  echo "beta's recipe changed: beta and gamma built again"
fi

# alpha's own file changes: alpha and gamma build again, beta does not.
echo 'set(HAVE_SOMETHING 1)' >"$work/tools/alpha-checks.cmake"
touch "$RUNS/beta.started"
if ! run; then
  fail "run after alpha's file changed failed: $(tail -n 20 "$work/err")"
else
  [ "$(builds alpha)$(builds beta)$(builds gamma)" = 223 ] ||
    fail "after alpha's file changed built alpha $(builds alpha), beta $(builds beta), gamma $(builds gamma) times in all (want 2, 2, 3)"
  echo "alpha's file changed: alpha and gamma built again"
fi

# A failing library: the run fails, shows the log, gamma is not built and beta's folder is not
# taken as installed.
rm -rf "$work/cache/fake" "${RUNS:?}"/*
if FAKE_FAIL=beta run; then
  fail "a failing library gave a successful run"
else
  grep -q 'beta: the compiler says no' "$work/err" || fail "the failing library's log was not shown"
  grep -q 'not built: beta gamma' "$work/err" ||
    fail "the run did not say what was not built: $(tail -n 3 "$work/err")"
  [ -f "$(folder alpha)/.built" ] || fail "alpha, built beside the failure, was not kept"
  for f in $(folder beta) $(folder gamma); do
    [ ! -f "$f/.built" ] || fail "$f looks installed after a failure"
  done
  [ "$(builds gamma)" = 0 ] || fail "gamma was built without beta"
  ls "$work/cache/fake"/build-beta.*.log >/dev/null 2>&1 || fail "beta's log was not kept"
  echo "a failing library: run failed, log shown, gamma not built"
fi
# Then the next run builds beta and gamma.
if ! run; then
  fail "run after the failure failed: $(tail -n 20 "$work/err")"
else
  [ "$(builds alpha)$(builds beta)$(builds gamma)" = 121 ] || fail "after the failure: $(cat "$work/out")"
  echo "after the failure: beta and gamma built, alpha cached"
fi

# A run stopped while beta builds: its build stops too and nothing looks installed.
rm -rf "$work/cache/fake" "${RUNS:?}"/*
FAKE_HANG=beta "$work/tools/build-libs.sh" fake >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 300); do [ -f "$RUNS/beta.pid" ] && break; sleep 0.1; done
if [ ! -f "$RUNS/beta.pid" ]; then
  fail "beta's build never started: $(tail -n 20 "$work/err")"
  kill "$pid"
else
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  [ "$status" -ne 0 ] || fail "a stopped run ended with status 0"
  hung=$(cat "$RUNS/beta.pid")
  for _ in $(seq 100); do kill -0 "$hung" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$hung" 2>/dev/null; then
    fail "beta's build went on after the run was stopped"
    kill "$hung"
  fi
  for f in $(folder beta) $(folder gamma); do
    [ ! -f "$f/.built" ] || fail "$f looks installed after a stopped run"
  done
  echo "a stopped run: status $status, beta's build stopped, nothing half built looks installed"
fi

# windows-x64.sh presets a library's configure checks only from a file taken with the compiler,
# Windows headers and CMake here, and not when told not to.
presets=$(
  . "$src/tools/targets/windows-x64.sh"
  file=$work/curl-checks.cmake
  TARGET_LIB_FILES[curl]=$file
  tools=$(target_checks_taken_with)
  printf '# Taken with: %s\nset(HAVE_X "1" CACHE INTERNAL "Have X")\n' "$tools" >"$file"
  echo "same tools: $(target_presets curl 2>/dev/null)"
  echo "off: $(STARMOAT_TARGET_PRESETS=off target_presets curl 2>/dev/null)"
  sed -i 's/^# Taken with: .*/# Taken with: gcc-mingw-w64-x86-64-posix 0.1 mingw-w64-x86-64-dev 0.1 cmake 3.0/' "$file"
  echo "other tools: $(target_presets curl 2>"$work/presets.err")"
  grep -q 'checking all' "$work/presets.err" && echo "other tools: said so"
  [ -n "$tools" ] && echo "tools known"
)
if grep -q '^tools known' <<<"$presets"; then
  grep -qx "same tools: -C$work/curl-checks.cmake" <<<"$presets" ||
    fail "a presets file taken with these tools was not used: $presets"
else
  echo "(MinGW-w64 is not installed: only the files of other tools are checked)"
fi
grep -qx 'off: ' <<<"$presets" || fail "STARMOAT_TARGET_PRESETS=off still used the presets"
grep -qx 'other tools: ' <<<"$presets" && grep -qx 'other tools: said so' <<<"$presets" ||
  fail "a presets file of other tools was used, or silently dropped: $presets"
echo "windows-x64 presets: used only with the tools they were taken with"

[ "$failed" -eq 0 ] && echo "PASS"
