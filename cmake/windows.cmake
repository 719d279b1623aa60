# Windows build (MinGW-w64): stravo.exe, the Windows test runner and the test tools.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(STDCALL16 "@16")
    # Windows 95 and NT 4.0 refuse images that ask for a later subsystem or OS.
    set(LEGACY_PE_FLAGS -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
else()
    set(STDCALL16 "")
    set(LEGACY_PE_FLAGS)
endif()

# No exceptions, no RTTI, and the C++ runtime linked in: no DLL beside the program.
set(PRODUCT_FLAGS -Wall -Wextra -fno-exceptions -fno-rtti)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
target_compile_options(stravo_core PRIVATE -fno-exceptions -fno-rtti)

set(STRAVO_WIN_SOURCES
    ${CMAKE_SOURCE_DIR}/core/app_state.cpp
    ${CMAKE_SOURCE_DIR}/core/combo_table.cpp
    ${CMAKE_SOURCE_DIR}/evaluate/capture_settings.cpp
    ${CMAKE_SOURCE_DIR}/evaluate/capture_store.cpp
    ${CMAKE_SOURCE_DIR}/evaluate/evaluation.cpp
    ${CMAKE_SOURCE_DIR}/graph/graph_dialog.cpp
    ${CMAKE_SOURCE_DIR}/graph/graph_drawing.cpp
    ${CMAKE_SOURCE_DIR}/logo/dib.cpp
    ${CMAKE_SOURCE_DIR}/logo/logo_panel.cpp
    ${CMAKE_SOURCE_DIR}/measure/disk_speed.cpp
    ${CMAKE_SOURCE_DIR}/measure/drive_list.cpp
    ${CMAKE_SOURCE_DIR}/measure/memory_bandwidth.cpp
    ${CMAKE_SOURCE_DIR}/shell/about_box.cpp
    ${CMAKE_SOURCE_DIR}/shell/help.cpp
    ${CMAKE_SOURCE_DIR}/shell/main_dialog.cpp
    ${CMAKE_SOURCE_DIR}/shell/settings_panel.cpp
    ${CMAKE_SOURCE_DIR}/shell/startup.cpp
    ${CMAKE_SOURCE_DIR}/shell/sysinfo_dialog.cpp
    ${CMAKE_SOURCE_DIR}/store/store.cpp
)
add_library(stravo_win STATIC ${STRAVO_WIN_SOURCES})
target_compile_options(stravo_win PRIVATE ${PRODUCT_FLAGS})
target_link_libraries(stravo_win PUBLIC stravo_core)

# Icons are drawn by a script at build time.
set(ICON_DIR ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
    OUTPUT ${ICON_DIR}/stravo.ico ${ICON_DIR}/vexo.ico
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ICON_DIR}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/resources/make_icons.py ${ICON_DIR}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icons.py
    VERBATIM)
add_custom_target(stravo_icons DEPENDS ${ICON_DIR}/stravo.ico ${ICON_DIR}/vexo.ico)

# The default logo, drawn the same way, lies beside the program, where the logo
# panel looks for it first.
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/VEXOLOGO.DIB
    COMMAND python3 ${CMAKE_SOURCE_DIR}/resources/make_logo.py ${CMAKE_BINARY_DIR}/VEXOLOGO.DIB
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_logo.py
    VERBATIM)
add_custom_target(stravo_logo ALL DEPENDS ${CMAKE_BINARY_DIR}/VEXOLOGO.DIB)

# The user's guide beside the program, in a folder guide/ as the packages lay it out:
# a page a language, written by pandoc from docs/guide/*.md, and the pictures. The
# pages are in the Windows code page, since the browsers of Windows 95 and NT 4.0
# read neither UTF-8 nor hexadecimal character references; the pictures are GIF,
# since Internet Explorer 3 shows no PNG. No typographic quotes or dots: the guide
# quotes the program's texts as they stand ("Mehr...").
set(GUIDE_DIR ${CMAKE_BINARY_DIR}/guide)
set(GUIDE_FILES)
foreach(lang en de fr)
    add_custom_command(
        OUTPUT ${GUIDE_DIR}/${lang}.htm
        COMMAND ${CMAKE_COMMAND} -E make_directory ${GUIDE_DIR}
        COMMAND pandoc -f markdown-smart -t html4 --standalone --template ${CMAKE_SOURCE_DIR}/cmake/guide.html
                --lua-filter ${CMAKE_SOURCE_DIR}/cmake/guide.lua -M lang=${lang}
                -o ${GUIDE_DIR}/${lang}.utf8 ${CMAKE_SOURCE_DIR}/docs/guide/${lang}.md
        COMMAND iconv -f UTF-8 -t WINDOWS-1252 -o ${GUIDE_DIR}/${lang}.htm ${GUIDE_DIR}/${lang}.utf8
        COMMAND ${CMAKE_COMMAND} -E rm ${GUIDE_DIR}/${lang}.utf8
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide/${lang}.md ${CMAKE_SOURCE_DIR}/cmake/guide.html
                ${CMAKE_SOURCE_DIR}/cmake/guide.lua
        VERBATIM)
    list(APPEND GUIDE_FILES ${GUIDE_DIR}/${lang}.htm)
