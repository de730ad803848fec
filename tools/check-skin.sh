#!/bin/sh
# The committed skin pictures are exactly what the skin generator draws.
# Usage: check-skin.sh SOURCE_DIR WORK_DIR
src="$1"; work="$2"
rm -rf "$work" && mkdir -p "$work" || exit 1
status=0
/usr/bin/python3 "$src/tools/make_skin.py" --out "$work" --web-out "$work/web" >/dev/null || exit 1
cmp -s "$work/web/load.gif" "$src/player/res/web/load.gif" || { echo "player/res/web/load.gif differs from the generator's"; status=1; }
for f in "$work"/*.png; do
    name=$(basename "$f")
    cmp -s "$f" "$src/player/res/skin/$name" || { echo "player/res/skin/$name differs from the generator's"; status=1; }
done
for f in "$src"/player/res/skin/*.png; do
    [ -f "$work/$(basename "$f")" ] || { echo "player/res/skin/$(basename "$f") is not made by the generator"; status=1; }
done
exit $status
