#!/bin/bash
# The guest's test, its first process after the initramfs: a kernel NFS
# server and Samba export folders on the guest's loopback, the kernel's NFS
# (v3 and v4.2) and cifs clients mount them with their default options, and
# the tool waits through each client while a file is created or deleted in
# the exported folder itself, as another machine would. Each wait must see
# the change within its pause (1 s) and a second, and half a second more for
# the emulated machine, whose every step is slower; a check on NFS costs at
# most three system calls a pass. /hb/settings names the tool and the
# kernel's module tree; the results go to /hb/results.
set -u
source /hb/settings
exec >/hb/guest.log 2>&1
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t tmpfs tmpfs /run
power_off() {
  sync
  echo o >/proc/sysrq-trigger
  sleep 10
}
trap power_off EXIT
# The kernel's modules where it loads them itself (the ciphers that cifs
# asks for, say).
mkdir -p "/lib/modules/$(uname -r)"
mount --bind "$modules/lib/modules/$(uname -r)" "/lib/modules/$(uname -r)"
load() { modprobe -a "$@"; }
ip link set lo up
hostname hbguest

# The NFS server.
load nfsd
mount -t nfsd nfsd /proc/fs/nfsd
mkdir -p /run/rpc_pipefs /var/lib/nfs /export /srv/share /run/rpcbind /run/samba
mount -t rpc_pipefs rpc_pipefs /run/rpc_pipefs
mount -t tmpfs tmpfs /var/lib/nfs
mkdir -p /var/lib/nfs/sm /var/lib/nfs/sm.bak /var/lib/nfs/v4recovery
mount -t tmpfs tmpfs /export
mount -t tmpfs tmpfs /srv/share
chmod 777 /srv/share
echo '/export *(rw,no_root_squash,no_subtree_check,insecure,fsid=0)' >/etc/exports
rpcbind -w
rpc.statd --no-notify
exportfs -ra
rpc.mountd
rpc.nfsd --grace-time 10 --lease-time 10 4

# Samba, a guest share on the loopback alone.
cat >/etc/samba/smb.conf <<'CONF'
[global]
  map to guest = Bad User
  interfaces = lo
  bind interfaces only = yes
  smb ports = 445
  disable netbios = yes
  server min protocol = SMB3
[share]
  path = /srv/share
  guest ok = yes
  read only = no
CONF
smbd -D

# The clients, with their defaults.
load nfs nfsv3 nfsv4 cifs
mkdir -p /mnt/nfs3 /mnt/nfs4 /mnt/cifs
mount -t nfs -o vers=3 127.0.0.1:/export /mnt/nfs3
mount -t nfs -o vers=4.2 127.0.0.1:/ /mnt/nfs4
for _ in $(seq 20); do
  mount -t cifs -o guest,vers=3.1.1 //127.0.0.1/share /mnt/cifs 2>/dev/null && break
  sleep 0.5
done
mount | grep -E ' /mnt/(nfs3|nfs4|cifs) ' | cut -d ' ' -f 1-5

now_ms() { local micro=${EPOCHREALTIME/[.,]/}; echo $((10#$micro / 1000)); }

# One wait through a client: its folder made on the server, the file there
# first for a deletion; once the client has answered for 12 s, the change
# on the server, and the time until the tool ends.
wait_case() { # client mount, server folder, name or pattern, created or deleted
  local client=$1 server=$2 kind=$3 change=$4 case folder name flag out
  case=$(basename "$client")-$kind-$change
  folder=$server/$case
  mkdir "$folder"
  [ "$change" = created ] && flag=T || { flag=F; touch "$folder/x.lock"; }
  [ "$kind" = name ] && name=x.lock || name='*.lock'
  out=/tmp/$case.out
  "$tool" "\\f$client/$case/$name" '\s1' '\t1' "\\e$flag" >"$out" &
  local pid=$! started
  for _ in $(seq 100); do grep -qF '[ Waiting' "$out" && break; sleep 0.1; done
  sleep 12
  started=$(now_ms)
  if [ "$change" = created ]; then touch "$folder/x.lock"; else rm "$folder/x.lock"; fi
  while kill -0 "$pid" 2>/dev/null && [ $(($(now_ms) - started)) -lt 10000 ]; do sleep 0.05; done
  local took=$(($(now_ms) - started)) verdict=PASS
  kill "$pid" 2>/dev/null
  grep -qF 'File Condition Met' "$out" && [ "$took" -le 2500 ] || verdict=FAIL
  echo "$verdict $case: the tool ended $took ms after the change"
}
# A check of a name on NFS costs one system call more than elsewhere, three a
# pass: the difference of a longer and a shorter wait, as for local names.
calls() { # seconds until the file appears: "<calls> <pauses>"
  local flag=/mnt/nfs3/cost/flag$1
  (sleep "$1" && touch "/export/cost/flag$1") &
  strace -f -c -o "/tmp/calls$1" "$tool" "\\f$flag" '\s1' '\t1' '\eT' >/dev/null
  wait
  awk '$NF == "total" {t = $4} $NF == "clock_nanosleep" {p = $4} END {print t + 0, p + 0}' "/tmp/calls$1"
}
mkdir /export/cost
read -r short short_pauses < <(calls 3)
read -r long long_pauses < <(calls 6)
passes=$((long_pauses - short_pauses))
[ "$passes" -gt 0 ] && [ $((long - short)) -le $((3 * passes)) ] && verdict=PASS || verdict=FAIL
echo "$verdict nfs3-cost: $((long - short)) system calls more for $passes passes more" >>/hb/results

# A client's four cases side by side, one client after another.
for client in /mnt/nfs3:/export /mnt/nfs4:/export /mnt/cifs:/srv/share; do
  for kind in name pattern; do
    for change in created deleted; do
      wait_case "${client%%:*}" "${client#*:}" "$kind" "$change" >>/hb/results &
    done
  done
  wait
done
echo done >>/hb/results
