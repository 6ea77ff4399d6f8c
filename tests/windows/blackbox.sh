#!/usr/bin/env bash
# Runs usbio2-write.exe with no board attached and compares its standard
# output byte for byte, and its exit code, in a Japanese locale (Wine then
# uses code page 932) and in the C locale (the messages fall back to UTF-8).
# Redirected output ends its lines with CR LF.
# Usage: blackbox.sh EXE EMULATOR...
set -uo pipefail
exe=$1
shift
emulator=("$@")

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "the ja_JP.UTF-8 locale is missing; make it with: localedef -i ja_JP -f UTF-8 ja_JP.UTF-8"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

notFound=$'USB-IO2が見つかりません\r\n'
valueLimit=$'1個のデバイスに2個以上の出力は設定できません\r\n'
indexLimit='4個以上の指定はサポートしていません'
negativeIndex=$'デバイス番号は0から3の範囲で指定してください\r\n'

failures=0

# expect LOCALE ENCODING EXIT-CODE EXPECTED-TEXT ARGUMENTS...
expect() {
  local locale=$1 encoding=$2 code=$3 text=$4
  shift 4
  printf '%s' "$text" | iconv -f UTF-8 -t "$encoding" >"$work/expected"
  env -u LC_ALL -u LC_CTYPE -u LC_MESSAGES -u LANGUAGE LANG="$locale" \
    "${emulator[@]}" "$exe" "$@" >"$work/actual" 2>/dev/null </dev/null
  local actual=$?
  if [[ $actual -ne $code ]] || ! cmp -s "$work/expected" "$work/actual"; then
    failures=$((failures + 1))
    echo "FAILED: LANG=$locale usbio2-write $*"
    echo "  exit code $actual, expected $code"
    echo "  output:"
    od -An -tx1 "$work/actual" | sed 's/^/   /'
    echo "  expected:"
    od -An -tx1 "$work/expected" | sed 's/^/   /'
  else
    echo "ok: LANG=$locale usbio2-write $*"
  fi
}

for setting in ja_JP.UTF-8:CP932 C:UTF-8; do
  locale=${setting%%:*}
  encoding=${setting#*:}
  expect "$locale" "$encoding" 1 "$notFound"
  expect "$locale" "$encoding" 1 $'0: 5,6\r\n'"$notFound" 5 6
  expect "$locale" "$encoding" 1 $'1: ff,0\r\n'"$notFound" /s1 255
  expect "$locale" "$encoding" 1 $'0: 7,0\r\n2: 1,2\r\n'"$notFound" 7 /s2 1 2 /t500
  expect "$locale" "$encoding" 1 $'0: ffffffff,0\r\n'"$notFound" -1
  expect "$locale" "$encoding" 1 "$valueLimit" 1 2 3
  expect "$locale" "$encoding" 1 "$indexLimit" /s4
  expect "$locale" "$encoding" 1 "$negativeIndex" /s-1
  expect "$locale" "$encoding" 1 "$notFound" --list
done
# Full-width digits reach wmain as the wide characters they are.
expect ja_JP.UTF-8 CP932 1 $'2: c,0\r\n'"$notFound" /s２ １２

((failures == 0))
