# End-to-end scenarios of the options dialog and the P3D import through POFGEN, sourced by scenarios.sh. POFGEN
# is the tests' stand-in (tests/pofgen_standin/standin.cpp, TORVALE_POFGEN), which compiles a small text P3D
# format into a real OOF file; it is copied into a folder whose name has a blank, so that every compile also
# proves the quoting of such a program path.

readonly OPTIONS="POFGEN Command Line & TORVALE Conversion Options"
# Control ids of src/win32/options_res.h.
readonly ID_OK=1 ID_SCALE=3520 ID_TOLERANCE=3521 ID_CHUNK_X=3525 ID_CHUNK_Y=3526 ID_CHUNK_Z=3527
readonly ID_PATH=3535 ID_CANCEL=3540 ID_OUTPUT=3541
readonly RELOAD_P3D=40031
readonly POFGEN_QUESTION=$'Please tell me where to find Pofgen!\r\n\r\nOK: Find Pofgen.exe\r\nCancel: Cancel Import'

use_pofgen() {
    [ -f "${TORVALE_POFGEN:-}" ] || fail "TORVALE_POFGEN does not name the built POFGEN stand-in"
    mkdir -p "$work/Pofgen Tools"
    cp "$TORVALE_POFGEN" "$work/Pofgen Tools/pofgen.exe"
}

# A pyramid: five vertices and five faces, one texture; more lines may follow.
write_p3d() {
    mkdir -p "$(dirname "$1")"
    printf 'P3D-TEST\nt rock1\nv 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nv 1 1 2\n' >"$1"
    printf 'f 0 0 3 2 1\nf 0 0 1 4\nf 0 1 2 4\nf 0 2 3 4\nf 0 3 0 4\n%s' "${2:-}" >>"$1"
}

check_reload_enabled() { check_text "$1" "$(menu_state $RELOAD_P3D)" "Reload P3D enabled"; }

# The POFGEN path typed into the options dialog and checked on leaving the box; then OK, with the POFGEN
# Output check box cleared first when $2 is 0. With the other options at their defaults OK shows no message.
set_pofgen_path() {
    drive post-command mnuEditOptions focus "$OPTIONS" $ID_PATH set-text "$OPTIONS" $ID_PATH "$1" \
        focus "$OPTIONS" $ID_SCALE || fail "typing the POFGEN path"
    if [ "${2:-1}" = 0 ]; then
        drive click "$OPTIONS" $ID_OUTPUT || fail "clearing Display POFGEN Output"
    fi
    drive press "$OPTIONS" $ID_OK wait-closed "$OPTIONS" || fail "OK of the options dialog"
}

import_p3d() {
    drive post-command mnuFileImportP3D file-dialog "Import P3D file" "$(torvale_winpath "$1")" ||
        fail "Import P3D of $1"
}

# ---------------------------------------------------------------------------------------------------------

# No POFGEN known: Reload P3D has nothing to do; Import P3D asks where POFGEN is; Cancel ends it with the log
# untouched; OK opens the options dialog, and cancelling that asks again.
scenario_p3d_without_pofgen() {
    setup
    use_shipped_texlate
    start_and_wait
    check_reload_enabled 0
    drive command mnuReloadP3D || fail "Reload P3D"
    expect nothing.txt <(line "No file Imported!")
    check_log "$work/nothing.txt" "after Reload P3D with nothing imported"
    check_reload_enabled 0

    drive command mnuEditClear || fail "Clear Window"
    drive post-command mnuFileImportP3D || fail "Import P3D"
    check_text "$POFGEN_QUESTION" "$(message_text cancel)" "the POFGEN question"
    check_log "$work/banner.txt" "after cancelling the POFGEN question"

    drive post-command mnuFileImportP3D || fail "Import P3D"
    check_message "$POFGEN_QUESTION"
    drive press "$OPTIONS" $ID_CANCEL wait-closed "$OPTIONS" || fail "Cancel in the options dialog"
    check_text "$POFGEN_QUESTION" "$(message_text cancel)" "the POFGEN question again"
    check_log "$work/banner.txt" "after the second cancel"
    close_program
}

