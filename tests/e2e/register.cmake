# End-to-end tests of the real skarvel.exe under Wine, each on its own Xvfb display; they share
# the build tree's Wine prefix, so only one runs at a time.
set(skarvel_e2e_tests start_fresh start_existing levels unlisted_commands file_trouble
    game_lost game_clock game_won best_times game_press screenshots record_not_saved
    input_on_screen own_boards high_dpi file_replaced hint_key no_guessing
    board_maker)
list(APPEND skarvel_e2e_tests statistics)
list(APPEND skarvel_e2e_tests triangle_size loss_explained)
foreach(name IN LISTS skarvel_e2e_tests)
  add_test(NAME e2e_${name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/${name}.sh ${CMAKE_BINARY_DIR} ${SKARVEL_EXE}
            $<TARGET_FILE:kelbo> ${SKARVEL_WINDOWS_BINARY_DIR}/tests/e2e/game_probe.exe)
  # 77: a test that cannot run here (the read-only file needs root to switch users). Every wait in
  # a test has its own bound; the longest test takes 2 to 2.5 minutes on two busy cores.
  set_tests_properties(e2e_${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 SKIP_RETURN_CODE 77)
endforeach()
# Some forty cases, each looked at on the screen: about two minutes on a busy machine.
set_tests_properties(e2e_input_on_screen PROPERTIES TIMEOUT 300)
