#!/usr/bin/env bash
# Makes a backup through the real window with the real stand-in archiver,
# then opens the archive on the host: unzip must find it sound, and it must
# hold every file of the source with its content.
set -eu
tests_exe="$1"
wine_exec="$2"
prefix="${QUENFOLD_TEST_PREFIX:?}"
"$wine_exec" "$tests_exe" --gtest_also_run_disabled_tests --gtest_filter='BackupArchive.DISABLED_MadeByTheRealStandIn'

root="$prefix/drive_c/quenfold-e2e-backup"
archive=$(ls "$root"/Zips/E2e-*.zip)
unzip -tq "$archive"
python3 - "$archive" "$root/Source" <<'PY'
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
rm -rf "$root"