# A compile without errors and with Display POFGEN Output cleared: no output window, the OOF file beside the
# P3D file is loaded, and Reload P3D becomes available.
scenario_p3d_compile_without_output() {
    setup
    use_shipped_texlate
    use_pofgen
    write_p3d "$work/models/ship.p3d"
    start_and_wait
    set_pofgen_path "$(torvale_winpath "$work/Pofgen Tools/pofgen.exe")" 0
    import_p3d "$work/models/ship.p3d"
    check_text 0 "$(drive pofgen-output-open)" "POFGEN Output window open"
    [ -f "$work/models/ship.OOF" ] || fail "no ship.OOF beside ship.p3d: $(ls "$work/models")"
    log_has "Opened ship.OOF"
    log_has "Number of Verts: 5"
    log_has "source: ship.p3d"
    drive log | tail -c 40 | grep -qa "Finished loading ship.OOF"$'\r$' || fail "the log does not end with Finished loading"
    check_caption "$TITLE - ship.OOF"
    check_export_enabled 1
    check_reload_enabled 1
    close_program
}

# With Display POFGEN Output checked the window shows the whole text, stdout and stderr; after it is closed,
# Reload P3D compiles the changed file again without a dialog and the window comes back.
scenario_p3d_output_window_and_reload() {
    setup
    use_shipped_texlate
    use_pofgen
    write_p3d "$work/models/ship.p3d"
    start_and_wait
    set_pofgen_path "$(torvale_winpath "$work/Pofgen Tools/pofgen.exe")"
    import_p3d "$work/models/ship.p3d"
    drive pofgen-output >"$work/output1.txt" || fail "no POFGEN Output window"
    for piece in "POFGEN stand-in" "switches: []" "this line came through it" "textures: 1, vertices: 5, faces: 5" \
        "wrote [" "done"; do
        grep -qaF -- "$piece" "$work/output1.txt" || fail "the POFGEN output lacks \"$piece\": $(cat -A "$work/output1.txt")"
    done
    [ "$(stat -c %s "$work/output1.txt")" -gt 256 ] || fail "the POFGEN output is shorter than one read"
    drive close-pofgen-output || fail "closing the POFGEN Output window"

    write_p3d "$work/models/ship.p3d" $'v 3 3 3\n'
    drive command mnuReloadP3D || fail "Reload P3D"
    drive pofgen-output >"$work/output2.txt" || fail "the POFGEN Output window did not come back"
    grep -qaF "vertices: 6" "$work/output2.txt" || fail "the reload did not compile the changed file"
    log_has "Number of Verts: 6"
    check_caption "$TITLE - ship.OOF"
    close_program
}

# POFGEN reports "Error Processing": the message, then the output window although Display POFGEN Output is
# cleared; nothing is loaded and Reload P3D stays unavailable.
scenario_p3d_failing_compile() {
    setup
    use_shipped_texlate
    use_pofgen
    write_p3d "$work/models/broken.p3d" $'fail\n'
    start_and_wait
    set_pofgen_path "$(torvale_winpath "$work/Pofgen Tools/pofgen.exe")" 0
    drive post-command mnuFileImportP3D file-dialog "Import P3D file" "$(torvale_winpath "$work/models/broken.p3d")" ||
        fail "Import P3D"
    check_message "POFGEN had errors. See Output for details."
    drive pofgen-output | grep -qaF "Error Processing" || fail "the output window does not show the error"
    check_log "$work/banner.txt" "after a failed compile"
    check_caption "$TITLE"
    check_reload_enabled 0
    [ ! -e "$work/models/broken.OOF" ] || fail "a failed compile left an OOF file"
    close_program
}

