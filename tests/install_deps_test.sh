#!/bin/sh
# SPDX-FileCopyrightText: 2026 zep developers
# SPDX-License-Identifier: MIT
# scripts/install-deps.sh against a made-up dpkg and apt: it asks apt only
# for the packages of the groups it is given that are missing, through sudo
# for an ordinary user; `caches` asks only for what builds the libraries;
# wrong groups get status 2 and nothing installed.
# Usage: install_deps_test.sh WORK_DIR
set -u
WORK=$1
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/cli_checks.sh"
rm -rf "$WORK" && mkdir -p "$WORK/bin"
bin=$WORK/bin
log=$WORK/apt.log

# Only these tools, so that this machine's own npm and apt are not found.
for tool in sh grep cat; do
    ln -s "$(command -v "$tool")" "$bin/$tool"
done
# dpkg-query: every package is installed but those named in $MISSING.
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/sh
for p in $MISSING; do [ "$p" = "$3" ] && exit 1; done
echo "install ok installed"
EOF
cat >"$bin/apt-get" <<EOF
#!/bin/sh
echo "apt-get \$*" >>"$log"
EOF
cat >"$bin/sudo" <<EOF
#!/bin/sh
echo "sudo" >>"$log"
exec "\$@"
EOF
printf '#!/bin/sh\necho 1000\n' >"$bin/id"
printf '#!/bin/sh\n' >"$bin/npm"
chmod +x "$bin"/*

# run MISSING [ARGS...]: install-deps.sh with those packages missing; its
# status in $status, what it printed in $WORK/out, what it asked apt in $log.
run() {
    missing=$1
    shift
    : >"$log"
    MISSING=$missing PATH=$bin sh "$HERE/../scripts/install-deps.sh" "$@" >"$WORK/out" 2>&1
    status=$?
}
installed() {  # the packages apt-get install was asked for, one a line
    sed -n 's/^apt-get install -y -qq --no-install-recommends //p' "$log" | tr ' ' '\n' | grep . | sort
}

run ""
[ "$status" -eq 0 ] || fail "all installed: status $status ($(cat "$WORK/out"))"
[ -s "$log" ] && fail "all installed, yet apt was asked: $(cat "$log")"

run "cmake chromium wine qemu-user-static" caches
[ "$status" -eq 0 ] || fail "caches: status $status"
[ "$(installed | tr '\n' ' ')" = "cmake qemu-user-static " ] ||
    fail "caches asked for '$(installed | tr '\n' ' ')', not the library builders cmake and qemu-user-static"
grep -qx sudo "$log" || fail "an ordinary user's install went without sudo"
grep -q "^apt-get update" "$log" || fail "no apt-get update before the install"

run "chromium wine qemu-user-static"
[ "$(installed | tr '\n' ' ')" = "chromium " ] || fail "no group: asked for '$(installed | tr '\n' ' ')', not chromium"
run "chromium wine qemu-user-static" windows linux
[ "$(installed | tr '\n' ' ')" = "chromium qemu-user-static wine " ] ||
    fail "windows linux: asked for '$(installed | tr '\n' ' ')'"

# npm is asked for where no npm is found, except by caches, which needs none.
rm "$bin/npm"
run ""
[ "$(installed | tr '\n' ' ')" = "npm " ] || fail "without npm: asked for '$(installed | tr '\n' ' ')', not npm"
run "" caches
[ -s "$log" ] && fail "caches asked for npm: $(cat "$log")"

for args in "caches linux" "bogus" "windows caches"; do
    # shellcheck disable=SC2086
    run "cmake" $args
    [ "$status" -eq 2 ] || fail "install-deps.sh $args: status $status, expected 2"
    [ -s "$log" ] && fail "install-deps.sh $args asked apt: $(cat "$log")"
    grep -q "install-deps.sh:" "$WORK/out" || fail "install-deps.sh $args says nothing"
done

finish_checks "install-deps"
