#!/usr/bin/env bash
# checkExportedSymbols.sh LIBRARY ALLOWLIST: the library's exported dynamic
# symbols (demangled, the same name once) must be exactly the allowlist's
# lines: a name outside it widens the interface, a name of it that is gone
# breaks programs built against the interface. Lines starting with '#' and
# blank lines are comments; the allowlist says how to write it anew.
set -euo pipefail
library=$1
allowlist=$2
exported=$(nm -DC --defined-only "$library" | cut -d' ' -f3- | LC_ALL=C sort -u)
allowed=$(grep -v -e '^#' -e '^$' "$allowlist" | LC_ALL=C sort -u)
extra=$(LC_ALL=C comm -23 <(echo "$exported") <(echo "$allowed"))
gone=$(LC_ALL=C comm -13 <(echo "$exported") <(echo "$allowed"))
echo "$(echo "$exported" | grep -c .) exported symbols"
status=0
if [ -n "$extra" ]; then
  echo "exported but not in $allowlist:"
  echo "$extra" | sed 's/^/  /'
  status=1
fi
if [ -n "$gone" ]; then
  echo "in $allowlist but not exported:"
  echo "$gone" | sed 's/^/  /'
  status=1
fi
exit $status
