# The converter in the file managers' menus, made from one list of its --game values: KDE's
# service menus (a picture's "Convert to IWI" submenu, a texture's "Convert to PNG" and
# "Convert to DDS") and the same as scripts for GNOME's Files. Each converts the selected files
# beside themselves, replacing an earlier output, and shows failures in a message box.
# The Windows installer's menus (cmake/nsis/NSIS.template.in) hold the same list.
set(PICTAVO_GAMES
    "cod2|Call of Duty 2" "cod4|Call of Duty 4" "waw|World at War" "mw2|Modern Warfare 2"
    "bo1|Black Ops" "mw3|Modern Warfare 3" "bo2|Black Ops II")
set(PICTAVO_FILE_MANAGER_DIR ${PROJECT_BINARY_DIR}/file-manager)
set(out ${PICTAVO_FILE_MANAGER_DIR})
set(convert "pictavo-convert --gui-errors -q -y")
file(REMOVE_RECURSE ${out})

# One GNOME Files script, in the submenu its folder makes.
function(pictavo_nautilus_script name options)
    set(script "${out}/nautilus/Pictavo/${name}")
    file(WRITE "${script}"
        "#!/bin/sh\n"
        "# Pictavo's action for GNOME Files: the selected files converted beside themselves.\n"
        "exec ${convert} ${options} -- \"$@\"\n")
    file(CHMOD "${script}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()

# A KDE service menu: its entry keys, then one action per "key|name|options" item.
function(pictavo_service_menu file header)
    set(keys "")
    set(groups "")
    foreach(item IN LISTS ARGN)
        string(REPLACE "|" ";" fields "${item}")
        list(GET fields 0 key)
        list(GET fields 1 name)
        list(GET fields 2 options)
        string(APPEND keys "${key};")
        string(APPEND groups "\n[Desktop Action ${key}]\nName=${name}\nIcon=pictavo\n"
               "Exec=${convert} ${options} -- %F\n")
    endforeach()
    file(WRITE "${out}/${file}"
        "[Desktop Entry]\nType=Service\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
        "${header}Icon=pictavo\nActions=${keys}\n${groups}")
endfunction()

set(gameActions "")
foreach(game IN LISTS PICTAVO_GAMES)
    string(REPLACE "|" ";" fields "${game}")
    list(GET fields 0 key)
    list(GET fields 1 name)
    list(APPEND gameActions "${key}|${name}|--game ${key}")
    pictavo_nautilus_script("Convert to IWI/${name}" "--game ${key}")
endforeach()
pictavo_service_menu(pictavo-convert-picture.desktop
    "MimeType=image/png;image/x-tga;image/x-targa;image/jpeg;image/bmp;image/vnd.adobe.photoshop;image/x-psd;image/x-dds;\nX-KDE-Submenu=Convert to IWI\n"
    ${gameActions})
pictavo_service_menu(pictavo-convert-texture.desktop "MimeType=image/x-iwi;\n"
    "png|Convert to PNG|--to png" "dds|Convert to DDS|--to dds")
pictavo_nautilus_script("Convert to PNG" "--to png")
pictavo_nautilus_script("Convert to DDS" "--to dds")

install(FILES ${out}/pictavo-convert-picture.desktop ${out}/pictavo-convert-texture.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(DIRECTORY ${out}/nautilus/Pictavo DESTINATION ${CMAKE_INSTALL_DATADIR}/pictavo/nautilus-scripts
        USE_SOURCE_PERMISSIONS)
