include(CMakePackageConfigHelpers)

install(TARGETS vexolith vexolith_reader EXPORT vexolithTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES include/vexolith.h include/vexolith_c.h include/vexolith_reader.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/vexolith DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(EXPORT vexolithTargets NAMESPACE vexolith:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexolith)

configure_package_config_file(cmake/vexolith-config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vexolith-config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexolith)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/vexolith-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/vexolith-config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/vexolith-config-version.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/vexolith)

file(RELATIVE_PATH VEXOLITH_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file(cmake/vexolith.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vexolith.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vexolith.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
configure_file(cmake/vexolith-reader.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vexolith-reader.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vexolith-reader.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(TARGET vexolith_cli)
  # The installed command finds the library it was installed with, relative to
  # its own place, so the prefix works wherever it is put.
  file(RELATIVE_PATH VEXOLITH_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(vexolith_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${VEXOLITH_BIN_TO_LIB}")
  install(TARGETS vexolith_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES samples/sample.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/vexolith)
  install(FILES doc/vexolith.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES doc/vexolith.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vexolith)
endif()
