# The Linux program folder carries what the program needs beyond a base system, so that the unpacked
# release starts on any distribution with the glibc of Debian 12 or newer:
#   lib/       every shared library orbisto and its plugins need, except those that
#              cmake/linux-system-libraries.txt leaves to the system
#   plugins/   the Qt plugins it loads: the xcb and Wayland platforms, the Wayland shell and window
#              decoration plugins, the compose and IBus input methods. No image-format plugin: the
#              core decodes the balls' PNG and the logo's JPEG itself, and Qt reads the built-in
#              PNG icons without one.
#   qt.conf    points Qt at plugins/ beside the executable instead of the build machine's Qt
# The executable looks for its libraries in $ORIGIN/lib, the libraries in $ORIGIN and the plugins in
# $ORIGIN/../../lib, so a library or plugin loaded later finds the folder's libraries before any of
# the system's.
#
#   orbisto_bundle_runtime(<target>...)   the executables installed to the top of the program folder

find_program(ORBISTO_PATCHELF patchelf REQUIRED)

# The names left to the system, as regular expressions of the names a file asks for.
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/linux-system-libraries.txt ORBISTO_SYSTEM_LIBRARY_LINES REGEX "^[^#]")
set(ORBISTO_SYSTEM_LIBRARY_REGEXES)
foreach(line IN LISTS ORBISTO_SYSTEM_LIBRARY_LINES)
    string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
    list(POP_FRONT fields) # the package
    foreach(name IN LISTS fields)
        string(REPLACE "." "\\." name "${name}")
        string(REPLACE "+" "\\+" name "${name}")
        list(APPEND ORBISTO_SYSTEM_LIBRARY_REGEXES "^${name}$")
    endforeach()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/linux-system-libraries.txt)

# The Qt plugins, by folder, as Debian's qt6-base and qt6-wayland install them.
set(ORBISTO_QT_PLUGINS
    platforms/libqxcb.so
    platforms/libqwayland-generic.so
    platforms/libqwayland-egl.so
    wayland-shell-integration/libxdg-shell.so
    wayland-shell-integration/libwl-shell-plugin.so
    wayland-decoration-client/libbradient.so
    platforminputcontexts/libcomposeplatforminputcontextplugin.so
    platforminputcontexts/libibusplatforminputcontextplugin.so)
set(ORBISTO_QT_PLUGIN_DIR ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})

function(orbisto_bundle_runtime)
    # Built with it too: in the build folder there is no lib/ beside the executable and the system's
    # libraries are found, and nothing has to be rewritten on install (CMake's placeholder for that
    # would be a search path of empty entries, which means the working folder).
    set_target_properties(${ARGN} PROPERTIES INSTALL_RPATH "$ORIGIN/lib" BUILD_WITH_INSTALL_RPATH ON)
    install(TARGETS ${ARGN} RUNTIME_DEPENDENCY_SET orbisto_libraries RUNTIME DESTINATION .)

    set(plugin_folders)
    foreach(plugin IN LISTS ORBISTO_QT_PLUGINS)
        if(NOT EXISTS ${ORBISTO_QT_PLUGIN_DIR}/${plugin})
            message(FATAL_ERROR "The Qt plugin ${ORBISTO_QT_PLUGIN_DIR}/${plugin} is missing "
                "(Debian packages qt6-base-dev and qt6-wayland; scripts/install-deps installs them)")
        endif()
        get_filename_component(folder ${plugin} DIRECTORY)
        get_filename_component(name ${plugin} NAME_WE)
        string(MAKE_C_IDENTIFIER "orbisto_qt_plugin_${name}" target)
        add_library(${target} MODULE IMPORTED)
        set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${ORBISTO_QT_PLUGIN_DIR}/${plugin})
        install(IMPORTED_RUNTIME_ARTIFACTS ${target} RUNTIME_DEPENDENCY_SET orbisto_libraries
            LIBRARY DESTINATION plugins/${folder})
        list(APPEND plugin_folders ${folder})
    endforeach()
    list(REMOVE_DUPLICATES plugin_folders)

    install(RUNTIME_DEPENDENCY_SET orbisto_libraries DESTINATION lib
        PRE_EXCLUDE_REGEXES ${ORBISTO_SYSTEM_LIBRARY_REGEXES}
        DIRECTORIES ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBS} ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES})

    set(qt_conf ${CMAKE_CURRENT_BINARY_DIR}/qt.conf)
    file(WRITE ${qt_conf} "[Paths]\nPrefix = .\nPlugins = plugins\nLibraries = lib\n")
    install(FILES ${qt_conf} DESTINATION .)

    # The copied libraries and plugins come without a search path of their own.
    install(CODE "
        set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
        file(GLOB libraries LIST_DIRECTORIES false \"\${folder}/lib/*\")
        foreach(library IN LISTS libraries)
            if(NOT IS_SYMLINK \"\${library}\")
                execute_process(COMMAND \"${ORBISTO_PATCHELF}\" --set-rpath [[\$ORIGIN]] \"\${library}\"
                    COMMAND_ERROR_IS_FATAL ANY)
            endif()
        endforeach()
        foreach(plugin_folder ${plugin_folders})
            file(GLOB plugins LIST_DIRECTORIES false \"\${folder}/plugins/\${plugin_folder}/*.so\")
            foreach(plugin IN LISTS plugins)
                execute_process(COMMAND \"${ORBISTO_PATCHELF}\" --set-rpath [[\$ORIGIN/../../lib]] \"\${plugin}\"
                    COMMAND_ERROR_IS_FATAL ANY)
            endforeach()
        endforeach()
    ")
endfunction()
