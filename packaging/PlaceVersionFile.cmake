# Puts the program's version file (softup.dll) at VERSION_FILE_DESTINATION
# unless one is there already. Without the file no numbered release is ever
# offered; an existing one belongs to the installed release (an upgrade
# replaces it) and is never overwritten.
#
# Set before this script: VERSION_FILE_SOURCE, VERSION_FILE_DESTINATION, and
# optionally VERSION_FILE_MANIFEST (the entry for the install manifest).
# Runs at build time (cmake -P) and at install time.

if(EXISTS "${VERSION_FILE_DESTINATION}")
  if(VERSION_FILE_MANIFEST)
    message(STATUS "Keeping the version file: ${VERSION_FILE_DESTINATION}")
  endif()
else()
  get_filename_component(version_file_folder "${VERSION_FILE_DESTINATION}" DIRECTORY)
  file(MAKE_DIRECTORY "${version_file_folder}")
  file(COPY_FILE "${VERSION_FILE_SOURCE}" "${VERSION_FILE_DESTINATION}")
  if(VERSION_FILE_MANIFEST)
    message(STATUS "Writing the version file: ${VERSION_FILE_DESTINATION}")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${VERSION_FILE_MANIFEST}")
  endif()
endif()
