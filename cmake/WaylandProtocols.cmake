enable_language(C)
# Client code for the Wayland protocols the program and its tests speak, made by wayland-scanner at build time from
# Debian's packages: wayland-protocols for the standard ones, the wlroots source package for the wlroots ones (no
# binary package carries them; tools/fetch-debian-source.sh unpacks it into the build folder once).
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "wayland-protocols not found (Debian package wayland-protocols)")
endif()
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

set(TAPPORA_WLROOTS_SOURCE "" CACHE PATH "Unpacked wlroots source package; empty to fetch Debian's into the build")
if(NOT TAPPORA_WLROOTS_SOURCE)
    set(deps ${CMAKE_BINARY_DIR}/deps)
    if(NOT EXISTS ${deps}/wlroots/protocol/wlr-virtual-pointer-unstable-v1.xml)
        message(STATUS "Fetching Debian's wlroots source package for its protocol files")
        execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/fetch-debian-source.sh ${deps} wlroots
                                protocol/wlr-virtual-pointer-unstable-v1.xml
                        RESULT_VARIABLE fetched)
        if(NOT fetched EQUAL 0)
            message(FATAL_ERROR "Debian's wlroots source package could not be fetched (tools/fetch-debian-source.sh)")
        endif()
    endif()
    set(TAPPORA_WLROOTS_SOURCE ${deps}/wlroots)
endif()
set(WLROOTS_PROTOCOLS_DIR ${TAPPORA_WLROOTS_SOURCE}/protocol)

# tappora_wayland_protocol(<library> <protocol xml>): a static library whose users include
# "<xml name>-client-protocol.h".
function(tappora_wayland_protocol library xml)
    get_filename_component(name ${xml} NAME_WE)
    set(dir ${CMAKE_BINARY_DIR}/generated/wayland)
    set(header ${dir}/${name}-client-protocol.h)
    set(code ${dir}/${name}-protocol.c)
    add_custom_command(OUTPUT ${header} ${code}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${header}
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
        DEPENDS ${xml} VERBATIM)
    add_library(${library} STATIC ${code} ${header})
    set_target_properties(${library} PROPERTIES LINKER_LANGUAGE C)
    target_include_directories(${library} SYSTEM PUBLIC ${dir})
    target_link_libraries(${library} PUBLIC PkgConfig::WAYLAND_CLIENT)
endfunction()
