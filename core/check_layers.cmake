# Fails when a file includes what it may reach only through platform/ interfaces: a GUI toolkit, a socket API,
# a POSIX or Windows header, iconv, libcurl, a front end or a platform adapter. Reusable for any code that must
# stay system-independent:
#   cmake -DCHECK_DIRS="<folder or file>;..." -DCHECK_NAME=<what is checked> -P check_layers.cmake
if(NOT CHECK_DIRS)
    message(FATAL_ERROR "check_layers.cmake: give the folders or files to check in CHECK_DIRS")
endif()
if(NOT CHECK_NAME)
    set(CHECK_NAME "the checked code")
endif()

set(checked_files "")
foreach(entry IN LISTS CHECK_DIRS)
    if(IS_DIRECTORY "${entry}")
        file(GLOB_RECURSE found "${entry}/*.h" "${entry}/*.hpp" "${entry}/*.c" "${entry}/*.cpp")
        list(APPEND checked_files ${found})
    elseif(EXISTS "${entry}")
        list(APPEND checked_files "${entry}")
    else()
        message(FATAL_ERROR "check_layers.cmake: ${entry} does not exist")
    endif()
endforeach()

set(include "#[ \t]*include[ \t]*")
set(forbidden
    # Qt
    "${include}<Q"
    # sockets
    "${include}<(sys/socket|netinet/[a-z_]+|arpa/inet|netdb|winsock2?|ws2tcpip|mswsock)\\.h>"
    # POSIX and glibc
    "${include}<(unistd|fcntl|dirent|termios|pthread|signal|iconv|dlfcn|poll|spawn|pwd|grp|syslog|glob|fnmatch|langinfo|semaphore|sched|utime|wordexp|ifaddrs|err|error|libgen|mqueue|aio)\\.h>"
    "${include}<(sys|linux|asm|bits|net)/"
    # Windows
    "${include}<(windows|windef|winbase|winnt|winuser|wininet|winhttp|winerror|winreg|wincrypt|shlobj|shellapi|objbase|io|direct|process|conio|tchar|ntdef|ntstatus|bcrypt|iphlpapi|versionhelpers|commctrl|commdlg)\\.h>"
    # libcurl
    "${include}[<\"]curl/"
    # front ends, adapters and the transfer library
    "${include}[<\"](gui|cli|platform/qt|platform/skiffs|platform/os/(posix|win32)|SkiffS)/")
set(violations "")
foreach(path IN LISTS checked_files)
    file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        foreach(pattern IN LISTS forbidden)
            if(line MATCHES "${pattern}")
                string(APPEND violations "  ${path}: ${line}\n")
                break()
            endif()
        endforeach()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR "${CHECK_NAME} includes what it may reach only through platform/:\n${violations}")
endif()
