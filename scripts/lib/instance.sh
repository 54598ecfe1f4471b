# Shared by the scripts that start the real programs (not the tests' own copies of them).

# The command and the window program allow one instance per user at a time, through the
# lock file /tmp/orvanta-installer-<uid>.lock. Two such scripts running at once (from two
# work trees of one user) would refuse each other's programs: take_turn waits until no
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
    local file="/tmp/orvanta-installer-$(id -u).lock" inode i
    for i in $(seq 100); do
        if inode=$(stat -c %i "$file" 2>/dev/null) &&
            grep -Eq "^[0-9]+: $1 +ADVISORY +WRITE +[-0-9]+ [0-9a-f]+:[0-9a-f]+:$inode " /proc/locks; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}
