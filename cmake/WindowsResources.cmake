# pictavo_windows_resources(target "description"): the icon and version block every Windows
# program and DLL of ours carries.
function(pictavo_windows_resources target description)
    if(NOT WIN32)
        return()
    endif()
    set(PICTAVO_ICON ${PROJECT_SOURCE_DIR}/res/pictavo.ico)
    set(PICTAVO_DESCRIPTION "${description}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/res/pictavo.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
