#!/usr/bin/env bash
# Fixture for the portable tests: builds the archive as make portable does, into OUT/dist, and
# unpacks it into OUT/unpacked, so every test runs what a user would download.
#   bundle.sh MAKE_PORTABLE VORKEL VORKEL_CLI HELP_PAGE VERSION OUT
set -euo pipefail
make_portable=$1 out=$6
rm -rf "$out/dist" "$out/unpacked"
tarball=$("$make_portable" "$2" "$3" "$4" "$5" "$out/dist" | tail -n1)
mkdir -p "$out/unpacked"
tar -C "$out/unpacked" -xzf "$tarball"
echo "$tarball: $(du -b "$tarball" | cut -f1) bytes packed, $(du -sb "$out/unpacked/Vorkel" | cut -f1) bytes unpacked"
