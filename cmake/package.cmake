# Packaging: `cmake --build --preset windows --target package` makes tjvx-<version>-win64.zip
# holding tjvx.exe and the samples (pattern folder, borehole, settings file).
install(TARGETS tjvx RUNTIME DESTINATION .)
install(DIRECTORY samples/ DESTINATION samples)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tjvx)
set(CPACK_PACKAGE_VENDOR tjvx)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converter for Tarvik_Jr borehole logs")
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
