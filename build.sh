#!/usr/bin/env bash
# Sets up a Debian 12 machine for the project, builds it, and runs the editor or the test suite.
#   ./build.sh run    install what is missing, build everything, start Q9EE
#   ./build.sh librarian   the same, starting Q9EL
#   ./build.sh test   install what is missing, build and run every test twice: once normally and
#                     once under AddressSanitizer and UndefinedBehaviorSanitizer; then run each
#                     fuzz target (fuzz/) for a few seconds
#   ./build.sh fuzz [SECONDS]
#                     build the fuzz targets and run each for SECONDS (default 600): the longer run;
#                     what they find is kept in build-fuzz/fuzz/corpus, crashes in build-fuzz/fuzz/artifacts
#   ./build.sh soak [EDITOR_ROUNDS [LIBRARIAN_ROUNDS [SEEDS]]]
#                     long sessions of both programs against the simulated instrument in virtual time
#                     (1000 and 100 rounds, 200 and 100 seeds of an unreliable instrument by default);
#                     prints memory, file handles and windows, fails when a session did not hold
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev libgl-dev qt6-translations-l10n
    librtmidi-dev libjack-jackd2-dev jackd2 libgif-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpugixml-dev
    clang libclang-rt-14-dev
    midicsv fonts-dejavu-core xvfb xauth
    fonts-ipafont-gothic poppler-utils xdg-utils
    openbox xdotool x11-utils x11-apps netpbm valgrind strace
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    # jackd2 asks about real-time priority; take the default without a prompt.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# BUILD_TARGET=name limits the build to one target.
configure_and_build() {
    local dir=$1; shift
    local launcher=() target=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    [ -n "${BUILD_TARGET:-}" ] && target=(--target "$BUILD_TARGET")
    cmake -S "$top" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs" "${target[@]}"
}

# The fuzz targets, each run for $1 seconds.
build_and_run_fuzzers() {
    local seconds=$1
    configure_and_build "$top/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQ9_FUZZ=ON -DQ9_FUZZ_SECONDS="$seconds" -DQ9_BUILD_TESTS=OFF -DQ9_BUILD_BENCHMARKS=OFF
    run_tests "$top/build-fuzz" "fuzz targets, $seconds s each" -L fuzz
}

run_tests() {
    local dir=$1 name=$2
    echo "=== Tests: $name ==="
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600 "${@:3}")
}

case "${1:-}" in
run)
    install_missing
    configure_and_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$top/build/editor/q9ee" "${@:2}"
    ;;
librarian)
    install_missing
    configure_and_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$top/build/librarian/app/q9el" "${@:2}"
    ;;
test)
    install_missing
    configure_and_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    configure_and_build "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DQ9_SANITIZE=ON -DQ9_BUILD_BENCHMARKS=OFF
    status=0
    run_tests "$top/build" "normal build" || status=1
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/tests/support/lsan.supp:print_suppressions=0"
    run_tests "$top/build-asan" "AddressSanitizer and UndefinedBehaviorSanitizer" || status=1
    # The lock-free MIDI input rings once more under ThreadSanitizer: a small build of their test only.
    BUILD_TARGET=test_midi_ml_rings configure_and_build "$top/build-tsan" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQ9_TSAN=ON -DQ9_BUILD_BENCHMARKS=OFF
    TSAN_OPTIONS="halt_on_error=1" run_tests "$top/build-tsan" "ThreadSanitizer (MIDI input rings)" -L tsan || status=1
    build_and_run_fuzzers 5 || status=1
    if [ $status -ne 0 ]; then
        echo "Some tests failed."
    fi
    exit $status
    ;;
fuzz)
    install_missing
    build_and_run_fuzzers "${2:-600}"
    ;;
soak)
    install_missing
    BUILD_TARGET=q9_soak configure_and_build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    status=0
    QT_QPA_PLATFORM=offscreen "$top/build/tests/soak/q9_soak_editor" "${2:-1000}" ${4:-} || status=1
    QT_QPA_PLATFORM=offscreen "$top/build/tests/soak/q9_soak_librarian" "${3:-100}" ${4:-} || status=1
    exit $status
    ;;
*)
    echo "usage: $0 run | librarian | test | fuzz [SECONDS] | soak [EDITOR_ROUNDS [LIBRARIAN_ROUNDS [SEEDS]]]" >&2
    exit 2
    ;;
esac
