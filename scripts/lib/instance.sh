# Shared by the scripts that start the real programs (not the tests' own copies of them).

# The user's instance lock file, as the command and the window program find it:
# orvanta-installer.lock in $XDG_RUNTIME_DIR when that is a folder (not a link) of the
# user's that neither its group nor others may write to, else /tmp/orvanta-installer-<uid>.lock.
instance_lock_file() {
    local run=${XDG_RUNTIME_DIR:-}
    run=${run%/}
    if [[ $run == /* ]] && [ -d "$run" ] && [ ! -L "$run" ] && [ "$(stat -c %u "$run")" = "$(id -u)" ] &&
        (((8#$(stat -c %a "$run") & 8#22) == 0)); then
        printf '%s/orvanta-installer.lock\n' "$run"
    else
        printf '/tmp/orvanta-installer-%s.lock\n' "$(id -u)"
    fi
}

# The command and the window program allow one instance per user at a time, through that
# lock file. Two such scripts running at once (from two work trees of one user, without a
# runtime folder of their own) would refuse each other's programs: take_turn waits until no
# other one runs.
take_turn() {
    exec 9>"/tmp/orvanta-real-runs-$(id -u).lock"
    if ! flock -n 9; then
        echo "Waiting for another run of the real programs to end"
        flock 9
    fi
}

# wait_for_lock KIND: waits up to 20 s until /proc/locks shows a write lock of KIND
# (OFDLCK: the command's; POSIX: Wine's server, for the window program) on the user's
# instance lock file.
wait_for_lock() {
    local file inode i
    file=$(instance_lock_file)
    for i in $(seq 100); do
        if inode=$(stat -c %i "$file" 2>/dev/null) &&
            grep -Eq "^[0-9]+: $1 +ADVISORY +WRITE +[-0-9]+ [0-9a-f]+:[0-9a-f]+:$inode " /proc/locks; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}
