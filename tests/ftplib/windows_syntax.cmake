# Compiles every file of SkiffS's protocol-independent part (the files directly in src/) for Windows,
# syntax only: the part must build there before a Windows protocol engine and system layer exist.
file(GLOB sources "${SKIFFS_DIR}/src/*.cpp")
if(NOT sources)
    message(FATAL_ERROR "No protocol-independent SkiffS sources in '${SKIFFS_DIR}/src'")
endif()
set(failed "")
foreach(source IN LISTS sources)
    execute_process(
        COMMAND "${WINDOWS_CXX}" -fsyntax-only -std=c++20 -Wall -Wextra -Werror -DSKIFFS_BUILDING
                "-I${SKIFFS_DIR}/include" "-I${SKIFFS_DIR}/src" "${source}"
        RESULT_VARIABLE result
        ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        string(APPEND failed "${source}:\n${errors}\n")
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "Protocol-independent SkiffS files that do not compile for Windows:\n${failed}")
endif()
list(LENGTH sources count)
message(STATUS "${count} protocol-independent SkiffS files compile for Windows")
