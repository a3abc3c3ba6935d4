#!/bin/sh
# Installs the build into an empty prefix and checks what a Linux user gets:
# vantor-report in bin, and `man vantor-report` rendering without warnings.
#   check_man_install.sh BUILD_DIR PREFIX
# Exit status 77 (skipped) when man is not installed.
set -eu
build=$1
prefix=$2

command -v man >/dev/null 2>&1 || { echo "man is not installed (Debian: man-db)"; exit 77; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

"$prefix/bin/vantor-report" --version

page=$(MANPATH="$prefix/share/man" man -w vantor-report)
[ "$page" = "$prefix/share/man/man1/vantor-report.1" ] || { echo "man found '$page'"; exit 1; }

warnings=$(MANPATH="$prefix/share/man" LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all vantor-report 2>&1 >"$prefix/rendered.txt")
[ -z "$warnings" ] || { echo "$warnings"; exit 1; }
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" MESSAGES EXAMPLES; do
  grep -q "^$section\$" "$prefix/rendered.txt" || { echo "no section $section in the rendered page"; exit 1; }
done
echo "$page renders"
rm -rf "$prefix"
