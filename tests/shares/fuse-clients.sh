#!/usr/bin/env bash
# FUSE clients against real servers on this machine's loopback: Samba's smbd
# through smbnetfs, and sshd through sshfs, each with its defaults.
#   - A share unmounted under a deletion wait (a plain name and a pattern,
#     through each client) is never "gone": the wait names the unknown
#     answer and goes on.
#   - The Windows build under Wine (where a second argument names it) waits
#     for the deletion of \\hbserver\share\wine.lock, which Wine reads
#     through the smbnetfs mount: met when the lock is deleted on the server.
#   - smbd stopped 20 s into a \t1 wait through smbnetfs: the wait ends by
#     75 s, with status 0.
# Usage: fuse-clients.sh TOOL [WINDOWS_TOOL]
set -euo pipefail
tool=$1
windows_tool=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/hollowbrook-fuse-XXXXXX)
chmod 755 "$scratch"
servers=()
cleanup() {
  local status=$? pid
  set +e
  jobs -p | xargs -r kill 2>/dev/null
  for pid in "${servers[@]}"; do kill -CONT "$pid" 2>/dev/null; done
  for mount in "$scratch"/mnt-*; do ! mounted "$mount" || fusermount3 -u -z "$mount" || echo "cleanup: $mount stays mounted" >&2; done
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAIL (FUSE clients): $*"; exit 1; }
now_ms() { local micro=${EPOCHREALTIME/[.,]/}; echo $((10#$micro / 1000)); }
mounted() { grep -qF " $1 fuse" /proc/mounts; }
await_mount() { # mount point, what
  for _ in $(seq 100); do mounted "$1" && return 0; sleep 0.1; done
  fail "$2 did not mount"
}

# Samba, a share of one folder for one user, on 127.0.0.1 alone.
samba=$scratch/samba
mkdir -p "$samba"/{private,lock,state,cache,pid,log} "$scratch/smb-share"
cat >"$samba/smb.conf" <<EOF
[global]
  interfaces = 127.0.0.1
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  private dir = $samba/private
  lock directory = $samba/lock
  state directory = $samba/state
  cache directory = $samba/cache
  pid directory = $samba/pid
  log file = $samba/log/%m
[share]
  path = $scratch/smb-share
  read only = no
  force user = root
EOF
printf 'secret\nsecret\n' | smbpasswd -c "$samba/smb.conf" -s -a root >/dev/null
# A session of its own: as it ends, smbd ends its whole process group.
setsid smbd --foreground --no-process-group --configfile="$samba/smb.conf" </dev/null \
  >"$samba/log/smbd" 2>&1 &
smbd_pid=$!
servers+=("$smbd_pid")
home=$scratch/smbnetfs-home
mkdir -p "$home/.smb"
cp "$samba/smb.conf" "$home/.smb/smb.conf"
printf 'auth "root" "secret"\nhost 127.0.0.1 WG visible=true\n' >"$home/.smb/smbnetfs.conf"
chmod 600 "$home/.smb/smbnetfs.conf"
for _ in $(seq 50); do ss -ltn | grep -q '127.0.0.1:445 ' && break; sleep 0.1; done
# Two mounts: one goes away under the waits, the other serves the rest.
for mount in mnt-smb mnt-smb2; do
  mkdir "$scratch/$mount"
  HOME=$home smbnetfs "$scratch/$mount" 2>"$scratch/$mount.err"
  await_mount "$scratch/$mount" smbnetfs
  for _ in $(seq 50); do [ -d "$scratch/$mount/127.0.0.1/share" ] && break; sleep 0.2; done
  [ -d "$scratch/$mount/127.0.0.1/share" ] || fail "smbnetfs shows no share: $(cat "$scratch/$mount.err")"
done
smb=$scratch/mnt-smb/127.0.0.1/share
smb2=$scratch/mnt-smb2/127.0.0.1/share

# sshd on a port of its own, one key, and sshfs with its defaults.
ssh=$scratch/ssh
mkdir -p "$ssh" "$scratch/ssh-share" /run/sshd
ssh-keygen -q -t ed25519 -N '' -f "$ssh/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$ssh/client_key"
cp "$ssh/client_key.pub" "$ssh/authorized_keys"
port=$((20000 + RANDOM % 20000))
cat >"$ssh/sshd_config" <<EOF
ListenAddress 127.0.0.1
Port $port
HostKey $ssh/host_key
PidFile $ssh/sshd.pid
AuthorizedKeysFile $ssh/authorized_keys
PermitRootLogin prohibit-password
UsePAM no
StrictModes no
Subsystem sftp /usr/lib/openssh/sftp-server
EOF
cat >"$ssh/client_config" <<EOF
Host share
  HostName 127.0.0.1
  Port $port
  User root
  IdentityFile $ssh/client_key
  StrictHostKeyChecking no
  UserKnownHostsFile /dev/null
  LogLevel ERROR
EOF
/usr/sbin/sshd -D -e -f "$ssh/sshd_config" 2>"$ssh/sshd.log" &
servers+=($!)
for _ in $(seq 50); do ss -ltn | grep -q "127.0.0.1:$port " && break; sleep 0.1; done
mkdir "$scratch/mnt-ssh"
sshfs -F "$ssh/client_config" "share:$scratch/ssh-share" "$scratch/mnt-ssh" ||
  fail "sshfs: $(cat "$ssh/sshd.log")"
await_mount "$scratch/mnt-ssh" sshfs

# Deletion waits whose share goes away under them.
for client in smb ssh; do
  [ "$client" = smb ] && inside=$smb || inside=$scratch/mnt-ssh
  mkdir -p "$inside/sub"
  touch "$inside/x.lock" "$inside/sub/a.lock"
  "$tool" "\\f$inside/x.lock" '\s1' '\t0' '\eF' >"$scratch/$client-name.out" &
  "$tool" "\\f$inside/sub/*.lock" '\s1' '\t0' '\eF' >"$scratch/$client-pattern.out" &
done
sleep 3
fusermount3 -u -z "$scratch/mnt-smb"
fusermount3 -u -z "$scratch/mnt-ssh"
sleep 4
for out in "$scratch"/{smb,ssh}-{name,pattern}.out; do
  ! grep -q 'File Condition Met' "$out" || fail "$(basename "$out" .out): gone once its share went away"
  grep -q 'NOTE: The system cannot tell' "$out" || fail "$(basename "$out" .out): no NOTE: $(cat "$out")"
  echo "$(basename "$out" .out): unmounted under the wait, not gone: $(grep NOTE "$out" | sed 's/^ *//')"
done

# The Windows build reads \\hbserver\share through the second mount.
if [ -n "$windows_tool" ]; then
  export HOLLOWBROOK_WINEPREFIX=$here/../../build/wine-prefix-shares
  "$here/../../cmake/wine-run" --start-session >/dev/null
  prefix=$("$here/../../cmake/wine-run" --prefix)
  mkdir -p "$prefix/dosdevices/unc/hbserver"
  ln -sfn "$smb2" "$prefix/dosdevices/unc/hbserver/share"
  touch "$scratch/smb-share/wine.lock"
  "$here/../../cmake/wine-run" "$windows_tool" '\f\\hbserver\share\wine.lock' '\s1' '\t1' '\eF' \
    >"$scratch/wine.out" &
  wine_pid=$!
  for _ in $(seq 200); do grep -qF '[ Waiting' "$scratch/wine.out" && break; sleep 0.1; done
  sleep 2
  kill -0 "$wine_pid" 2>/dev/null || fail "Windows: ended while the lock was there: $(cat "$scratch/wine.out")"
  deleted=$(now_ms)
  rm "$scratch/smb-share/wine.lock"
  wait "$wine_pid" || fail "Windows: exit status $?"
  took=$(($(now_ms) - deleted))
  grep -qF 'File Condition Met: File no longer exists' "$scratch/wine.out" ||
    fail "Windows: not met: $(cat "$scratch/wine.out")"
  [ "$took" -le 3000 ] || fail "Windows: met $took ms after the deletion"
  echo "Windows, \\\\hbserver\\share\\wine.lock: met $took ms after its deletion on the server"
  "$here/../../cmake/wine-run" --end-session
fi

# smbd stopped 20 s into a \t1 wait.
started=$(now_ms) status=0
timeout 100 "$tool" "\\f$smb2/never.flg" '\s1' '\t1' '\eT' >"$scratch/stopped.out" &
stopped_pid=$!
sleep 20
kill -STOP "$smbd_pid"
wait "$stopped_pid" || status=$?
kill -CONT "$smbd_pid"
took=$(($(now_ms) - started))
[ "$status" -eq 0 ] || fail "smbd stopped under a \\t1 wait: exit status $status: $(cat "$scratch/stopped.out")"
[ "$took" -le 75000 ] || fail "smbd stopped under a \\t1 wait: ended after $took ms"
echo "smbd stopped under a \\t1 wait: ended after $took ms, status 0: $(grep -E 'NOTE|did not answer' \
  "$scratch/stopped.out" | sed 's/^ *//' | tr '\n' ' ')"
echo "PASS (FUSE clients)"
