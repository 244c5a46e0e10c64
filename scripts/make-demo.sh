#!/usr/bin/env bash
# Prints how to run the program on the demo data that the build laid out in
# <build>/demo: the catalogue with its settings table, the alias file that
# points KORVA_9_0 at it, an empty project directory and host input files.
set -euo pipefail
build=${1:-build}
demo="$(cd "$build/demo" && pwd)"
[ -f "$demo/catalogue/FIRDAT.DB" ] || { echo "The demo catalogue was not built." >&2; exit 1; }
echo
echo "Built: $build/korva and the demo catalogue in $demo/catalogue"
echo "Run the main job on the demo spring hanger:"
echo
echo "  KORVA_ALIAS_FILE=$demo/korva-aliases.ini $(cd "$build" && pwd)/korva /IF:$demo/inputs/spring_hanger.ini /OF:$demo/spring_hanger.zof /PD:$demo/project"
echo
echo "Delete mode on the demo project:"
echo "  KORVA_ALIAS_FILE=$demo/korva-aliases.ini $(cd "$build" && pwd)/korva /DEL:H-101 /PD:$demo/project /OF:$demo/delete.result"
echo
echo "Configuration mode (arrange the support configurations of the demo catalogue):"
echo "  KORVA_ALIAS_FILE=$demo/korva-aliases.ini $(cd "$build" && pwd)/korva /CONFIGURE_CONF"
