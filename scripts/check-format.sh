#!/bin/sh
# Fails when a C++ source of the project is not formatted as the .clang-format at the root
# says; names every such file. Fix with: clang-format -i <file>
set -eu

cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null 2>&1; then
    echo "clang-format is missing; run scripts/install-deps.sh" >&2
    exit 1
fi

files=$(find utilities model component service application tools tests bench \
    -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
[ -n "$files" ] || { echo "no sources found" >&2; exit 1; }

# One clang-format over every file: it names each file it would change in its complaints.
# shellcheck disable=SC2086
complaints=$(clang-format --dry-run --Werror $files 2>&1) || true
unformatted=$(printf '%s\n' "$complaints" \
    | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*clang-format.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
    printf 'not formatted: %s\n' $unformatted >&2
    echo "Format the files above with clang-format -i" >&2
    exit 1
fi
if [ -n "$complaints" ]; then
    # clang-format failed otherwise (an unreadable file, a bad .clang-format): say so.
    printf '%s\n' "$complaints" >&2
    exit 1
fi
echo "Formatting checked: $(echo "$files" | wc -l) files"
