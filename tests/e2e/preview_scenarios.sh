# End-to-end scenarios of files opened from outside (the command line), File, Recent, and the Model Preview
# window, sourced by scenarios.sh.

readonly RECENT_FIRST=40061

# The caption of File, Recent's item N (1 to 4), empty when the list is shorter.
recent_item() {
    drive menu | awk -F'|' -v id=$((RECENT_FIRST + $1 - 1)) '$1 == 2 && $2 == id && $4 == 1 { print $3 }'
}
check_recent() { check_text "$2" "$(recent_item "$1")" "File, Recent item $1"; }

# The log, once the program has started with files on its command line (opened before the window takes
# messages, so wait-main returns after them).
start_with_files() {
    start_program "$@"
    drive wait-main || fail "the main window did not appear"
    drive log >"$work/log.txt" || fail "cannot read the log"
}

# A model and a room on the command line, each in a run of its own; an unknown file beside the room is one
# line of the log. File, Recent lists what opened, the newest first, across runs; choosing an item opens it;
# an item whose file has gone leaves the list with a line in the log.
scenario_command_line_and_recent() {
    setup
    use_fixture_texlate
    mkdir -p "$work/in"
    cp "$work/fixtures/model.oof" "$work/fixtures/combined.orf" "$work/in/"
    printf 'nothing TORVALE reads\r\n' >"$work/in/notes.txt"
    local model room notes
    model=$(torvale_winpath "$work/in/model.oof")
    room=$(torvale_winpath "$work/in/combined.orf")
    notes=$(torvale_winpath "$work/in/notes.txt")

    start_with_files "$model"
    { cat "$work/fixtures/report.txt"; line "Finished loading model.oof"; } >"$work/loaded.part"
    tail -c "$(stat -c %s "$work/loaded.part")" "$work/log.txt" | cmp -s - "$work/loaded.part" ||
        fail "the log does not end with the model's report: $(tail -c 300 "$work/log.txt" | cat -A)"
    check_caption "$TITLE - model.oof"
    check_export_enabled 1
    check_recent 1 "1 $model"
    check_recent 2 ""
    exit_program

    start_with_files "$room" "$notes"
    grep -qaF "combined.orf" "$work/log.txt" || fail "no report of the room: $(cat -A "$work/log.txt")"
    grep -qaF "Cannot open $notes: not a model, room or P3D file" "$work/log.txt" ||
        fail "no line about the unknown file: $(cat -A "$work/log.txt")"
    check_caption "$TITLE - combined.orf"
    check_recent 1 "1 $room"
    check_recent 2 "2 $model"

    drive command mnuFileRecent2 || fail "File, Recent, 2"
    check_caption "$TITLE - model.oof"
    log_has "Finished loading model.oof"
    check_recent 1 "1 $model"
    check_recent 2 "2 $room"

    rm "$work/in/combined.orf"
    drive command mnuFileRecent2 || fail "File, Recent, 2 once more"
    log_has "$room is gone; removed from File, Recent."
    check_caption "$TITLE - model.oof"
    check_recent 1 "1 $model"
    check_recent 2 ""
    exit_program
    grep -qaF "file1=$model" "$work/app/TORVALE.cfg" || fail "TORVALE.cfg: $(cat -A "$work/app/TORVALE.cfg")"
}

# A P3D source on the command line is compiled as Import P3D compiles one, and remembered by its own name.
scenario_command_line_p3d() {
    setup
    use_fixture_texlate
    use_pofgen
    start_and_wait
    set_pofgen_path "$(torvale_winpath "$work/Pofgen Tools/pofgen.exe")" 0
    exit_program
    write_p3d "$work/in/pyramid.p3d"
    local source
    source=$(torvale_winpath "$work/in/pyramid.p3d")
    start_with_files "$source"
    grep -qaF "Finished loading pyramid.OOF" "$work/log.txt" || fail "no compiled model: $(cat -A "$work/log.txt")"
    check_caption "$TITLE - pyramid.OOF"
    check_reload_enabled 1
    check_recent 1 "1 $source"
    exit_program
}

# View, Model Preview opens the preview, which follows each load and says in its caption how many faces it
# draws; it goes when the program ends.
scenario_model_preview() {
    setup
    use_fixture_texlate
    start_and_wait
    check_text 0 "$(drive preview-open)" "preview open at start"
    drive command mnuViewPreview wait-preview-caption "Model Preview" wait-preview-drawn 0 ||
        fail "View, Model Preview"
    import_oof model.oof
    drive wait-preview-caption "Model Preview - model.oof (3 faces)" wait-preview-drawn 1 ||
        fail "the preview after the import"
    drive command mnuViewWireframe command mnuViewFindings wait-preview-drawn 1 || fail "the preview's options"
    import_oof bad.oof
    drive wait-preview-caption "Model Preview" wait-preview-drawn 0 || fail "the preview after a failed import"
    drive post-command mnuFileImportOOF wait-dialog "Import OOF file" cancel-dialog "Import OOF file" ||
        fail "cancelling Import OOF"
    check_text 1 "$(drive preview-open)" "preview open after the imports"
    close_program
}
