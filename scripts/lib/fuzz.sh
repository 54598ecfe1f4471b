# Shared by scripts/test and scripts/fuzz-long: builds the libFuzzer targets (preset fuzz,
# clang) with their generated seed corpora, and runs one.

ORVANTA_FUZZERS=(package_check wine_registry pe_version magvar_stamp settings command_line library_folders)

# build_fuzzers LOG: configures and builds the fuzzers only, then writes the seeds.
build_fuzzers() {
    local log=$1 targets=(orvanta-fuzz-seeds) f
    for f in "${ORVANTA_FUZZERS[@]}"; do targets+=("fuzz_$f"); done
    cmake --preset fuzz >"$log" 2>&1 || return 1
    cmake --build --preset fuzz -j2 --target "${targets[@]}" >>"$log" 2>&1 || return 1
    rm -rf build/fuzz/seeds
    build/fuzz/fuzz/orvanta-fuzz-seeds build/fuzz/seeds >>"$log" 2>&1
}

# run_fuzzer NAME CORPUS LOG [libFuzzer options...]: fuzzes from the corpus folder (created
# when absent) and the seeds; an input that fails is kept in build/fuzz/findings/NAME/.
# Returns libFuzzer's exit code (0: nothing found).
run_fuzzer() {
    local name=$1 corpus=$2 log=$3
    shift 3
    mkdir -p "$corpus" "build/fuzz/findings/$name"
    build/fuzz/fuzz/"fuzz_$name" -artifact_prefix="build/fuzz/findings/$name/" -timeout=10 "$@" \
        "$corpus" "build/fuzz/seeds/$name" >"$log" 2>&1
}

# fuzz_summary LOG: "N runs in S s, coverage C" from a libFuzzer log.
fuzz_summary() {
    local runs secs cov
    runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1/p' "$1" | tail -n 1)
    secs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$1" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$1" | tail -n 1 | cut -d' ' -f2)
    echo "${runs:-?} runs in ${secs:-?} s, coverage ${cov:-?}"
}
