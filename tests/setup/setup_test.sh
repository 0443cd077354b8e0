# The setup program, as a member lives through it, in a Wine prefix made
# fresh for it: a silent install, Glimra started from the installed folder
# beside the stand-in client, an upgrade over it, an uninstall. Sourced by
# ./run, which provides say, WINE64, BUILD, ROOT, PASSED and FAILED.
# shellcheck disable=SC2016  # the checks given to eval expand when they run

SETUP_WAIT=300  # seconds for anything the emulated 32-bit programs do

# One checked fact: counts as a test, says what it expected when it fails.
setup_expect() {  # description, command...
  local what=$1; shift
  if "$@"; then
    PASSED=$((PASSED + 1))
  else
    FAILED=$((FAILED + 1)); say "setup_test failed: $what"
  fi
}

# The registry as 32-bit programs see it; REG_VIEW=/reg:64 for the keys both
# widths share (the classes' programmatic identifiers).
reg_has() {  # key [value name]
  if [ $# -gt 1 ]; then
    "$WINE64" reg query "$1" /v "$2" "${REG_VIEW:-/reg:32}" >/dev/null 2>&1
  else
    "$WINE64" reg query "$1" "${REG_VIEW:-/reg:32}" >/dev/null 2>&1
  fi
}
reg_lacks() { ! reg_has "$@"; }
env_view64() { REG_VIEW=/reg:64 "$@"; }
reg_value() {  # key, value name ("" for the default value)
  local name=(/v "$2")
  [ -n "$2" ] || name=(/ve)
  "$WINE64" reg query "$1" "${name[@]}" "${REG_VIEW:-/reg:32}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *.* *REG_[A-Z_]* *//p' | head -n 1 || true
}
reg_is() {  # key, value name, expected data
  local data
  data=$(reg_value "$1" "$2")
  [ "$data" = "$3" ] || { say "$1\\$2 is '$data', expected '$3'"; return 1; }
}

# Waits for a command to succeed, up to SETUP_WAIT seconds.
setup_wait_for() {  # command...
  local deadline=$((SECONDS + SETUP_WAIT))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 1
  done
}

same_files() {  # folder a, folder b: the same names with the same contents
  diff -r "$1" "$2" >/dev/null
}
files_below() { (cd "$1" && find . -type f | sort | tr '\n' ' '); }
is_file() { [ -f "$1" ]; }
no_file() { [ ! -e "$1" ]; }
same_file() { cmp -s "$1" "$2"; }

# The room got the typed line faded: a colour tag per character, the text intact.
room_got_faded() {  # waol.log, typed text
  tr -d '\r' <"$1" | awk -F'\t' -v text="$2" '
    $1 == "chat" && $3 ~ /<FONT COLOR=#[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]>/ { plain = $3; gsub(/<[^>]*>/, "", plain); if (plain == text) found = 1 }
    END { exit !found }'
}

# The newer setup: the same files under a higher revision.
make_newer_setup() {  # output file, version
  local list="$BUILD/win32/setup/schemes.nsh"
  makensis -V2 -DVERSION="$2" -DBIN="$BUILD/win32/bin" -DSCHEMES="$ROOT/data/schemes" -DSCHEME_LIST="$list" \
    -DOUTFILE="$1" "$ROOT/setup/glimra.nsi" >/dev/null
}

run_setup_tests() {
  local main_prefix=$WINEPREFIX
  WINEPREFIX="$BUILD/wineprefix-setup"
  # No menu entries of the machine's own desktop from this prefix's shortcuts.
  local main_overrides=$WINEDLLOVERRIDES
  WINEDLLOVERRIDES="$main_overrides;winemenubuilder.exe=d"
  say "setup_test: a fresh Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  if "$WINE64" wineboot -i >/dev/null 2>&1 && wineserver -w; then
    wineserver -p >/dev/null 2>&1 || true
    setup_scenario
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  else
    FAILED=$((FAILED + 1)); say "setup_test: the fresh prefix could not be made"
  fi
  WINEPREFIX=$main_prefix WINEDLLOVERRIDES=$main_overrides
}

setup_scenario() {
  local bin="$BUILD/win32/bin" work="$BUILD/setup-test" sys
  local setup="$BUILD/win32/glimra-setup.exe" newer="$work/glimra-setup-newer.exe"
  local version next settings='HKCU\Software\Zol Software\Glimra'
  local uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimra'
  local shared='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
  local classes='HKLM\Software\Classes'
  sys="$WINEPREFIX/drive_c/windows/syswow64"
  version=$(sed -n 's/^project(Glimra VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
  next="${version%.*}.$((${version##*.} + 1))"
  rm -rf "$work"; mkdir -p "$work/aol"
  make_newer_setup "$newer" "$next" || { FAILED=$((FAILED + 1)); say "setup_test: makensis failed"; return; }

  "$WINE64" reg add 'HKCU\Software\Wine\AppDefaults\glimra.exe' /v Version /d win98 /f >/dev/null 2>&1 || true
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  # The member's machine: the AOL client's relay32.dll, and another program
  # that installed and counted zolbar.ocx before Glimra came.
  cp "$bin/relay32.dll" "$bin/zolbar.ocx" "$sys/"
  "$WINE64" reg add "$shared" /v 'C:\windows\system32\zolbar.ocx' /t REG_DWORD /d 1 /f /reg:32 >/dev/null 2>&1 || true

  say "setup_test: glimra-setup.exe /S"
  local status=0
  run_setup "$work" "$setup" || status=$?
  setup_expect "the silent install ends with status 0 (not $status)" [ "$status" -eq 0 ]
  # The Add/Remove entry is the install's last step.
  setup_expect "the install makes its Add/Remove entry" setup_wait_for reg_has "$uninstall" InstallLocation
  local dir location
  location=$(reg_value "$uninstall" InstallLocation)
  dir=$("$WINE64" winepath -u "$location" 2>/dev/null | tr -d '\r' || true)
  setup_expect "the install folder is Program Files\\Zol Software\\Glimra ($location)" \
    eval '[[ "$location" == *"\\Program Files"*"\\Zol Software\\Glimra" ]] && [ -d "$dir" ]'
  [ -d "$dir" ] || { say "setup_test: nothing installed, the rest is skipped"; return; }
  setup_expect "glimra.exe installed" same_file "$bin/glimra.exe" "$dir/glimra.exe"
  setup_expect "glimra.hlp installed" same_file "$bin/glimra.hlp" "$dir/glimra.hlp"
  setup_expect "the shipped schemes wait in incoming" same_files "$ROOT/data/schemes" "$dir/incoming"
  setup_expect "an empty outgoing folder" eval '[ -d "$dir/outgoing" ] && [ -z "$(ls -A "$dir/outgoing")" ]'
  local file
  for file in zolbtns.ocx dwsbc36.ocx dwspy36.dll zolbar.ocx; do
    setup_expect "$file in the system folder" same_file "$bin/$file" "$sys/$file"
  done
  setup_expect "zolbtns.ocx counted once" reg_is "$shared" 'C:\windows\system32\zolbtns.ocx' 0x1
  setup_expect "dwsbc36.ocx counted once" reg_is "$shared" 'C:\windows\system32\dwsbc36.ocx' 0x1
  setup_expect "dwspy36.dll counted once" reg_is "$shared" 'C:\windows\system32\dwspy36.dll' 0x1
  setup_expect "zolbar.ocx counted by both programs" reg_is "$shared" 'C:\windows\system32\zolbar.ocx' 0x2
  local clsid
  clsid=$(REG_VIEW=/reg:64 reg_value "$classes\\ZolBttn.zolButton\\CLSID" "")
  setup_expect "ZolBttn.zolButton registered ($clsid)" eval \
    '[ -n "$clsid" ] && reg_value "$classes\\CLSID\\$clsid\\InprocServer32" "" | grep -qi "zolbtns.ocx"'
  setup_expect "ZolBttn.FlatButton registered" env_view64 reg_has "$classes\\ZolBttn.FlatButton\\CLSID"
  setup_expect "Add/Remove: the name" reg_is "$uninstall" DisplayName Glimra
  setup_expect "Add/Remove: the version" reg_is "$uninstall" DisplayVersion "$version"
  setup_expect "Add/Remove: the publisher" reg_is "$uninstall" Publisher "Zol Software"
  setup_expect "Add/Remove: the uninstall command" reg_is "$uninstall" UninstallString "\"$location\\uninstall.exe\""
  setup_expect "the uninstaller" is_file "$dir/uninstall.exe"
  local menu
  menu=$(find "$WINEPREFIX/drive_c" -type d -path '*/Start Menu/Programs/Glimra' | head -n 1 || true)
  setup_expect "Start menu entries" eval \
    '[ "$(LC_ALL=C ls "$menu" 2>/dev/null | tr "\n" "|")" = "Glimra Help.lnk|Glimra.lnk|Uninstall Glimra.lnk|" ]'

  # The first start beside the stand-in client, from the installed folder.
  cp "$bin/waol.exe" "$bin/aol.exe" "$work/aol/"
  printf '[Client]\r\nVersion=4\r\nScreenNames=Zolster\r\nSignedOn=1\r\nChatRoom=Town Square\r\n' >"$work/aol/waol.ini"
  (cd "$work/aol" && exec wine waol.exe >/dev/null 2>&1) &
  local line="Installed by the setup program"
  printf 'wait-window America Online\n' >"$work/client-up.txt"
  printf 'wait-window Glimra Chat Tools\n' >"$work/glimra-up.txt"
  printf 'type %s\nenter\n' "$line" >"$work/chat.txt"
  setup_expect "the stand-in client comes up" setup_wait_for member_runs "$work/client-up.txt"
  (cd "$dir" && exec wine glimra.exe >/dev/null 2>&1) &
  setup_expect "the installed Glimra shows its chat tools" setup_wait_for member_runs "$work/glimra-up.txt"
  member_runs "$work/chat.txt" || true
  setup_expect "a typed chat line reaches the room faded" setup_wait_for room_got_faded "$work/aol/waol.log" "$line"
  setup_expect "the first start imported the shipped schemes" eval \
    'reg_has "$settings\\Schemes\\Ocean" && [ -z "$(ls -A "$dir/incoming")" ]'

  # A setup started while Glimra runs changes nothing.
  status=0
  run_setup "$work" "$newer" || status=$?
  setup_expect "a setup refuses while Glimra runs (status 3, not $status)" [ "$status" -eq 3 ]
  setup_expect "... and leaves the installed version" reg_is "$uninstall" DisplayVersion "$version"

  printf 'close-aol\nwait-gone Glimra Chat Tools\n' >"$work/close.txt"
  member_runs "$work/close.txt" || true
  # Between the versions: a scheme the member saved, an option, a damaged help file.
  "$WINE64" reg add "$settings\\Schemes\\Saved Between" /v 'Fade Number' /d 2 /f /reg:32 >/dev/null 2>&1 || true
  "$WINE64" reg add "$settings" /v 'Web Server' /d 127.0.0.1:1 /f /reg:32 >/dev/null 2>&1 || true
  "$WINE64" reg add "$settings\\Schemes\\Ocean" /v 'Fade Number' /d 6 /f /reg:32 >/dev/null 2>&1 || true
  : >"$dir/glimra.hlp"

  say "setup_test: upgrading to $next"
  setup_expect "the upgrade installs once Glimra has ended" setup_wait_for run_setup "$work" "$newer"
  setup_expect "the upgrade: the new version" reg_is "$uninstall" DisplayVersion "$next"
  setup_expect "the upgrade replaced the program files" same_file "$bin/glimra.hlp" "$dir/glimra.hlp"
  setup_expect "the upgrade kept the scheme saved in between" reg_is "$settings\\Schemes\\Saved Between" 'Fade Number' 2
  setup_expect "the upgrade kept the member's settings" reg_is "$settings" 'Web Server' 127.0.0.1:1
  setup_expect "the upgrade shipped no scheme over the member's" eval '[ -z "$(ls -A "$dir/incoming")" ]'
  setup_expect "the member's changed Ocean stays theirs" reg_is "$settings\\Schemes\\Ocean" 'Fade Number' 6
  setup_expect "the upgrade counted zolbtns.ocx no second time" reg_is "$shared" 'C:\windows\system32\zolbtns.ocx' 0x1
  setup_expect "the upgrade counted zolbar.ocx no second time" reg_is "$shared" 'C:\windows\system32\zolbar.ocx' 0x2

  # The member exported a scheme to mail it: theirs, it stays.
  printf '[Options]\r\nFadeNumber=2\r\n' >"$dir/outgoing/Mine.fde"
  say "setup_test: uninstall.exe /S"
  # It runs on from a copy of itself in the temporary folder, so that it can remove its own file.
  (cd "$work" && wine "$location\\uninstall.exe" /S) >/dev/null 2>&1 || true
  setup_expect "the uninstaller removes the Add/Remove entry" setup_wait_for reg_lacks "$uninstall"
  setup_expect "only the member's file stays in the folder" eval '[ "$(files_below "$dir")" = "./outgoing/Mine.fde " ]'
  for file in zolbtns.ocx dwsbc36.ocx dwspy36.dll; do
    setup_expect "$file removed from the system folder" no_file "$sys/$file"
    setup_expect "$file no longer counted" reg_lacks "$shared" "C:\\windows\\system32\\$file"
  done
  setup_expect "zolbar.ocx stays for the other program" same_file "$bin/zolbar.ocx" "$sys/zolbar.ocx"
  setup_expect "zolbar.ocx counted once, by the other program" reg_is "$shared" 'C:\windows\system32\zolbar.ocx' 0x1
  setup_expect "ZolBttn.zolButton unregistered" eval \
    '[ -n "$clsid" ] && REG_VIEW=/reg:64 reg_lacks "$classes\\ZolBttn.zolButton" && reg_lacks "$classes\\CLSID\\$clsid"'
  setup_expect "ZolBttn.FlatButton unregistered" env_view64 reg_lacks "$classes\\ZolBttn.FlatButton"
  setup_expect "no Start menu entries" no_file "$menu"
  setup_expect "the member's settings and schemes kept (the default)" \
    reg_is "$settings\\Schemes\\Saved Between" 'Fade Number' 2
  setup_expect "relay32.dll, the client's, untouched" same_file "$bin/relay32.dll" "$sys/relay32.dll"
}

member_runs() {  # script file
  (cd "$BUILD/win32/bin" && timeout "$SETUP_WAIT" wine member.exe "$(windows_path "$1")") >/dev/null 2>&1
}
run_setup() {  # work folder, setup program: its status (3 while Glimra runs)
  (cd "$1" && timeout "$SETUP_WAIT" wine "$(windows_path "$2")" /S) >/dev/null 2>&1
}
