#!/usr/bin/env bash
# Takes a picture of the settings page on the test desktop (DISPLAY, default :77).
#
#   tests/views/settings/shoot-settings.sh BUILD_DIR OUT.png [runner options ...]
#
# Starts the test desktop with its compositor when needed, runs
# corvalint-settings-shots with the options given, waits until it has drawn,
# grabs the root window and ends the runner again.
set -euo pipefail

BUILD=${1:?build directory}
OUT=${2:?output png}
shift 2
export DISPLAY=${DISPLAY:-:77}
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)

"$ROOT/scripts/test-desktop" start --compositor >/dev/null

READY=$(mktemp)
rm -f "$READY"
"$BUILD/tests/views/settings/corvalint-settings-shots" --ready "$READY" "$@" &
RUNNER=$!
trap 'kill "$RUNNER" 2>/dev/null || true; wait "$RUNNER" 2>/dev/null || true; rm -f "$READY"' EXIT

for _ in $(seq 1 200); do
  [ -s "$READY" ] && break
  kill -0 "$RUNNER" 2>/dev/null || { echo "shoot-settings: the runner ended early" >&2; exit 1; }
  sleep 0.1
done
[ -s "$READY" ] || { echo "shoot-settings: the runner never drew" >&2; exit 1; }

mkdir -p "$(dirname "$OUT")"
import -window root "$OUT"
echo "$OUT (window at $(cat "$READY"))"
