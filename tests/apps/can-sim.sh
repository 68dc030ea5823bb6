# Sourced by the CAN end-to-end tests: start_can_sim LOG WHAT SIM ARGS... starts
# the ECU simulator on a CAN bus, sets pid, and waits for "can ready"; where the
# virtual bus cannot start, says so and skips the test (77).
start_can_sim() {
  local log=$1 what=$2; shift 2
  "$@" > "$log" 2>&1 &
  pid=$!
  for _ in $(seq 50); do
    grep -q '^can ready' "$log" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q '^can ready' "$log" && return 0
  echo "virtualcan cannot start here, $what skipped:"; cat "$log"; exit 77
}
