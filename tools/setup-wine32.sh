#!/usr/bin/env bash
# Makes this Debian 12 (amd64) machine able to run 32-bit (i686) Windows
# programs under Wine, next to the 64-bit wine64, and checks that it works.
#
# Idempotent; meant for root, also without a TTY (CI=true).
#
#   tools/setup-wine32.sh                  install what is missing, then verify
#   tools/setup-wine32.sh --check          install nothing, only verify
#   tools/setup-wine32.sh --prefix DIR [--arch win32|win64]
#                                          also create a ready Wine prefix in DIR
#
# Environment:
#   WINE32_QEMU=auto|yes|no  auto (default): if this kernel cannot execute i386
#                            ELF itself (ia32 emulation off: "Exec format
#                            error"), install qemu-user-static and register
#                            qemu-i386 with binfmt_misc. yes: do that even when
#                            native i386 works (slow: every 32-bit process is
#                            then emulated). no: never use qemu.
#   WINE32_QEMU_BACKPORTS=1  (default) take qemu from bookworm-backports (10.x):
#                            Debian 12's qemu 7.2 needs 1-2 minutes of CPU per
#                            32-bit Wine process, 10.x about a second. 0: use 7.2.
#   WINE32_LOCALE            locale to generate (default zh_CN.UTF-8, "" = none)
#
# What a 32-bit run needs afterwards (see also --prefix):
#   export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=:N
#   wine prog.exe   (the wrapper picks the 32-bit loader /usr/lib/wine/wine)
set -euo pipefail

QEMU_MODE=${WINE32_QEMU:-auto}
LOCALE_WANTED=${WINE32_LOCALE-zh_CN.UTF-8}
CHECK_ONLY=0
PREFIX_DIR=
PREFIX_ARCH=win32

say() { printf 'setup-wine32: %s\n' "$*" >&2; }
die() { printf 'setup-wine32: ERROR: %s\n' "$*" >&2; exit 1; }

while [ $# -gt 0 ]; do
  case $1 in
    --check) CHECK_ONLY=1 ;;
    --prefix) PREFIX_DIR=${2:?--prefix needs a directory}; shift ;;
    --arch) PREFIX_ARCH=${2:?--arch needs win32 or win64}; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) die "unknown argument: $1 (see --help)" ;;
  esac
  shift
done
case $QEMU_MODE in auto|yes|no) ;; *) die "WINE32_QEMU must be auto, yes or no (got '$QEMU_MODE')" ;; esac
case $PREFIX_ARCH in win32|win64) ;; *) die "--arch must be win32 or win64 (got '$PREFIX_ARCH')" ;; esac

[ "$(id -u)" = 0 ] || die "must run as root (installs packages, mounts binfmt_misc)"
command -v dpkg >/dev/null || die "dpkg not found: this script is for Debian 12"
[ "$(dpkg --print-architecture)" = amd64 ] || die "host architecture is $(dpkg --print-architecture), expected amd64"

export DEBIAN_FRONTEND=noninteractive
APT=(apt-get -o DPkg::Lock::Timeout=600 -o Acquire::Retries=3 -y -q)

is_installed() { [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null)" = "ii " ]; }

apt_updated=0
apt_update() {
  [ $apt_updated = 1 ] && return 0
  say "apt-get update"
  "${APT[@]}" update </dev/null >/dev/null || die "apt-get update failed"
  apt_updated=1
}

install_pkgs() {   # installs those of "$@" that are not installed yet
  local missing=() p
  for p in "$@"; do is_installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} = 0 ] && return 0
  [ $CHECK_ONLY = 1 ] && die "missing packages: ${missing[*]} (run without --check to install)"
  apt_update
  say "installing: ${missing[*]}"
  "${APT[@]}" install --no-install-recommends "${missing[@]}" </dev/null >/tmp/setup-wine32-apt.log 2>&1 ||
    { tail -n 30 /tmp/setup-wine32-apt.log >&2; die "apt-get install ${missing[*]} failed (log: /tmp/setup-wine32-apt.log)"; }
  for p in "${missing[@]}"; do is_installed "$p" || die "package $p is still not installed"; done
}

# --- 1. i386 architecture and Wine (32-bit and 64-bit, same version) ---------
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  [ $CHECK_ONLY = 1 ] && die "dpkg architecture i386 is not enabled (run without --check)"
  say "dpkg --add-architecture i386"
  dpkg --add-architecture i386
  apt_updated=0