# In a folder whose name has blanks: a P3D name with a blank reaches POFGEN all short and the OOF file keeps
# that short name; a name without a blank keeps its long form in the short folder.
scenario_p3d_names_with_blanks() {
    setup
    use_shipped_texlate
    use_pofgen
    write_p3d "$work/My Models/big ship.p3d"
    write_p3d "$work/My Models/ship.p3d"
    start_and_wait
    set_pofgen_path "$(torvale_winpath "$work/Pofgen Tools/pofgen.exe")" 0

    import_p3d "$work/My Models/big ship.p3d"
    local caption short
    caption=$(drive caption | tr -d '\r')
    short=${caption#"$TITLE - "}
    case "$short" in
    *" "* | "$caption") fail "the caption does not name a short OOF file: $caption" ;;
    *.OOF) ;;
    *) fail "the loaded file does not end in OOF: $short" ;;
    esac
    [ -f "$work/My Models/$short" ] || fail "no $short in the folder: $(ls "$work/My Models")"
    log_has "source: ${short%OOF}P3D"
    check_reload_enabled 1

    import_p3d "$work/My Models/ship.p3d"
    check_caption "$TITLE - ship.OOF"
    [ -f "$work/My Models/ship.OOF" ] || fail "no ship.OOF in the folder: $(ls "$work/My Models")"
    log_has "source: ship.p3d"
    close_program
}

# A POFGEN path stored without its check (Enter pressed in the box) that names no program.
scenario_p3d_pofgen_missing() {
    setup
    use_shipped_texlate
    write_p3d "$work/models/ship.p3d"
    start_and_wait
    drive post-command mnuEditOptions set-text "$OPTIONS" $ID_PATH "C:\\nowhere\\pofgen.exe" \
        press "$OPTIONS" $ID_OK wait-closed "$OPTIONS" || fail "storing the POFGEN path"
    drive post-command mnuFileImportP3D file-dialog "Import P3D file" "$(torvale_winpath "$work/models/ship.p3d")" ||
        fail "Import P3D"
    check_message "Error running POFGEN!"
    check_log "$work/banner.txt" "after POFGEN could not run"
    check_reload_enabled 0
    close_program
}

# The options dialog's checks, typed into the real boxes and run as the focus moves on; the chunk split rule
# of OK; OK's message with the switch string; and the stored values shown again at the next opening.
scenario_options_dialog_checks() {
    setup
    use_shipped_texlate
    start_and_wait
    local d=$OPTIONS
    drive post-command mnuEditOptions wait-dialog "$d" || fail "Edit, Options"
    check_text 0.02540000 "$(drive text "$d" $ID_SCALE | tr -d '\r')" "scale factor at first"
    check_text 1 "$(drive checked "$d" $ID_OUTPUT | tr -d '\r')" "Display POFGEN Output at first"

    drive focus "$d" $ID_SCALE set-text "$d" $ID_SCALE 0 focus "$d" $ID_TOLERANCE || fail "typing 0"
    check_message "Error: Scale Factor <= 0 Illegal!"
    drive wait-text "$d" $ID_SCALE 0.02540000 || fail "the scale factor was not replaced"

    drive set-text "$d" $ID_TOLERANCE 70000 focus "$d" $ID_CHUNK_X || fail "typing 70000"
    check_message "Error: Tolerance > 65535.0000 Illegal!"
    drive wait-text "$d" $ID_TOLERANCE 65535.0000 || fail "the tolerance was not replaced"

    drive set-text "$d" $ID_CHUNK_X 300 focus "$d" $ID_CHUNK_Y || fail "typing 300"
    check_message "Error: Chunk Splits > 255 Illegal!"
    drive wait-text "$d" $ID_CHUNK_X 255 || fail "the chunk split was not replaced"

    drive set-text "$d" $ID_CHUNK_Y abc focus "$d" $ID_CHUNK_Z wait-text "$d" $ID_CHUNK_Y 0 \
        set-text "$d" $ID_CHUNK_Z 2.5 focus "$d" $ID_SCALE wait-text "$d" $ID_CHUNK_Z 2 \
        set-text "$d" $ID_SCALE 0.03 focus "$d" $ID_PATH wait-text "$d" $ID_SCALE 0.03000000 ||
        fail "entries without a message"

    drive set-text "$d" $ID_PATH "$(torvale_winpath "$work/app/torvale.exe")" focus "$d" $ID_SCALE ||
        fail "typing a path"
    check_message "Pofgen.exe not found or named incorrectly. Name must be pofgen.exe or bspgen.exe!"
    drive wait-text "$d" $ID_PATH "" || fail "the path was not emptied"

    drive press "$d" $ID_OK || fail "OK"
    check_message "Invalid Chunk Size! Must be all 0's or all above 0!"
    drive wait-dialog "$d" || fail "the dialog closed despite mixed chunk splits"

    drive set-text "$d" $ID_CHUNK_Y 4 press "$d" $ID_OK || fail "OK"
    check_message "Command line to send to POFGEN.EXE: -s0.03000000 -e65535.0000 -n255,4,2 "
    drive wait-closed "$d" || fail "the dialog did not close"

    drive post-command mnuEditOptions wait-dialog "$d" || fail "Edit, Options again"
    local id expected
    for pair in "$ID_SCALE 0.03000000" "$ID_TOLERANCE 65535.00000000" "$ID_CHUNK_X 255" "$ID_CHUNK_Y 4" \
        "$ID_CHUNK_Z 2"; do
        read -r id expected <<<"$pair"
        check_text "$expected" "$(drive text "$d" "$id" | tr -d '\r')" "box $id when shown again"
    done
    drive press "$d" $ID_CANCEL wait-closed "$d" || fail "Cancel"
    close_program
}

