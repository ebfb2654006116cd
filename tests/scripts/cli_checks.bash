# The checks the parvane-cli scripts share (sourced, not run: only *.sh files are tests).
# They need `work`, a scratch folder, and count into `failures`.

# expect CODE DESCRIPTION -- COMMAND...: runs the command, keeps stdout and stderr.
expect() {
    local want=$1 what=$2
    shift 3
    "$@" >"$work/out" 2>"$work/err"
    local got=$?
    if [[ $got -ne $want ]]; then
        echo "FAIL: $what: exit $got, expected $want"; cat "$work/out" "$work/err"
        failures=$((failures + 1))
    fi
}
# contains FILE TEXT DESCRIPTION
contains() {
    if ! grep -qF -- "$2" "$1"; then
        echo "FAIL: $3: '$2' not in:"; cat "$1"; failures=$((failures + 1))
    fi
}
# same FILE EXPECTED DESCRIPTION: the file holds exactly the expected text.
same() {
    if [[ "$(cat "$1")" != "$2" ]]; then
        echo "FAIL: $3:"; diff <(echo "$2") "$1"; failures=$((failures + 1))
    fi
}
