# What a client program gets besides Tolvane.dll: the version (header and
# version resource), the CMake package and the pkg-config file, the DLL's
# debug information in a file of its own, and the example sources.
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(TOLVANE_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/include)
configure_file(${CMAKE_CURRENT_LIST_DIR}/templates/Version.h.in
    ${TOLVANE_GENERATED_INCLUDE}/tolvane/Version.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/templates/Version.rc.in
    ${CMAKE_BINARY_DIR}/Version.rc @ONLY)
target_sources(Tolvane PRIVATE ${CMAKE_BINARY_DIR}/Version.rc)
target_include_directories(tolvane_core PUBLIC ${TOLVANE_GENERATED_INCLUDE})
# Image version in the PE header (major.minor), as the version resource says.
set_target_properties(Tolvane PROPERTIES
    VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})

# Everything a program that links Tolvane.dll needs: the headers and -static,
# so that it imports no C++, gcc or threads runtime DLL (try/catch and
# std::thread would otherwise pull in libwinpthread-1.dll).
target_include_directories(Tolvane INTERFACE
    $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
    $<BUILD_INTERFACE:${TOLVANE_GENERATED_INCLUDE}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_link_options(Tolvane INTERFACE -static)

install(FILES ${TOLVANE_GENERATED_INCLUDE}/tolvane/Version.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tolvane)

set(TOLVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane)
install(EXPORT TolvaneTargets NAMESPACE Tolvane:: DESTINATION ${TOLVANE_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/templates/TolvaneConfig.cmake.in
    ${CMAKE_BINARY_DIR}/package/TolvaneConfig.cmake
    INSTALL_DESTINATION ${TOLVANE_CMAKE_DIR}
    PATH_VARS CMAKE_INSTALL_INCLUDEDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/TolvaneConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/TolvaneConfig.cmake
    ${CMAKE_BINARY_DIR}/package/TolvaneConfigVersion.cmake
    DESTINATION ${TOLVANE_CMAKE_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/templates/tolvane.pc.in
    ${CMAKE_BINARY_DIR}/package/tolvane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package/tolvane.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The shipped DLL carries no debug information and no symbol table;
# Tolvane.dll.debug beside it holds both, and the DLL names it in its
# .gnu_debuglink section, where gdb and addr2line look. Both are made from the build's DLL, so a repeated
# install gives the same result.
if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy of the toolchain not found")
endif()
install(CODE "
    set(dll \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:Tolvane>\")
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --only-keep-debug
            \"$<TARGET_FILE:Tolvane>\" \"\${dll}.debug\" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --strip-all \"--add-gnu-debuglink=\${dll}.debug\"
            \"$<TARGET_FILE:Tolvane>\" \"\${dll}\" COMMAND_ERROR_IS_FATAL ANY)
    message(STATUS \"Stripped: \${dll} (debug information in \${dll}.debug)\")
")

install(FILES ${CMAKE_SOURCE_DIR}/examples/client.cpp ${CMAKE_SOURCE_DIR}/examples/client.c
    ${CMAKE_SOURCE_DIR}/demo/scanner.cpp
    DESTINATION examples)
