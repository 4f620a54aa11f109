#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the player is not laid out
# as .clang-format says. `clang-format -i FILE` lays a file out.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
mapfile -t sources < <(find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | sort)
unformatted=()
for file in "${sources[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not laid out as .clang-format says (clang-format -i lays them out):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "format: ${#sources[@]} sources laid out as .clang-format says"
