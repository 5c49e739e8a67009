#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# install-user.sh in a made-up home: it installs the plug-in, the tool, the
# manual page and the documents where hosts, the shell and man look; it
# refuses to replace a file it did not install; a second installation
# replaces the first; --uninstall removes exactly what it installed and the
# folders it made, keeps a file changed since and everything else.
#   check-install-user.sh INSTALL_USER_SH BUILD_DIR
set -euo pipefail
script=$1
build=$2
export HOME
HOME=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$HOME" "$log"' EXIT
unset XDG_DATA_HOME
fail=0
check() { # check DESCRIPTION COMMAND...
  if ! "${@:2}"; then
    echo "failed: $1" >&2
    fail=1
  fi
}
install_user() { "$script" --build "$build" --no-build "$@" > "$log" 2>&1 || { cat "$log" >&2; false; }; }
snapshot() { (cd "$HOME" && find . -mindepth 1 | sort); }

# The user's own files, some in the folders the installation uses.
mkdir -p "$HOME/.vst" "$HOME/.local/bin" "$HOME/Music"
echo other > "$HOME/.vst/other.so"
echo tool > "$HOME/.local/bin/other-tool"
echo song > "$HOME/Music/song.txt"
before=$(snapshot)

# A file of the user's where the plug-in would go: refused, nothing changed.
echo mine > "$HOME/.vst/ovinta.so"
check "refuses to replace a file it did not install" bash -c '! "$0" --build "$1" --no-build > /dev/null 2>&1' \
  "$script" "$build"
check "the user's file is kept" grep -qx mine "$HOME/.vst/ovinta.so"
rm "$HOME/.vst/ovinta.so"
check "a refused installation changes nothing" test "$(snapshot)" == "$before"

check "installs" install_user
for f in .vst/ovinta.so .local/bin/ovinta .local/share/man/man1/ovinta.1 \
  .local/share/doc/ovinta/README.md .local/share/doc/ovinta/CHANGELOG.md \
  .local/share/doc/ovinta/LICENSE .local/share/doc/ovinta/THIRD-PARTY; do
  check "installs ~/$f" test -s "$HOME/$f"
done
check "the installed tool runs" bash -c '"$0" --version > /dev/null' "$HOME/.local/bin/ovinta"
check "a host loads the installed plug-in" bash -c '"$0" "$1" | grep -q "^Product: *Ovinta$"' \
  "$build/tools/vsthost/vsthost" "$HOME/.vst/ovinta.so"
check "installs again over itself without --force" install_user

# A file replaced since (another build copied over it) survives the
# uninstallation; all else it installed goes, and the folders it made.
echo replaced > "$HOME/.local/bin/ovinta"
check "uninstalls" "$script" --uninstall > /dev/null
check "keeps the replaced file" grep -qx replaced "$HOME/.local/bin/ovinta"
rm "$HOME/.local/bin/ovinta"
after=$(snapshot)
if [[ $after != "$before" ]]; then
  echo "the home folder differs from before the installation:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  fail=1
fi
check "a second --uninstall fails" bash -c '! "$0" --uninstall > /dev/null 2>&1' "$script"
exit "$fail"
