#!/usr/bin/env bash
# Sets up what the page needs, builds the intro's web page and serves it on
# 127.0.0.1 (port 8000, or $PORT); open the address it prints.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh web
bash scripts/web_build.sh web
exec node scripts/web_serve.mjs build-web/site "${PORT:-8000}"
