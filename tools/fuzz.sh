#!/bin/sh
# Runs every libFuzzer program of the fuzz build tree for a bounded time, one after
# the other (the machine's cores are few). New interesting inputs go to a working
# corpus in the build tree; the committed seed corpus is only read. An input that
# breaks a target is copied into the target's committed corpus as a regression input
# (so the ordinary test run replays it) and the run fails at the end.
# Usage: fuzz.sh FUZZ_BUILD_DIR [SECONDS_PER_TARGET]
set -u
build=$(cd "$1" && pwd)
seconds=${2:-60}
manifest=$build/fuzz_targets.txt
[ -s "$manifest" ] || { echo "fuzz: no targets listed in $manifest" >&2; exit 1; }

failed=""
tab=$(printf '\t')
while IFS="$tab" read -r name program corpus; do
  work=$build/fuzz-work/$name
  mkdir -p "$work/corpus" "$work/artifacts"
  rm -f "$work"/artifacts/*
  set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$work/artifacts/"
  dict=$(dirname "$corpus")/$name.dict
  [ -f "$dict" ] && set -- "$@" -dict="$dict"
  echo "== fuzz $name for ${seconds}s"
  "$program" "$@" "$work/corpus" "$corpus" </dev/null >"$work/log.txt" 2>&1
  status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log.txt"
  grep -E '^#[0-9]+.*(DONE|pulse)' "$work/log.txt" | tail -n 1
  if [ $status -ne 0 ]; then
    tail -n 40 "$work/log.txt"
    for input in "$work"/artifacts/*; do
      [ -f "$input" ] || continue
      kept=$corpus/regression-$(basename "$input")
      cp "$input" "$kept"
      echo "fuzz $name: failing input kept as $kept"
    done
    failed="$failed $name"
  fi
done <"$manifest"

if [ -n "$failed" ]; then
  echo "fuzz: failures in:$failed (logs in $build/fuzz-work/<name>/log.txt)" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s clean"
