# The Preferences window (the host's configuration call): fill it in, save,
# see the next date popup take the choices, reopen the window to see them
# stored, try OK without a top position, and put the defaults back so that
# other demos start from them.
hostsim prefs --do "shot $OUT_WIN/preferences-opened.png" \
  --do "type 1021 Team calendar" --do "select 1027 French" --do "select 1030 Monday" \
  --do "select 1028 dd/mm/yyyy" --do "select 1029 Command Buttons" --do "select 1022 Specified" \
  --do "type 1024 120" --do "type 1026 80" --do "select 1031 Small" --do "select 1035 Blue" \
  --do "select 1036 Times New Roman" --do "shot $OUT_WIN/preferences-filled.png" --do "press 1"
hostsim call "XELM CalPopup" "25/12/2003" --do "shot $OUT_WIN/preferences-calpopup.png" --do "close"
hostsim prefs --do "shot $OUT_WIN/preferences-reopened.png" --do "type 1026" --do "press 1" --do "msgbox" \
  --do "press 2"
prefs_defaults
