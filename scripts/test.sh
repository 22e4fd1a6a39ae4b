#!/usr/bin/env bash
# Builds everything warning-free and runs the whole suite through ctest, then again
# under address, leak and undefined-behaviour sanitizers, then the three fuzz targets for a bounded time.
# The sanitizer build is made with clang, so the fuzz targets come from the same build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
jobs=$(nproc)

# Every C++ file follows .clang-format.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
# Includes run one way, from higher folders to lower ones.
bash scripts/check-layers.sh

# Optimised without debug information: the suite needs no debugger, and it builds faster.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 \
  -DLADOMAT_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

# The Debian package from that build, unpacked into a scratch root: its files, its launcher,
# the libraries it declares and finds.
rm -f build/ladomat-link_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(echo build/ladomat-link_*.deb)
root=$(mktemp -d)
dpkg-deb -x "$deb" "$root"
for file in usr/bin/ladomat-link usr/share/applications/ladomat-link.desktop \
            usr/share/icons/hicolor/scalable/apps/ladomat-link.svg; do
  [ -s "$root/$file" ] || { echo "$deb lacks /$file"; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/ladomat-link.desktop"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6serialport6 qt6-qpa-plugins libqt6svg6 fonts-liberation2 qt6-translations-l10n; do
  grep -q "$package" <<<"$depends" || { echo "$deb does not depend on $package: $depends"; exit 1; }
done
! ldd "$root/usr/bin/ladomat-link" | grep "not found" || { echo "$deb: libraries not found"; exit 1; }
echo "Package $deb ($(du -k "$deb" | cut -f1) KiB) checked"
rm -rf "$root"

cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DLADOMAT_SANITIZE=ON \
  -DLADOMAT_FUZZ=ON -DLADOMAT_BENCH=OFF -DLADOMAT_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
# Leaks are checked; scripts/lsan.supp lists the few caches of system libraries left out.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

# The three targets at once for the given time: the framer and decoder from nothing, the user's
# session and the saved-record reader from their committed seeds; what they add stays in
# temporary folders.
seconds=${LADOMAT_FUZZ_SECONDS:-30}
fuzz() {
  local corpus
  corpus=$(mktemp -d)
  case $1 in
    fuzz_session) cp fuzz/corpus/* "$corpus" ;;
    fuzz_curvefile) cp fuzz/corpus-curvefile/* "$corpus" ;;
  esac
  local status=0
  ./build-asan/fuzz/"$1" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 \
    -artifact_prefix=build-asan/"$1"- "$corpus" >build-asan/"$1".log 2>&1 || status=$?
  rm -rf "$corpus"
  return $status
}
fuzz fuzz_framer & framer=$!
fuzz fuzz_session & session=$!
fuzz fuzz_curvefile & curvefile=$!
failed=0
wait $framer || failed=1
wait $session || failed=1
wait $curvefile || failed=1
for target in fuzz_framer fuzz_session fuzz_curvefile; do
  echo "$target:"
  tail -n 12 build-asan/$target.log
done
exit $failed
