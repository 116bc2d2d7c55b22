#!/usr/bin/env bash
# Private Wine environment for running the calculator and its end-to-end tests.
#
#   tools/wine-env.sh start DIR   Xvfb on a free display, a fresh 64-bit prefix in DIR/prefix,
#                                 a persistent wineserver; writes DIR/env.sh to source.
#   tools/wine-env.sh stop DIR    ends what start began (by recorded pid) and removes the prefix.
#   tools/wine-env.sh locale      only makes sure the zh_CN.UTF-8 locale exists.
#
# start on a DIR that is already in use (or was left behind by a crash) stops the old one first.
# Nothing reads the terminal: safe with no TTY and no stdin, as in CI.
set -euo pipefail

WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
LOCALE_NAME=zh_CN.UTF-8

die() {
    echo "wine-env: $*" >&2
    exit 1
}

log() {
    echo "wine-env: $*" >&2
}

usage() {
    echo "usage: $0 start|stop DIR | $0 locale" >&2
    exit 2
}

# True when pid is alive and its command name is the one we started; guards against a
# recycled pid after a crash.
pid_is() {
    local pid=$1 name=$2 comm
    [[ -n $pid && -r /proc/$pid/comm ]] || return 1
    comm=$(cat "/proc/$pid/comm" 2>/dev/null) || return 1
    [[ $comm == "$name"* ]]
}

kill_recorded() {
    local file=$1 name=$2 pid i
    [[ -f $file ]] || return 0
    pid=$(cat "$file")
    if pid_is "$pid" "$name"; then
        kill -TERM "$pid" 2>/dev/null || true
        for ((i = 0; i < 50; i++)); do
            pid_is "$pid" "$name" || break
            sleep 0.1
        done
        if pid_is "$pid" "$name"; then
            kill -KILL "$pid" 2>/dev/null || true
        fi
    fi
    rm -f "$file"
}

ensure_locale() {
    if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
        return 0
    fi
    [[ $(id -u) == 0 ]] || die "locale $LOCALE_NAME is not generated and only root can generate it (locale-gen)"
    command -v locale-gen >/dev/null || command -v localedef >/dev/null ||
        die "neither locale-gen nor localedef found: install the package 'locales'"
    log "generating locale $LOCALE_NAME"
    (
        # Two starts at once must not both rewrite locale.gen.
        flock 9
        if [[ -f /etc/locale.gen ]] && command -v locale-gen >/dev/null; then
            if ! grep -q '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
                if grep -q '^# *zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
                    sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
                else
                    echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
                fi
            fi
            locale-gen >/dev/null
        else
            localedef -i zh_CN -f UTF-8 "$LOCALE_NAME"
        fi
    ) 9>/var/lock/wine-env-locale.lock
    locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8' || die "generating locale $LOCALE_NAME failed"
}

stop_env() {
    local dir=$1
    [[ -d $dir ]] || return 0
    if [[ -d $dir/prefix && -x $WINESERVER ]]; then
        # Ends every Wine process of this prefix, then the server itself.
        WINEPREFIX=$dir/prefix timeout 20 "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
    fi
    kill_recorded "$dir/wineserver.pid" wineserver
    kill_recorded "$dir/xvfb.pid" Xvfb
    rm -rf "$dir/prefix"
    rm -f "$dir/env.sh" "$dir/xvfb.display"
}

start_env() {
    local dir=$1 display="" i xpid spid
    [[ -x $WINE64 ]] || die "wine64 not found at $WINE64 (Debian package wine64)"
    [[ -x $WINESERVER ]] || die "wineserver not found at $WINESERVER (Debian package wine64)"
    command -v Xvfb >/dev/null || die "Xvfb not found (Debian package xvfb)"
    fc-list 2>/dev/null | grep -qi 'wenquanyi\|wqy' ||
        log "warning: no CJK font (fonts-wqy-microhei): Chinese texts will not render"
    ensure_locale

    mkdir -p "$dir"
    stop_env "$dir"

    # Xvfb picks the first free display itself and writes its number once it accepts clients.
    : >"$dir/xvfb.display"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$dir/xvfb.display" </dev/null >"$dir/xvfb.log" 2>&1 &
    xpid=$!
    echo "$xpid" >"$dir/xvfb.pid"
    for ((i = 0; i < 200; i++)); do
        display=$(tr -dc '0-9' <"$dir/xvfb.display")
        [[ -n $display ]] && break
        kill -0 "$xpid" 2>/dev/null || die "Xvfb exited at start: $(tail -n 5 "$dir/xvfb.log")"
        sleep 0.1
    done
    [[ -n $display ]] || die "Xvfb did not report a display"

    mkdir -p "$dir/prefix"
    export DISPLAY=:$display
    export WINEPREFIX=$dir/prefix
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=$LOCALE_NAME
    export LANG=$LOCALE_NAME
    export WINESERVER
    unset WINELOADER

    setsid "$WINESERVER" -f -p </dev/null >"$dir/wineserver.log" 2>&1 &
    spid=$!
    echo "$spid" >"$dir/wineserver.pid"

    # Pay for creating the prefix here rather than in the first test.
    if ! timeout 180 "$WINE64" wineboot --init </dev/null >"$dir/wineboot.log" 2>&1; then
        die "wineboot failed: $(tail -n 5 "$dir/wineboot.log")"
    fi
    kill -0 "$spid" 2>/dev/null || die "wineserver exited: $(tail -n 5 "$dir/wineserver.log")"
    # With no window manager on Xvfb, Wine waits 2 s for one on every hidden top-level window
    # (each dismissed message box) unless its windows are unmanaged.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$dir/wineboot.log" 2>&1 ||
        die "cannot set the X11 driver's Managed=N: $(tail -n 5 "$dir/wineboot.log")"

    {
        echo "# written by tools/wine-env.sh start"
        for var in DISPLAY WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES LC_ALL LANG WINESERVER WINE64; do
            printf 'export %s=%q\n' "$var" "${!var}"
        done
        # stop reads the pids from xvfb.pid and wineserver.pid, written as each process started.
        printf 'WINE_ENV_XVFB_PID=%s\nWINE_ENV_WINESERVER_PID=%s\n' "$xpid" "$spid"
    } >"$dir/env.sh.tmp"
    mv "$dir/env.sh.tmp" "$dir/env.sh"
    log "ready: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX (source $dir/env.sh)"
}

if [[ $# == 1 && $1 == locale ]]; then
    ensure_locale
    exit 0
fi
[[ $# == 2 ]] || usage
dir=$2
[[ -n $dir ]] || usage
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

case $1 in
start) start_env "$dir" ;;
stop) stop_env "$dir" ;;
*) usage ;;
esac
