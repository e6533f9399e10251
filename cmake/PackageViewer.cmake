# Run by CPack after the Linux package (CPACK_POST_BUILD_SCRIPTS): the
# browser viewer, which every package holds, goes beside the packages as a
# release of its own, impordano-viewer-VERSION.html, with a SHA-256 file
# like theirs.
if(NOT EXISTS "${CPACK_IMPORDANO_VIEWER_HTML}")
  message(FATAL_ERROR "no viewer at ${CPACK_IMPORDANO_VIEWER_HTML}: "
    "build it first (cmake --workflow --preset viewer)")
endif()
set(name impordano-viewer-${CPACK_PACKAGE_VERSION}.html)
file(COPY_FILE ${CPACK_IMPORDANO_VIEWER_HTML} ${CPACK_PACKAGE_DIRECTORY}/${name})
file(SHA256 ${CPACK_PACKAGE_DIRECTORY}/${name} hash)
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/${name}.sha256 "${hash}  ${name}\n")
