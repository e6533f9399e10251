# Release packages, made by CPack from the install rules (the package
# presets; scripts/package.sh makes all three) in IMPORDANO_PACKAGE_DIR:
#   impordano-VERSION-win32.zip, impordano-VERSION-win64.zip
#   impordano-VERSION-Linux-x86_64.tar.gz, and beside it the browser viewer
#   as impordano-viewer-VERSION.html
# Each unpacks into a folder of its own name that holds the installed tree,
# and gets NAME.sha256 beside it. VERSION is the project's. The package
# checks (tests/package) are ctest tests of the build that makes it.
set(CPACK_PACKAGE_NAME impordano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Import module for cost estimates exported as Windows-1250 text")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_SYSTEM_NAME win32)
  else()
    set(CPACK_SYSTEM_NAME win64)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(IMPORDANO_PACKAGE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PACKAGE_FILE_NAME ${IMPORDANO_PACKAGE_NAME})
set(IMPORDANO_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/build-packages CACHE PATH
  "Where CPack puts the packages, and where their checks look for them")
set(CPACK_PACKAGE_DIRECTORY ${IMPORDANO_PACKAGE_DIR})
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Debug information stays in the build tree; the packaged binaries are the
# same code without it.
set(CPACK_STRIP_FILES ON)
# Only the install rules' files; a source package is no release.
set(CPACK_SOURCE_GENERATOR "")
if(NOT WIN32 AND IMPORDANO_VIEWER_HTML)
  set(CPACK_IMPORDANO_VIEWER_HTML ${IMPORDANO_VIEWER_HTML})
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageViewer.cmake)
endif()
include(CPack)

if(IMPORDANO_BUILD_TESTS AND TARGET impordano-dump AND NOT EMSCRIPTEN
   AND (NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR))
  add_subdirectory(tests/package)
endif()
