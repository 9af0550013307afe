#!/usr/bin/env bash
# tools/windows/dll_imports.sh FOLDER
# Checks that every DLL imported by an .exe or .dll in FOLDER (and below) is either in FOLDER or
# part of Windows itself, so that the folder runs on a bare Windows. A DLL counts as Windows'
# own when MinGW-w64 has an import library for it (kernel32, user32, msvcrt, ...). Prints the
# imports and exits 1 naming what is missing.
set -euo pipefail
folder=${1:?usage: dll_imports.sh FOLDER}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
sysroot_lib=${MINGW_LIB:-/usr/x86_64-w64-mingw32/lib}
missing=0
shipped=$(find "$folder" -maxdepth 1 -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]')
while IFS= read -r -d '' binary; do
  while read -r dll; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    if grep -qxF "$lower" <<<"$shipped"; then
      where=shipped
    elif [ -f "$sysroot_lib/lib${lower%.dll}.a" ] || [[ $lower == api-ms-win-* ]]; then
      where=windows
    else
      where=MISSING
      missing=1
    fi
    printf '%-28s %-24s %s\n' "${binary#"$folder"/}" "$dll" "$where"
  done < <("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$folder" \( -iname '*.exe' -o -iname '*.dll' \) -print0 | sort -z)
if [ "$missing" -ne 0 ]; then
  echo "dll_imports.sh: some imported DLLs are neither shipped nor part of Windows" >&2
  exit 1
fi
