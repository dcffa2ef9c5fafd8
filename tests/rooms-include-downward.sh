#!/bin/sh
# The rooms of the libraries include downward only.
#   core/:     base < radio < settings < system < log < backup: a room may include its own
#              headers and those of the rooms before it, never those after it.
#   exchange/: the report engine knows nothing of printing; import, export, statistics and
#              the report engine know nothing of each other's rooms.
# Usage: rooms-include-downward.sh <source folder>
top=${1:?source folder}
fail=0
forbid() { # room folder, pattern of forbidden include prefixes
    hits=$(grep -rnE "#include \"($2)/" "$1" 2>/dev/null)
    if [ -n "$hits" ]; then
        printf '%s includes upward:\n%s\n' "$1" "$hits"
        fail=1
    fi
}
core="base radio settings system log backup"
above=$core
for room in $core; do
    above=${above#"$room"}; above=${above# }
    [ -n "$above" ] && forbid "$top/core/$room" "$(echo "$above" | tr ' ' '|')"
done
forbid "$top/core" "import|export|report|print|statistics"
forbid "$top/exchange/import" "export|report|print|statistics"
forbid "$top/exchange/export" "import|report|print|statistics"
forbid "$top/exchange/statistics" "import|export|report|print"
forbid "$top/exchange/report" "import|export|print|statistics"
forbid "$top/exchange/print" "import|export|statistics"
exit $fail
