# Gives a Windows program target the icon, the manifest (common controls 6, per-monitor DPI awareness, no elevation)
# and the version resource, and links it statically so that it needs nothing but Windows' own DLLs:
#     include(${CMAKE_SOURCE_DIR}/app/win32/Resources.cmake)
#     tappora_win32_program(tappora)
enable_language(RC)
set(TAPPORA_WIN32_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tappora_win32_program target)
    set(CMAKE_CURRENT_SOURCE_DIR ${TAPPORA_WIN32_RESOURCE_DIR})
    set(CMAKE_CURRENT_BINARY_DIR ${CMAKE_BINARY_DIR}/win32-resources)
    set(TAPPORA_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
    set(TAPPORA_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
    configure_file(${TAPPORA_WIN32_RESOURCE_DIR}/tappora.manifest ${CMAKE_CURRENT_BINARY_DIR}/tappora.manifest @ONLY)
    configure_file(${TAPPORA_WIN32_RESOURCE_DIR}/tappora.rc.in ${CMAKE_CURRENT_BINARY_DIR}/tappora.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tappora.rc)
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/tappora.rc APPEND PROPERTY OBJECT_DEPENDS
                 ${TAPPORA_WIN32_RESOURCE_DIR}/tappora.ico ${CMAKE_CURRENT_BINARY_DIR}/tappora.manifest)
    target_include_directories(${target} PRIVATE ${TAPPORA_WIN32_RESOURCE_DIR} ${CMAKE_SOURCE_DIR})
    if(MINGW)
        # A window program (no console), without libstdc++, libgcc or winpthread DLLs beside it.
        target_link_options(${target} PRIVATE -mwindows -static -static-libgcc -static-libstdc++)
    endif()
endfunction()
