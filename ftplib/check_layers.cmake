# Fails when a file of SkiffS's protocol-independent part (the files directly in src/) includes a header
# of a system or of libcurl: those are reached only through the interfaces in src/, implemented in the
# folders of each system (posix/, win32/) and protocol engine (curl/, wininet/).
file(GLOB shared_files "${SKIFFS_SRC_DIR}/*.h" "${SKIFFS_SRC_DIR}/*.cpp")
if(NOT shared_files)
    message(FATAL_ERROR "No protocol-independent SkiffS files in '${SKIFFS_SRC_DIR}'")
endif()
set(include_prefix "^[ \t]*#[ \t]*include[ \t]*[<\"]")
set(forbidden
    # POSIX and Linux
    "${include_prefix}(unistd|fcntl|signal|pthread|dirent|iconv|poll|netdb|dlfcn|termios|spawn|sched|semaphore|syslog|pwd|grp|glob|fnmatch|libgen|utime|aio|mqueue)\\.h[>\"]"
    "${include_prefix}(sys|linux|netinet|arpa|net|asm|bits)/"
    # Windows
    "${include_prefix}(windows|winsock|winsock2|ws2tcpip|wininet|winhttp|io|direct|process|shlobj|shlwapi|shellapi|winbase|windef|winnt|winuser|winerror|mswsock|iphlpapi|objbase|tchar|conio)\\.h[>\"]"
    # libcurl
    "${include_prefix}curl/")
set(violations "")
foreach(path IN LISTS shared_files)
    file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        string(TOLOWER "${line}" lowered)
        foreach(pattern IN LISTS forbidden)
            if(lowered MATCHES "${pattern}")
                string(APPEND violations "  ${path}: ${line}\n")
                break()
            endif()
        endforeach()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR
        "SkiffS's protocol-independent code includes a system or libcurl header; reach it through an "
        "interface in src/ implemented under curl/, posix/ or the folders of another system:\n${violations}")
endif()
