# Time picks in 12-hour and 24-hour form, with screenshots.
hostsim call "XELM TimePopup" "||||9:30 PM" --do "shot $OUT_WIN/time-12-hour.png" --do "press 1"
hostsim call "XELM TimePopup" "||24|15|18:45" --do "shot $OUT_WIN/time-24-hour.png" --do "press 1"
hostsim call "XELM TimePopup" "|||15" --do "select 1018 \"7\"" --do "select 1019 \"45\"" --do "select 1020 PM" --do "press 1"
hostsim call "XELM TimePopup" "||||9:30 PM" --do "press 2"
# A host time field converted to text: seconds and a lower-case marker.
hostsim call "XELM TimePopup" "||||10:30:00 pm" --do "press 1"
