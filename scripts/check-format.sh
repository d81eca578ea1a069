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

failed=0
for file in $files; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file" >&2
        failed=1
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "Format the files above with clang-format -i" >&2
    exit 1
fi
echo "Formatting checked: $(echo "$files" | wc -l) files"
