#!/usr/bin/env bash
# Checks that LV2 hosts find the bundle under its absolute URI and that lv2_validate accepts it.
set -euo pipefail
bundle=$(cd "$1" && pwd)
uri="https://www.varnolt.example/plugins/qm70"

export LV2_PATH="$(dirname "$bundle")"
# Outputs are captured whole: with pipefail, `grep -q` quitting early would let SIGPIPE fail the tool.
listed=$(lv2ls)
grep -qx "$uri" <<<"$listed" || { echo "lv2ls does not list $uri"; exit 1; }
described=$(lv2info "$uri")
grep -q "QM-70" <<<"$described" || { echo "lv2info does not describe $uri"; exit 1; }

report=$(lv2_validate "$bundle"/*.ttl 2>&1)
if ! grep -q "^Found 0 errors" <<<"$report"; then
    echo "$report" | grep -v "^Skipping" >&2
    exit 1
fi
echo "LV2 bundle valid: $uri"
