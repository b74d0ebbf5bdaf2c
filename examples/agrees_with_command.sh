#!/usr/bin/env bash
# Runs the example and the command on one picture; their verdict rows must
# be the same and not empty.
set -euo pipefail
example=$("$1" "$3" 10 10 2>/dev/null)
command=$("$2" read "$3" --rows 10 --cols 10)
if [ -z "$example" ] || [ "$example" != "$command" ]; then
  printf 'example:\n%s\ncommand:\n%s\n' "$example" "$command" >&2
  exit 1
fi
