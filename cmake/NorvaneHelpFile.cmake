# The compiled HTML help file (.chm) of the Windows edition, built from the help topics with
# Debian's chmcmd (package fp-utils). The help bridge opens it by context ID: 1 is the main page
# (index.html) and every topic-<ID>.html answers the help context ID <ID> of the control it
# describes. "popup" is the window type that F1 on a control asks for ("file.chm>popup").

find_program(NV_CHMCMD chmcmd)
if(NOT NV_CHMCMD)
    message(FATAL_ERROR "The Windows help file needs chmcmd (Debian package fp-utils).")
endif()

# nv_help_file(NAME TOPICS dir OUTPUT file LANGUAGE "0x409 English (United States)" TITLE text):
# target NAME compiles the topics in dir into OUTPUT. The project file is written from the
# topics present, so a new topic-<ID>.html is mapped to its ID without further changes.
function(nv_help_file name)
    cmake_parse_arguments(ARG "" "TOPICS;OUTPUT;LANGUAGE;TITLE" "" ${ARGN})
    file(GLOB topics CONFIGURE_DEPENDS ${ARG_TOPICS}/*.html)
    list(SORT topics)
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name})
    set(files)
    set(aliases "IDH_MAIN=index.html\n")
    set(map "#define IDH_MAIN 1\n")
    foreach(topic IN LISTS topics)
        get_filename_component(file ${topic} NAME)
        string(APPEND files "${file}\n")
        if(file MATCHES "^topic-([0-9]+)\\.html$")
            string(APPEND aliases "IDH_${CMAKE_MATCH_1}=${file}\n")
            string(APPEND map "#define IDH_${CMAKE_MATCH_1} ${CMAKE_MATCH_1}\n")
        endif()
    endforeach()
    # The default window shows one topic at a time (the topics link back to the main page);
    # popup is a smaller window of the same kind at a fixed place.
    file(CONFIGURE OUTPUT ${work}/Norvane.hhp @ONLY CONTENT "[OPTIONS]
Compatibility=1.1 or later
Compiled file=Norvane.chm
Default topic=index.html
Default Window=main
Display compile progress=No
Language=${ARG_LANGUAGE}
Title=${ARG_TITLE}

[WINDOWS]
main=\"${ARG_TITLE}\",,,\"index.html\",\"index.html\",,,,,0x0,,0x0,[80,60,720,560],,,,,,,0
popup=\"${ARG_TITLE}\",,,\"index.html\",\"index.html\",,,,,0x0,,0x0,[160,120,620,420],,,,,,,0

[FILES]
${files}
[ALIAS]
${aliases}
[MAP]
${map}")
    add_custom_command(OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${topics} ${work}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${work}/Norvane.chm
        COMMAND ${NV_CHMCMD} --no-html-scan --verbosity 0 Norvane.hhp
        COMMAND ${CMAKE_COMMAND} -E copy ${work}/Norvane.chm ${ARG_OUTPUT}
        WORKING_DIRECTORY ${work}
        DEPENDS ${topics} ${work}/Norvane.hhp
        COMMENT "Compiling the help file ${ARG_OUTPUT}"
        VERBATIM)
    add_custom_target(${name} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
