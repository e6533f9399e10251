# What a Windows build adds to the DLL and impordano-dump.exe: a version
# resource, made from the project's version (the project() call is the one
# place that holds it), and the DLL's exports as a .def file for its own
# platform, which is linked in and installed beside the import library. Included by the
# top-level CMakeLists.txt once the targets exist.
if(NOT WIN32)
  return()
endif()

enable_language(RC)

# impordano_version_resource(TARGET DESCRIPTION): compiles a version
# resource into TARGET (a DLL or an executable).
function(impordano_version_resource target description)
  get_target_property(type ${target} TYPE)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(prefix "")
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
    set(IMPORDANO_RC_FILE_TYPE 0x1)  # VFT_APP
  else()
    get_target_property(prefix ${target} PREFIX)
    if(prefix STREQUAL "prefix-NOTFOUND")
      set(prefix ${CMAKE_SHARED_LIBRARY_PREFIX})
    endif()
    set(suffix ${CMAKE_SHARED_LIBRARY_SUFFIX})
    set(IMPORDANO_RC_FILE_TYPE 0x2)  # VFT_DLL
  endif()
  set(IMPORDANO_RC_FILE_NAME ${prefix}${output_name}${suffix})
  set(IMPORDANO_RC_INTERNAL_NAME ${output_name})
  set(IMPORDANO_RC_DESCRIPTION "${description}")
  # FILEVERSION has four numbers; the parts the project leaves out are 0.
  foreach(part MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      set(IMPORDANO_RC_${part} 0)
    else()
      set(IMPORDANO_RC_${part} ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  set(rc ${PROJECT_BINARY_DIR}/version-resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

impordano_version_resource(impordano
  "Import module for cost estimates exported as Windows-1250 text")
if(TARGET impordano-dump)
  impordano_version_resource(impordano-dump
    "Shows the records of an estimate file as JSON")
endif()

# The platform the DLL is for, as the package's .def file and README.txt
# name it: each package speaks of its own.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(IMPORDANO_PLATFORM "32-bit Windows")
  set(IMPORDANO_MSVC_MACHINE x86)
  set(IMPORDANO_MINGW_GCC i686-w64-mingw32-gcc)
  set(IMPORDANO_OTHER_BITS 64)
else()
  set(IMPORDANO_PLATFORM "64-bit Windows")
  set(IMPORDANO_MSVC_MACHINE x64)
  set(IMPORDANO_MINGW_GCC x86_64-w64-mingw32-gcc)
  set(IMPORDANO_OTHER_BITS 32)
endif()

set(IMPORDANO_DEF_FILE ${PROJECT_BINARY_DIR}/impordano.def)
configure_file(${PROJECT_SOURCE_DIR}/src/impordano.def.in ${IMPORDANO_DEF_FILE} @ONLY)
if(MINGW)
  target_sources(impordano PRIVATE ${IMPORDANO_DEF_FILE})
endif()
include(GNUInstallDirs)
install(FILES ${IMPORDANO_DEF_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR})
