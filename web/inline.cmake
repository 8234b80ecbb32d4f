cmake_policy(VERSION 3.25)
# Writes the page as one file: the template with the style, the bezel SVG, the
# wasm loader, the wasm itself and the page's script (its modules as esbuild
# bundled them) put in place.
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
# A library: its scripts gzipped in base64 by their file names, and its
# course.list, which the session orders them by.
function(pack_files folder kind pack out files)
    set(list "${kind}: [")
    foreach(f ${files})
        file(RELATIVE_PATH name ${folder} ${f})
        execute_process(COMMAND ${pack} ${f} COMMAND base64 -w0
                        OUTPUT_VARIABLE packed RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "cannot read ${f}")
        endif()
        string(APPEND list "['${name}', '${packed}'],")
    endforeach()
    set(${out} "${list}],\n" PARENT_SCOPE)
endfunction()
function(pack_library folder out)
    file(GLOB scripts ${folder}/*.txt)
    pack_files(${folder} scripts "gzip;-9;-n;-c" packed "${scripts}")
    execute_process(COMMAND base64 -w0 ${folder}/course.list OUTPUT_VARIABLE course)
    set(${out} "${packed}course: '${course}',\n" PARENT_SCOPE)
endfunction()
# The scenario library with its goldens (compressed PNGs already), and the
# lesson library.
pack_library(${SCENARIOS} scripts)
file(GLOB goldens ${SCENARIOS}/goldens/*.png)
pack_files(${SCENARIOS} goldens cat packed_goldens "${goldens}")
string(APPEND wasm "const SCENARIO_LIBRARY = {\n${scripts}${packed_goldens}};\n")
pack_library(${LESSONS} lesson_scripts)
string(APPEND wasm "const LESSON_LIBRARY = {\n${lesson_scripts}};\n")
# The bundled instrument profiles, by their file names.
file(GLOB profiles ${PROFILES}/*.txt)
pack_files(${PROFILES} profiles "gzip;-9;-n;-c" packed_profiles "${profiles}")
string(APPEND wasm "const PROFILE_LIBRARY = {\n${packed_profiles}};\n")
string(REGEX REPLACE "<\\?xml[^>]*>" "" bezel "${bezel}")
string(REGEX REPLACE "<!--[^>]*-->" "" bezel "${bezel}")
string(REPLACE "<svg " "<svg aria-hidden=\"true\" " bezel "${bezel}")

file(READ ${BUNDLE} modules)

# Nothing inside a script element may close it early.
string(REPLACE "</script" "<\\/script" wasm "${wasm}")
string(REPLACE "</script" "<\\/script" modules "${modules}")

# The page's Content-Security-Policy: nothing from anywhere, but its own
# inline script and style by their SHA-256 and the compiling of its wasm.
function(csp_hash content out)
    string(SHA256 hex "${content}")
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    set(base64 "")
    foreach(at RANGE 0 60 6)
        string(SUBSTRING "${hex}" ${at} 6 chunk)
        string(LENGTH "${chunk}" length)
        math(EXPR value "0x${chunk} << (4 * (6 - ${length}))")
        math(EXPR characters "${length} * 2 / 3 + 1")
        foreach(shift 18 12 6 0)
            if(characters GREATER 0)
                math(EXPR index "(${value} >> ${shift}) & 63")
                string(SUBSTRING "${alphabet}" ${index} 1 character)
                string(APPEND base64 "${character}")
                math(EXPR characters "${characters} - 1")
            endif()
        endforeach()
    endforeach()
    set(${out} "'sha256-${base64}='" PARENT_SCOPE)
endfunction()
csp_hash("\n${style}\n" style_hash)
csp_hash("\n${wasm}\n" wasm_hash)
csp_hash("\n${modules}\n" modules_hash)
set(csp "default-src 'none'; script-src ${wasm_hash} ${modules_hash} 'wasm-unsafe-eval'; style-src ${style_hash}; img-src data: blob:")
string(REPLACE "<!--CSP-->" "<meta http-equiv=\"Content-Security-Policy\" content=\"${csp}\">" page "${page}")

string(REPLACE "/*STYLE*/" "${style}" page "${page}")
string(REPLACE "<!--BEZEL-->" "${bezel}" page "${page}")
string(REPLACE "/*WASM*/" "${wasm}" page "${page}")
string(REPLACE "/*MODULES*/" "${modules}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
