# Tolvane.lib: the import library that Microsoft's linker reads (short import
# format), made from the exports of the built Tolvane.dll and installed
# beside libTolvane.dll.a.
find_program(TOLVANE_GENDEF gendef REQUIRED)
find_program(TOLVANE_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

set(TOLVANE_MSVC_LIB_DIR ${CMAKE_BINARY_DIR}/lib/msvc)
set(TOLVANE_MSVC_LIB ${TOLVANE_MSVC_LIB_DIR}/Tolvane.lib)
add_custom_command(
    OUTPUT ${TOLVANE_MSVC_LIB}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVANE_MSVC_LIB_DIR}
    COMMAND ${TOLVANE_GENDEF} - $<TARGET_FILE:Tolvane> > ${TOLVANE_MSVC_LIB_DIR}/Tolvane.def 2> ${TOLVANE_MSVC_LIB_DIR}/gendef.log
    COMMAND ${TOLVANE_LLVM_DLLTOOL} -m i386:x86-64 -D Tolvane.dll
            -d ${TOLVANE_MSVC_LIB_DIR}/Tolvane.def -l ${TOLVANE_MSVC_LIB}
    DEPENDS Tolvane
    COMMENT "Making the import library Tolvane.lib from the exports of Tolvane.dll")
add_custom_target(TolvaneMsvcImportLib ALL DEPENDS ${TOLVANE_MSVC_LIB})

install(FILES ${TOLVANE_MSVC_LIB} DESTINATION lib)
