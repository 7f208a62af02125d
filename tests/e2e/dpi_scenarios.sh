# End-to-end scenarios of DPI changes, sourced by scenarios.sh. Wine never moves a window to a monitor of
# another DPI, so the driver sends WM_DPICHANGED as Windows would, suggesting the window's rectangle scaled.

# Within one pixel: MulDiv and the twips round trip may round a half either way.
near() { local a=$1 b=$2; [ $((a - b)) -le 1 ] && [ $((b - a)) -le 1 ]; }

# From 96 to 144 DPI: the window takes the suggested rectangle, the log keeps its margin in twips (so half as
# many pixels again) and fills the rest of the client area, and its font is made again half as tall again.
scenario_dpi_change_rescales_the_main_window() {
    setup
    use_fixture_texlate
    start_and_wait
    local width height left top
    IFS='x+' read -r width height left top <<<"$(drive window-rect | tr -d '\r')"
    local l0 t0 w0 h0 cw0 ch0 f0
    read -r l0 t0 w0 h0 cw0 ch0 f0 <<<"$(drive output-layout | tr -d '\r')"
    [ "$f0" -lt 0 ] || fail "the log has no font at 96 DPI ($f0)"

    drive dpi-change 144 || fail "WM_DPICHANGED"
    check_text "$((width * 3 / 2))x$((height * 3 / 2))+$left+$top" "$(drive window-rect | tr -d '\r')" \
        "window rectangle after the DPI change"
    local l1 t1 w1 h1 cw1 ch1 f1
    read -r l1 t1 w1 h1 cw1 ch1 f1 <<<"$(drive output-layout | tr -d '\r')"
    near "$l1" $((l0 * 3 / 2)) && near "$t1" $((t0 * 3 / 2)) || fail "log margin $l1,$t1 at 144 DPI (was $l0,$t0)"
    near "$w1" $((cw1 - 2 * l1)) && near "$h1" $((ch1 - 2 * t1)) ||
        fail "log size ${w1}x$h1 does not fill the client ${cw1}x$ch1"
    [ "$cw1" -gt "$cw0" ] || fail "the client area did not grow ($cw0 -> $cw1)"
    near "$f1" $((f0 * 3 / 2)) || fail "log font height $f1 at 144 DPI (was $f0)"

    # And back: everything as it was.
    drive dpi-change 96 || fail "WM_DPICHANGED back"
    local l2 t2 w2 h2 cw2 ch2 f2
    read -r l2 t2 w2 h2 cw2 ch2 f2 <<<"$(drive output-layout | tr -d '\r')"
    check_text "$l0 $t0 $f0" "$l2 $t2 $f2" "log margin and font back at 96 DPI"
    close_program
}
