#!/usr/bin/env bash
# Usage: on_snapshot_file_system.sh FOLDER. True where the folder's file
# system is on the tool's list of those whose folders one read takes whole.
grep -qi "^SNAPSHOT_FILE_SYSTEM(0x0*$(stat -f -c %t "$1"))" \
  "$(dirname "$0")/../names/snapshot_file_systems.inc"
