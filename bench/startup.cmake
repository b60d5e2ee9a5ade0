# Start-up figures: the program against a plain Qt window with the main window's controls and a bare Qt
# window, all on a private X server. Without the program (no GUI build) or the X client library the
# start-up benchmark is left out.
if(TARGET bench_startup)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(XCB IMPORTED_TARGET xcb)
  endif()
  if(TARGET orvane AND XCB_FOUND)
    add_executable(bare_window ${CMAKE_CURRENT_SOURCE_DIR}/bare_window.cpp)
    target_link_libraries(bare_window PRIVATE Qt6::Widgets)
    add_executable(plain_window ${CMAKE_CURRENT_SOURCE_DIR}/plain_window.cpp)
    target_include_directories(plain_window PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(plain_window PRIVATE Qt6::Widgets)
    target_link_libraries(bench_startup PRIVATE PkgConfig::XCB)
    target_compile_definitions(bench_startup PRIVATE
      ORVANE_PROGRAM="$<TARGET_FILE:orvane>" PLAIN_WINDOW_PROGRAM="$<TARGET_FILE:plain_window>"
      BARE_WINDOW_PROGRAM="$<TARGET_FILE:bare_window>")
    add_dependencies(bench_startup orvane plain_window bare_window)
  else()
    set_target_properties(bench_startup PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endif()
