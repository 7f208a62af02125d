#!/usr/bin/env bash
# /usr/lib/wine/wine64 with the address space laid out without randomisation: how every test starts Wine.
#
# Debian's wine64 starts without Wine's preloader and is linked at 0x7d000000, so the kernel puts its brk heap at
# a random address above it, anywhere up to some 600 MB higher. Now and then (about one start in 700 here) that
# heap covered 0x7ffe0000, where Wine maps the shared user data that every Windows process needs, and the process
# ended before its first instruction with exit code 1 ("failed to map the shared user data", c0000018, an error
# that WINEDEBUG=-all hides). A driver command that never ran failed its scenario at random. Without randomisation
# the heap starts right after the loader, far below that address. Children of a Wine process inherit the setting.
exec setarch "$(uname -m)" --addr-no-randomize /usr/lib/wine/wine64 "$@"
