# Packaging. In a Windows build (preset "windows"):
#   cpack -G ZIP    tjvx-<version>-win64.zip, one folder tjvx-<version>-win64/ holding the programs,
#                   the settings file, the manual, the read-me and the samples;
#   cpack -G NSIS   tjvx-<version>-win64.exe, an installer for the current user (no administrator
#                   rights) built from cmake/NSIS.template.in, when Debian's nsis (makensis) is there.
# `cmake --build <build> --target package` makes every generator in CPACK_GENERATOR.
# scripts/windows-package-test checks both packages, the installer and the uninstaller under Wine.
#
# The package holds only what a user needs: no generator script, read-me of the samples folder,
# .gitattributes or developer settings from samples/.

# On Linux, `cmake --install` puts the programs into bin/, the manual into share/doc/tjvx/ (the
# window looks for it there, beside bin/) and the samples into share/tjvx/; no package is made.
if(NOT WIN32)
  include(GNUInstallDirs)
  install(TARGETS tjvx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  function(tjvx_install_linux_gui)
    if(TARGET tjvx-gui)
      install(TARGETS tjvx-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endfunction()
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tjvx_install_linux_gui)
  install(FILES docs/manual.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tjvx)
  install(DIRECTORY samples/DOZORA DESTINATION ${CMAKE_INSTALL_DATADIR}/tjvx/samples)
  install(DIRECTORY samples/boreholes/B-12 DESTINATION ${CMAKE_INSTALL_DATADIR}/tjvx/samples/boreholes)
  return()
endif()

install(TARGETS tjvx RUNTIME DESTINATION .)

# The window tjvx-gui is defined after this file is read (or not at all when the build has no
# window), so the test for it waits until the whole top-level CMakeLists.txt has been read.
function(tjvx_install_gui)
  if(TARGET tjvx-gui)
    install(TARGETS tjvx-gui RUNTIME DESTINATION .)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tjvx_install_gui)

# The settings file beside the programs: its second line names samples\DOZORA\ relative to its own
# folder. Kept byte for byte (CP932, CR LF) by .gitattributes.
install(FILES packaging/DozoraV5.ini DESTINATION .)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/docs/manual.html)
  install(FILES docs/manual.html DESTINATION .)
endif()

# The read-me is kept as UTF-8 in the repository; Notepad on a Japanese Windows and users' habits
# want CP932 with CR LF line ends, so the build converts it. The converted file has an ASCII name in
# the build folder (make and Ninja need no non-ASCII paths) and gets its Japanese name on install.
set(tjvx_readme_name "はじめにお読みください.txt")
set(tjvx_readme_source ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${tjvx_readme_name})
if(EXISTS ${tjvx_readme_source})
  find_program(TJVX_ICONV iconv)
  find_program(TJVX_SED sed)
  if(TJVX_ICONV AND TJVX_SED)
    set(tjvx_readme_build ${CMAKE_CURRENT_BINARY_DIR}/packaging/readme-cp932.txt)
    # iconv fails on a character CP932 lacks, and the build stops there rather than ship a cut file.
    # sed then ends every line with CR LF (a CR already there is not doubled; CP932 trail bytes are
    # never CR or LF, so line-wise editing is safe). The C locale keeps sed to plain bytes.
    add_custom_command(
      OUTPUT ${tjvx_readme_build}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
      COMMAND ${TJVX_ICONV} -f UTF-8 -t CP932 -o ${tjvx_readme_build}.tmp ${tjvx_readme_source}
      COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${TJVX_SED} -i -e "s/\\r*$/\\r/" ${tjvx_readme_build}.tmp
      COMMAND ${CMAKE_COMMAND} -E rename ${tjvx_readme_build}.tmp ${tjvx_readme_build}
      DEPENDS ${tjvx_readme_source}
      COMMENT "Converting the read-me to CP932 with CR LF line ends"
      VERBATIM)
    add_custom_target(tjvx_readme ALL DEPENDS ${tjvx_readme_build})
    install(FILES ${tjvx_readme_build} DESTINATION . RENAME ${tjvx_readme_name})
  else()
    message(WARNING "iconv or sed not found: the package is made without ${tjvx_readme_name}")
  endif()
endif()

install(DIRECTORY samples/DOZORA DESTINATION samples)
install(DIRECTORY samples/boreholes/B-12 DESTINATION samples/boreholes)

set(CPACK_PACKAGE_NAME tjvx)
set(CPACK_PACKAGE_VENDOR tjvx)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converter for Tarvik_Jr borehole logs")
set(CPACK_GENERATOR ZIP)
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
  # The installer only for a Windows build, and only when makensis is there, so that a machine
  # without nsis still makes the zip.
  find_program(TJVX_MAKENSIS makensis)
  if(TJVX_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
    set(CPACK_NSIS_EXECUTABLE ${TJVX_MAKENSIS})
  else()
    message(STATUS "makensis not found (Debian: nsis): cpack makes the zip only")
  endif()
endif()
# Our own NSIS.template.in comes before CMake's: a 64-bit Unicode installer for the current user.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/cmake)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")

# The installer's and the uninstaller's icon: the window's.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/win32/tjvx.ico)
  set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/win32/tjvx.ico)
  set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/win32/tjvx.ico)
endif()

# The zip unpacks into one folder. The NSIS generator cannot use that folder (it would warn and
# drop it), so the file cpack reads for each generator turns it off there.
# That file also stops cpack early under a locale that is not UTF-8 when the Japanese read-me is
# in the package: there libarchive cannot read the file name (the zip step fails with "Can't
# lstat") and makensis crashes on it.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake)
if(TARGET tjvx_readme)
  set(tjvx_needs_utf8 ON)
else()
  set(tjvx_needs_utf8 OFF)
endif()
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} @ONLY CONTENT [=[
# Written by cmake/package.cmake: settings for each CPack generator.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
if("@tjvx_needs_utf8@" STREQUAL "ON")
  set(tjvx_locale "$ENV{LC_ALL}")
  if(tjvx_locale STREQUAL "")
    set(tjvx_locale "$ENV{LC_CTYPE}")
  endif()
  if(tjvx_locale STREQUAL "")
    set(tjvx_locale "$ENV{LANG}")
  endif()
  if(NOT tjvx_locale MATCHES "[Uu][Tt][Ff]-?8")
    message(FATAL_ERROR "The package holds @tjvx_readme_name@: run cpack under a UTF-8 "
      "locale, for example LC_ALL=C.UTF-8 (the locale now is \"${tjvx_locale}\").")
  endif()
endif()
]=])
include(CPack)