# A close that reaches the main window right behind the options dialog's Cancel, with the modal loop still
# unwinding, and one that arrives while the dialog is still open (the taskbar's Close): either way the program
# ends by itself, with exit code 0, and writes the settings file as any close does.
scenario_close_as_options_dialog_ends() {
    setup
    use_shipped_texlate
    start_and_wait
    drive post-command mnuEditOptions wait-dialog "$OPTIONS" press-and-close "$OPTIONS" $ID_CANCEL ||
        fail "Cancel with a close right behind it"
    wait_program_end
    check_same "$work/fixtures/fallback.ini" "$work/app/TORVALE.ini" "settings file after the close behind Cancel"

    rm "$work/app/TORVALE.ini"
    start_and_wait
    drive post-command mnuEditOptions wait-dialog "$OPTIONS" close || fail "a close while the dialog is open"
    wait_program_end
    check_same "$work/fixtures/fallback.ini" "$work/app/TORVALE.ini" "settings file after a close during the dialog"
}

# The seven switch boxes, in the order POFGEN's switches are written, and their letters.
readonly SWITCH_IDS=(3528 3529 3530 3531 3532 3533 3534)
readonly SWITCH_LETTERS=(p f m g 1 a b)

# Three rounds of OK: switch box i (counted from 1) is checked in round r when bit r of i is set, so that every
# box has rounds of its own. A box that drives another switch changes a message; one that shows another
# switch's state is caught when the dialog opens again.
scenario_options_switch_boxes() {
    setup
    use_shipped_texlate
    start_and_wait
    local d=$OPTIONS round i bit shown wanted switches previous=0000000
    for round in 0 1 2; do
        drive post-command mnuEditOptions wait-dialog "$d" || fail "Edit, Options"
        local reads=() clicks=()
        for i in "${!SWITCH_IDS[@]}"; do reads+=(checked "$d" "${SWITCH_IDS[$i]}"); done
        shown=$(drive "${reads[@]}" | tr -d '\r\n') || fail "reading the switch boxes"
        check_text "$previous" "$shown" "switch boxes when the dialog opens for round $round"
        wanted='' switches=''
        for i in "${!SWITCH_IDS[@]}"; do
            bit=$((((i + 1) >> round) & 1))
            wanted+=$bit
            [ "$bit" = 1 ] && switches+="-${SWITCH_LETTERS[$i]} "
            [ "$bit" = "${shown:$i:1}" ] || clicks+=(click "$d" "${SWITCH_IDS[$i]}")
        done
        drive "${clicks[@]}" press "$d" $ID_OK || fail "switch boxes and OK in round $round"
        check_message "Command line to send to POFGEN.EXE: $switches"
        drive wait-closed "$d" || fail "the dialog did not close"
        previous=$wanted
    done
    close_program
}
