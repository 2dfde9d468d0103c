#!/usr/bin/env bash
# Typing into a memo page and the extra memo while the program is killed
# with SIGKILL at random moments, round after round: the data folder stays
# whole and the next start comes up clean. The rounds are driven by
# crash_storm.py; this sets up the display and the program's folder.
source "$(dirname "$0")/lib.sh"
[ -x /usr/bin/python3 ] || { echo "python3 is not installed (scripts/deps.sh --test)"; exit 77; }
command -v xclip >/dev/null || { echo "xclip is not installed (scripts/deps.sh --test)"; exit 77; }
rw_setup "$1"
if /usr/bin/python3 "$(dirname "$0")/crash_storm.py" "$RW_APP" "$RW_TMP"; then
  rw_pass "every round left whole files that pair with their backups"
else
  rw_fail "crash storm"
fi
rw_finish
