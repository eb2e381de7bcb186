# The range window and the year view on a display of 144 DPI (150 %), in a
# Wine prefix made for it: the 96-DPI windows enlarged. Their pictures go to
# out/dpi144/, apart from the 96-DPI ones that scripts/compare-shots compares
# with an earlier build's.
export WINE_DPI=144
mkdir -p "$OUT/dpi144"
hostsim call "XELM CalPopup2" "03/01/2004|04/01/2004|||Travel dates||||command" \
  --do "day 1 12" --do "day 2 23" --do "shot $OUT_WIN/dpi144/calendar-range.png" --do "ok"
hostsim call "XELM YearPopup" "2004|||My year|||||||normal" --do "shot $OUT_WIN/dpi144/calendar-year-normal.png" \
  --do "day 6 20"
hostsim call "XELM YearPopup" "2004|||||||command|||smaller" --do "day 12 44" \
  --do "shot $OUT_WIN/dpi144/calendar-year-smaller-buttons.png" --do "ok"
