#!/bin/sh
# Runs a Qt Test program's function as the user nobody, in a home of its own: under root
# every file is readable, so the rows about files the user may not read only run this way.
# Usage: as_nobody.sh PROGRAM FUNCTION
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root to become nobody (as another user these rows run in the normal test)"; exit 77; }
setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$1" ||
    { echo "SKIP: nobody may not run $1 (a folder above it is private)"; exit 77; }
home=$(mktemp -d) && chown nobody "$home" || exit 1
HOME=$home XDG_CONFIG_HOME=$home XDG_DATA_HOME=$home XDG_CACHE_HOME=$home XDG_RUNTIME_DIR=$home TMPDIR=$home \
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$1" "$2"
status=$?
rm -rf "$home"
exit $status
