#!/bin/bash
# A command id that no menu item or accelerator carries ends the game with exit code 0, with the
# window left alive until the message loop ends; Best times does not end it.
. "$(dirname "$0")/lib.sh" "$@"
e2e_setup
start_wineserver
start_skarvel
window=$(wait_for_window Skarvel)

note "Best times keeps the game running"
post_command 40013
expect_running 1
note "command 40003 ends it"
post_command 40003
expect_exit_code 0
echo "unlisted_commands: passed"
