# A wrong command line is answered on the terminal, in Russian, with exit
# code 1, even where no display can be opened.
foreach(args "--bogus" "--data-dir;a;--documents" "-platform;xcb;extra")
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb ${PROGRAM} ${args}
        RESULT_VARIABLE result ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 30)
    if(NOT result STREQUAL "1")
        message(FATAL_ERROR "velnokasi ${args}: exit ${result}, expected 1\n${err}")
    endif()
    if(NOT err MATCHES "velnokasi --help")
        message(FATAL_ERROR "velnokasi ${args}: no usage hint on stderr\n${err}")
    endif()
endforeach()
message(STATUS "Bad command lines refused with exit 1 and no display")
