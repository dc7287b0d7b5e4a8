#!/usr/bin/env bash
# Makes a backup through the real window with the real stand-in archiver,
# then opens the archive on the host: unzip must find it sound, and it must
# hold every file of the source with its content, and nothing else.
# Arguments: the tests program, scripts/wine-exec, the test that makes the
# backup, the archive's pattern and the source folder (both under drive_c),
# then what to remove under drive_c afterwards.
set -eu
tests_exe="$1"
wine_exec="$2"
test_name="$3"
drive_c="${QUENFOLD_TEST_PREFIX:?}/drive_c"
archive_pattern="$drive_c/$4"
source="$drive_c/$5"
shift 5
"$wine_exec" "$tests_exe" --gtest_also_run_disabled_tests --gtest_filter="$test_name"

archive=$(compgen -G "$archive_pattern" | head -1)
[ -n "$archive" ] || { echo "no archive matches $archive_pattern" >&2; exit 1; }
unzip -tq "$archive"
python3 - "$archive" "$source" <<'PY'
import os, sys, zipfile
archive, source = sys.argv[1], sys.argv[2]
expected = {}
for folder, _, files in os.walk(source):
    for name in files:
        path = os.path.join(folder, name)
        expected[os.path.relpath(path, source).replace(os.sep, "/")] = open(path, "rb").read()
with zipfile.ZipFile(archive) as z:
    stored = {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}
if stored != expected:
    sys.exit(f"archive holds {sorted(stored)}, source has {sorted(expected)}")
print(f"{len(stored)} files match the source")
PY
for leftover in "$@"; do rm -rf "${drive_c:?}/$leftover"; done
