#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for ${FUZZ_SECONDS:-60}
# seconds on a copy of its seed corpus from fuzz/corpus/. Skipped when clang is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ not found, fuzzing skipped"
    exit 0
fi
seconds=${FUZZ_SECONDS:-60}
targets=(fuzz_metadataparser fuzz_ridedata fuzz_settingsfile fuzz_httpframing)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
    -DTALVEX_BUILD_BENCH=OFF -DTALVEX_BUILD_TESTS=OFF
cmake --build build-fuzz -j"${JOBS:-$(nproc)}" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    mkdir -p "$work/$name"
    cp fuzz/corpus/"$name"/* "$work/$name/"
    options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/$name-")
    [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
    # the trailer reader looks at the last 200 000 bytes of a file: longer inputs reach that window
    [ "$name" = metadataparser ] && options+=(-max_len=300000)
    echo "fuzz: $target for $seconds s"
    if ! build-fuzz/fuzz/"$target" "${options[@]}" "$work/$name" 2>"$work/$name.log"; then
        tail -n 60 "$work/$name.log"
        crash=$(ls "$work/$name"-* 2>/dev/null | head -n 1 || true)
        [ -n "$crash" ] && cp "$crash" "$root/" && echo "fuzz: input kept as $root/$(basename "$crash")"
        exit 1
    fi
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$work/$name.log" | tail -n 2
done
