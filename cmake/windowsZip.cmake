# build-win/tallomir-windows.zip, what a Windows user unpacks: bin/tallomir.exe
# with an empty Programs/ beside it (the panel keeps its programs in
# ..\Programs\ of its working folder), and how to connect the arm.
set(WINDOWS_ZIP ${CMAKE_BINARY_DIR}/tallomir-windows.zip)
set(WINDOWS_STAGE ${CMAKE_BINARY_DIR}/zip)
add_custom_command(OUTPUT ${WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${WINDOWS_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WINDOWS_STAGE}/bin ${WINDOWS_STAGE}/Programs
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tallomir> ${WINDOWS_STAGE}/bin/
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/CONNECTING.txt
        ${WINDOWS_STAGE}/
    COMMAND ${CMAKE_COMMAND} -E chdir ${WINDOWS_STAGE}
        ${CMAKE_COMMAND} -E tar cf ${WINDOWS_ZIP} --format=zip bin Programs CONNECTING.txt
    DEPENDS tallomir ${PROJECT_SOURCE_DIR}/packaging/CONNECTING.txt
    COMMENT "Packing tallomir-windows.zip")
add_custom_target(windowsZip ALL DEPENDS ${WINDOWS_ZIP})
