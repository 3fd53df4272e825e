# Installs the build into PREFIX (emptied first), stripped as the README says, and checks the
# tree: both programs, every icon size and the scalable icon, a desktop entry that starts the
# installed window, AppStream metadata that validates, both manual pages, the licence and the
# program's default workgroup; then the installed console program converts the demo databases
# from a fresh home, as a newcomer's first run would.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --strip
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

set(app_id com.veltrane.tallowmere)
set(failures "")
foreach(program Tallowmere tallowmere-convert)
    if(NOT EXISTS "${PREFIX}/bin/${program}" OR IS_DIRECTORY "${PREFIX}/bin/${program}")
        string(APPEND failures "missing program bin/${program}\n")
        continue()
    endif()
    # Stripped: smaller than the program in the build folder, which carries its symbols.
    file(SIZE "${PREFIX}/bin/${program}" installed)
    file(SIZE "${BUILD_DIR}/${program}" built)
    if(NOT installed LESS built)
        string(APPEND failures "bin/${program} is not stripped (${installed} bytes)\n")
    endif()
endforeach()
foreach(size 16 32 48 64 128)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${app_id}.png")
    if(NOT EXISTS "${icon}")
        string(APPEND failures "missing icon ${size}x${size}\n")
        continue()
    endif()
    # A PNG file's header holds its width and height at bytes 16 to 23.
    file(READ "${icon}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 32 8 width)
    math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" expected "${expected}")
    string(LENGTH "${expected}" digits)
    while(digits LESS 8)
        string(PREPEND expected "0")
        math(EXPR digits "${digits} + 1")
    endwhile()
    if(NOT width STREQUAL expected)
        string(APPEND failures "icon ${size}x${size} is ${width} pixels wide (hex)\n")
    endif()
endforeach()
foreach(file share/icons/hicolor/scalable/apps/${app_id}.svg
             share/man/man1/tallowmere-convert.1 share/man/man1/Tallowmere.1
             share/doc/Tallowmere/LICENSE share/tallowmere/VELTRANE.MDW)
    if(NOT EXISTS "${PREFIX}/${file}")
        string(APPEND failures "missing ${file}\n")
    endif()
endforeach()

# The program's default workgroup setting names the folder it was installed in.
set(lookup "${PREFIX}/share/tallowmere/VB and VBA Program Settings/zrb.ini.conf")
if(NOT EXISTS "${lookup}")
    string(APPEND failures "missing the default workgroup setting\n")
else()
    file(STRINGS "${lookup}" lines)
    list(FIND lines "VeltraneSystemPath=\"${PREFIX}/share/tallowmere\"" at)
    if(at LESS 0)
        string(APPEND failures "the default workgroup setting says '${lines}'\n")
    endif()
endif()

set(entry "${PREFIX}/share/applications/${app_id}.desktop")
if(NOT EXISTS "${entry}")
    string(APPEND failures "missing the desktop entry\n")
else()
    file(STRINGS "${entry}" lines)
    foreach(wanted "Type=Application" "Name=Tallowmere" "Icon=${app_id}"
                   "Exec=${PREFIX}/bin/Tallowmere")
        list(FIND lines "${wanted}" at)
        if(at LESS 0)
            string(APPEND failures "the desktop entry lacks '${wanted}'\n")
        endif()
    endforeach()
    find_program(VALIDATE desktop-file-validate)
    if(VALIDATE)
        execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE valid
                        OUTPUT_VARIABLE said ERROR_VARIABLE said)
        if(NOT valid EQUAL 0)
            string(APPEND failures "desktop-file-validate: ${said}\n")
        endif()
    endif()
endif()

# What software centres read: the metadata alone, then with the desktop entry and icons it
# names (validate-tree), without looking anything up on the network.
set(metainfo "${PREFIX}/share/metainfo/${app_id}.metainfo.xml")
find_program(APPSTREAMCLI appstreamcli)
if(NOT EXISTS "${metainfo}")
    string(APPEND failures "missing the AppStream metadata\n")
elseif(NOT APPSTREAMCLI)
    string(APPEND failures "appstreamcli not found (Debian package appstream)\n")
else()
    foreach(check "validate;${metainfo}" "validate-tree;${PREFIX}")
        execute_process(COMMAND "${APPSTREAMCLI}" ${check} --no-net --no-color
                        RESULT_VARIABLE valid OUTPUT_VARIABLE said ERROR_VARIABLE said)
        if(NOT valid EQUAL 0)
            string(APPEND failures "appstreamcli ${check}: ${said}\n")
        endif()
    endforeach()
    file(READ "${metainfo}" text)
    foreach(wanted "<launchable type=\"desktop-id\">${app_id}.desktop</launchable>"
                   "<screenshot type=\"default\">" "<description>")
        string(FIND "${text}" "${wanted}" at)
        if(at LESS 0)
            string(APPEND failures "the AppStream metadata lacks '${wanted}'\n")
        endif()
    endforeach()
endif()

# The installed console program runs from its new place, and agrees with the About box.
execute_process(COMMAND "${PREFIX}/bin/tallowmere-convert" --version
                RESULT_VARIABLE status OUTPUT_VARIABLE version)
if(NOT status EQUAL 0 OR NOT version MATCHES "^tallowmere-convert \\(Tallowmere\\) [0-9]+\\.[0-9]+\n")
    string(APPEND failures "installed tallowmere-convert --version said '${version}'\n")
endif()

# A newcomer's first run: a fresh home without settings (XDG_CONFIG_HOME empty, no system
# settings folders), the installed console program on the demo databases.
set(scratch "${PREFIX}/../first-run")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}/home")
find_program(SQLITE3 sqlite3)
if(NOT SQLITE3)
    string(APPEND failures "sqlite3 not found (Debian package sqlite3) to make the demo\n")
else()
    foreach(db "am_pub.mdb;source-schema.sql;demo-source.sql"
               "Scrivane.mdb;destination-schema.sql;demo-destination.sql")
        list(GET db 0 name)
        list(SUBLIST db 1 2 scripts)
        foreach(script IN LISTS scripts)
            execute_process(COMMAND "${SQLITE3}" "${scratch}/${name}"
                            INPUT_FILE "${RES_DIR}/${script}" RESULT_VARIABLE made)
            if(NOT made EQUAL 0)
                string(APPEND failures "sqlite3 could not run ${script}\n")
            endif()
        endforeach()
    endforeach()
    execute_process(
        COMMAND "${CMAKE_COMMAND}" -E env --unset=XDG_CONFIG_DIRS "HOME=${scratch}/home"
                "XDG_CONFIG_HOME=" "${PREFIX}/bin/tallowmere-convert"
                "${scratch}/am_pub.mdb" "${scratch}/Scrivane.mdb"
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT out MATCHES "^Conversion complete!\n")
        string(APPEND failures
               "the installed program's first run from a fresh home ended with ${status}:\n"
               "${out}${err}\n")
    endif()
endif()

if(failures)
    message(FATAL_ERROR "The install tree is not right:\n${failures}")
endif()
message(STATUS "install tree under ${PREFIX} is complete")
