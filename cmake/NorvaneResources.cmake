# Resource-only PE modules (string tables, dialogs, icons, version information) built from .rc
# sources with the MinGW binutils, the same files on every platform.

# A Windows toolchain names its own resource compiler; elsewhere the MinGW one is used.
if(CMAKE_RC_COMPILER AND NOT NV_WINDRES)
    set(NV_WINDRES ${CMAKE_RC_COMPILER} CACHE FILEPATH "Resource compiler for the PE modules")
endif()
find_program(NV_WINDRES NAMES x86_64-w64-mingw32-windres windres)
find_program(NV_PE_LD NAMES x86_64-w64-mingw32-ld)
if(NOT NV_WINDRES OR NOT NV_PE_LD)
    message(FATAL_ERROR "The resource modules need the MinGW binutils (x86_64-w64-mingw32-windres "
                        "and x86_64-w64-mingw32-ld, Debian package binutils-mingw-w64-x86-64).")
endif()

# nv_compile_rc(OUT_OBJECT RC_FILE [INCLUDE_DIRS dirs...] [DEPENDS files...]): compiles one UTF-8
# .rc file into a COFF object. windres runs in the .rc file's folder, so relative paths inside
# the .rc (icons, included files) resolve against that folder. Sets OUT_OBJECT to the object.
function(nv_compile_rc out_object rc_file)
    cmake_parse_arguments(ARG "" "" "INCLUDE_DIRS;DEPENDS" ${ARGN})
    get_filename_component(rc_abs ${rc_file} ABSOLUTE)
    get_filename_component(rc_dir ${rc_abs} DIRECTORY)
    get_filename_component(rc_name ${rc_abs} NAME_WE)
    string(MD5 tag "${rc_abs};${ARG_INCLUDE_DIRS}")
    string(SUBSTRING ${tag} 0 8 tag)
    set(object ${CMAKE_CURRENT_BINARY_DIR}/rc-objects/${rc_name}-${tag}.res.o)
    set(includes)
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        list(APPEND includes --include-dir=${dir})
    endforeach()
    # Everything beside the .rc and the shared folders may be included by it.
    file(GLOB_RECURSE rc_inputs CONFIGURE_DEPENDS
        ${rc_dir}/*.rc ${rc_dir}/*.rch ${rc_dir}/*.h ${rc_dir}/*.ico
        ${PROJECT_SOURCE_DIR}/rc/common/* ${PROJECT_SOURCE_DIR}/rc/icons/*.ico)
    add_custom_command(OUTPUT ${object}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/rc-objects
        COMMAND ${NV_WINDRES} -c 65001 ${includes} -i ${rc_abs} -O coff -o ${object}
        WORKING_DIRECTORY ${rc_dir}
        DEPENDS ${rc_abs} ${rc_inputs} ${ARG_DEPENDS}
        COMMENT "Compiling resources ${rc_name}"
        VERBATIM)
    set(${out_object} ${object} PARENT_SCOPE)
endfunction()

# nv_resource_module(NAME OUTPUT file RC_SOURCES files... [INCLUDE_DIRS dirs...]
#                    [DEPENDS files...]): builds a resource-only PE module (no code, no entry
# point, no time stamp, so the output is reproducible) from one or more .rc files, as target
# NAME that is part of ALL. Tests of other layers use it to build their own test modules.
function(nv_resource_module name)
    cmake_parse_arguments(ARG "" "OUTPUT" "RC_SOURCES;INCLUDE_DIRS;DEPENDS" ${ARGN})
    if(NOT ARG_OUTPUT OR NOT ARG_RC_SOURCES)
        message(FATAL_ERROR "nv_resource_module(${name}) needs OUTPUT and RC_SOURCES")
    endif()
    set(objects)
    foreach(rc IN LISTS ARG_RC_SOURCES)
        nv_compile_rc(object ${rc} INCLUDE_DIRS ${ARG_INCLUDE_DIRS} DEPENDS ${ARG_DEPENDS})
        list(APPEND objects ${object})
    endforeach()
    get_filename_component(out_dir ${ARG_OUTPUT} DIRECTORY)
    add_custom_command(OUTPUT ${ARG_OUTPUT}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
        COMMAND ${NV_PE_LD} --dll -e 0 --subsystem windows -s --no-insert-timestamp
                -o ${ARG_OUTPUT} ${objects}
        DEPENDS ${objects}
        COMMENT "Linking resource module ${ARG_OUTPUT}"
        VERBATIM)
    add_custom_target(${name} ALL DEPENDS ${ARG_OUTPUT})
    set_target_properties(${name} PROPERTIES NV_MODULE_FILE ${ARG_OUTPUT})
endfunction()

# nv_executable_version(TARGET [ORIGINAL_FILENAME name]): gives executable TARGET the product's
# version information (and on Windows the program icon as its first icon group), with NAME (default: the target's file name on this platform) as its
# original file name. A Windows build links the compiled
# resources into the executable as usual. Elsewhere the version resource is built as a small PE
# module and placed into the executable's ELF section ".nvrsrc", where the version reader finds
# it when it is pointed at the executable's own path.
function(nv_executable_version target)
    cmake_parse_arguments(ARG "" "ORIGINAL_FILENAME" "" ${ARGN})
    set(gen ${CMAKE_CURRENT_BINARY_DIR}/${target}-version)
    if(NOT ARG_ORIGINAL_FILENAME)
        set(ARG_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
    endif()
    file(GENERATE OUTPUT ${gen}/executable-name.h
         CONTENT "#define NV_ORIGINAL_FILENAME \"${ARG_ORIGINAL_FILENAME}\"\n")
    set(rc ${PROJECT_SOURCE_DIR}/rc/executable/version.rc)
    if(WIN32)
        nv_compile_rc(object ${rc} INCLUDE_DIRS ${gen} DEPENDS ${gen}/executable-name.h)
        # The program icon comes with the version: every executable of the product shows it.
        nv_compile_rc(icon_object ${PROJECT_SOURCE_DIR}/rc/executable/icon.rc)
        target_sources(${target} PRIVATE ${object} ${icon_object})
        set_source_files_properties(${object} ${icon_object}
                                    PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
        return()
    endif()
    set(module ${gen}/version.dll)
    nv_resource_module(${target}_version_module OUTPUT ${module} RC_SOURCES ${rc}
        INCLUDE_DIRS ${gen} DEPENDS ${gen}/executable-name.h)
    set(embed ${gen}/embedded-version.cpp)
    file(WRITE ${embed}.in
        "// Generated: places the version module into the section the version reader looks for.\n"
        "asm(\".pushsection .nvrsrc,\\\"a\\\"\\n\"\n"
        "    \".incbin \\\"${module}\\\"\\n\"\n"
        "    \".popsection\\n\");\n")
    configure_file(${embed}.in ${embed} COPYONLY)
    set_source_files_properties(${embed} PROPERTIES OBJECT_DEPENDS ${module})
    target_sources(${target} PRIVATE ${embed})
    add_dependencies(${target} ${target}_version_module)
endfunction()
