#!/usr/bin/env bash
# End-to-end scenarios of torvale.exe: the real program under Wine, driven by torvale_driver as a user would
# drive it, with its log, caption, menu, settings file and room files checked byte for byte.
#
#   bash tests/e2e/scenarios.sh NAME      runs scenario_NAME (ctest runs each as e2e.NAME)
#
# Environment (ctest sets it): TORVALE_EXE, TORVALE_DRIVER, TORVALE_FIXTURES (the built programs) and
# TORVALE_WINE_SESSION (the shared Wine session; without it the scenario starts a session of its own).
# Every scenario works in a fresh folder: the program keeps TORVALE.ini beside itself.
set -u
here=$(cd "$(dirname "$0")" && pwd)
scenario=${1:?usage: scenarios.sh NAME}
source "$here/helpers.sh"

# ---------------------------------------------------------------------------------------------------------

# A first run (of a program that carries its version): the settings file is created at start-up from the defaults (52 bytes, POFGEN not found); the
# menu bar is as designed; Clear Window right away leaves the banner; File, Exit stores the log's own font and
# colours, which replaced the unusable defaults.
scenario_first_run() {
    setup
    use_shipped_texlate
    check_text "1.2.3.0 $TITLE" "$(drive file-version "$(torvale_winpath "$work/app/torvale.exe")" | tr -d '\r')" \
        "version information"
    start_and_wait
    check_same "$work/fixtures/first_run.ini" "$work/app/TORVALE.ini" "settings file written at start-up"
    check_caption "$TITLE"
    # The system's window background (white in Wine's colours), as the log's own colour.
    check_background ffffff
    drive menu >"$work/menu.txt" || fail "menu query"
    cat >"$work/menu.expected" <<'EOF'
0|0|File|1
1|40001|Import P3D...|1
1|40002|Import OOF...|1
1|40005|Import Model...|1
1|0|-|0
1|40003|Export ORF...|0
1|40006|Export Model...|0
1|40007|Check ORF...|1
1|0|-|0
1|0|Recent|1
2|40061|(none)|0
1|40004|Exit|1
0|0|Edit|1
1|40011|Options...|1
1|0|-|0
1|40012|Window Font/Colors...|1
1|40013|Clear Window|1
0|0|View|1
1|40051|Model Preview|1
1|0|-|0
1|40052|Wireframe|1
1|40053|Show Findings|1
1|40054|Textures|1
0|0|Help|1
1|40021|View Readme...|1
1|40022|About TORVALE...|1
0|40031| Reload P3D |0
EOF
    check_same "$work/menu.expected" "$work/menu.txt" "menu bar"
    drive command mnuEditClear || fail "Clear Window"
    check_log "$work/banner.txt" "after Clear Window"
    exit_program
    check_same "$work/fixtures/fallback.ini" "$work/app/TORVALE.ini" "settings file written at exit"
}

# Closing the window with its close box saves the settings exactly like File, Exit.
scenario_close_box_saves_settings() {
    setup
    use_shipped_texlate
    start_and_wait
    drive close-box || fail "closing by the close box"
    wait_program_end
    check_same "$work/fixtures/fallback.ini" "$work/app/TORVALE.ini" "settings file written at exit"
}

# A settings file from an earlier run: its colours reach the screen, and the file comes back unchanged at exit.
scenario_with_settings_file() {
    setup
    use_shipped_texlate
    cp "$work/fixtures/custom.ini" "$work/app/TORVALE.ini"
    start_and_wait
    check_background 102040
    exit_program
    check_same "$work/fixtures/custom.ini" "$work/app/TORVALE.ini" "settings file after a run"
}

# A good model: its report, "Finished loading", the caption with the file name and Export ORF enabled. Clear
# Window then leaves only the banner and keeps the model.
scenario_import_good_model() {
    setup
    use_fixture_texlate
    start_and_wait
    check_export_enabled 0
    import_oof model.oof
    { cat "$work/fixtures/report.txt"; line "Finished loading model.oof"; } >"$work/loaded.part"
    expect loaded.txt "$work/loaded.part"
    check_log "$work/loaded.txt" "after loading model.oof"
    check_caption "$TITLE - model.oof"
    check_export_enabled 1

    drive command mnuEditClear || fail "Clear Window"
    check_log "$work/banner.txt" "after Clear Window"
    check_caption "$TITLE - model.oof"
    check_export_enabled 1
    close_program
}

