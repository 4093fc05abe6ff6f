#!/bin/sh
# Makes generator/vectors.tsv with the openssl command-line tool and base64 only:
#
#   K      = openssl md5 of random bytes || password bytes
#   IV     = openssl enc -aes-128-ecb -K K -nopad of sixteen zero bytes
#   result = date-time text through openssl enc -aes-128-cfb8 -K K -iv IV, then base64
#
# Each row: random bytes (hex) TAB password bytes (hex) TAB date-time text TAB expected text.
set -eu
cd "$(dirname "$0")/generator"
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hex() { xxd -p | tr -d '\n'; }
unhex() { printf '%s' "$1" | xxd -r -p; }

row() {  # row RANDOM_HEX PASSWORD_HEX TEXT
    unhex "$1$2" > "$work/keyin"
    key=$(openssl md5 -binary < "$work/keyin" | hex)
    head -c 16 /dev/zero > "$work/zero"
    iv=$(openssl enc -aes-128-ecb -K "$key" -nopad -in "$work/zero" | hex)
    out=$(printf '%s' "$3" | openssl enc -aes-128-cfb8 -K "$key" -iv "$iv" | base64 -w 0)
    printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$out"
}

{
    echo "# Made by make-generator-vectors.sh: openssl md5, openssl enc -aes-128-ecb -nopad (IV),"
    echo "# openssl enc -aes-128-cfb8 -K K -iv IV, base64. random<TAB>password<TAB>text<TAB>expected"
    # "secret"
    row 0001020304050607 736563726574 "14/03/2024 09:26:53"
    row ffeeddccbbaa9988 736563726574 "31/12/1999 23:59:59"
    row 0001020304050608 736563726574 "14/03/2024 09:26:53"
    # Midnight: the date alone, 10 bytes.
    row 1122334455667788 736563726574 "25/12/2023"
    row 1122334455667788 736563726574 "01/01/2000 00:00:01"
    # "P\u00e4ssw\u00f6rd" in Windows-1252 and "\u0416uk" kept as UTF-8.
    row a1b2c3d4e5f60718 50e4737377f67264 "29/02/2024 12:00:00"
    row a1b2c3d4e5f60718 d096756b "29/02/2024 12:00:00"
} > vectors.tsv
