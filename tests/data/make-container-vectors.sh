#!/bin/sh
# Makes the expected container files in container/*.hex with the openssl command-line tool only,
# so the tests compare our cipher code against an independent reference.
#
#   K     = openssl md5 of salt || pass string
#   IV    = openssl enc -aes-128-ecb -K K -nopad of sixteen zero bytes
#   whole = openssl enc -aes-128-cbc -K K -iv IV -nopad of the whole 16-byte blocks
#   tail  = the last r bytes xor the first r bytes of openssl enc -aes-128-ecb of the last
#           chaining value (the last whole cipher block, or IV when there is none)
#
# Plain text of size n: byte i is (i * 7 + 3) mod 256.
# Each output file holds comment lines starting with "#", then salt || cipher text as hex.
set -eu
cd "$(dirname "$0")/container"
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hex() { xxd -p | tr -d '\n'; }
unhex() { printf '%s' "$1" | xxd -r -p; }

plain_text() {  # plain_text SIZE > file
    awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "%02x", (i * 7 + 3) % 256 }' | xxd -r -p
}

xor_hex() {  # xor_hex A B: xor of two hex strings of equal length
    a=$1
    b=$2
    out=
    while [ -n "$a" ]; do
        x=$(printf '%s' "$a" | cut -c1-2)
        y=$(printf '%s' "$b" | cut -c1-2)
        out=$out$(printf '%02x' $((0x$x ^ 0x$y)))
        a=$(printf '%s' "$a" | cut -c3-)
        b=$(printf '%s' "$b" | cut -c3-)
    done
    printf '%s' "$out"
}

make_vector() {  # make_vector NAME SALT_HEX PASS_HEX SIZE NOTE
    name=$1 salt=$2 pass=$3 size=$4 note=$5
    unhex "$salt$pass" > "$work/keyin"
    key=$(openssl md5 -binary < "$work/keyin" | hex)
    head -c 16 /dev/zero > "$work/zero"
    iv=$(openssl enc -aes-128-ecb -K "$key" -nopad -in "$work/zero" | hex)

    plain_text "$size" > "$work/plain"
    whole=$((size - size % 16))
    rest=$((size % 16))
    head -c "$whole" "$work/plain" > "$work/whole"
    openssl enc -aes-128-cbc -K "$key" -iv "$iv" -nopad -in "$work/whole" > "$work/cipher"
    cipher=$(hex < "$work/cipher")

    if [ "$rest" -gt 0 ]; then
        if [ "$whole" -gt 0 ]; then
            chain=$(tail -c 16 "$work/cipher" | hex)
        else
            chain=$iv
        fi
        unhex "$chain" > "$work/chain"
        stream=$(openssl enc -aes-128-ecb -K "$key" -nopad -in "$work/chain" | head -c "$rest" | hex)
        tailplain=$(tail -c "$rest" "$work/plain" | hex)
        cipher=$cipher$(xor_hex "$tailplain" "$stream")
    fi

    {
        echo "# $note: salt $salt, pass string $pass, $size bytes of (i * 7 + 3) mod 256"
        echo "# K = openssl md5 -binary of salt||pass = $key"
        echo "# IV = openssl enc -aes-128-ecb -K K -nopad of 16 zero bytes = $iv"
        echo "# whole blocks: openssl enc -aes-128-cbc -K K -iv IV -nopad;" \
            "tail: xor with openssl enc -aes-128-ecb -K K -nopad of the last chaining value"
        printf '%s%s\n' "$salt" "$cipher" | fold -w 64
    } > "$name.hex"
}

# Pass strings: "alice" + "secret"; "Jos\u00e9" + "pw" in Windows-1252; "\u0416enya" + "pw" in UTF-8.
ascii=616c696365736563726574
cp1252=4a6f73e97077
utf8=d096656e79617077

make_vector empty   0001020304050607 $ascii  0     "empty document"
make_vector size1   1011121314151617 $ascii  1     "one byte"
make_vector size15  2021222324252627 $ascii  15    "one byte short of a block"
make_vector size16  3031323334353637 $ascii  16    "one whole block"
make_vector size17  4041424344454647 $ascii  17    "a block and one byte"
make_vector size8191 5051525354555657 $ascii 8191  "one byte short of 8192"
make_vector size8192 6061626364656667 $ascii 8192  "8192 bytes"
make_vector size8193 7071727374757677 $ascii 8193  "8192 bytes and one"
make_vector size40009 8081828384858687 $ascii 40009 "a longer text with a tail"
make_vector windows1252 f0e1d2c3b4a59687 $cp1252 33  "pass string in Windows-1252"
make_vector utf8     0f1e2d3c4b5a6978 $utf8   33    "pass string kept as UTF-8"
