# Shell helpers for the scripts that drive the built plug-in through hostsim
# under Wine (scripts/demo, scripts/gallery, scripts/guide-examples). Source
# it; it sets `root` (the repository) and `cross` (the cross build tree:
# $XELM_CROSS, or build/cross) and defines:
#   hostsim ARGS...   the tree's bin/hostsim.exe under Wine; its output without
#                     CRs, its exit status kept
#   winpath PATH      the Windows path under which Wine shows a Linux path
#   prefs_defaults    stores every preference's default through the
#                     Preferences window, so that later calls start from them
#   prefs_reset       deletes the plug-in's keys (HKLM\Software\Vantrell), so
#                     that later calls start as on a new machine
#   stop_wine         ends the build tree's wineserver and Xvfb
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cross=${XELM_CROSS:-$root/build/cross}
# Pictures and examples are of a 96-DPI display with Windows' dialog font
# metrics unless a caller sets WINE_DPI (or WINE_DIALOG_FONT) after sourcing
# this file.
unset WINE_DPI WINE_DIALOG_FONT

hostsim() {
  local -
  set -o pipefail
  "$root/scripts/wine-run" "$cross/bin/hostsim.exe" "$@" | tr -d '\r'
}

winpath() { echo "Z:$1"; }

prefs_defaults() {
  hostsim prefs --do "type 1021 Datewell 3.0" --do "select 1027 English" --do "select 1030 Sunday" \
    --do "select 1028 mm/dd/yyyy" --do "select 1029 Date Click" --do "select 1022 Centered" \
    --do "select 1031 Normal" --do "select 1035 Default" --do "select 1036 Arial" --do "press 1"
}

prefs_reset() { (cd "$cross" && "$root/scripts/wine-run" reg delete 'HKLM\Software\Vantrell' /f >/dev/null 2>&1) || true; }

stop_wine() { "$root/scripts/wine-run" --stop "$cross"; }
