# Builds the Windows program in its own build tree with the mingw-w64 toolchain, as part of the
# native build, so that one build gives the native tools, the tests and skarvel.exe.
include(ExternalProject)

set(SKARVEL_WINDOWS_BINARY_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(skarvel_windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${SKARVEL_WINDOWS_BINARY_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DSKARVEL_ICON_TOOL=$<TARGET_FILE:icon_from_text>
    -DSKARVEL_CLI11_HEADERS=${SKARVEL_CLI11_INCLUDE}/CLI
  DEPENDS icon_from_text
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
)
set(SKARVEL_EXE ${SKARVEL_WINDOWS_BINARY_DIR}/ui/skarvel.exe)

# The game and kelbo.exe alone, without the Windows-side tests: what scripts/play.sh builds.
ExternalProject_Add_StepTargets(skarvel_windows configure)
add_custom_target(skarvel_windows_game
  COMMAND ${CMAKE_COMMAND} --build ${SKARVEL_WINDOWS_BINARY_DIR} --target skarvel kelbo
  DEPENDS skarvel_windows-configure
  USES_TERMINAL
)
