# Run by CPack on the staged files: strips the compiler's notes (.comment, .note) from the
# binaries as well, as Debian's own packages are stripped.
file(GLOB binaries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(binary IN LISTS binaries)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${binary}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
