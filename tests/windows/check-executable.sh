#!/usr/bin/env bash
# Checks what usbio2-write.exe carries and needs: an embedded application
# manifest asking for the invoker's rights, a version resource naming the
# product, and no DLL beyond those every Windows installation has.
# Usage: check-executable.sh OBJDUMP WINDRES EXE
set -uo pipefail
objdump=$1
windres=$2
exe=$3
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Anything else (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll)
# would have to be shipped beside the program.
systemDlls='^(kernel32|msvcrt|setupapi|hid|cfgmgr32|advapi32|user32|ntdll)\.dll$'
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[[ -n $imports ]] || fail "no imports found in $exe"
for dll in $imports; do
  if [[ $dll =~ $systemDlls ]]; then
    echo "ok: imports $dll"
  else
    fail "imports $dll, which is not a system DLL"
  fi
done

# windres writes the resources back as a script: the manifest is resource
# type 24 (RT_MANIFEST) with ID 1, its quotes doubled.
if ! resources=$("$windres" -i "$exe" -O rc 2>&1); then
  fail "cannot read the resources of $exe: $resources"
fi
if grep -q '^1 24' <<<"$resources" && grep -q 'level=""asInvoker""' <<<"$resources"; then
  echo "ok: manifest embedded, level asInvoker"
else
  fail "no application manifest with level=\"asInvoker\""
fi
if grep -q 'VERSIONINFO' <<<"$resources" &&
  grep -q 'VALUE "ProductName", "usbio2-write"' <<<"$resources"; then
  echo "ok: version resource"
else
  fail "no version resource naming the product"
fi

((failures == 0))
