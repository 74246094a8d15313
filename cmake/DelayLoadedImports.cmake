# Windows system libraries that Qt's static libraries and libcurl import but that the programs
# seldom call, if at all, before their first window: Direct3D 11 and DXGI (Qt's other
# renderers), the common dialogs and printing, networking, cryptography, OLE automation and
# the session and user-account calls. Their DLLs, and the DLLs those load, then load on the
# first call instead of before main(): eighteen fewer at every start, about 50 ms under Wine.
#
# For each, an import library of the same name is made from the toolchain's own with
# dlltool, as a delay-load library, in a folder the linker searches first. Only functions
# are listed: a delay-loaded import cannot be a variable, and a program that used one would
# fail to link. The toolchain's own code in a library (ws2_32's address helpers) is copied
# across.
function(pictavo_delay_load_imports)
    set(folder "${CMAKE_BINARY_DIR}/delay-loaded")
    file(MAKE_DIRECTORY "${folder}")
    foreach(name IN LISTS ARGN)
        set(library "${folder}/lib${name}.a")
        if(EXISTS "${library}")
            continue()
        endif()
        unset(system_library)
        find_library(system_library NAMES ${name} NO_CACHE REQUIRED)
        execute_process(COMMAND "${CMAKE_DLLTOOL}" --identify "${system_library}"
                        OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE
                        COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND "${CMAKE_NM}" -g "${system_library}"
                        OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL " I __imp_[^\n]+" imported "${symbols}")
        set(definition "LIBRARY ${dll}\nEXPORTS\n")
        foreach(import IN LISTS imported)
            string(REPLACE " I __imp_" "" function "${import}")
            # A function has its call stub beside its import entry; a variable has none.
            string(FIND "${symbols}" " T ${function}\n" stub)
            if(stub GREATER_EQUAL 0 AND NOT definition MATCHES "\n${function}\n")
                string(APPEND definition "${function}\n")
            endif()
        endforeach()
        file(WRITE "${folder}/${name}.def" "${definition}")
        execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def "${folder}/${name}.def"
                                --dllname "${dll}" --output-delaylib "${library}"
                        COMMAND_ERROR_IS_FATAL ANY)
        execute_process(COMMAND "${CMAKE_AR}" t "${system_library}"
                        OUTPUT_VARIABLE members COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX REPLACE "\n$" "" members "${members}")
        string(REPLACE "\n" ";" members "${members}")
        list(FILTER members INCLUDE REGEX "^lib(32|64)_") # compiled code, not import entries
        if(members)
            set(helpers "${folder}/${name}-helpers")
            file(MAKE_DIRECTORY "${helpers}")
            execute_process(COMMAND "${CMAKE_AR}" x "${system_library}" ${members}
                            WORKING_DIRECTORY "${helpers}" COMMAND_ERROR_IS_FATAL ANY)
            execute_process(COMMAND "${CMAKE_AR}" rs "${library}" ${members}
                            WORKING_DIRECTORY "${helpers}" COMMAND_ERROR_IS_FATAL ANY)
        endif()
    endforeach()
    add_link_options("-L${folder}")
endfunction()
