#!/usr/bin/env bash
# FUSE clients against real servers on this machine's loopback: Samba's smbd
# through smbnetfs, and sshd through sshfs, each with its defaults.
#   - A share unmounted under a deletion wait (a plain name and a pattern,
#     through each client) is never "gone": the wait names the unknown
#     answer and goes on.
#   - smbd stopped 20 s into a \t1 wait through smbnetfs: the wait ends by
#     75 s, with status 0.
#   - The Windows build under Wine (where a second argument names it) waits
#     for the deletion of \\hbserver\share\x.lock, which Wine reads through
#     the smbnetfs mount: met when the lock is deleted on the server.
# Usage: fuse-clients.sh TOOL [WINDOWS_TOOL]
set -euo pipefail
tool=$(readlink -f "$1")
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

mkdir "$scratch/mnt-sshnc"
sshfs -F "$ssh/client_config" -o cache=no,dir_cache=no,entry_timeout=0,attr_timeout=0,negative_timeout=0 "share:$scratch/ssh-share" "$scratch/mnt-sshnc"
await_mount "$scratch/mnt-sshnc" sshfs2
measure() { # label, client dir, server dir, change
  local label=$1 client=$2 server=$3 change=$4 n times=()
  for n in 1 2 3 4 5 6; do
    local f=m$RANDOM.flg flag
    [ "$change" = created ] && flag=T || { flag=F; touch "$server/$f"; }
    sleep 1
    "$tool" "\\f$client/$f" '\s1' '\t1' "\\e$flag" >/dev/null &
    local pid=$!
    sleep $((2 + n % 3)).$((RANDOM % 10))
    local t0=$(now_ms)
    if [ "$change" = created ]; then touch "$server/$f"; else rm "$server/$f"; fi
    while kill -0 $pid 2>/dev/null && [ $(($(now_ms) - t0)) -lt 40000 ]; do sleep 0.02; done
    kill $pid 2>/dev/null; times+=($(($(now_ms) - t0)))
  done
  printf '%s %s: %s\n' "$label" "$change" "${times[*]}"
}
for change in created deleted; do
  measure smbnetfs "$smb2" "$scratch/smb-share" $change & p1=$!
  measure sshfs-defaults "$scratch/mnt-ssh" "$scratch/ssh-share" $change & p2=$!
  measure sshfs-nocache "$scratch/mnt-sshnc" "$scratch/ssh-share" $change & p3=$!
  wait $p1 $p2 $p3
done
