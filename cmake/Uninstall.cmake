# SPDX-License-Identifier: GPL-3.0-or-later
# Removes every file the last "make install" wrote, as listed in its manifest.
if(NOT EXISTS install_manifest.txt)
  message(FATAL_ERROR "Nothing to uninstall: install_manifest.txt is not here.")
endif()
file(STRINGS install_manifest.txt installed)
foreach(file IN LISTS installed)
  if(EXISTS "$ENV{DESTDIR}${file}" OR IS_SYMLINK "$ENV{DESTDIR}${file}")
    message(STATUS "Removing $ENV{DESTDIR}${file}")
    file(REMOVE "$ENV{DESTDIR}${file}")
  endif()
endforeach()
