# Turns a PNG into a C++ header holding its bytes as a static array SYMBOL and its size as
# SYMBOLSize, so the editor draws its logos without files beside the plug-in.
#
# Included by the build: defines qm70_embed_image(target symbol png), which makes <symbol>.h in
# the build tree whenever the PNG changes and puts it on the target's include path.
# Run with cmake -P: writes one header (-DSYMBOL=... -DINPUT=... -DOUTPUT=...).

if(CMAKE_SCRIPT_MODE_FILE)
    file(READ "${INPUT}" hex HEX)
    file(SIZE "${INPUT}" size)
    # Sixteen bytes to a line, each as 0xNN.
    string(REPEAT "[0-9a-f]" 32 line)
    string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "\n" "\n    " bytes "${bytes}")
    get_filename_component(name "${INPUT}" NAME)
    file(WRITE "${OUTPUT}"
         "// Made by the build from ${name}: edit the picture, not this file.\n"
         "#pragma once\n\n"
         "static const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n\n"
         "static const int ${SYMBOL}Size = ${size};\n")
    return()
endif()

set(QM70_EMBED_IMAGE_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(qm70_embed_image target symbol png)
    set(dir ${CMAKE_BINARY_DIR}/embedded)
    set(header ${dir}/${symbol}.h)
    get_filename_component(input ${png} ABSOLUTE)
    add_custom_command(OUTPUT ${header}
        COMMAND ${CMAKE_COMMAND} -DSYMBOL=${symbol} -DINPUT=${input} -DOUTPUT=${header}
                -P ${QM70_EMBED_IMAGE_SCRIPT}
        DEPENDS ${input} ${QM70_EMBED_IMAGE_SCRIPT}
        COMMENT "Embedding ${png}"
        VERBATIM)
    target_sources(${target} PRIVATE ${header})
    target_include_directories(${target} PRIVATE ${dir})
endfunction()
