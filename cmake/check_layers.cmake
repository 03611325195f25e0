# Fails when a file includes what it may reach only through interfaces: a GUI toolkit, a socket API, a POSIX
# or Windows header (in any letter case), iconv or libcurl; and whatever else CHECK_ALSO_FORBIDDEN names (the
# core: front ends, platform adapters, the transfer library). For any code that must stay system-independent:
#   cmake -DCHECK_DIRS="<folder or file>;..." -DCHECK_NAME=<what is checked>
#         [-DCHECK_ALSO_FORBIDDEN="<include path regex>;..."] -P check_layers.cmake
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
# Matched as written.
set(forbidden_as_written "${include}<Q")
foreach(path IN LISTS CHECK_ALSO_FORBIDDEN)
    list(APPEND forbidden_as_written "${include}[<\"]${path}")
endforeach()
# Matched in lower case: Windows' file names come in any case.
set(forbidden_in_any_case
    # sockets
    "${include}<(sys/socket|netinet/[a-z_]+|arpa/inet|netdb|winsock2?|ws2tcpip|mswsock)\\.h>"
    # POSIX and glibc
    "${include}<(unistd|fcntl|dirent|termios|pthread|signal|iconv|dlfcn|poll|spawn|pwd|grp|syslog|glob|fnmatch|langinfo|semaphore|sched|utime|wordexp|ifaddrs|err|error|libgen|mqueue|aio)\\.h>"
    "${include}<(sys|linux|asm|bits|net)/"
    # Windows
    "${include}<(windows|windef|winbase|winnt|winuser|wininet|winhttp|winerror|winreg|wincrypt|shlobj|shellapi|objbase|io|direct|process|conio|tchar|ntdef|ntstatus|bcrypt|iphlpapi|versionhelpers|commctrl|commdlg)\\.h>"
    # libcurl
    "${include}[<\"]curl/")
set(violations "")
foreach(path IN LISTS checked_files)
    file(STRINGS "${path}" lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
        string(TOLOWER "${line}" lowered)
        set(found FALSE)
        foreach(pattern IN LISTS forbidden_as_written)
            if(line MATCHES "${pattern}")
                set(found TRUE)
            endif()
        endforeach()
        foreach(pattern IN LISTS forbidden_in_any_case)
            if(lowered MATCHES "${pattern}")
                set(found TRUE)
            endif()
        endforeach()
        if(found)
            string(APPEND violations "  ${path}: ${line}\n")
        endif()
    endforeach()
endforeach()
if(violations)
    message(FATAL_ERROR "${CHECK_NAME} includes what it may reach only through interfaces:\n${violations}")
endif()
