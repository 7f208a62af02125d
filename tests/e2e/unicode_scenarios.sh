# End-to-end scenarios of file names in any script, sourced by scenarios.sh: a folder and files named in
# Cyrillic, Greek and Japanese with accents and blanks, which no single ANSI code page holds.

readonly UNICODE_FOLDER="Модели Ωμέγα 日本 é"
readonly UNICODE_MODEL="Ωμέγα модель.oof"
readonly UNICODE_ROOM="комната 日本 é.orf"

# Wine names Unix files through the locale's character set: UTF-8 keeps every letter.
use_utf8_file_names() { export LC_ALL=C.UTF-8; }

# A fresh scenario with the model copied into the folder named in those scripts, whose path it leaves in $folder
# (declared local by the caller).
setup_unicode_folder() {
    use_utf8_file_names
    setup
    folder="$work/$UNICODE_FOLDER"
    mkdir -p "$folder"
    cp "$work/fixtures/model.oof" "$folder/$UNICODE_MODEL"
}

# Import OOF from that folder: the log and the caption show the names whole; Export ORF writes the room beside
# the model under a name in the same scripts, byte for byte the room an ASCII path gives.
scenario_unicode_folder_import_and_export() {
    local folder
    setup_unicode_folder
    use_fixture_texlate
    start_and_wait
    drive post-command mnuFileImportOOF file-dialog "Import OOF file" "$(torvale_winpath "$folder/$UNICODE_MODEL")" ||
        fail "Import OOF of $UNICODE_MODEL"
    {
        sed "s/^Opened model\.oof\r\$/Opened $UNICODE_MODEL\r/" "$work/fixtures/report.txt"
        line "Finished loading $UNICODE_MODEL"
    } >"$work/loaded.part"
    expect loaded.txt "$work/loaded.part"
    check_log "$work/loaded.txt" "after loading $UNICODE_MODEL"
    check_caption "$TITLE - $UNICODE_MODEL"

    export_orf "$folder/$UNICODE_ROOM"
    check_same "$work/fixtures/combined.orf" "$folder/$UNICODE_ROOM" "room written into $UNICODE_FOLDER"
    log_has "Exporting $(torvale_winpath "$folder/$UNICODE_ROOM")..."
    log_has "Finished converting to ORF!"
    close_program
    # Nothing else appeared beside them: no temporary left, no file under a mangled name.
    check_text "$UNICODE_MODEL|$UNICODE_ROOM" "$(ls "$folder" | sort | paste -sd'|')" "files in $UNICODE_FOLDER"
}

# torvale-cli report of a model in that folder prints the file's name in UTF-8.
scenario_unicode_cli_report() {
    local folder
    setup_unicode_folder
    [ -f "${TORVALE_CLI:-}" ] || fail "TORVALE_CLI does not name a built program"
    "$TORVALE_WINE64" "$TORVALE_CLI" report "$(torvale_winpath "$folder/$UNICODE_MODEL")" </dev/null \
        >"$work/report.out" 2>"$work/report.err" || fail "torvale-cli report failed: $(cat "$work/report.err")"
    grep -qaF "Finished loading $UNICODE_MODEL" "$work/report.out" ||
        fail "the report does not name $UNICODE_MODEL: $(tail -n 3 "$work/report.out")"
}

# A model named on the command line (as Explorer starts the program on it) from that folder: it opens, the
# caption and File, Recent show its name whole, and so does the Model Preview's caption; choosing the Recent
# item opens it again.
scenario_unicode_command_line_and_recent() {
    local folder
    setup_unicode_folder
    use_fixture_texlate
    local model
    model=$(torvale_winpath "$folder/$UNICODE_MODEL")
    start_with_files "$model"
    grep -qaF "Finished loading $UNICODE_MODEL" "$work/log.txt" ||
        fail "the model named on the command line did not open: $(tail -c 300 "$work/log.txt")"
    check_caption "$TITLE - $UNICODE_MODEL"
    check_recent 1 "1 $model"
    drive command mnuViewPreview wait-preview-caption "Model Preview - $UNICODE_MODEL (3 faces)" ||
        fail "the preview's caption"
    drive command mnuEditClear command mnuFileRecent1 || fail "File, Recent, 1"
    log_has "Finished loading $UNICODE_MODEL"
    check_recent 1 "1 $model"
    exit_program
}

# Models dropped on the window from folders named in Cyrillic and Japanese, as Explorer drops them (wide): each
# opens with its name whole, File, Recent lists both paths whole, newest first, and its second item opens the
# first model again.
scenario_unicode_drop_and_recent() {
    local folder
    setup_unicode_folder
    use_fixture_texlate
    local second="$work/日本語のフォルダ и папка"
    mkdir -p "$second"
    cp "$work/fixtures/model.oof" "$second/船 корабль.oof"
    local first_model second_model
    first_model=$(torvale_winpath "$folder/$UNICODE_MODEL")
    second_model=$(torvale_winpath "$second/船 корабль.oof")
    start_and_wait

    drive drop "$first_model" || fail "dropping $UNICODE_MODEL"
    log_has "Finished loading $UNICODE_MODEL"
    check_caption "$TITLE - $UNICODE_MODEL"
    drive drop "$second_model" || fail "dropping 船 корабль.oof"
    log_has "Finished loading 船 корабль.oof"
    check_caption "$TITLE - 船 корабль.oof"
    check_recent 1 "1 $second_model"
    check_recent 2 "2 $first_model"

    drive command mnuEditClear command mnuFileRecent2 || fail "File, Recent, 2"
    log_has "Finished loading $UNICODE_MODEL"
    check_caption "$TITLE - $UNICODE_MODEL"
    check_recent 1 "1 $first_model"
    check_recent 2 "2 $second_model"
    exit_program
}
