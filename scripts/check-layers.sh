#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, bottom to top:
#   common → platform → log → addin → driver ─┐
#                            └──────→ output ──┴→ kkt → module
# Every layer may include itself, the resources and the layers listed for it.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [resources]="resources"
  [common]="common"
  [platform]="platform common"
  [log]="log platform common"
  [addin]="addin log platform common"
  [driver]="driver addin log platform common"
  [output]="output log platform common"
  [kkt]="kkt driver output addin log platform common"
  [module]="module kkt driver output addin log platform common"
)

status=0
while IFS= read -r -d '' file; do
  layer=${file#src/}
  layer=${layer%%/*}
  [ -n "${allowed[$layer]+x}" ] || { echo "$file: the folder src/$layer is no known layer"; status=1; continue; }
  while IFS= read -r line; do
    number=${line%%:*}
    target=$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]+"([a-z_]+)\/.*/\1/' <<<"$line")
    [ "$target" = "resources" ] && continue
    case " ${allowed[$layer]} " in
      *" $target "*) ;;
      *) echo "$file:$number: the $layer layer includes a header of the $target layer"; status=1 ;;
    esac
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "$file" || true)
done < <(find src \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
[ "$status" -eq 0 ] && echo "Layers: every include looks down."
exit "$status"
