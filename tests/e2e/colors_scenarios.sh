# End-to-end scenarios of the font and colours dialog and the about box, sourced by scenarios.sh.

readonly COLORS="Edit Window Font/Colors"
readonly ABOUT="About TORVALE Conversion Utility"
readonly FONT_DIALOG="Font"
# Control ids of src/win32/colors_dialog_res.h and src/win32/about_box_res.h.
readonly ID_COLORS_OK=1 ID_COLORS_CANCEL=2 ID_FONT_TEXT=3105 ID_CHOOSE=3106 ID_RESET=3107
readonly ID_BACK_FIRST=3200 ID_TEXT_FIRST=3300
readonly ID_ABOUT_OK=1 ID_ABOUT_TITLE=3402 ID_ABOUT_VERSION=3403 ID_SYSINFO=3405
# The system font dialog's font, style and size lists and its underline box.
readonly ID_FONT_NAME=1136 ID_FONT_STYLE=1137 ID_FONT_SIZE=1138 ID_FONT_UNDERLINE=1041
readonly SYSINFO_MISSING="System Information Is Unavailable At This Time"
readonly MSINFO_KEY='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
readonly MSINFO_LOCATION_KEY='HKLM\SOFTWARE\Microsoft\Shared Tools Location'

# The output style a settings file holds: background and text colour in hex, the font name, the size and the
# four font flags (bold, italic, strikethrough, underline), read from their places in the file.
ini_style() {
    local file=$1 length
    length=$(od -An -tu1 -j36 -N1 "$file" | tr -d ' ')
    printf '%s %s %s %s %s\n' \
        "$(od -An -tx4 -j28 -N4 --endian=little "$file" | tr -d ' ')" \
        "$(od -An -tx4 -j32 -N4 --endian=little "$file" | tr -d ' ')" \
        "$(dd if="$file" bs=1 skip=37 count="$length" 2>/dev/null)" \
        "$(od -An -td4 -j$((37 + length)) -N4 --endian=little "$file" | tr -d ' ')" \
        "$(od -An -td2 -j$((41 + length)) -N8 --endian=little "$file" | tr -s ' ' | sed 's/^ //')"
}

check_style() { check_text "$1" "$(ini_style "$work/app/TORVALE.ini")" "output style in the settings file"; }
font_description() { drive text "$COLORS" $ID_FONT_TEXT | tr -d '\r'; }

open_colors() { drive post-command mnuEditColors wait-dialog "$COLORS" || fail "the font and colours dialog"; }
close_colors() { drive press "$COLORS" "$1" wait-closed "$COLORS" || fail "closing the font and colours dialog"; }

# Nothing recorded about the system information tool; a scenario that records something removes it again.
forget_sysinfo_tool() {
    "$TORVALE_WINE64" reg delete "$MSINFO_KEY" /f </dev/null >/dev/null 2>&1
    "$TORVALE_WINE64" reg delete "$MSINFO_LOCATION_KEY" /f </dev/null >/dev/null 2>&1
    return 0
}

record_sysinfo_tool() {
    "$TORVALE_WINE64" reg add "$1" /v "$2" /d "$3" /f </dev/null >/dev/null 2>&1 || fail "reg add $1 $2"
}

# ---------------------------------------------------------------------------------------------------------

# After a first run the dialog shows the log's own font; background swatch 23 and Ok store 0x00800080, and the
# log takes it at once.
scenario_colors_swatch_and_ok() {
    setup
    use_shipped_texlate
    start_and_wait
    open_colors
    check_text "MS Sans Serif, 10pts. " "$(font_description)" "font description"
    drive click "$COLORS" $((ID_BACK_FIRST + 23)) || fail "background swatch 23"
    close_colors $ID_COLORS_OK
    check_background 800080
    exit_program
    check_style "00800080 80000008 MS Sans Serif 10 0 0 0 0"
}

# Swatches clicked and then Cancel (or Esc, which is the same command): the log and the Settings stay.
scenario_colors_cancel_keeps_settings() {
    setup
    use_shipped_texlate
    cp "$work/fixtures/custom.ini" "$work/app/TORVALE.ini"
    start_and_wait
    open_colors
    check_text "Courier New, 12pts. B" "$(font_description)" "font description"
    drive click "$COLORS" $((ID_BACK_FIRST + 5)) click "$COLORS" $((ID_TEXT_FIRST + 10)) ||
        fail "clicking swatches"
    close_colors $ID_COLORS_CANCEL
    check_background 102040
    exit_program
    check_same "$work/fixtures/custom.ini" "$work/app/TORVALE.ini" "settings file after Cancel"
}

