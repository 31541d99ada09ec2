# Runs at install time, after the program is in place: writes the menu
# entry with the program's installed path, and the demo database unless
# the program folder already holds one (the user's, or one the updater
# brought; a new install must not throw it away).
#
# Set before this script: VELMORA_PROGRAM_DIR (relative to the prefix),
# VELMORA_DESKTOP_TEMPLATE, VELMORA_MAKE_DEMO_DB, VELMORA_WORK_DIR.

set(program_dir "${CMAKE_INSTALL_PREFIX}/${VELMORA_PROGRAM_DIR}")
set(program "${program_dir}/Dorvak")

# Inside a quoted Exec argument a backslash, quote, backquote and dollar
# sign are escaped with a backslash, and every backslash of the value is
# escaped once more; a percent sign is doubled.
string(REPLACE "\\" "\\\\" quoted "${program}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(VELMORA_EXEC "\"${quoted}\"")
string(REPLACE "\\" "\\\\" VELMORA_TRY_EXEC "${program}")
set(VELMORA_WM_CLASS "Velmora")

# One work folder per destination, so that installs into several places
# at once do not share the file.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(entry "${VELMORA_WORK_DIR}/entry-${destination}/velmora.desktop")
configure_file("${VELMORA_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")

set(database "$ENV{DESTDIR}${program_dir}/dorvak.dat")
if(EXISTS "${database}")
  message(STATUS "Keeping the database: ${database}")
else()
  message(STATUS "Writing the demo database: ${database}")
  execute_process(COMMAND "${VELMORA_MAKE_DEMO_DB}" --out "${database}" --companies 5000
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "make_demo_db failed (${status})")
  endif()
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${program_dir}/dorvak.dat")
endif()