endforeach()
file(GLOB GUIDE_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide/img/*.png)
foreach(picture ${GUIDE_PICTURES})
    get_filename_component(name ${picture} NAME_WE)
    add_custom_command(
        OUTPUT ${GUIDE_DIR}/img/${name}.gif
        COMMAND ${CMAKE_COMMAND} -E make_directory ${GUIDE_DIR}/img
        COMMAND convert ${picture} ${GUIDE_DIR}/img/${name}.gif
        DEPENDS ${picture}
        VERBATIM)
    list(APPEND GUIDE_FILES ${GUIDE_DIR}/img/${name}.gif)
endforeach()
add_custom_target(stravo_guide ALL DEPENDS ${GUIDE_FILES})

file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc*
     ${CMAKE_SOURCE_DIR}/resources/*.h)
add_library(stravo_resources OBJECT resources/stravo.rc)
add_dependencies(stravo_resources stravo_icons)
set_source_files_properties(resources/stravo.rc PROPERTIES
    OBJECT_DEPENDS "${ICON_DIR}/stravo.ico;${ICON_DIR}/vexo.ico;${RESOURCE_INPUTS}")
target_include_directories(stravo_resources PRIVATE ${ICON_DIR} ${CMAKE_SOURCE_DIR}/resources)

configure_file(shell/stravo.def.in ${CMAKE_BINARY_DIR}/stravo.def @ONLY)

add_executable(stravo WIN32 shell/winmain.cpp $<TARGET_OBJECTS:stravo_resources>)
target_compile_options(stravo PRIVATE ${PRODUCT_FLAGS})
target_link_libraries(stravo PRIVATE stravo_win)
target_link_options(stravo PRIVATE ${STATIC_RUNTIME} ${LEGACY_PE_FLAGS} ${CMAKE_BINARY_DIR}/stravo.def)
set_target_properties(stravo PROPERTIES LINK_DEPENDS ${CMAKE_BINARY_DIR}/stravo.def)
set_target_properties(stravo PROPERTIES OUTPUT_NAME stravo)

# The Windows runner: the program's sources built once more with the watch
# force-included, its tests, and the program's resources, so that strings and
# dialogs load as in the program.
add_library(stravo_win_watched STATIC ${STRAVO_WIN_SOURCES})
target_compile_options(stravo_win_watched PRIVATE ${PRODUCT_FLAGS}
                       -include ${CMAKE_SOURCE_DIR}/tests/win/watch.h)
target_link_libraries(stravo_win_watched PUBLIC stravo_core)
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(stravo_wintests ${WIN_TEST_SOURCES} $<TARGET_OBJECTS:stravo_resources>)
target_compile_options(stravo_wintests PRIVATE -Wall -Wextra)
target_compile_definitions(stravo_wintests PRIVATE _WIN32_WINNT=0x0600)
target_link_libraries(stravo_wintests PRIVATE stravo_win_watched)
target_link_options(stravo_wintests PRIVATE ${STATIC_RUNTIME})

# Benchmark of the pass loop (bench/run).
add_executable(pass_bench bench/pass_bench.cpp $<TARGET_OBJECTS:stravo_resources>)
target_link_libraries(pass_bench PRIVATE stravo_win)
target_link_options(pass_bench PRIVATE ${STATIC_RUNTIME})

# The probe that the end-to-end tests read other processes' windows with.
add_executable(winprobe tests/e2e/winprobe.cpp)
target_compile_definitions(winprobe PRIVATE _WIN32_WINNT=0x0600)
target_link_options(winprobe PRIVATE ${STATIC_RUNTIME})
