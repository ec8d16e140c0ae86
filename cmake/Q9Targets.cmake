# Settings every target of the project shares: warnings, sanitizers, test registration.

option(Q9_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(Q9_TSAN "Build with ThreadSanitizer" OFF)

if(Q9_SANITIZE AND Q9_TSAN)
    message(FATAL_ERROR "Q9_SANITIZE and Q9_TSAN cannot be combined")
endif()
if(Q9_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(Q9_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# The fuzz targets (fuzz/) need clang's libFuzzer; everything they link is instrumented for it
# and built with AddressSanitizer and UndefinedBehaviorSanitizer.
option(Q9_FUZZ "Build the libFuzzer targets of fuzz/ (clang only)" OFF)
if(Q9_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "Q9_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(Q9_SANITIZE OR Q9_TSAN)
        message(FATAL_ERROR "Q9_FUZZ brings its own sanitizers: leave Q9_SANITIZE and Q9_TSAN off")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

function(q9_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# q9_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(q9_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    q9_set_warnings(${name})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# q9_add_test(name SOURCES ... LIBS ... [GUI] [LABELS ...])
# One executable per component; every test case becomes its own CTest test.
# GUI tests get a Qt application on the offscreen platform from their main().
function(q9_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    q9_set_warnings(${name})
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE q9_gui_test_main)
    else()
        target_link_libraries(${name} PRIVATE q9_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} test_support GTest::gtest GTest::gmock)
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            TIMEOUT 300
            LABELS "${ARG_LABELS}"
            # One variable per property: discovered tests split a list value at its semicolons.
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
            ENVIRONMENT_MODIFICATION "Q9_TEST_DATA=set:${CMAKE_SOURCE_DIR}/tests/data")
endfunction()

# q9_add_benchmark(name SOURCES ... LIBS ...): a Google Benchmark program, not run by CTest.
function(q9_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    q9_set_warnings(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# q9_install_program(target): installs a program into Q9_PROGRAM_INSTALL_DIR, where its script
# folder goes beside it, with a link to it in bin/. The paths are taken at install time, so
# "cmake --install --prefix" lays out a working tree anywhere.
function(q9_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${Q9_PROGRAM_INSTALL_DIR})
    install(CODE "
        set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
        set(bin \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(RELATIVE_PATH target \"\${prefix}/${CMAKE_INSTALL_BINDIR}\" \"\${prefix}/${Q9_PROGRAM_INSTALL_DIR}/${target}\")
        file(CREATE_LINK \"\${target}\" \"\${bin}/${target}\" SYMBOLIC)
    ")
endfunction()

# q9_install_desktop_files(program entryTemplate mimePackage): the program's desktop entry, made
# from the template at install time (@Q9_INSTALLED_PROGRAM@ is the link in bin/,
# @Q9_INSTALLED_ICON@ the programs' icon), and the MIME type of its documents. The desktop reads
# both from caches, which are refreshed when the tools are there and the files went to their
# final place.
function(q9_install_desktop_files program entryTemplate mimePackage)
    install(FILES ${mimePackage} DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
    install(CODE "
        set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
        set(Q9_INSTALLED_PROGRAM \"\${prefix}/${CMAKE_INSTALL_BINDIR}/${program}\")
        set(Q9_INSTALLED_ICON \"\${prefix}/${Q9_PROGRAM_INSTALL_DIR}/Resources/Icon3072.png\")
        set(entry \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/${program}.desktop\")
        message(STATUS \"Installing: \${entry}\")
        configure_file(\"${entryTemplate}\" \"\${entry}\" @ONLY)
        if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
            find_program(update_mime update-mime-database)
            find_program(update_desktop update-desktop-database)
            if(update_mime)
                execute_process(COMMAND \${update_mime} \"\${prefix}/${CMAKE_INSTALL_DATADIR}/mime\" OUTPUT_QUIET ERROR_QUIET)
            endif()
            if(update_desktop)
                execute_process(COMMAND \${update_desktop} \"\${prefix}/${CMAKE_INSTALL_DATADIR}/applications\" OUTPUT_QUIET ERROR_QUIET)
            endif()
        endif()
    ")
endfunction()
