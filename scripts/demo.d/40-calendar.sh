# The three date functions: one month, a range with a validation message,
# the year view at each size, and a themed, non-English, Monday-first month.
# "day SLOT POSITION" clicks a cell: positions 0-6 are the weekday headings,
# 7-48 the days row by row.

# One month, English, Sunday first, default theme: pick 25 December 2003.
hostsim call "XELM CalPopup" "12/25/2003" --do "shot $OUT_WIN/calendar-single.png" --do "day 1 32"
# Command Buttons: pick, change the month (withdraws the pick), OK returns the
# caller's initial date as given.
hostsim call "XELM CalPopup" "3/5/2004|||||||command" --do "day 1 20" \
  --do "shot $OUT_WIN/calendar-single-buttons.png" --do "month left 4" --do "ok"

# A range under Command Buttons: OK with only a left pick is refused with a
# message; a right pick then completes it.
hostsim call "XELM CalPopup2" "03/01/2004|04/01/2004|||Travel dates||||command" \
  --do "day 1 12" --do "shot $OUT_WIN/calendar-range.png" --do "ok" \
  --do "msgshot $OUT_WIN/calendar-range-message.png" --do "msgbox" \
  --do "day 2 23" --do "ok"
# Date Click, picked out of order: the order message, then an earlier left day.
hostsim call "XELM CalPopup2" "03/01/2004|03/01/2004" --do "day 1 30" --do "day 2 12" \
  --do "msgbox" --do "day 1 10"

# The year view at each size, Command Buttons at the smallest.
hostsim call "XELM YearPopup" "2004|||My year|||||||normal" --do "shot $OUT_WIN/calendar-year-normal.png" --do "day 6 20"
hostsim call "XELM YearPopup" "2004||||||||purple||small" --do "shot $OUT_WIN/calendar-year-small.png" --do "close"
hostsim call "XELM YearPopup" "2004|||||||command|||smaller" --do "year left 2005" --do "day 12 44" \
  --do "shot $OUT_WIN/calendar-year-smaller.png" --do "ok"

# Themed, French, Monday first, day-first dates, Courier New.
hostsim call "XELM CalPopup" "07/02/2004|||Choisir|french|monday|dd/mm/yyyy||blue|courier new" \
  --do "shot $OUT_WIN/calendar-french-blue.png" --do "day 1 18"
# Green German range and a yellow Swedish year view.
hostsim call "XELM CalPopup2" "01/03/2004|15/03/2004|||Zeitraum|german|monday|dd/mm/yyyy|command|green" \
  --do "day 1 13" --do "day 2 28" --do "shot $OUT_WIN/calendar-range-german-green.png" --do "ok"
hostsim call "XELM YearPopup" "2004||||swedish|monday|yyyy/mm/dd||yellow|times new roman|smaller" \
  --do "shot $OUT_WIN/calendar-year-swedish-yellow.png" --do "day 1 8"
