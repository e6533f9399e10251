# Installation: the module, its header, impordano-dump, a CMake package
# (find_package(impordano) gives impordano::impordano) and impordano.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(IMPORDANO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/impordano)

if(NOT WIN32)
  # A soname, so that programs linked against the module keep working across
  # compatible updates.
  set_target_properties(impordano PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
endif()

install(TARGETS impordano EXPORT impordanoTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The C header, and the same contract as a Pascal unit.
install(FILES ${PROJECT_SOURCE_DIR}/include/impordano.h ${PROJECT_SOURCE_DIR}/include/impordano.pas
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

if(TARGET impordano-dump)
  install(TARGETS impordano-dump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT impordanoTargets
  NAMESPACE impordano::
  FILE impordanoTargets.cmake
  DESTINATION ${IMPORDANO_CMAKE_DIR})
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/impordanoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/impordanoConfig.cmake
  INSTALL_DESTINATION ${IMPORDANO_CMAKE_DIR})
# 0.x releases may change the records between minor versions.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/impordanoConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/impordanoConfig.cmake
  ${PROJECT_BINARY_DIR}/impordanoConfigVersion.cmake
  DESTINATION ${IMPORDANO_CMAKE_DIR})

# pkg-config: paths relative to the .pc file, so that the installed tree can
# be moved (and installed with --prefix elsewhere than configured).
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH IMPORDANO_PC_PREFIX_FROM_PCDIR
  ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" IMPORDANO_PC_PREFIX_FROM_PCDIR "${IMPORDANO_PC_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/impordano.pc.in
  ${PROJECT_BINARY_DIR}/impordano.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/impordano.pc DESTINATION ${pc_dir})

# The samples (estimate files, each with what impordano-dump prints for it;
# host.c, the smallest complete host; loader.c, one that loads the module at
# run time), and the documents (README.txt, LICENSE, licenses/): at the top
# of a Windows tree, as a Windows user looks for them, under share/
# elsewhere.
if(WIN32)
  set(IMPORDANO_SAMPLES_DESTINATION samples)
  set(IMPORDANO_DOC_DESTINATION .)
  set(readme_template ${PROJECT_SOURCE_DIR}/cmake/package-readme-windows.txt.in)
  set(readme_newlines CRLF)
else()
  set(IMPORDANO_PLATFORM "${CMAKE_SYSTEM_NAME} ${CMAKE_SYSTEM_PROCESSOR}")
  set(IMPORDANO_SAMPLES_DESTINATION ${CMAKE_INSTALL_DATADIR}/impordano/samples)
  set(IMPORDANO_DOC_DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(readme_template ${PROJECT_SOURCE_DIR}/cmake/package-readme-linux.txt.in)
  set(readme_newlines LF)
endif()
file(GLOB IMPORDANO_SAMPLE_FILES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/samples/*.txt ${PROJECT_SOURCE_DIR}/samples/*.jsonl
  ${PROJECT_SOURCE_DIR}/samples/*.c)
install(FILES ${IMPORDANO_SAMPLE_FILES} DESTINATION ${IMPORDANO_SAMPLES_DESTINATION})
# The browser viewer, built by the WebAssembly build (the presets name its
# file in build-wasm, where the workflow viewer builds it): beside README.txt
# on Windows, in share/impordano elsewhere. A build without it installs the
# rest; the package checks look for it.
set(IMPORDANO_VIEWER_HTML "" CACHE FILEPATH "A built impordano-viewer.html to ship in the package")
if(IMPORDANO_VIEWER_HTML)
  if(WIN32)
    set(viewer_destination .)
  else()
    set(viewer_destination ${CMAKE_INSTALL_DATADIR}/impordano)
  endif()
  install(FILES ${IMPORDANO_VIEWER_HTML} DESTINATION ${viewer_destination}
    RENAME impordano-viewer.html OPTIONAL)
endif()
configure_file(${readme_template} ${PROJECT_BINARY_DIR}/README.txt @ONLY
  NEWLINE_STYLE ${readme_newlines})
install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${IMPORDANO_DOC_DESTINATION})

# The licence texts of the third-party code compiled into what the packages
# ship, one file each in licenses/, NAME.txt: the global property
# IMPORDANO_THIRD_PARTY_LICENSES holds a NAME=FILE entry for each, added
# where that code is brought into the build. The package checks look for
# every one of them.
get_property(licenses GLOBAL PROPERTY IMPORDANO_THIRD_PARTY_LICENSES)
set(IMPORDANO_THIRD_PARTY_LICENSE_NAMES "")
foreach(entry IN LISTS licenses)
  string(REGEX MATCH "^([^=]+)=(.+)$" matched "${entry}")
  if(NOT matched)
    message(FATAL_ERROR "IMPORDANO_THIRD_PARTY_LICENSES: '${entry}' is not NAME=FILE")
  endif()
  install(FILES ${CMAKE_MATCH_2} DESTINATION ${IMPORDANO_DOC_DESTINATION}/licenses
    RENAME ${CMAKE_MATCH_1}.txt)
  list(APPEND IMPORDANO_THIRD_PARTY_LICENSE_NAMES ${CMAKE_MATCH_1})
endforeach()