fi
# wine: the /usr/bin/wine wrapper (prefers the 32-bit loader once wine32 is there);
# wine64 stays installed, so /usr/lib/wine/wine64 keeps working.
install_pkgs wine wine64 wine32:i386 libwine:amd64 libwine:i386 xvfb locales
[ -x /usr/lib/wine/wine ] || die "/usr/lib/wine/wine (package wine32:i386) is missing"
[ -x /usr/lib/wine/wine64 ] || die "/usr/lib/wine/wine64 (package wine64) is missing"
v32=$(dpkg-query -W -f='${Version}' wine32:i386) v64=$(dpkg-query -W -f='${Version}' wine64)
[ "$v32" = "$v64" ] || die "wine32:i386 ($v32) and wine64 ($v64) differ in version; install both from the same release"

# --- 2. locale ------------------------------------------------------------------
if [ -n "$LOCALE_WANTED" ]; then
  norm=$(printf '%s' "$LOCALE_WANTED" | sed 's/\.UTF-8$/.utf8/I')
  if ! locale -a 2>/dev/null | grep -qix "$norm"; then
    [ $CHECK_ONLY = 1 ] && die "locale $LOCALE_WANTED is not generated (run without --check)"
    say "generating locale $LOCALE_WANTED"
    charset=${LOCALE_WANTED##*.}
    if [ -f /etc/locale.gen ] && ! grep -qE "^[[:space:]]*${LOCALE_WANTED//./\\.}[[:space:]]" /etc/locale.gen; then
      if grep -qE "^#[[:space:]]*${LOCALE_WANTED//./\\.}[[:space:]]" /etc/locale.gen; then
        sed -i -E "s/^#[[:space:]]*(${LOCALE_WANTED//./\\.}[[:space:]])/\\1/" /etc/locale.gen
      else
        echo "$LOCALE_WANTED $charset" >>/etc/locale.gen
      fi
    fi
    # localedef adds just this one to the archive (locale-gen would rebuild all)
    localedef -i "${LOCALE_WANTED%%.*}" -f "$charset" "$LOCALE_WANTED" ||
      die "localedef for $LOCALE_WANTED failed"
    locale -a | grep -qix "$norm" || die "locale $LOCALE_WANTED still missing after localedef"
  fi
fi

# --- 3. can this machine execute i386 ELF? ---------------------------------------
# A 312-byte static i386 Linux program: writes "i386 ok" and exits with 42.
I386_TEST_B64='f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAACYAAAAAAAAADQAIAABACgABAADAAEAAABUAAAAVIAECFSABAgqAAAAKgAAAAcAAAABAAAAuAQAAAC7AQAAALl2gAQIuggAAADNgLgBAAAAuyoAAADNgGkzODYgb2sKAC5zaHN0cnRhYgAudGV4dAAuZGF0YQAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAACwAAAAEAAAAHAAAAVIAECFQAAAAiAAAAAAAAAAAAAAABAAAAAAAAABEAAAABAAAAAwAAAHaABAh2AAAACAAAAAAAAAAAAAAAAQAAAAAAAAABAAAAAwAAAAAAAAAAAAAAfgAAABcAAAAAAAAAAAAAAAEAAAAAAAAA'
TESTBIN=$(mktemp "${TMPDIR:-/tmp}/setup-wine32-i386.XXXXXX")
trap 'rm -f "$TESTBIN"' EXIT
printf '%s' "$I386_TEST_B64" | base64 -d >"$TESTBIN"
chmod 755 "$TESTBIN"
run_i386_test() {   # prints the reason on failure
  local out rc=0
  out=$("$TESTBIN" 2>&1) || rc=$?
  if [ $rc = 42 ] && [ "$out" = "i386 ok" ]; then return 0; fi
  printf '%s (exit %s)' "${out:-no output}" "$rc"
  return 1
}

BM=/proc/sys/fs/binfmt_misc
QEMU_REG=
qemu_entry_active() { [ -f $BM/qemu-i386 ] && head -n1 $BM/qemu-i386 | grep -qx enabled; }

ensure_binfmt_mount() {
  [ -f $BM/register ] && return 0
  [ $CHECK_ONLY = 1 ] && die "binfmt_misc is not mounted at $BM (run without --check)"
  [ -d $BM ] || modprobe binfmt_misc 2>/dev/null || true
  [ -d $BM ] || die "$BM does not exist: this kernel has no binfmt_misc (CONFIG_BINFMT_MISC), so qemu-i386 cannot be registered"
  mount -t binfmt_misc binfmt_misc $BM 2>/dev/null ||
    die "cannot mount binfmt_misc at $BM (needs CAP_SYS_ADMIN in the initial namespaces; in a container, mount it on the host or run privileged)"
  [ -f $BM/register ] || die "binfmt_misc mounted but $BM/register is missing"
}

qemu_version() { /usr/bin/qemu-i386-static --version 2>/dev/null | sed -n '1s/.*version \([0-9][0-9]*\.[0-9][0-9]*\).*/\1/p'; }
qemu_is_fast() {   # >= 8.1: older qemu-user scans the 4 GiB guest space page by page on every mmap
  local v; v=$(qemu_version); [ -n "$v" ] || return 1
  dpkg --compare-versions "$v" ge 8.1
}

have_backports() {
  grep -rqsE '(^|[[:space:]])bookworm-backports([[:space:]]|$)' /etc/apt/sources.list /etc/apt/sources.list.d/
}

install_qemu() {
  # Debian 12's own qemu-user-static (7.2) works but costs 1-2 minutes of CPU per
  # 32-bit Wine process; the one in bookworm-backports (10.x) takes about a second.
  if [ "${WINE32_QEMU_BACKPORTS:-1}" = 1 ] && [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
    if is_installed qemu-user-static && qemu_is_fast; then return 0; fi
    [ $CHECK_ONLY = 1 ] && die "qemu-i386 from bookworm-backports is not installed (run without --check)"
    if ! have_backports; then
      say "adding bookworm-backports to apt sources (priority 100: nothing else is taken from it unless asked)"
      cat >/etc/apt/sources.list.d/setup-wine32-backports.sources <<'SRC'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
      apt_updated=0
    fi
    apt_update
    say "installing qemu-user-static from bookworm-backports"
    "${APT[@]}" install --no-install-recommends -t bookworm-backports qemu-user-static qemu-user </dev/null >/tmp/setup-wine32-apt.log 2>&1 ||
      { tail -n 30 /tmp/setup-wine32-apt.log >&2; die "apt-get install -t bookworm-backports qemu-user-static failed (log: /tmp/setup-wine32-apt.log); WINE32_QEMU_BACKPORTS=0 uses Debian 12's slow qemu 7.2 instead"; }
    qemu_is_fast || die "qemu-i386-static is still $(qemu_version) after installing from bookworm-backports"
  else
    install_pkgs qemu-user-static
    qemu_is_fast || say "warning: qemu $(qemu_version) is slow for Wine (1-2 minutes per 32-bit process); qemu >= 8.1 (bookworm-backports) takes about a second"
  fi
}

register_qemu_i386() {
  install_qemu
  local qemu=/usr/bin/qemu-i386-static
  [ -x $qemu ] || die "$qemu is missing (package qemu-user-static)"
  ensure_binfmt_mount
  if [ -f $BM/qemu-i386 ]; then
    # keep a good entry; replace one that points elsewhere or lacks the F flag
    if grep -qx "interpreter $qemu" $BM/qemu-i386 && grep -q '^flags:.*F' $BM/qemu-i386; then
      qemu_entry_active || { [ $CHECK_ONLY = 1 ] && die "binfmt entry qemu-i386 is disabled"; echo 1 >$BM/qemu-i386; }
      QEMU_REG=existing
      return 0
    fi
    [ $CHECK_ONLY = 1 ] && die "binfmt entry qemu-i386 is not usable: $(tr '\n' ' ' <$BM/qemu-i386)"
    echo -1 >$BM/qemu-i386
  fi
  [ $CHECK_ONLY = 1 ] && die "qemu-i386 is not registered with binfmt_misc (run without --check)"
  # i386 ELF executables and shared objects (e_type 2 or 3, e_machine 3).
  # F: the kernel opens qemu now, so it works in any mount namespace or chroot.
  say "registering $qemu for i386 ELF in $BM"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' >$BM/register ||
    die "writing the qemu-i386 registration to $BM/register failed"
  qemu_entry_active || die "qemu-i386 binfmt entry did not become active"
  QEMU_REG=new
}

native_err=
if [ "$QEMU_MODE" = no ] && qemu_entry_active; then
  [ $CHECK_ONLY = 1 ] && die "WINE32_QEMU=no but the binfmt entry qemu-i386 is active"
  say "WINE32_QEMU=no: disabling the binfmt entry qemu-i386"
  echo 0 >$BM/qemu-i386
fi
if [ "$QEMU_MODE" = yes ]; then
  register_qemu_i386
elif native_err=$(run_i386_test); then
  :
elif [[ $native_err == *"Permission denied"* ]]; then
  die "cannot execute $TESTBIN ($native_err): is $(dirname "$TESTBIN") mounted noexec? set TMPDIR to another directory"
elif [ "$QEMU_MODE" = no ]; then
  die "this machine cannot execute i386 ELF ($native_err) and WINE32_QEMU=no"
else
  say "i386 ELF does not run natively ($native_err): using qemu-i386 through binfmt_misc"
  register_qemu_i386
fi

# --- 4. verify ----------------------------------------------------------------
err=$(run_i386_test) || die "a static i386 test program does not run: $err$( [ -n "$QEMU_REG" ] && echo ' (even through qemu-i386)')"
how=native
if qemu_entry_active; then
  how="qemu-i386 $(qemu_version) via binfmt_misc ($(sed -n 's/^interpreter //p' $BM/qemu-i386))"
  [ "$QEMU_MODE" = auto ] && [ -z "$QEMU_REG" ] &&
    say "note: the binfmt entry qemu-i386 is active, so all 32-bit processes are emulated (slower than native); 'echo 0 > $BM/qemu-i386' (or WINE32_QEMU=no) tries native i386"
fi
v=$(/usr/lib/wine/wine --version 2>&1) || die "the 32-bit Wine loader /usr/lib/wine/wine does not start: $v"
case $v in wine-*) ;; *) die "unexpected output of /usr/lib/wine/wine --version: $v" ;; esac
v64=$(/usr/lib/wine/wine64 --version 2>&1) || die "/usr/lib/wine/wine64 does not start any more: $v64"
command -v wine >/dev/null || die "/usr/bin/wine (package wine) is missing"
command -v Xvfb >/dev/null || die "Xvfb (package xvfb) is missing"
say "ok: i386 runs $how; 32-bit loader $v; wine64 $v64"

