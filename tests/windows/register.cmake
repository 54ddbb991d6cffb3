# The Windows-side tests: cross-built in the Windows tree (tests/windows/CMakeLists.txt) and run
# under Wine from the native ctest, one Wine program at a time.
add_test(NAME resource_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/run_under_wine.sh ${CMAKE_BINARY_DIR}
          ${SKARVEL_WINDOWS_BINARY_DIR}/tests/windows/resource_check.exe ${SKARVEL_EXE})
set_tests_properties(resource_check PROPERTIES RESOURCE_LOCK wine)

# kelbo.exe, the tool that goes into the Windows download, against the native kelbo.
add_test(NAME kelbo_exe_under_wine
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/kelbo_under_wine.sh ${CMAKE_BINARY_DIR}
          ${SKARVEL_WINDOWS_BINARY_DIR}/tools/kelbo.exe $<TARGET_FILE:kelbo> ${CMAKE_SOURCE_DIR}/levels
          ${SKARVEL_WINDOWS_BINARY_DIR}/tests/windows/hold_file.exe)
set_tests_properties(kelbo_exe_under_wine PROPERTIES RESOURCE_LOCK wine TIMEOUT 300)

# The download for Windows, made by the windows_zip target before the tests run (scripts/test.sh).
add_test(NAME windows_zip_contents
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/zip_contents.sh ${CMAKE_BINARY_DIR} ${SKARVEL_ZIP}
          ${CMAKE_SOURCE_DIR}/levels)
set_tests_properties(windows_zip_contents PROPERTIES RESOURCE_LOCK wine TIMEOUT 120)

# Wine sees the source tree through its Z: drive.
add_test(NAME draw_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/run_under_wine.sh ${CMAKE_BINARY_DIR}
          ${SKARVEL_WINDOWS_BINARY_DIR}/tests/windows/draw_check.exe Z:${CMAKE_SOURCE_DIR}/res/icons)
set_tests_properties(draw_check PROPERTIES RESOURCE_LOCK wine)
