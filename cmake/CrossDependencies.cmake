# pugixml and GoogleTest for the cross build, compiled from Debian's sources with the cross compiler.
set(TAPPORA_PUGIXML_SOURCE "" CACHE PATH "Unpacked pugixml source package (tools/fetch-debian-source.sh makes one)")
if(NOT EXISTS "${TAPPORA_PUGIXML_SOURCE}/src/pugixml.cpp")
    message(FATAL_ERROR "TAPPORA_PUGIXML_SOURCE must name an unpacked pugixml source package")
endif()
add_library(tappora_pugixml STATIC ${TAPPORA_PUGIXML_SOURCE}/src/pugixml.cpp)
target_include_directories(tappora_pugixml SYSTEM PUBLIC ${TAPPORA_PUGIXML_SOURCE}/src)

set(TAPPORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TAPPORA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
