# The SWF player: the control script added to ActionScript 1/2 movies, and Ruffle
# in the web engine behind the player interface.
if(TARGET pavona_player AND TARGET pavona_swfgen)
  pavona_test(swfcontrol_tests PlayerControlScriptTest.cpp)
  target_link_libraries(swfcontrol_tests PRIVATE pavona_swfcontrol pavona_swfgen)

  # Programs that run the real player need the web engine set up before their
  # QApplication, hence a main of their own.
  find_package(Qt6 REQUIRED COMPONENTS Widgets WebEngineWidgets Test)
  function(pavona_player_program name)
    add_executable(${name} ${ARGN} PlayerTestUtil.h PlayerTestMain.cpp)
    target_link_libraries(${name} PRIVATE pavona_player pavona_swfgen pavona_testutil GTest::gtest
      Qt6::Test Qt6::Widgets Qt6::WebEngineWidgets)
    target_compile_definitions(${name} PRIVATE
      PAVONA_RUFFLE_DIR="${PAVONA_APP_DIR}/ruffle"
      PAVONA_SWF_CORPUS="${CMAKE_SOURCE_DIR}/../shared/corpus/swf")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endfunction()

  pavona_player_program(player_tests PlayerTest.cpp)
  add_test(NAME player_tests COMMAND player_tests --gtest_brief=1)
  set_tests_properties(player_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)

  # Every movie of the shared corpus, one after another: minutes rather than
  # seconds, so it is run by scripts/player-corpus rather than by ctest.
  pavona_player_program(player_corpus_tests PlayerCorpusTest.cpp)
endif()

# The first wizard page with the real player in it.
if(TARGET pavona_player AND TARGET pavona_swfgen AND TARGET pavona_ui)
  pavona_player_program(player_window_tests PlayerWindowTest.cpp)
  target_link_libraries(player_window_tests PRIVATE pavona_ui pavona_player_loader)
  target_compile_definitions(player_window_tests PRIVATE PAVONA_APP_DIR="${PAVONA_APP_DIR}")
  add_dependencies(player_window_tests pavona_player_module)
  add_test(NAME player_window_tests COMMAND player_window_tests --gtest_brief=1)
  set_tests_properties(player_window_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
endif()
