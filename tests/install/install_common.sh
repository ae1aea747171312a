# shellcheck shell=bash
# Shared by the install tests (sourced): messages, a temporary folder whose
# name holds a space, and installing the build tree into a prefix there.
# Set KORVIN4_KEEP_TEST_FILES=1 to keep the temporary folder for a look.

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
check() { echo "ok: $*"; }

cleanup_steps=()
on_exit() {
  local step
  for step in "${cleanup_steps[@]}"; do eval "$step"; done
  if [ -n "${tmp:-}" ] && [ "${KORVIN4_KEEP_TEST_FILES:-0}" != 1 ]; then rm -rf -- "$tmp"; fi
}
trap on_exit EXIT

tmp=$(mktemp -d "${TMPDIR:-/tmp}/korvin4 install.XXXXXX") || fail "no temporary folder"
echo "test folder: $tmp"

# Installs build tree $2 with cmake $1 into prefix $3. The list of installed
# files that cmake writes into the build tree is kept as $tmp/manifest.txt,
# and the user's own list from a real installation is put back.
install_into() {
  local manifest="$2/install_manifest.txt"
  if [ -f "$manifest" ]; then
    cp -p "$manifest" "$tmp/user-manifest.txt" || fail "cannot keep $manifest"
  fi
  "$1" --install "$2" --prefix "$3" > "$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log"; fail "cmake --install into \"$3\" failed"; }
  mv -f "$manifest" "$tmp/manifest.txt"
  if [ -f "$tmp/user-manifest.txt" ]; then mv -f "$tmp/user-manifest.txt" "$manifest"; fi
}

# Succeeds when the two files have the same bytes.
same_bytes() { cmp -s -- "$1" "$2"; }