# --- 5. optional prefix -----------------------------------------------------------
if [ -n "$PREFIX_DIR" ]; then
  export WINEPREFIX=$PREFIX_DIR WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  if [ "$PREFIX_ARCH" = win32 ]; then export WINEARCH=win32; loader=/usr/lib/wine/wine
  else export WINEARCH=win64; loader=/usr/lib/wine/wine64; fi
  if [ -f "$PREFIX_DIR/system.reg" ]; then
    grep -q '^#arch=win32' "$PREFIX_DIR/system.reg" && have=win32 || have=win64
    [ "$have" = "$PREFIX_ARCH" ] || die "prefix $PREFIX_DIR already exists as $have, not $PREFIX_ARCH"
  fi
  say "creating/updating $PREFIX_ARCH prefix $PREFIX_DIR"
  start=$(date +%s)
  "$loader" wineboot -i </dev/null >/dev/null 2>&1 || die "wineboot -i failed for $PREFIX_DIR"
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  [ -f "$PREFIX_DIR/user.reg" ] || die "wineboot left no $PREFIX_DIR/user.reg"
  # Under Xvfb there is no window manager, and Wine waits up to 2 s for one on
  # every managed top-level window that is hidden or destroyed (message boxes,
  # the main window at exit). Unmanaged windows skip that wait.
  if ! grep -q '^\[Software\\\\Wine\\\\X11 Driver\]' "$PREFIX_DIR/user.reg"; then
    # the server is down, so the file can be extended directly (saves a process start)
    printf '\n[Software\\\\Wine\\\\X11 Driver] %s\n"Managed"="N"\n' "$(date +%s)" >>"$PREFIX_DIR/user.reg"
  elif ! sed -n '/^\[Software\\\\Wine\\\\X11 Driver\]/,/^\[/p' "$PREFIX_DIR/user.reg" | grep -qx '"Managed"="N"'; then
    "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
      die "setting X11 Driver Managed=N in $PREFIX_DIR failed"
    /usr/lib/wine/wineserver -w 2>/dev/null || true
  fi
  say "ok: prefix $PREFIX_DIR ($PREFIX_ARCH) ready after $(( $(date +%s) - start )) s"
fi
