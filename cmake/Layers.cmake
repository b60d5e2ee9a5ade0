# The layers as libraries, and the check that keeps each one's links to what the layering allows.

# Sources are picked up by folder so that a new unit needs no edit here.
function(orvane_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
         "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
         "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h")
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# The strict warnings, for our own code only: not for the tests, and not for what moc generates.
# Target-wide, so that a precompiled header is built with the same flags as the files using it.
option(ORVANE_STRICT_WARNINGS "Compile our own code with the strict warning set" ON)
set(ORVANE_STRICT_FLAGS
    -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Wpedantic
    -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wcast-qual -Wdouble-promotion)
function(orvane_strict_warnings target)
  if(NOT ORVANE_STRICT_WARNINGS)
    return()
  endif()
  target_compile_options(${target} PRIVATE ${ORVANE_STRICT_FLAGS})
  get_target_property(automoc ${target} AUTOMOC)
  if(automoc)
    get_target_property(binary_dir ${target} BINARY_DIR)
    set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${target}
                                PROPERTIES COMPILE_OPTIONS "-w")
  endif()
endfunction()

# orvane_layer(<target> <folder> [EXCLUDE <regex>] [PUBLIC|PRIVATE <libraries>...]): a static
# library of the folder's files; the libraries given are its links, checked against ORVANE_LAYERS.
function(orvane_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 L "" "EXCLUDE" "")
  orvane_sources(files ${folder})
  if(L_EXCLUDE)
    list(FILTER files EXCLUDE REGEX "${L_EXCLUDE}")
  endif()
  add_library(${target} STATIC ${files})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  if(L_UNPARSED_ARGUMENTS)
    target_link_libraries(${target} ${L_UNPARSED_ARGUMENTS})
  endif()
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  # Only the layers that include Qt need moc; the others must not even look for it.
  if(NOT "${L_UNPARSED_ARGUMENTS}" MATCHES "Qt6::")
    set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  endif()
  orvane_strict_warnings(${target})
endfunction()

# What each layer may link. The pure codec links nothing at all, so that it builds and is fuzzed
# without Qt or udev; the platform layer is the system alone; only the serial layer and above see
# Qt, and only the modal seam and above see Qt Widgets.
set(ORVANE_LAYERS
    "orvane_protocol="
    "orvane_platform=orvane_protocol,PkgConfig::LIBUDEV,Threads::Threads"
    "orvane_serial=orvane_protocol,orvane_platform,Qt6::Core,Threads::Threads"
    "orvane_modal=Qt6::Core,Qt6::Widgets"
    "orvane_skin=orvane_modal,Qt6::Core,Qt6::Gui,Qt6::Widgets,JPEG::JPEG"
    "orvane_widgets=orvane_skin,orvane_modal,Qt6::Core,Qt6::Gui,Qt6::Widgets"
    "orvane_ui=orvane_widgets,orvane_skin,orvane_modal,orvane_serial,orvane_platform,orvane_protocol,Qt6::Core,Qt6::Gui,Qt6::Widgets,PkgConfig::FONTCONFIG"
    "orvane_app=orvane_ui,orvane_widgets,orvane_skin,orvane_modal,orvane_serial,orvane_platform,orvane_protocol,Qt6::Core,Qt6::Gui,Qt6::Widgets")

# Fails the configuration when a layer links anything its row does not allow, directly or through
# its interface; compile options that bring in a library count too.
function(orvane_check_layers)
  foreach(row IN LISTS ORVANE_LAYERS)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${row}")
    set(target ${CMAKE_MATCH_1})
    string(REPLACE "," ";" allowed "${CMAKE_MATCH_2}")
    if(NOT TARGET ${target})
      continue()
    endif()
    set(links)
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES LINK_OPTIONS INTERFACE_LINK_OPTIONS)
      get_target_property(value ${target} ${property})
      if(value)
        list(APPEND links ${value})
      endif()
    endforeach()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
      if(NOT link IN_LIST allowed)
        message(FATAL_ERROR "${target} links ${link}; its layer allows only: ${allowed}")
      endif()
    endforeach()
  endforeach()
endfunction()