# Cancelling the open dialog after a good load: the log went back to the banner; model, caption and Export
# ORF stay.
scenario_cancelled_dialog() {
    setup
    use_fixture_texlate
    start_and_wait
    import_oof model.oof
    drive post-command mnuFileImportOOF cancel-dialog "Import OOF file" || fail "cancelling Import OOF"
    check_log "$work/banner.txt" "after a cancelled import"
    check_caption "$TITLE - model.oof"
    check_export_enabled 1
    # A cancelled export writes nothing and adds nothing to the log.
    drive post-command mnuFileExport cancel-dialog "Export ORF file" || fail "cancelling Export ORF"
    check_log "$work/banner.txt" "after a cancelled export"
    [ -z "$(ls -A "$work/out")" ] || fail "a cancelled export wrote $(ls "$work/out")"
    close_program
}

# Files that are not valid models: a wrong identifier gives only the error line after the banner; a file cut
# short gives the report so far, the reader's reason and the error line. Both disable Export ORF and reset
# the caption, also after a good load.
scenario_import_bad_files() {
    setup
    use_fixture_texlate
    start_and_wait
    import_oof model.oof
    check_export_enabled 1

    import_oof bad.oof
    line "Error reading bad.oof Not a valid OOF!" >"$work/bad.part"
    expect bad.txt "$work/bad.part"
    check_log "$work/bad.txt" "after loading bad.oof"
    check_caption "$TITLE"
    check_export_enabled 0

    import_oof cut.oof
    drive log >"$work/cut.txt" || fail "cannot read the log"
    head -c "$(stat -c %s "$work/banner.txt")" "$work/cut.txt" | cmp -s - "$work/banner.txt" ||
        fail "the log after cut.oof does not start with the banner"
    grep -qa "Opened cut.oof" "$work/cut.txt" || fail "no report for cut.oof: $(cat -A "$work/cut.txt")"
    line "Error reading cut.oof Not a valid OOF!" >"$work/ending.txt"
    local ending_size
    ending_size=$(stat -c %s "$work/ending.txt")
    tail -c "$ending_size" "$work/cut.txt" | cmp -s - "$work/ending.txt" ||
        fail "the log after cut.oof does not end with the error line: $(tail -c 300 "$work/cut.txt" | cat -A)"
    # The reader says why, on a line of its own between the report and the error line.
    head -c "-$ending_size" "$work/cut.txt" | tail -n 1 | grep -q '[[:alnum:]]' ||
        fail "no reason given for cut.oof: $(tail -c 300 "$work/cut.txt" | cat -A)"
    check_caption "$TITLE"
    check_export_enabled 0
    close_program
}

# Export ORF with the default combined mode: the save dialog proposes the model's name with "orf", the
# room replaces an existing longer file completely, and the log reports the file and its counts.
scenario_export_combined() {
    setup
    use_fixture_texlate
    start_and_wait
    import_oof model.oof
    head -c 5000 /dev/urandom >"$work/out/room.orf"
    drive post-command mnuFileExport || fail "Export ORF"
    check_text "model.orf" "$(drive file-name "Export ORF file" | tr -d '\r')" "proposed file name"
    drive file-dialog "Export ORF file" "$(torvale_winpath "$work/out/room.orf")" || fail "save dialog"
    check_same "$work/fixtures/combined.orf" "$work/out/room.orf" "combined room"
    [ "$(ls "$work/out")" = "room.orf" ] || fail "unexpected files: $(ls "$work/out")"

    {
        cat "$work/fixtures/report.txt"
        line "Finished loading model.oof"
        line "Exporting $(torvale_winpath "$work/out/room.orf")..."
        printf '    Number of Verts: 7\r\n    Number of Faces: 3\r\n'
        # The lid's face of the fixture has its corners in the order that shows its other side.
        printf '    Warning: room.orf, face 2: faces the other way in the level editor\r\n'
        printf '    Room check of room.orf: 1 finding\r\n'
        line "Finished converting to ORF!"
    } >"$work/exported.part"
    expect exported.txt "$work/exported.part"
    check_log "$work/exported.txt" "after the export"
    close_program
}

