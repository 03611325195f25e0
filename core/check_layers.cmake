# Fails when a file of the core includes what the core must reach only through platform/ interfaces.
file(GLOB_RECURSE core_files "${CORE_DIR}/*.h" "${CORE_DIR}/*.cpp")
set(forbidden
    "#[ \t]*include[ \t]*<Q"
    "#[ \t]*include[ \t]*<(sys/socket|netinet/[a-z_]+|arpa/inet|netdb|winsock2|ws2tcpip)\\.h>"
    "#[ \t]*include[ \t]*[<\"](gui|cli|platform/qt|platform/skiffs|SkiffS)/")
set(violations "")
foreach(path IN LISTS core_files)
    file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        foreach(pattern IN LISTS forbidden)
            if(line MATCHES "${pattern}")
                string(APPEND violations "  ${path}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR "The core includes what it may reach only through platform/:\n${violations}")
endif()
