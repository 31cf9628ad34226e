#!/usr/bin/env bash
# The Debian package: CPack builds it and lintian finds no error in it;
# installed with dpkg -i, it registers the component for every user and
# /usr/bin/zxwizard plays its demo in an empty folder; removed and purged,
# nothing of it is left. It changes the machine, so it runs as root only
# and puts the machine back whatever happens.
# Usage: package.sh BUILD_DIR
set -euo pipefail
build=$1
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs root"; exit 77; }
if dpkg-query -W -f='${Status}' zxwizard 2>/dev/null | grep -qv 'not-installed'; then
    echo "skipped: a zxwizard package is already on this machine"
    exit 77
fi
work=$(mktemp -d)
registry=/etc/xdg/zxcom/registry.ini saved=$work/registry.before
[ ! -e "$registry" ] || cp -p "$registry" "$saved"
cleanup() {
    set +e
    dpkg-query -W zxwizard >/dev/null 2>&1 && dpkg --purge zxwizard >/dev/null 2>&1
    if [ -e "$saved" ]; then
        cp -p "$saved" "$registry"
    else
        rm -f "$registry"
        rmdir "$(dirname "$registry")" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "$*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(echo "$work"/deb/zxwizard_*.deb)
# Its status alone decides: filtering its output through grep would let the
# filter's status stand for it.
findings=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian found errors: $findings"

dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed: $(cat "$work/dpkg.log")"
mapfile -t files < <(dpkg -L zxwizard)
module=$(printf '%s\n' "${files[@]}" | grep '/zxwizard/libzxwizard.so$')
grep -qF "InprocServer32=$module" "$registry" || fail "$registry does not name $module"

# A user with no registry of their own: the demo uses the system's, and
# writes nothing into the user's home but the demo account.
mkdir -m 700 "$work/home" "$work/runtime" && mkdir "$work/empty"
(cd "$work/empty" && env -u ZXCOM_REGISTRY -u XDG_CONFIG_DIRS -u XDG_CONFIG_HOME HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen timeout 120 /usr/bin/zxwizard demo) \
    >"$work/demo.log" 2>&1 || fail "zxwizard demo failed: $(cat "$work/demo.log")"
ls "$work"/empty/zxwizard-demo/ZXDATA_*.db >/dev/null || fail "the demo made no account"
[ -z "$(ls -A "$work/home")" ] || fail "the demo wrote into the home folder: $(find "$work/home")"

dpkg -r zxwizard >"$work/dpkg.log" 2>&1 || fail "dpkg -r failed: $(cat "$work/dpkg.log")"
dpkg --purge zxwizard >"$work/dpkg.log" 2>&1 || fail "dpkg --purge failed: $(cat "$work/dpkg.log")"
for path in "${files[@]}"; do
    # Folders shared with other packages stay, holding their files.
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        [ -n "$(ls -A "$path")" ] || fail "an empty folder is left: $path"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "left after removal: $path"
    fi
done
if [ -e "$saved" ]; then
    cmp -s "$saved" "$registry" || fail "$registry is not as before the installation"
else
    [ ! -e "$(dirname "$registry")" ] || fail "$(dirname "$registry") is left"
fi
! ldconfig -p | grep -q libzxdbkit || fail "the linker cache still names the libraries"
echo "packaged, installed, demo run from /usr/bin, removed without a trace"