# A settings file that asks for one room per sub-object: the chosen name Room.ORF gives Room01.orf and
# Room02.orf, each sub-object in its own coordinates.
scenario_export_per_subobject() {
    setup
    use_fixture_texlate
    cp "$work/fixtures/custom.ini" "$work/app/TORVALE.ini"
    start_and_wait
    import_oof model.oof
    export_orf "$work/out/Room.ORF"
    check_same "$work/fixtures/part01.orf" "$work/out/Room01.orf" "room of sub-object 1"
    check_same "$work/fixtures/part02.orf" "$work/out/Room02.orf" "room of sub-object 2"
    [ "$(ls "$work/out" | tr '\n' ' ')" = "Room01.orf Room02.orf " ] || fail "unexpected files: $(ls "$work/out")"

    {
        cat "$work/fixtures/report.txt"
        line "Finished loading model.oof"
        line "Exporting $(torvale_winpath "$work/out/Room01.orf")..."
        printf '    Number of Verts: 4\r\n    Number of Faces: 2\r\n'
        printf '    Room check of Room01.orf: no findings\r\n'
        line "Exporting $(torvale_winpath "$work/out/Room02.orf")..."
        printf '    Number of Verts: 3\r\n    Number of Faces: 1\r\n'
        printf '    Warning: Room02.orf, face 0: faces the other way in the level editor\r\n'
        printf '    Room check of Room02.orf: 1 finding\r\n'
        line "Finished converting to ORF!"
    } >"$work/exported.part"
    expect exported.txt "$work/exported.part"
    check_log "$work/exported.txt" "after the export"
    close_program
}

# Without texlate.rsc the program says which file is missing and ends before its main window appears.
scenario_missing_texture_table() {
    setup
    start_program
    local text
    text=$(drive message-box "$TITLE") || fail "no message box about the missing table"
    local expected_path
    expected_path=$(torvale_winpath "$work/app/texlate.rsc")
    case "$text" in
    *"$expected_path"*) ;;
    *) fail "the message does not name $expected_path: $text" ;;
    esac
    wait_program_end any
}

# Check ORF of a room with findings: its report and the room check's lines in the log, the room as the current
# model (caption, Export ORF); Export Model writes it as a GLB through the save dialog's file name.
scenario_check_orf_findings() {
    setup
    use_shipped_texlate
    start_and_wait
    drive post-command mnuFileCheckORF file-dialog "Check ORF file" "$(torvale_winpath "$work/fixtures/findings.orf")" ||
        fail "Check ORF"
    log_has "Room: findings.orf"
    log_has "Warning: findings.orf, face 0: faces the other way in the level editor"
    log_has "Warning: findings.orf, vertex 3: unused"
    log_has "Room check of findings.orf: 2 findings"
    check_caption "$TITLE - findings.orf"
    check_export_enabled 1
    drive post-command mnuFileExportModel file-dialog "Export Model" "$(torvale_winpath "$work/out/room.glb")" ||
        fail "Export Model"
    log_has "Finished exporting"
    [ "$(head -c 4 "$work/out/room.glb")" = glTF ] || fail "room.glb is no GLB file"
    close_program
}

# Import Model of an OBJ: its summary, the caption, Export ORF enabled.
scenario_import_model_obj() {
    setup
    use_shipped_texlate
    start_and_wait
    drive post-command mnuFileImportModel file-dialog "Import Model" "$(torvale_winpath "$work/fixtures/square.obj")" ||
        fail "Import Model"
    log_has "Textures: 1: stone_wall"
    log_has "Finished loading square.obj"
    check_caption "$TITLE - square.obj"
    check_export_enabled 1
    close_program
}

# The reverse-faces box is kept in TORVALE.cfg across a restart, while TORVALE.ini keeps its layout.
scenario_reverse_faces_restart() {
    setup
    use_shipped_texlate
    start_and_wait
    local d="POFGEN Command Line & TORVALE Conversion Options"
    drive post-command mnuEditOptions wait-dialog "$d" click "$d" 3542 press "$d" 1 wait-closed "$d" ||
        fail "checking Reverse faces and OK"
    exit_program
    check_same "$work/fixtures/fallback.ini" "$work/app/TORVALE.ini" "TORVALE.ini after the options"
    grep -q '^\[rooms\]' "$work/app/TORVALE.cfg" && grep -q '^reverseFaces=1' "$work/app/TORVALE.cfg" ||
        fail "TORVALE.cfg does not keep the box: $(cat "$work/app/TORVALE.cfg" 2>/dev/null)"
    start_and_wait
    drive post-command mnuEditOptions wait-dialog "$d" || fail "Edit, Options again"
    check_text 1 "$(drive checked "$d" 3542 | tr -d '\r\n')" "Reverse faces after a restart"
    drive press "$d" 3540 wait-closed "$d" || fail "Cancel"
    close_program
}

source "$here/pofgen_scenarios.sh"
source "$here/colors_scenarios.sh"
source "$here/preview_scenarios.sh"
source "$here/unicode_scenarios.sh"
source "$here/dpi_scenarios.sh"

declare -F "scenario_$scenario" >/dev/null || fail "no scenario named $scenario"
"scenario_$scenario"
echo "PASS [$scenario]"

