#!/bin/bash
# Starts the Linux Java VM behind the bridge's jvm.dll (see README.md).
# Started by the dll under Wine with: the dll's port on 127.0.0.1, the java
# executable, the VM options file, the runtime folder (a marker for tools),
# the file the launcher keeps open while it lives.
# BRIDGEJVM_TOKEN is the secret every connection to the dll starts with.
#
# The VM's standard error goes back to the dll over a connection of its own;
# when the VM has ended, a last connection reports its exit status.
port=$1 java=$2 options=$3 runtime=$4 alive=$5
token=$BRIDGEJVM_TOKEN
unset BRIDGEJVM_TOKEN
exec 3<>"/dev/tcp/127.0.0.1/$port" || exit 1
printf 'stderr %s\n' "$token" >&3
# File names and arguments reach Java as UTF-8, whatever the caller's locale.
export LC_ALL=C.UTF-8
# The server reads the secret from descriptor 4; it stays out of the
# environment the application sees. A class path on the command line keeps
# java from adding "." after the options file's.
# Bash's own report of a VM killed by a signal ("Aborted (core dumped)")
# stays out of the launcher's standard error: the status tells the dll.
{ "$java" -Djava.class.path=. -XX:VMOptionsFile="$options" "-Dbridgejvm.runtime=$runtime" bridgejvm.Server "$port" "$alive" \
    2>&3 3>&- 4<<<"$token"; } 2>/dev/null
status=$?
exec 3>&-
# The dll is gone when its process was ended: then nobody listens.
{ printf 'status %s %d\n' "$token" "$status" >"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null