# The system font dialog opens on the preview's font; Cancel there changes nothing, a font chosen there reaches
# the description, and Ok stores it with its effects.
scenario_colors_font_dialog() {
    setup
    use_shipped_texlate
    cp "$work/fixtures/custom.ini" "$work/app/TORVALE.ini"
    start_and_wait
    open_colors
    drive click "$COLORS" $ID_CHOOSE wait-dialog "$FONT_DIALOG" || fail "the font dialog"
    check_text "Courier New" "$(drive text "$FONT_DIALOG" $ID_FONT_NAME | tr -d '\r')" "font preset"
    check_text "12" "$(drive text "$FONT_DIALOG" $ID_FONT_SIZE | tr -d '\r')" "size preset"
    drive cancel-dialog "$FONT_DIALOG" || fail "cancelling the font dialog"
    check_text "Courier New, 12pts. B" "$(font_description)" "font description after a cancelled font dialog"

    drive click "$COLORS" $ID_CHOOSE wait-dialog "$FONT_DIALOG" || fail "the font dialog again"
    drive select "$FONT_DIALOG" $ID_FONT_NAME "Tahoma" select "$FONT_DIALOG" $ID_FONT_STYLE "Italic" \
        select "$FONT_DIALOG" $ID_FONT_SIZE "14" click "$FONT_DIALOG" $ID_FONT_UNDERLINE || fail "choosing a font"
    drive press "$FONT_DIALOG" 1 wait-closed "$FONT_DIALOG" || fail "OK of the font dialog"
    drive wait-text "$COLORS" $ID_FONT_TEXT "Tahoma, 14pts. IU" || fail "font description after choosing"
    close_colors $ID_COLORS_OK
    exit_program
    check_style "00402010 0080ffff Tahoma 14 0 -1 0 -1"
}

# Reset shows the system defaults at their fractional size; Ok stores the system colour references and 8 points.
scenario_colors_reset_and_ok() {
    setup
    use_shipped_texlate
    cp "$work/fixtures/custom.ini" "$work/app/TORVALE.ini"
    start_and_wait
    open_colors
    drive click "$COLORS" $ID_RESET wait-text "$COLORS" $ID_FONT_TEXT "MS Sans Serif, 8.25pts. " || fail "Reset"
    close_colors $ID_COLORS_OK
    exit_program
    check_style "80000005 80000008 MS Sans Serif 8 0 0 0 0"
}

# The about box: its caption, title and version line; System Info with nothing recorded shows the one message
# and leaves the box open; OK closes it.
scenario_about_box() {
    setup
    use_shipped_texlate
    forget_sysinfo_tool
    start_and_wait
    drive post-command mnuHelpAbout wait-dialog "$ABOUT" || fail "the about box"
    check_text "$TITLE" "$(drive text "$ABOUT" $ID_ABOUT_TITLE | tr -d '\r')" "title"
    check_text "Version 1.2.3 BETA" "$(drive text "$ABOUT" $ID_ABOUT_VERSION | tr -d '\r')" "version line"
    drive click "$ABOUT" $ID_SYSINFO || fail "System Info"
    check_text "$SYSINFO_MISSING" "$(message_text | tr -d '\r')" "System Info message"
    drive --timeout 1 wait-dialog "$ABOUT" || fail "the about box closed after the message"
    drive press "$ABOUT" $ID_ABOUT_OK wait-closed "$ABOUT" || fail "OK of the about box"
    exit_program
}

# System Info starts the program the registry names: first the recorded path, else MSINFO32.EXE in the recorded
# directory. The program started here is a copy of TORVALE without its texture table, which says so in a
# message naming its own folder, and ends.
scenario_about_sysinfo_starts_tool() {
    setup
    use_shipped_texlate
    forget_sysinfo_tool
    trap 'forget_sysinfo_tool; cleanup' EXIT
    mkdir -p "$work/by path" "$work/by folder"
    cp "$TORVALE_EXE" "$work/by path/msinfo32.exe"
    cp "$TORVALE_EXE" "$work/by folder/MSINFO32.EXE"
    start_and_wait
    drive post-command mnuHelpAbout wait-dialog "$ABOUT" || fail "the about box"

    record_sysinfo_tool "$MSINFO_KEY" PATH "$(torvale_winpath "$work/by path/msinfo32.exe")"
    drive click "$ABOUT" $ID_SYSINFO || fail "System Info"
    local text
    text=$(drive message-box "$TITLE") || fail "no message from the started program"
    case "$text" in
    *"$(torvale_winpath "$work/by path/texlate.rsc")"*) ;;
    *) fail "the recorded path was not started: $text" ;;
    esac

    forget_sysinfo_tool
    record_sysinfo_tool "$MSINFO_LOCATION_KEY" MSINFO "$(torvale_winpath "$work/by folder")"
    drive click "$ABOUT" $ID_SYSINFO || fail "System Info"
    text=$(drive message-box "$TITLE") || fail "no message from the started program"
    case "$text" in
    *"$(torvale_winpath "$work/by folder/texlate.rsc")"*) ;;
    *) fail "MSINFO32.EXE in the recorded folder was not started: $text" ;;
    esac

    drive press "$ABOUT" $ID_ABOUT_OK wait-closed "$ABOUT" || fail "OK of the about box"
    exit_program
}
