#!/usr/bin/env bash
# Fails when a file includes a floor above its own, or when the behaviour's folders include a
# window system. The floors, lowest first:
#   base < config < link (serial, discovery) < firmware < editor < shell < ui
# Below ui/ nothing includes Qt (or any Q* header) or a Windows window header.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        base) echo 0 ;;
        config) echo 1 ;;
        link) echo 2 ;;
        firmware) echo 3 ;;
        editor) echo 4 ;;
        shell) echo 5 ;;
        ui) echo 6 ;;
        *) echo -1 ;;
    esac
}

status=0
while IFS= read -r file; do
    floor=${file%%/*}
    own=$(rank "$floor")
    while IFS= read -r line; do
        number=${line%%:*}
        text=${line#*:}
        if [[ $text =~ \#include[[:space:]]*\"([a-z_]+)/ ]]; then
            target=${BASH_REMATCH[1]}
            theirs=$(rank "$target")
            if ((theirs > own)); then
                echo "$file:$number: $floor/ includes $target/, a floor it may not use"
                status=1
            fi
        elif [[ $text =~ \#include[[:space:]]*\<(Q[A-Za-z]*|qt[a-z/]*|windowsx|commctrl|gdiplus)[.h]*\> ]]; then
            echo "$file:$number: $floor/ includes <${BASH_REMATCH[1]}>, a window system"
            status=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(git ls-files -- 'base/*' 'config/*' 'link/*' 'firmware/*' 'editor/*' 'shell/*' |
    grep -E '\.(h|cpp)$')

if ((status == 0)); then
    echo "floors: every include goes down"
fi
exit $status
