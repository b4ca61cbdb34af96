#!/usr/bin/env bash
# Installs the build into a temporary prefix and converts a file with the installed program, from
# a folder holding the installed data files, as a new user would.
#   install_test.sh CMAKE BUILD_DIR VERSION
set -euo pipefail
cmake=$1 build=$2 version=$3
prefix=$(mktemp -d) work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for file in bin/lexpaint share/lexpaint/Header.html share/lexpaint/Footer.html \
            share/lexpaint/C_Keywords.txt share/man/man1/lexpaint.1; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/lexpaint" ] || fail "bin/lexpaint is not executable"

[ "$("$prefix/bin/lexpaint" --version)" = "lexpaint $version" ] || fail "wrong --version"

cp "$prefix"/share/lexpaint/* "$work"
printf 'int main() { return 0; }\n' >"$work/hello.cpp"
(cd "$work" && "$prefix/bin/lexpaint" hello.cpp) || fail "conversion exited with $?"
page=$(cat "$work/hello.cpp.html")
header=$(cat "$prefix/share/lexpaint/Header.html")
[[ $page == "$header"* ]] || fail "the page does not start with the installed header"
[[ $page == *'<span class="Keyword">int</span> <span class="Identifier">main</span>'* ]] ||
  fail "the page lacks the highlighted source"

if command -v man >/dev/null; then
  MANWIDTH=80 man -l "$prefix/share/man/man1/lexpaint.1" 2>&1 | grep -q 'lexpaint' ||
    fail "the manual page does not render"
fi
echo "install test passed"
