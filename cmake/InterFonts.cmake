# Brings the two Inter faces (static TTFs, version 4.001) that the editor embeds.
# They come from the npm registry's @expo-google-fonts/inter package at a pinned
# version; each file is checked against its known SHA-256 before it is used, and a
# verified file already in the cache is never fetched again.

set (AURELIN_INTER_PACKAGE "@expo-google-fonts/inter@0.4.2")
set (AURELIN_FONT_CACHE "${CMAKE_SOURCE_DIR}/resources/fonts" CACHE PATH "Folder holding the verified Inter files")

set (_inter_files
     "400Regular/Inter_400Regular.ttf|Inter-Regular.ttf|a414b48aa577ef2c62ebb135341ddeef33ee26a4f5dc9f787f93c1aab08ebb50"
     "700Bold/Inter_700Bold.ttf|Inter-Bold.ttf|fbe825cbfc749317f57a1433d3905aa9d3f388732fd29b8e8a36f34845e3bc3e")

function (_aurelin_file_is_verified path expected result)
    set (${result} FALSE PARENT_SCOPE)
    if (EXISTS "${path}")
        file (SHA256 "${path}" actual)
        if (actual STREQUAL expected)
            set (${result} TRUE PARENT_SCOPE)
        endif()
    endif()
endfunction()

set (_need_fetch FALSE)
foreach (entry IN LISTS _inter_files)
    string (REPLACE "|" ";" parts "${entry}")
    list (GET parts 1 local_name)
    list (GET parts 2 checksum)
    _aurelin_file_is_verified ("${AURELIN_FONT_CACHE}/${local_name}" "${checksum}" ok)
    if (NOT ok)
        set (_need_fetch TRUE)
    endif()
endforeach()

if (_need_fetch)
    find_program (AURELIN_NPM npm)
    if (NOT AURELIN_NPM)
        message (FATAL_ERROR "Aurelin: the Inter fonts are missing and npm is not installed to fetch ${AURELIN_INTER_PACKAGE}. Install npm (or place verified files in ${AURELIN_FONT_CACHE}).")
    endif()

    set (_work "${CMAKE_BINARY_DIR}/inter-download")
    file (REMOVE_RECURSE "${_work}")
    file (MAKE_DIRECTORY "${_work}")
    message (STATUS "Aurelin: fetching ${AURELIN_INTER_PACKAGE}")
    execute_process (COMMAND "${AURELIN_NPM}" pack --silent "${AURELIN_INTER_PACKAGE}"
                     WORKING_DIRECTORY "${_work}"
                     RESULT_VARIABLE npm_result
                     OUTPUT_VARIABLE npm_output
                     ERROR_VARIABLE npm_error)
    file (GLOB _tarball "${_work}/*.tgz")
    if (NOT npm_result EQUAL 0 OR NOT _tarball)
        message (FATAL_ERROR "Aurelin: could not fetch ${AURELIN_INTER_PACKAGE} from the npm registry: ${npm_error}")
    endif()

    file (ARCHIVE_EXTRACT INPUT "${_tarball}" DESTINATION "${_work}")
    file (MAKE_DIRECTORY "${AURELIN_FONT_CACHE}")

    foreach (entry IN LISTS _inter_files)
        string (REPLACE "|" ";" parts "${entry}")
        list (GET parts 0 package_path)
        list (GET parts 1 local_name)
        list (GET parts 2 checksum)
        _aurelin_file_is_verified ("${_work}/package/${package_path}" "${checksum}" ok)
        if (NOT ok)
            message (FATAL_ERROR "Aurelin: ${package_path} from ${AURELIN_INTER_PACKAGE} is missing or does not match its SHA-256 ${checksum}; refusing to embed it.")
        endif()
        file (COPY_FILE "${_work}/package/${package_path}" "${AURELIN_FONT_CACHE}/${local_name}")
    endforeach()
    file (REMOVE_RECURSE "${_work}")
endif()

set (AURELIN_FONT_FILES
     "${AURELIN_FONT_CACHE}/Inter-Regular.ttf"
     "${AURELIN_FONT_CACHE}/Inter-Bold.ttf")
