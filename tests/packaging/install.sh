#!/usr/bin/env bash
# cmake --install into a new prefix; the installed command finds its own
# component; both example hosts build against the installed tree, through
# find_package and through pkg-config, and set up a new account each.
# Usage: install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(find "$prefix/lib" -name libzxwizardc.so -printf '%h\n')
for library in libzxplatform.so.1 libzxdbkit.so.1 libzxdbkit-odbc.so.1 libzxwizardc.so.1; do
    objdump -p "$libdir/$library" | grep -q "SONAME *$library\$" || { echo "$library: no SONAME"; exit 1; }
done

export ZXCOM_REGISTRY=$work/registry.ini XDG_CONFIG_DIRS=$work/no-system-registry
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
zxwizard=$prefix/bin/zxwizard
accounts=$work/accounts
written() {  # ACCOUNT: the sales setup of the run before was saved
    "$zxwizard" show --db "$accounts/ZXDATA_$1_2026.db" --sys SA | grep -q '2026-3-1' ||
        { echo "account $1: the sales start month was not written"; exit 1; }
}

"$zxwizard" create-account "$accounts" --account 001 --year 2026 >/dev/null
printf 'click ComN\ntype Te43 3\nclick ComE\n' >"$work/sales.script"
timeout 120 "$zxwizard" run --db "$accounts/ZXDATA_001_2026.db" --sys SA --script "$work/sales.script" \
    >/dev/null || { echo "zxwizard run: exit $?"; exit 1; }
grep -qF "InprocServer32=$libdir/zxwizard/libzxwizard.so" "$ZXCOM_REGISTRY" ||
    { echo "the installed command registered another component:"; cat "$ZXCOM_REGISTRY"; exit 1; }
written 001
# The kit loads its ODBC part from beside itself: the driver manager answers.
if error=$("$zxwizard" show --odbc DSN=zxnone 2>&1); then
    echo "an ODBC account that does not exist was shown"; exit 1
fi
[[ $error == *"Data source name not found"* ]] || { echo "zxwizard show --odbc said: $error"; exit 1; }

cmake -S "$source/examples" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
export PKG_CONFIG_PATH=$libdir/pkgconfig
rpath=-Wl,-rpath,$(pkg-config --variable=libdir zxwizard)
mkdir "$work/pkg-config"
cc -Wall -Wextra -Werror -o "$work/pkg-config/host-c" "$source/examples/host.c" \
    $(pkg-config --cflags --libs zxwizard) "$rpath"
# Qt wants code that uses its classes position-independent: a copied
# staticMetaObject would make qobject_cast fail.
c++ -std=c++20 -fPIC -Wall -Wextra -Werror -o "$work/pkg-config/host-cpp" "$source/examples/host.cpp" \
    $(pkg-config --cflags --libs zxwizard-cxx Qt6Widgets) "$rpath"

account=1
for how in cmake pkg-config; do
    for host in host-c host-cpp; do
        account=$((account + 1))
        "$zxwizard" create-account "$accounts" --account "00$account" --year 2026 >/dev/null
        connection="Provider=SQLite;Data Source=$accounts/ZXDATA_00${account}_2026.db"
        if [ $host = host-c ]; then
            set -- "$work/sales.script"
        else
            set -- ComN Te43=3 ComE
        fi
        output=$(timeout 120 "$work/$how/$host" "$connection" SA "$@") ||
            { echo "$how $host: exit $?: $output"; exit 1; }
        [ "$output" = written ] || { echo "$how $host said: $output"; exit 1; }
        written "00$account"
    done
done

# A failure reaches a C host as a text.
if error=$("$work/cmake/host-c" "Provider=SQLite;Data Source=$accounts/none.db" SA 2>&1); then
    echo "host-c opened a missing account"; exit 1
fi
[[ $error == *"not found"* ]] || { echo "host-c said: $error"; exit 1; }
echo "installed; the command and both example hosts, built both ways, set accounts up"
