# Run by the windows_zip target (cmake -P): gathers the files into one folder, text files with
# Windows line ends so that Notepad shows their lines, and zips it.
set(folder ${STAGING_DIR}/Skarvel)
file(REMOVE_RECURSE ${STAGING_DIR})
file(REMOVE ${ZIP_FILE})
file(MAKE_DIRECTORY ${folder}/levels)
file(COPY ${SKARVEL_EXE} ${KELBO_EXE} DESTINATION ${folder})

function(copy_with_crlf source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
endfunction()

copy_with_crlf(${HOW_TO_PLAY} "${folder}/How to play.txt")
file(GLOB boards ${LEVELS_DIR}/*.txt)
foreach(board IN LISTS boards)
  get_filename_component(name ${board} NAME)
  copy_with_crlf(${board} ${folder}/levels/${name})
endforeach()

execute_process(COMMAND ${ZIP_PROGRAM} -q -X -r ${ZIP_FILE} Skarvel
  WORKING_DIRECTORY ${STAGING_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zip failed (${result})")
endif()
