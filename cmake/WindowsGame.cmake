# The Windows build: the game folders' sources and the resource script make
# Tumbla.exe against the system's own USER, GDI, DirectDraw, WINMM, help
# engine and C run-time. platform/ adds nothing but its headers, which there
# just include the system's; no tools, tests or benchmarks are built.
enable_language(RC)

set(game_sources
  rules/board.cpp
  rules/partner.cpp
  rules/random.cpp
  rules/selection.cpp
  rules/settling.cpp
  display/display.cpp
  display/sprite_sheet.cpp
  shell/app.cpp
  shell/main_window.cpp
  shell/sound.cpp
  scores/score_file.cpp
  scores/high_scores.cpp
  resources/tumbla.rc
)
list(TRANSFORM game_sources PREPEND ${PROJECT_SOURCE_DIR}/)

add_executable(tumbla WIN32 ${game_sources})
set_target_properties(tumbla PROPERTIES OUTPUT_NAME Tumbla)
# windres embeds the art files the script names, so a change to one of them
# recompiles the script; it looks for them relative to resources/.
set(art resource.h tumbla.bmp tumbla.ico explode.wav applause.wav)
list(TRANSFORM art PREPEND ${PROJECT_SOURCE_DIR}/resources/)
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/tumbla.rc PROPERTIES OBJECT_DEPENDS "${art}")
target_include_directories(tumbla PRIVATE $<$<COMPILE_LANGUAGE:RC>:${PROJECT_SOURCE_DIR}/resources>)
# One file to copy: no run-time DLLs of the compiler beside the program, and
# no symbols in it.
target_link_options(tumbla PRIVATE -static -s)
target_link_libraries(tumbla PRIVATE ddraw user32 gdi32 winmm kernel32)
