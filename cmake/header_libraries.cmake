# The header-only libraries the command-line programs use: standalone Asio, CLI11, nlohmann/json and toml++.
# On Linux they are Debian's packages. The Windows cross compiler does not search /usr/include (all of it would
# pull in glibc's headers): it gets a folder that holds links to these headers alone, and targets of the names
# Debian's packages give, so that the programs' CMake files read the same on both systems.
if(NOT WIN32)
    find_package(nlohmann_json 3.11 REQUIRED)
    find_package(CLI11 CONFIG REQUIRED)
    find_package(tomlplusplus REQUIRED)
    find_path(ASIO_INCLUDE_DIR asio.hpp)
    if(NOT ASIO_INCLUDE_DIR)
        message(FATAL_ERROR "asio.hpp not found: install standalone Asio (Debian: libasio-dev)")
    endif()
    return()
endif()

set(TESSEL_HOST_HEADERS_DIR ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${TESSEL_HOST_HEADERS_DIR})
foreach(name asio.hpp asio CLI nlohmann toml++)
    if(NOT EXISTS /usr/include/${name})
        message(FATAL_ERROR "/usr/include/${name} not found: scripts/install-deps installs the header libraries")
    endif()
    file(CREATE_LINK /usr/include/${name} ${TESSEL_HOST_HEADERS_DIR}/${name} SYMBOLIC)
endforeach()
set(ASIO_INCLUDE_DIR ${TESSEL_HOST_HEADERS_DIR} CACHE PATH "Standalone Asio's headers" FORCE)

foreach(target nlohmann_json::nlohmann_json CLI11::CLI11 tomlplusplus::tomlplusplus)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${TESSEL_HOST_HEADERS_DIR}
                                               INTERFACE_INCLUDE_DIRECTORIES ${TESSEL_HOST_HEADERS_DIR})
endforeach()
# toml++ compiled into the program: Debian's shared library is a Linux one.
set_target_properties(tomlplusplus::tomlplusplus PROPERTIES INTERFACE_COMPILE_DEFINITIONS TOML_HEADER_ONLY=1)
