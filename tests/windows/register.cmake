# The Windows-side tests: cross-built in the Windows tree (tests/windows/CMakeLists.txt) and run
# under Wine from the native ctest, one Wine program at a time.
add_test(NAME resource_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/run_under_wine.sh ${CMAKE_BINARY_DIR}
          ${SKARVEL_WINDOWS_BINARY_DIR}/tests/windows/resource_check.exe ${SKARVEL_EXE})
set_tests_properties(resource_check PROPERTIES RESOURCE_LOCK wine)

# Wine sees the source tree through its Z: drive.
add_test(NAME draw_check
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/run_under_wine.sh ${CMAKE_BINARY_DIR}
          ${SKARVEL_WINDOWS_BINARY_DIR}/tests/windows/draw_check.exe Z:${CMAKE_SOURCE_DIR}/res/icons)
set_tests_properties(draw_check PROPERTIES RESOURCE_LOCK wine)
