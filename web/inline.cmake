cmake_policy(VERSION 3.25)
# Writes the page as one file: the template with the style, the bezel SVG, the
# wasm loader, the wasm itself and the JavaScript modules put in place.
# The modules share one module script: their import lines are dropped and
# their exports become plain declarations.
file(READ ${TEMPLATE} page)
file(READ ${STYLE} style)
file(READ ${BEZEL} bezel)
file(READ ${WASM_JS} wasm)
# The wasm travels gzipped in base64 (the page unpacks it with DecompressionStream).
string(REGEX REPLACE "\\.js$" ".wasm" wasm_binary ${WASM_JS})
execute_process(COMMAND gzip -9 -n -c ${wasm_binary} COMMAND base64 -w0
    OUTPUT_VARIABLE wasm_packed RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${wasm_binary}")
endif()
string(APPEND wasm "\nconst OMNIRA_WASM_GZIP = '${wasm_packed}';\n")
# The scenario library and its goldens, each file in base64 by its name, the
# scripts gzipped (the goldens are compressed PNGs already).
set(library "")
foreach(kind scripts goldens)
    if(kind STREQUAL scripts)
        # In the course's order (course.list), then any it does not name.
        file(GLOB others ${SCENARIOS}/*.txt)
        file(STRINGS ${SCENARIOS}/course.list course REGEX "^[^#]")
        set(files "")
        foreach(name ${course})
            string(STRIP "${name}" name)
            if("${SCENARIOS}/${name}" IN_LIST others)
                list(APPEND files ${SCENARIOS}/${name})
                list(REMOVE_ITEM others ${SCENARIOS}/${name})
            endif()
        endforeach()
        list(APPEND files ${others})
        set(pack gzip -9 -n -c)
    else()
        file(GLOB files ${SCENARIOS}/goldens/*.png)
        set(pack cat)
    endif()
    string(APPEND library "${kind}: [")
    foreach(f ${files})
        file(RELATIVE_PATH name ${SCENARIOS} ${f})
        execute_process(COMMAND ${pack} ${f} COMMAND base64 -w0
                        OUTPUT_VARIABLE packed RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "cannot read ${f}")
        endif()
        string(APPEND library "['${name}', '${packed}'],")
    endforeach()
    string(APPEND library "],\n")
endforeach()
string(APPEND wasm "const SCENARIO_LIBRARY = {\n${library}};\n")
string(REGEX REPLACE "<\\?xml[^>]*>" "" bezel "${bezel}")
string(REGEX REPLACE "<!--[^>]*-->" "" bezel "${bezel}")
string(REPLACE "<svg " "<svg aria-hidden=\"true\" " bezel "${bezel}")

set(modules "")
string(REPLACE "," ";" MODULES "${MODULES}")
foreach(module ${MODULES})
    file(READ ${module} code)
    string(REGEX REPLACE "(^|\n)import [^\n]*" "\\1" code "${code}")
    string(REGEX REPLACE "(^|\n)export " "\\1" code "${code}")
    string(APPEND modules "${code}\n")
endforeach()

# Nothing inside a script element may close it early.
string(REPLACE "</script" "<\\/script" wasm "${wasm}")
string(REPLACE "</script" "<\\/script" modules "${modules}")

string(REPLACE "/*STYLE*/" "${style}" page "${page}")
string(REPLACE "<!--BEZEL-->" "${bezel}" page "${page}")
string(REPLACE "/*WASM*/" "${wasm}" page "${page}")
string(REPLACE "/*MODULES*/" "${modules}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
