# The download for Windows: cmake --build build --target windows_zip gives
# build/skarvel-windows.zip with the game, the kelbo tool, the boards in levels/ and a text on
# how to play.
find_program(ZIP_PROGRAM zip REQUIRED)
set(SKARVEL_ZIP ${CMAKE_BINARY_DIR}/skarvel-windows.zip)
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND}
          -DZIP_PROGRAM=${ZIP_PROGRAM}
          -DSTAGING_DIR=${CMAKE_BINARY_DIR}/windows-zip
          -DZIP_FILE=${SKARVEL_ZIP}
          -DSKARVEL_EXE=${SKARVEL_EXE}
          -DKELBO_EXE=${SKARVEL_WINDOWS_BINARY_DIR}/tools/kelbo.exe
          -DLEVELS_DIR=${CMAKE_SOURCE_DIR}/levels
          -DHOW_TO_PLAY=${CMAKE_SOURCE_DIR}/packaging/how-to-play.txt
          -P ${CMAKE_SOURCE_DIR}/cmake/make_windows_zip.cmake
  DEPENDS skarvel_windows
  COMMENT "Packing ${SKARVEL_ZIP}"
  VERBATIM
)
