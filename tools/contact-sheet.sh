#!/usr/bin/env bash
# tools/contact-sheet.sh [BUILD_DIR] [SHEET.png] [SMALL_SHEET.png]
# Draws every picture under ":/images/" from the build tree onto one sheet, at the sizes
# the program shows them and at full size, to look at after changing an SVG source;
# the small sheet enlarges the small sizes four times, pixel for pixel.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sheet=${2:-$build/contact-sheet.png}
small=${3:-$build/contact-sheet-small.png}
# gyrolume_gui embeds the pictures, so building it draws them.
cmake --build "$build" -j2 --target gyrolume-contactsheet gyrolume_gui
"$build/tools/contactsheet/gyrolume-contactsheet" "$build/src/resources/images" "$sheet" "$small"
echo "$sheet $small"
